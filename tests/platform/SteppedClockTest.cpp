#include "PlatformTest.h"

#include "platform/TickCount.h"

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace platform::testing {
namespace {

class SteppedClock : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_FALSE(test_clock().runs()) << "every test starts on held time";
        m_top = make_top();
        m_backend.pump();
    }
    void TearDown() override {
        set_tick_count_offset(0);
        PlatformTest::TearDown();
    }
    std::uint64_t since(std::uint64_t start) const { return test_clock().now_ms() - start; }

    HWND m_top = nullptr;
};

TEST_F(SteppedClock, AWaitJumpsToTheEarliestDeadlineAndNeverPastADueTimer) {
    // Just before the 32-bit tick count wraps.
    set_tick_count_offset(static_cast<std::uint32_t>(0u - 16u - get_tick_count()));
    const std::uint32_t start_tick = get_tick_count();
    const std::uint64_t start = test_clock().now_ms();
    set_timer(m_top, 1, 30);
    set_timer(m_top, 2, 70);
    LetTimeRun run;
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> fired;
    Msg msg;
    while (fired.size() < 4) {
        ASSERT_TRUE(get_message(msg));
        ASSERT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
        fired.emplace_back(msg.wParam, msg.time - start_tick);
    }
    const std::vector<std::pair<std::uintptr_t, std::uint32_t>> expected{
        {1, 30}, {1, 60}, {2, 70}, {1, 90}};
    EXPECT_EQ(fired, expected) << "each timer once at each moment it fell due, in order";
    EXPECT_EQ(since(start), 90u);
    EXPECT_LT(get_tick_count(), start_tick) << "the tick count wrapped on the way";

    // A wait's own time-out ends it when it comes before the next timer
    // (due at 120), and a timer when it comes first.
    EXPECT_FALSE(wait_message(20));
    EXPECT_EQ(since(start), 110u);
    EXPECT_TRUE(wait_message(500));
    EXPECT_EQ(since(start), 120u);
    ASSERT_TRUE(peek_message(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);

    // Stepping as a real run does still moves exactly as far as asked.
    m_backend.run_for(45);
    EXPECT_EQ(since(start), 165u);
}

TEST_F(SteppedClock, AMessageTheWaitDoesNotTakeDoesNotHoldTimeStill) {
    HWND other = make_top();
    post_message(other, WM_USER);
    set_timer(m_top, 3, 25);
    const std::uint64_t start = test_clock().now_ms();
    LetTimeRun run;
    Msg msg;
    ASSERT_TRUE(get_message(msg, m_top));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(since(start), 25u);
    ASSERT_TRUE(get_message(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER)) << "it stayed queued";
}

TEST_F(SteppedClock, ANapLastsItsLengthInWholeMilliseconds) {
    LetTimeRun run;
    const auto& clock = test_clock();
    const std::uint64_t start = clock.now_ms();
    clock.nap(clock.now(), std::chrono::microseconds(100));
    EXPECT_EQ(since(start), 1u);
    clock.nap(clock.now(), std::chrono::microseconds(2500));
    EXPECT_EQ(since(start), 4u);
    clock.nap(clock.now() - std::chrono::milliseconds(1), std::chrono::microseconds(100));
    EXPECT_EQ(since(start), 4u) << "the time moved since that reading: the moment has passed";
}

TEST_F(SteppedClock, HeldTimeMovesOnlyWhenAdvanced) {
    {
        LetTimeRun outer;
        { LetTimeRun inner; }
        EXPECT_TRUE(test_clock().runs()) << "a guard puts back what was before it";
    }
    EXPECT_FALSE(test_clock().runs());

    set_timer(m_top, 4, 50);
    const std::uint64_t start = test_clock().now_ms();
    const int waits = m_backend.waits();
    std::atomic<std::uint64_t> seen_blocked{~0ull};
    std::thread advancer([&] {
        EXPECT_TRUE(wait_for([&] { return m_backend.waits() > waits; }));
        seen_blocked = since(start);
        test_clock().advance(50);
    });
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    advancer.join();
    EXPECT_EQ(seen_blocked.load(), 0u) << "the get blocked with the time standing still";
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_EQ(since(start), 50u);
}

// The wait had begun on held time before another thread let the time run;
// it must see the change instead of blocking until something else wakes it.
TEST_F(SteppedClock, TimeLetRunFromAnotherThreadEndsAWaitUnderWay) {
    set_timer(m_top, 5, 40);
    const std::uint64_t start = test_clock().now_ms();
    const int waits = m_backend.waits();
    std::atomic<bool> got{false};
    std::thread other([&] {
        EXPECT_TRUE(wait_for([&] { return m_backend.waits() > waits; }));
        LetTimeRun run;
        if (!wait_for([&] { return got.load(); }, 5000))
            test_clock().advance(1000); // fail rather than hang
    });
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    got = true;
    other.join();
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(since(start), 40u);
}

TEST_F(SteppedClock, AWaitWithNoDeadlineBlocksUntilAnotherThreadPosts) {
    LetTimeRun run;
    const std::uint64_t start = test_clock().now_ms();
    const int waits = m_backend.waits();
    std::thread poster([&] {
        EXPECT_TRUE(wait_for([&] { return m_backend.waits() > waits; })) << "it really blocked";
        post_message(m_top, WM_USER + 1);
    });
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    poster.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(since(start), 0u) << "nothing was due, so no time passed";
}

// Time runs on from timer to timer while another thread, on real time,
// posts and sends; what it delivers is handled, and no timer is passed.
TEST_F(SteppedClock, PostsAndSendsFromAnotherThreadArriveWhileTimeRuns) {
    static int s_ticks;
    s_ticks = 0;
    set_timer(nullptr, 0, 10, [](HWND, UINT, std::uintptr_t, std::uint32_t) { ++s_ticks; });
    Subclass counter(m_top, [](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        if (m == WM_USER + 2)
            return static_cast<LRESULT>(w + 1);
        return call_window_proc(previous, h, m, w, l);
    });
    const std::uint64_t start = test_clock().now_ms();
    LetTimeRun run;
    std::atomic<LRESULT> answer{0};
    std::thread other([&] {
        answer = send_message(m_top, WM_USER + 2, 41);
        post_message(m_top, WM_USER + 3);
    });
    Msg msg;
    bool posted = false;
    while (!posted) {
        ASSERT_TRUE(get_message(msg));
        posted = msg.message == WM_USER + 3;
        dispatch_message(msg);
    }
    other.join();
    // The post may have come first at a moment a tick fell due.
    m_backend.pump();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(since(start), static_cast<std::uint64_t>(s_ticks) * 10) << "one tick per period";
}

} // namespace
} // namespace platform::testing
