#pragma once

// The display on a real screen: one GTK window per top-level window, with a
// drawing area that shows the picture our window system painted. Native
// input becomes our input events (Input.h); text entry goes through a GTK
// input method. The GLib main context is iterated from our message loop,
// never the other way round.

#include <platform/DisplayBackend.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

typedef struct _GdkCursor GdkCursor;
typedef struct _GtkWindow GtkWindow;
typedef struct _cairo_region cairo_region_t;

namespace platform {

class GtkBackend : public DisplayBackend {
  public:
    // Connects GTK to the display, once per process. False, with a reason
    // fit for the user, when there is no display to connect to.
    static bool open_display(int* argc, char*** argv, std::string& error);

    // open_display must have succeeded.
    GtkBackend();
    ~GtkBackend() override;
    GtkBackend(const GtkBackend&) = delete;
    GtkBackend& operator=(const GtkBackend&) = delete;

    const char* name() const override { return "gtk"; }
    void window_created(HWND top, const Rect& client) override;
    void window_destroyed(HWND top) override;
    void window_title_changed(HWND top, std::string_view utf8) override;
    void window_geometry_changed(HWND top, const Rect& client) override;
    void window_shown(HWND top, NativeShow how, bool activate) override;
    void window_enabled(HWND top, bool enabled) override;
    void window_topmost_changed(HWND top, bool topmost) override;
    void window_activated(HWND top) override;
    void present(HWND top, cairo_surface_t* surface, const Rect& dirty) override;
    void present_moved(HWND top, cairo_surface_t* surface, const Rect& from, int dx,
                       int dy) override;
    // In memory shared with the X server where it can be (GtkSharedPicture.h).
    cairo_surface_t* create_picture(HWND top, int width, int height) override;
    void set_cursor(HWND top, int cursor_id) override;
    void process_pending() override;
    void wait(std::chrono::microseconds timeout) override;
    void wake() override;
    void set_clipboard_text(std::string_view utf8) override;
    std::string clipboard_text() override;
    bool cursor_position(Point& screen) override;
    Rect work_area() override;
    // The native choosers (GtkFileChooser.h), modal to every window of ours.
    std::optional<FileDialogAnswer> file_dialog(const FileDialogRequest& request) override;
    std::optional<std::string> folder_dialog(const FolderDialogRequest& request) override;

    // The X11 window id of a top-level window (0 when it has none yet or the
    // display is not X11), so tools and tests can address it.
    unsigned long native_window_id(HWND top) const;
    // Whether the native window is mapped on the screen.
    bool is_mapped(HWND top) const;
    // How many times the X server has told how a move of pixels went
    // (GraphicsExpose, NoExpose) or that a put was read (a completion).
    int server_reports() const { return m_server_reports; }

    struct NativeWindow;

  private:
    friend struct GtkEvents;

    NativeWindow* native(HWND top) const;
    GdkCursor* cursor_for(int cursor_id);
    void apply_cursor(NativeWindow& nw);
    // Settings of the native window that need it realised.
    void window_realized(NativeWindow& nw);
    // Draws what was presented since last time onto the native windows, all
    // at once, before our loop handles native events or sleeps (GtkPresent.cpp).
    void present_unpresented();
    void present_now(NativeWindow& nw);
    // The whole picture of the window with this native id goes out again.
    void present_all_of(unsigned long native_id);
    // Puts the parts of a picture in shared memory onto the window; false
    // when the picture is not shared or the window not an X window.
    bool put_shared(NativeWindow& nw, cairo_surface_t* picture, const cairo_region_t* region);
    // The X server has read a batch of puts onto the window with this
    // native id.
    void put_read(unsigned long native_id);
    // Lets go of the puts in flight whose mark the server has set.
    void settle_in_flight(NativeWindow& nw);
    // The X server says whether anything covers the window with this
    // native id now.
    void visibility_changed(unsigned long native_id, bool unobscured);
    // The window's X graphics context (GtkNativeWindow.h), made if need be.
    void* window_gc(NativeWindow& nw);
    // One pass over GLib's sources that are ready, each dispatched.
    void dispatch_ready_sources();
    // What the native window's presentation holds: its regions and its X
    // graphics context.
    void release_presentation(NativeWindow& nw);
    // The GTK window a dialog for `owner` stays above: the owner's top-level
    // window, or the active one of ours when there is no owner.
    GtkWindow* dialog_parent(HWND owner) const;
    // After a dialog: activation goes back to the owner's top-level window.
    void dialog_closed(HWND owner);

    std::unordered_map<HWND, std::unique_ptr<NativeWindow>> m_windows;
    std::map<int, GdkCursor*> m_cursors;
    // Text an input method commits while a key is being filtered waits here,
    // so that the key's own message comes before the characters.
    bool m_filtering_key = false;
    std::string m_pending_text;
    // The window whose native event is being handled: what our window system
    // does in answer is not echoed back to the display.
    HWND m_native_event_top = nullptr;
    std::uint32_t m_last_event_time = 0;
    // When the last pass over GLib's ready sources ended (GLib's clock, µs).
    std::int64_t m_last_pass_us = 0;
    int m_server_reports = 0;
};

} // namespace platform
