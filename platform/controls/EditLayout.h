#pragma once

// How an edit box's text lies on screen: one Pango layout per hard line,
// broken into visual lines when the box wraps, with a map between the GBK
// byte offsets of the text and the UTF-8 indices Pango works in. Every
// character of the text becomes exactly one character of the layout (a
// password character, a replacement mark for bytes that are not GBK, a box
// for control characters), so carets and clicks always land on a boundary.

#include "EditText.h"
#include "platform/Types.h"
#include <platform/drawing/Canvas.h>

#include <cstdint>
#include <string>
#include <vector>

typedef struct _PangoLayout PangoLayout;

namespace platform::controls {

struct EditLayoutOptions {
    HFONT font = nullptr;
    int wrap_width = -1;             // pixels; negative: lines never wrap
    std::uint32_t password_char = 0; // GBK code shown for every character; 0 shows the text
};

class EditLayout {
  public:
    EditLayout() = default;
    ~EditLayout();
    EditLayout(const EditLayout&) = delete;
    EditLayout& operator=(const EditLayout&) = delete;

    void build(const EditText& text, const EditLayoutOptions& options);

    // Visual lines; there is always at least one.
    int line_count() const { return static_cast<int>(m_lines.size()); }
    std::size_t line_start(int line) const { return m_lines[clamp_line(line)].start; }
    // Where the line's characters end (before the CR LF of a hard line).
    std::size_t line_end(int line) const { return m_lines[clamp_line(line)].end; }
    // A position where a line wraps belongs to the line it starts.
    int line_of(std::size_t pos) const;
    int line_width(int line) const { return m_lines[clamp_line(line)].width; }
    int widest_line() const;
    int line_height() const { return m_line_height; }

    // The x of a character boundary, from the left edge of its visual line.
    int x_of(int line, std::size_t pos) const;
    // The character boundary nearest to x within a visual line.
    std::size_t position_at(int line, int x) const;

    // Draws a visual line with its top-left corner at (x, y) in `color`.
    void draw_line(Canvas& canvas, int line, int x, int y, COLORREF color) const;

    // What the box shows, as UTF-8, hard lines joined by "\n".
    std::string display_utf8() const;

  private:
    struct Boundary {
        std::size_t offset; // GBK byte offset in the whole text
        int index;          // UTF-8 index in its paragraph's layout
    };
    struct Paragraph {
        PangoLayout* layout = nullptr;
        std::string utf8;
        std::vector<Boundary> boundaries; // every character start, and the end
    };
    struct Line {
        int paragraph = 0;
        int index_in_paragraph = 0;
        std::size_t start = 0;
        std::size_t end = 0;
        int width = 0;
    };

    int clamp_line(int line) const;
    void clear();
    void add_paragraph(const EditText& text, std::size_t start, std::size_t end,
                       const EditLayoutOptions& options);
    int index_of(const Paragraph& p, std::size_t offset) const;
    std::size_t offset_of(const Paragraph& p, int index) const;

    std::vector<Paragraph> m_paragraphs;
    std::vector<Line> m_lines;
    int m_line_height = 0;
    int m_baseline = 0;
};

} // namespace platform::controls
