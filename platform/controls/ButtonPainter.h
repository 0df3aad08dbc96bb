#pragma once

// How each kind of button looks in each of its states.

#include "platform/Types.h"
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>

namespace platform::controls {

struct ButtonState {
    WPARAM check = 0;    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
    bool pushed = false; // drawn pressed
    bool hot = false;    // the mouse is over it
    bool focused = false;
    bool tracking = false;   // the left button went down on it and is still down
    bool space_down = false; // the space bar went down while it had focus
    HBITMAP bitmap = nullptr;
    HBITMAP icon = nullptr;
};

void paint_button(HWND hwnd, const ButtonState& st, Canvas& canvas);

} // namespace platform::controls
