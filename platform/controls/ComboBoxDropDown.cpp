// What the user does with a combo box: dropping and closing the list,
// choosing with the mouse and the keyboard, focus, and the edit field's
// notifications.
//
// The notifications follow the order the platform's own combo box sends:
//   - choosing an item of the open list with the mouse: CBN_SELENDOK,
//     CBN_CLOSEUP, then CBN_SELCHANGE (the list reports the click after it
//     has been closed up, so the parent sees the change last);
//   - Enter (or F4, Alt+Up/Down) in the open list: CBN_SELENDOK, CBN_CLOSEUP;
//     the arrow keys in the open list each send CBN_SELCHANGE at once;
//   - the arrow keys on a closed list: CBN_SELENDOK, then CBN_SELCHANGE
//     (the closed list "ends" each selection as it makes it);
//   - Escape, a click outside the list, or losing the focus:
//     CBN_SELENDCANCEL, then CBN_CLOSEUP;
//   - CBS_SIMPLE: CBN_SELENDOK immediately before every CBN_SELCHANGE.
// With an edit field the text of the chosen item is put into the field
// after CBN_SELCHANGE, as the platform does: a parent that reads the
// window text on CBN_SELCHANGE still sees the old text.

#include "ComboBox.h"

#include "ComboListBox.h"
#include "ControlSupport.h"
#include <platform/access/AccessEvents.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>

namespace platform::controls {

namespace {

constexpr const char* k_edit_proc_prop = "armctl.combo.editproc";

bool alive(HWND hwnd) {
    return is_window(hwnd);
}

int navigation_target(const ComboBoxState& st, UINT vk, int from) {
    int count = st.items.count();
    if (count == 0)
        return -1;
    int page = std::max(1, (st.dropped ? combo_list_page_size(st.list) : combo_list_rows(st)) - 1);
    switch (vk) {
    case VK_UP:
        return from < 0 ? 0 : std::max(0, from - 1);
    case VK_DOWN:
        return from < 0 ? 0 : std::min(count - 1, from + 1);
    case VK_PRIOR:
        return std::max(0, from - page);
    case VK_NEXT:
        return std::min(count - 1, std::max(from, 0) + page);
    case VK_HOME:
        return 0;
    case VK_END:
        return count - 1;
    default:
        return -1;
    }
}

bool is_navigation_key(UINT vk) {
    return vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_HOME ||
           vk == VK_END;
}

// A selection the user made with the keyboard (or the wheel).
void select_by_user(ComboBoxState& st, int index) {
    int from = st.dropped ? combo_list_current(st.list) : st.selected;
    if (index < 0 || index == from)
        return;
    HWND self = st.self;
    combo_set_selection(st, index);
    if (st.dropped) {
        notify_parent(self, CBN_SELCHANGE);
    } else {
        notify_parent(self, CBN_SELENDOK);
        if (!alive(self))
            return;
        notify_parent(self, CBN_SELCHANGE);
    }
    if (alive(self))
        combo_update_edit(st);
}

// Closes the open list keeping the highlighted item.
void accept_current(ComboBoxState& st) {
    HWND self = st.self;
    int current = combo_list_current(st.list);
    bool changed = current >= 0 && current != st.selected;
    if (changed)
        combo_set_selection(st, current);
    combo_roll_up(st, true);
    if (!changed || !alive(self))
        return;
    notify_parent(self, CBN_SELCHANGE);
    if (alive(self))
        combo_update_edit(st);
}

void got_focus(ComboBoxState& st) {
    if (st.focused)
        return;
    st.focused = true;
    if (st.edit)
        send_message(st.edit, EM_SETSEL, 0, -1);
    invalidate_rect(st.self, nullptr, false);
    notify_parent(st.self, CBN_SETFOCUS);
}

void lost_focus(ComboBoxState& st) {
    if (!st.focused)
        return;
    HWND self = st.self;
    combo_roll_up(st, false);
    if (!alive(self))
        return;
    st.focused = false;
    invalidate_rect(self, nullptr, false);
    notify_parent(self, CBN_KILLFOCUS);
}

// The edit field's text changed by typing: a closed list loses its
// selection (the text no longer names an item); an open one highlights the
// first item the text begins.
void follow_edit_text(ComboBoxState& st) {
    std::string text = get_window_text(st.edit);
    int match = text.empty() ? -1 : st.items.find_prefix(-1, text);
    st.selected = st.dropped ? match : -1;
    combo_list_set_current(st.list, st.selected);
}

LRESULT edit_subclass_proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(get_prop(edit, k_edit_proc_prop));
    ComboBoxState* st = combo_state(get_parent(edit));
    if (st && st->edit == edit) {
        switch (msg) {
        case WM_KEYDOWN:
            // Home and End move the caret in the field.
            if (wp != VK_HOME && wp != VK_END && combo_on_key_down(*st, static_cast<UINT>(wp)))
                return 0;
            break;
        case WM_SYSKEYDOWN:
            if (combo_on_sys_key_down(*st, static_cast<UINT>(wp), lp))
                return 0;
            break;
        case WM_MOUSEWHEEL:
            combo_on_wheel(*st, wheel_delta(wp));
            return 0;
        case WM_GETDLGCODE: {
            LRESULT base = old ? call_window_proc(old, edit, msg, wp, lp) : 0;
            return combo_dialog_code(*st, lp, base);
        }
        default:
            break;
        }
    }
    return old ? call_window_proc(old, edit, msg, wp, lp) : def_window_proc(edit, msg, wp, lp);
}

} // namespace

