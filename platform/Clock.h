#pragma once

// Every reading of time in the window system goes through one clock: timers,
// waits with a time-out and the tick count, and through them the caret's
// blink, the controls' auto-repeat, double-click timing and tool-tip delays.
// A display runs on the real monotonic clock unless it says otherwise; the
// headless display used by tests may run on the stepped clock, whose time
// moves only when a test advances it or, while it is let run, when the
// user-interface thread would otherwise block.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Time since an arbitrary start; it never goes back.
    virtual std::chrono::nanoseconds now() const = 0;
    // How long the calling thread may block in real time while it waits for
    // `wait` of this clock's time to pass (negative: no limit).
    virtual std::chrono::microseconds blocking(std::chrono::microseconds wait) const = 0;
    // The user-interface thread has nothing to do and nothing has woken it
    // since it last looked: it would block for `ms` of this clock's time
    // (negative: no limit). Returns true when the clock has moved on by `ms`
    // instead, so that the thread looks again without blocking. The caller
    // holds the lock under which other threads post and send.
    virtual bool pass_idle_time(int ms) const = 0;
    // Lets a moment pass for a caller that polls the clock and last read it
    // at `read_at` (time it took since then counts as the moment).
    virtual void nap(std::chrono::nanoseconds read_at, std::chrono::microseconds length) const = 0;
};

// The monotonic system clock.
class RealClock final : public Clock {
  public:
    std::chrono::nanoseconds now() const override;
    std::chrono::microseconds blocking(std::chrono::microseconds wait) const override {
        return wait;
    }
    bool pass_idle_time(int) const override { return false; }
    void nap(std::chrono::nanoseconds read_at, std::chrono::microseconds length) const override;
};

// A clock in whole milliseconds that stands still until advanced.
//
// Held (the state it starts in), its time passes only through advance(),
// which wakes the user-interface thread: a wait on it blocks until it is
// woken (by an advance, a post or a send) and then looks at the time again,
// and a nap lasts until the time differs from the caller's last reading.
//
// Let run, it is virtual time: when the user-interface thread would block
// with nothing queued and nothing due, the time jumps to the earliest
// deadline the thread waits for (the next timer or the wait's own
// time-out, whichever is first, so no timer is ever passed), and a nap
// lasts its length rounded up to a millisecond. A post or send from
// another thread that arrives before the jump is handled first, at the
// time it arrived. A wait with no deadline at all still blocks until
// another thread wakes it, as when held.
class SteppedClock final : public Clock {
  public:
    std::chrono::nanoseconds now() const override;
    std::chrono::microseconds blocking(std::chrono::microseconds wait) const override {
        return wait == wait.zero() ? wait : std::chrono::microseconds(-1);
    }
    bool pass_idle_time(int ms) const override;
    void nap(std::chrono::nanoseconds read_at, std::chrono::microseconds length) const override;
    // How many naps have begun and how many have ended: another thread can
    // tell from them that a caller is waiting for the time to move.
    int naps() const { return m_naps.load(); }
    int naps_ended() const { return m_naps_ended.load(); }

    // Moves the time on by `ms` and wakes the user-interface thread: waits
    // whose deadline has passed end, and timers that fell due fire at the
    // next retrieval (once each, however far they were passed; see
    // HeadlessBackend::run_for for time passing as in a real run). Safe from
    // any thread.
    void advance(std::uint32_t ms);
    std::uint64_t now_ms() const { return m_ms.load(); }

    // Lets the time run by itself or holds it again, waking a wait or nap
    // under way so that it sees the change. Safe from any thread.
    void let_run(bool run);
    bool runs() const { return m_runs.load(); }

  private:
    // Advances under m_mutex and wakes the naps; the caller wakes the
    // user-interface thread if it needs to.
    void move_on(std::uint64_t ms) const;

    // Mutable: a wait of the user-interface thread moves virtual time on
    // through the window system's const view of its clock.
    mutable std::atomic<std::uint64_t> m_ms{0};
    std::atomic<bool> m_runs{false};
    mutable std::atomic<int> m_naps{0};
    mutable std::atomic<int> m_naps_ended{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_moved;
};

// A time-out as ppoll() takes it; none for a negative one (no limit).
std::optional<timespec> timespec_of(std::chrono::microseconds timeout);

RealClock& real_clock();
// The one stepped clock of the process; it keeps its time between tests.
SteppedClock& test_clock();
// The clock of the display installed now (DisplayBackend::clock), the real
// clock when none is.
const Clock& current_clock();

} // namespace platform
