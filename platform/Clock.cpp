#include "Clock.h"

#include <platform/window/detail/State.h>

#include <algorithm>
#include <thread>

namespace platform {
namespace {
std::atomic<const Clock*> g_clock{nullptr};
}

std::chrono::nanoseconds RealClock::now() const {
    return std::chrono::steady_clock::now().time_since_epoch();
}

void RealClock::nap(std::chrono::nanoseconds, std::chrono::microseconds length) const {
    std::this_thread::sleep_for(length);
}

std::chrono::nanoseconds SteppedClock::now() const {
    return std::chrono::milliseconds(m_ms.load());
}

void SteppedClock::nap(std::chrono::nanoseconds read_at, std::chrono::microseconds length) const {
    bool moved_on = false;
    {
        std::unique_lock lock(m_mutex);
        // A step taken since the caller's reading is the moment it waits for.
        if (now() != read_at)
            return;
        ++m_naps;
        m_moved.wait(lock, [&] { return now() != read_at || m_runs.load(); });
        if (now() == read_at) {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(length).count();
            m_ms.fetch_add(static_cast<std::uint64_t>(std::max<long long>(ms, 1)));
            moved_on = true;
        }
        ++m_naps_ended;
    }
    if (moved_on) {
        m_moved.notify_all();
        // A timer of the user-interface thread may have fallen due.
        if (!detail::on_ui_thread())
            detail::wake_ui_thread();
    }
}

bool SteppedClock::pass_idle_time(int ms) const {
    if (ms <= 0 || !m_runs.load())
        return false;
    move_on(static_cast<std::uint64_t>(ms));
    return true;
}

void SteppedClock::move_on(std::uint64_t ms) const {
    {
        std::lock_guard lock(m_mutex);
        m_ms.fetch_add(ms);
    }
    m_moved.notify_all();
}

void SteppedClock::advance(std::uint32_t ms) {
    move_on(ms);
    detail::wake_ui_thread();
}

void SteppedClock::let_run(bool run) {
    {
        std::lock_guard lock(m_mutex);
        m_runs.store(run);
    }
    m_moved.notify_all();
    detail::wake_ui_thread();
}

std::optional<timespec> timespec_of(std::chrono::microseconds timeout) {
    if (timeout < timeout.zero())
        return std::nullopt;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    return timespec{static_cast<std::time_t>(seconds.count()),
                    static_cast<long>((timeout - seconds).count() * 1000)};
}

// Never destroyed: threads may read the time while the process exits.
RealClock& real_clock() {
    static RealClock* clock = new RealClock;
    return *clock;
}

SteppedClock& test_clock() {
    static SteppedClock* clock = new SteppedClock;
    return *clock;
}

const Clock& current_clock() {
    const Clock* c = g_clock.load();
    return c ? *c : real_clock();
}

namespace detail {
void use_clock(const Clock* clock) {
    g_clock.store(clock);
}
} // namespace detail

} // namespace platform
