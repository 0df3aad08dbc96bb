#pragma once

// What a scroll bar does with the mouse and the keyboard: a press on an
// arrow or on the track steps at once and again while held (a window timer
// repeats it), a press on the thumb drags it, and every move is reported to
// the owner with WM_VSCROLL / WM_HSCROLL. The tracker holds one bar's scroll
// state and the state of a press; the bar's window hands it the messages.

#include "ScrollBarGeometry.h"
#include "ScrollBarPainter.h"

#include "platform/Types.h"
#include <platform/window/WindowSystem.h>

namespace platform::controls {

// Where a bar lies and whom it tells.
struct ScrollSite {
    HWND window = nullptr; // gets the mouse messages and the repeat timer
    Rect rect;             // the bar, in `window`'s client coordinates
    bool vertical = true;
    HWND owner = nullptr;  // gets WM_VSCROLL / WM_HSCROLL
    HWND sender = nullptr; // their lParam: the control, or null for a standard bar
    std::uintptr_t timer_id = 1;
    // A standard bar repeats through a timer procedure, as the window's own
    // procedure does not know the timer, and takes the frame's capture.
    TIMERPROC timer_proc = nullptr;
    bool nonclient = false;
};

// The first repeat comes this long after the press, the next ones at the
// shorter interval.
constexpr UINT k_scroll_first_delay_ms = 300;
constexpr UINT k_scroll_repeat_ms = 50;

class ScrollTracker {
  public:
    ScrollState state;

    ScrollLayout layout(const ScrollSite& site) const;
    ScrollBarLook look(const ScrollSite& site, bool enabled) const;
    bool tracking() const { return m_pressed != ScrollPart::None; }
    // The position the thumb shows: the track position while it is dragged.
    int shown_pos() const { return m_pressed == ScrollPart::Thumb ? state.track_pos : state.pos; }

    // Each returns whether the bar must be drawn again. A press takes the
    // mouse capture for the site's window.
    bool press(const ScrollSite& site, Point p);
    bool move(const ScrollSite& site, Point p);
    bool release(const ScrollSite& site);
    bool timer(const ScrollSite& site);
    bool leave();
    // Ends a press without the closing reports (the capture was taken away).
    bool cancel(const ScrollSite& site);
    // Arrow, page, Home and End keys; false for any other key.
    bool key(const ScrollSite& site, UINT vk);

  private:
    void notify(const ScrollSite& site, int code, int pos = 0);
    void step(const ScrollSite& site);
    int offset_of(const ScrollSite& site, Point p) const;

    ScrollPart m_pressed = ScrollPart::None;
    ScrollPart m_hot = ScrollPart::None;
    bool m_mouse_in = false;
    bool m_first_repeat = true;
    int m_grab = 0; // where on the thumb the mouse took hold
    Point m_mouse;
};

} // namespace platform::controls
