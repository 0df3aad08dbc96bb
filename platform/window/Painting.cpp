// Update regions, WM_PAINT generation and the canvases that paint into a
// top-level window's picture.

#include "Painting.h"

#include "detail/State.h"
#include <platform/controls/StandardScrollBars.h>

#include <algorithm>
#include <cairo.h>
#include <cstddef>
#include <cstring>

namespace platform {

using namespace detail;

namespace {

cairo_rectangle_int_t to_cairo(const Rect& r) {
    return {r.left, r.top, r.width(), r.height()};
}

Rect client_bounds(const WindowRecord& w) {
    Rect c = client_rect_in_parent(w);
    return {0, 0, c.width(), c.height()};
}

// Adds `r` (client coordinates of `hwnd`) to the update regions of the window
// and of every descendant it covers: a parent that repaints draws over its
// children's area in the shared picture, so they must repaint after it.
void add_update(HWND hwnd, Rect r, bool erase) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    r = r.intersect(client_bounds(*w));
    if (r.is_empty())
        return;
    cairo_rectangle_int_t cr = to_cairo(r);
    cairo_region_union_rectangle(w->update, &cr);
    paint_may_be_due();
    if (erase)
        w->erase_pending = true;
    for (HWND c : w->children) {
        WindowRecord* cw = find(c);
        if (!cw || !(cw->style & WS_VISIBLE))
            continue;
        Rect inter = r.intersect(cw->rect);
        if (inter.is_empty())
            continue;
        cw->mark_frame();
        Rect cc = client_rect_in_parent(*cw);
        add_update(c, inter.offset(-cc.left, -cc.top), true);
    }
}

bool paintable(HWND hwnd) {
    for (WindowRecord* w = find(hwnd); w; w = w->parent ? find(w->parent) : nullptr) {
        if (!(w->style & WS_VISIBLE))
            return false;
        if (w->is_top_level() && w->minimized)
            return false;
    }
    return true;
}

// The part of a window's client area that is visible through its ancestors,
// in the window's client coordinates.
Rect visible_client(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return {};
    Rect r = client_bounds(*w);
    Point origin = client_origin_in_top(hwnd);
    Rect in_top = r.offset(origin.x, origin.y);
    for (WindowRecord* a = w->parent ? find(w->parent) : nullptr; a;
         a = a->parent ? find(a->parent) : nullptr) {
        Point ao = client_origin_in_top(a->handle);
        in_top = in_top.intersect(client_bounds(*a).offset(ao.x, ao.y));
    }
    return in_top.offset(-origin.x, -origin.y);
}

cairo_t* canvas_context(HWND hwnd, Point& origin) {
    HWND top = get_ancestor_root(hwnd);
    WindowRecord* t = find(top);
    if (!t || !t->surface)
        return nullptr;
    origin = client_origin_in_top(hwnd);
    cairo_t* cr = cairo_create(t->surface);
    cairo_translate(cr, origin.x, origin.y);
    return cr;
}

void note_presented(HWND hwnd, const Rect& client_part) {
    HWND top = get_ancestor_root(hwnd);
    WindowRecord* t = find(top);
    if (!t)
        return;
    Point o = client_origin_in_top(hwnd);
    Rect dirty = client_part.offset(o.x, o.y);
    if (DisplayBackend* b = state().backend; b && t->surface && !dirty.is_empty())
        b->present(top, t->surface, dirty);
}

void paint_frame(WindowRecord& w) {
    w.frame_pending = false;
    if (w.is_top_level())
        return;
    FrameInsets in = frame_insets(w.style, w.ex_style, false);
    if (in.left == 0 && in.top == 0 && in.right == 0 && in.bottom == 0)
        return;
    HWND top = get_ancestor_root(w.handle);
    WindowRecord* t = find(top);
    if (!t || !t->surface)
        return;
    // The frame lies in the parent's client area.
    Point po = client_origin_in_top(w.parent);
    cairo_t* cr = cairo_create(t->surface);
    cairo_translate(cr, po.x, po.y);
    Rect r = w.rect;
    const Rect client = client_rect_in_parent(w);
    // What is painted: all of the frame, or the parts marked alone.
    const Rect painted =
        w.frame_part.is_empty() ? r : w.frame_part.offset(client.left, client.top).intersect(r);
    const Rect pv = visible_client(w.parent).intersect(painted);
    cairo_rectangle(cr, pv.left, pv.top, pv.width(), pv.height());
    cairo_clip(cr);
    // Each line of the frame is a one-pixel ring, filled: the same pixels a
    // stroke along the pixel centres gives, without tracing a stroke.
    auto line_around = [cr](const Rect& outer, COLORREF color) {
        if (outer.is_empty())
            return;
        set_source_color(cr, color);
        cairo_rectangle(cr, outer.left, outer.top, outer.width(), outer.height());
        if (outer.width() > 2 && outer.height() > 2)
            cairo_rectangle(cr, outer.left + 1, outer.top + 1, outer.width() - 2,
                            outer.height() - 2);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    };
    int edge = 0;
    if (w.ex_style & WS_EX_CLIENTEDGE) {
        line_around(r, rgb(0x8A, 0x8A, 0x8A));
        line_around({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, rgb(0xFF, 0xFF, 0xFF));
        edge = 2;
    }
    if (w.style & (WS_BORDER | WS_DLGFRAME)) {
        const COLORREF color =
            (w.style & WS_DLGFRAME) ? rgb(0xD4, 0xD0, 0xC8) : rgb(0x64, 0x64, 0x64);
        int width = (w.style & WS_DLGFRAME) ? 3 : 1;
        for (int i = 0; i < width; ++i)
            line_around(
                {r.left + edge + i, r.top + edge + i, r.right - edge - i, r.bottom - edge - i},
                color);
    }
    if (w.style & (WS_VSCROLL | WS_HSCROLL)) {
        Canvas canvas(cr, w.handle);
        controls::paint_standard_scroll_bars(w.handle, canvas, client);
    }
    cairo_destroy(cr);
    // Only the frame was painted: the client area inside it is as it was (a
    // scroll bar's thumb that moves with every step of a scroll would
    // otherwise present the whole window each time).
    DisplayBackend* b = state().backend;
    if (!b)
        return;
    const Rect inner = client.intersect(r);
    if (inner.is_empty()) {
        b->present(top, t->surface, painted.offset(po.x, po.y));
        return;
    }
    const Rect ring[] = {{r.left, r.top, r.right, inner.top},
                         {r.left, inner.bottom, r.right, r.bottom},
                         {r.left, inner.top, inner.left, inner.bottom},
                         {inner.right, inner.top, r.right, inner.bottom}};
    for (const Rect& ring_part : ring) {
        const Rect part = ring_part.intersect(painted);
        if (!part.is_empty())
            b->present(top, t->surface, part.offset(po.x, po.y));
    }
}

// Whether the window's pixels in the shared picture are its own alone: no
// visible child draws inside it and nothing beside it, or beside one of its
// ancestors, overlaps it.
bool owns_its_pixels(const WindowRecord& w) {
    for (HWND c : w.children)
        if (WindowRecord* cw = find(c); cw && (cw->style & WS_VISIBLE))
            return false;
    for (const WindowRecord* n = &w; !n->is_top_level();) {
        WindowRecord* p = find(n->parent);
        if (!p)
            return false;
        for (HWND s : p->children) {
            WindowRecord* sw = s == n->handle ? nullptr : find(s);
            if (sw && (sw->style & WS_VISIBLE) && !sw->rect.intersect(n->rect).is_empty())
                return false;
        }
        n = p;
    }
    return true;
}

// Moves the pixels of `from` (picture coordinates) by (dx, dy) within an
// RGB24 image; source and destination may overlap.
void move_pixels(cairo_surface_t* s, const Rect& from, int dx, int dy) {
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const auto bytes = static_cast<std::size_t>(from.width()) * 4;
    auto row = [&](int y) {
        std::memmove(data + static_cast<std::ptrdiff_t>(y + dy) * stride + (from.left + dx) * 4,
                     data + static_cast<std::ptrdiff_t>(y) * stride + from.left * 4, bytes);
    };
    if (dy > 0)
        for (int y = from.bottom - 1; y >= from.top; --y)
            row(y);
    else
        for (int y = from.top; y < from.bottom; ++y)
            row(y);
    cairo_surface_mark_dirty_rectangle(s, from.left + dx, from.top + dy, from.width(),
                                       from.height());
}

// Moves the part of the window's update region inside `area` with the pixels.
void move_update(WindowRecord& w, const Rect& area, int dx, int dy) {
    cairo_rectangle_int_t a = to_cairo(area);
    cairo_region_t* inside = cairo_region_copy(w.update);
    cairo_region_intersect_rectangle(inside, &a);
    cairo_region_subtract_rectangle(w.update, &a);
    cairo_region_translate(inside, dx, dy);
    cairo_region_intersect_rectangle(inside, &a);
    cairo_region_union(w.update, inside);
    cairo_region_destroy(inside);
}

} // namespace

namespace detail {

bool has_pending_paint() {
    return next_paint_window(nullptr) != nullptr;
}

void paint_may_be_due() {
    ++state().paint_generation;
}

namespace {

// The first window at or under `hwnd` that needs painting, parents before
// children and among siblings the bottom one first, so that what lies on
// top is painted last.
HWND first_to_paint(HWND hwnd, HWND filter) {
    WindowRecord* w = find(hwnd);
    if (!w || !(w->style & WS_VISIBLE))
        return nullptr;
    if ((!filter || filter == hwnd) && (!cairo_region_is_empty(w->update) || w->frame_pending))
        return hwnd;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
        if (HWND h = first_to_paint(*it, filter))
            return h;
    return nullptr;
}

} // namespace

HWND next_paint_window(HWND filter) {
    // Our loop asks before every message it takes; most of the time nothing
    // has changed since it last found nothing.
    auto& s = state();
    if (s.nothing_to_paint_at == s.paint_generation)
        return nullptr;
    for (auto it = s.top_levels.rbegin(); it != s.top_levels.rend(); ++it) {
        WindowRecord* t = find(*it);
        if (!t || t->minimized)
            continue;
        if (HWND h = first_to_paint(*it, filter))
            return h;
    }
    if (!filter)
        s.nothing_to_paint_at = s.paint_generation;
    return nullptr;
}

} // namespace detail

bool invalidate_rect(HWND hwnd, const Rect* rect, bool erase) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    add_update(hwnd, rect ? *rect : client_bounds(*w), erase);
    return true;
}

