#pragma once

// How the restyled controls look: the three colour schemes, the push button
// and the group box drawn in full, and the one-pixel border that replaces
// the sunken edge of edit boxes and drop-down lists.

#include <platform/Types.h>
#include <platform/drawing/Canvas.h>

#include <array>

namespace commands {

// The system colours the restyled look is built from.
inline constexpr platform::COLORREF ButtonFace = platform::rgb(240, 240, 240);
inline constexpr platform::COLORREF WindowColor = platform::rgb(255, 255, 255);

// Each component less by `amount`, not below 0.
platform::COLORREF darken(platform::COLORREF color, int amount);

// A shaded face: a vertical gradient from top to bottom.
struct FaceShade {
    platform::COLORREF top;
    platform::COLORREF bottom;
};

// The face by the first state that holds, in this order.
enum class FaceState { Pressed, Hot, Checked, FocusedOrDefault, Normal };

struct SchemeColors {
    platform::COLORREF control_border; // edit boxes and drop-down lists
    platform::COLORREF button_border;
    std::array<FaceShade, 5> faces; // indexed by FaceState
};

// Schemes 1 to 3; any other number reads as scheme 3.
const SchemeColors& scheme_colors(int scheme);

inline constexpr platform::COLORREF GroupBoxFrame = platform::rgb(191, 184, 191);
inline constexpr platform::COLORREF DisabledButtonFace = platform::rgb(245, 244, 234);
inline constexpr platform::COLORREF DisabledButtonText = platform::rgb(165, 162, 148);

struct PushButtonLook {
    bool disabled = false;
    bool pressed = false;
    bool hot = false;
    bool checked = false;
    bool indeterminate = false;
    bool focused = false;
    bool is_default = false;
};

FaceState face_state(const PushButtonLook& look);

// Draws a push button (or a push-like check box or radio button) over its
// whole client area: background, button-face frame, scheme border, face,
// rounded corners, focus rectangle and text.
void paint_push_button(platform::HWND hwnd, platform::Canvas& canvas, const PushButtonLook& look,
                       int scheme);

// Draws a group box's frame and caption; the inside is left to the parent.
void paint_group_box(platform::HWND hwnd, platform::Canvas& canvas);

// Draws the border of a bordered edit box in its parent's picture, over the
// frame the platform drew: the scheme's colour outside, then the button face
// (disabled or read-only) or the window colour.
void paint_edit_border(platform::HWND hwnd, int scheme);

// Draws the scheme's border over the edge a drop-down list draws itself.
void paint_list_border(platform::HWND hwnd, platform::Canvas& canvas, int scheme);

} // namespace commands
