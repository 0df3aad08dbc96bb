// The arm controller as a person at a desk runs it: the real program on the
// X display, its port COM1 a pseudo-terminal whose far end this test reads.

#include "XRequests.h"

#include <platform/process/ChildProcess.h>
#include <tests/support/PtyPair.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace test_support {

using namespace platform;
namespace {

// Bytes up to and including the next servo letter, waiting up to
// `limit_ms`; empty when none came.
std::string next_command(test_support::PtyPair& arm, int limit_ms = 3000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    std::string command;
    while (command.find_first_of("abcd") == std::string::npos) {
        auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        std::string byte = left.count() > 0 ? arm.read(1, left) : std::string();
        if (byte.empty())
            return {};
        command += byte;
    }
    return command;
}

int number_of(const std::string& command) {
    return std::atoi(command.substr(0, command.size() - 1).c_str());
}

TEST(ArmController, OnTheDesktopTheGripperSliderDrivesTheArm) {
    if (!have_display())
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    // The arm's end of the line, kept up while the program opens its port.
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    ASSERT_TRUE(arm.ok());
    std::string home = ::testing::TempDir() + "armctl-desk-" + std::to_string(getpid());
    std::filesystem::create_directories(home);

    ProcessOptions options;
    options.set_env = {"ARMCTL_COM1=" + arm.slave_path(), "HOME=" + home,
                       "XDG_CONFIG_HOME=" + home + "/config"};
    options.unset_env = {"ARMCTL_BACKEND"};
    ChildProcess program({ARMCTL_PROGRAM_PATH}, options);
    ASSERT_TRUE(program.started());
    ProcessOptions search;
    search.limit_ms = 15000;
    ProcessResult found = run_process(
        {"xdotool", "search", "--sync", "--onlyvisible", "--name", "Robotic arm controller"},
        search);
    ASSERT_TRUE(found.finished) << "the window never appeared";
    ASSERT_EQ(found.exit_status, 0);
    unsigned long xid = std::stoul(found.out);
    std::string window = std::to_string(xid);

    // The picture a person sees first, kept with the build.
    std::filesystem::create_directories(ARMCTL_SCREENSHOT_DIR);
    Shot shot = save_window_png(xid, std::string(ARMCTL_SCREENSHOT_DIR) + "/arm-controller.png");
    EXPECT_GT(shot.width, 900);
    EXPECT_GT(shot.height, 600);

    // Open (its design position is in client coordinates, which the X
    // window shows), then give the Gripper slider the focus with a click on
    // its thumb and move it one step each way with the keyboard.
    run_process({"xdotool", "mousemove", "--window", window, "208", "56", "click", "1"});
    run_process({"xdotool", "mousemove", "--window", window, "177", "129", "click", "1"});
    arm.drain(std::chrono::milliseconds(300));
    run_process({"xdotool", "key", "--window", window, "Right"});
    std::string up = next_command(arm);
    ASSERT_FALSE(up.empty()) << "no command reached the arm";
    EXPECT_EQ(up.back(), 'a');
    run_process({"xdotool", "key", "--window", window, "Left"});
    std::string down = next_command(arm);
    ASSERT_FALSE(down.empty());
    EXPECT_EQ(down, std::to_string(number_of(up) - 1) + "a");

    ASSERT_TRUE(send_delete_request(xid));
    ProcessResult r = program.wait_for_exit(5000);
    ASSERT_TRUE(r.finished) << "the program did not end after the close request";
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
}

} // namespace
} // namespace test_support