bool invalidate_frame(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    w->mark_frame();
    paint_may_be_due();
    return true;
}

bool invalidate_frame_part(HWND hwnd, const Rect& part) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    if (part.is_empty())
        return true;
    if (!w->frame_pending)
        w->frame_part = part;
    else if (!w->frame_part.is_empty())
        w->frame_part = w->frame_part.unite(part);
    w->frame_pending = true;
    paint_may_be_due();
    return true;
}

bool validate_rect(HWND hwnd, const Rect* rect) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    if (!rect) {
        cairo_region_destroy(w->update);
        w->update = cairo_region_create();
        w->erase_pending = false;
        w->frame_pending = false;
        return true;
    }
    cairo_rectangle_int_t cr = to_cairo(*rect);
    cairo_region_subtract_rectangle(w->update, &cr);
    if (cairo_region_is_empty(w->update))
        w->erase_pending = false;
    return true;
}

bool get_update_rect(HWND hwnd, Rect& out) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(w->update, &e);
    out = {e.x, e.y, e.x + e.width, e.y + e.height};
    return !cairo_region_is_empty(w->update);
}

Canvas* begin_paint(HWND hwnd, PaintStruct& ps) {
    ps = {};
    WindowRecord* w = find(hwnd);
    if (!w)
        return nullptr;
    if (w->frame_pending)
        paint_frame(*w);
    cairo_region_t* region = w->update;
    w->update = cairo_region_create();
    bool erase = w->erase_pending;
    w->erase_pending = false;

    Point origin;
    cairo_t* cr = canvas_context(hwnd, origin);
    if (!cr || !paintable(hwnd)) {
        if (cr)
            cairo_destroy(cr);
        cairo_region_destroy(region);
        cr = nullptr;
    }
    // Clip: the update region, inside what the ancestors show, without
    // visible children when the window clips them.
    Rect vis = visible_client(hwnd);
    cairo_rectangle_int_t vr = to_cairo(vis);
    if (cr) {
        cairo_region_intersect_rectangle(region, &vr);
        // Children are always clipped out: they share the top-level picture,
        // so a parent painting later than a child would cover it. A child
        // that lets its parent show through (WS_EX_TRANSPARENT) is not.
        {
            for (HWND c : w->children) {
                WindowRecord* cw = find(c);
                if (!cw || !(cw->style & WS_VISIBLE))
                    continue;
                if (cw->ex_style & WS_EX_TRANSPARENT) {
                    // It draws over what the parent paints now, so it must
                    // paint again afterwards.
                    cairo_rectangle_int_t cr_rect = to_cairo(cw->rect);
                    cairo_region_t* under = cairo_region_copy(region);
                    cairo_region_intersect_rectangle(under, &cr_rect);
                    if (!cairo_region_is_empty(under)) {
                        cairo_rectangle_int_t e;
                        cairo_region_get_extents(under, &e);
                        Rect cc = client_rect_in_parent(*cw);
                        add_update(
                            c,
                            Rect{e.x, e.y, e.x + e.width, e.y + e.height}.offset(-cc.left, -cc.top),
                            true);
                    }
                    cairo_region_destroy(under);
                    continue;
                }
                cairo_rectangle_int_t ccr = to_cairo(cw->rect);
                cairo_region_subtract_rectangle(region, &ccr);
            }
        }
        int n = cairo_region_num_rectangles(region);
        for (int i = 0; i < n; ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(region, i, &r);
            cairo_rectangle(cr, r.x, r.y, r.width, r.height);
            ps.parts.push_back({r.x, r.y, r.x + r.width, r.y + r.height});
        }
        cairo_clip(cr);
        cairo_rectangle_int_t e;
        cairo_region_get_extents(region, &e);
        ps.paint = {e.x, e.y, e.x + e.width, e.y + e.height};
        cairo_region_destroy(region);
    } else {
        // Nothing can be seen: paint into a scratch picture.
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cr = cairo_create(scratch);
        cairo_surface_destroy(scratch);
        ps.paint = {};
    }
    ps.canvas = std::make_unique<Canvas>(cr, hwnd);
    cairo_destroy(cr); // the canvas holds its own reference
    ps.erase = true;
    if (erase && !ps.paint.is_empty())
        ps.erase =
            send_message(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps.canvas.get()), 0) == 0;
    else if (!erase)
        ps.erase = false;
    return ps.canvas.get();
}

