#pragma once

// How far past their deadlines the window system's waits end on the real
// clock: `rounds` waits for a message until `length` from now, with nothing
// to wake them. A wait that ended early, or for a message, counts as
// early; the lateness of the others is in microseconds, sorted.

#include <platform/Clock.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace test_support {

struct WaitPrecision {
    int early = 0;
    std::vector<long long> late_us;
    long long median_late_us() const { return late_us.empty() ? -1 : late_us[late_us.size() / 2]; }
};

inline WaitPrecision measure_waits(int rounds, std::chrono::microseconds length) {
    WaitPrecision result;
    const platform::Clock& clock = platform::current_clock();
    for (int i = 0; i < rounds; ++i) {
        const auto deadline = clock.now() + length;
        const bool message = platform::wait_message_until(deadline);
        const auto late = clock.now() - deadline;
        if (message || late < late.zero())
            ++result.early;
        else
            result.late_us.push_back(
                std::chrono::duration_cast<std::chrono::microseconds>(late).count());
    }
    std::sort(result.late_us.begin(), result.late_us.end());
    return result;
}

} // namespace test_support
