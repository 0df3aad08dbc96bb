// Nested message loops for modal windows.

#include "DialogNavigation.h"
#include "detail/State.h"

namespace platform {

using namespace detail;

std::intptr_t run_modal_loop(HWND hwnd, HWND owner, ModalKeys keys) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return -1;
    HWND owner_top = owner ? get_ancestor_root(owner) : nullptr;
    bool disabled_owner = owner_top && owner_top != hwnd && is_window_enabled(owner_top);
    if (disabled_owner)
        enable_window(owner_top, false);

    std::intptr_t result = -1;
    for (;;) {
        w = find(hwnd);
        if (!w)
            break;
        // An end asked for before the loop started counts too.
        if (w->modal_ended) {
            result = w->modal_result;
            w->modal_ended = false;
            break;
        }
        Msg msg;
        if (!get_message(msg)) {
            // The outer loop must see the quit request too.
            post_quit_message(static_cast<int>(msg.wParam));
            break;
        }
        if (keys == ModalKeys::Dialog && is_dialog_message(hwnd, msg))
            continue;
        translate_message(msg);
        dispatch_message(msg);
    }
    // The owner is enabled again before the modal window goes away, so that
    // activation can return to it.
    if (disabled_owner && is_window(owner_top))
        enable_window(owner_top, true);
    return result;
}

void end_modal_loop(HWND hwnd, std::intptr_t result) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    w->modal_result = result;
    w->modal_ended = true;
    // Wake the nested loop if it is waiting.
    post_message(hwnd, WM_NULL);
}

} // namespace platform
