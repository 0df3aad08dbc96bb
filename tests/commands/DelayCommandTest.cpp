#include "HeadlessCommandTest.h"

#include <commands/DelayCommand.h>
#include <platform/TickCount.h>
#include <tests/support/SteppedTime.h>

#include <atomic>
#include <thread>

using namespace test_support;
namespace type_code = runtime::type_code;
using test_support::LetTimeRun;
using test_support::wait_for;

namespace {

constexpr platform::UINT MessageNudge = platform::WM_APP + 1;
constexpr platform::UINT MessageNestedDelay = platform::WM_APP + 2;

std::atomic<int> g_nudges{0};
int g_nested_returned = 0;

platform::LRESULT counting_proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wp,
                                platform::LPARAM lp) {
    if (message == MessageNudge) {
        ++g_nudges;
        return 0;
    }
    if (message == MessageNestedDelay) {
        // A handler that itself waits, inside the outer wait.
        call(commands::Delay, {TypedValue::of_integer(static_cast<std::int32_t>(wp))});
        ++g_nested_returned;
        return 0;
    }
    return platform::def_window_proc(hwnd, message, wp, lp);
}

class Delay : public HeadlessCommandTest {
  protected:
    void SetUp() override {
        HeadlessCommandTest::SetUp();
        platform::WindowClass counting;
        counting.name = "DelayCounting";
        counting.proc = counting_proc;
        platform::register_class(counting);
        m_window = platform::create_window_ex(
            0, "DelayCounting", "d", platform::WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, 0);
        ASSERT_NE(m_window, nullptr);
        g_nudges = 0;
        g_nested_returned = 0;
    }
    void TearDown() override {
        platform::set_tick_count_offset(0);
        HeadlessCommandTest::TearDown();
        platform::unregister_class("DelayCounting");
    }
    void delay(TypedValue milliseconds) { call(commands::Delay, {milliseconds}); }

    platform::HWND m_window = nullptr;
};

// The wait ends at the first tick past start + length, wherever the moments
// time moves to fall: its own deadline, timers on the way, a handler that
// takes longer than the rest of the wait.
TEST_F(Delay, ReturnsAtTheFirstTickPastTheDeadline) {
    struct Case {
        int length;
        platform::UINT timer_ms; // 0: no timer
        std::uint32_t handler_ms;
        std::uint32_t returned_after;
        int fires;
    };
    static int s_fires;
    static std::uint32_t s_handler_ms;
    for (Case c : {Case{100, 0, 0, 101, 0}, Case{1, 0, 0, 2, 0}, Case{100, 25, 0, 101, 4},
                   Case{100, 50, 70, 120, 1}, Case{100, 100, 0, 101, 1}}) {
        s_fires = 0;
        s_handler_ms = c.handler_ms;
        std::uintptr_t timer = 0;
        if (c.timer_ms)
            timer = platform::set_timer(
                nullptr, 0, c.timer_ms,
                [](platform::HWND, platform::UINT, std::uintptr_t id, std::uint32_t) {
                    ++s_fires;
                    if (s_handler_ms) {
                        platform::kill_timer(nullptr, id);
                        platform::test_clock().advance(s_handler_ms);
                    }
                });
        const std::uint32_t start = platform::get_tick_count();
        const int naps = platform::test_clock().naps();
        {
            LetTimeRun run;
            delay(TypedValue::of_integer(c.length));
        }
        EXPECT_EQ(platform::get_tick_count() - start, c.returned_after)
            << "length " << c.length << ", timer " << c.timer_ms;
        EXPECT_EQ(platform::test_clock().naps(), naps) << "the wait went to the last tick at once";
        EXPECT_EQ(s_fires, c.fires) << "length " << c.length << ", timer " << c.timer_ms;
        if (timer)
            platform::kill_timer(nullptr, timer);
    }
}

TEST_F(Delay, WaitsForTimeFromAnotherThreadDispatchingWhatArrives) {
    std::thread other([this] {
        for (std::uint32_t step : {30u, 30u, 41u}) {
            int nudges = g_nudges.load();
            platform::post_message(m_window, MessageNudge);
            EXPECT_TRUE(wait_for([&] { return g_nudges.load() > nudges; }));
            platform::test_clock().advance(step);
        }
    });
    const std::uint32_t start = platform::get_tick_count();
    delay(TypedValue::of_integer(100));
    const std::uint32_t ticks = platform::get_tick_count() - start;
    other.join();
    EXPECT_EQ(ticks, 101u) << "returned at the first tick past the deadline";
    EXPECT_EQ(g_nudges.load(), 3) << "every message that arrived was dispatched";
}

