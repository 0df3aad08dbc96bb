#pragma once

// The window system: classes, windows, messages, timers, hooks, geometry,
// focus and capture. One user-interface thread owns every window; posting
// is safe from any thread, sending from another thread is marshalled to the
// user-interface thread. Calls about a handle that is not (or no longer) a
// window do nothing and answer 0 or false.

#include "Messages.h"
#include "Styles.h"
#include <platform/Types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class DisplayBackend;

// ---- Start-up ------------------------------------------------------------

// Makes the calling thread the user-interface thread and installs the display
// backend. Returns false if a backend is already installed.
bool initialize(DisplayBackend* backend);
// Destroys every window, drops queued messages, timers and hooks, and
// uninstalls the backend (tests use it between cases).
void shutdown();
DisplayBackend* backend();
bool is_ui_thread();

// ---- Classes -------------------------------------------------------------

struct WindowClass {
    std::string name; // GBK, matched without regard to ASCII case
    WNDPROC proc = nullptr;
    std::uint32_t style = 0;
    HCURSOR cursor = nullptr;
    // Background colour as 0x00BBGGRR, or -1 for none (the procedure paints).
    std::int64_t background = -1;
    int extra_bytes = 0;
};

bool register_class(const WindowClass& cls);
bool unregister_class(std::string_view name);
bool get_class_info(std::string_view name, WindowClass& out);

// ---- Creation and destruction ---------------------------------------------

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// The creation parameters, as WM_NCCREATE and WM_CREATE see them (lParam
// points at this record).
struct CreateStruct {
    void* create_params = nullptr;
    std::uintptr_t menu_or_id = 0;
    HWND parent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    std::uint32_t style = 0;
    std::string_view name;
    std::string_view class_name;
    std::uint32_t ex_style = 0;
};

// For a child window `id_or_menu` is its control id. Returns nullptr when the
// class is unknown or a procedure refused creation.
HWND create_window_ex(std::uint32_t ex_style, std::string_view class_name, std::string_view text,
                      std::uint32_t style, int x, int y, int width, int height, HWND parent,
                      std::uintptr_t id_or_menu, void* param = nullptr);
bool destroy_window(HWND hwnd);
bool is_window(HWND hwnd);

// ---- Messages -------------------------------------------------------------

