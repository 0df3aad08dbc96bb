#include "ScrollBarTracker.h"

#include <platform/window/WindowSystem.h>

namespace platform::controls {

ScrollLayout ScrollTracker::layout(const ScrollSite& site) const {
    const Rect& r = site.rect;
    return site.vertical ? layout_scroll_bar(r.height(), r.width(), state, shown_pos())
                         : layout_scroll_bar(r.width(), r.height(), state, shown_pos());
}

ScrollBarLook ScrollTracker::look(const ScrollSite& site, bool enabled) const {
    ScrollBarLook l;
    l.vertical = site.vertical;
    l.enabled = enabled;
    l.hot = m_hot;
    l.pressed = m_mouse_in || m_pressed == ScrollPart::Thumb ? m_pressed : ScrollPart::None;
    return l;
}

int ScrollTracker::offset_of(const ScrollSite& site, Point p) const {
    return site.vertical ? p.y - site.rect.top : p.x - site.rect.left;
}

void ScrollTracker::notify(const ScrollSite& site, int code, int pos) {
    if (!site.owner)
        return;
    send_message(site.owner, site.vertical ? WM_VSCROLL : WM_HSCROLL,
                 make_wparam(code, pos & 0xFFFF), reinterpret_cast<LPARAM>(site.sender));
}

// One step of the held part. A page step stops once the thumb has reached
// the mouse, as the track under it is no longer on that side.
void ScrollTracker::step(const ScrollSite& site) {
    switch (m_pressed) {
    case ScrollPart::LineUp:
        notify(site, SB_LINEUP);
        break;
    case ScrollPart::LineDown:
        notify(site, SB_LINEDOWN);
        break;
    case ScrollPart::PageUp:
    case ScrollPart::PageDown:
        if (layout(site).part_at(offset_of(site, m_mouse)) == m_pressed)
            notify(site, m_pressed == ScrollPart::PageUp ? SB_PAGEUP : SB_PAGEDOWN);
        break;
    default:
        break;
    }
}

bool ScrollTracker::press(const ScrollSite& site, Point p) {
    if (!site.rect.contains(p))
        return false;
    ScrollLayout l = layout(site);
    ScrollPart part = l.part_at(offset_of(site, p));
    // Nothing to scroll: the bar is drawn inert and takes no press.
    if (part == ScrollPart::None || l.thumb_length == 0)
        return false;
    m_pressed = part;
    m_mouse_in = true;
    m_mouse = p;
    m_first_repeat = true;
    HWND window = site.window;
    if (site.nonclient)
        set_nonclient_capture(window);
    else
        set_capture(window);
    if (part == ScrollPart::Thumb) {
        m_grab = offset_of(site, p) - l.thumb_start;
        state.track_pos = state.pos;
        return true;
    }
    step(site);
    if (is_window(window) && m_pressed != ScrollPart::None)
        set_timer(window, site.timer_id, k_scroll_first_delay_ms, site.timer_proc);
    return true;
}

bool ScrollTracker::move(const ScrollSite& site, Point p) {
    m_mouse = p;
    if (m_pressed == ScrollPart::None) {
        ScrollPart hot =
            site.rect.contains(p) ? layout(site).part_at(offset_of(site, p)) : ScrollPart::None;
        if (hot == m_hot)
            return false;
        m_hot = hot;
        if (hot != ScrollPart::None)
            track_mouse_leave(site.window);
        return true;
    }
    if (m_pressed == ScrollPart::Thumb) {
        int pos = layout(site).position_for_thumb(state, offset_of(site, p) - m_grab);
        if (pos == state.track_pos)
            return false;
        state.track_pos = pos;
        notify(site, SB_THUMBTRACK, pos);
        return true;
    }
    bool in = site.rect.contains(p) && layout(site).part_at(offset_of(site, p)) == m_pressed;
    // The track parts keep repeating while the mouse is anywhere on the bar.
    if (m_pressed == ScrollPart::PageUp || m_pressed == ScrollPart::PageDown)
        in = site.rect.contains(p);
    if (in == m_mouse_in)
        return false;
    m_mouse_in = in;
    return true;
}

bool ScrollTracker::release(const ScrollSite& site) {
    if (m_pressed == ScrollPart::None)
        return false;
    ScrollPart was = m_pressed;
    HWND window = site.window;
    kill_timer(window, site.timer_id);
    m_pressed = ScrollPart::None;
    m_mouse_in = false;
    if (get_capture() == window)
        release_capture();
    if (was == ScrollPart::Thumb)
        notify(site, SB_THUMBPOSITION, state.track_pos);
    notify(site, SB_ENDSCROLL);
    return true;
}

bool ScrollTracker::timer(const ScrollSite& site) {
    if (m_pressed == ScrollPart::None || m_pressed == ScrollPart::Thumb)
        return false;
    if (m_first_repeat) {
        m_first_repeat = false;
        set_timer(site.window, site.timer_id, k_scroll_repeat_ms, site.timer_proc);
    }
    // Holding the button with the mouse moved off the part pauses the repeat.
    if (m_mouse_in)
        step(site);
    return false;
}

bool ScrollTracker::leave() {
    if (m_hot == ScrollPart::None)
        return false;
    m_hot = ScrollPart::None;
    return true;
}

bool ScrollTracker::cancel(const ScrollSite& site) {
    if (m_pressed == ScrollPart::None)
        return false;
    kill_timer(site.window, site.timer_id);
    m_pressed = ScrollPart::None;
    m_mouse_in = false;
    return true;
}

bool ScrollTracker::key(const ScrollSite& site, UINT vk) {
    int code;
    switch (vk) {
    case VK_UP:
    case VK_LEFT:
        code = SB_LINEUP;
        break;
    case VK_DOWN:
    case VK_RIGHT:
        code = SB_LINEDOWN;
        break;
    case VK_PRIOR:
        code = SB_PAGEUP;
        break;
    case VK_NEXT:
        code = SB_PAGEDOWN;
        break;
    case VK_HOME:
        code = SB_TOP;
        break;
    case VK_END:
        code = SB_BOTTOM;
        break;
    default:
        return false;
    }
    notify(site, code);
    notify(site, SB_ENDSCROLL);
    return true;
}

} // namespace platform::controls
