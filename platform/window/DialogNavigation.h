#pragma once

#include "platform/Types.h"

namespace platform {

// Keyboard navigation inside a window that holds controls: Tab and
// Shift+Tab move between WS_TABSTOP controls, arrows move within a group,
// Enter presses the default push button, Escape sends IDCANCEL. Returns true
// when the message was used and must not be dispatched.
bool is_dialog_message(HWND dialog, const Msg& msg);

// The next (or previous) control that takes Tab, after `from`.
HWND next_tab_item(HWND dialog, HWND from, bool previous);

} // namespace platform
