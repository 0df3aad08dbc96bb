// Position, size, visibility and enabled state, coordinates and hit testing.

#include "Painting.h"
#include "detail/State.h"
#include <platform/access/AccessEvents.h>

#include <algorithm>

namespace platform {

FrameInsets frame_insets(std::uint32_t style, std::uint32_t ex_style, bool top_level) {
    FrameInsets in;
    int edge = 0;
    if (top_level) {
        // A top-level frame: a caption and a sizing or dialog border, so the
        // client area of a window of a given outer size matches the layout
        // its design was made for.
        if (style & WS_THICKFRAME)
            edge = 4;
        else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME))
            edge = 3;
        else if (style & WS_BORDER)
            edge = 1;
        in = {edge, edge, edge, edge};
        if ((style & WS_CAPTION) == WS_CAPTION)
            in.top += (ex_style & WS_EX_TOOLWINDOW) ? 17 : 23;
        return in;
    }
    if (style & WS_DLGFRAME)
        edge += 3;
    else if (style & WS_BORDER)
        edge += 1;
    if (ex_style & WS_EX_CLIENTEDGE)
        edge += 2;
    if (ex_style & WS_EX_STATICEDGE)
        edge += 1;
    in = {edge, edge, edge, edge};
    // The standard scroll bars lie inside the border, beside the client area.
    if (style & WS_VSCROLL)
        in.right += ScrollBarSize;
    if (style & WS_HSCROLL)
        in.bottom += ScrollBarSize;
    return in;
}

using namespace detail;

namespace detail {

Point client_origin_in_top(HWND hwnd) {
    Point p;
    WindowRecord* w = find(hwnd);
    while (w && w->parent) {
        Rect c = client_rect_in_parent(*w);
        p.x += c.left;
        p.y += c.top;
        w = find(w->parent);
    }
    return p;
}

void invalidate_parent_area(const WindowRecord& w) {
    if (!w.parent) {
        return;
    }
    Rect r = w.rect;
    invalidate_rect(w.parent, &r, true);
}

HWND hit_test(HWND top, Point client) {
    HWND current = top;
    Point p = client;
    for (;;) {
        WindowRecord* w = find(current);
        if (!w)
            return nullptr;
        HWND next = nullptr;
        for (HWND c : w->children) {
            WindowRecord* cw = find(c);
            if (!cw || !(cw->style & WS_VISIBLE) || !cw->rect.contains(p))
                continue;
            if (cw->style & WS_DISABLED)
                return current; // a disabled child hands the point to its parent
            // A window can let the mouse through to what lies beneath it (a
            // frame does; static text does unless it wants clicks), but not
            // past the windows inside it: a button in a group box is hit.
            bool transparent = (cw->ex_style & WS_EX_TRANSPARENT) != 0;
            if (!transparent) {
                Point screen = p;
                client_to_screen(current, screen);
                transparent = send_message(c, WM_NCHITTEST, 0, make_lparam(screen.x, screen.y)) ==
                              HTTRANSPARENT;
                if (!find(current))
                    return nullptr;
            }
            if (transparent) {
                WindowRecord* tw = find(c);
                if (!tw)
                    continue;
                Rect inner = client_rect_in_parent(*tw);
                HWND inside = hit_test(c, {p.x - inner.left, p.y - inner.top});
                if (inside && inside != c)
                    return inside;
                continue;
            }
            next = c;
            break;
        }
        if (!next)
            return current;
        WindowRecord* nw = find(next);
        Rect c = client_rect_in_parent(*nw);
        p.x -= c.left;
        p.y -= c.top;
        current = next;
    }
}

} // namespace detail

namespace {

void notify_backend_geometry(WindowRecord& w) {
    if (!w.is_top_level())
        return;
    resize_surface(w);
    if (DisplayBackend* b = state().backend)
        b->window_geometry_changed(w.handle, client_rect_in_parent(w));
}

bool visible_chain(HWND hwnd) {
    for (WindowRecord* w = find(hwnd); w; w = w->parent ? find(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE))
            return false;
    return true;
}

} // namespace