// Time let run after a wait on held time has begun ends that wait too (a
// helper thread that started stepping late used to leave it blocked).
TEST_F(Delay, TimeLetRunFromAnotherThreadDuringTheWaitMovesItOn) {
    auto idle = [this] { return m_backend.waits() + platform::test_clock().naps(); };
    const int idle_before = idle();
    std::atomic<bool> returned{false};
    bool freed = false;
    std::thread other([&] {
        EXPECT_TRUE(wait_for([&] { return idle() > idle_before; })) << "the wait began";
        LetTimeRun run;
        if (!wait_for([&] { return returned.load(); }, 5000)) {
            // The wait never saw the change: free it, so the test fails
            // rather than hangs.
            freed = true;
            platform::test_clock().advance(1000);
        }
    });
    const std::uint32_t start = platform::get_tick_count();
    delay(TypedValue::of_integer(50));
    returned = true;
    other.join();
    EXPECT_FALSE(freed) << "time let run moved on for a wait already under way";
    EXPECT_EQ(platform::get_tick_count() - start, 51u);
}

TEST_F(Delay, HandlersMayWaitInsideTheWait) {
    platform::post_message(m_window, MessageNestedDelay, 60);
    const std::uint32_t start = platform::get_tick_count();
    {
        LetTimeRun run;
        delay(TypedValue::of_integer(30));
    }
    EXPECT_EQ(g_nested_returned, 1);
    EXPECT_EQ(platform::get_tick_count() - start, 61u)
        << "the inner wait returned at 61 ms, the outer one with it";
}

TEST_F(Delay, AWaitAcrossTheTickCountWrapLastsItsFullLength) {
    // 40 ms before the 32-bit tick count wraps to 0.
    platform::set_tick_count_offset(0);
    platform::set_tick_count_offset(
        static_cast<std::uint32_t>(0u - 40u - platform::get_tick_count()));
    const std::uint32_t start_tick = platform::get_tick_count();
    ASSERT_EQ(start_tick, 0xFFFFFFD8u);
    {
        LetTimeRun run;
        delay(TypedValue::of_integer(100));
    }
    EXPECT_EQ(platform::get_tick_count(), 61u) << "the count wrapped during the wait";
}

TEST_F(Delay, ANonPositiveOrNonNumericArgumentReturnsAtOnceDispatchingNothing) {
    for (TypedValue argument : {TypedValue::of_integer(0), TypedValue::of_integer(-100),
                                TypedValue::of_text("100"), TypedValue{}}) {
        platform::post_message(m_window, MessageNudge);
        // On stepped time a wait would never end.
        delay(argument);
        EXPECT_EQ(g_nudges.load(), 0);
        m_backend.pump();
        g_nudges = 0;
    }
}

TEST_F(Delay, AWaitingQuitMessageStaysQueuedWhilePostsAreStillDispatched) {
    platform::post_quit_message(3);
    const int naps = platform::test_clock().naps();
    std::thread other([this, naps] {
        // Delay naps until the time moves, then dispatches what came. Time
        // moves only once it naps, so that it has taken its start.
        EXPECT_TRUE(wait_for([&] { return platform::test_clock().naps() > naps; }));
        platform::post_message(m_window, MessageNudge);
        platform::test_clock().advance(10);
        EXPECT_TRUE(wait_for([] { return g_nudges.load() == 1; }));
        platform::test_clock().advance(41);
    });
    const std::uint32_t start = platform::get_tick_count();
    delay(TypedValue::of_integer(50));
    other.join();
    EXPECT_EQ(platform::get_tick_count() - start, 51u);
    EXPECT_EQ(g_nudges.load(), 1) << "posted messages are still dispatched";
    platform::Msg msg;
    ASSERT_TRUE(platform::peek_message(msg, nullptr, 0, 0, platform::PM_NOREMOVE));
    EXPECT_EQ(msg.message, platform::WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
