// The time from a key press on the Gripper slider to its command read at the
// far end of the line, against the time a bare write() of as many bytes
// takes through the same kind of pseudo-terminal. The arm controller runs
// in-process on the headless display in real time with its port open; each
// round presses Right or Left on the slider and dispatches, while a reader
// thread polling the far ends of both lines timestamps the moment the three
// bytes ("81a" or "80a") have been read. The bare writes are interleaved
// with the presses and go through the same reader, so both figures see the
// same machine and the same wake-up of a polling reader.
//
// With --gtk the program runs on the GTK display of $DISPLAY, its window
// has the X keyboard focus, and each press is a real key event made by the
// X server (XTest): the figure then holds the server, the program's reading
// of its connection and the whole road to the line.
//
// Run: build/<dir>/bench/armctl_app_key_latency_benchmark [ROUNDS] [--gtk]

#include "AnsweringGtkDisplay.h"
#include "AppHarness.h"
#include "XTestKeys.h"

#include "ArmController_design.h"

#include <tests/support/PtyPair.h>

#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

#include <atomic>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// What the reader thread has seen at the far end of one line: how many
// three-byte commands have arrived, and when the last one was complete.
struct Arrivals {
    std::atomic<int> count{0};
    std::atomic<std::int64_t> last_ns{0};
    // The last command; written before `count` moves, read after.
    std::string last;
    std::string pending;
};

void read_line(int master, Arrivals& arrivals) {
    char buffer[256];
    ssize_t n;
    while ((n = read(master, buffer, sizeof buffer)) > 0) {
        const std::int64_t now = bench::monotonic_ns();
        arrivals.pending.append(buffer, static_cast<std::size_t>(n));
        while (arrivals.pending.size() >= 3) {
            arrivals.last = arrivals.pending.substr(0, 3);
            arrivals.pending.erase(0, 3);
            arrivals.last_ns.store(now);
            arrivals.count.fetch_add(1);
            arrivals.count.notify_all();
        }
    }
}

// Waits until more than `seen` commands have arrived; false after 2 s.
// `app` is given when the program's loop must run meanwhile (a key from
// the X server still has to be read and dispatched).
bool wait_for_arrival(Arrivals& arrivals, int seen, bench::AppHarness* app = nullptr) {
    const std::int64_t deadline = bench::monotonic_ns() + 2'000'000'000;
    while (arrivals.count.load() == seen) {
        if (bench::monotonic_ns() > deadline)
            return false;
        if (app) {
            platform::wait_message(1);
            app->pump();
        } else {
            std::this_thread::yield();
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 2000;
    bool gtk = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtk") == 0)
            gtk = true;
        else
            rounds = std::atoi(argv[i]);
    }
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    test_support::PtyPair bare{test_support::PtyPair::SlaveEnd::KeptOpen};
    if (!arm.ok() || !bare.ok() || rounds < 1) {
        std::fprintf(stderr, "cannot open pseudo-terminals\n");
        return 1;
    }
    bench::AppHarness app(arm.slave_path(), gtk ? bench::Display::Gtk : bench::Display::Headless);
    if (!app.started()) {
        std::fprintf(stderr, "the arm controller did not start: %s\n", app.error().c_str());
        return 1;
    }
    std::unique_ptr<bench::XTestKeys> keys;
    if (gtk)
        keys = std::make_unique<bench::XTestKeys>();
    if (gtk && !keys->ok()) {
        std::fprintf(stderr, "no X display with the XTest extension\n");
        return 1;
    }
    if (gtk)
        app.run_for_ms(1000);
    app.click(app::PortButton);
    platform::HWND slider = app.unit_window(app::GripperSlider);
    platform::set_focus(slider);
    app.pump();
    if (gtk) {
        keys->focus(app.gtk()->native_window_id(platform::get_ancestor_root(slider)));
        app.run_for_ms(300);
    }
    arm.drain();

    Arrivals at_arm;
    Arrivals at_bare;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done) {
            pollfd ready[2] = {{arm.master(), POLLIN, 0}, {bare.master(), POLLIN, 0}};
            if (poll(ready, 2, 50) <= 0)
                continue;
            if (ready[0].revents & POLLIN)
                read_line(arm.master(), at_arm);
            if (ready[1].revents & POLLIN)
                read_line(bare.master(), at_bare);
        }
    });

    std::vector<double> program_ms;
    std::vector<double> bare_ms;
    bool failed = false;
    for (int i = 0; i < rounds && !failed; ++i) {
        // From 80 one step up and back again: always three bytes.
        const bool up = i % 2 == 0;
        int seen = at_arm.count.load();
        std::int64_t start = bench::monotonic_ns();
        if (gtk) {
            keys->press(up ? bench::XTestKeys::Right : bench::XTestKeys::Left);
        } else {
            app.backend().press_key(up ? platform::VK_RIGHT : platform::VK_LEFT);
            app.pump();
        }
        if (!wait_for_arrival(at_arm, seen, gtk ? &app : nullptr) ||
            at_arm.last != (up ? "81a" : "80a")) {
            std::fprintf(stderr, "round %d: the arm got \"%s\"\n", i, at_arm.last.c_str());
            failed = true;
            break;
        }
        program_ms.push_back(static_cast<double>(at_arm.last_ns.load() - start) / 1e6);

        seen = at_bare.count.load();
        start = bench::monotonic_ns();
        if (write(bare.slave(), up ? "81a" : "80a", 3) != 3 || !wait_for_arrival(at_bare, seen)) {
            std::fprintf(stderr, "round %d: the bare write did not arrive\n", i);
            failed = true;
            break;
        }
        bare_ms.push_back(static_cast<double>(at_bare.last_ns.load() - start) / 1e6);
    }
    done = true;
    reader.join();
    if (failed)
        return 1;

    const double program_p50 = bench::percentile(program_ms, 0.5);
    const double program_p99 = bench::percentile(program_ms, 0.99);
    const double bare_p50 = bench::percentile(bare_ms, 0.5);
    const double bare_p99 = bench::percentile(bare_ms, 0.99);
    std::printf("key press on the Gripper slider to its command at the far end, %s, %d rounds\n",
                gtk ? "a real key through the X server on the gtk display" : "headless", rounds);
    std::printf("  program:     p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", program_p50, program_p99,
                bench::percentile(program_ms, 1.0));
    std::printf("  bare write:  p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", bare_p50, bare_p99,
                bench::percentile(bare_ms, 1.0));
    if (gtk) {
        std::printf("  program p99 %.3f ms vs goal <= 2 ms: %s\n", program_p99,
                    program_p99 <= 2.0 ? "met" : "MISSED");
    } else {
        const double bound = 1.5 * bare_p99 + 0.5;
        std::printf("  program p99 %.3f ms vs goal <= 1.5 x bare p99 + 0.5 ms = %.3f ms: %s\n",
                    program_p99, bound, program_p99 <= bound ? "met" : "MISSED");
    }
    return 0;
}
