// The serial port unit on a pseudo-terminal, driven as a program's handler
// drives it: SendData through the unit's library-1 method on the window's
// thread, with the master end of the pair playing the arm.
//
// Latency: a three-byte servo command from the SendData call to its bytes
// read at the master, against a raw write() on the slave of a second pair,
// the two measured in turn in the same run. Goal: the unit's p99 at most
// 1.5 times the raw p99 plus 0.5 ms.
//
// Resources: after a warm-up, 500 OpenPort/ClosePort cycles with 10 000
// sends between them. Limits: resident memory grows by at most 1 MiB, and as
// many descriptors are open after as before.
//
// Exits 0 when the goal and the limits hold, 1 when one does not, 2 when
// the run could not be set up.
//
// Run: build/<dir>/bench/armctl_serial_benchmark [sends] [cycles]

#include <tests/support/PtyPair.h>

#include "BenchSerialPort.h"

#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/LibraryHost.h>
#include <runtime/windows/UnitObject.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using units::SerialPortUnit;
using namespace bench::serial_port;

constexpr const char Command[] = "90a";
constexpr std::size_t CommandSize = sizeof Command - 1;
constexpr int WarmUpSends = 200;
constexpr int WarmUpCycles = 20;
constexpr double RssLimitKiB = 1024;

bool send_command() {
    auto text = runtime::TypedValue::of_text(Command);
    return call(2, &text);
}

// Reads exactly `count` bytes at the master, within two seconds.
bool read_at_master(test_support::PtyPair& pty, std::size_t count) {
    return pty.read(count).size() == count;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double resident_kib() {
    long pages_total = 0, pages_resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages_total, &pages_resident) != 2)
            pages_resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(pages_resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024;
}

int open_descriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count - 1; // the directory's own
}

// The slave of a second pair, raw as the port engine leaves its device.
int open_raw_slave(const test_support::PtyPair& pty) {
    int fd = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

struct Latencies {
    std::vector<double> unit_ms;
    std::vector<double> raw_ms;
};

bool measure_latency(test_support::PtyPair& port_pty, test_support::PtyPair& raw_pty, int raw_fd,
                     int sends, Latencies& out) {
    for (int i = 0; i < WarmUpSends + sends; ++i) {
        auto start = Clock::now();
        if (!send_command() || !read_at_master(port_pty, CommandSize))
            return false;
        double unit = ms_since(start);

        start = Clock::now();
        if (::write(raw_fd, Command, CommandSize) != static_cast<ssize_t>(CommandSize) ||
            !read_at_master(raw_pty, CommandSize))
            return false;
        double raw = ms_since(start);

        platform::dispatch_ready_messages();
        if (i < WarmUpSends)
            continue;
        out.unit_ms.push_back(unit);
        out.raw_ms.push_back(raw);
    }
    return true;
}

bool open_close_cycles(test_support::PtyPair& pty, int cycles, int sends) {
    for (int cycle = 0; cycle < cycles; ++cycle) {
        call(1);
        if (g_port->is_open())
            return false;
        if (!call(0))
            return false;
        int here = sends / cycles + (cycle < sends % cycles ? 1 : 0);
        for (int i = 0; i < here; ++i) {
            if (!send_command() || !read_at_master(pty, CommandSize))
                return false;
        }
        platform::dispatch_ready_messages();
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int sends = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 500;
    const int cycle_sends = 10000;
    if (sends < 1 || cycles < 1) {
        std::fprintf(stderr, "usage: %s [sends] [cycles]\n", argv[0]);
        return 2;
    }

    test_support::PtyPair port_pty;
    test_support::PtyPair raw_pty;
    if (!port_pty.ok() || !raw_pty.ok()) {
        std::fprintf(stderr, "no pseudo-terminals\n");
        return 2;
    }
    // The port map sees only this run's COM3.
    auto config = std::filesystem::temp_directory_path() /
                  ("armctl-serial-bench-" + std::to_string(getpid()));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("ARMCTL_COM3", port_pty.slave_path().c_str(), 1);

    platform::HeadlessBackend backend;
    if (!platform::initialize(&backend))
        return 2;
    platform::register_standard_controls();
    if (!create(3)) {
        std::fprintf(stderr, "the port unit was not created\n");
        return 2;
    }
    int raw_fd = open_raw_slave(raw_pty);
    if (raw_fd < 0 || !call(0)) {
        std::fprintf(stderr, "COM3 (%s) did not open\n", port_pty.slave_path().c_str());
        return 2;
    }

    Latencies latency;
    if (!measure_latency(port_pty, raw_pty, raw_fd, sends, latency)) {
        std::fprintf(stderr, "a send failed or its bytes did not arrive\n");
        return 1;
    }
    ::close(raw_fd);
    double unit_p50 = percentile(latency.unit_ms, 0.50);
    double unit_p99 = percentile(latency.unit_ms, 0.99);
    double raw_p50 = percentile(latency.raw_ms, 0.50);
    double raw_p99 = percentile(latency.raw_ms, 0.99);
    double allowed_p99 = 1.5 * raw_p99 + 0.5;
    bool latency_ok = unit_p99 <= allowed_p99;
    std::printf("SendData of %zu bytes to the master, %d sends (after %d to warm up)\n",
                CommandSize, sends, WarmUpSends);
    std::printf("  SendData     p50 %8.4f ms  p99 %8.4f ms\n", unit_p50, unit_p99);
    std::printf("  raw write()  p50 %8.4f ms  p99 %8.4f ms\n", raw_p50, raw_p99);
    std::printf("  ratio        p50 %8.2f     p99 %8.2f\n", unit_p50 / raw_p50, unit_p99 / raw_p99);
    std::printf("  goal p99 <= 1.5 x raw p99 + 0.5 ms = %.4f ms: %s\n", allowed_p99,
                latency_ok ? "met" : "MISSED");

    // Warm-up of the open and close path, then the measured cycles.
    if (!open_close_cycles(port_pty, WarmUpCycles, WarmUpCycles * 20)) {
        std::fprintf(stderr, "an open, close or send failed while warming up\n");
        return 1;
    }
    call(1);
    platform::dispatch_ready_messages();
    double rss_before = resident_kib();
    int fds_before = open_descriptors();
    auto start = Clock::now();
    bool cycled = open_close_cycles(port_pty, cycles, cycle_sends);
    call(1);
    platform::dispatch_ready_messages();
    double took = ms_since(start);
    double rss_after = resident_kib();
    int fds_after = open_descriptors();
    if (!cycled) {
        std::fprintf(stderr, "an open, close or send failed in the cycles\n");
        return 1;
    }
    double growth = rss_after - rss_before;
    bool rss_ok = growth <= RssLimitKiB;
    bool fds_ok = fds_after == fds_before;
    std::printf("%d OpenPort/ClosePort cycles with %d sends in %.0f ms\n", cycles, cycle_sends,
                took);
    std::printf("  resident memory %.0f KiB -> %.0f KiB: %+.0f KiB (limit %.0f KiB): %s\n",
                rss_before, rss_after, growth, RssLimitKiB, rss_ok ? "ok" : "EXCEEDED");
    std::printf("  open descriptors %d -> %d: %s\n", fds_before, fds_after,
                fds_ok ? "ok" : "LEFT OPEN");

    destroy();
    platform::shutdown();
    std::filesystem::remove_all(config);
    return latency_ok && rss_ok && fds_ok ? 0 : 1;
}
