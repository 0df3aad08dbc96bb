// Start-up of the arm controller as a user starts it, on the headless
// display: the executable is started as a child process with
// ARMCTL_EXIT_AFTER_FIRST_FRAME=1, which makes it report on standard error
// the moment its window has been painted in full and its resident memory
// then, and quit. The time is from just before the child is spawned to that
// moment (both read CLOCK_MONOTONIC).
//
// Run: build/<dir>/bench/armctl_app_startup_benchmark [ARMCTL [RUNS]]

#include <platform/process/ChildProcess.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::int64_t monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

struct Run {
    bool ok = false;
    double first_frame_ms = 0;
    double exit_ms = 0;
    long rss_kb = 0;
    std::string err;
};

Run run_once(const char* program) {
    Run run;
    const std::int64_t start = monotonic_ns();
    platform::ProcessOptions options;
    options.limit_ms = 60000;
    platform::ProcessResult r = platform::run_process({program, "--backend=headless"}, options);
    run.exit_ms = static_cast<double>(monotonic_ns() - start) / 1e6;
    run.err = r.started ? r.err : r.error;
    long long frame_ns = 0;
    std::size_t at = run.err.find("first frame: ");
    if (at == std::string::npos ||
        std::sscanf(run.err.c_str() + at, "first frame: %lld ns, VmRSS %ld kB", &frame_ns,
                    &run.rss_kb) != 2)
        return run;
    run.first_frame_ms = static_cast<double>(frame_ns - start) / 1e6;
    run.ok = r.finished && r.exit_status == 0;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    const char* program = argc > 1 ? argv[1] : ARMCTL_PATH;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    // A scratch home: nothing of the user's is read or written.
    char pattern[] = "/tmp/armctl-startup-XXXXXX";
    if (!mkdtemp(pattern) || runs < 1)
        return 1;
    const std::string home = pattern;
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("ARMCTL_EXIT_AFTER_FIRST_FRAME", "1", 1);
    unsetenv("ARMCTL_BACKEND");

    std::vector<double> first_frame;
    std::vector<double> exit_time;
    std::vector<double> rss_mb;
    for (int i = 0; i < runs; ++i) {
        Run run = run_once(program);
        if (!run.ok) {
            std::fprintf(stderr, "run %d of %s failed:\n%s\n", i, program, run.err.c_str());
            std::filesystem::remove_all(home);
            return 1;
        }
        first_frame.push_back(run.first_frame_ms);
        exit_time.push_back(run.exit_ms);
        rss_mb.push_back(static_cast<double>(run.rss_kb) / 1024.0);
    }
    std::filesystem::remove_all(home);

    const double median = percentile(first_frame, 0.5);
    const double rss = percentile(rss_mb, 0.5);
    std::printf("start-up of %s --backend=headless, %d runs\n", program, runs);
    std::printf("  to the first painted frame: median %.1f ms (goal <= 150: %s), min %.1f ms, "
                "max %.1f ms\n",
                median, median <= 150.0 ? "met" : "MISSED", percentile(first_frame, 0.0),
                percentile(first_frame, 1.0));
    std::printf("  to the exit that follows:   median %.1f ms\n", percentile(exit_time, 0.5));
    std::printf("  VmRSS at the first frame:   median %.1f MB (goal <= 40: %s), max %.1f MB\n", rss,
                rss <= 40.0 ? "met" : "MISSED", percentile(rss_mb, 1.0));
    return 0;
}
