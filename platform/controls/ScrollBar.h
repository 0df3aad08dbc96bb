#pragma once

// "SCROLLBAR": a horizontal (SBS_HORZ) or vertical (SBS_VERT) bar of its
// own. It reports the user's moves to its parent with WM_HSCROLL /
// WM_VSCROLL and its own handle in lParam; the parent sets the position.

#include "platform/Types.h"

namespace platform::controls {

LRESULT scrollbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace platform::controls