LRESULT send_message(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
bool post_message(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
// Posts a message with no window to the user-interface thread's queue.
bool post_thread_message(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
void post_quit_message(int exit_code);

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Blocks until a message arrives; false when it is WM_QUIT.
bool get_message(Msg& msg, HWND filter = nullptr, UINT min = 0, UINT max = 0);
bool peek_message(Msg& msg, HWND filter = nullptr, UINT min = 0, UINT max = 0,
                  UINT remove = PM_NOREMOVE);
// Waits until a message is available or `timeout_ms` passes (negative: no
// limit). True when a message is available.
bool wait_message(int timeout_ms = -1);
// The same up to a moment of the current clock, for a caller that worked out
// its deadline from an earlier reading: time that passed in between, even a
// step of a test's clock, is not waited for again.
bool wait_message_until(std::chrono::nanoseconds deadline);
bool translate_message(const Msg& msg);
LRESULT dispatch_message(const Msg& msg);
// Retrieves, translates and dispatches every message that is ready (paints
// and due timers included), without waiting. A WM_QUIT ends it and stays
// queued for the caller's loop. Returns how many were dispatched.
int dispatch_ready_messages();
LRESULT def_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT call_window_proc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// True while the window procedure running now was reached by a send.
bool in_send_message();
// The message currently being processed, for the message spy and hooks.
std::uint32_t get_message_time();

// ---- Window data ----------------------------------------------------------

std::intptr_t get_window_long(HWND hwnd, int index);
// Returns the previous value. GWL_WNDPROC replaces the procedure (subclassing).
std::intptr_t set_window_long(HWND hwnd, int index, std::intptr_t value);
WNDPROC get_window_proc(HWND hwnd);
WNDPROC set_window_proc(HWND hwnd, WNDPROC proc);
// Extra bytes of the class, addressed by byte offset, pointer-sized.
std::intptr_t get_window_extra(HWND hwnd, int offset);
std::intptr_t set_window_extra(HWND hwnd, int offset, std::intptr_t value);
bool set_prop(HWND hwnd, std::string_view name, std::intptr_t value);
std::intptr_t get_prop(HWND hwnd, std::string_view name);
std::intptr_t remove_prop(HWND hwnd, std::string_view name);

std::string get_class_name(HWND hwnd);
std::uint32_t get_style(HWND hwnd);
std::uint32_t get_ex_style(HWND hwnd);
int get_dlg_ctrl_id(HWND hwnd);
HWND get_dlg_item(HWND parent, int id);
// Texts are GBK. get_window_text goes through WM_GETTEXT as on the platform.
std::string get_window_text(HWND hwnd);
bool set_window_text(HWND hwnd, std::string_view text);

// ---- Tree ------------------------------------------------------------------

HWND get_parent(HWND hwnd);
HWND get_ancestor_root(HWND hwnd);
HWND set_parent(HWND hwnd, HWND new_parent);
bool is_child(HWND parent, HWND hwnd);
// Children in z-order, topmost first.
std::vector<HWND> get_children(HWND parent);
// Callbacks return false to stop the enumeration.
bool enum_child_windows(HWND parent, const std::function<bool(HWND)>& fn);
bool enum_thread_windows(const std::function<bool(HWND)>& fn);
std::vector<HWND> top_level_windows();

// ---- State -----------------------------------------------------------------

bool show_window(HWND hwnd, int cmd);
bool is_window_visible(HWND hwnd);
bool enable_window(HWND hwnd, bool enable);
bool is_window_enabled(HWND hwnd);
bool is_iconic(HWND hwnd);
bool is_zoomed(HWND hwnd);

HWND set_focus(HWND hwnd);
HWND get_focus();
HWND set_capture(HWND hwnd);
// Takes the capture for a press in the window's frame (its standard scroll
// bars): the mouse messages then come as WM_NCMOUSEMOVE and WM_NCLBUTTONUP
// with screen coordinates until the capture is released.
HWND set_nonclient_capture(HWND hwnd);
bool release_capture();
HWND get_capture();
HWND set_active_window(HWND hwnd);
HWND get_active_window();
bool set_foreground_window(HWND hwnd);
HWND get_foreground_window();

// ---- Geometry ----------------------------------------------------------------

// What WM_WINDOWPOSCHANGING (which may change it) and WM_WINDOWPOSCHANGED
// carry in lParam.
struct WindowPos {
    HWND hwnd;
    HWND insert_after;
    int x, y, cx, cy;
    UINT flags;
};

bool set_window_pos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
bool move_window(HWND hwnd, int x, int y, int width, int height, bool repaint = true);
// In screen coordinates.
bool get_window_rect(HWND hwnd, Rect& out);
// Always {0, 0, width, height} of the client area.
bool get_client_rect(HWND hwnd, Rect& out);
// The window's rectangle in its parent's client coordinates (screen for a
// top-level window).
bool get_window_placement_rect(HWND hwnd, Rect& out);
bool client_to_screen(HWND hwnd, Point& p);
bool screen_to_client(HWND hwnd, Point& p);
// Maps points from one window's client coordinates to another's (nullptr is
// the screen).
void map_window_points(HWND from, HWND to, Point* points, int count);
// The visible, enabled window under a screen point (deepest child).
HWND window_from_point(Point screen);
HWND child_window_from_point(HWND parent, Point client);
// The part of the screen that windows may cover, in screen coordinates; empty
// when no display is installed.
Rect get_work_area();

// ---- Timers -------------------------------------------------------------------

using TIMERPROC = void (*)(HWND, UINT, std::uintptr_t, std::uint32_t);
// A window timer posts WM_TIMER with wParam = id. With hwnd == nullptr a new
// id is chosen and returned. Returns 0 on failure.
std::uintptr_t set_timer(HWND hwnd, std::uintptr_t id, UINT elapse_ms, TIMERPROC proc = nullptr);
bool kill_timer(HWND hwnd, std::uintptr_t id);
// Milliseconds of the current clock until the next timer falls due: 0 when
// one is due now, -1 when no timer is set.
int next_timer_due_ms();

// ---- Hooks ----------------------------------------------------------------------

constexpr int WH_CALLWNDPROC = 4;
constexpr int WH_CBT = 5;

// What a WH_CALLWNDPROC hook sees: the message about to reach a window
// procedure through a send.
struct CallWndProcInfo {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
struct HookTag;
using HHOOK = HookTag*;
// code is 0 (HC_ACTION); wp is non-zero when the message came from another
// thread; lp points at a CallWndProcInfo.
using HOOKPROC = LRESULT (*)(int code, WPARAM wp, LPARAM lp);

HHOOK set_windows_hook(int kind, HOOKPROC proc);
bool unhook_windows_hook(HHOOK hook);
LRESULT call_next_hook(HHOOK hook, int code, WPARAM wp, LPARAM lp);

// ---- Modal loops ---------------------------------------------------------------

// Runs a nested message loop until end_modal_loop(hwnd) or WM_QUIT (which is
// put back for the outer loop). `owner` and the owner's top-level window are
// disabled for the duration and re-enabled after. Returns the code passed to
// end_modal_loop, or -1 when the loop ended for another reason.
enum class ModalKeys { Plain, Dialog }; // Dialog: Tab, Enter and Escape as in a dialog
std::intptr_t run_modal_loop(HWND hwnd, HWND owner, ModalKeys keys = ModalKeys::Plain);
void end_modal_loop(HWND hwnd, std::intptr_t result);

// ---- Clipboard -----------------------------------------------------------------

bool set_clipboard_text(std::string_view gbk);
std::string get_clipboard_text();

// ---- Cursors ---------------------------------------------------------------------

HCURSOR load_cursor(int id);
HCURSOR set_cursor(HCURSOR cursor);
HCURSOR get_cursor();
bool get_cursor_pos(Point& screen);
// Asks for one WM_MOUSELEAVE when the mouse next leaves the window (for hot
// tracking); the request ends when it is sent.
bool track_mouse_leave(HWND hwnd);

// ---- Key state --------------------------------------------------------------------

// High bit set while the key is down, as the platform reports it.
std::int16_t get_key_state(UINT vk);

} // namespace platform
