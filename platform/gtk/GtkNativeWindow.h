#pragma once

// Private to the GTK display: the native side of one top-level window, and
// the handlers of its GTK signals.

#include "GtkBackend.h"

#include <gtk/gtk.h>

#include <cstdint>

namespace platform {

struct GtkBackend::NativeWindow {
    GtkBackend* backend = nullptr;
    HWND top = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* area = nullptr;
    GtkIMContext* im = nullptr;
    // The client area in screen coordinates, as last requested from or
    // reported by the display.
    Rect client;
    bool resizable = true;
    bool enabled = true;
    int cursor_id = 0;
    // What the display last reported.
    bool minimized = false;
    bool maximized = false;
    Point last_mouse{-1, -1};
    // Where the native window still shows an older picture than ours: what
    // was presented since the last time the pictures went out, in client
    // coordinates. Null when there is nothing.
    cairo_region_t* unpresented = nullptr;
    // The X graphics context that puts pictures onto the window and moves
    // pixels inside it (a scroll); made when first needed.
    void* gc = nullptr;
    // Parts put from a shared picture that the X server may not have read
    // yet (GtkSharedPicture.h), and how many batches of puts that is, or
    // where the server shares pixmaps, the mark sent after the last batch.
    cairo_region_t* in_flight = nullptr;
    int puts_in_flight = 0;
    std::uint32_t in_flight_mark = 0;
    // Whether nothing covers the window and all of it is on the screen, as
    // the X server last said: pixels moved inside it then never come from
    // a part it does not show, and the server need not say how each move
    // went (GraphicsExpose / NoExpose).
    bool unobscured = false;
    bool moves_quietly = false; // how the graphics context is set now
    // Whether pixels have moved inside the window; from the first move on
    // its puts are followed until read.
    bool moves = false;
    double scroll_rest = 0; // smooth scrolling not yet worth a wheel step
};

struct GtkEvents {
    // Connects every handler of a new native window.
    static void connect(GtkBackend::NativeWindow& nw);

    static gboolean on_draw(GtkWidget* widget, cairo_t* cr, gpointer data);
    // Native events before GDK reads them (GtkPresent.cpp); data is the backend.
    static GdkFilterReturn on_x_event(GdkXEvent* native, GdkEvent* event, gpointer data);
    static void on_realize(GtkWidget* widget, gpointer data);
    static gboolean on_button(GtkWidget* widget, GdkEventButton* event, gpointer data);
    static gboolean on_motion(GtkWidget* widget, GdkEventMotion* event, gpointer data);
    static gboolean on_leave(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
    static gboolean on_scroll(GtkWidget* widget, GdkEventScroll* event, gpointer data);
    static gboolean on_key(GtkWidget* widget, GdkEventKey* event, gpointer data);
    static void on_commit(GtkIMContext* im, gchar* text, gpointer data);
    static gboolean on_delete(GtkWidget* widget, GdkEvent* event, gpointer data);
    static gboolean on_configure(GtkWidget* widget, GdkEventConfigure* event, gpointer data);
    static gboolean on_window_state(GtkWidget* widget, GdkEventWindowState* event, gpointer data);
    static gboolean on_focus(GtkWidget* widget, GdkEventFocus* event, gpointer data);
};

} // namespace platform
