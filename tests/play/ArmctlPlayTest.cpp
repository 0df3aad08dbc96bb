// armctl-play as a program: its answers to bad input, its dry run, and
// playbacks on pseudo-terminals that stand in for the arm's line.

#include <platform/process/ChildProcess.h>
#include <tests/support/PtyPair.h>

#include <platform/serial/SerialDevice.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::ChildProcess;
using platform::ProcessOptions;
using platform::ProcessResult;
using test_support::PtyPair;

class ArmctlPlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/armctl-play-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        m_home = pattern;
        fs::create_directories(m_home + "/config");
    }
    void TearDown() override { fs::remove_all(m_home); }

    std::string file(const std::string& bytes, const char* name = "poses.txt") {
        std::string path = m_home + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    ProcessOptions options(std::vector<std::string> env = {}) const {
        ProcessOptions o;
        o.limit_ms = 10000;
        o.unset_env = {"ARMCTL_COM1", "ARMCTL_COM2"};
        o.set_env = {"XDG_CONFIG_HOME=" + m_home + "/config", "HOME=" + m_home};
        o.set_env.insert(o.set_env.end(), env.begin(), env.end());
        return o;
    }
    ProcessResult play(std::vector<std::string> args, std::vector<std::string> env = {}) {
        args.insert(args.begin(), ARMCTL_PLAY);
        return platform::run_process(args, options(std::move(env)));
    }

    std::string m_home;
};

const std::string ThreeRows = "80,100,80,120\r\n90,110,70,130\r\n,95,,\r\n";

TEST_F(ArmctlPlayTest, BadArgumentsAndUnreadableFilesEndWithOneAndTheReason) {
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{}, "no FILE to play"},
        {{"f", "--speed", "fast"}, "--speed takes a number"},
        {{m_home + "/missing.txt"}, "missing.txt: No such file or directory"},
        {{m_home}, "is a folder, not an action file"},
        {{"/dev/null"}, "is not a regular file"},
    };
    for (const Case& c : cases) {
        ProcessResult r = play(c.args);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exit_status, 1) << c.said;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(ArmctlPlayTest, AFileWithNoRowToPlaySaysSoAndSucceedsWithoutAPort) {
    // Read by the window's rules, none of these has a row before a blank one.
    for (const std::string& bytes : {std::string(), std::string("\r\n80,100,80,120\r\n"),
                                     '\0' + ThreeRows, std::string(",,,\r\n")}) {
        ProcessResult r = play({file(bytes), "--device", m_home + "/no-such-device"});
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exit_status, 0) << r.err;
        EXPECT_NE(r.err.find("no row to play"), std::string::npos) << r.err;
    }
}

TEST_F(ArmctlPlayTest, PortsThatCannotBeOpenedEndWithTwoAndTheReason) {
    std::string poses = file(ThreeRows);
    PtyPair held;
    platform::serial::SerialDevice holder;
    platform::serial::OpenError error;
    ASSERT_TRUE(holder.open(held.slave_path(), error));
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::string said;
    };
    const std::vector<Case> cases = {
        {{"--device", m_home + "/ttyUSB9"}, {}, "ttyUSB9: no such device"},
        {{"--device", "/dev/null"}, {}, "/dev/null: not a serial device"},
        {{"--device", held.slave_path()}, {}, "held by another program"},
        {{"--com", "2"},
         {"ARMCTL_COM2=" + held.slave_path()},
         "COM2 \xE2\x86\x92 " + held.slave_path() + ": held by another program"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {poses};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ProcessResult r = play(args, c.env);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exit_status, 2) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
}

