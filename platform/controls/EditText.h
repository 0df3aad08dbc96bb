#pragma once

// The text of an edit box: GBK bytes, the selection, the one-step undo, the
// length limit and the modified flag. Every position it hands out lies on a
// character boundary: a double-byte character (a lead byte 0x81..0xFE and
// the byte after it) is never split, nor, in a multi-line text, the CR LF
// pair that ends a line.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::controls {

enum class Extend { No, Yes };
enum class Undoable { No, Yes };
enum class Limit { Ignore, Honor };
enum class LetterCase { AsTyped, Lower, Upper };

struct ReplaceResult {
    bool changed = false;   // the text differs from before
    bool truncated = false; // the limit cut the inserted text short
};

class EditText {
  public:
    // What the platform's edit box allows before the limit is set.
    static constexpr std::size_t initial_limit = 30000;

    explicit EditText(bool multiline = false) : m_multiline(multiline) {}

    bool is_multiline() const { return m_multiline; }
    const std::string& text() const { return m_text; }
    std::size_t size() const { return m_text.size(); }

    // ---- Selection: the anchor stays, the caret moves.
    std::size_t anchor() const { return m_anchor; }
    std::size_t caret() const { return m_caret; }
    std::size_t selection_start() const { return m_anchor < m_caret ? m_anchor : m_caret; }
    std::size_t selection_end() const { return m_anchor < m_caret ? m_caret : m_anchor; }
    bool has_selection() const { return m_anchor != m_caret; }
    std::string selected_text() const;
    // Positions are clamped to the text and snapped to a character start.
    void select(std::size_t anchor, std::size_t caret);
    void move_caret(std::size_t pos, Extend extend);

    // ---- Positions.
    // The start of the character that holds `pos` (the end when past it).
    std::size_t snap(std::size_t pos) const;
    // The boundary after / before the character boundary `pos`.
    std::size_t next(std::size_t pos) const;
    std::size_t previous(std::size_t pos) const;
    // Word moves: to the start of the word before, to the start of the next word.
    std::size_t word_left(std::size_t pos) const;
    std::size_t word_right(std::size_t pos) const;
    // The word under `pos` with the blanks that follow it, as a double-click selects.
    std::pair<std::size_t, std::size_t> word_around(std::size_t pos) const;

    // ---- Hard lines: a multi-line text breaks after each CR LF.
    // Start of each line; line i ends where line i + 1 starts, less its CR LF.
    std::vector<std::size_t> line_starts() const;
    std::size_t line_end(std::size_t line_start) const;

    // ---- Editing.
    // Replaces the selection and puts the caret after the inserted text. The
    // text is first made safe (see `sanitize`); with Limit::Honor it is cut at
    // a character boundary so the whole stays within the limit.
    ReplaceResult replace_selection(std::string_view insert, Undoable undoable, Limit limit);
    // True when inserting `insert` in place of the selection passes the limit.
    bool would_exceed_limit(std::string_view insert) const;
    // Replaces everything, ignoring the limit; empties the undo buffer and
    // clears the modified flag; the caret goes to the start.
    void set_text(std::string_view text);
    // Backspace and Delete: the selection, else the character before / after the caret.
    ReplaceResult erase_previous();
    ReplaceResult erase_next();

    // ---- Undo: one step, which an undo turns into its own reverse.
    bool can_undo() const { return m_undo.active; }
    bool undo();
    void empty_undo() { m_undo = {}; }

    bool is_modified() const { return m_modified; }
    void set_modified(bool modified) { m_modified = modified; }

    std::size_t limit() const { return m_limit; }
    // 0 chooses the platform's default for the kind of box.
    void set_limit(std::size_t limit);

    // Text from outside as the box keeps it: it ends at the first NUL, and a
    // lead byte with nothing after it becomes '?' so it can never pair with
    // the character that follows the insertion.
    static std::string sanitize(std::string_view raw);
    // ASCII letters only; the trail byte of a double-byte character is left alone.
    static void convert_case(std::string& gbk, LetterCase letter_case);

  private:
    std::size_t unit_length(std::size_t pos) const;
    // The longest prefix of `insert` of at most `room` bytes that ends on a
    // character boundary of the inserted text.
    std::size_t fit(std::string_view insert, std::size_t room) const;
    void record_undo(std::size_t start, std::string_view removed, std::size_t inserted);
    bool is_blank(std::size_t pos) const;
    // The start of every character before `pos`.
    std::vector<std::size_t> starts_before(std::size_t pos) const;

    struct UndoStep {
        bool active = false;
        std::size_t position = 0; // where the change happened
        std::size_t inserted = 0; // bytes now at `position` that the change put there
        std::string removed;      // what the change took away from `position`
    };

    std::string m_text;
    bool m_multiline = false;
    std::size_t m_anchor = 0;
    std::size_t m_caret = 0;
    std::size_t m_limit = initial_limit;
    bool m_modified = false;
    UndoStep m_undo;
};

} // namespace platform::controls
