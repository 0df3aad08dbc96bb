// Real GTK windows on an X display, driven from outside with xdotool and
// with the requests a window manager sends.

#include "DesktopProbe.h"
#include "XRequests.h"
#include "platform/Encoding.h"

#include <tests/support/WaitPrecision.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtk/gtk.h>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace test_support {

using namespace platform;
namespace {

using GtkWindowTest = DesktopProbe;
using GtkMouseTest = DesktopProbe;
using GtkKeyboardTest = DesktopProbe;
using GtkLoopTest = DesktopProbe;

struct Geometry {
    int x = -1, y = -1, width = -1, height = -1;
};

Geometry parse_geometry(const std::string& text) {
    Geometry g;
    auto pos = text.find("Position:");
    auto size = text.find("Geometry:");
    if (pos != std::string::npos)
        std::sscanf(text.c_str() + pos, "Position: %d,%d", &g.x, &g.y);
    if (size != std::string::npos)
        std::sscanf(text.c_str() + size, "Geometry: %dx%d", &g.width, &g.height);
    return g;
}

Rect client_on_screen(HWND hwnd) {
    Rect r;
    get_client_rect(hwnd, r);
    Point origin{0, 0};
    client_to_screen(hwnd, origin);
    return r.offset(origin.x, origin.y);
}

// ---- The window -------------------------------------------------------------------

TEST_F(GtkWindowTest, AppearsWithItsTitleAtItsClientRectangle) {
    ProcessResult found = xdotool({"search", "--onlyvisible", "--name", m_title});
    ASSERT_EQ(found.exit_status, 0);
    EXPECT_EQ(found.out, window_id() + "\n") << "xdotool found another window";

    ProcessResult name = xdotool({"getwindowname", window_id()});
    EXPECT_EQ(name.out, m_title + "\n") << "the GBK title should reach X as UTF-8";

    // Without a window manager the X window is the client area itself.
    Geometry g = parse_geometry(xdotool({"getwindowgeometry", window_id()}).out);
    Rect client = client_on_screen(m_top);
    EXPECT_EQ(g.x, client.left);
    EXPECT_EQ(g.y, client.top);
    EXPECT_EQ(g.width, client.width());
    EXPECT_EQ(g.height, client.height());
}

TEST_F(GtkWindowTest, TitleChangesReachTheScreen) {
    set_window_text(m_top, utf8_to_gbk("端口：Close"));
    settle();
    EXPECT_EQ(xdotool({"getwindowname", window_id()}).out, "端口：Close\n");
}

// The windows show Cairo pictures only: a GL driver (Mesa's software one
// brings LLVM) would triple the resident memory for nothing.
TEST_F(GtkWindowTest, ShowsItsPictureWithoutLoadingAGlDriverNorLeavingTheSwitchBehind) {
    settle();
    std::ifstream maps("/proc/self/maps");
    std::string line;
    std::vector<std::string> gl;
    while (std::getline(maps, line))
        if (line.find("_dri.so") != std::string::npos || line.find("libLLVM") != std::string::npos)
            gl.push_back(line);
    EXPECT_TRUE(gl.empty()) << gl.front();
    EXPECT_EQ(std::getenv("GDK_GL"), nullptr) << "programs we start would inherit it";
}

TEST_F(GtkWindowTest, ProgramMovesAndResizesTheNativeWindow) {
    move_window(m_top, 150, 120, 500, 360);
    Rect client = client_on_screen(m_top);
    Geometry g;
    EXPECT_TRUE(settle_until([&] {
        g = parse_geometry(xdotool({"getwindowgeometry", window_id()}).out);
        return g.x == client.left && g.width == client.width();
    }));
    EXPECT_EQ(g.x, client.left);
    EXPECT_EQ(g.y, client.top);
    EXPECT_EQ(g.width, client.width());
    EXPECT_EQ(g.height, client.height());
}

TEST_F(GtkWindowTest, NativeMoveAndResizeReachTheWindowSystem) {
    xdotool({"windowmove", window_id(), "300", "200"});
    EXPECT_TRUE(pump_until([&] { return client_on_screen(m_top).left == 300; }));
    xdotool({"windowsize", window_id(), "380", "260"});
    ASSERT_TRUE(pump_until([&] { return client_on_screen(m_top).width() == 380; }));
    Rect client = client_on_screen(m_top);
    EXPECT_EQ(client, (Rect{300, 200, 680, 460}));
    auto sizes = seen(m_top, {WM_SIZE});
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().lp, make_lparam(380, 260));
    // Our answer to the change must not move the window again.
    settle();
    Geometry g = parse_geometry(xdotool({"getwindowgeometry", window_id()}).out);
    EXPECT_EQ(g.x, 300);
    EXPECT_EQ(g.y, 200);
}