void end_paint(HWND hwnd, PaintStruct& ps) {
    ps.canvas.reset();
    if (!find(hwnd))
        return;
    // A region cut into very many pieces (a window among many children) is
    // shown as its box: one request costs less than scores. The virtual
    // arm's paint after a command (the ghost's boxes old and new, the log,
    // the counts, the angles) comes to some forty pieces, half its window.
    constexpr std::size_t k_most_parts = 64;
    if (ps.parts.size() > k_most_parts) {
        note_presented(hwnd, ps.paint);
        return;
    }
    for (const Rect& part : ps.parts)
        note_presented(hwnd, part);
}

std::unique_ptr<Canvas> get_canvas(HWND hwnd) {
    Point origin;
    cairo_t* cr = canvas_context(hwnd, origin);
    if (!cr)
        return nullptr;
    Rect vis = visible_client(hwnd);
    cairo_rectangle(cr, vis.left, vis.top, vis.width(), vis.height());
    cairo_clip(cr);
    auto canvas = std::make_unique<Canvas>(cr, hwnd);
    cairo_destroy(cr);
    note_presented(hwnd, vis);
    return canvas;
}

std::unique_ptr<Canvas> bitmap_canvas(cairo_surface_t* bitmap) {
    if (!bitmap)
        return nullptr;
    cairo_t* cr = cairo_create(bitmap);
    auto canvas = std::make_unique<Canvas>(cr, nullptr);
    cairo_destroy(cr);
    return canvas;
}

