// Message and painting costs of the window system, on the headless display.

#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

std::atomic<std::int64_t> g_handled_at{0};

LRESULT sink_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP)
        g_handled_at.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
    return def_window_proc(h, m, w, l);
}

struct Session {
    HeadlessBackend backend;
    HWND top = nullptr;
    Session() {
        initialize(&backend);
        register_standard_controls();
        WindowClass cls;
        cls.name = "BenchSink";
        cls.proc = sink_proc;
        cls.background = 0xF0F0F0;
        register_class(cls);
        top = create_window_ex(0, "BenchSink", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 985,
                               665, nullptr, 0);
        backend.pump();
    }
    ~Session() {
        shutdown();
        unregister_class("BenchSink");
    }
};

void BM_PostDispatchSameThread(benchmark::State& state) {
    Session s;
    Msg msg;
    for (auto _ : state) {
        post_message(s.top, WM_APP);
        peek_message(msg, nullptr, 0, 0, PM_REMOVE);
        dispatch_message(msg);
    }
}
BENCHMARK(BM_PostDispatchSameThread);

// A thread posts while the user-interface thread is blocked in get_message;
// the time from the post to the procedure is the wake-up latency.
void BM_CrossThreadPostLatency(benchmark::State& state) {
    Session s;
    std::vector<double> latencies;
    for (auto _ : state) {
        std::int64_t posted_at = 0;
        std::thread poster([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            posted_at = Clock::now().time_since_epoch().count();
            post_message(s.top, WM_APP);
        });
        Msg msg;
        get_message(msg);
        dispatch_message(msg);
        poster.join();
        auto ns = g_handled_at.load(std::memory_order_acquire) - posted_at;
        latencies.push_back(static_cast<double>(ns) / 1000.0);
    }
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies[static_cast<std::size_t>(q * static_cast<double>(latencies.size() - 1))];
    };
    state.counters["p50_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
}
BENCHMARK(BM_CrossThreadPostLatency)->Iterations(2000)->UseRealTime();

// The arm controller's window: 985 x 665 with 50 controls.
void BM_FullRepaint(benchmark::State& state) {
    Session s;
    for (int i = 0; i < 50; ++i) {
        int x = 10 + (i % 10) * 95, y = 10 + (i / 10) * 60;
        const char* cls = i % 3 == 0 ? WC_BUTTON : i % 3 == 1 ? WC_STATIC : WC_EDIT;
        create_window_ex(i % 3 == 2 ? WS_EX_CLIENTEDGE : 0, cls, "\xB6\xCB\xBF\xDA Close",
                         WS_CHILD | WS_VISIBLE, x, y, 85, 26, s.top,
                         static_cast<std::uintptr_t>(100 + i));
    }
    s.backend.pump();
    for (auto _ : state) {
        invalidate_rect(s.top, nullptr, true);
        update_window(s.top);
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
