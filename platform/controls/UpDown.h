#pragma once

// "msctls_updown32": a pair of arrow buttons that step a position through a
// range, optionally written into a buddy window's text (UDS_SETBUDDYINT),
// attached to the buddy's side (UDS_ALIGNLEFT / UDS_ALIGNRIGHT) and driven
// by the buddy's Up and Down keys (UDS_ARROWKEYS).
//
// Each step asks the parent first with UDN_DELTAPOS (a non-zero answer
// cancels the change; the parent may also change iDelta), then reports the
// position with WM_VSCROLL (WM_HSCROLL with UDS_HORZ) and SB_THUMBPOSITION;
// like the platform's control it sends that report even when the change was
// cancelled or the position is at the end of the range. Releasing the
// button sends SB_ENDSCROLL.
//
// "Up" (the upper or right button, the Up key) moves towards the range's
// maximum, so with the maximum below the minimum (the platform's default
// range is 100 to 0) it makes the number smaller.

#include "platform/Types.h"

namespace platform::controls {

LRESULT updown_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The first auto-repeat step comes this long after the press, the next
// ones at the shorter interval.
constexpr UINT k_updown_first_delay_ms = 400;
constexpr UINT k_updown_repeat_ms = 50;

} // namespace platform::controls
