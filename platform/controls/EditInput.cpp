// What the user does to an edit box: keys, characters, the mouse and the clipboard.

#include "EditState.h"
#include "platform/Encoding.h"

#include <algorithm>
#include <utility>

namespace platform::controls {

namespace {

bool is_key_down(UINT vk) {
    return get_key_state(vk) < 0;
}

void move_caret_to(EditState& st, std::size_t pos, Extend extend) {
    st.text.move_caret(pos, extend);
    selection_changed(st);
}

// Moves the caret `lines` visual lines up or down. Successive moves keep
// the column they started from, across shorter lines.
void move_vertically(EditState& st, int lines, Extend extend) {
    const EditLayout& layout = current_layout(st);
    std::size_t caret = st.text.caret();
    int line = layout.line_of(caret);
    Point p = caret_point(st, caret);
    int goal = st.goal_x >= 0 ? st.goal_x : p.x + st.x_offset;
    int target = std::clamp(line + lines, 0, layout.line_count() - 1);
    std::size_t pos = caret;
    if (target != line)
        pos = position_from_point(
            st, {goal - st.x_offset, p.y + (target - line) * layout.line_height()});
    move_caret_to(st, pos, extend);
    st.goal_x = goal;
}

std::size_t line_home(EditState& st) {
    const EditLayout& layout = current_layout(st);
    return layout.line_start(layout.line_of(st.text.caret()));
}

std::size_t line_end(EditState& st) {
    const EditLayout& layout = current_layout(st);
    int line = layout.line_of(st.text.caret());
    std::size_t end = layout.line_end(line);
    // A wrapped line ends where the next begins; one that broke at a blank
    // stops before the blank so the caret stays on this line.
    bool wraps = line + 1 < layout.line_count() && layout.line_start(line + 1) == end;
    if (wraps && end > layout.line_start(line)) {
        std::size_t last = st.text.previous(end);
        char c = st.text.text()[last];
        if (c == ' ' || c == '\t')
            return last;
    }
    return end;
}

enum class Direction { Backward, Forward };

void erase(HWND hwnd, Direction direction) {
    EditState* st = edit_state(hwnd);
    if (is_read_only(*st))
        return;
    ReplaceResult result =
        direction == Direction::Forward ? st->text.erase_next() : st->text.erase_previous();
    if (!result.changed)
        return;
    text_changed(*st);
    announce_change(hwnd);
}

void type(HWND hwnd, std::string_view gbk) {
    EditState* st = edit_state(hwnd);
    if (is_read_only(*st))
        return;
    if ((get_style(hwnd) & ES_NUMBER) &&
        !std::all_of(gbk.begin(), gbk.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    replace_selection_notifying(hwnd, gbk, Undoable::Yes, Announce::IfChanged);
}

// Where a pasted text's first line ends: a single-line box takes only that.
std::size_t first_line_length(std::string_view gbk) {
    for (std::size_t i = 0; i < gbk.size(); i += gbk_char_length(gbk, i))
        if (gbk[i] == '\r' || gbk[i] == '\n')
            return i;
    return gbk.size();
}

void on_control_char(HWND hwnd, unsigned char c) {
    EditState* st = edit_state(hwnd);
    switch (c) {
    case 0x08:
        erase(hwnd, Direction::Backward);
        return;
    case 0x03:
        on_copy(hwnd);
        return; // Ctrl+C
    case 0x16:
        on_paste(hwnd);
        return; // Ctrl+V
    case 0x18:
        on_cut(hwnd);
        return; // Ctrl+X
    case 0x1A:  // Ctrl+Z
        if (!is_read_only(*st))
            on_undo(hwnd);
        return;
    case '\r':
    case '\n':
        if (is_multiline(*st))
            type(hwnd, "\r\n");
        return;
    case '\t':
        if (is_multiline(*st))
            type(hwnd, "\t");
        return;
    default:
        return; // other control characters type nothing
    }
}

} // namespace

void on_key_down(HWND hwnd, UINT vk) {
    EditState* st = edit_state(hwnd);
    const EditText& text = st->text;
    bool control = is_key_down(VK_CONTROL);
    Extend extend = is_key_down(VK_SHIFT) ? Extend::Yes : Extend::No;
    bool multi = is_multiline(*st);
    switch (vk) {
    case VK_LEFT:
        move_caret_to(*st, control ? text.word_left(text.caret()) : text.previous(text.caret()),
                      extend);
        break;
    case VK_RIGHT:
        move_caret_to(*st, control ? text.word_right(text.caret()) : text.next(text.caret()),
                      extend);
        break;
    case VK_UP:
        if (multi)
            move_vertically(*st, -1, extend);
        else
            move_caret_to(*st, text.previous(text.caret()), extend);
        break;
    case VK_DOWN:
        if (multi)
            move_vertically(*st, 1, extend);
        else
            move_caret_to(*st, text.next(text.caret()), extend);
        break;
    case VK_PRIOR:
        if (multi)
            move_vertically(*st, -visible_lines(*st), extend);
        break;
    case VK_NEXT:
        if (multi)
            move_vertically(*st, visible_lines(*st), extend);
        break;
    case VK_HOME:
        move_caret_to(*st, control || !multi ? 0 : line_home(*st), extend);
        break;
    case VK_END:
        move_caret_to(*st, control || !multi ? text.size() : line_end(*st), extend);
        break;
    case VK_DELETE:
        if (extend == Extend::Yes)
            on_cut(hwnd);
        else
            erase(hwnd, Direction::Forward);
        break;
    case VK_INSERT:
        if (extend == Extend::Yes)
            on_paste(hwnd);
        else if (control)
            on_copy(hwnd);
        break;
    case 'A':
        if (control) {
            st->text.select(0, text.size());
            selection_changed(*st);
        }
        break;
    default:
        break;
    }
}

void on_char(HWND hwnd, WPARAM code) {
    EditState* st = edit_state(hwnd);
    if (code > 0xFF) {
        // A whole double-byte character in one message.
        st->pending_lead = 0;
        char pair[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
        type(hwnd, {pair, 2});
        return;
    }
    auto c = static_cast<unsigned char>(code);
    if (st->pending_lead) {
        unsigned char lead = std::exchange(st->pending_lead, 0);
        if (c >= 0x40) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(c)};
            type(hwnd, {pair, 2});
            return;
        }
        // No trail byte can be below 0x40: the lone lead byte is dropped.
    }
    // An ANSI window gets a double-byte character as its lead byte, then its trail byte.
    if (is_gbk_lead_byte(c)) {
        st->pending_lead = c;
        return;
    }
    if (c < 0x20 || c == 0x7F) {
        on_control_char(hwnd, c);
        return;
    }
    char single = static_cast<char>(c);
    type(hwnd, {&single, 1});
}

void on_button_down(HWND hwnd, Point pt, WPARAM keys) {
    if (get_focus() != hwnd)
        set_focus(hwnd);
    if (!edit_state(hwnd))
        return;
    set_capture(hwnd);
    EditState* st = edit_state(hwnd);
    if (!st)
        return;
    st->tracking = true;
    move_caret_to(*st, position_from_point(*st, pt), (keys & MK_SHIFT) ? Extend::Yes : Extend::No);
}

void on_double_click(HWND hwnd, Point pt) {
    if (get_focus() != hwnd)
        set_focus(hwnd);
    EditState* st = edit_state(hwnd);
    if (!st)
        return;
    auto [start, end] = st->text.word_around(position_from_point(*st, pt));
    st->text.select(start, end);
    selection_changed(*st);
}

void on_mouse_move(HWND hwnd, Point pt) {
    EditState* st = edit_state(hwnd);
    if (!st->tracking)
        return;
    std::size_t pos = position_from_point(*st, pt);
    if (pos != st->text.caret())
        move_caret_to(*st, pos, Extend::Yes);
}

void on_button_up(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    if (!st->tracking)
        return;
    st->tracking = false;
    if (get_capture() == hwnd)
        release_capture();
}

LRESULT on_mouse_wheel(HWND hwnd, int delta, WPARAM wp, LPARAM lp) {
    EditState* st = edit_state(hwnd);
    if (!is_multiline(*st))
        return def_window_proc(hwnd, WM_MOUSEWHEEL, wp, lp);
    scroll_lines(*st, -delta / WHEEL_DELTA * 3);
    return 0;
}

void on_copy(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    // A password never leaves its box.
    if (!st || is_password(*st) || !st->text.has_selection())
        return;
    set_clipboard_text(st->text.selected_text());
}

void on_cut(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    if (!st || is_password(*st))
        return;
    on_copy(hwnd);
    on_clear(hwnd);
}

void on_clear(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    if (!st || is_read_only(*st) || !st->text.has_selection())
        return;
    replace_selection_notifying(hwnd, {}, Undoable::Yes, Announce::IfChanged);
}

void on_paste(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    if (!st || is_read_only(*st))
        return;
    std::string clip = get_clipboard_text();
    clip.resize(std::min(clip.size(), clip.find('\0')));
    if (!is_multiline(*st))
        clip.resize(first_line_length(clip));
    if (clip.empty())
        return;
    replace_selection_notifying(hwnd, clip, Undoable::Yes, Announce::IfChanged);
}

LRESULT on_undo(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    if (!st || !st->text.undo())
        return 0;
    text_changed(*st);
    announce_change(hwnd);
    return 1;
}

} // namespace platform::controls
