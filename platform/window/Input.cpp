#include "Input.h"

#include "Painting.h"
#include "detail/State.h"
#include <platform/Encoding.h>

#include <cstdlib>
#include <utility>

namespace platform {

using namespace detail;

namespace input {
namespace {

std::uint32_t stamp(std::uint32_t time) {
    return time ? time : now_ticks();
}

void queue(InputEvent e) {
    auto& s = state();
    e.time = stamp(e.time);
    s.input.push_back(e);
}

} // namespace

void mouse_move(HWND top, Point client, std::uint32_t time) {
    auto& s = state();
    // Moves coalesce: only the latest position matters.
    if (!s.input.empty() && s.input.back().kind == InputKind::MouseMove &&
        s.input.back().top == top) {
        s.input.back().point = client;
        s.input.back().time = stamp(time);
        return;
    }
    queue({InputKind::MouseMove, top, client, 0, 0, 0, 0, 1, 0, time});
}

void mouse_button(HWND top, Point client, Button button, bool down, std::uint32_t time) {
    queue({down ? InputKind::ButtonDown : InputKind::ButtonUp, top, client,
           static_cast<int>(button), 0, 0, 0, 1, 0, time});
}

void mouse_wheel(HWND top, Point client, int delta, std::uint32_t time) {
    queue({InputKind::Wheel, top, client, 0, delta, 0, 0, 1, 0, time});
}

void mouse_left(HWND top) {
    queue({InputKind::MouseLeft, top, {}, 0, 0, 0, 0, 1, 0, 0});
}

void key(UINT vk, bool down, std::uint32_t typed_char, int repeat, std::uint32_t time) {
    queue({down ? InputKind::KeyDown : InputKind::KeyUp,
           nullptr,
           {},
           0,
           0,
           vk & 0xFF,
           typed_char,
           repeat < 1 ? 1 : repeat,
           0,
           time});
}

void text(std::string_view utf8) {
    std::string gbk = utf8_to_gbk(utf8);
    for (std::size_t i = 0; i < gbk.size();) {
        std::size_t len = gbk_char_length(gbk, i);
        std::uint32_t code = static_cast<unsigned char>(gbk[i]);
        if (len == 2)
            code = (code << 8) | static_cast<unsigned char>(gbk[i + 1]);
        queue({InputKind::Char, nullptr, {}, 0, 0, 0, code, 1, 0, 0});
        i += len;
    }
}

void close_request(HWND top) {
    if (find(top))
        post_message(top, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void native_geometry(HWND top, const Rect& client) {
    WindowRecord* w = find(top);
    if (!w || !w->is_top_level())
        return;
    Rect current = client_rect_in_parent(*w);
    if (current == client)
        return;
    FrameInsets in = frame_insets(w->style, w->ex_style, true);
    set_window_pos(top, nullptr, client.left - in.left, client.top - in.top,
                   client.width() + in.left + in.right, client.height() + in.top + in.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void native_state(HWND top, bool minimized, bool maximized) {
    WindowRecord* w = find(top);
    if (!w)
        return;
    if (minimized && !w->minimized)
        show_window(top, SW_SHOWMINNOACTIVE);
    else if (maximized && !w->maximized)
        show_window(top, SW_SHOWMAXIMIZED);
    else if (!minimized && !maximized && (w->minimized || w->maximized))
        show_window(top, SW_RESTORE);
}

void native_focus(HWND top, bool focused) {
    auto& s = state();
    if (focused && find(top) && s.active != top && is_window_enabled(top))
        set_active_window(top);
    else if (!focused && s.active == top)
        set_active_window(nullptr);
}

} // namespace input

namespace detail {
namespace {

WPARAM key_flags() {
    auto& s = state();
    WPARAM f = 0;
    if (s.key_down[VK_LBUTTON])
        f |= MK_LBUTTON;
    if (s.key_down[VK_RBUTTON])
        f |= MK_RBUTTON;
    if (s.key_down[VK_MBUTTON])
        f |= MK_MBUTTON;
    if (s.key_down[VK_SHIFT])
        f |= MK_SHIFT;
    if (s.key_down[VK_CONTROL])
        f |= MK_CONTROL;
    return f;
}

int double_click_time() {
    static int ms = [] {
        const char* v = std::getenv("ARMCTL_DOUBLE_CLICK_MS");
        return v ? std::atoi(v) : 500;
    }();
    return ms;
}

UINT button_message(int button, InputKind kind, bool dbl) {
    static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const UINT dbls[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    if (kind == InputKind::ButtonUp)
        return ups[button];
    return dbl ? dbls[button] : downs[button];
}

// The target of a mouse event: the capture window, or what lies under it.
HWND mouse_target(const InputEvent& e, Point& client) {
    auto& s = state();
    WindowRecord* top = find(e.top);
    if (!top)
        return nullptr;
    Rect tc = client_rect_in_parent(*top);
    Point screen{tc.left + e.point.x, tc.top + e.point.y};
    {
        std::lock_guard lock(s.mutex);
        s.mouse_screen = screen;
    }
    HWND target = s.capture;
    if (!target) {
        if (!(top->style & WS_VISIBLE))
            return nullptr;
        Rect bounds{0, 0, tc.width(), tc.height()};
        if (!bounds.contains(e.point))
            return nullptr;
        target = hit_test(e.top, e.point);
        // A disabled top-level window (behind a modal one) takes no input.
        if (!target || !is_window_enabled(get_ancestor_root(target)))
            return nullptr;
    }
    client = screen;
    screen_to_client(target, client);
    return target;
}

// Which standard scroll bar of a window lies under a point in its client
// coordinates (outside the client area), or HTNOWHERE.
LRESULT frame_hit(HWND hwnd, Point client) {
    WindowRecord* w = find(hwnd);
    if (!w || w->is_top_level())
        return HTNOWHERE;
    Rect c = client_rect_in_parent(*w);
    Rect vertical{c.width(), 0, c.width() + ScrollBarSize, c.height()};
    Rect horizontal{0, c.height(), c.width(), c.height() + ScrollBarSize};
    if ((w->style & WS_VSCROLL) && vertical.contains(client))
        return HTVSCROLL;
    if ((w->style & WS_HSCROLL) && horizontal.contains(client))
        return HTHSCROLL;
    return Rect{0, 0, c.width(), c.height()}.contains(client) ? HTCLIENT : HTBORDER;
}

// A mouse message for the frame of a window with standard scroll bars:
// WM_NC* with the hit code and screen coordinates. Only the left button
// acts there. False when the event is not one for the frame.
bool frame_message(const InputEvent& e, HWND target, Point client, bool dbl, Msg& msg) {
    auto& s = state();
    bool nonclient = s.capture ? (s.capture == target && s.capture_nonclient)
                               : frame_hit(target, client) != HTCLIENT &&
                                     (get_style(target) & (WS_VSCROLL | WS_HSCROLL));
    if (!nonclient)
        return false;
    msg.hwnd = target;
    msg.pt = s.mouse_screen;
    msg.wParam = static_cast<WPARAM>(frame_hit(target, client));
    msg.lParam = make_lparam(s.mouse_screen.x, s.mouse_screen.y);
    if (e.kind == InputKind::MouseMove)
        msg.message = WM_NCMOUSEMOVE;
    else if (e.button != 0)
        msg.message = 0;
    else if (e.kind == InputKind::ButtonUp)
        msg.message = WM_NCLBUTTONUP;
    else
        msg.message = dbl ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN;
    return true;
}

void update_cursor(HWND target, UINT mouse_msg) {
    auto& s = state();
    if (s.capture)
        return;
    send_message(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 make_lparam(HTCLIENT, static_cast<int>(mouse_msg)));
}

// The buttons' key states follow the presses and releases.
void record_button_state(const InputEvent& e) {
    static const UINT vks[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    state().key_down[vks[e.button]] = e.kind == InputKind::ButtonDown;
}

// The wheel goes to the focus window, with screen coordinates.
void wheel_message(HWND target, const InputEvent& e, Msg& msg) {
    auto& s = state();
    msg.hwnd = s.focus ? s.focus : target;
    msg.message = WM_MOUSEWHEEL;
    msg.wParam = make_wparam(static_cast<int>(key_flags()), e.delta);
    msg.lParam = make_lparam(s.mouse_screen.x, s.mouse_screen.y);
}

// Whether a press completes a double click on a window whose class asks for
// them; otherwise the press is remembered as the first click of one.
bool is_double_click(HWND target, const InputEvent& e) {
    auto& s = state();
    WindowRecord* tw = find(target);
    bool wants = tw && (tw->cls->info.style & CS_DBLCLKS);
    bool dbl = wants && s.last_click_window == target && s.last_click_button == e.button &&
               e.time - s.last_click_time <= static_cast<std::uint32_t>(double_click_time()) &&
               std::abs(s.last_click_point.x - s.mouse_screen.x) <= 4 &&
               std::abs(s.last_click_point.y - s.mouse_screen.y) <= 4;
    if (dbl) {
        s.last_click_window = nullptr;
    } else {
        s.last_click_window = target;
        s.last_click_button = e.button;
        s.last_click_time = e.time;
        s.last_click_point = s.mouse_screen;
    }
    return dbl;
}

// A click activates the window's top-level window, unless the window answers
// WM_MOUSEACTIVATE with MA_NOACTIVATE (a drop-down list must leave its owner
// active). False when the target did not survive it.
bool activate_on_click(HWND target, const InputEvent& e, bool dbl) {
    HWND top = get_ancestor_root(target);
    if (top != state().active) {
        LRESULT how = send_message(
            target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
            make_lparam(HTCLIENT, static_cast<int>(button_message(e.button, e.kind, dbl))));
        if (!is_window(target))
            return false;
        if (how != MA_NOACTIVATE)
            set_active_window(top);
    }
    return is_window(target);
}

// The mouse is over `target` now: a window that asked to hear when the mouse
// leaves it hears it.
void note_mouse_window(HWND target) {
    auto& s = state();
    s.mouse_window = target;
    if (s.leave_tracking && s.leave_tracking != target)
        post_message(std::exchange(s.leave_tracking, nullptr), WM_MOUSELEAVE);
}

bool mouse_message(const InputEvent& e, Msg& msg) {
    auto& s = state();
    if (e.kind == InputKind::ButtonDown || e.kind == InputKind::ButtonUp)
        record_button_state(e);
    Point client;
    HWND target = mouse_target(e, client);
    if (!target)
        return false;
    msg.hwnd = target;
    msg.pt = s.mouse_screen;
    if (e.kind == InputKind::Wheel) {
        wheel_message(target, e, msg);
        return true;
    }
    bool dbl = false;
    if (e.kind == InputKind::ButtonDown) {
        dbl = is_double_click(target, e);
        if (!activate_on_click(target, e, dbl))
            return false;
    }
    if (frame_message(e, target, client, dbl, msg)) {
        if (msg.message == 0)
            return false;
        s.mouse_window = target;
        return true;
    }
    msg.message =
        e.kind == InputKind::MouseMove ? WM_MOUSEMOVE : button_message(e.button, e.kind, dbl);
    note_mouse_window(target);
    if (e.kind != InputKind::ButtonUp) {
        update_cursor(target, msg.message);
        if (!is_window(target))
            return false;
    }
    msg.wParam = key_flags();
    msg.lParam = make_lparam(client.x, client.y);
    return true;
}

// A window that asked to hear when the mouse leaves it hears it when the
// mouse leaves the whole display window too.
bool mouse_left_message(const InputEvent& e, Msg& msg) {
    auto& s = state();
    HWND tracked = s.leave_tracking;
    if (s.mouse_window && get_ancestor_root(s.mouse_window) == e.top)
        s.mouse_window = nullptr;
    if (!tracked || get_ancestor_root(tracked) != e.top)
        return false;
    s.leave_tracking = nullptr;
    msg.hwnd = tracked;
    msg.message = WM_MOUSELEAVE;
    return true;
}

// Keys go to the focus window, or the active window when nothing has focus.
HWND key_target() {
    auto& s = state();
    return s.focus ? s.focus : s.active;
}

bool key_message(const InputEvent& e, Msg& msg) {
    auto& s = state();
    bool down = e.kind == InputKind::KeyDown;
    bool was_down = s.key_down[e.vk] != 0;
    s.key_down[e.vk] = down;
    HWND target = key_target();
    if (!target)
        return false;
    bool alt = s.key_down[VK_MENU] != 0;
    bool sys = (alt && !s.key_down[VK_CONTROL]) || e.vk == VK_F10 || e.vk == VK_MENU;
    msg.hwnd = target;
    msg.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    msg.wParam = e.vk;
    std::uint32_t lp = static_cast<std::uint32_t>(e.repeat & 0xFFFF);
    if (alt)
        lp |= 1u << 29;
    if (down ? was_down : true)
        lp |= 1u << 30;
    if (!down)
        lp |= 1u << 31;
    msg.lParam = static_cast<LPARAM>(lp);
    msg.typed_char = down ? e.typed_char : 0;
    msg.pt = s.mouse_screen;
    return true;
}

// A double-byte character is two messages: lead byte, then trail byte (queued
// to come next).
bool char_message(const InputEvent& e, Msg& msg) {
    auto& s = state();
    HWND target = key_target();
    if (!target)
        return false;
    if (e.typed_char > 0xFF) {
        Msg trail;
        trail.hwnd = target;
        trail.message = WM_CHAR;
        trail.wParam = e.typed_char & 0xFF;
        trail.lParam = 1;
        trail.time = e.time;
        std::lock_guard lock(s.mutex);
        s.posted.push_front(trail);
    }
    msg.hwnd = target;
    msg.message = WM_CHAR;
    msg.wParam = e.typed_char > 0xFF ? (e.typed_char >> 8) & 0xFF : e.typed_char;
    msg.lParam = 1;
    return true;
}

// False when the event makes no message (nothing is there to take it).
bool input_to_message(const InputEvent& e, Msg& msg) {
    switch (e.kind) {
    case InputKind::MouseMove:
    case InputKind::ButtonDown:
    case InputKind::ButtonUp:
    case InputKind::Wheel:
        return mouse_message(e, msg);
    case InputKind::MouseLeft:
        return mouse_left_message(e, msg);
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        return key_message(e, msg);
    case InputKind::Char:
        return char_message(e, msg);
    }
    return false;
}

} // namespace

bool next_input_message(Msg& msg) {
    auto& s = state();
    while (!s.input.empty()) {
        InputEvent e = s.input.front();
        s.input.pop_front();
        msg = {};
        msg.time = e.time;
        if (input_to_message(e, msg))
            return true;
    }
    return false;
}

} // namespace detail

std::int16_t get_key_state(UINT vk) {
    return state().key_down[vk & 0xFF] ? static_cast<std::int16_t>(0x8000) : 0;
}

bool get_cursor_pos(Point& screen) {
    screen = state().mouse_screen;
    return true;
}

bool set_clipboard_text(std::string_view gbk) {
    DisplayBackend* b = state().backend;
    if (!b)
        return false;
    b->set_clipboard_text(gbk_to_utf8(gbk));
    return true;
}

std::string get_clipboard_text() {
    DisplayBackend* b = state().backend;
    return b ? utf8_to_gbk(b->clipboard_text()) : std::string();
}

HCURSOR load_cursor(int id) {
    switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_UPARROW:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
    case IDC_APPSTARTING:
    case IDC_HELP:
        return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(id));
    default:
        return nullptr;
    }
}

HCURSOR set_cursor(HCURSOR cursor) {
    auto& s = state();
    HCURSOR old = s.cursor;
    s.cursor = cursor;
    if (s.backend && cursor != old) {
        HWND top = s.mouse_window ? get_ancestor_root(s.mouse_window) : s.active;
        if (top)
            s.backend->set_cursor(top, static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor)));
    }
    return old;
}

HCURSOR get_cursor() {
    return state().cursor;
}

bool track_mouse_leave(HWND hwnd) {
    if (!find(hwnd))
        return false;
    state().leave_tracking = hwnd;
    return true;
}

} // namespace platform
