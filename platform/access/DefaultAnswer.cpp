// What every window says about itself before its own procedure adds what it
// knows better.

#include "Access.h"

#include <platform/Encoding.h>
#include <platform/window/WindowSystem.h>

namespace platform::access {

namespace {

bool enabled_chain(HWND hwnd) {
    for (HWND h = hwnd; h; h = get_parent(h))
        if (!is_window_enabled(h))
            return false;
    return true;
}

void describe_window(HWND hwnd, Node& node) {
    bool top = get_parent(hwnd) == nullptr;
    node.role = top ? Role::Frame : Role::Panel;
    node.name = gbk_to_utf8(get_window_text(hwnd));
    std::uint32_t style = get_style(hwnd);
    if (style & WS_VISIBLE)
        node.states |= Visible;
    if (is_window_visible(hwnd))
        node.states |= Showing;
    if (enabled_chain(hwnd))
        node.states |= Enabled;
    if (!top && (style & WS_TABSTOP))
        node.states |= Focusable;
    if (get_focus() == hwnd)
        node.states |= Focused;
    if (top && get_active_window() == hwnd)
        node.states |= Active;
    get_window_rect(hwnd, node.extents);
}

} // namespace

LRESULT default_answer(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* request = reinterpret_cast<Request*>(lp);
    if (!request || request->part != 0)
        return 0;
    switch (static_cast<Query>(wp)) {
    case Query::Describe:
        if (!request->node)
            return 0;
        describe_window(hwnd, *request->node);
        request->handled = true;
        return 1;
    case Query::Text:
        // The window text, for the windows whose text is what they show.
        if (!request->text)
            return 0;
        request->text->text = gbk_to_utf8(get_window_text(hwnd));
        request->handled = true;
        return 1;
    default:
        return 0;
    }
}

} // namespace platform::access
