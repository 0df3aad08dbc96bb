// The controller in this process and the virtual arm as a separate program,
// headless both: the arm publishes COM1 in the port map, the controller
// opens it by that name, records three poses and plays them; the arm's
// report says what it received and when.

#include "AppFixture.h"
#include <platform/process/ChildProcess.h>
#include <tests/support/SteppedTime.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <platform/window/Styles.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace test_support;
using namespace app;

namespace {

namespace fs = std::filesystem;

struct Received {
    char servo;
    int value;
    bool clamped;
    long gap_ms; // -1 for the first command
};

const std::regex& command_line() {
    static const std::regex line(
        R"re(\{"t_ms":\d+,"servo":"([abcd])","value":(-?\d+),"clamped":(true|false),"gap_ms":(null|\d+)\})re");
    return line;
}

std::vector<Received> commands_in(const std::string& report) {
    std::vector<Received> commands;
    std::istringstream in(report);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, command_line()))
            commands.push_back({m[1].str()[0], std::stoi(m[2].str()), m[3].str() == "true",
                                m[4].str() == "null" ? -1 : std::stol(m[4].str())});
    }
    return commands;
}

class ArmPlaybackTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        // The port is found through the port map's entry, as on a machine
        // where the arm program was started by hand.
        m_env.set("ARMCTL_COM1", std::nullopt);
    }
    fs::path entry() const { return fs::path(m_home) / "config/armctl/ports/COM1"; }
};

TEST_F(ArmPlaybackTest, ThreeRecordedRowsReachTheVirtualArmAStepApart) {
    platform::ProcessOptions options;
    options.unset_env = {"ARMCTL_COM1", "ARMCTL_BACKEND"};
    platform::ChildProcess arm({ARMCTL_ARM_PROGRAM, "--headless", "--com", "1"}, options);
    ASSERT_TRUE(arm.started());
    ASSERT_TRUE(test_support::wait_for([&] {
        std::error_code ignored;
        return fs::is_symlink(entry(), ignored);
    })) << "the arm never published COM1";

    start();
    // Three poses, the Gripper a step further each time; the port is still
    // closed, so nothing is sent yet.
    click(RecordButton);
    key(Servos[Gripper].slider, platform::VK_RIGHT);
    click(RecordButton);
    key(Servos[Gripper].slider, platform::VK_RIGHT);
    click(RecordButton);
    click(PortButton);
    ASSERT_EQ(status_text(), gbk("Port：Open"));
    EXPECT_EQ(state().step_interval, 100);
    {
        // The arm times what it receives on the real clock, so the
        // playback's waits must last as long on it.
        test_support::ClockFollowingRealTime follow;
        click(RunButton);
    }
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});

    // Every command is reported before the arm is stopped, so none can be
    // lost to the stop.
    ASSERT_TRUE(arm.wait_for_output(
        [](const std::string& out) { return commands_in(out).size() >= 12; }, 10000));
    ASSERT_TRUE(arm.signal(SIGTERM));
    platform::ProcessResult r = arm.wait_for_exit(10000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 128 + SIGTERM) << r.err;

    std::vector<Received> commands = commands_in(r.out);
    ASSERT_EQ(commands.size(), 12u) << r.out;
    int paced_ms = 0;
    for (int row = 0; row < 3; ++row) {
        const Received* step = &commands[static_cast<std::size_t>(row) * 4];
        const int expected[4] = {80 + row, 100, 80, 120};
        for (int servo = 0; servo < 4; ++servo) {
            EXPECT_EQ(step[servo].servo, "abcd"[servo]) << "row " << row + 1;
            EXPECT_EQ(step[servo].value, expected[servo]) << "row " << row + 1;
            EXPECT_FALSE(step[servo].clamped);
        }
        // A row is one write; rows are a step interval apart (the machine
        // may be slow, never early by more than the clock's granularity).
        // The arm stamps a row when it reads it, and on a loaded machine a
        // reading can come late: that gap grows and the next one shrinks
        // by as much, so each gap is held loosely and their sum exactly.
        if (row == 0) {
            EXPECT_EQ(step[0].gap_ms, -1);
        } else {
            EXPECT_GE(step[0].gap_ms, 50) << "row " << row + 1;
            EXPECT_LE(step[0].gap_ms, 500) << "row " << row + 1;
            paced_ms += step[0].gap_ms;
        }
    }
    EXPECT_GE(paced_ms, 2 * 95) << "three rows, two step intervals";
    EXPECT_NE(r.out.find(R"({"summary":{"commands":12,"empty_commands":0,"garbage_bytes":0,)"
                         R"("last":{"a":82,"b":100,"c":80,"d":120}}})"),
              std::string::npos)
        << r.out;
    // The arm took its entry out of the port map when it stopped.
    std::error_code ignored;
    EXPECT_FALSE(fs::exists(fs::symlink_status(entry(), ignored)));
}

} // namespace
