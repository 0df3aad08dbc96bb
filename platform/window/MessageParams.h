#pragma once

// Typed readings of the parameters that messages carry the same way wherever
// they go, so that a window procedure unpacks each one in one way.

#include <platform/Types.h>

#include <cstdint>

namespace platform {

// Mouse-button and mouse-move messages: the point, in client coordinates.
constexpr Point mouse_point(LPARAM lp) {
    return {get_x_lparam(lp), get_y_lparam(lp)};
}

// WM_MOUSEWHEEL: the signed distance the wheel turned, in WHEEL_DELTA steps.
constexpr int wheel_delta(WPARAM wp) {
    return high_short(wp);
}

// WM_SIZE: the new size of the client area.
constexpr Size client_size(LPARAM lp) {
    return {loword(static_cast<std::uintptr_t>(lp)), hiword(static_cast<std::uintptr_t>(lp))};
}

// WM_SETCURSOR: the hit-test code of the point under the mouse.
constexpr int hit_test_code(LPARAM lp) {
    return low_short(static_cast<std::uintptr_t>(lp));
}

// WM_SETFONT: the font, and whether to redraw now (the low word of lParam;
// the high word is not part of the flag).
struct SetFont {
    HFONT font;
    bool redraw;
};
inline SetFont set_font_params(WPARAM wp, LPARAM lp) {
    return {reinterpret_cast<HFONT>(wp), loword(static_cast<std::uintptr_t>(lp)) != 0};
}

// WM_COMMAND: the control's id and notification code, and the control
// (null for menus and accelerators).
struct Command {
    int id;
    UINT code;
    HWND from;
};
inline Command command_params(WPARAM wp, LPARAM lp) {
    return {loword(wp), hiword(wp), reinterpret_cast<HWND>(lp)};
}

} // namespace platform
