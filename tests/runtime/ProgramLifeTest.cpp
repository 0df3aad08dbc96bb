// Start-up and the roads out of a program, watched from outside: the probe
// program runs as a child on the headless display with a time limit.

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <string>

namespace {

platform::ProcessResult run_program(const std::string& scenario) {
    // The time limit is the watchdog: a loop that never ends fails the test.
    platform::ProcessOptions options;
    options.limit_ms = 10000;
    platform::ProcessResult run = platform::run_process(
        {ARMCTL_WINDOW_PROGRAM_PROBE, scenario, "--backend=headless"}, options);
    EXPECT_TRUE(run.finished) << run.error;
    return run;
}

TEST(ProgramLife, ClosingTheOnlyWindowEndsWithCodeZeroAfterTheExitRoutineRanOnce) {
    auto run = run_program("close");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, "exit routine\n");
}

TEST(ProgramLife, ShutdownRequestedFromAnotherThreadRunsOnTheMainThread) {
    auto run = run_program("thread");
    EXPECT_EQ(run.exit_status, 7);
    EXPECT_EQ(run.out, "exit routine\n");
}

} // namespace
