// Threads that send and post to a window while the user-interface thread
// shuts the window system down and destroys its display. Each cycle must end
// with every sender answered; a sender left waiting fails the test, and a
// wake that reached a destroyed display shows under the sanitizers.
// ARMCTL_SHUTDOWN_CYCLES sets the number of cycles (the thread-sanitizer run
// asks for many).

#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>
#include <tests/support/SteppedTime.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace platform::testing {
namespace {

constexpr UINT MessageAsk = WM_APP + 1;
constexpr UINT MessageTell = WM_APP + 2;

LRESULT answering_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MessageAsk)
        return 1;
    return def_window_proc(hwnd, msg, wp, lp);
}

int cycles() {
    const char* v = std::getenv("ARMCTL_SHUTDOWN_CYCLES");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : 50;
}

class Shutdown : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowClass cls;
        cls.name = "ShutdownTarget";
        cls.proc = answering_proc;
        register_class(cls);
    }
    void TearDown() override { unregister_class("ShutdownTarget"); }
};

TEST_F(Shutdown, SendsAndPostsFromAnotherThreadEndOnceItBegins) {
    const int total = cycles();
    for (int cycle = 0; cycle < total; ++cycle) {
        auto display = std::make_unique<HeadlessBackend>(HeadlessTime::Stepped);
        ASSERT_TRUE(initialize(display.get()));
        Msg stale;
        ASSERT_FALSE(peek_message(stale, nullptr, 0, 0, PM_REMOVE))
            << "nothing of the last cycle is left in the queue (cycle " << cycle << ")";
        HWND target = create_window_ex(0, "ShutdownTarget", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0);
        ASSERT_NE(target, nullptr);

        std::atomic<int> answered{0};
        std::promise<void> finished;
        auto sender_done = finished.get_future();
        std::thread sender([&] {
            // Until shutdown begins every send is answered by the procedure.
            while (send_message(target, MessageAsk) == 1) {
                ++answered;
                post_message(target, MessageTell);
            }
            finished.set_value();
        });
        // Shut down only once sends are flowing; every other cycle with one
        // queued and not yet delivered.
        while (answered.load() < 1 + cycle % 3) {
            Msg msg;
            if (get_message(msg))
                dispatch_message(msg);
        }
        // Each round of the sender wakes the display twice (its send, its
        // post); one more means its next send is queued, undelivered.
        if (cycle % 2) {
            EXPECT_TRUE(
                test_support::wait_for([&] { return display->wakes() > answered.load() * 2; }));
        }
        shutdown();
        display.reset();

        if (sender_done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            sender.detach(); // it waits for an answer that will never come
            FAIL() << "a send was left unanswered in cycle " << cycle;
        }
        sender.join();
    }
}

} // namespace
} // namespace platform::testing
