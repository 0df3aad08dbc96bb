// The picture of an edit box: layout, scrolling, the caret and painting.

#include "ControlSupport.h"
#include "EditState.h"
#include <platform/window/Painting.h>

#include <algorithm>
#include <cairo.h>

namespace platform::controls {

namespace {

constexpr int k_margin = 2;
// A box narrower than this gives up its side margins, so that a small box
// for a three-digit number still shows all three digits.
constexpr int k_narrow = 32;

Rect text_area(const EditState& st) {
    Rect c;
    get_client_rect(st.hwnd, c);
    const int margin = c.width() < k_narrow ? 0 : k_margin;
    return {c.left + margin, c.top + (is_multiline(st) ? 1 : 0),
            std::max(c.left + margin, c.right - margin), c.bottom};
}

// Wrapping follows the platform: a multi-line box without ES_AUTOHSCROLL
// breaks its lines at the right edge.
int wrap_width(const EditState& st) {
    if (!is_multiline(st) || (get_style(st.hwnd) & ES_AUTOHSCROLL))
        return -1;
    return std::max(1, text_area(st).width() - 1);
}

// Room for text in a line, keeping a pixel for the caret after the last character.
int line_room(const EditState& st) {
    return std::max(0, text_area(st).width() - 1);
}

int align_offset(EditState& st, int line) {
    std::uint32_t style = get_style(st.hwnd);
    int spare = line_room(st) - current_layout(st).line_width(line);
    if (spare <= 0)
        return 0;
    if (style & ES_RIGHT)
        return spare;
    if (style & ES_CENTER)
        return spare / 2;
    return 0;
}

int line_left(EditState& st, int line) {
    return text_area(st).left - st.x_offset + align_offset(st, line);
}

int line_top(EditState& st, int line) {
    Rect area = text_area(st);
    int height = current_layout(st).line_height();
    if (is_multiline(st))
        return area.top + (line - st.first_line) * height;
    return area.top + std::max(0, (area.height() - height) / 2);
}

int max_first_line(EditState& st) {
    return std::max(0, current_layout(st).line_count() - visible_lines(st));
}

int max_x_offset(EditState& st) {
    return std::max(0, current_layout(st).widest_line() - line_room(st));
}

// Sets the standard bars from the scroll position. Showing or hiding a bar
// changes the room for the text (and so perhaps the wrapping and the other
// bar); the WM_SIZE that follows lays the text out again, and this settles
// within a few rounds.
void update_scroll_bars(EditState& st) {
    if (!st.vertical_bar && !st.horizontal_bar)
        return;
    if (st.settling_bars)
        return;
    HWND hwnd = st.hwnd;
    st.settling_bars = true;
    for (int round = 0; round < 3; ++round) {
        Rect before;
        get_client_rect(hwnd, before);
        const EditLayout& layout = current_layout(st);
        if (st.vertical_bar) {
            ScrollInfo v;
            v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            v.nMax = layout.line_count() - 1;
            v.nPage = static_cast<UINT>(visible_lines(st));
            v.nPos = st.first_line;
            set_scroll_info(hwnd, SB_VERT, v);
        }
        if (!edit_state(hwnd))
            return;
        if (st.horizontal_bar) {
            ScrollInfo h;
            h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            h.nMax = current_layout(st).widest_line();
            h.nPage = static_cast<UINT>(line_room(st) + 1);
            h.nPos = st.x_offset;
            set_scroll_info(hwnd, SB_HORZ, h);
        }
        if (!edit_state(hwnd))
            return;
        Rect after;
        get_client_rect(hwnd, after);
        if (after == before)
            break;
    }
    st.settling_bars = false;
}

} // namespace

const EditLayout& current_layout(EditState& st) {
    if (st.layout_stale) {
        EditLayoutOptions options;
        options.font = control_font(st.hwnd);
        options.wrap_width = wrap_width(st);
        options.password_char = is_password(st) ? st.password_char : 0;
        st.layout.build(st.text, options);
        st.layout_stale = false;
    }
    return st.layout;
}

Point caret_point(EditState& st, std::size_t pos) {
    const EditLayout& layout = current_layout(st);
    int line = layout.line_of(pos);
    return {line_left(st, line) + layout.x_of(line, pos), line_top(st, line)};
}

std::size_t position_from_point(EditState& st, Point client) {
    const EditLayout& layout = current_layout(st);
    int line = 0;
    if (is_multiline(st)) {
        int rel = client.y - text_area(st).top;
        int height = layout.line_height();
        int rows = rel >= 0 ? rel / height : -1 - (-rel - 1) / height;
        line = std::clamp(st.first_line + rows, 0, layout.line_count() - 1);
    }
    return layout.position_at(line, client.x - line_left(st, line));
}

int visible_lines(EditState& st) {
    if (!is_multiline(st))
        return 1;
    return std::max(1, text_area(st).height() / current_layout(st).line_height());
}

void scroll_to_caret(EditState& st) {
    const EditLayout& layout = current_layout(st);
    std::size_t caret = st.text.caret();
    int line = layout.line_of(caret);
    if (is_multiline(st)) {
        int shown = visible_lines(st);
        if (line < st.first_line)
            st.first_line = line;
        else if (line >= st.first_line + shown)
            st.first_line = line - shown + 1;
        st.first_line = std::clamp(st.first_line, 0, max_first_line(st));
    }
    if (wrap_width(st) >= 0) {
        st.x_offset = 0;
    } else {
        int room = line_room(st);
        int x = align_offset(st, line) + layout.x_of(line, caret);
        if (x < st.x_offset)
            st.x_offset = x;
        else if (x > st.x_offset + room)
            st.x_offset = x - room;
        // Once the text got shorter, no blank space is left on the right.
        st.x_offset = std::clamp(st.x_offset, 0, std::max(0, layout.widest_line() - room));
    }
    update_scroll_bars(st);
}

void scroll_lines(EditState& st, int delta) {
    int line = std::clamp(st.first_line + delta, 0, max_first_line(st));
    if (line == st.first_line)
        return;
    st.first_line = line;
    invalidate_rect(st.hwnd, nullptr, false);
    update_scroll_bars(st);
}

void on_scroll_request(EditState& st, bool vertical, int code) {
    if (!is_multiline(st))
        return;
    ScrollView view;
    if (vertical) {
        view.pos = st.first_line;
        view.page = visible_lines(st);
        view.last = max_first_line(st);
        int line = scroll_request_target(st.hwnd, SB_VERT, code, view);
        if (line >= 0)
            scroll_lines(st, line - st.first_line);
        return;
    }
    if (wrap_width(st) >= 0)
        return; // a wrapping box has nothing to scroll sideways
    view.pos = st.x_offset;
    view.page = line_room(st);
    view.last = max_x_offset(st);
    // A line step sideways is about one character.
    view.line = std::max(1, current_layout(st).line_height() / 2);
    int x = scroll_request_target(st.hwnd, SB_HORZ, code, view);
    if (x < 0 || x == st.x_offset)
        return;
    st.x_offset = x;
    invalidate_rect(st.hwnd, nullptr, false);
    update_scroll_bars(st);
}

void restart_caret(EditState& st) {
    if (!st.focused)
        return;
    st.caret_on = true;
    set_timer(st.hwnd, k_caret_timer, k_caret_blink_ms);
}

void stop_caret(EditState& st) {
    kill_timer(st.hwnd, k_caret_timer);
    st.caret_on = false;
}

void blink_caret(EditState& st) {
    if (!st.focused)
        return;
    st.caret_on = !st.caret_on;
    Point p = caret_point(st, st.text.caret());
    Rect r{p.x, p.y, p.x + 1, p.y + current_layout(st).line_height()};
    invalidate_rect(st.hwnd, &r, false);
}

void paint(EditState& st) {
    HWND hwnd = st.hwnd;
    PaintStruct ps;
    Canvas* canvas = begin_paint(hwnd, ps);
    if (!canvas)
        return;
    bool enabled = is_window_enabled(hwnd);
    // A read-only or disabled box asks for the static colours, as the platform's does.
    bool greyed = !enabled || is_read_only(st);
    COLORREF background = query_colors(hwnd, greyed ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, *canvas,
                                       greyed ? colors::face : colors::window, colors::text);
    if (edit_state(hwnd) != &st) {
        end_paint(hwnd, ps); // the parent destroyed the box while answering
        return;
    }
    COLORREF foreground = enabled ? canvas->text_color() : colors::text_disabled;
    Rect client;
    get_client_rect(hwnd, client);
    canvas->fill_rect(client, background);

    const EditLayout& layout = current_layout(st);
    const EditText& text = st.text;
    cairo_t* cr = canvas->cairo();
    Rect area = text_area(st);
    cairo_save(cr);
    cairo_rectangle(cr, area.left, client.top, area.width(), client.height());
    cairo_clip(cr);

    bool show_selection =
        text.has_selection() && enabled && (st.focused || (get_style(hwnd) & ES_NOHIDESEL));
    COLORREF selection_back = st.focused ? colors::highlight : colors::selection_inactive;
    COLORREF selection_text = st.focused ? colors::highlight_text : foreground;
    int height = layout.line_height();
    int first = is_multiline(st) ? st.first_line : 0;
    int last = is_multiline(st) ? std::min(layout.line_count() - 1, first + visible_lines(st)) : 0;
    for (int line = first; line <= last; ++line) {
        int x = line_left(st, line);
        int y = line_top(st, line);
        set_source_color(cr, foreground);
        layout.draw_line(cr, line, x, y);
        if (!show_selection)
            continue;
        std::size_t from = std::max(text.selection_start(), layout.line_start(line));
        std::size_t to = std::min(text.selection_end(), layout.line_end(line));
        if (from >= to)
            continue;
        int x0 = x + layout.x_of(line, from);
        int x1 = x + layout.x_of(line, to);
        Rect band{std::min(x0, x1), y, std::max(x0, x1), y + height};
        canvas->fill_rect(band, selection_back);
        cairo_save(cr);
        cairo_rectangle(cr, band.left, band.top, band.width(), band.height());
        cairo_clip(cr);
        set_source_color(cr, selection_text);
        layout.draw_line(cr, line, x, y);
        cairo_restore(cr);
    }
    if (st.focused && st.caret_on) {
        Point p = caret_point(st, text.caret());
        canvas->fill_rect({p.x, p.y, p.x + 1, p.y + height}, foreground);
    }
    cairo_restore(cr);
    end_paint(hwnd, ps);
}

} // namespace platform::controls