bool set_window_pos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w || !on_ui_thread())
        return false;
    WindowPos pos{hwnd, insert_after, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        pos.x = w->rect.left;
        pos.y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = w->rect.width();
        pos.cy = w->rect.height();
    }
    pos.cx = std::max(0, pos.cx);
    pos.cy = std::max(0, pos.cy);
    bool moving = !(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE);
    if (moving)
        send_message(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = find(hwnd)))
        return false;
    Rect old = w->rect;
    Rect fresh{pos.x, pos.y, pos.x + std::max(0, pos.cx), pos.y + std::max(0, pos.cy)};
    bool changed = fresh != old;
    bool visible = (w->style & WS_VISIBLE) != 0;
    if (changed && visible && !(flags & SWP_NOREDRAW))
        invalidate_parent_area(*w);
    w->rect = fresh;

    if (!(flags & SWP_NOZORDER) && !(pos.flags & SWP_NOZORDER)) {
        std::vector<HWND>& siblings = w->parent ? find(w->parent)->children : s.top_levels;
        std::erase(siblings, hwnd);
        if (insert_after == HWND_BOTTOM)
            siblings.push_back(hwnd);
        else if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST ||
                 insert_after == HWND_NOTOPMOST)
            siblings.insert(siblings.begin(), hwnd);
        else {
            auto it = std::find(siblings.begin(), siblings.end(), insert_after);
            siblings.insert(it == siblings.end() ? siblings.begin() : it + 1, hwnd);
        }
        if (w->is_top_level() && (insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST)) {
            bool topmost = insert_after == HWND_TOPMOST;
            w->ex_style = topmost ? (w->ex_style | WS_EX_TOPMOST) : (w->ex_style & ~WS_EX_TOPMOST);
            if (s.backend)
                s.backend->window_topmost_changed(hwnd, topmost);
        }
        if (visible)
            invalidate_rect(hwnd, nullptr, true);
    }
    if (changed) {
        notify_backend_geometry(*w);
        if (visible && !(flags & SWP_NOREDRAW)) {
            w->mark_frame();
            invalidate_rect(hwnd, nullptr, true);
        }
    }
    if (flags & SWP_SHOWWINDOW)
        show_window(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (flags & SWP_HIDEWINDOW)
        show_window(hwnd, SW_HIDE);
    if (moving && find(hwnd)) {
        WindowPos done{hwnd,
                       insert_after,
                       fresh.left,
                       fresh.top,
                       fresh.width(),
                       fresh.height(),
                       flags | (changed ? 0u : (SWP_NOMOVE | SWP_NOSIZE))};
        if (old.left == fresh.left && old.top == fresh.top)
            done.flags |= SWP_NOMOVE;
        if (old.width() == fresh.width() && old.height() == fresh.height())
            done.flags |= SWP_NOSIZE;
        send_message(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    }
    if (!(flags & SWP_NOACTIVATE) && w->is_top_level() && find(hwnd) &&
        (get_style(hwnd) & WS_VISIBLE))
        set_active_window(hwnd);
    return true;
}

bool move_window(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    return set_window_pos(hwnd, nullptr, x, y, width, height,
                          SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

bool show_window(HWND hwnd, int cmd) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w || !on_ui_thread())
        return false;
    bool was_visible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                    cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE;
    if (w->is_top_level()) {
        bool minimize = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
        bool maximize = cmd == SW_SHOWMAXIMIZED;
        bool restore = cmd == SW_RESTORE || cmd == SW_SHOWNORMAL;
        NativeShow how = NativeShow::Normal;
        if (minimize && !w->minimized) {
            w->minimized = true;
            send_message(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        } else if (maximize && !w->maximized) {
            w->maximized = true;
            w->minimized = false;
            paint_may_be_due();
        } else if (restore && (w->minimized || w->maximized)) {
            w->minimized = w->maximized = false;
            paint_may_be_due();
            Rect c = client_rect_in_parent(*w);
            send_message(hwnd, WM_SIZE, SIZE_RESTORED, make_lparam(c.width(), c.height()));
        }
        if (!(w = find(hwnd)))
            return was_visible;
        if (w->minimized)
            how = NativeShow::Minimized;
        else if (w->maximized)
            how = NativeShow::Maximized;
        if (!show)
            how = NativeShow::Hidden;
        if (show == was_visible) {
            if (show && s.backend)
                s.backend->window_shown(hwnd, how, activate);
            if (activate)
                set_active_window(hwnd);
            return was_visible;
        }
        send_message(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
        if (!(w = find(hwnd)))
            return was_visible;
        w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
        if (s.backend)
            s.backend->window_shown(hwnd, how, activate);
        if (show) {
            invalidate_rect(hwnd, nullptr, true);
            if (activate)
                set_active_window(hwnd);
        } else {
            if (s.focus && (s.focus == hwnd || is_child(hwnd, s.focus)))
                set_focus(nullptr);
            if (s.active == hwnd) {
                // Activation moves to the owner, or the next visible top-level window.
                HWND next = nullptr;
                if (w->owner && (get_style(w->owner) & WS_VISIBLE))
                    next = w->owner;
                for (HWND t : s.top_levels)
                    if (!next && t != hwnd && (get_style(t) & WS_VISIBLE) &&
                        !(get_style(t) & WS_DISABLED))
                        next = t;
                set_active_window(next);
            }
        }
        return was_visible;
    }
    if (show == was_visible)
        return was_visible;
    send_message(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!(w = find(hwnd)))
        return was_visible;
    w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
    access::notify_child(show ? access::EventKind::ChildAdded : access::EventKind::ChildRemoved,
                         w->parent, hwnd);
    if (show) {
        w->mark_frame();
        invalidate_rect(hwnd, nullptr, true);
    } else {
        invalidate_parent_area(*w);
        if (s.focus && (s.focus == hwnd || is_child(hwnd, s.focus)))
            set_focus(w->parent);
        if (s.capture && (s.capture == hwnd || is_child(hwnd, s.capture)))
            release_capture();
    }
    return was_visible;
}

bool is_window_visible(HWND hwnd) {
    return find(hwnd) && visible_chain(hwnd);
}

bool enable_window(HWND hwnd, bool enable) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    bool was_disabled = (w->style & WS_DISABLED) != 0;
    if (was_disabled == !enable)
        return was_disabled;
    if (enable)
        w->style &= ~WS_DISABLED;
    else {
        w->style |= WS_DISABLED;
        if (s.focus && (s.focus == hwnd || is_child(hwnd, s.focus)))
            set_focus(nullptr);
        if (s.capture && (s.capture == hwnd || is_child(hwnd, s.capture)))
            release_capture();
    }
    if (w->is_top_level() && s.backend)
        s.backend->window_enabled(hwnd, enable);
    send_message(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    access::notify_state(hwnd, access::Enabled, enable);
    return was_disabled;
}

bool is_window_enabled(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w && !(w->style & WS_DISABLED);
}

bool is_iconic(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w && w->minimized;
}

bool is_zoomed(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w && w->maximized;
}

bool get_window_placement_rect(HWND hwnd, Rect& out) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    out = w->rect;
    return true;
}

bool get_client_rect(HWND hwnd, Rect& out) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    Rect c = client_rect_in_parent(*w);
    out = {0, 0, c.width(), c.height()};
    return true;
}

bool client_to_screen(HWND hwnd, Point& p) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    Point o = client_origin_in_top(hwnd);
    WindowRecord* top = find(get_ancestor_root(hwnd));
    Rect tc = client_rect_in_parent(*top);
    p.x += o.x + tc.left;
    p.y += o.y + tc.top;
    return true;
}