void combo_drop_down(ComboBoxState& st, bool button_down) {
    if (st.kind == CBS_SIMPLE || st.dropped || !st.list)
        return;
    HWND self = st.self;
    notify_parent(self, CBN_DROPDOWN);
    if (!alive(self) || st.dropped || !is_window_enabled(self))
        return;
    int current = st.selected;
    if (st.edit) {
        std::string text = get_window_text(st.edit);
        if (!text.empty())
            current = st.items.find_prefix(-1, text);
    }
    Rect screen;
    get_window_rect(self, screen);
    int height = combo_list_rows(st) * st.item_height + 2;
    st.dropped = true;
    set_window_pos(st.list, HWND_TOP, screen.left, screen.bottom, screen.width(), height,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // As on the platform, the list opens with the selected item at its top
    // (or as near the top as the last page allows).
    combo_list_set_top_index(st.list, std::max(current, 0));
    combo_list_set_current(st.list, current);
    combo_list_begin_tracking(st.list, button_down);
    invalidate_rect(self, nullptr, false);
    access::notify_state(self, access::Expanded, true);
}

void combo_roll_up(ComboBoxState& st, bool ok) {
    if (st.kind == CBS_SIMPLE || !st.dropped || st.closing)
        return;
    HWND self = st.self;
    // A roll-up the parent causes while it hears of this one (by taking the
    // focus, say) must not end the selection a second time.
    st.closing = true;
    notify_parent(self, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!alive(self))
        return;
    st.closing = false;
    if (!st.dropped)
        return;
    st.dropped = false;
    combo_list_end_tracking(st.list);
    show_window(st.list, SW_HIDE);
    invalidate_rect(self, nullptr, false);
    access::notify_state(self, access::Expanded, false);
    notify_parent(self, CBN_CLOSEUP);
}

void combo_flip(ComboBoxState& st) {
    if (st.dropped)
        accept_current(st);
    else
        combo_drop_down(st, false);
}

void combo_on_button_down(ComboBoxState& st, Point p) {
    HWND self = st.self;
    HWND focus = get_focus();
    if (focus != self && focus != st.edit) {
        set_focus(self);
        if (!alive(self) || !st.focused)
            return;
    }
    bool on_button = combo_button_rect(st).contains(p);
    if (st.kind == CBS_DROPDOWNLIST || (st.kind == CBS_DROPDOWN && on_button)) {
        if (st.dropped)
            combo_roll_up(st, false);
        else
            combo_drop_down(st, true);
    }
}

bool combo_on_key_down(ComboBoxState& st, UINT vk) {
    if (st.dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
        if (vk == VK_RETURN)
            accept_current(st);
        else
            combo_roll_up(st, false);
        return true;
    }
    if (vk == VK_F4) {
        if (st.kind != CBS_SIMPLE)
            combo_flip(st);
        return true;
    }
    if (!is_navigation_key(vk))
        return false;
    int from = st.dropped ? combo_list_current(st.list) : st.selected;
    select_by_user(st, navigation_target(st, vk, from));
    return true;
}

bool combo_on_sys_key_down(ComboBoxState& st, UINT vk, LPARAM flags) {
    bool alt = (static_cast<std::uint32_t>(flags) & (1u << 29)) != 0;
    if (!alt || (vk != VK_UP && vk != VK_DOWN) || st.kind == CBS_SIMPLE)
        return false;
    combo_flip(st);
    return true;
}

void combo_on_char(ComboBoxState& st, unsigned ch) {
    if (st.kind != CBS_DROPDOWNLIST || ch < 0x20 || ch > 0x7E)
        return;
    // A typed letter moves to the next item that begins with it.
    char text[2] = {static_cast<char>(ch), '\0'};
    int from = st.dropped ? combo_list_current(st.list) : st.selected;
    select_by_user(st, st.items.find_prefix(from, text));
}

void combo_on_wheel(ComboBoxState& st, int delta) {
    // The platform turns each wheel step into an arrow key.
    if (delta == 0)
        return;
    combo_on_key_down(st, delta > 0 ? VK_UP : VK_DOWN);
}

void combo_on_list_command(ComboBoxState& st, UINT code) {
    HWND self = st.self;
    switch (code) {
    case LBN_SELCHANGE: {
        int index = combo_list_current(st.list);
        if (index < 0)
            return;
        combo_set_selection(st, index);
        if (st.kind == CBS_SIMPLE)
            notify_parent(self, CBN_SELENDOK);
        else
            combo_roll_up(st, true);
        if (!alive(self))
            return;
        notify_parent(self, CBN_SELCHANGE);
        if (alive(self))
            combo_update_edit(st);
        return;
    }
    case LBN_DBLCLK:
        if (st.kind == CBS_SIMPLE)
            notify_parent(self, CBN_DBLCLK);
        return;
    case LBN_SELCANCEL:
        combo_roll_up(st, false);
        return;
    default:
        return;
    }
}

void combo_on_edit_command(ComboBoxState& st, UINT code) {
    switch (code) {
    case EN_SETFOCUS:
        got_focus(st);
        return;
    case EN_KILLFOCUS:
        if (get_focus() != st.self)
            lost_focus(st);
        return;
    case EN_UPDATE:
        if (!st.quiet_edit)
            notify_parent(st.self, CBN_EDITUPDATE);
        return;
    case EN_CHANGE:
        if (st.quiet_edit)
            return;
        follow_edit_text(st);
        notify_parent(st.self, CBN_EDITCHANGE);
        return;
    case EN_ERRSPACE:
        notify_parent(st.self, CBN_ERRSPACE);
        return;
    default:
        return;
    }
}

void combo_on_set_focus(ComboBoxState& st) {
    // With an edit field the field takes the focus; its EN_SETFOCUS then
    // tells the parent.
    if (st.edit) {
        set_focus(st.edit);
        return;
    }
    got_focus(st);
}

void combo_on_kill_focus(ComboBoxState& st, HWND new_focus) {
    if (new_focus && (new_focus == st.edit || new_focus == st.list))
        return;
    lost_focus(st);
}

LRESULT combo_dialog_code(const ComboBoxState& st, LPARAM lp, LRESULT base) {
    LRESULT code = base | DLGC_WANTARROWS | DLGC_WANTCHARS;
    auto* msg = reinterpret_cast<const Msg*>(lp);
    if (msg && st.dropped && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE;
    return code;
}

void combo_subclass_edit(HWND edit) {
    WNDPROC old = set_window_proc(edit, edit_subclass_proc);
    set_prop(edit, k_edit_proc_prop, reinterpret_cast<std::intptr_t>(old));
}

} // namespace platform::controls
