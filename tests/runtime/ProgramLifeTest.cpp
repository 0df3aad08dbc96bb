// Start-up and the roads out of a program, watched from outside: the probe
// program runs as a child on the headless display with a time limit.

#include "tests/support/RunChild.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

using ProgramRun = armctl::testing::ChildRun;

ProgramRun run_program(const std::string& scenario) {
    // The time limit is the watchdog: a loop that never ends fails the test.
    std::string command = "timeout 10 " + std::string(ARMCTL_WINDOW_PROGRAM_PROBE) + " " +
                          scenario + " --backend=headless 2>/dev/null";
    return armctl::testing::run_child(command);
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