TEST_F(GtkWindowTest, DeleteRequestClosesTheWindowAndEndsTheLoopWithZero) {
    ASSERT_TRUE(send_delete_request(m_backend->native_window_id(m_top)));
    ASSERT_TRUE(pump_until([&] { return m_quit_seen; })) << "the loop never got WM_QUIT";
    EXPECT_EQ(m_quit_code, 0);
    auto closing = seen(m_top, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY});
    ASSERT_EQ(closing.size(), 3u);
    EXPECT_EQ(closing[0].message, WM_SYSCOMMAND);
    EXPECT_EQ(closing[0].wp, SC_CLOSE);
    EXPECT_EQ(closing[1].message, WM_CLOSE);
    EXPECT_EQ(closing[2].message, WM_DESTROY);
    EXPECT_FALSE(is_window(m_top));
}

TEST_F(GtkWindowTest, DisabledWindowIgnoresClicksAndCloseRequests) {
    enable_window(m_top, false);
    settle();
    xdotool({"mousemove", "--window", window_id(), "50", "60", "click", "1"});
    send_delete_request(m_backend->native_window_id(m_top));
    settle();
    EXPECT_FALSE(received(m_left, WM_LBUTTONDOWN));
    EXPECT_FALSE(received(m_top, WM_CLOSE));

    enable_window(m_top, true);
    settle();
    xdotool({"mousemove", "--window", window_id(), "52", "60", "click", "1"});
    EXPECT_TRUE(pump_until([&] { return received(m_left, WM_LBUTTONDOWN); }));
}

// GTK's own widget under our picture: the one in the probe's GTK window.
GtkWidget* surface_of(const std::string& title) {
    GtkWidget* found = nullptr;
    GList* tops = gtk_window_list_toplevels();
    for (GList* t = tops; t && !found; t = t->next) {
        const char* name = gtk_window_get_title(GTK_WINDOW(t->data));
        if (name && title == name)
            found = gtk_bin_get_child(GTK_BIN(t->data));
    }
    g_list_free(tops);
    return found;
}

// A modal box disables its owner; that changes nothing of the owner's
// picture, which GTK drew again in full all the same (a window-sized
// buffer on the X server, twice a box), as it would on losing the focus.
TEST_F(GtkWindowTest, DisablingAWindowDrawsNothingAgainAndTellsAssistiveTechnology) {
    settle();
    GtkWidget* surface = surface_of(m_title);
    ASSERT_TRUE(surface);
    // Counted where an emission of "draw" begins: our own handler ends it.
    struct Count {
        GtkWidget* surface;
        int draws;
    } count{surface, 0};
    guint draw = g_signal_lookup("draw", GTK_TYPE_WIDGET);
    gulong hook = g_signal_add_emission_hook(
        draw, 0,
        +[](GSignalInvocationHint*, guint, const GValue* params, gpointer data) -> gboolean {
            auto* c = static_cast<Count*>(data);
            if (g_value_get_object(&params[0]) == c->surface)
                ++c->draws;
            return TRUE;
        },
        &count, nullptr);
    auto sensitive = [surface] {
        AtkStateSet* states = atk_object_ref_state_set(gtk_widget_get_accessible(surface));
        bool on = atk_state_set_contains_state(states, ATK_STATE_SENSITIVE);
        g_object_unref(states);
        return on;
    };
    enable_window(m_top, false);
    settle();
    EXPECT_FALSE(sensitive());
    enable_window(m_top, true);
    settle();
    EXPECT_TRUE(sensitive());
    EXPECT_EQ(count.draws, 0);
    g_signal_remove_emission_hook(draw, hook);
}

TEST_F(GtkWindowTest, ClipboardKeepsGbkText) {
    std::string text = utf8_to_gbk("机械臂 arm");
    ASSERT_TRUE(set_clipboard_text(text));
    EXPECT_EQ(get_clipboard_text(), text);
}

// ---- The mouse ------------------------------------------------------------------------

