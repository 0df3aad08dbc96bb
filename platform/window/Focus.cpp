// Keyboard focus, mouse capture and activation.

#include "detail/State.h"
#include <platform/access/AccessEvents.h>

namespace platform {

using namespace detail;

HWND set_focus(HWND hwnd) {
    auto& s = state();
    if (!on_ui_thread())
        return nullptr;
    HWND previous = s.focus;
    if (hwnd == previous)
        return previous;
    if (hwnd) {
        WindowRecord* w = find(hwnd);
        if (!w)
            return nullptr;
        // A window in a disabled or hidden top-level chain cannot take focus.
        for (WindowRecord* a = w; a; a = a->parent ? find(a->parent) : nullptr)
            if (a->style & WS_DISABLED)
                return nullptr;
        HWND top = get_ancestor_root(hwnd);
        if (top != s.active) {
            set_active_window(top);
            // Activation may have put the focus somewhere already.
            previous = s.focus;
            if (hwnd == s.focus || !is_window(hwnd))
                return previous;
        }
    }
    s.focus = hwnd;
    if (previous && is_window(previous))
        send_message(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && s.focus == hwnd && is_window(hwnd))
        send_message(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    if (s.focus == hwnd)
        access::notify(access::EventKind::Focus, hwnd);
    return previous;
}

HWND get_focus() {
    return state().focus;
}

HWND set_capture(HWND hwnd) {
    auto& s = state();
    if (!find(hwnd))
        return nullptr;
    HWND previous = s.capture;
    s.capture_nonclient = false;
    if (previous == hwnd)
        return previous;
    s.capture = hwnd;
    if (previous && is_window(previous))
        send_message(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return previous;
}

bool release_capture() {
    auto& s = state();
    HWND previous = s.capture;
    if (!previous)
        return true;
    s.capture = nullptr;
    s.capture_nonclient = false;
    if (is_window(previous))
        send_message(previous, WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND set_nonclient_capture(HWND hwnd) {
    HWND previous = set_capture(hwnd);
    if (get_capture() == hwnd)
        state().capture_nonclient = true;
    return previous;
}

HWND get_capture() {
    return state().capture;
}

HWND set_active_window(HWND hwnd) {
    auto& s = state();
    if (hwnd) {
        hwnd = get_ancestor_root(hwnd);
        if (!hwnd)
            return nullptr;
    }
    HWND previous = s.active;
    if (hwnd == previous)
        return previous;
    s.active = hwnd;
    if (previous && is_window(previous)) {
        send_message(previous, WM_NCACTIVATE, 0, 0);
        send_message(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    }
    if (s.active != hwnd)
        return previous; // a handler activated something else meanwhile
    if (!hwnd) {
        if (s.focus)
            set_focus(nullptr);
        return previous;
    }
    if (!is_window(hwnd))
        return previous;
    s.foreground = hwnd;
    if (s.backend)
        s.backend->window_activated(hwnd);
    send_message(hwnd, WM_NCACTIVATE, 1, 0);
    HWND focus_before = s.focus;
    send_message(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    // A client follows the focus into the window even when it did not move.
    if (s.active == hwnd && s.focus && s.focus == focus_before &&
        get_ancestor_root(s.focus) == hwnd)
        access::notify(access::EventKind::Focus, s.focus);
    return previous;
}

HWND get_active_window() {
    return state().active;
}

bool set_foreground_window(HWND hwnd) {
    if (!find(hwnd))
        return false;
    set_active_window(hwnd);
    return true;
}

HWND get_foreground_window() {
    return state().foreground;
}

} // namespace platform