TEST_F(ArmctlPlayTest, DryRunPrintsEachStepAndItsTime) {
    ProcessResult r = play({file(ThreeRows), "--dry-run", "--speed", "19", "--cycles", "2",
                            "--device", "/nonexistent"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(r.out, "     0.000 s  pass 1/2  row   1  80a100b80c120d\n"
                     "     0.100 s  pass 1/2  row   2  90a110b70c130d\n"
                     "     0.200 s  pass 1/2  row   3  a95bcd\n"
                     "     0.300 s  pass 2/2  row   1  80a100b80c120d\n"
                     "     0.400 s  pass 2/2  row   2  90a110b70c130d\n"
                     "     0.500 s  pass 2/2  row   3  a95bcd\n"
                     "     0.600 s  end\n");

    ProcessResult json = play({file(ThreeRows), "--dry-run", "--json", "--interval", "7"});
    EXPECT_EQ(json.exit_status, 0) << json.err;
    EXPECT_EQ(json.out, "{\"pass\":1,\"row\":1,\"command\":\"80a100b80c120d\",\"t_ms\":0.000}\n"
                        "{\"pass\":1,\"row\":2,\"command\":\"90a110b70c130d\",\"t_ms\":7.000}\n"
                        "{\"pass\":1,\"row\":3,\"command\":\"a95bcd\",\"t_ms\":14.000}\n"
                        "{\"end\":\"planned\",\"t_ms\":21.000}\n");
}

TEST_F(ArmctlPlayTest, PlaysEveryRowAsOneWholeCommandThroughThePortMap) {
    PtyPair arm(PtyPair::SlaveEnd::KeptOpen);
    ProcessResult r =
        play({file(ThreeRows), "--com", "1", "--interval", "20", "--cycles", "2", "--json"},
             {"ARMCTL_COM1=" + arm.slave_path()});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(arm.next_is("80a100b80c120d90a110b70c130da95bcd"
                            "80a100b80c120d90a110b70c130da95bcd"));
    EXPECT_EQ(arm.read(1, std::chrono::milliseconds(50)), "") << "nothing more";
    EXPECT_NE(r.out.find("{\"pass\":2,\"row\":3,\"command\":\"a95bcd\",\"t_ms\":"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"end\":\"played\",\"rows_sent\":6,\"last_pass\":2,\"last_row\":3}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("played " + m_home + "/poses.txt: 6 rows sent"), std::string::npos)
        << r.err;
}

TEST_F(ArmctlPlayTest, AStopSignalEndsAfterTheWriteAndSaysHowFarItGot) {
    for (int number : {SIGINT, SIGTERM}) {
        PtyPair arm(PtyPair::SlaveEnd::KeptOpen);
        ChildProcess child({ARMCTL_PLAY, file(ThreeRows), "--device", arm.slave_path(), "--forever",
                            "--interval", "30", "--json"},
                           options());
        ASSERT_TRUE(child.started());
        // Stopped somewhere in its second pass.
        ASSERT_TRUE(child.wait_for_output(
            [](const std::string& out) {
                return out.find("\"pass\":2,\"row\":1,") != std::string::npos;
            },
            10000));
        ASSERT_TRUE(child.signal(number));
        ProcessResult r = child.wait_for_exit(10000);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exit_status, 128 + number);
        std::string name = number == SIGINT ? "SIGINT" : "SIGTERM";
        EXPECT_NE(r.err.find("stopped by " + name + " after pass "), std::string::npos) << r.err;

        // Whatever it sent is whole rows, as many as it says.
        const std::string end = "{\"end\":\"stopped\",\"rows_sent\":";
        auto at = r.out.find(end);
        ASSERT_NE(at, std::string::npos) << r.out;
        int sent = std::stoi(r.out.substr(at + end.size()));
        std::string expected;
        const char* pass[] = {"80a100b80c120d", "90a110b70c130d", "a95bcd"};
        for (int i = 0; i < sent; ++i)
            expected += pass[i % 3];
        EXPECT_GE(sent, 4);
        EXPECT_EQ(arm.read(expected.size() + 1, std::chrono::milliseconds(200)), expected);
    }
}

TEST_F(ArmctlPlayTest, ALineLostDuringThePlaybackEndsWithThree) {
    PtyPair arm;
    ChildProcess child(
        {ARMCTL_PLAY, file(ThreeRows), "--device", arm.slave_path(), "--interval", "200", "--json"},
        options());
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(arm.next_is("80a100b80c120d"));
    arm.close_master();
    ProcessResult r = child.wait_for_exit(10000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 3) << r.err;
    EXPECT_NE(r.err.find("the line to " + arm.slave_path() + " was lost after pass 1, row 1"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("{\"pass\":1,\"row\":2,\"command\":\"90a110b70c130d\",\"t_ms\":"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"sent\":false}"), std::string::npos) << r.out;
}

TEST_F(ArmctlPlayTest, HelpAndVersion) {
    ProcessResult version = play({"--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out.rfind("armctl-play ", 0), 0u) << version.out;
    ProcessResult help = play({"--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("--dry-run"), std::string::npos);
}

} // namespace
