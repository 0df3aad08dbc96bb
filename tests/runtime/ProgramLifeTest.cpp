// Start-up and the roads out of a program, watched from outside: the probe
// program runs as a child on the headless display with a time limit.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct ProgramRun {
    int exit_code = -1;
    std::string out;
};

ProgramRun run_program(const std::string& scenario) {
    // The time limit is the watchdog: a loop that never ends fails the test.
    std::string command = "timeout 10 " + std::string(ARMCTL_WINDOW_PROGRAM_PROBE) + " " +
                          scenario + " --backend=headless 2>/dev/null";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int status = pclose(pipe);
    if (WIFEXITED(status))
        run.exit_code = WEXITSTATUS(status);
    return run;
}

TEST(ProgramLife, ClosingTheOnlyWindowEndsWithCodeZeroAfterTheExitRoutineRanOnce) {
    auto run = run_program("close");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "exit routine\n");
}

TEST(ProgramLife, ShutdownRequestedFromAnotherThreadRunsOnTheMainThread) {
    auto run = run_program("thread");
    EXPECT_EQ(run.exit_code, 7);
    EXPECT_EQ(run.out, "exit routine\n");
}

} // namespace
