#include "GtkBackend.h"

#include "GtkAccessible.h"
#include "GtkFileChooser.h"
#include "GtkNativeWindow.h"
#include <platform/dialogs/Dialogs.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <poll.h>
#include <utility>

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace platform {

namespace {

bool env_set(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

const char* cursor_name(int id) {
    switch (id) {
    case IDC_IBEAM:
        return "text";
    case IDC_WAIT:
        return "wait";
    case IDC_CROSS:
        return "crosshair";
    case IDC_UPARROW:
        return "sb_up_arrow";
    case IDC_SIZENWSE:
        return "nwse-resize";
    case IDC_SIZENESW:
        return "nesw-resize";
    case IDC_SIZEWE:
        return "ew-resize";
    case IDC_SIZENS:
        return "ns-resize";
    case IDC_SIZEALL:
        return "move";
    case IDC_NO:
        return "not-allowed";
    case IDC_HAND:
        return "pointer";
    case IDC_APPSTARTING:
        return "progress";
    case IDC_HELP:
        return "help";
    default:
        return "default";
    }
}

// GLib waits in whole milliseconds, rounded up: a wait for the tick count
// to move on would end up to a millisecond after it moved. Our waits keep
// their own deadline (GLib's clock, µs; negative: none) and the poll ends
// at it; GLib's other sources still end the poll at their own times.
gint64 g_wait_deadline_us = -1;
GPollFunc g_glib_poll = nullptr;

gint poll_to_the_deadline(GPollFD* fds, guint count, gint timeout_ms) {
    static_assert(sizeof(GPollFD) == sizeof(pollfd));
    if (timeout_ms != 0 && g_wait_deadline_us >= 0) {
        const gint64 left_us = std::max<gint64>(g_wait_deadline_us - g_get_monotonic_time(), 0);
        if (timeout_ms < 0 || left_us < gint64{timeout_ms} * 1000) {
            const auto limit = timespec_of(std::chrono::microseconds(left_us));
            return ppoll(reinterpret_cast<pollfd*>(fds), count, &*limit, nullptr);
        }
    }
    return g_glib_poll(fds, count, timeout_ms);
}

// The wait's own source: ready at the deadline, so that GLib's iteration
// ends there with it.
GSourceFuncs k_deadline_funcs = {
    nullptr, nullptr, [](GSource*, GSourceFunc, gpointer) { return G_SOURCE_REMOVE; },
    nullptr, nullptr, nullptr};

} // namespace

bool GtkBackend::open_display(int* argc, char*** argv, std::string& error) {
    static bool opened = false;
    if (opened)
        return true;
    if (!env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY")) {
        error = "no display available; set DISPLAY or run with --backend=headless";
        return false;
    }
    // GTK would set every locale category from the environment; number
    // formatting and byte classification stay in the "C" locale, only the
    // character type follows the user (input methods need it).
    gtk_disable_setlocale();
    std::setlocale(LC_CTYPE, "");
    // GDK asks GLX for its visuals while it opens the display, which loads
    // the GL driver (under Xvfb, Mesa's software one with LLVM: about 55 MB
    // resident). Our windows only ever show Cairo pictures, so GL stays off
    // unless the user asks otherwise. GDK reads the variable only here; it is
    // gone again afterwards, so programs started from ours see the
    // environment they were given.
    const bool gl_ours = !env_set("GDK_GL");
    const bool gl_empty = std::getenv("GDK_GL") != nullptr;
    if (gl_ours)
        setenv("GDK_GL", "disable", 1);
    const bool initialised = gtk_init_check(argc, argv);
    if (gl_ours && gl_empty)
        setenv("GDK_GL", "", 1);
    else if (gl_ours)
        unsetenv("GDK_GL");
    if (!initialised) {
        const char* d = std::getenv("DISPLAY");
        error = std::string("cannot open display ") + (d && *d ? d : "(wayland)") +
                "; set DISPLAY or run with --backend=headless";
        return false;
    }
    opened = true;
    return true;
}

GtkBackend::GtkBackend() {
    gdk_window_add_filter(nullptr, GtkEvents::on_x_event, this);
    g_glib_poll = g_main_context_get_poll_func(nullptr);
    g_main_context_set_poll_func(nullptr, poll_to_the_deadline);
}

GtkBackend::~GtkBackend() {
    std::vector<HWND> tops;
    for (auto& [top, nw] : m_windows)
        tops.push_back(top);
    for (HWND top : tops)
        window_destroyed(top);
    for (auto& [id, cursor] : m_cursors)
        g_object_unref(cursor);
    // Let GTK finish the destruction it queued.
    dispatch_ready_sources();
    gdk_window_remove_filter(nullptr, GtkEvents::on_x_event, this);
    g_main_context_set_poll_func(nullptr, g_glib_poll);
}

GtkBackend::NativeWindow* GtkBackend::native(HWND top) const {
    auto it = m_windows.find(top);
    return it == m_windows.end() ? nullptr : it->second.get();
}

void GtkBackend::window_created(HWND top, const Rect& client) {
    std::uint32_t style = get_style(top);
    std::uint32_t ex_style = get_ex_style(top);
    bool popup = (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;

    auto nw = std::make_unique<NativeWindow>();
    nw->backend = this;
    nw->top = top;
    nw->client = client;
    nw->resizable = (style & WS_THICKFRAME) != 0;
    nw->cursor_id = IDC_ARROW;
    nw->window = gtk_window_new(popup ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
    GtkWindow* win = GTK_WINDOW(nw->window);
    // Positions name the client area itself, whatever frame the window
    // manager adds, as our window system counts them.
    gtk_window_set_gravity(win, GDK_GRAVITY_STATIC);
    gtk_window_set_resizable(win, nw->resizable);
    if (ex_style & WS_EX_TOOLWINDOW)
        gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_UTILITY);
    if (HWND owner = get_parent(top); NativeWindow* o = native(owner)) {
        gtk_window_set_transient_for(win, GTK_WINDOW(o->window));
        if (!popup && !(ex_style & WS_EX_TOOLWINDOW))
            gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_DIALOG);
    }
    if (ex_style & WS_EX_TOPMOST)
        gtk_window_set_keep_above(win, TRUE);

    // Whether anything covers the window decides how pixels move in it
    // (GtkPresent.cpp).
    gtk_widget_add_events(GTK_WIDGET(win), GDK_VISIBILITY_NOTIFY_MASK);
    nw->area = gtk_access::make_surface(top);
    gtk_widget_add_events(nw->area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_POINTER_MOTION_MASK | GDK_SCROLL_MASK |
                                        GDK_LEAVE_NOTIFY_MASK | GDK_SMOOTH_SCROLL_MASK);
    gtk_container_add(GTK_CONTAINER(nw->window), nw->area);
    gtk_widget_show(nw->area);
    nw->im = gtk_im_multicontext_new();

    int width = std::max(1, client.width());
    int height = std::max(1, client.height());
    if (!nw->resizable)
        gtk_widget_set_size_request(nw->area, width, height);
    gtk_window_set_default_size(win, width, height);
    gtk_window_move(win, client.left, client.top);

    NativeWindow& ref = *nw;
    m_windows.emplace(top, std::move(nw));
    GtkEvents::connect(ref);
}

void GtkBackend::window_destroyed(HWND top) {
    auto it = m_windows.find(top);
    if (it == m_windows.end())
        return;
    std::unique_ptr<NativeWindow> nw = std::move(it->second);
    m_windows.erase(it);
    // Nothing the destruction emits may reach a window record that is gone.
    g_signal_handlers_disconnect_by_data(nw->window, nw.get());
    g_signal_handlers_disconnect_by_data(nw->area, nw.get());
    g_signal_handlers_disconnect_by_data(nw->im, nw.get());
    gtk_im_context_set_client_window(nw->im, nullptr);
    g_object_unref(nw->im);
    release_presentation(*nw);
    gtk_widget_destroy(nw->window);
}

void GtkBackend::window_title_changed(HWND top, std::string_view utf8) {
    if (NativeWindow* nw = native(top))
        gtk_window_set_title(GTK_WINDOW(nw->window), std::string(utf8).c_str());
}

void GtkBackend::window_geometry_changed(HWND top, const Rect& client) {
    NativeWindow* nw = native(top);
    // Equal to what the display last reported: an echo of its own change.
    if (!nw || client == nw->client)
        return;
    Rect old = nw->client;
    nw->client = client;
    GtkWindow* win = GTK_WINDOW(nw->window);
    if (client.left != old.left || client.top != old.top)
        gtk_window_move(win, client.left, client.top);
    if (client.width() != old.width() || client.height() != old.height()) {
        int width = std::max(1, client.width());
        int height = std::max(1, client.height());
        if (!nw->resizable)
            gtk_widget_set_size_request(nw->area, width, height);
        gtk_window_resize(win, width, height);
    }
}

void GtkBackend::window_shown(HWND top, NativeShow how, bool activate) {
    NativeWindow* nw = native(top);
    if (!nw)
        return;
    GtkWindow* win = GTK_WINDOW(nw->window);
    if (how == NativeShow::Hidden) {
        gtk_widget_hide(nw->window);
        return;
    }
    // A message box is an alert, not a frame, to a screen reader.
    if (access::Role role = access::describe({top, 0}).role;
        role == access::Role::Alert || role == access::Role::Dialog)
        atk_object_set_role(gtk_widget_get_accessible(nw->window), gtk_access::atk_role(role));
    // A state the display itself just reported needs no request.
    bool echo = top == m_native_event_top;
    if (!echo) {
        switch (how) {
        case NativeShow::Minimized:
            gtk_window_iconify(win);
            activate = false;
            break;
        case NativeShow::Maximized:
            if (nw->minimized)
                gtk_window_deiconify(win);
            gtk_window_maximize(win);
            break;
        default:
            if (nw->minimized)
                gtk_window_deiconify(win);
            if (nw->maximized)
                gtk_window_unmaximize(win);
            break;
        }
    }
    gtk_window_set_focus_on_map(win, activate);
    if (activate && !echo)
        gtk_window_present_with_time(win, m_last_event_time ? m_last_event_time : GDK_CURRENT_TIME);
    else
        gtk_widget_show(nw->window);
}

void GtkBackend::window_enabled(HWND top, bool enabled) {
    NativeWindow* nw = native(top);
    if (!nw)
        return;
    nw->enabled = enabled;
    gtk_widget_set_sensitive(nw->area, enabled);
}

void GtkBackend::window_topmost_changed(HWND top, bool topmost) {
    if (NativeWindow* nw = native(top))
        gtk_window_set_keep_above(GTK_WINDOW(nw->window), topmost);
}

void GtkBackend::window_activated(HWND top) {
    NativeWindow* nw = native(top);
    if (!nw || top == m_native_event_top || !gtk_widget_get_visible(nw->window))
        return;
    if (gtk_window_get_window_type(GTK_WINDOW(nw->window)) == GTK_WINDOW_POPUP)
        return; // a pop-up never takes the keyboard from its owner
    if (!gtk_window_is_active(GTK_WINDOW(nw->window)))
        gtk_window_present_with_time(GTK_WINDOW(nw->window),
                                     m_last_event_time ? m_last_event_time : GDK_CURRENT_TIME);
}

GdkCursor* GtkBackend::cursor_for(int cursor_id) {
    auto it = m_cursors.find(cursor_id);
    if (it != m_cursors.end())
        return it->second;
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* cursor = gdk_cursor_new_from_name(display, cursor_name(cursor_id));
    if (!cursor)
        cursor = gdk_cursor_new_from_name(display, "default");
    if (cursor)
        m_cursors.emplace(cursor_id, cursor);
    return cursor;
}

void GtkBackend::apply_cursor(NativeWindow& nw) {
    if (GdkWindow* w = gtk_widget_get_window(nw.area))
        gdk_window_set_cursor(w, cursor_for(nw.cursor_id));
}

void GtkBackend::window_realized(NativeWindow& nw) {
    apply_cursor(nw);
#ifdef GDK_WINDOWING_X11
    // Frame synchronisation lets a compositing window manager pace our
    // frames. With no window manager there is nothing to pace them, and GDK,
    // finding no list of supported hints to keep, asked the X server for it
    // again at the end of every frame: a round trip per frame.
    GdkWindow* top = gtk_widget_get_window(nw.window);
    if (top && GDK_IS_X11_WINDOW(top) &&
        std::string_view(gdk_x11_screen_get_window_manager_name(gdk_window_get_screen(top))) ==
            "unknown")
        gdk_x11_window_set_frame_sync_enabled(top, FALSE);
#endif
}

void GtkBackend::set_cursor(HWND top, int cursor_id) {
    NativeWindow* nw = native(top);
    if (!nw || nw->cursor_id == cursor_id)
        return;
    nw->cursor_id = cursor_id;
    apply_cursor(*nw);
}

void GtkBackend::process_pending() {
    present_unpresented();
    // While our loop works through its own messages it asks for native
    // events again and again (a playback step asks some twenty times, a
    // frame of the virtual arm asks after its paint), and a pass of GLib's
    // costs three system calls even when nothing came. A pass this soon
    // after the last leaves what arrived in between to the next, at most two
    // milliseconds later, while our loop is busy; a wait always makes its
    // pass, so an idle program handles an event at once.
    constexpr gint64 k_pass_spacing_us = 2000;
    if (g_get_monotonic_time() - m_last_pass_us < k_pass_spacing_us)
        return;
    dispatch_ready_sources();
}

void GtkBackend::dispatch_ready_sources() {
    // Bounded, so that a source that is always ready (an animation) cannot
    // keep our own messages from being handled.
    for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
    m_last_pass_us = g_get_monotonic_time();
}

void GtkBackend::wait(std::chrono::microseconds timeout) {
    present_unpresented();
    if (timeout == timeout.zero()) {
        dispatch_ready_sources();
        return;
    }
    // Waits nest (a handler GLib dispatches may wait); each has its own
    // deadline.
    const gint64 outer_deadline_us = std::exchange(g_wait_deadline_us, -1);
    GSource* deadline = nullptr;
    if (timeout > timeout.zero()) {
        g_wait_deadline_us = g_get_monotonic_time() + timeout.count();
        deadline = g_source_new(&k_deadline_funcs, sizeof(GSource));
        g_source_set_ready_time(deadline, g_wait_deadline_us);
        g_source_attach(deadline, nullptr);
    }
    g_main_context_iteration(nullptr, TRUE);
    g_wait_deadline_us = outer_deadline_us;
    if (deadline) {
        g_source_destroy(deadline);
        g_source_unref(deadline);
    }
    // That was a pass: what became ready with lower priority waits for the
    // next, as it would after any pass.
    m_last_pass_us = g_get_monotonic_time();
}

void GtkBackend::wake() {
    g_main_context_wakeup(nullptr);
}

void GtkBackend::set_clipboard_text(std::string_view utf8) {
    GtkClipboard* cb = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(cb, utf8.data(), static_cast<gint>(utf8.size()));
}

std::string GtkBackend::clipboard_text() {
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    if (!text)
        return {};
    std::string out(text);
    g_free(text);
    return out;
}

bool GtkBackend::cursor_position(Point& screen) {
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer)
        return false;
    gdk_device_get_position(pointer, nullptr, &screen.x, &screen.y);
    return true;
}

Rect GtkBackend::work_area() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display && gdk_display_get_n_monitors(display) > 0)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return {};
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return {area.x, area.y, area.x + area.width, area.y + area.height};
}

