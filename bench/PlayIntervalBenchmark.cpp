// armctl-play at speed 20 (a step every 50 ms) on a pseudo-terminal, in real
// time: a file of 100 rows played once, the far end timestamping each row
// command as its last byte ('d') comes in. The figures are how far each
// interval between two rows is from the 50 ms asked for, beyond the one
// millisecond the window's tick count allows its own playback, and the
// processor time the program took over the playback's wall time.
//
// Run: build/<dir>/bench/armctl_play_interval_benchmark [ROWS] [PASSES]

#include <tests/support/PtyPair.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double StepMs = 50.0;

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    std::size_t at =
        static_cast<std::size_t>(std::lround(p * static_cast<double>(values.size() - 1)));
    return values[at];
}

double ms_of(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const int commands = std::min(rows, 100) * passes;
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    if (!arm.ok()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    char folder[] = "/tmp/armctl-play-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    std::string file = std::string(folder) + "/poses.txt";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < std::min(rows, 100); ++i)
            out << 40 + i << ",100,80,120\r\n";
    }

    std::string passes_text = std::to_string(passes);
    std::vector<std::string> args = {ARMCTL_PLAY, file, "--device", arm.slave_path(),
                                     "--speed",   "20", "--cycles", passes_text};
    std::vector<char*> argp;
    for (std::string& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    const auto wall_start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, argp[0], nullptr, nullptr, argp.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", ARMCTL_PLAY);
        return 1;
    }

    std::vector<std::chrono::steady_clock::time_point> row_ends;
    const auto give_up =
        wall_start + std::chrono::milliseconds(static_cast<long>(commands * StepMs * 2 + 5000));
    while (static_cast<int>(row_ends.size()) < commands &&
           std::chrono::steady_clock::now() < give_up) {
        pollfd ready{arm.master(), POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char buffer[256];
        ssize_t n = read(arm.master(), buffer, sizeof buffer);
        const auto now = std::chrono::steady_clock::now();
        for (ssize_t i = 0; i < n; ++i)
            if (buffer[i] == 'd')
                row_ends.push_back(now);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_start)
            .count();
    std::remove(file.c_str());
    rmdir(folder);
    if (static_cast<int>(row_ends.size()) != commands || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the arm got %zu rows of %d; armctl-play ended with %d\n",
                     row_ends.size(), commands, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return 1;
    }

    std::vector<double> error;
    std::vector<double> beyond_tick;
    for (std::size_t i = 1; i < row_ends.size(); ++i) {
        const double interval =
            std::chrono::duration<double, std::milli>(row_ends[i] - row_ends[i - 1]).count();
        error.push_back(interval - StepMs);
        beyond_tick.push_back(std::max(0.0, std::fabs(interval - StepMs) - 1.0));
    }
    const double beyond_p50 = percentile(beyond_tick, 0.5);
    const double beyond_p99 = percentile(beyond_tick, 0.99);
    const double cpu = ms_of(usage.ru_utime) + ms_of(usage.ru_stime);
    const double share = 100.0 * cpu / wall;
    std::printf("armctl-play, %d rows at speed 20 (%.0f ms steps), %zu intervals\n", commands,
                StepMs, error.size());
    std::printf("  interval - 50 ms:       median %+.3f ms, p99 %+.3f ms, min %+.3f ms, max %+.3f "
                "ms\n",
                percentile(error, 0.5), percentile(error, 0.99), percentile(error, 0.0),
                percentile(error, 1.0));
    std::printf("  error beyond the tick:  median %.3f ms (goal <= 0.5: %s), p99 %.3f ms (goal <= "
                "2: %s)\n",
                beyond_p50, beyond_p50 <= 0.5 ? "met" : "MISSED", beyond_p99,
                beyond_p99 <= 2.0 ? "met" : "MISSED");
    std::printf("  processor time %.1f ms over %.0f ms wall = %.2f %% of a core (goal <= 0.5 %%: "
                "%s)\n",
                cpu, wall, share, share <= 0.5 ? "met" : "MISSED");
    return beyond_p50 <= 0.5 && beyond_p99 <= 2.0 && share <= 0.5 ? 0 : 2;
}
