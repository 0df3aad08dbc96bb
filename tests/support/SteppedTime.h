#pragma once

// Helpers for tests on the headless display's stepped time (see
// platform/Clock.h): time passes only when a test lets it.

#include <platform/Clock.h>
#include <platform/headless/HeadlessBackend.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

namespace test_support {

// For a thread other than the user-interface thread: waits until `done`
// holds, with `limit_ms` of real time as a watchdog. Returns whether it held.
inline bool wait_for(const std::function<bool()>& done, int limit_ms = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::yield();
    }
    return true;
}

// While it lives, stepped time runs by itself as virtual time (see
// platform::SteppedClock): a wait of the user-interface thread with nothing
// to do moves the time on to its earliest deadline. For code under test that
// blocks in a loop the test cannot step from (a modal loop, a Delay); set up
// on the user-interface thread before that code runs, or from another thread
// while it waits. Outside one the clock is held, so that a test sees each
// moment it steps to and other threads may step it. Restores what was before.
class LetTimeRun {
  public:
    LetTimeRun() : m_before(platform::test_clock().runs()) { platform::test_clock().let_run(true); }
    ~LetTimeRun() { platform::test_clock().let_run(m_before); }
    LetTimeRun(const LetTimeRun&) = delete;
    LetTimeRun& operator=(const LetTimeRun&) = delete;

  private:
    const bool m_before;
};

// Keeps the stepped clock level with real time from its construction until
// it is stopped, for a test whose other end is a separate process that
// measures real time (the gaps between commands a playback sends). It does
// not depend on when the user-interface thread blocks, so it may start
// before or after a wait on the clock has begun.
class ClockFollowingRealTime {
  public:
    ClockFollowingRealTime()
        : m_start(std::chrono::steady_clock::now()), m_thread([this] { run(); }) {}
    ~ClockFollowingRealTime() { stop(); }
    ClockFollowingRealTime(const ClockFollowingRealTime&) = delete;
    ClockFollowingRealTime& operator=(const ClockFollowingRealTime&) = delete;

    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

  private:
    void run() {
        std::uint64_t advanced = 0;
        while (!m_stop) {
            auto real = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - m_start)
                            .count();
            if (static_cast<std::uint64_t>(real) > advanced) {
                platform::test_clock().advance(static_cast<std::uint32_t>(real - advanced));
                advanced = static_cast<std::uint64_t>(real);
            }
            std::this_thread::yield();
        }
    }

    const std::chrono::steady_clock::time_point m_start;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace test_support
