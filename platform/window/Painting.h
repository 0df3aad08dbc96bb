#pragma once

// Invalidation and painting. Each window has an update region; WM_PAINT is
// generated for it when the queue is otherwise empty, and begin_paint hands
// the procedure a canvas clipped to that region.

#include <platform/Types.h>
#include <platform/drawing/Canvas.h>

#include <memory>
#include <vector>

namespace platform {

struct PaintStruct {
    std::unique_ptr<Canvas> canvas;
    bool erase = false; // the background still needs erasing
    Rect paint;         // bounding box of what is to be painted, client coordinates
    // The rectangles whose union is painted (client coordinates): end_paint
    // presents each, so that a paint of a few small parts far apart does
    // not show the whole box around them again.
    std::vector<Rect> parts;
};

// rect == nullptr: the whole client area.
bool invalidate_rect(HWND hwnd, const Rect* rect, bool erase);
bool validate_rect(HWND hwnd, const Rect* rect);
bool get_update_rect(HWND hwnd, Rect& out);
// Paints the window (and its children) now if anything is invalid.
bool update_window(HWND hwnd);
// Invalidates the window, its frame and all its children, and paints now.
bool redraw_window(HWND hwnd);
// Moves what the window shows inside `area` (client coordinates; nullptr:
// the whole client area) by (dx, dy), as if it had been painted there, and
// marks the part of `area` left uncovered for painting; pending updates in
// `area` move along. Where other windows could be in the picture (a visible
// child, or a sibling overlapping the window or one of its ancestors) all of
// `area` is marked for painting instead.
bool scroll_window(HWND hwnd, int dx, int dy, const Rect* area);

Canvas* begin_paint(HWND hwnd, PaintStruct& ps);
void end_paint(HWND hwnd, PaintStruct& ps);

// A canvas for drawing into the window outside WM_PAINT (clipped to its
// visible client area); what is drawn is presented when it is destroyed.
std::unique_ptr<Canvas> get_canvas(HWND hwnd);

// A canvas that draws into a bitmap (create_bitmap), for a picture drawn
// once and shown in many paints with Canvas::draw_surface. What it drew is
// in the bitmap once the canvas is destroyed. nullptr for no bitmap.
std::unique_ptr<Canvas> bitmap_canvas(cairo_surface_t* bitmap);

// The picture of a top-level window's client area (owned by the window).
cairo_surface_t* window_surface(HWND top);
// Writes a top-level window's client-area picture as PNG. Paints pending
// updates first.
bool save_window_png(HWND top, const char* path);

// Non-client metrics: the frame around a window's client area.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};
FrameInsets frame_insets(std::uint32_t style, std::uint32_t ex_style, bool top_level);
// The thickness of a child window's standard scroll bars (WS_VSCROLL,
// WS_HSCROLL), which the frame holds.
constexpr int ScrollBarSize = 16;
// Marks the window's frame (border and standard scroll bars) for painting.
bool invalidate_frame(HWND hwnd);
// Marks a part of it, in client coordinates (a scroll bar's track lies
// beside the client area): only that part is painted and presented, unless
// all of the frame is marked too.
bool invalidate_frame_part(HWND hwnd, const Rect& part);

} // namespace platform
