#include "EditLayout.h"

#include "platform/Encoding.h"
#include <platform/drawing/Canvas.h>
#include <platform/drawing/Font.h>

#include <algorithm>
#include <pango/pangocairo.h>
#include <unordered_map>

namespace platform::controls {

namespace {

constexpr const char* k_replacement = "\xEF\xBF\xBD"; // U+FFFD
constexpr const char* k_control_box = "\xE2\x96\xA1"; // U+25A1

// One character of the text as one character of the layout.
std::string display_of(std::string_view unit) {
    auto lead = static_cast<unsigned char>(unit[0]);
    if (unit.size() == 1) {
        if (lead == '\t')
            return "\t";
        if (lead < 0x20 || lead == 0x7F)
            return k_control_box;
        if (lead < 0x80)
            return std::string(unit);
        return k_replacement;
    }
    auto trail = static_cast<unsigned char>(unit[1]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return k_replacement;
    thread_local std::unordered_map<unsigned, std::string> cache;
    unsigned code = (lead << 8) | trail;
    auto it = cache.find(code);
    if (it != cache.end())
        return it->second;
    std::string utf8;
    if (!gbk_to_utf8(unit, utf8, InvalidBytes::Fail) || utf8.empty())
        utf8 = k_replacement;
    return cache.emplace(code, utf8).first->second;
}

std::string password_utf8(std::uint32_t code) {
    std::string gbk;
    if (code > 0xFF)
        gbk += static_cast<char>((code >> 8) & 0xFF);
    gbk += static_cast<char>(code & 0xFF);
    return display_of(gbk);
}

int to_pixels(int pango_units) {
    return (pango_units + PANGO_SCALE / 2) / PANGO_SCALE;
}

} // namespace

EditLayout::~EditLayout() {
    clear();
}

void EditLayout::clear() {
    for (Paragraph& p : m_paragraphs)
        if (p.layout)
            g_object_unref(p.layout);
    m_paragraphs.clear();
    m_lines.clear();
}

void EditLayout::build(const EditText& text, const EditLayoutOptions& options) {
    clear();
    HFONT font = options.font ? options.font : default_gui_font();
    // A probe with a CJK character sizes the lines for the fallback face too.
    PangoLayout* probe = pango_layout_new(platform::text_context());
    pango_layout_set_font_description(probe, font->description());
    pango_layout_set_text(probe, "Ay\xE5\x9B\xBD", -1);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(probe, nullptr, &logical);
    m_line_height = std::max(1, logical.height);
    m_baseline = pango_layout_get_baseline(probe) / PANGO_SCALE;
    g_object_unref(probe);

    if (!text.is_multiline()) {
        add_paragraph(text, 0, text.size(), options);
        return;
    }
    for (std::size_t start : text.line_starts())
        add_paragraph(text, start, text.line_end(start), options);
}

void EditLayout::add_paragraph(const EditText& text, std::size_t start, std::size_t end,
                               const EditLayoutOptions& options) {
    HFONT font = options.font ? options.font : default_gui_font();
    std::string mask = options.password_char ? password_utf8(options.password_char) : std::string();
    Paragraph p;
    std::string_view all = text.text();
    for (std::size_t pos = start; pos < end;) {
        std::size_t len = std::min(gbk_char_length(all, pos), end - pos);
        p.boundaries.push_back({pos, static_cast<int>(p.utf8.size())});
        p.utf8 += options.password_char ? mask : display_of(all.substr(pos, len));
        pos += len;
    }
    p.boundaries.push_back({end, static_cast<int>(p.utf8.size())});

    p.layout = pango_layout_new(platform::text_context());
    pango_layout_set_font_description(p.layout, font->description());
    pango_layout_set_single_paragraph_mode(p.layout, TRUE);
    pango_layout_set_text(p.layout, p.utf8.c_str(), static_cast<int>(p.utf8.size()));
    if (options.wrap_width >= 0) {
        pango_layout_set_width(p.layout, std::max(1, options.wrap_width) * PANGO_SCALE);
        pango_layout_set_wrap(p.layout, PANGO_WRAP_WORD_CHAR);
    }
    m_paragraphs.push_back(std::move(p));
    const Paragraph& added = m_paragraphs.back();
    int paragraph = static_cast<int>(m_paragraphs.size()) - 1;
    int count = pango_layout_get_line_count(added.layout);
    for (int i = 0; i < count; ++i) {
        PangoLayoutLine* pl = pango_layout_get_line_readonly(added.layout, i);
        PangoRectangle logical;
        pango_layout_line_get_pixel_extents(pl, nullptr, &logical);
        m_lines.push_back({paragraph, i, offset_of(added, pl->start_index),
                           offset_of(added, pl->start_index + pl->length), logical.width});
    }
}

int EditLayout::clamp_line(int line) const {
    return std::clamp(line, 0, line_count() - 1);
}

int EditLayout::index_of(const Paragraph& p, std::size_t offset) const {
    auto it = std::upper_bound(p.boundaries.begin(), p.boundaries.end(), offset,
                               [](std::size_t o, const Boundary& b) { return o < b.offset; });
    return it == p.boundaries.begin() ? 0 : std::prev(it)->index;
}

std::size_t EditLayout::offset_of(const Paragraph& p, int index) const {
    auto it = std::upper_bound(p.boundaries.begin(), p.boundaries.end(), index,
                               [](int i, const Boundary& b) { return i < b.index; });
    return it == p.boundaries.begin() ? p.boundaries.front().offset : std::prev(it)->offset;
}

int EditLayout::line_of(std::size_t pos) const {
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), pos,
                               [](std::size_t o, const Line& l) { return o < l.start; });
    return it == m_lines.begin() ? 0 : static_cast<int>(std::prev(it) - m_lines.begin());
}

