// The arm controller as a person at a desk runs it: the real program on the
// X display, its port COM1 a pseudo-terminal whose far end this test reads.

#include "XRequests.h"
#include <tests/support/ProcessRunner.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace platform::testing {
namespace {

bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

// The arm's end of the line.
class ArmLine {
  public:
    ArmLine() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_device = ptsname(m_master);
        // Held open so that the master never sees a hang-up between opens.
        m_slave = open(m_device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios settings{};
        if (m_slave >= 0 && tcgetattr(m_slave, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_slave, TCSANOW, &settings);
        }
    }
    ~ArmLine() {
        if (m_slave >= 0)
            close(m_slave);
        if (m_master >= 0)
            close(m_master);
    }
    ArmLine(const ArmLine&) = delete;
    ArmLine& operator=(const ArmLine&) = delete;

    const std::string& device() const { return m_device; }

    // Bytes up to and including the next servo letter, waiting up to
    // `limit_ms`; empty when none came.
    std::string next_command(int limit_ms = 3000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
        for (;;) {
            auto letter = m_pending.find_first_of("abcd");
            if (letter != std::string::npos) {
                std::string command = m_pending.substr(0, letter + 1);
                m_pending.erase(0, letter + 1);
                return command;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            end - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0)
                return {};
            pollfd ready{m_master, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(left)) <= 0)
                continue;
            char buffer[256];
            ssize_t n = read(m_master, buffer, sizeof buffer);
            if (n > 0)
                m_pending.append(buffer, static_cast<std::size_t>(n));
        }
    }
    // Forgets what has arrived by now and what arrives within `ms`.
    void drain(int ms) {
        while (!next_command(ms).empty()) {
        }
        m_pending.clear();
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_device;
    std::string m_pending;
};

int number_of(const std::string& command) {
    return std::atoi(command.substr(0, command.size() - 1).c_str());
}

TEST(ArmController, OnTheDesktopTheGripperSliderDrivesTheArm) {
    if (!have_display())
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    ArmLine arm;
    ASSERT_FALSE(arm.device().empty());
    std::string home = ::testing::TempDir() + "armctl-desk-" + std::to_string(getpid());
    std::filesystem::create_directories(home);

    ProcessOptions options;
    options.set_env = {"ARMCTL_COM1=" + arm.device(), "HOME=" + home,
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
    arm.drain(300);
    run_process({"xdotool", "key", "--window", window, "Right"});
    std::string up = arm.next_command();
    ASSERT_FALSE(up.empty()) << "no command reached the arm";
    EXPECT_EQ(up.back(), 'a');
    run_process({"xdotool", "key", "--window", window, "Left"});
    std::string down = arm.next_command();
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
} // namespace platform::testing
