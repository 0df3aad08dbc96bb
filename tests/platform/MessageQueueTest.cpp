#include "PlatformTest.h"

#include "platform/TickCount.h"

#include <tests/support/ScopedEnv.h>
#include <tests/support/WaitPrecision.h>

#include <atomic>
#include <regex>
#include <thread>
#include <utility>
#include <vector>

namespace test_support {

using namespace platform;
namespace {

class MessageQueue : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        recorder().ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_SETCURSOR, WM_GETTEXT,
                           WM_GETTEXTLENGTH, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS,
                           WM_SHOWWINDOW, WM_SIZE, WM_MOVE});
        m_top = make_top();
        m_backend.pump();
        recorder().clear();
    }
    HWND m_top = nullptr;
};

TEST_F(MessageQueue, PostedMessagesArriveInOrderAfterSentOnes) {
    post_message(m_top, WM_USER + 1);
    post_message(m_top, WM_USER + 2);
    send_message(m_top, WM_USER + 3);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {{WM_USER + 3, sent}, {WM_USER + 1, posted}, {WM_USER + 2, posted}});
}

TEST_F(MessageQueue, PeekWithoutRemovalLeavesTheMessage) {
    post_message(m_top, WM_USER + 5, 7, 8);
    Msg msg;
    ASSERT_TRUE(peek_message(msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5);
    ASSERT_TRUE(peek_message(msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    EXPECT_FALSE(peek_message(msg, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST_F(MessageQueue, FiltersByWindowAndRange) {
    HWND other = make_top();
    m_backend.pump();
    post_message(other, WM_USER + 1);
    post_message(m_top, WM_USER + 2);
    Msg msg;
    ASSERT_TRUE(peek_message(msg, m_top, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    EXPECT_FALSE(peek_message(msg, nullptr, WM_APP, WM_APP + 1, PM_REMOVE));
    ASSERT_TRUE(peek_message(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesAndEndsGet) {
    post_quit_message(3);
    post_message(m_top, WM_USER);
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(get_message(msg));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueue, CrossThreadPostWakesABlockedGet) {
    std::thread poster([this] {
        // Post only once get_message has found nothing and is blocked.
        EXPECT_TRUE(wait_for([this] { return m_backend.waits() > 0; }));
        post_thread_message(WM_APP + 1, 11, 12);
    });
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    poster.join();
    EXPECT_EQ(msg.message, WM_APP + 1);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 11u);
}

TEST_F(MessageQueue, CrossThreadSendRunsOnTheUiThreadAndReturnsTheResult) {
    std::thread::id ran_on;
    Subclass answering(m_top, [&](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        if (m == WM_APP + 2) {
            ran_on = std::this_thread::get_id();
            return static_cast<LRESULT>(w * 2);
        }
        return call_window_proc(previous, h, m, w, l);
    });
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    HWND target = m_top;
    std::thread sender([&] {
        result = send_message(target, WM_APP + 2, 21);
        done = true;
        post_thread_message(WM_NULL); // wake the loop to see `done`
    });
    EXPECT_TRUE(pump_until([&] { return done.load(); }));
    sender.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST_F(MessageQueue, CrossThreadSendsComeBeforePostedMessages) {
    post_message(m_top, WM_USER + 1);
    HWND target = m_top;
    std::thread sender([&] { send_message(target, WM_USER + 2); });
    // The send wakes the display once it is queued; retrieve nothing before.
    while (m_backend.wakes() == 0)
        m_backend.wait(std::chrono::seconds(10));
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    dispatch_message(msg);
    sender.join();
    EXPECT_SEQUENCE(recorder(), {{WM_USER + 2, sent}, {WM_USER + 1, posted}});
}

TEST_F(MessageQueue, TimersFireWhenTheQueueIsEmptyAndDieWithTheirWindow) {
    ASSERT_EQ(set_timer(m_top, 5, 10), 5u);
    post_message(m_top, WM_USER);
    m_backend.run_for(9);
    EXPECT_SEQUENCE(recorder(), {{WM_USER, posted}});
    m_backend.run_for(11);
    EXPECT_SEQUENCE(recorder(), {{WM_USER, posted},
                                 {WM_TIMER, posted | wparam, m_top, 5},
                                 {WM_TIMER, posted | wparam, m_top, 5}});
    EXPECT_TRUE(kill_timer(m_top, 5));
    EXPECT_FALSE(kill_timer(m_top, 5));

    HWND child = make_child(m_top, {0, 0, 5, 5});
    set_timer(child, 1, 10);
    destroy_window(child);
    recorder().clear();
    m_backend.run_for(100);
    EXPECT_TRUE(recorder().log().empty());
}

// Time passing as in a real run: each timer fires at every multiple of its
// period, in the order they fall due, stamped with the tick count of then.
TEST_F(MessageQueue, RunningForAWhileFiresEachDueTimerInTurn) {
    static std::vector<std::pair<std::uintptr_t, std::uint32_t>> fired;
    fired.clear();
    auto record = [](HWND, UINT, std::uintptr_t id, std::uint32_t time) {
        fired.push_back({id, time});
    };
    set_timer(m_top, 3, 30, record);
    set_timer(m_top, 5, 50, record);
    const std::uint32_t start = get_tick_count();
    m_backend.run_for(150);
    for (auto& f : fired)
        f.second -= start;
    const std::vector<std::pair<std::uintptr_t, std::uint32_t>> expected = {
        {3, 30}, {5, 50}, {3, 60}, {3, 90}, {5, 100}, {3, 120}, {3, 150}, {5, 150}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(get_tick_count() - start, 150u);
}

TEST_F(MessageQueue, ATimerPassedByALongAdvanceFiresOnce) {
    set_timer(m_top, 1, 10);
    test_clock().advance(1000);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_TIMER, posted | wparam, m_top, 1}});
    recorder().clear();
    m_backend.run_for(9);
    EXPECT_TRUE(recorder().log().empty()) << "the period starts again when it fires";
}

TEST_F(MessageQueue, TimerWithoutWindowCallsItsProcedure) {
    static int calls = 0;
    calls = 0;
    auto id = set_timer(nullptr, 0, 10, [](HWND, UINT, std::uintptr_t, std::uint32_t) { ++calls; });
    ASSERT_NE(id, 0u);
    m_backend.run_for(9);
    EXPECT_EQ(calls, 0);
    m_backend.run_for(1);
    EXPECT_EQ(calls, 1);
    kill_timer(nullptr, id);
    m_backend.run_for(100);
    EXPECT_EQ(calls, 1);
}

TEST_F(MessageQueue, AWaitWithATimeOutEndsWhenAnotherThreadAdvancesPastIt) {
    std::thread advancer([this] {
        EXPECT_TRUE(wait_for([this] { return m_backend.waits() >= 1; }));
        test_clock().advance(99);
        // The wait looks at the time, finds 1 ms left and blocks again.
        EXPECT_TRUE(wait_for([this] { return m_backend.waits() >= 2; }));
        test_clock().advance(1);
    });
    const std::uint32_t start = get_tick_count();
    EXPECT_FALSE(wait_message(100)) << "nothing arrived";
    advancer.join();
    EXPECT_EQ(get_tick_count() - start, 100u);
}

TEST_F(MessageQueue, AdvancingFromAnotherThreadFiresATimerForABlockedGet) {
    set_timer(m_top, 7, 40);
    std::thread advancer([this] {
        EXPECT_TRUE(wait_for([this] { return m_backend.waits() >= 1; }));
        test_clock().advance(40);
    });
    Msg msg;
    ASSERT_TRUE(get_message(msg));
    advancer.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(MessageQueue, TranslateTurnsKeysIntoCharactersWithDoubleByteSplit) {
    HWND child = make_child(m_top, {0, 0, 50, 50});
    set_focus(child);
    recorder().clear();
    recorder().watch(child);
    m_backend.press_key('A', 'a');
    m_backend.press_key(0xE5, 0xD6D0); // the GBK code of 中
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_KEYDOWN, posted | wparam, child, 'A'},
                                 {WM_CHAR, posted | wparam, child, 'a'},
                                 {WM_KEYUP, posted | wparam, child, 'A'},
                                 {WM_KEYDOWN, posted},
                                 {WM_CHAR, posted | wparam, child, 0xD6},
                                 {WM_CHAR, posted | wparam, child, 0xD0},
                                 {WM_KEYUP, posted}});
}

TEST_F(MessageQueue, TypedTextArrivesAsGbkBytes) {
    HWND child = make_child(m_top, {0, 0, 50, 50});
    set_focus(child);
    recorder().clear();
    recorder().watch(child);
    m_backend.type_text("a\xEF\xBC\x9A"); // "a：" — the full-width colon is A3 BA in GBK
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_CHAR, posted | wparam, child, 'a'},
                                 {WM_CHAR, posted | wparam, child, 0xA3},
                                 {WM_CHAR, posted | wparam, child, 0xBA}});
}

TEST_F(MessageQueue, TickCountWrapsAt32Bits) {
    std::uint32_t now = get_tick_count();
    set_tick_count_offset(0xFFFFFFFFu - now - 5);
    std::uint32_t before = get_tick_count();
    test_clock().advance(20);
    std::uint32_t after = get_tick_count();
    set_tick_count_offset(0);
    EXPECT_EQ(before, 0xFFFFFFFAu);
    EXPECT_EQ(after, 14u) << "the count wraps to small numbers";
    EXPECT_EQ(static_cast<std::uint32_t>(after - before), 20u)
        << "unsigned differences still measure time";
}

TEST_F(MessageQueue, ModalLoopDisablesTheOwnerUntilItEnds) {
    HWND dialog = make_top(WS_POPUP | WS_VISIBLE);
    static HWND s_dialog, s_owner;
    s_dialog = dialog;
    s_owner = m_top;
    set_timer(nullptr, 0, 10, [](HWND, UINT, std::uintptr_t id, std::uint32_t) {
        kill_timer(nullptr, id);
        EXPECT_FALSE(is_window_enabled(s_owner)) << "the owner is disabled while the loop runs";
        end_modal_loop(s_dialog, 17);
    });
    recorder().clear();
    recorder().watch(m_top);
    test_clock().advance(10);
    EXPECT_EQ(run_modal_loop(dialog, m_top), 17);
    EXPECT_TRUE(is_window_enabled(m_top));
    EXPECT_SEQUENCE(recorder(),
                    {{WM_ENABLE, sent | wparam, m_top, 0}, {WM_ENABLE, sent | wparam, m_top, 1}});
}

TEST_F(MessageQueue, ModalLoopPassesQuitToTheOuterLoop) {
    HWND dialog = make_top(WS_POPUP | WS_VISIBLE);
    post_quit_message(9);
    EXPECT_EQ(run_modal_loop(dialog, m_top), -1);
    Msg msg;
    EXPECT_FALSE(get_message(msg));
    EXPECT_EQ(msg.wParam, 9u);
}

} // namespace
} // namespace test_support

namespace test_support {

using namespace platform;
namespace {

TEST(FirstFrameQuit, OnlyTheFirstWaitAfterAPaintedFrameReportsAndPostsTheQuit) {
    HeadlessBackend backend(HeadlessTime::Stepped);
    backend.quit_after_first_frame();
    ASSERT_TRUE(initialize(&backend));
    WindowClass cls;
    cls.name = "FirstFrame";
    cls.proc = def_window_proc;
    register_class(cls);
    ::testing::internal::CaptureStderr();
    Msg msg;
    // Nothing presented yet: an ordinary wait.
    backend.wait(std::chrono::microseconds(0));
    EXPECT_FALSE(peek_message(msg, nullptr, 0, 0, PM_NOREMOVE));
    HWND h = create_window_ex(0, "FirstFrame", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, 0);
    backend.pump();
    EXPECT_GT(backend.presents(), 0);
    backend.wait(std::chrono::microseconds(0));
    ASSERT_TRUE(peek_message(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    // Once only: later waits are ordinary ones again.
    invalidate_rect(h, nullptr, true);
    backend.pump();
    backend.wait(std::chrono::microseconds(0));
    EXPECT_FALSE(peek_message(msg, nullptr, 0, 0, PM_NOREMOVE));
    std::string log = ::testing::internal::GetCapturedStderr();
    shutdown();
    unregister_class("FirstFrame");
    EXPECT_TRUE(std::regex_match(log, std::regex("first frame: [0-9]+ ns, VmRSS [0-9]+ kB\n")))
        << log;
}

// Waits keep their deadline to the microsecond: a wait for the tick count
// to move on ends as it moves, not up to a millisecond later. Only the
// median is held to a bound; a busy machine may wake any one wait late.
TEST(RealTimeWait, EndsAtItsDeadlineNotAtTheNextWholeMillisecond) {
    HeadlessBackend backend(HeadlessTime::Real);
    ASSERT_TRUE(initialize(&backend));
    const WaitPrecision waits = measure_waits(21, std::chrono::microseconds(300));
    shutdown();
    EXPECT_EQ(waits.early, 0) << "no wait ends before its deadline";
    EXPECT_LT(waits.median_late_us(), 600);
}

TEST(MessageSpy, PrintsEveryMessageByNameWhenAsked) {
    HeadlessBackend backend;
    {
        // The spy is switched on when the window system starts.
        ScopedEnv spy("ARMCTL_MESSAGE_SPY", "1");
        ASSERT_TRUE(initialize(&backend));
    }
    WindowClass cls;
    cls.name = "Spied";
    cls.proc = def_window_proc;
    register_class(cls);
    ::testing::internal::CaptureStderr();
    HWND h = create_window_ex(0, "Spied", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0);
    post_message(h, WM_USER + 3, 5, 6);
    backend.pump();
    std::string log = ::testing::internal::GetCapturedStderr();
    shutdown();
    unregister_class("Spied");
    EXPECT_NE(log.find("WM_NCCREATE"), std::string::npos) << log;
    EXPECT_NE(log.find("class=Spied"), std::string::npos);
    EXPECT_NE(log.find("dispatch"), std::string::npos);
    EXPECT_NE(log.find("0x0403"), std::string::npos) << "unnamed messages show their number";
}

} // namespace
} // namespace test_support
