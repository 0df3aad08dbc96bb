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
// Run: build/<dir>/bench/armctl_app_key_latency_benchmark [ROUNDS]

#include "AppHarness.h"

#include <tests/support/PtyPair.h>

#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

#include <atomic>

#include <cstdio>
#include <cstdlib>
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
bool wait_for_arrival(Arrivals& arrivals, int seen) {
    const std::int64_t deadline = bench::monotonic_ns() + 2'000'000'000;
    while (arrivals.count.load() == seen) {
        if (bench::monotonic_ns() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    test_support::PtyPair bare{test_support::PtyPair::SlaveEnd::KeptOpen};
    if (!arm.ok() || !bare.ok() || rounds < 1) {
        std::fprintf(stderr, "cannot open pseudo-terminals\n");
        return 1;
    }
    bench::AppHarness app(arm.slave_path());
    if (!app.started()) {
        std::fprintf(stderr, "the arm controller did not start\n");
        return 1;
    }
    app.click(bench::OpenButton);
    platform::HWND slider = app.unit_window(bench::GripperSlider);
    platform::set_focus(slider);
    app.pump();
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
        app.backend().press_key(up ? platform::VK_RIGHT : platform::VK_LEFT);
        app.pump();
        if (!wait_for_arrival(at_arm, seen) || at_arm.last != (up ? "81a" : "80a")) {
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
    const double bound = 1.5 * bare_p99 + 0.5;
    std::printf("key press on the Gripper slider to its command at the far end, %d rounds\n",
                rounds);
    std::printf("  program:     p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", program_p50, program_p99,
                bench::percentile(program_ms, 1.0));
    std::printf("  bare write:  p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", bare_p50, bare_p99,
                bench::percentile(bare_ms, 1.0));
    std::printf("  program p99 %.3f ms vs goal <= 1.5 x bare p99 + 0.5 ms = %.3f ms: %s\n",
                program_p99, bound, program_p99 <= bound ? "met" : "MISSED");
    return 0;
}
