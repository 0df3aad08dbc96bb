// Delay(50) a hundred times on a headless display while another thread posts
// a message every 2 ms. Reports how late each wait returned and what share
// of the wall time the process spent on a processor.
//
// Two lateness figures: past the earliest moment Delay may return (the first
// instant the tick count is greater than start + 50, which is what the
// waiting itself controls), and past the 50 ms asked for (which adds the
// tick count's own whole-millisecond step, between 0 and 1 ms).
//
// Run: build/<dir>/bench/armctl_delay_benchmark

#include <commands/DelayCommand.h>
#include <platform/TickCount.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>
#include <runtime/services/LibraryCommand.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <vector>

namespace {

constexpr int Repeats = 100;
constexpr int DelayMs = 50;
constexpr platform::UINT MessagePing = platform::WM_APP + 7;

std::atomic<int> g_dispatched{0};

platform::LRESULT counting_proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wp,
                                platform::LPARAM lp) {
    if (message == MessagePing) {
        ++g_dispatched;
        return 0;
    }
    return platform::def_window_proc(hwnd, message, wp, lp);
}

std::int64_t monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double process_cpu_ms() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](timeval t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double thread_cpu_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main() {
    platform::HeadlessBackend backend;
    if (!platform::initialize(&backend))
        return 1;
    platform::set_tick_count_offset(0);
    platform::WindowClass cls;
    cls.name = "DelayBenchmark";
    cls.proc = counting_proc;
    platform::register_class(cls);
    platform::HWND window = platform::create_window_ex(
        0, "DelayBenchmark", "bench", platform::WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, 0);

    std::atomic<bool> stop{false};
    std::atomic<int> posted{0};
    std::thread poster([&] {
        while (!stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            platform::post_message(window, MessagePing);
            ++posted;
        }
    });

    std::vector<double> past_earliest;
    std::vector<double> past_requested;
    runtime::TypedValue argument = runtime::TypedValue::of_integer(DelayMs);
    const double cpu_before = process_cpu_ms();
    const double thread_cpu_before = thread_cpu_ms();
    const std::int64_t wall_start = monotonic_ns();
    for (int i = 0; i < Repeats; ++i) {
        const std::int64_t start = monotonic_ns();
        runtime::call_library_command(commands::Delay, 4, 1, &argument);
        const std::int64_t end = monotonic_ns();
        // The tick count is the monotonic clock's whole milliseconds, so it
        // first exceeds start + 50 at the start of millisecond start + 51.
        const std::int64_t earliest = (start / 1'000'000 + DelayMs + 1) * 1'000'000;
        past_earliest.push_back(static_cast<double>(end - earliest) / 1e6);
        past_requested.push_back(static_cast<double>(end - start) / 1e6 - DelayMs);
    }
    const double wall = static_cast<double>(monotonic_ns() - wall_start) / 1e6;
    const double thread_cpu = thread_cpu_ms() - thread_cpu_before;
    const double cpu = process_cpu_ms() - cpu_before;
    stop = true;
    poster.join();
    backend.pump();
    platform::shutdown();

    std::printf("Delay(%d) x %d, a message posted every 2 ms (%d posted, %d dispatched)\n", DelayMs,
                Repeats, posted.load(), g_dispatched.load());
    std::printf("late past the earliest permitted return: median %.3f ms, p99 %.3f ms, max %.3f "
                "ms, min %.3f ms\n",
                percentile(past_earliest, 0.5), percentile(past_earliest, 0.99),
                percentile(past_earliest, 1.0), percentile(past_earliest, 0.0));
    std::printf(
        "late past the %d ms asked for:           median %.3f ms, p99 %.3f ms, max %.3f ms\n",
        DelayMs, percentile(past_requested, 0.5), percentile(past_requested, 0.99),
        percentile(past_requested, 1.0));
    std::printf("processor time: process %.1f ms = %.2f %% of %.0f ms wall; waiting thread %.1f ms "
                "= %.2f %%\n",
                cpu, 100.0 * cpu / wall, wall, thread_cpu, 100.0 * thread_cpu / wall);
    return 0;
}
