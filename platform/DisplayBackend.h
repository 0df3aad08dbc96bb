#pragma once

// What the window system asks of a display: native top-level windows that
// show the pictures our windows paint, native input turned into our input
// events (see Input.h), waiting for events, and the clipboard. Every call
// but wake() is made on the user-interface thread.

#include "Clock.h"
#include "Types.h"

#include <optional>
#include <string>
#include <string_view>

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

struct FileDialogRequest;
struct FileDialogAnswer;
struct FolderDialogRequest;

enum class NativeShow { Hidden, Normal, Minimized, Maximized };

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    virtual const char* name() const = 0;
    // The clock the window system reads while this display is installed.
    virtual const Clock& clock() const { return real_clock(); }

    // A top-level window was created or destroyed. `client` is its client
    // area in screen coordinates.
    virtual void window_created(HWND top, const Rect& client) = 0;
    virtual void window_destroyed(HWND top) = 0;
    virtual void window_title_changed(HWND top, std::string_view utf8) = 0;
    virtual void window_geometry_changed(HWND top, const Rect& client) = 0;
    virtual void window_shown(HWND top, NativeShow how, bool activate) = 0;
    virtual void window_enabled(HWND top, bool enabled) = 0;
    virtual void window_topmost_changed(HWND top, bool topmost) = 0;
    virtual void window_activated(HWND top) = 0;

    // A new picture for a top-level window's client area: an RGB24 image
    // surface the window system paints into. A display may keep it where it
    // can show it from without a copy; by default it is plain memory.
    virtual cairo_surface_t* create_picture(HWND top, int width, int height);
    // The picture of a top-level window's client area changed inside `dirty`
    // (client coordinates of the top-level window).
    virtual void present(HWND top, cairo_surface_t* surface, const Rect& dirty) = 0;
    // The picture inside `from` moves by (dx, dy) and is otherwise unchanged
    // there (a scroll); the window system moves it right after this call. A
    // display that can move what it shows moves it instead of taking the
    // pixels again; by default the moved part is presented.
    virtual void present_moved(HWND top, cairo_surface_t* surface, const Rect& from, int dx,
                               int dy);
    virtual void set_cursor(HWND top, int cursor_id) = 0;

    // Handles the native events that are ready, without waiting.
    virtual void process_pending() = 0;
    // Waits until native events arrive, wake() is called, or `timeout`
    // passes (negative: no limit); handles what arrived. The time-out is
    // kept to the microsecond: a wait for the tick count to move on ends
    // when it moves, not at the next whole millisecond of the wait.
    virtual void wait(std::chrono::microseconds timeout) = 0;
    // Ends a wait() in progress or makes the next one return at once. Safe
    // from any thread.
    virtual void wake() = 0;

    virtual void set_clipboard_text(std::string_view utf8) = 0;
    virtual std::string clipboard_text() = 0;
    virtual bool cursor_position(Point& screen) = 0;
    // The part of the screen that windows may cover (without task bars and
    // docks), in screen coordinates.
    virtual Rect work_area() = 0;

    // The common dialogs are the display's own choosers. Nothing means the
    // user cancelled (or the display has no chooser).
    virtual std::optional<FileDialogAnswer> file_dialog(const FileDialogRequest& request);
    virtual std::optional<std::string> folder_dialog(const FolderDialogRequest& request);
    // A message box (built from our own controls) has just been shown and
    // its nested loop is about to run. `default_id` is the answer Enter gives.
    virtual void message_box_shown(HWND box, int default_id, std::string_view caption,
                                   std::string_view text);
};

} // namespace platform
