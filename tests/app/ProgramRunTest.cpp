// The arm controller executable itself, started as a user or the start-up
// benchmark starts it.

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

namespace {

// A scratch home, so that nothing of the user's is read or written.
class ProgramRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/armctl-run-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        m_home = pattern;
        m_options.set_env = {"HOME=" + m_home, "XDG_CONFIG_HOME=" + m_home + "/config",
                             "XDG_DATA_HOME=" + m_home + "/data"};
        // The time limit only keeps a program that never quits from stalling
        // the run; it finishes in a fraction of a second.
        m_options.limit_ms = 60000;
    }
    void TearDown() override { std::filesystem::remove_all(m_home); }

    std::string m_home;
    platform::ProcessOptions m_options;
};

TEST_F(ProgramRun, HeadlessWithExitAfterFirstFrameReportsThePaintedFrameAndEndsWithZero) {
    m_options.set_env.push_back("ARMCTL_EXIT_AFTER_FIRST_FRAME=1");
    platform::ProcessResult run =
        platform::run_process({ARMCTL_PATH, "--backend=headless"}, m_options);
    ASSERT_TRUE(run.finished) << run.error;
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.err, std::regex("first frame: [0-9]+ ns, VmRSS [0-9]+ kB\n")))
        << run.err;
}

TEST_F(ProgramRun, WithoutADisplayItSaysSoAndFailsInsteadOfFallingBackToHeadless) {
    m_options.unset_env = {"DISPLAY", "WAYLAND_DISPLAY", "ARMCTL_BACKEND"};
    platform::ProcessResult run = platform::run_process({ARMCTL_PATH}, m_options);
    ASSERT_TRUE(run.finished) << run.error;
    EXPECT_NE(run.exit_status, 0);
    EXPECT_EQ(run.err, "no display available; set DISPLAY or run with --backend=headless\n");
    EXPECT_EQ(run.out, "");
}

} // namespace
