// The arm controller executable itself, started headless as the start-up
// benchmark starts it.

#include <tests/support/RunChild.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

namespace {

TEST(ProgramRun, HeadlessWithExitAfterFirstFrameReportsThePaintedFrameAndEndsWithZero) {
    char pattern[] = "/tmp/armctl-run-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string home = pattern;
    // The time-out only keeps a program that never quits from stalling the
    // run; it finishes in a fraction of a second.
    const std::string command =
        "HOME=" + home + " XDG_CONFIG_HOME=" + home + "/config XDG_DATA_HOME=" + home +
        "/data ARMCTL_EXIT_AFTER_FIRST_FRAME=1 timeout 60 " ARMCTL_PATH " --backend=headless 2>&1";
    armctl::testing::ChildRun run = armctl::testing::run_child(command);
    std::filesystem::remove_all(home);
    EXPECT_EQ(run.exit_code, 0) << run.out;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("first frame: [0-9]+ ns, VmRSS [0-9]+ kB\n")))
        << run.out;
}

} // namespace
