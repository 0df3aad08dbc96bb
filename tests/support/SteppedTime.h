#pragma once

// Helpers for tests on the headless display's stepped time (see
// platform/Clock.h): time passes only when a test lets it.

#include <platform/Clock.h>
#include <platform/headless/HeadlessBackend.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
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

// Lets stepped time pass from another thread, for loops a test cannot step
// from inside (a modal loop, a Delay): each time the user-interface thread
// blocks, waiting on `display` or napping on the clock, the clock moves on
// by `step_ms`, until `total_ms` have passed or the stepper is stopped. A
// wait already under way when the stepper starts counts as a new one, so it
// may start before the loop or from another thread while the loop waits.
class ClockStepper {
  public:
    ClockStepper(const platform::HeadlessBackend& display, std::uint32_t step_ms,
                 std::uint32_t total_ms = std::numeric_limits<std::uint32_t>::max())
        : m_display(display), m_step(step_ms), m_total(total_ms), m_seen(idle_ended_count()),
          m_thread([this] { run(); }) {}
    ~ClockStepper() { stop(); }
    ClockStepper(const ClockStepper&) = delete;
    ClockStepper& operator=(const ClockStepper&) = delete;

    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    std::uint32_t advanced() const { return m_advanced.load(); }

  private:
    int idle_count() const { return m_display.waits() + platform::test_clock().naps(); }
    int idle_ended_count() const {
        return m_display.waits_ended() + platform::test_clock().naps_ended();
    }
    void run() {
        for (;;) {
            while (idle_count() == m_seen) {
                if (m_stop)
                    return;
                std::this_thread::yield();
            }
            m_seen = idle_count();
            std::uint32_t step = std::min(m_step, m_total - m_advanced.load());
            if (step == 0)
                return;
            m_advanced += step;
            platform::test_clock().advance(step);
        }
    }

    const platform::HeadlessBackend& m_display;
    const std::uint32_t m_step;
    const std::uint32_t m_total;
    int m_seen;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint32_t> m_advanced{0};
    std::thread m_thread;
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
