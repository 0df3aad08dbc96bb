#pragma once

// The window system's private state. Everything here but the cross-thread
// queue is touched only on the user-interface thread.

#include "../WindowSystem.h"
#include <platform/Clock.h>
#include <platform/DisplayBackend.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

typedef struct _cairo_region cairo_region_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform::detail {

struct ClassRecord {
    WindowClass info;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::shared_ptr<ClassRecord> cls;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;      // null for a top-level window
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // z-order, topmost first
    Rect rect;                  // window rectangle in the parent's client coordinates
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    std::string text;
    std::uintptr_t id = 0;
    std::intptr_t user_data = 0;
    std::vector<std::intptr_t> extra;
    std::map<std::string, std::intptr_t> props;

    cairo_region_t* update = nullptr; // client coordinates
    bool erase_pending = false;
    bool frame_pending = false;
    // While the frame is pending for parts alone, those parts (in client
    // coordinates, outside the client area); empty when all of it is.
    Rect frame_part;
    void mark_frame() {
        frame_pending = true;
        frame_part = {};
    }
    cairo_surface_t* surface = nullptr; // top-level windows: the client-area picture
    Rect presented_dirty;               // top-level windows: painted but not yet presented

    // The standard scroll bars' state (WS_VSCROLL / WS_HSCROLL), made when
    // first asked for; owned by the scroll bar code.
    std::shared_ptr<void> standard_bars;

    bool minimized = false;
    bool maximized = false;
    Rect restore_rect;
    bool destroying = false;
    std::intptr_t modal_result = 0;
    bool modal_ended = false;

    ~WindowRecord();
    bool is_top_level() const { return parent == nullptr; }
};

struct Timer {
    HWND hwnd = nullptr;
    std::uintptr_t id = 0;
    std::uint32_t interval = 0;
    std::chrono::nanoseconds due; // on the current clock
    TIMERPROC proc = nullptr;
};

struct Hook {
    HHOOK handle = nullptr;
    int kind = 0;
    HOOKPROC proc = nullptr;
};

// A message sent from another thread, waiting for the user-interface thread.
struct CrossThreadSend {
    HWND hwnd;
    UINT message;
    WPARAM wp;
    LPARAM lp;
    std::promise<LRESULT> result;
};

// Raw input from the display, turned into messages when it is retrieved.
enum class InputKind { MouseMove, ButtonDown, ButtonUp, Wheel, MouseLeft, KeyDown, KeyUp, Char };
struct InputEvent {
    InputKind kind;
    HWND top = nullptr; // mouse: the top-level window the point is relative to
    Point point;        // mouse: client coordinates of `top`
    int button = 0;     // 0 left, 1 right, 2 middle
    int delta = 0;      // wheel
    UINT vk = 0;
    std::uint32_t typed_char = 0;
    int repeat = 1;
    std::uint32_t scan = 0;
    std::uint32_t time = 0;
};

struct State {
    // Written on the user-interface thread under `mutex`; other threads read
    // it only under `mutex`, so a backend they see is still installed.
    DisplayBackend* backend = nullptr;
    std::atomic<std::thread::id> ui_thread;

    std::unordered_map<std::string, std::shared_ptr<ClassRecord>> classes; // key: lower-cased name
    std::unordered_map<std::uintptr_t, std::unique_ptr<WindowRecord>> windows;
    std::uintptr_t next_handle = 0x10000;
    std::vector<HWND> top_levels; // z-order, topmost first
    // Raised whenever a window may have come to need painting (an update
    // region grew, a frame was marked, a window was shown, restored or
    // restyled); a search that found nothing to paint notes the count it
    // searched at, and the same count needs no new search.
    std::uint64_t paint_generation = 1;
    std::uint64_t nothing_to_paint_at = 0;

    // Guarded by `mutex`: posted messages and sends from other threads.
    std::mutex mutex;
    std::deque<Msg> posted;
    std::deque<std::shared_ptr<CrossThreadSend>> cross_sends;
    bool quit_posted = false;
    int quit_code = 0;
    // Raised under `mutex` each time another thread or the clock wakes the
    // user-interface thread; a wait compares it with what it saw before it
    // last looked at the queue.
    std::atomic<std::uint64_t> wakes{0};
    // From the start of shutdown() until the next initialize(): sends from
    // other threads are answered 0 at once instead of being queued, and
    // posts are refused.
    bool closing = false;

    std::deque<InputEvent> input;
    std::vector<Timer> timers;
    std::uintptr_t next_timer_id = 1;
    std::vector<Hook> hooks;
    std::uintptr_t next_hook = 1;
    int send_depth = 0;
    std::uint64_t sends_delivered = 0;
    bool in_hook = false;
    std::uint32_t message_time = 0;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND foreground = nullptr;
    HWND capture = nullptr;
    bool capture_nonclient = false; // the capture is for a press in the frame
    HCURSOR cursor = nullptr;
    HWND mouse_window = nullptr;   // the window the mouse was last over
    HWND leave_tracking = nullptr; // wants WM_MOUSELEAVE
    Point mouse_screen;            // written under `mutex`: posts from other threads read it
    std::uint8_t key_down[256] = {};
    // Double-click detection.
    HWND last_click_window = nullptr;
    int last_click_button = -1;
    std::uint32_t last_click_time = 0;
    Point last_click_point;

    bool spy = false;
};

State& state();
WindowRecord* find(HWND hwnd);
bool on_ui_thread();
// The deepest visible, enabled child of `top` under a point in its client
// coordinates (the top-level window itself when no child is there).
HWND hit_test(HWND top, Point client);
// The top-level window's client coordinates of a window's client origin.
Point client_origin_in_top(HWND hwnd);
// Client-area rectangle of a window, in its parent's client coordinates.
Rect client_rect_in_parent(const WindowRecord& w);
void on_window_destroyed(HWND hwnd);
void spy_log(const char* how, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void kill_window_timers(HWND hwnd);
void drop_window_input(HWND hwnd);
bool has_pending_paint();
void paint_may_be_due();
HWND next_paint_window(HWND filter);
std::uint32_t now_ticks();
// Ends a wait of the user-interface thread, if a backend is installed. Safe
// from any thread.
void wake_ui_thread();
// Installs the clock every reading of time goes through (null: the real one).
void use_clock(const Clock* clock);
// Hides or moves a window: the area it leaves needs repainting.
void invalidate_parent_area(const WindowRecord& w);
void resize_surface(WindowRecord& w);
// Converts queued raw input into the next message; false when none is left.
bool next_input_message(Msg& msg);
int next_timer_timeout_ms();
bool next_timer_message(Msg& msg, HWND filter);

} // namespace platform::detail
