// The arm controller and the virtual arm together, as scripts/run.sh starts
// them on a machine with no serial device: the arm plays COM1 and runs the
// controller as its child; a person clicks and types; the arm reports every
// command it received as a line of JSON.

#include "XRequests.h"
#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace test_support {

using namespace platform;
namespace {

struct Received {
    char servo;
    int value;
    long gap_ms;
};

// The command lines of the arm's report, in order.
std::vector<Received> commands_in(const std::string& report) {
    static const std::regex line(
        R"re(\{"t_ms":\d+,"servo":"([abcd])","value":(-?\d+),"clamped":(?:true|false),"gap_ms":(null|\d+)\})re");
    std::vector<Received> commands;
    std::istringstream in(report);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line))
            commands.push_back({m[1].str()[0], std::stoi(m[2].str()),
                                m[3].str() == "null" ? -1 : std::stol(m[3].str())});
    }
    return commands;
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!have_display())
            GTEST_SKIP() << "needs an X display; run under xvfb-run";
        m_home = ::testing::TempDir() + "armctl-e2e-" + std::to_string(getpid());
        std::filesystem::create_directories(m_home);
        m_options.set_env = {"HOME=" + m_home, "XDG_CONFIG_HOME=" + m_home + "/config"};
        m_options.unset_env = {"ARMCTL_BACKEND", "ARMCTL_COM1"};
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_home, ignored);
    }
    // Finds the controller's window once it shows.
    bool find_window() {
        ProcessOptions search;
        search.limit_ms = 15000;
        ProcessResult found = run_process(
            {"xdotool", "search", "--sync", "--onlyvisible", "--name", "Robotic arm controller"},
            search);
        if (!found.finished || found.exit_status != 0)
            return false;
        m_xid = std::stoul(found.out);
        return true;
    }
    // A click at a point of the window's client area (design coordinates).
    void click(int x, int y) {
        run_process({"xdotool", "mousemove", "--window", std::to_string(m_xid), std::to_string(x),
                     std::to_string(y), "click", "1"});
    }
    void keys(const std::vector<std::string>& names) {
        std::vector<std::string> args = {"xdotool", "key", "--window", std::to_string(m_xid)};
        args.insert(args.end(), names.begin(), names.end());
        run_process(args);
    }
    // Presses the default button of the message box that is showing.
    bool answer_message_box() {
        ProcessOptions search;
        search.limit_ms = 10000;
        ProcessResult found = run_process(
            {"xdotool", "search", "--sync", "--onlyvisible", "--name", "信息："}, search);
        if (!found.finished || found.exit_status != 0)
            return false;
        run_process(
            {"xdotool", "key", "--window", found.out.substr(0, found.out.find('\n')), "Return"});
        return true;
    }

    std::string m_home;
    ProcessOptions m_options;
    unsigned long m_xid = 0;
};

// Design positions: Open (168, 40, 80, 32), Add (20, 392, 80, 32), Run (112,
// 392, 80, 32), the Gripper's minimum box (78, 151, 24, 16), the cycles box
// (88, 559, 80, 20).
constexpr int OpenX = 208, OpenY = 56;
constexpr int AddX = 60, AddY = 408;
constexpr int RunX = 152, RunY = 408;
constexpr int MinimumX = 90, MinimumY = 159;
constexpr int CyclesX = 150, CyclesY = 569;

TEST_F(EndToEnd, ThreeRecordedPosesArePlayedBackOnTheVirtualArm) {
    ChildProcess pair({ARMCTL_ARM_PATH, "--headless", "--com", "1", "--", ARMCTL_PROGRAM_PATH},
                      m_options);
    ASSERT_TRUE(pair.started());
    ASSERT_TRUE(find_window());
    click(OpenX, OpenY);
    click(AddX, AddY);
    // Raising the Gripper's minimum above its position moves the slider.
    click(MinimumX, MinimumY);
    keys({"End", "BackSpace", "BackSpace", "8", "5"});
    click(AddX, AddY);
    click(MinimumX, MinimumY);
    keys({"End", "BackSpace", "BackSpace", "9", "0"});
    click(AddX, AddY);
    click(RunX, RunY);
    ASSERT_TRUE(answer_message_box()) << "the playback's closing box never showed";
    ASSERT_TRUE(send_delete_request(m_xid));
    ProcessResult r = pair.wait_for_exit(10000);
    ASSERT_TRUE(r.finished) << "the arm and the controller did not end together";
    EXPECT_EQ(r.exit_status, 0) << r.err;

    std::vector<Received> commands = commands_in(r.out);
    ASSERT_EQ(commands.size(), 2u + 12u) << r.out;
    // Before the playback: one command for each move the minimum made.
    EXPECT_EQ(commands[0].servo, 'a');
    EXPECT_EQ(commands[0].value, 85);
    EXPECT_EQ(commands[1].servo, 'a');
    EXPECT_EQ(commands[1].value, 90);
    const int recorded[3] = {80, 85, 90};
    // The playback: three rows of four commands, a step interval apart.
    for (int row = 0; row < 3; ++row) {
        const Received* step = &commands[commands.size() - 12 + row * 4];
        const int expected[4] = {recorded[row], 100, 80, 120};
        for (int servo = 0; servo < 4; ++servo) {
            EXPECT_EQ(step[servo].servo, "abcd"[servo]);
            EXPECT_EQ(step[servo].value, expected[servo]) << "row " << row + 1;
        }
        if (row > 0) {
            EXPECT_GE(step[0].gap_ms, 90) << "row " << row + 1 << " came early";
        }
    }
    EXPECT_NE(r.out.find("\"summary\":{\"commands\":14,"), std::string::npos) << r.out;
}

TEST_F(EndToEnd, ClosingTheWindowDuringAPlaybackEndsTheProgramWithZero) {
    ChildProcess pair({ARMCTL_ARM_PATH, "--headless", "--com", "1", "--", ARMCTL_PROGRAM_PATH},
                      m_options);
    ASSERT_TRUE(pair.started());
    ASSERT_TRUE(find_window());
    click(OpenX, OpenY);
    click(AddX, AddY);
    // A thousand passes over one row: a playback of a hundred seconds.
    click(CyclesX, CyclesY);
    keys({"End", "BackSpace", "1", "0", "0", "0"});
    click(RunX, RunY);
    // Still playing a second later: no closing box has shown.
    ProcessOptions second;
    second.limit_ms = 1000;
    ProcessResult box =
        run_process({"xdotool", "search", "--sync", "--onlyvisible", "--name", "信息："}, second);
    EXPECT_FALSE(box.finished) << "the playback ended by itself";
    ASSERT_TRUE(send_delete_request(m_xid));
    ProcessResult r = pair.wait_for_exit(10000);
    ASSERT_TRUE(r.finished) << "the program did not end after the close request";
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::vector<Received> commands = commands_in(r.out);
    // About ten passes of one row in that second.
    ASSERT_GE(commands.size(), 4u * 5u) << r.out;
    EXPECT_LT(commands.size(), 400u) << "the playback ran on after the window closed";
}

} // namespace
} // namespace test_support
