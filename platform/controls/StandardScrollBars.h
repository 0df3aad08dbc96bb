#pragma once

// The standard scroll bars that WS_VSCROLL and WS_HSCROLL give a child
// window: they lie in its frame beside the client area, report to the
// window itself with WM_VSCROLL / WM_HSCROLL (lParam null), and show
// themselves only while there is something to scroll (or while
// SIF_DISABLENOSCROLL keeps them). Showing or hiding one changes the
// client area, which the window hears as WM_SIZE.

#include "Controls.h"
#include <platform/drawing/Canvas.h>

namespace platform::controls {

int set_standard_scroll_info(HWND hwnd, int bar, const ScrollInfo& info, bool redraw);
bool get_standard_scroll_info(HWND hwnd, int bar, ScrollInfo& info);

// Paints the window's bars beside `client`, its client area in the canvas's
// coordinates.
void paint_standard_scroll_bars(HWND hwnd, Canvas& canvas, const Rect& client);

// What the default procedure does with WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK,
// WM_NCMOUSEMOVE and WM_NCLBUTTONUP.
LRESULT standard_scroll_bar_mouse(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace platform::controls
