#pragma once

// The message loop of tests on the user-interface thread: dispatch until a
// condition holds, with a real-time watchdog so that a broken test fails
// instead of hanging.

#include <platform/DisplayBackend.h>
#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <chrono>
#include <functional>

namespace test_support {

// Dispatches messages until `done` holds, waiting on `display` in between
// for what it delivers and what other threads post, send or advance. It
// stops early, with `done` false, once a WM_QUIT is queued. No time passes on
// a stepped clock here (HeadlessBackend::run_for lets it pass); `limit_ms` of
// real time is only a watchdog. Returns whether `done` held.
inline bool pump_until(platform::DisplayBackend& display, const std::function<bool()>& done,
                       int limit_ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        platform::dispatch_ready_messages();
        if (done())
            return true;
        platform::Msg quit;
        if (platform::peek_message(quit, nullptr, platform::WM_QUIT, platform::WM_QUIT))
            return false;
        auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            return false;
        // A timer on the real clock falls due without anyone waking the
        // display; on the stepped clock this only looks again.
        if (int due = platform::next_timer_due_ms(); due >= 0)
            left = std::min<long long>(left, std::max(due, 1));
        display.wait(std::chrono::milliseconds(left));
    }
}

} // namespace test_support
