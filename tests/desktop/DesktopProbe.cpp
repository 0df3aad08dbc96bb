#include "DesktopProbe.h"

#include "platform/Encoding.h"

#include <tests/support/PumpUntil.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

namespace test_support {

using namespace platform;

namespace {

DesktopProbe* g_probe = nullptr;

constexpr const char* TopClass = "DesktopProbeTop";
constexpr const char* ChildClass = "DesktopProbeChild";
constexpr const char* DoubleClickClass = "DesktopProbeDbl";

} // namespace

LRESULT DesktopProbe::probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_probe)
        g_probe->m_seen.push_back({hwnd, msg, wp, lp});
    if (msg == WM_DESTROY && g_probe && hwnd == g_probe->m_top)
        post_quit_message(0);
    return def_window_proc(hwnd, msg, wp, lp);
}

void DesktopProbe::SetUp() {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    std::string error;
    int argc = 0;
    char** argv = nullptr;
    ASSERT_TRUE(GtkBackend::open_display(&argc, &argv, error)) << error;
    m_backend = std::make_unique<GtkBackend>();
    ASSERT_TRUE(initialize(m_backend.get()));
    g_probe = this;
    for (const char* name : {TopClass, ChildClass, DoubleClickClass}) {
        WindowClass cls;
        cls.name = name;
        cls.proc = probe_proc;
        cls.background = 0xFFFFFF;
        if (name == DoubleClickClass)
            cls.style = CS_DBLCLKS;
        ASSERT_TRUE(register_class(cls));
    }
    m_title = "armctl desktop probe 机械臂 " + std::to_string(getpid()) + " " +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_top = create_window_ex(0, TopClass, utf8_to_gbk(m_title), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             100, 100, 420, 320, nullptr, 0);
    ASSERT_TRUE(m_top);
    m_left =
        create_window_ex(0, ChildClass, "left", WS_CHILD | WS_VISIBLE, 20, 30, 100, 60, m_top, 1);
    m_right = create_window_ex(0, DoubleClickClass, "right", WS_CHILD | WS_VISIBLE, 200, 30, 100,
                               60, m_top, 2);
    ASSERT_TRUE(m_left && m_right);
    // The window is on the screen when xdotool can find it among the
    // viewable windows.
    ProcessResult found = xdotool({"search", "--sync", "--onlyvisible", "--name", m_title});
    ASSERT_TRUE(found.finished) << "the window never became visible";
    ASSERT_EQ(found.exit_status, 0) << found.err;
    settle();
    m_seen.clear();
}

void DesktopProbe::TearDown() {
    if (!m_backend)
        return;
    shutdown();
    g_probe = nullptr;
    for (const char* name : {TopClass, ChildClass, DoubleClickClass})
        unregister_class(name);
    m_backend.reset();
}

// A quit request is taken and remembered, and the pumping goes on: the
// tests look at it afterwards.
void DesktopProbe::take_quit() {
    Msg quit;
    if (peek_message(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        m_quit_seen = true;
        m_quit_code = static_cast<int>(quit.wParam);
    }
}

bool DesktopProbe::pump_until(const std::function<bool()>& done, int limit_ms) {
    return test_support::pump_until(
        *m_backend,
        [&] {
            take_quit();
            return done();
        },
        limit_ms);
}

void DesktopProbe::wait_for_frame(int limit_ms) {
    if (!is_window(m_top))
        return;
    GdkDisplay* display = gdk_display_get_default();
    GdkWindow* window =
        gdk_x11_window_lookup_for_display(display, m_backend->native_window_id(m_top));
    GdkFrameClock* clock = window ? gdk_window_get_frame_clock(window) : nullptr;
    if (!clock)
        return;
    bool painted = false;
    gulong handler = g_signal_connect_swapped(
        clock, "after-paint", G_CALLBACK(+[](bool* flag) { *flag = true; }), &painted);
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_AFTER_PAINT);
    pump_until([&] { return painted; }, limit_ms);
    g_signal_handler_disconnect(clock, handler);
}

void DesktopProbe::settle() {
    wait_for_frame(1000);
    GdkDisplay* display = gdk_display_get_default();
    // What our handlers ask of the server while a batch is handled goes out
    // with the next round trip, and may bring more back.
    for (int round = 0; round < 20; ++round) {
        gdk_display_sync(display);
        m_backend->wait(std::chrono::microseconds(0));
        int dispatched = dispatch_ready_messages();
        take_quit();
        if (dispatched == 0 && round > 0)
            return;
    }
}

bool DesktopProbe::settle_until(const std::function<bool()>& shown, int limit_ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        settle();
        if (shown())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
    }
}

ProcessResult DesktopProbe::xdotool(const std::vector<std::string>& args, int limit_ms) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.limit_ms = limit_ms;
    // Our loop keeps turning on the display while xdotool runs: it looks at
    // the windows it works on (and waits for us to answer) as it goes.
    options.pump = [this] { pump_until([] { return false; }, 5); };
    ProcessResult r = run_process(argv, options);
    settle();
    return r;
}

std::string DesktopProbe::window_id() const {
    return std::to_string(m_backend->native_window_id(m_top));
}

std::vector<Seen> DesktopProbe::seen(HWND hwnd, std::initializer_list<UINT> messages) const {
    std::vector<Seen> out;
    for (const Seen& s : m_seen)
        if (s.hwnd == hwnd &&
            std::find(messages.begin(), messages.end(), s.message) != messages.end())
            out.push_back(s);
    return out;
}

std::string DesktopProbe::typed_bytes(HWND hwnd) const {
    std::string out;
    for (const Seen& s : seen(hwnd, {WM_CHAR}))
        out.push_back(static_cast<char>(s.wp));
    return out;
}

bool DesktopProbe::received(HWND hwnd, UINT message) const {
    return !seen(hwnd, {message}).empty();
}

} // namespace test_support