GtkWindow* GtkBackend::dialog_parent(HWND owner) const {
    HWND top = owner ? get_ancestor_root(owner) : get_active_window();
    if (top)
        top = get_ancestor_root(top);
    NativeWindow* nw = native(top);
    return nw ? GTK_WINDOW(nw->window) : nullptr;
}

void GtkBackend::dialog_closed(HWND owner) {
    if (owner && is_window(owner))
        set_active_window(get_ancestor_root(owner));
}

std::optional<FileDialogAnswer> GtkBackend::file_dialog(const FileDialogRequest& request) {
    auto answer = GtkFileChooser::run_file_dialog(request, dialog_parent(request.owner));
    dialog_closed(request.owner);
    return answer;
}

std::optional<std::string> GtkBackend::folder_dialog(const FolderDialogRequest& request) {
    auto answer = GtkFileChooser::run_folder_dialog(request, dialog_parent(request.owner));
    dialog_closed(request.owner);
    return answer;
}

unsigned long GtkBackend::native_window_id(HWND top) const {
    NativeWindow* nw = native(top);
    if (!nw)
        return 0;
    GdkWindow* w = gtk_widget_get_window(nw->window);
#ifdef GDK_WINDOWING_X11
    if (w && GDK_IS_X11_WINDOW(w))
        return GDK_WINDOW_XID(w);
#endif
    (void)w;
    return 0;
}

bool GtkBackend::is_mapped(HWND top) const {
    NativeWindow* nw = native(top);
    return nw && gtk_widget_get_mapped(nw->window);
}

} // namespace platform
