#pragma once

// What the standard controls share: the flat colour scheme, notifying the
// parent, asking the parent for colours, and the font a control was given.

#include "Controls.h"
#include <platform/drawing/Canvas.h>
#include <platform/window/MessageParams.h>
#include <platform/window/WindowSystem.h>

#include <string>

namespace platform::controls {

// The flat look of every control.
namespace colors {
constexpr COLORREF window = rgb(0xFF, 0xFF, 0xFF); // edit and list backgrounds
constexpr COLORREF face = rgb(0xF0, 0xF0, 0xF0);   // buttons, dialogs, static text
constexpr COLORREF face_hot = rgb(0xE5, 0xF1, 0xFB);
constexpr COLORREF face_pressed = rgb(0xCC, 0xE4, 0xF7);
constexpr COLORREF border = rgb(0xAD, 0xAD, 0xAD);
constexpr COLORREF border_hot = rgb(0x00, 0x78, 0xD7);
constexpr COLORREF text = rgb(0x00, 0x00, 0x00);
constexpr COLORREF text_disabled = rgb(0x83, 0x83, 0x83);
constexpr COLORREF face_disabled = rgb(0xF4, 0xF4, 0xF4);
constexpr COLORREF highlight = rgb(0x00, 0x78, 0xD7); // selection background
constexpr COLORREF highlight_text = rgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF selection_inactive = rgb(0xCC, 0xCC, 0xCC);
constexpr COLORREF accent = rgb(0x00, 0x78, 0xD7); // focus and check marks
constexpr COLORREF group_line = rgb(0xDC, 0xDC, 0xDC);
} // namespace colors

// Sends WM_COMMAND(MAKEWPARAM(id, code), hwnd) to the parent.
void notify_parent(HWND hwnd, UINT code);
// Sends WM_NOTIFY with the header filled in; returns the parent's answer.
LRESULT notify_parent(HWND hwnd, NMHDR& header, UINT code);

// Asks the parent for colours with a WM_CTLCOLOR* message. The canvas gets
// the text and background colours the parent set; the return value is the
// background to fill with (the fallback when the parent gave no brush).
COLORREF query_colors(HWND hwnd, UINT ctlcolor_message, Canvas& canvas,
                      COLORREF fallback_background, COLORREF fallback_text = colors::text);

// Keeps a control's WM_SETFONT font; answers WM_GETFONT. Returns the font
// in effect (the default GUI font when none was set).
HFONT control_font(HWND hwnd);
void set_control_font(HWND hwnd, SetFont font);
// What WM_GETFONT answers: the font set with WM_SETFONT, or null.
LRESULT assigned_font(HWND hwnd);

// Registers a control's window class with the arrow (or another system)
// cursor and room for its state and font (ControlState.h); registering twice
// fails quietly.
void register_control_class(const char* name, WNDPROC proc, std::uint32_t class_style,
                            int cursor_id = IDC_ARROW);

// Draws the raised or sunken flat frame most controls use.
void draw_flat_frame(Canvas& canvas, const Rect& r, COLORREF color);

} // namespace platform::controls