TEST_F(GtkMouseTest, ClickReachesTheChildAtItsClientCoordinates) {
    xdotool({"mousemove", "--window", window_id(), "50", "60", "click", "1"});
    ASSERT_TRUE(pump_until([&] { return received(m_left, WM_LBUTTONUP); }));
    auto buttons = seen(m_left, {WM_LBUTTONDOWN, WM_LBUTTONUP});
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(buttons[0].lp, make_lparam(30, 30));
    EXPECT_EQ(buttons[0].wp, MK_LBUTTON);
    EXPECT_EQ(buttons[1].lp, make_lparam(30, 30));
    EXPECT_FALSE(received(m_top, WM_LBUTTONDOWN));
    EXPECT_FALSE(received(m_right, WM_LBUTTONDOWN));

    xdotool({"mousemove", "--window", window_id(), "299", "89", "click", "3"});
    ASSERT_TRUE(pump_until([&] { return received(m_right, WM_RBUTTONUP); }));
    auto right = seen(m_right, {WM_RBUTTONDOWN});
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].lp, make_lparam(99, 59)) << "the child's last pixel";
}

TEST_F(GtkMouseTest, MovesArriveInTheWindowUnderTheMouse) {
    xdotool({"mousemove", "--window", window_id(), "10", "10"});
    xdotool({"mousemove", "--window", window_id(), "215", "45"});
    ASSERT_TRUE(pump_until([&] { return received(m_right, WM_MOUSEMOVE); }));
    EXPECT_EQ(seen(m_right, {WM_MOUSEMOVE}).back().lp, make_lparam(15, 15));
    EXPECT_EQ(seen(m_top, {WM_MOUSEMOVE}).front().lp, make_lparam(10, 10));
    EXPECT_TRUE(received(m_right, WM_SETCURSOR));
}

TEST_F(GtkMouseTest, DoubleClickIsOnePressThenADoubleClickMessage) {
    xdotool({"mousemove", "--window", window_id(), "250", "60", "click", "--repeat", "2", "--delay",
             "60", "1"});
    ASSERT_TRUE(pump_until([&] { return seen(m_right, {WM_LBUTTONUP}).size() == 2; }));
    auto buttons = seen(m_right, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
    std::vector<UINT> order;
    for (const Seen& s : buttons)
        order.push_back(s.message);
    EXPECT_EQ(order,
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
}

TEST_F(GtkMouseTest, WheelTurnsArriveAsWheelDeltas) {
    set_focus(m_left);
    xdotool({"mousemove", "--window", window_id(), "60", "60", "click", "4", "click", "5"});
    ASSERT_TRUE(pump_until([&] { return seen(m_left, {WM_MOUSEWHEEL}).size() == 2; }));
    auto wheel = seen(m_left, {WM_MOUSEWHEEL});
    EXPECT_EQ(static_cast<std::int16_t>(hiword(wheel[0].wp)), WHEEL_DELTA);
    EXPECT_EQ(static_cast<std::int16_t>(hiword(wheel[1].wp)), -WHEEL_DELTA);
    EXPECT_FALSE(received(m_left, WM_LBUTTONDOWN)) << "wheel buttons are no clicks";
}

// ---- The keyboard ----------------------------------------------------------------------

TEST_F(GtkKeyboardTest, TypedTextArrivesOnceAsCharacters) {
    set_focus(m_left);
    xdotool({"type", "--delay", "20", "aZ1! "});
    ASSERT_TRUE(pump_until([&] { return typed_bytes(m_left).size() >= 5; }));
    settle();
    EXPECT_EQ(typed_bytes(m_left), "aZ1! ") << "each character once, in order";
    std::vector<WPARAM> keys;
    for (const Seen& s : seen(m_left, {WM_KEYDOWN}))
        if (s.wp != VK_SHIFT)
            keys.push_back(s.wp);
    EXPECT_EQ(keys, (std::vector<WPARAM>{'A', 'Z', '1', '1', VK_SPACE})) << "'!' is the 1 key";
    std::string order;
    for (const Seen& s : seen(m_left, {WM_KEYDOWN, WM_CHAR}))
        if (!(s.message == WM_KEYDOWN && s.wp == VK_SHIFT))
            order += s.message == WM_KEYDOWN ? 'K' : 'C';
    EXPECT_EQ(order, "KCKCKCKCKC") << "each key's own message comes before its character";
}

TEST_F(GtkKeyboardTest, ChineseTextArrivesAsGbkBytes) {
    set_focus(m_left);
    // xdotool lends a spare key the character for the moment of typing it.
    xdotool({"type", "--delay", "20", "机械"});
    ASSERT_TRUE(pump_until([&] { return typed_bytes(m_left).size() >= 4; }));
    settle();
    EXPECT_EQ(typed_bytes(m_left), "\xBB\xFA\xD0\xB5");
}

TEST_F(GtkKeyboardTest, EditingKeysTypeControlCharactersOrNone) {
    set_focus(m_left);
    xdotool({"key", "--delay", "20", "Return", "BackSpace", "Tab", "Escape", "ctrl+c", "Left",
             "Delete", "F5"});
    ASSERT_TRUE(pump_until([&] {
        return received(m_left, WM_KEYUP) && seen(m_left, {WM_KEYUP}).back().wp == VK_F1 + 4;
    }));
    EXPECT_EQ(typed_bytes(m_left), "\r\b\t\x1b\x03");
    std::vector<WPARAM> keys;
    for (const Seen& s : seen(m_left, {WM_KEYDOWN}))
        keys.push_back(s.wp);
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_RETURN, VK_BACK, VK_TAB, VK_ESCAPE, VK_CONTROL, 'C',
                                         VK_LEFT, VK_DELETE, VK_F1 + 4}));
}

