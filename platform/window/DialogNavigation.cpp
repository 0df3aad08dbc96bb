#include "DialogNavigation.h"

#include "WindowSystem.h"
#include <platform/controls/Controls.h>
#include <platform/dialogs/Dialogs.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Controls in tab order: z-order, descending into WS_EX_CONTROLPARENT windows.
void collect(HWND parent, std::vector<HWND>& out) {
    for (HWND c : get_children(parent)) {
        if (get_ex_style(c) & WS_EX_CONTROLPARENT)
            collect(c, out);
        else
            out.push_back(c);
    }
}

bool usable(HWND h) {
    return is_window_visible(h) && is_window_enabled(h);
}

LRESULT dlg_code(HWND h, const Msg* msg) {
    return h ? send_message(h, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg))
             : 0;
}

void focus_control(HWND h) {
    set_focus(h);
    if (dlg_code(h, nullptr) & DLGC_HASSETSEL)
        send_message(h, EM_SETSEL, 0, -1);
}

HWND default_button(HWND dialog) {
    std::vector<HWND> all;
    collect(dialog, all);
    for (HWND h : all)
        if (usable(h) && (dlg_code(h, nullptr) & DLGC_DEFPUSHBUTTON))
            return h;
    return nullptr;
}

// Moves within the group of `from`: the controls between WS_GROUP marks.
HWND next_group_item(HWND dialog, HWND from, bool previous) {
    std::vector<HWND> all;
    collect(dialog, all);
    auto it = std::find(all.begin(), all.end(), from);
    if (it == all.end())
        return nullptr;
    auto first = it;
    while (first != all.begin() && !(get_style(*first) & WS_GROUP))
        --first;
    auto last = it + 1;
    while (last != all.end() && !(get_style(*last) & WS_GROUP))
        ++last;
    std::vector<HWND> group(first, last);
    auto pos = std::find(group.begin(), group.end(), from) - group.begin();
    auto n = static_cast<std::ptrdiff_t>(group.size());
    for (std::ptrdiff_t step = 1; step < n; ++step) {
        std::ptrdiff_t i = ((pos + (previous ? -step : step)) % n + n) % n;
        if (usable(group[static_cast<std::size_t>(i)]))
            return group[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

} // namespace

HWND next_tab_item(HWND dialog, HWND from, bool previous) {
    std::vector<HWND> all;
    collect(dialog, all);
    std::erase_if(all, [](HWND h) { return !usable(h) || !(get_style(h) & WS_TABSTOP); });
    if (all.empty())
        return nullptr;
    // The focus may sit inside a control (a combo box's edit field): Tab
    // goes on from the control that holds it.
    auto it = std::find(all.begin(), all.end(), from);
    for (HWND up = from; it == all.end() && up && up != dialog;) {
        up = get_parent(up);
        it = std::find(all.begin(), all.end(), up);
    }
    if (it == all.end())
        return previous ? all.back() : all.front();
    auto n = static_cast<std::ptrdiff_t>(all.size());
    std::ptrdiff_t i = ((it - all.begin()) + (previous ? -1 : 1) + n) % n;
    return all[static_cast<std::size_t>(i)];
}

bool is_dialog_message(HWND dialog, const Msg& msg) {
    if (!is_window(dialog) || !msg.hwnd || (msg.hwnd != dialog && !is_child(dialog, msg.hwnd)))
        return false;
    HWND focus = get_focus();
    if (focus && focus != dialog && !is_child(dialog, focus))
        focus = nullptr;
    LRESULT code = dlg_code(focus, &msg);
    if (msg.message == WM_CHAR) {
        // The characters of the keys handled below never reach the control.
        if ((msg.wParam == '\t' && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) ||
            ((msg.wParam == '\r' || msg.wParam == 0x1B) && !(code & DLGC_WANTALLKEYS)))
            return true;
        return false;
    }
    if (msg.message != WM_KEYDOWN)
        return false;
    bool shift = get_key_state(VK_SHIFT) < 0;
    switch (msg.wParam) {
    case VK_TAB: {
        if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))
            return false;
        if (HWND next = next_tab_item(dialog, focus, shift))
            focus_control(next);
        return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (!focus || (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)))
            return false;
        bool previous = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
        HWND next = next_group_item(dialog, focus, previous);
        if (!next)
            return true;
        focus_control(next);
        if (dlg_code(next, nullptr) & DLGC_RADIOBUTTON)
            send_message(next, BM_CLICK);
        return true;
    }
    case VK_RETURN: {
        if (code & DLGC_WANTALLKEYS)
            return false;
        if (focus && (code & DLGC_DEFPUSHBUTTON || code & DLGC_UNDEFPUSHBUTTON)) {
            send_message(focus, BM_CLICK);
            return true;
        }
        if (HWND def = default_button(dialog)) {
            send_message(def, BM_CLICK);
            return true;
        }
        send_message(dialog, WM_COMMAND, make_wparam(IDOK, BN_CLICKED), 0);
        return true;
    }
    case VK_ESCAPE: {
        if (code & DLGC_WANTALLKEYS)
            return false;
        HWND cancel = get_dlg_item(dialog, IDCANCEL);
        send_message(dialog, WM_COMMAND, make_wparam(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform
