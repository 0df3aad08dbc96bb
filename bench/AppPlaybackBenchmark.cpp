// Playback of a full action table at speed 20 (a step every 50 ms), in real
// time: the arm controller runs in-process on the headless display, records
// 100 rows, opens its port and plays them once. A reader thread at the far
// end of the line timestamps each row command as its last byte ('d') comes
// in; the figures are how far each interval between two rows is from the
// 50 ms asked for, and how much processor time the playback takes.
//
// The tick count moves in whole milliseconds and the wait ends at the first
// tick past its deadline, so a step is expected to last up to 1 ms longer
// than asked; "beyond the tick" is what is left of the error after that
// millisecond.
//
// With --gtk the program runs on the GTK display of $DISPLAY instead (the
// clicks still go in through the window system's input, the "Stop" box is
// answered by Enter), and with --x-server=PID the X server's processor time
// over the playback is set beside the program's.
//
// Run: build/<dir>/bench/armctl_app_playback_benchmark [--gtk] [--x-server=PID]

#include "AnsweringGtkDisplay.h"
#include "AppHarness.h"
#include "ProcStats.h"

#include <tests/support/PtyPair.h>

#include <app/Units.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rows = 100;
constexpr double StepMs = 50.0;

} // namespace

int main(int argc, char** argv) {
    bool gtk = false;
    pid_t x_server = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtk") == 0)
            gtk = true;
        else if (std::strncmp(argv[i], "--x-server=", 11) == 0)
            x_server = static_cast<pid_t>(std::atoi(argv[i] + 11));
        else {
            std::fprintf(stderr, "usage: %s [--gtk] [--x-server=PID]\n", argv[0]);
            return 2;
        }
    }
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    if (!arm.ok()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    bench::AppHarness app(arm.slave_path(), gtk ? bench::Display::Gtk : bench::Display::Headless);
    if (!app.started()) {
        std::fprintf(stderr, "the arm controller did not start: %s\n", app.error().c_str());
        return 1;
    }
    // On a real display the window is mapped and painted before the
    // playback, so that start-up is not counted in it.
    if (gtk)
        app.run_for_ms(1000);
    for (int i = 0; i < Rows; ++i)
        app.click(app::RecordButton);
    app.write_text(app::SpeedBox, app::EditBox::Content, "20");
    app.write_text(app::CyclesBox, app::EditBox::Content, "1");
    app.click(app::PortButton);
    arm.drain();
    // The playback ends with a "Stop" box; it is answered OK at once.
    if (!gtk)
        app.backend().queue_message_box_answer(1);

    std::vector<std::int64_t> row_ends;
    row_ends.reserve(Rows);
    std::atomic<bool> done{false};
    double reader_cpu = 0;
    // The user-interface thread's processor time when the first and the last
    // row come in splits the playback into its start, its steps and its end
    // (the "Stop" box).
    clockid_t ui_clock{};
    pthread_getcpuclockid(pthread_self(), &ui_clock);
    const auto ui_ms = [ui_clock] {
        timespec t{};
        clock_gettime(ui_clock, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    double ui_at_first_row = 0;
    double ui_at_last_row = 0;
    // The X server's, likewise: the "Stop" box is a window of its own.
    const auto x_ms = [x_server] {
        return x_server ? bench::process_cpu_ms_of(x_server).value_or(0) : 0;
    };
    double x_at_first_row = 0;
    double x_at_last_row = 0;
    std::thread reader([&] {
        const double cpu_before = bench::thread_cpu_ms();
        while (!done && static_cast<int>(row_ends.size()) < Rows) {
            pollfd ready{arm.master(), POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0)
                continue;
            char buffer[256];
            ssize_t n = read(arm.master(), buffer, sizeof buffer);
            const std::int64_t now = bench::monotonic_ns();
            for (ssize_t i = 0; i < n; ++i)
                if (buffer[i] == 'd')
                    row_ends.push_back(now);
            if (row_ends.size() == 1 && ui_at_first_row == 0) {
                ui_at_first_row = ui_ms();
                x_at_first_row = x_ms();
            }
            if (static_cast<int>(row_ends.size()) == Rows) {
                ui_at_last_row = ui_ms();
                x_at_last_row = x_ms();
            }
        }
        reader_cpu = bench::thread_cpu_ms() - cpu_before;
    });

    const double ui_cpu_before = bench::thread_cpu_ms();
    const double process_cpu_before = bench::process_cpu_ms();
    const double x_cpu_before = x_server ? bench::process_cpu_ms_of(x_server).value_or(-1) : -1;
    const std::int64_t wall_start = bench::monotonic_ns();
    app.click(app::RunButton);
    const double wall = static_cast<double>(bench::monotonic_ns() - wall_start) / 1e6;
    const double ui_cpu = bench::thread_cpu_ms() - ui_cpu_before;
    const double x_cpu_after = x_server ? bench::process_cpu_ms_of(x_server).value_or(-1) : -1;
    done = true;
    reader.join();
    const double process_cpu = bench::process_cpu_ms() - process_cpu_before - reader_cpu;

    if (static_cast<int>(row_ends.size()) != Rows) {
        std::fprintf(stderr, "the arm got %zu rows of %d\n", row_ends.size(), Rows);
        return 1;
    }
    std::vector<double> error;
    std::vector<double> beyond_tick;
    for (std::size_t i = 1; i < row_ends.size(); ++i) {
        const double interval = static_cast<double>(row_ends[i] - row_ends[i - 1]) / 1e6;
        error.push_back(interval - StepMs);
        beyond_tick.push_back(std::max(0.0, std::fabs(interval - StepMs) - 1.0));
    }
    const double beyond_p50 = bench::percentile(beyond_tick, 0.5);
    const double ui_start = ui_at_first_row - ui_cpu_before;
    const double ui_steps = ui_at_last_row - ui_at_first_row;
    const double ui_end = ui_cpu_before + ui_cpu - ui_at_last_row;
    const double beyond_p99 = bench::percentile(beyond_tick, 0.99);
    const double ui_share = 100.0 * ui_cpu / wall;
    const double process_share = 100.0 * process_cpu / wall;
    std::printf("playback of %d rows at speed 20 (%.0f ms steps) on the %s display, %zu "
                "intervals\n",
                Rows, StepMs, gtk ? "gtk" : "headless", error.size());
    std::printf("  interval - 50 ms:       median %+.3f ms, p99 %+.3f ms, min %+.3f ms, max %+.3f "
                "ms\n",
                bench::percentile(error, 0.5), bench::percentile(error, 0.99),
                bench::percentile(error, 0.0), bench::percentile(error, 1.0));
    std::printf("  error beyond the tick:  median %.3f ms (goal <= 0.5: %s), p99 %.3f ms (goal <= "
                "2: %s)\n",
                beyond_p50, beyond_p50 <= 0.5 ? "met" : "MISSED", beyond_p99,
                beyond_p99 <= 2.0 ? "met" : "MISSED");
    std::printf("  user-interface thread by phase: to the first row %.1f ms, %d steps %.1f ms "
                "(%.3f ms a step), after the last row %.1f ms\n",
                ui_start, Rows - 1, ui_steps, ui_steps / (Rows - 1), ui_end);
    if (!gtk) {
        std::printf("  processor time over %.0f ms wall: user-interface thread %.1f ms = %.2f %% "
                    "(goal <= 2 %%: %s); process without the reader %.1f ms = %.2f %%\n",
                    wall, ui_cpu, ui_share, ui_share <= 2.0 ? "met" : "MISSED", process_cpu,
                    process_share);
        return 0;
    }
    if (app.gtk()->boxes_answered() != 1)
        std::fprintf(stderr, "%d message boxes were answered, not one\n",
                     app.gtk()->boxes_answered());
    // The program's threads are all but the reader: GTK's own count too.
    std::printf("  processor time over %.0f ms wall: program (process without the reader) %.1f "
                "ms = %.2f %% (goal <= 1 %%: %s); user-interface thread %.1f ms = %.2f %%\n",
                wall, process_cpu, process_share, process_share <= 1.0 ? "met" : "MISSED", ui_cpu,
                ui_share);
    if (x_cpu_before >= 0 && x_cpu_after >= 0) {
        const double x_share = 100.0 * (x_cpu_after - x_cpu_before) / wall;
        std::printf("  X server over the same wall: %.1f ms = %.2f %% (goal <= 0.5 %%: %s); by "
                    "phase: to the first row %.1f ms, %d steps %.1f ms, after the last row %.1f "
                    "ms\n",
                    x_cpu_after - x_cpu_before, x_share, x_share <= 0.5 ? "met" : "MISSED",
                    x_at_first_row - x_cpu_before, Rows - 1, x_at_last_row - x_at_first_row,
                    x_cpu_after - x_at_last_row);
    } else if (x_server) {
        std::fprintf(stderr, "cannot read the processor time of the X server %d\n",
                     static_cast<int>(x_server));
        return 1;
    }
    return 0;
}
