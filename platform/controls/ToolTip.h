#pragma once

// A small pop-up window that shows a text near the mouse.

#include "platform/Types.h"

#include <string_view>

namespace platform::controls {

constexpr unsigned tool_tip_delay_ms = 500;

// Shows `text` (GBK) at a screen point; the caller destroys the returned
// window to hide it. Owned by the top-level window of `owner`.
HWND show_tool_tip(HWND owner, std::string_view text, Point screen);

} // namespace platform::controls
