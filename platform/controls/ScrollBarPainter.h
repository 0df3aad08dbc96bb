#pragma once

// How a scroll bar looks: a light track, flat arrow buttons with chevrons
// and a rounded thumb that darkens under the mouse and while held.

#include "ScrollBarGeometry.h"
#include <platform/drawing/Canvas.h>

namespace platform::controls {

struct ScrollBarLook {
    bool vertical = true;
    bool enabled = true;
    ScrollPart hot = ScrollPart::None;     // under the mouse
    ScrollPart pressed = ScrollPart::None; // held with the mouse under it
};

// Paints the bar into `r` (canvas coordinates).
void paint_scroll_bar(Canvas& canvas, const Rect& r, const ScrollLayout& layout,
                      const ScrollBarLook& look);

} // namespace platform::controls
