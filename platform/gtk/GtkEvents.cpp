// The GTK signals of a native window, turned into our input events.

#include "GtkKeys.h"
#include "GtkNativeWindow.h"
#include <platform/window/Input.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cmath>

namespace platform {

namespace {

// A key the input method keeps for a character it is still composing.
constexpr UINT VK_PROCESSKEY = 0xE5;

using NativeWindow = GtkBackend::NativeWindow;

NativeWindow& from(gpointer data) {
    return *static_cast<NativeWindow*>(data);
}

Point event_point(double x, double y) {
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

bool is_keypad(guint keyval) {
    return keyval >= GDK_KEY_KP_Space && keyval <= GDK_KEY_KP_9;
}

// The key's code comes from the value the key has without modifiers in the
// first layout group, so Shift+1 is '1' and a second (non-Latin) layout still
// yields the platform's letter codes. Keypad keys keep what Num Lock made them.
UINT key_code(const GdkEventKey* e) {
    if (is_keypad(e->keyval))
        return gtk_keys::vk_from_keyval(e->keyval);
    guint plain = 0;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    if (gdk_keymap_translate_keyboard_state(keymap, e->hardware_keycode,
                                            static_cast<GdkModifierType>(0), 0, &plain, nullptr,
                                            nullptr, nullptr)) {
        if (UINT vk = gtk_keys::vk_from_keyval(plain))
            return vk;
    }
    return gtk_keys::vk_from_keyval(e->keyval);
}

} // namespace

void GtkEvents::connect(NativeWindow& nw) {
    gpointer data = &nw;
    g_signal_connect(nw.area, "draw", G_CALLBACK(on_draw), data);
    g_signal_connect(nw.area, "realize", G_CALLBACK(on_realize), data);
    g_signal_connect(nw.area, "button-press-event", G_CALLBACK(on_button), data);
    g_signal_connect(nw.area, "button-release-event", G_CALLBACK(on_button), data);
    g_signal_connect(nw.area, "motion-notify-event", G_CALLBACK(on_motion), data);
    g_signal_connect(nw.area, "scroll-event", G_CALLBACK(on_scroll), data);
    g_signal_connect(nw.area, "leave-notify-event", G_CALLBACK(on_leave), data);
    g_signal_connect(nw.window, "key-press-event", G_CALLBACK(on_key), data);
    g_signal_connect(nw.window, "key-release-event", G_CALLBACK(on_key), data);
    g_signal_connect(nw.window, "delete-event", G_CALLBACK(on_delete), data);
    g_signal_connect(nw.window, "configure-event", G_CALLBACK(on_configure), data);
    g_signal_connect(nw.window, "window-state-event", G_CALLBACK(on_window_state), data);
    g_signal_connect(nw.window, "focus-in-event", G_CALLBACK(on_focus), data);
    g_signal_connect(nw.window, "focus-out-event", G_CALLBACK(on_focus), data);
    g_signal_connect(nw.im, "commit", G_CALLBACK(on_commit), data);
}

gboolean GtkEvents::on_draw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    NativeWindow& nw = from(data);
    cairo_surface_t* picture = window_surface(nw.top);
    int width = gtk_widget_get_allocated_width(widget);
    int height = gtk_widget_get_allocated_height(widget);
    int pw = picture ? cairo_image_surface_get_width(picture) : 0;
    int ph = picture ? cairo_image_surface_get_height(picture) : 0;
    if (pw < width || ph < height) {
        // The window grew before our window system repainted: fill the rest
        // in the platform's face colour rather than leave garbage.
        cairo_set_source_rgb(cr, 0xF0 / 255.0, 0xF0 / 255.0, 0xF0 / 255.0);
        cairo_paint(cr);
    }
    if (picture) {
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_rectangle(cr, 0, 0, pw, ph);
        cairo_fill(cr);
    }
    return TRUE;
}

void GtkEvents::on_realize(GtkWidget* widget, gpointer data) {
    NativeWindow& nw = from(data);
    gtk_im_context_set_client_window(nw.im, gtk_widget_get_window(widget));
    nw.backend->window_realized(nw);
}

gboolean GtkEvents::on_button(GtkWidget*, GdkEventButton* e, gpointer data) {
    NativeWindow& nw = from(data);
    nw.backend->m_last_event_time = e->time;
    // GDK's own double-click events are dropped: our window system tells a
    // double click from the timing of the plain presses.
    if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE)
        return TRUE;
    if (!nw.enabled)
        return TRUE;
    input::Button button;
    switch (e->button) {
    case 1:
        button = input::Button::Left;
        break;
    case 2:
        button = input::Button::Middle;
        break;
    case 3:
        button = input::Button::Right;
        break;
    default:
        return TRUE;
    }
    bool down = e->type == GDK_BUTTON_PRESS;
    if (down)
        gtk_im_context_reset(nw.im);
    Point p = event_point(e->x, e->y);
    if (p != nw.last_mouse) {
        nw.last_mouse = p;
        input::mouse_move(nw.top, p);
    }
    input::mouse_button(nw.top, p, button, down);
    return TRUE;
}