bool screen_to_client(HWND hwnd, Point& p) {
    Point origin;
    if (!client_to_screen(hwnd, origin))
        return false;
    p.x -= origin.x;
    p.y -= origin.y;
    return true;
}

bool get_window_rect(HWND hwnd, Rect& out) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    if (w->is_top_level()) {
        out = w->rect;
        return true;
    }
    Point origin;
    client_to_screen(w->parent, origin);
    out = w->rect.offset(origin.x, origin.y);
    return true;
}

void map_window_points(HWND from, HWND to, Point* points, int count) {
    Point a, b;
    if (from)
        client_to_screen(from, a);
    if (to)
        client_to_screen(to, b);
    for (int i = 0; i < count; ++i) {
        points[i].x += a.x - b.x;
        points[i].y += a.y - b.y;
    }
}

HWND child_window_from_point(HWND parent, Point client) {
    WindowRecord* w = find(parent);
    if (!w)
        return nullptr;
    for (HWND c : w->children) {
        WindowRecord* cw = find(c);
        if (cw && (cw->style & WS_VISIBLE) && cw->rect.contains(client))
            return c;
    }
    Rect r;
    get_client_rect(parent, r);
    return r.contains(client) ? parent : nullptr;
}

Rect get_work_area() {
    DisplayBackend* display = state().backend;
    return display ? display->work_area() : Rect{};
}

HWND window_from_point(Point screen) {
    for (HWND top : state().top_levels) {
        WindowRecord* w = find(top);
        if (!w || !(w->style & WS_VISIBLE) || w->minimized)
            continue;
        Rect c = client_rect_in_parent(*w);
        if (!c.contains(screen))
            continue;
        return hit_test(top, {screen.x - c.left, screen.y - c.top});
    }
    return nullptr;
}

} // namespace platform
