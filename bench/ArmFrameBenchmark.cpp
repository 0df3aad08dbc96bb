// The virtual arm's window on the headless display with stepped time: one
// frame of a move of all four servos (what changed repainted, as on the
// screen), without the wake-ups and the X server around it. The moves go
// back and forth between the ends of the travel, as bench/arm_window_cpu.sh
// drives them.
//
// Run: build/<dir>/bench/armctl_arm_frame_benchmark

#include <tools/arm/ArmWindow.h>

#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <benchmark/benchmark.h>

namespace {

void BM_ArmFrameWhileMoving(benchmark::State& state) {
    platform::HeadlessBackend backend;
    platform::initialize(&backend);
    arm::Millis now = 0;
    auto window = arm::ArmWindow::create({}, "COM9", [&now] { return now; });
    platform::update_window(window->hwnd());
    bool far = false;
    for (auto _ : state) {
        if (!window->is_animating()) {
            state.PauseTiming();
            far = !far;
            window->receive(far ? "170a20b170c170d" : "10a160b10c10d", now);
            platform::update_window(window->hwnd());
            state.ResumeTiming();
        }
        now += arm::ArmWindow::k_frame_ms;
        window->frame();
        platform::update_window(window->hwnd());
    }
    window.reset();
    platform::shutdown();
}
BENCHMARK(BM_ArmFrameWhileMoving)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