gboolean GtkEvents::on_motion(GtkWidget*, GdkEventMotion* e, gpointer data) {
    NativeWindow& nw = from(data);
    if (!nw.enabled)
        return TRUE;
    Point p = event_point(e->x, e->y);
    if (p == nw.last_mouse)
        return TRUE;
    nw.last_mouse = p;
    input::mouse_move(nw.top, p);
    return TRUE;
}

gboolean GtkEvents::on_leave(GtkWidget*, GdkEventCrossing* e, gpointer data) {
    NativeWindow& nw = from(data);
    // Leaving into a child of our own drawing area is no leaving.
    if (e->detail == GDK_NOTIFY_INFERIOR)
        return FALSE;
    nw.last_mouse = {-1, -1};
    input::mouse_left(nw.top);
    return FALSE;
}

gboolean GtkEvents::on_scroll(GtkWidget*, GdkEventScroll* e, gpointer data) {
    NativeWindow& nw = from(data);
    if (!nw.enabled)
        return TRUE;
    int delta = 0;
    switch (e->direction) {
    case GDK_SCROLL_UP:
        delta = WHEEL_DELTA;
        break;
    case GDK_SCROLL_DOWN:
        delta = -WHEEL_DELTA;
        break;
    case GDK_SCROLL_SMOOTH: {
        nw.scroll_rest -= e->delta_y * WHEEL_DELTA;
        delta = static_cast<int>(nw.scroll_rest);
        nw.scroll_rest -= delta;
        break;
    }
    default:
        return TRUE;
    }
    if (delta != 0)
        input::mouse_wheel(nw.top, event_point(e->x, e->y), delta);
    return TRUE;
}

gboolean GtkEvents::on_key(GtkWidget*, GdkEventKey* e, gpointer data) {
    NativeWindow& nw = from(data);
    GtkBackend& b = *nw.backend;
    b.m_last_event_time = e->time;
    if (!nw.enabled)
        return TRUE;
    bool down = e->type == GDK_KEY_PRESS;
    b.m_filtering_key = true;
    b.m_pending_text.clear();
    bool taken = gtk_im_context_filter_keypress(nw.im, e);
    b.m_filtering_key = false;
    std::string committed = std::move(b.m_pending_text);
    b.m_pending_text.clear();

    UINT vk = key_code(e);
    std::uint32_t typed = 0;
    if (down && taken && committed.empty() && !e->is_modifier)
        vk = VK_PROCESSKEY;
    else if (down && !taken)
        typed = gtk_keys::typed_char_from_keyval(e->keyval, (e->state & GDK_CONTROL_MASK) != 0);
    if (vk)
        input::key(vk, down, typed);
    if (!committed.empty())
        input::text(committed);
    // The key is ours alone: no mnemonics, accelerators or focus moves of GTK.
    return TRUE;
}

void GtkEvents::on_commit(GtkIMContext*, gchar* text, gpointer data) {
    NativeWindow& nw = from(data);
    GtkBackend& b = *nw.backend;
    if (!text || !nw.enabled)
        return;
    if (b.m_filtering_key)
        b.m_pending_text += text;
    else
        input::text(text);
}

gboolean GtkEvents::on_delete(GtkWidget*, GdkEvent*, gpointer data) {
    NativeWindow& nw = from(data);
    // The program decides whether a window closes; a window behind a modal
    // one does not close at all.
    if (nw.enabled)
        input::close_request(nw.top);
    return TRUE;
}

gboolean GtkEvents::on_configure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
    NativeWindow& nw = from(data);
    GtkBackend& b = *nw.backend;
    HWND top = nw.top;
    Rect client{e->x, e->y, e->x + e->width, e->y + e->height};
    nw.client = client;
    // What the window procedures do in answer may destroy the window, so
    // nothing of `nw` is touched after this.
    HWND outer = b.m_native_event_top;
    b.m_native_event_top = top;
    input::native_geometry(top, client);
    b.m_native_event_top = outer;
    return FALSE; // GTK resizes its own widgets too
}

gboolean GtkEvents::on_window_state(GtkWidget*, GdkEventWindowState* e, gpointer data) {
    NativeWindow& nw = from(data);
    GtkBackend& b = *nw.backend;
    bool minimized = (e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    bool maximized = (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    if (minimized == nw.minimized && maximized == nw.maximized)
        return FALSE;
    nw.minimized = minimized;
    nw.maximized = maximized;
    HWND top = nw.top;
    HWND outer = b.m_native_event_top;
    b.m_native_event_top = top;
    input::native_state(top, minimized, maximized);
    b.m_native_event_top = outer;
    return FALSE;
}

gboolean GtkEvents::on_focus(GtkWidget*, GdkEventFocus* e, gpointer data) {
    NativeWindow& nw = from(data);
    GtkBackend& b = *nw.backend;
    if (e->in)
        gtk_im_context_focus_in(nw.im);
    else
        gtk_im_context_focus_out(nw.im);
    HWND top = nw.top;
    HWND outer = b.m_native_event_top;
    b.m_native_event_top = top;
    input::native_focus(top, e->in != 0);
    b.m_native_event_top = outer;
    return FALSE;
}

} // namespace platform