int EditLayout::widest_line() const {
    int widest = 0;
    for (const Line& l : m_lines)
        widest = std::max(widest, l.width);
    return widest;
}

int EditLayout::x_of(int line, std::size_t pos) const {
    const Line& l = m_lines[clamp_line(line)];
    const Paragraph& p = m_paragraphs[l.paragraph];
    PangoLayoutLine* pl = pango_layout_get_line_readonly(p.layout, l.index_in_paragraph);
    pos = std::clamp(pos, l.start, l.end);
    int x = 0;
    if (pos == l.start) {
        pango_layout_line_index_to_x(pl, index_of(p, pos), 0, &x);
    } else {
        // The trailing edge of the character before: the end of a line has
        // no character of its own.
        auto it = std::lower_bound(p.boundaries.begin(), p.boundaries.end(), pos,
                                   [](const Boundary& b, std::size_t o) { return b.offset < o; });
        pango_layout_line_index_to_x(pl, std::prev(it)->index, 1, &x);
    }
    return to_pixels(x);
}

std::size_t EditLayout::position_at(int line, int x) const {
    const Line& l = m_lines[clamp_line(line)];
    const Paragraph& p = m_paragraphs[l.paragraph];
    PangoLayoutLine* pl = pango_layout_get_line_readonly(p.layout, l.index_in_paragraph);
    int index = 0;
    int trailing = 0;
    pango_layout_line_x_to_index(pl, x * PANGO_SCALE, &index, &trailing);
    auto it = std::upper_bound(p.boundaries.begin(), p.boundaries.end(), index,
                               [](int i, const Boundary& b) { return i < b.index; });
    auto at = it == p.boundaries.begin() ? it : std::prev(it);
    // Each character of the text is one character of the layout, so a
    // trailing edge is the next boundary.
    if (trailing > 0 && std::next(at) != p.boundaries.end())
        ++at;
    std::size_t pos = std::clamp(at->offset, l.start, l.end);
    bool wraps = l.index_in_paragraph + 1 < pango_layout_get_line_count(p.layout);
    if (wraps && pos == l.end && pos > l.start) {
        // The end of a wrapped line is the start of the next one. A line
        // that broke at a blank keeps the caret before that blank, on this line.
        auto last = std::prev(
            std::lower_bound(p.boundaries.begin(), p.boundaries.end(), pos,
                             [](const Boundary& b, std::size_t o) { return b.offset < o; }));
        char c = p.utf8[static_cast<std::size_t>(last->index)];
        if (c == ' ' || c == '\t')
            pos = last->offset;
    }
    return pos;
}

void EditLayout::draw_line(cairo_t* cr, int line, double x, double y) const {
    const Line& l = m_lines[clamp_line(line)];
    const Paragraph& p = m_paragraphs[l.paragraph];
    cairo_move_to(cr, x, y + m_baseline);
    pango_cairo_show_layout_line(cr,
                                 pango_layout_get_line_readonly(p.layout, l.index_in_paragraph));
}

std::string EditLayout::display_utf8() const {
    std::string out;
    for (const Paragraph& p : m_paragraphs) {
        if (&p != &m_paragraphs.front())
            out += '\n';
        out += p.utf8;
    }
    return out;
}

} // namespace platform::controls
