#include "HeadlessCommandTest.h"

#include <commands/DelayCommand.h>
#include <platform/TickCount.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <time.h>

using namespace commands_test;
namespace type_code = runtime::type_code;
using Clock = std::chrono::steady_clock;

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

double thread_cpu_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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

TEST_F(Delay, WaitsPastTheDeadlineDispatchingWhatArrivesWithoutSpinning) {
    std::thread poster([hwnd = m_window] {
        for (int i = 0; i < 10; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            platform::post_message(hwnd, MessageNudge);
        }
    });
    const std::uint32_t start_tick = platform::get_tick_count();
    const auto start = Clock::now();
    const double cpu_before = thread_cpu_ms();
    delay(TypedValue::of_integer(100));
    const double cpu = thread_cpu_ms() - cpu_before;
    const double elapsed = ms_since(start);
    const std::uint32_t ticks = platform::get_tick_count() - start_tick;
    poster.join();

    EXPECT_GT(ticks, 100u) << "the tick count is past the deadline";
    EXPECT_GE(elapsed, 100.0);
    EXPECT_LT(elapsed, 150.0) << "slightly more than 100 ms";
    EXPECT_EQ(g_nudges.load(), 10) << "every message that arrived was dispatched";
    EXPECT_LT(cpu, 20.0) << "a wait of 100 ms that spun would cost about 100 ms of processor time";
}

TEST_F(Delay, HandlersMayWaitInsideTheWait) {
    platform::post_message(m_window, MessageNestedDelay, 60);
    const auto start = Clock::now();
    delay(TypedValue::of_integer(30));
    EXPECT_EQ(g_nested_returned, 1);
    EXPECT_GE(ms_since(start), 60.0) << "the outer wait returns after the inner one";
}

TEST_F(Delay, AWaitAcrossTheTickCountWrapLastsItsFullLength) {
    // 40 ms before the 32-bit tick count wraps to 0.
    platform::set_tick_count_offset(0);
    platform::set_tick_count_offset(
        static_cast<std::uint32_t>(0u - 40u - platform::get_tick_count()));
    const std::uint32_t start_tick = platform::get_tick_count();
    ASSERT_GT(start_tick, 0xFFFFFF00u);
    const auto start = Clock::now();
    delay(TypedValue::of_integer(100));
    EXPECT_GE(ms_since(start), 100.0);
    EXPECT_LT(platform::get_tick_count(), 0x1000u) << "the count wrapped during the wait";
}

TEST_F(Delay, ANonPositiveOrNonNumericArgumentReturnsAtOnceDispatchingNothing) {
    for (TypedValue argument : {TypedValue::of_integer(0), TypedValue::of_integer(-100),
                                TypedValue::of_text("100"), TypedValue{}}) {
        platform::post_message(m_window, MessageNudge);
        const auto start = Clock::now();
        delay(argument);
        EXPECT_LT(ms_since(start), 5.0);
        EXPECT_EQ(g_nudges.load(), 0);
        m_backend.pump();
        g_nudges = 0;
    }
}

TEST_F(Delay, AWaitingQuitMessageStaysQueuedAndCostsNoSpin) {
    platform::post_quit_message(3);
    std::thread poster([hwnd = m_window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        platform::post_message(hwnd, MessageNudge);
    });
    const auto start = Clock::now();
    const double cpu_before = thread_cpu_ms();
    delay(TypedValue::of_integer(50));
    const double cpu = thread_cpu_ms() - cpu_before;
    poster.join();
    EXPECT_GE(ms_since(start), 50.0);
    EXPECT_LT(cpu, 15.0);
    EXPECT_EQ(g_nudges.load(), 1) << "posted messages are still dispatched";
    platform::Msg msg;
    ASSERT_TRUE(platform::peek_message(msg, nullptr, 0, 0, platform::PM_NOREMOVE));
    EXPECT_EQ(msg.message, platform::WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
