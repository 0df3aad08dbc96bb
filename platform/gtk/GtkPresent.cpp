// How our pictures reach the native windows. GTK's own way, a queued draw,
// costs a frame of its machinery for every change: the frame clock wakes the
// loop, GDK makes an off-screen buffer the size of the change on the X
// server, our picture is copied into it and that is copied to the window. We
// draw the changed parts straight onto the window instead (from memory the X
// server shares with us where it can, GtkSharedPicture.h), all at once when
// our loop is about to handle native events or to sleep, and a scroll moves
// the pixels on the X server, so only the row that comes into view travels.
// GTK still paints whole exposes (a window mapped or uncovered) from the
// same picture, in GtkEvents::on_draw.

#include "GtkBackend.h"
#include "GtkNativeWindow.h"
#include "GtkSharedPicture.h"

#include <platform/window/Painting.h>

#include <utility>

#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdkx.h>
#endif

namespace platform {

namespace {

void add_rect(cairo_region_t*& region, const Rect& r) {
    const cairo_rectangle_int_t c{r.left, r.top, r.width(), r.height()};
    if (region)
        cairo_region_union_rectangle(region, &c);
    else
        region = cairo_region_create_rectangle(&c);
}

// Adds `part` to `region` and lets go of it.
void add_region(cairo_region_t*& region, cairo_region_t* part) {
    if (!region) {
        region = part;
        return;
    }
    cairo_region_union(region, part);
    cairo_region_destroy(part);
}

// What of `region` lies in `from`, moved by (dx, dy); a new region.
cairo_region_t* moved_part(const cairo_region_t* region, const Rect& from, int dx, int dy) {
    const cairo_rectangle_int_t f{from.left, from.top, from.width(), from.height()};
    cairo_region_t* part = cairo_region_copy(region);
    cairo_region_intersect_rectangle(part, &f);
    cairo_region_translate(part, dx, dy);
    return part;
}

#ifdef GDK_WINDOWING_X11
// Whether all of a client area (screen coordinates) lies on the screen:
// what lies past the edge is not kept, whatever covers the window.
bool on_the_screen(GdkWindow* native_window, const Rect& client) {
    GdkScreen* screen = gdk_window_get_screen(native_window);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    const Rect all{0, 0, gdk_screen_get_width(screen), gdk_screen_get_height(screen)};
    G_GNUC_END_IGNORE_DEPRECATIONS
    return all.intersect(client) == client;
}

// The X window that shows the native window's picture, with the picture's
// origin in it at (x, y); null when the window is not on an X screen now.
GdkWindow* x_window_of(GtkBackend::NativeWindow& nw, int& x, int& y) {
    GdkWindow* native_window = gtk_widget_get_window(nw.window);
    if (!native_window || !GDK_IS_X11_WINDOW(native_window) || !gtk_widget_is_drawable(nw.area) ||
        !gtk_widget_translate_coordinates(nw.area, nw.window, 0, 0, &x, &y))
        return nullptr;
    return native_window;
}
#endif

} // namespace

// Pixels moved from a part of the window that was covered arrive as garbage,
// and the X server says so with a GraphicsExpose for the window. The whole
// picture is presented again then: a later move may already have carried the
// garbage further than the event names.
GdkFilterReturn GtkEvents::on_x_event(GdkXEvent* native, GdkEvent*, gpointer data) {
#ifdef GDK_WINDOWING_X11
    const auto* xe = static_cast<const XEvent*>(native);
    auto* backend = static_cast<GtkBackend*>(data);
    if (xe->type == gtk_shared::completion_type()) {
        ++backend->m_server_reports;
        backend->put_read(reinterpret_cast<const XShmCompletionEvent*>(xe)->drawable);
        return GDK_FILTER_REMOVE;
    }
    if (xe->type == VisibilityNotify) {
        backend->visibility_changed(xe->xvisibility.window,
                                    xe->xvisibility.state == VisibilityUnobscured);
        return GDK_FILTER_CONTINUE;
    }
    if (xe->type != GraphicsExpose && xe->type != NoExpose)
        return GDK_FILTER_CONTINUE;
    ++backend->m_server_reports;
    if (xe->type == GraphicsExpose)
        backend->present_all_of(xe->xgraphicsexpose.drawable);
    return GDK_FILTER_REMOVE;
#else
    (void)native;
    (void)data;
    return GDK_FILTER_CONTINUE;
#endif
}

void GtkBackend::present(HWND top, cairo_surface_t*, const Rect& dirty) {
    NativeWindow* nw = native(top);
    if (nw && !dirty.is_empty())
        add_rect(nw->unpresented, dirty);
}

// A window that becomes covered may have had pixels moved in it from a
// part the server no longer kept, unasked how that went: it is presented
// again whole.
void GtkBackend::visibility_changed(unsigned long native_id, bool unobscured) {
    for (auto& [top, nw] : m_windows)
        if (native_window_id(top) == native_id) {
            nw->unobscured = unobscured;
            if (!unobscured)
                present_all_of(native_id);
        }
}

void GtkBackend::present_all_of(unsigned long native_id) {
    for (auto& [top, nw] : m_windows)
        if (native_window_id(top) == native_id)
            if (cairo_surface_t* picture = window_surface(top))
                add_rect(nw->unpresented, {0, 0, cairo_image_surface_get_width(picture),
                                           cairo_image_surface_get_height(picture)});
}

void GtkBackend::present_moved(HWND top, cairo_surface_t* surface, const Rect& from, int dx,
                               int dy) {
    NativeWindow* nw = native(top);
    if (!nw)
        return;
    const Rect to = from.offset(dx, dy);
#ifdef GDK_WINDOWING_X11
    GdkWindow* target = gtk_widget_get_window(nw->area);
    int x = 0;
    int y = 0;
    if (GdkWindow* native_window = target ? x_window_of(*nw, x, y) : nullptr) {
        // A repaint GTK still owes (an expose not yet drawn) is drawn by us
        // from our picture, like the rest: the pixels it would have replaced
        // are about to move.
        if (cairo_region_t* owed = gdk_window_get_update_area(target))
            add_region(nw->unpresented, owed);
        Display* display = GDK_WINDOW_XDISPLAY(native_window);
        const Window xid = GDK_WINDOW_XID(native_window);
        // Where nothing covers the window and all of it is on the screen,
        // every pixel moved is one it shows: the server is not asked to say
        // how the move went (an event back, and a wake of ours, a move).
        GC gc = static_cast<GC>(window_gc(*nw));
        const bool quietly = nw->unobscured && on_the_screen(native_window, nw->client);
        if (quietly != nw->moves_quietly) {
            XSetGraphicsExposures(display, gc, quietly ? False : True);
            nw->moves_quietly = quietly;
        }
        settle_in_flight(*nw);
        XCopyArea(display, xid, xid, gc, from.left + x, from.top + y,
                  static_cast<unsigned>(from.width()), static_cast<unsigned>(from.height()),
                  to.left + x, to.top + y);
        // Where the window showed an older picture, it now shows it moved
        // along; the part moved over is as new as the pixels moved into it.
        if (nw->unpresented) {
            const cairo_rectangle_int_t t{to.left, to.top, to.width(), to.height()};
            cairo_region_t* carried = moved_part(nw->unpresented, from, dx, dy);
            cairo_region_subtract_rectangle(nw->unpresented, &t);
            add_region(nw->unpresented, carried);
        }
        // A put the server has not read yet may take the pixels already
        // moved in our picture; the move then carries them along once more.
        // Those parts go out again. Before a window's first move its puts
        // were not followed: all it moved goes out again, once.
        if (!nw->moves) {
            nw->moves = true;
            present(top, surface, to);
        } else if (nw->in_flight) {
            add_region(nw->unpresented, moved_part(nw->in_flight, from, dx, dy));
        }
        return;
    }
#endif
    present(top, surface, to);
}

void GtkBackend::present_unpresented() {
    bool drew = false;
    for (auto& [top, nw] : m_windows)
        if (nw->unpresented) {
            present_now(*nw);
            drew = true;
        }
    if (drew)
        gdk_display_flush(gdk_display_get_default());
}

void GtkBackend::present_now(NativeWindow& nw) {
    cairo_region_t* region = std::exchange(nw.unpresented, nullptr);
    GdkWindow* target = gtk_widget_get_window(nw.area);
    cairo_surface_t* picture = window_surface(nw.top);
    // A window that is not on the screen is drawn whole when it is mapped.
    if (target && picture && gtk_widget_is_drawable(nw.area)) {
        const cairo_rectangle_int_t all{0, 0, cairo_image_surface_get_width(picture),
                                        cairo_image_surface_get_height(picture)};
        cairo_region_intersect_rectangle(region, &all);
        if (put_shared(nw, picture, region)) {
            cairo_region_destroy(region);
            return;
        }
        // Outside a frame of GTK's, this is a context on the window itself,
        // clipped to what of it is visible.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        cairo_t* cr = gdk_cairo_create(target);
        G_GNUC_END_IGNORE_DEPRECATIONS
        gdk_cairo_region(cr, region);
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    cairo_region_destroy(region);
}

cairo_surface_t* GtkBackend::create_picture(HWND top, int width, int height) {
    if (cairo_surface_t* shared = gtk_shared::create(width, height))
        return shared;
    return DisplayBackend::create_picture(top, width, height);
}

bool GtkBackend::put_shared(NativeWindow& nw, cairo_surface_t* picture,
                            const cairo_region_t* region) {
#ifdef GDK_WINDOWING_X11
    int x = 0;
    int y = 0;
    GdkWindow* native_window = gtk_shared::is_shared(picture) ? x_window_of(nw, x, y) : nullptr;
    if (!native_window)
        return false;
    // Only a window whose pixels move needs to know which puts are read; the
    // others are spared a mark or a completion event per batch. A mark is
    // set in memory and needs no event back (nor a wake of ours).
    const bool marks = gtk_shared::marks_available();
    if (gtk_shared::put(picture, GDK_WINDOW_XID(native_window), window_gc(nw), region, x, y,
                        nw.moves && !marks) &&
        nw.moves) {
        if (marks)
            nw.in_flight_mark = gtk_shared::send_mark();
        else
            ++nw.puts_in_flight;
        add_region(nw.in_flight, cairo_region_copy(region));
    }
    return true;
#else
    (void)nw;
    (void)picture;
    (void)region;
    return false;
#endif
}

void GtkBackend::settle_in_flight(NativeWindow& nw) {
    if (nw.in_flight && gtk_shared::marks_available() && gtk_shared::mark_passed(nw.in_flight_mark))
        cairo_region_destroy(std::exchange(nw.in_flight, nullptr));
}

void GtkBackend::put_read(unsigned long native_id) {
    for (auto& [top, nw] : m_windows)
        if (native_window_id(top) == native_id && --nw->puts_in_flight <= 0) {
            nw->puts_in_flight = 0;
            if (nw->in_flight)
                cairo_region_destroy(std::exchange(nw->in_flight, nullptr));
        }
}

void* GtkBackend::window_gc(NativeWindow& nw) {
#ifdef GDK_WINDOWING_X11
    GdkWindow* native_window = gtk_widget_get_window(nw.window);
    if (!nw.gc && native_window && GDK_IS_X11_WINDOW(native_window)) {
        XGCValues values{};
        values.graphics_exposures = True;
        nw.gc = XCreateGC(GDK_WINDOW_XDISPLAY(native_window), GDK_WINDOW_XID(native_window),
                          GCGraphicsExposures, &values);
    }
#endif
    return nw.gc;
}

void GtkBackend::release_presentation(NativeWindow& nw) {
    if (nw.unpresented)
        cairo_region_destroy(std::exchange(nw.unpresented, nullptr));
    if (nw.in_flight)
        cairo_region_destroy(std::exchange(nw.in_flight, nullptr));
#ifdef GDK_WINDOWING_X11
    if (nw.gc)
        XFreeGC(gdk_x11_get_default_xdisplay(), static_cast<GC>(std::exchange(nw.gc, nullptr)));
#endif
}

} // namespace platform
