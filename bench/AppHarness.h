#pragma once

// The arm controller run in-process on the headless display in real time,
// for the benchmarks that time it from input to the bytes on the line: the
// program's own design and handlers, input injected at the units, and a
// pseudo-terminal standing in for the arm behind COM1.

#include <runtime/values/UnitRef.h>

#include <platform/Types.h>
#include <platform/headless/HeadlessBackend.h>

#include <tests/support/ScopedEnv.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds.
std::int64_t monotonic_ns();
// CPU time of the calling thread, in milliseconds.
double thread_cpu_ms();
// CPU time of the whole process, in milliseconds.
double process_cpu_ms();

class AppHarness {
  public:
    // Makes a scratch home, points COM1 at `arm_device` and starts the
    // program: its window is created and its start-up has run.
    explicit AppHarness(const std::string& arm_device);
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    bool started() const { return m_started; }
    platform::HeadlessBackend& backend() { return m_backend; }
    // The units are the design's, by alias (ArmController_design.h).
    platform::HWND unit_window(const runtime::UnitRef& unit) const;
    // Clicks the middle of a unit and dispatches what follows.
    void click(const runtime::UnitRef& unit);
    // Queues a click on the middle of a unit without dispatching it.
    void queue_click(const runtime::UnitRef& unit);
    // Replaces a unit's text property through the program's own road.
    void write_text(const runtime::UnitRef& unit, std::int32_t index, const char* gbk_text);
    // Dispatches everything that is ready.
    void pump();

  private:
    platform::HeadlessBackend m_backend{platform::HeadlessTime::Real};
    std::string m_home;
    // HOME and the XDG folders point into m_home, COM1 at the arm, until the
    // harness goes.
    test_support::ScopedEnv m_env;
    bool m_started = false;
};

// Percentile `p` (0..1) of `values`, nearest rank.
double percentile(std::vector<double> values, double p);

} // namespace bench