bool update_window(HWND hwnd) {
    if (!find(hwnd))
        return false;
    for (int guard = 0; guard < 10000; ++guard) {
        // The window itself, then its descendants.
        HWND next = paintable(hwnd) ? first_to_paint(hwnd, nullptr) : nullptr;
        if (!next)
            return true;
        send_message(next, WM_PAINT);
        validate_rect(next, nullptr);
    }
    return true;
}

bool redraw_window(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    w->mark_frame();
    invalidate_rect(hwnd, nullptr, true);
    return update_window(hwnd);
}

bool scroll_window(HWND hwnd, int dx, int dy, const Rect* area) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    const Rect bounds = client_bounds(*w);
    const Rect scrolled = area ? area->intersect(bounds) : bounds;
    if (scrolled.is_empty() || (dx == 0 && dy == 0))
        return true;
    WindowRecord* t = find(get_ancestor_root(hwnd));
    if (!t || !t->surface || cairo_surface_get_type(t->surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        !paintable(hwnd) || !owns_its_pixels(*w)) {
        add_update(hwnd, scrolled, false);
        return true;
    }
    // What is seen now and still inside the area after the move.
    const Rect shown = scrolled.intersect(visible_client(hwnd));
    const Rect from = shown.intersect(shown.offset(-dx, -dy));
    const Rect to = from.offset(dx, dy);
    const Point o = client_origin_in_top(hwnd);
    // The display hears of the move first: what it sent before may still be
    // read from the picture, and it tells which as the pixels stand now.
    if (DisplayBackend* b = state().backend; b && !to.is_empty())
        b->present_moved(get_ancestor_root(hwnd), t->surface, from.offset(o.x, o.y), dx, dy);
    if (!from.is_empty())
        move_pixels(t->surface, from.offset(o.x, o.y), dx, dy);
    move_update(*w, scrolled, dx, dy);
    cairo_rectangle_int_t sr = to_cairo(scrolled);
    cairo_rectangle_int_t tr = to_cairo(to);
    cairo_region_t* uncovered = cairo_region_create_rectangle(&sr);
    if (!to.is_empty())
        cairo_region_subtract_rectangle(uncovered, &tr);
    for (int i = 0, n = cairo_region_num_rectangles(uncovered); i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(uncovered, i, &r);
        add_update(hwnd, {r.x, r.y, r.x + r.width, r.y + r.height}, false);
    }
    cairo_region_destroy(uncovered);
    return true;
}

cairo_surface_t* window_surface(HWND top) {
    WindowRecord* w = find(top);
    return w && w->is_top_level() ? w->surface : nullptr;
}

bool save_window_png(HWND top, const char* path) {
    WindowRecord* w = find(top);
    if (!w || !w->is_top_level() || !w->surface)
        return false;
    update_window(top);
    cairo_surface_flush(w->surface);
    return cairo_surface_write_to_png(w->surface, path) == CAIRO_STATUS_SUCCESS;
}

} // namespace platform
