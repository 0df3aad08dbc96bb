#pragma once

// Raw input from a display backend (or a test). Events are queued and turned
// into mouse, key and character messages when the loop retrieves them, so
// they reach the window that is under the mouse or has the focus then.

#include <platform/Types.h>

#include <cstdint>
#include <string_view>

namespace platform::input {

enum class Button { Left = 0, Right = 1, Middle = 2 };

// `client` is in the client coordinates of the top-level window `top`.
void mouse_move(HWND top, Point client, std::uint32_t time = 0);
void mouse_button(HWND top, Point client, Button button, bool down, std::uint32_t time = 0);
void mouse_wheel(HWND top, Point client, int delta, std::uint32_t time = 0);
// The mouse left the top-level window's area on the display.
void mouse_left(HWND top);
// A key goes to the focused window. `typed_char` is the GBK code of the
// character the key types (0 for none); translate_message makes it WM_CHAR.
void key(UINT vk, bool down, std::uint32_t typed_char = 0, int repeat = 1, std::uint32_t time = 0);
// Text from an input method or a paste-like gesture, as UTF-8: each
// character reaches the focused window as WM_CHAR of its GBK bytes.
void text(std::string_view utf8);

// The display's own window management.
void close_request(HWND top);
void native_geometry(HWND top, const Rect& client_in_screen);
void native_state(HWND top, bool minimized, bool maximized);
void native_focus(HWND top, bool focused);

} // namespace platform::input
