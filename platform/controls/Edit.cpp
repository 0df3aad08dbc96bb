#include "Edit.h"

#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include "EditState.h"
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform::controls {

namespace {

// Message parameters that carry an int, whatever width the caller gave them.
std::int32_t as_int(std::uintptr_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::string prepared(const EditState& st, std::string_view raw) {
    std::string text = EditText::sanitize(raw);
    EditText::convert_case(text, letter_case_of(st));
    return text;
}

// Paints what is pending now. The whole top-level window is updated, not
// only the box: a parent that still has to paint would otherwise paint over
// the box (and its frame) after the box had painted itself.
void repaint_now(HWND hwnd) {
    update_window(get_ancestor_root(hwnd));
}

// ---- Creation and destruction

LRESULT on_create(EditState& st, const CreateStruct* cs) {
    if (get_style(st.hwnd) & ES_PASSWORD)
        st.password_char = '*';
    // The creation text arrives without notifications, as on the platform.
    if (cs)
        st.text.set_text(prepared(st, cs->name));
    st.layout_stale = true;
    return 0;
}

LRESULT on_nc_destroy(HWND hwnd, WPARAM wp, LPARAM lp) {
    kill_timer(hwnd, k_caret_timer);
    return def_window_proc(hwnd, WM_NCDESTROY, wp, lp);
}

// ---- Text

LRESULT on_set_text(EditState& st, const char* text) {
    HWND hwnd = st.hwnd;
    st.text.set_text(prepared(st, text ? text : ""));
    st.pending_lead = 0;
    st.x_offset = 0;
    st.first_line = 0;
    text_changed(st);
    // The platform's multi-line box says nothing about a new window text.
    if (!is_multiline(st))
        announce_change(hwnd);
    return 1;
}

LRESULT on_get_text(EditState& st, WPARAM size, char* buffer) {
    if (size == 0 || !buffer)
        return 0;
    std::size_t n = st.text.snap(std::min<std::size_t>(st.text.size(), size - 1));
    std::memcpy(buffer, st.text.text().data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT on_set_font(EditState& st, SetFont font) {
    set_control_font(st.hwnd, {font.font, false});
    st.layout_stale = true;
    scroll_to_caret(st);
    if (font.redraw)
        invalidate_rect(st.hwnd, nullptr, false);
    return 0;
}

LRESULT on_get_dlg_code(const EditState& st) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (is_multiline(st))
        code |= DLGC_WANTALLKEYS;
    return code;
}

// ---- Focus and appearance

void on_set_focus(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    st->focused = true;
    restart_caret(*st);
    scroll_to_caret(*st);
    invalidate_rect(hwnd, nullptr, false);
    // The platform's box shows itself focused before it tells the parent.
    repaint_now(hwnd);
    if (edit_state(hwnd))
        notify_parent(hwnd, EN_SETFOCUS);
}

void on_kill_focus(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    st->focused = false;
    st->pending_lead = 0;
    stop_caret(*st);
    invalidate_rect(hwnd, nullptr, false);
    notify_parent(hwnd, EN_KILLFOCUS);
}

void on_appearance_changed(EditState& st) {
    st.layout_stale = true;
    scroll_to_caret(st);
    invalidate_rect(st.hwnd, nullptr, false);
}

void on_timer(EditState& st, WPARAM id) {
    if (id == k_caret_timer)
        blink_caret(st);
}

// ---- Selection

LRESULT on_get_sel(const EditState& st, WPARAM start_out, LPARAM end_out) {
    auto start = static_cast<std::uint32_t>(st.text.selection_start());
    auto end = static_cast<std::uint32_t>(st.text.selection_end());
    if (auto* p = reinterpret_cast<std::uint32_t*>(start_out))
        *p = start;
    if (auto* p = reinterpret_cast<std::uint32_t*>(end_out))
        *p = end;
    if (start > 0xFFFF || end > 0xFFFF)
        return -1;
    return make_lparam(static_cast<int>(start), static_cast<int>(end));
}

LRESULT on_set_sel(EditState& st, std::int32_t start, std::int32_t end) {
    if (start == -1) {
        st.text.select(st.text.caret(), st.text.caret());
    } else {
        // Other negative values are huge unsigned positions: the end of the text.
        std::size_t size = st.text.size();
        st.text.select(start < 0 ? size : static_cast<std::size_t>(start),
                       end < 0 ? size : static_cast<std::size_t>(end));
    }
    selection_changed(st);
    return 0;
}

LRESULT on_replace_sel(HWND hwnd, bool can_undo, const char* text) {
    replace_selection_notifying(hwnd, text ? text : "", can_undo ? Undoable::Yes : Undoable::No,
                                Announce::Always);
    return 0;
}

// ---- Lines

LRESULT on_get_line_count(EditState& st) {
    return current_layout(st).line_count();
}

LRESULT on_line_index(EditState& st, std::int32_t line) {
    const EditLayout& layout = current_layout(st);
    if (line == -1)
        line = layout.line_of(st.text.caret());
    if (line < 0 || line >= layout.line_count())
        return -1;
    return static_cast<LRESULT>(layout.line_start(line));
}

LRESULT on_line_length(EditState& st, std::int32_t index) {
    if (!is_multiline(st))
        return static_cast<LRESULT>(st.text.size());
    const EditLayout& layout = current_layout(st);
    if (index == -1) {
        // The unselected characters on the lines the selection touches.
        std::size_t start = st.text.selection_start();
        std::size_t end = st.text.selection_end();
        std::size_t before = start - layout.line_start(layout.line_of(start));
        std::size_t line_end = layout.line_end(layout.line_of(end));
        return static_cast<LRESULT>(before + (line_end > end ? line_end - end : 0));
    }
    if (index < 0 || static_cast<std::size_t>(index) > st.text.size())
        return 0;
    int line = layout.line_of(static_cast<std::size_t>(index));
    return static_cast<LRESULT>(layout.line_end(line) - layout.line_start(line));
}

LRESULT on_get_line(EditState& st, std::int32_t line, char* buffer) {
    if (!buffer)
        return 0;
    const EditLayout& layout = current_layout(st);
    std::size_t start = 0;
    std::size_t end = st.text.size();
    if (is_multiline(st)) {
        if (line < 0 || line >= layout.line_count())
            return 0;
        start = layout.line_start(line);
        end = layout.line_end(line);
    }
    // The buffer's first word holds its size.
    std::uint16_t capacity = 0;
    std::memcpy(&capacity, buffer, sizeof capacity);
    std::size_t n = st.text.snap(start + std::min<std::size_t>(end - start, capacity)) - start;
    std::memcpy(buffer, st.text.text().data() + start, n);
    if (n < capacity)
        buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT on_line_from_char(EditState& st, std::int32_t index) {
    if (!is_multiline(st))
        return 0;
    std::size_t size = st.text.size();
    std::size_t pos = index == -1 ? st.text.selection_start()
                      : index < 0 ? size
                                  : std::min(static_cast<std::size_t>(index), size);
    return current_layout(st).line_of(pos);
}

LRESULT on_scroll_caret(EditState& st) {
    scroll_to_caret(st);
    invalidate_rect(st.hwnd, nullptr, false);
    return 1;
}

// ---- Settings

LRESULT on_limit_text(EditState& st, WPARAM limit) {
    std::size_t most = is_multiline(st) ? EDIT_DEFAULT_LIMIT_MULTI : EDIT_DEFAULT_LIMIT_SINGLE;
    st.text.set_limit(std::min<std::size_t>(limit, most));
    return 0;
}

LRESULT on_set_modify(EditState& st, bool modified) {
    st.text.set_modified(modified);
    return 0;
}

LRESULT on_empty_undo(EditState& st) {
    st.text.empty_undo();
    return 0;
}

LRESULT on_set_read_only(HWND hwnd, bool read_only) {
    std::uint32_t style = get_style(hwnd);
    std::uint32_t fresh = read_only ? (style | ES_READONLY) : (style & ~ES_READONLY);
    if (fresh != style)
        set_window_long(hwnd, GWL_STYLE, static_cast<std::intptr_t>(fresh));
    invalidate_rect(hwnd, nullptr, false);
    return 1;
}

LRESULT on_set_password_char(EditState& st, WPARAM code) {
    // The platform's multi-line box has no password form.
    if (is_multiline(st))
        return 0;
    st.password_char = static_cast<std::uint32_t>(code & 0xFFFF);
    std::uint32_t style = get_style(st.hwnd);
    std::uint32_t fresh = st.password_char ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD);
    if (fresh != style)
        set_window_long(st.hwnd, GWL_STYLE, static_cast<std::intptr_t>(fresh));
    if (EditState* still = edit_state(st.hwnd))
        on_appearance_changed(*still);
    return 0;
}

} // namespace

// ---- Shared with the other parts of the control

EditState* edit_state(HWND hwnd) {
    return control_state<EditState>(hwnd);
}

bool is_multiline(const EditState& st) {
    return st.text.is_multiline();
}
bool is_read_only(const EditState& st) {
    return (get_style(st.hwnd) & ES_READONLY) != 0;
}
bool is_password(const EditState& st) {
    return !is_multiline(st) && st.password_char != 0 && (get_style(st.hwnd) & ES_PASSWORD);
}

LetterCase letter_case_of(const EditState& st) {
    std::uint32_t style = get_style(st.hwnd);
    if (style & ES_UPPERCASE)
        return LetterCase::Upper;
    if (style & ES_LOWERCASE)
        return LetterCase::Lower;
    return LetterCase::AsTyped;
}

void selection_changed(EditState& st) {
    st.goal_x = -1;
    scroll_to_caret(st);
    restart_caret(st);
    invalidate_rect(st.hwnd, nullptr, false);
    edit_report_changes(st);
}

void text_changed(EditState& st) {
    st.layout_stale = true;
    selection_changed(st);
}

void announce_change(HWND hwnd) {
    notify_parent(hwnd, EN_UPDATE);
    if (!is_window(hwnd))
        return;
    repaint_now(hwnd);
    if (is_window(hwnd))
        notify_parent(hwnd, EN_CHANGE);
}

void replace_selection_notifying(HWND hwnd, std::string_view insert, Undoable undoable,
                                 Announce announce) {
    EditState* st = edit_state(hwnd);
    if (!st)
        return;
    std::string text = prepared(*st, insert);
    if (st->text.would_exceed_limit(text)) {
        notify_parent(hwnd, EN_MAXTEXT);
        if (!(st = edit_state(hwnd)))
            return;
    }
    ReplaceResult result = st->text.replace_selection(text, undoable, Limit::Honor);
    if (result.changed)
        text_changed(*st);
    if (result.changed || announce == Announce::Always)
        announce_change(hwnd);
}

std::string edit_display_text(HWND hwnd) {
    EditState* st = edit_state(hwnd);
    return st ? current_layout(*st).display_utf8() : std::string();
}

namespace {

LRESULT on_message(EditState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return on_create(st, reinterpret_cast<const CreateStruct*>(lp));
    case WM_NCDESTROY:
        return on_nc_destroy(hwnd, wp, lp);
    case WM_PAINT:
        paint(st);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_SETTEXT:
        return on_set_text(st, reinterpret_cast<const char*>(lp));
    case WM_GETTEXT:
        return on_get_text(st, wp, reinterpret_cast<char*>(lp));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(st.text.size());
    case WM_SETFONT:
        return on_set_font(st, set_font_params(wp, lp));
    case WM_GETFONT:
        return assigned_font(hwnd);
    case WM_GETDLGCODE:
        return on_get_dlg_code(st);
    case WM_GETOBJECT:
        return edit_access(st, hwnd, wp, lp);
    case WM_SETFOCUS:
        on_set_focus(hwnd);
        return 0;
    case WM_KILLFOCUS:
        on_kill_focus(hwnd);
        return 0;
    case WM_ENABLE:
        on_appearance_changed(st);
        return 0;
    case WM_STYLECHANGED:
        on_appearance_changed(st);
        return 0;
    case WM_SIZE:
        on_appearance_changed(st);
        return 0;
    case WM_TIMER:
        on_timer(st, wp);
        return 0;
    case WM_KEYDOWN:
        on_key_down(hwnd, static_cast<UINT>(wp));
        return 0;
    case WM_CHAR:
        on_char(hwnd, wp);
        return 0;
    case WM_LBUTTONDOWN:
        on_button_down(hwnd, mouse_point(lp), wp);
        return 0;
    case WM_LBUTTONDBLCLK:
        on_double_click(hwnd, mouse_point(lp));
        return 0;
    case WM_MOUSEMOVE:
        on_mouse_move(hwnd, mouse_point(lp));
        return 0;
    case WM_LBUTTONUP:
        on_button_up(hwnd);
        return 0;
    case WM_CAPTURECHANGED:
        st.tracking = false;
        return 0;
    case WM_MOUSEWHEEL:
        return on_mouse_wheel(hwnd, wheel_delta(wp), wp, lp);
    case WM_VSCROLL:
    case WM_HSCROLL:
        on_scroll_request(st, msg == WM_VSCROLL, loword(wp));
        return 0;
    case WM_CUT:
        on_cut(hwnd);
        return 0;
    case WM_COPY:
        on_copy(hwnd);
        return 0;
    case WM_PASTE:
        on_paste(hwnd);
        return 0;
    case WM_CLEAR:
        on_clear(hwnd);
        return 0;
    case WM_UNDO:
        return on_undo(hwnd);
    case EM_UNDO:
        return on_undo(hwnd);
    case EM_CANUNDO:
        return st.text.can_undo() ? 1 : 0;
    case EM_EMPTYUNDOBUFFER:
        return on_empty_undo(st);
    case EM_GETSEL:
        return on_get_sel(st, wp, lp);
    case EM_SETSEL:
        return on_set_sel(st, as_int(wp), as_int(static_cast<std::uintptr_t>(lp)));
    case EM_REPLACESEL:
        return on_replace_sel(hwnd, wp != 0, reinterpret_cast<const char*>(lp));
    case EM_SCROLLCARET:
        return on_scroll_caret(st);
    case EM_GETLINECOUNT:
        return on_get_line_count(st);
    case EM_GETFIRSTVISIBLELINE:
        return is_multiline(st) ? st.first_line : 0;
    case EM_LINEINDEX:
        return on_line_index(st, as_int(wp));
    case EM_LINELENGTH:
        return on_line_length(st, as_int(wp));
    case EM_GETLINE:
        return on_get_line(st, as_int(wp), reinterpret_cast<char*>(lp));
    case EM_LINEFROMCHAR:
        return on_line_from_char(st, as_int(wp));
    case EM_GETMODIFY:
        return st.text.is_modified() ? 1 : 0;
    case EM_SETMODIFY:
        return on_set_modify(st, wp != 0);
    case EM_LIMITTEXT:
        return on_limit_text(st, wp);
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(st.text.limit());
    case EM_SETREADONLY:
        return on_set_read_only(hwnd, wp != 0);
    case EM_SETPASSWORDCHAR:
        return on_set_password_char(st, wp);
    case EM_GETPASSWORDCHAR:
        return static_cast<LRESULT>(st.password_char);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<EditState, on_message>(hwnd, msg, wp, lp);
}

void register_edit_class() {
    register_control_class(WC_EDIT, edit_proc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
}

} // namespace platform::controls