TEST_F(GtkKeyboardTest, AltLetterIsASystemKeyAndTypesNoCharacter) {
    set_focus(m_left);
    xdotool({"key", "alt+f"});
    ASSERT_TRUE(
        pump_until([&] { return received(m_left, WM_SYSKEYUP) || received(m_left, WM_KEYUP); }));
    settle();
    auto sys = seen(m_left, {WM_SYSKEYDOWN});
    ASSERT_EQ(sys.size(), 2u);
    EXPECT_EQ(sys[0].wp, VK_MENU);
    EXPECT_EQ(sys[1].wp, 'F');
    EXPECT_EQ(typed_bytes(m_left), "");
    auto syschar = seen(m_left, {WM_SYSCHAR});
    ASSERT_EQ(syschar.size(), 1u);
    EXPECT_EQ(syschar[0].wp, 'f');
}

TEST_F(GtkKeyboardTest, UnicodeEntryOfTheInputMethodCommitsOneCharacter) {
    // GTK's built-in input method: Ctrl+Shift+U, hex digits, space.
    set_focus(m_left);
    xdotool({"key", "--delay", "30", "ctrl+shift+u", "6", "7", "3", "a", "space"});
    ASSERT_TRUE(pump_until([&] { return typed_bytes(m_left).size() >= 2; }));
    settle();
    EXPECT_EQ(typed_bytes(m_left), "\xBB\xFA") << "U+673A, and none of the keys composing it";
}

// ---- Waiting ---------------------------------------------------------------------------

constexpr UINT WakeMessage = WM_APP + 1;
constexpr std::uintptr_t Watchdog = 99;

// Whether a thread of this process waits in poll() (the display's wait).
bool blocked_in_poll(pid_t thread) {
    std::ifstream call("/proc/self/task/" + std::to_string(thread) + "/syscall");
    long number = -1;
    call >> number;
#ifdef SYS_poll
    if (number == SYS_poll)
        return true;
#endif
    return call && number == SYS_ppoll;
}

// Blocks in get_message until a message other than painting arrives;
// returns it and how long the wait took.
Msg next_real_message(std::chrono::milliseconds& took) {
    auto start = std::chrono::steady_clock::now();
    Msg msg;
    while (get_message(msg) && msg.message == WM_PAINT)
        dispatch_message(msg);
    took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
    return msg;
}

TEST_F(GtkLoopTest, PostFromAnotherThreadWakesTheBlockedLoop) {
    settle();
    set_timer(m_top, Watchdog, 3000); // a broken wake-up fails instead of hanging
    const pid_t loop_thread = gettid();
    std::thread poster([&] {
        // The post is to wake a loop that blocks, so it waits for the loop
        // to block first.
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!blocked_in_poll(loop_thread) && std::chrono::steady_clock::now() < end) {
        }
        post_message(m_top, WakeMessage, 7, 0);
    });
    std::chrono::milliseconds took{};
    Msg msg = next_real_message(took);
    poster.join();
    EXPECT_EQ(msg.message, WakeMessage) << "the watchdog fired first";
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_LT(took.count(), 1000);
}

// GLib counts a wait's time in whole milliseconds, rounded up; ours end
// at their deadline. Only the median is held to a bound.
TEST_F(GtkLoopTest, AWaitEndsAtItsDeadlineNotAtTheNextWholeMillisecond) {
    settle();
    const WaitPrecision waits = measure_waits(21, std::chrono::microseconds(300));
    EXPECT_EQ(waits.early, 0) << "no wait ends before its deadline";
    EXPECT_LT(waits.median_late_us(), 600);
}

TEST_F(GtkLoopTest, TimerEndsTheWaitOnTime) {
    settle();
    set_timer(m_top, Watchdog, 3000);
    set_timer(m_top, 1, 120);
    std::chrono::milliseconds took{};
    Msg msg = next_real_message(took);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_GE(took.count(), 100);
    EXPECT_LT(took.count(), 1000);
}

} // namespace
} // namespace test_support
