#pragma once

// "BUTTON": push buttons (default or not), check boxes, radio buttons, group
// boxes and owner-drawn buttons.

#include "platform/Types.h"

namespace platform::controls {

LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace platform::controls
