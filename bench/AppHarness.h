#pragma once

// The arm controller run in-process in real time, for the benchmarks that
// time it from input to the bytes on the line: the program's own design and
// handlers, input injected at the units, and a pseudo-terminal standing in
// for the arm behind COM1. It runs on the headless display, or on the GTK
// display of $DISPLAY with every message box answered by Enter.

#include <runtime/values/UnitRef.h>

#include <platform/Types.h>
#include <platform/headless/HeadlessBackend.h>

#include <tests/support/ScopedEnv.h>

#include <cstdint>
#include <memory>
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

class AnsweringGtkDisplay;

enum class Display { Headless, Gtk };

class AppHarness {
  public:
    // Makes a scratch home, points COM1 at `arm_device` and starts the
    // program: its window is created and its start-up has run.
    explicit AppHarness(const std::string& arm_device, Display display = Display::Headless);
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    bool started() const { return m_started; }
    // The headless display; on GTK it is not installed.
    platform::HeadlessBackend& backend() { return m_backend; }
    // The GTK display, or nullptr on the headless one.
    AnsweringGtkDisplay* gtk() { return m_gtk.get(); }
    // Why the program did not start, when it did not.
    const std::string& error() const { return m_error; }
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
    // Runs the message loop for `ms` milliseconds of real time.
    void run_for_ms(int ms);

  private:
    platform::HeadlessBackend m_backend{platform::HeadlessTime::Real};
    std::unique_ptr<AnsweringGtkDisplay> m_gtk;
    std::string m_error;
    std::string m_home;
    // HOME and the XDG folders point into m_home, COM1 at the arm, until the
    // harness goes.
    test_support::ScopedEnv m_env;
    bool m_started = false;
};

// Percentile `p` (0..1) of `values`, nearest rank.
double percentile(std::vector<double> values, double p);

} // namespace bench
