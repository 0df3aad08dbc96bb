// The built arm program, run as a child with a started program of its own
// playing the controller.

#include "platform/process/ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ArmProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/armctl-arm-program-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_config = name;
    }
    void TearDown() override { fs::remove_all(m_config); }

    // Runs the arm headless as COM2 with `script` as its started program.
    platform::ProcessResult run(const std::string& script) const {
        return arm({"--headless", "--com", "2", "--", "sh", "-c", script});
    }
    // Runs the arm with these arguments, its standard error merged into the
    // output when `merged`.
    platform::ProcessResult arm(const std::vector<std::string>& arguments,
                                bool merged = false) const {
        std::vector<std::string> argv = {ARMCTL_ARM_PROGRAM};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        platform::ProcessOptions options;
        options.set_env = {"XDG_CONFIG_HOME=" + m_config.string()};
        options.limit_ms = 10000;
        if (merged)
            options.output = platform::ProcessOptions::Output::Merged;
        platform::ProcessResult r = platform::run_process(argv, options);
        EXPECT_TRUE(r.finished) << r.error;
        return r;
    }
    fs::path entry() const { return m_config / "armctl" / "ports" / "COM2"; }

    fs::path m_config;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The command lines without their times, which depend on the machine.
std::vector<std::string> without_times(const std::vector<std::string>& json) {
    static const std::regex times(R"("t_ms":\d+|,"gap_ms":(null|\d+))");
    std::vector<std::string> out;
    for (const std::string& line : json)
        out.push_back(std::regex_replace(line, times, ""));
    return out;
}

TEST_F(ArmProgramTest, PlaybackOfThreeRowsAsJsonLines) {
    // The started program checks that the port map and its environment name
    // the same line, then plays three rows, one write each.
    auto child = run(
        R"sh(test "$(readlink "$XDG_CONFIG_HOME/armctl/ports/COM2")" = "$ARMCTL_COM2" && echo linked
printf 80a100b80c120d > "$ARMCTL_COM2"
printf 90a100b80c120d > "$ARMCTL_COM2"
printf 90a40b140c200d > "$ARMCTL_COM2")sh");
    EXPECT_EQ(child.exit_status, 0);
    std::vector<std::string> out = lines(child.out);
    ASSERT_EQ(out.size(), 14u) << child.out;
    EXPECT_EQ(out[0], "linked");
    std::vector<std::string> commands(out.begin() + 1, out.end() - 1);
    std::vector<std::string> expected;
    const char* rows[3][4] = {
        {"80", "100", "80", "120"}, {"90", "100", "80", "120"}, {"90", "40", "140", "200"}};
    for (auto& row : rows) {
        for (int s = 0; s < 4; ++s) {
            bool clamped = std::string(row[s]) == "200";
            expected.push_back(std::string(R"({,"servo":")") + char('a' + s) + R"(","value":)" +
                               row[s] + ",\"clamped\":" + (clamped ? "true" : "false") + "}");
        }
    }
    EXPECT_EQ(without_times(commands), expected);
    // Times grow; the first gap is null and the four commands of a row come
    // in one write, so within a row the gap is 0.
    std::regex fields(R"(\{"t_ms":(\d+),.*"gap_ms":(null|\d+)\})");
    long previous = -1;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(commands[i], m, fields)) << commands[i];
        long t = std::stol(m[1]);
        EXPECT_GE(t, previous);
        if (i == 0)
            EXPECT_EQ(m[2], "null");
        else if (i % 4 != 0)
            EXPECT_EQ(m[2], "0");
        else
            EXPECT_EQ(std::stol(m[2]), t - previous);
        previous = t;
    }
    EXPECT_EQ(out.back(), R"({"summary":{"commands":12,"empty_commands":0,"garbage_bytes":0,)"
                          R"("last":{"a":90,"b":40,"c":140,"d":200}}})");
    EXPECT_FALSE(fs::exists(fs::symlink_status(entry())));
}

TEST_F(ArmProgramTest, TheEntryIsWithdrawnAfterSigterm) {
    auto child = run(R"sh(test -L "$XDG_CONFIG_HOME/armctl/ports/COM2" && echo linked
printf 5a > "$ARMCTL_COM2"
kill -TERM $PPID
exec sleep 600)sh");
    EXPECT_EQ(child.exit_status, 128 + 15);
    std::vector<std::string> out = lines(child.out);
    ASSERT_EQ(out.size(), 3u) << child.out;
    EXPECT_EQ(out[0], "linked");
    EXPECT_EQ(out[2], R"({"summary":{"commands":1,"empty_commands":0,"garbage_bytes":0,)"
                      R"("last":{"a":5,"b":null,"c":null,"d":null}}})");
    EXPECT_FALSE(fs::exists(fs::symlink_status(entry())));
}

TEST_F(ArmProgramTest, TheStartedProgramsExitCodeIsTheArms) {
    EXPECT_EQ(run("exit 7").exit_status, 7);
}

TEST_F(ArmProgramTest, AUsersOwnMappingIsNotTakenOver) {
    fs::create_directories(entry().parent_path());
    fs::create_symlink("/dev/null", entry());
    auto child = arm({"--headless", "--com", "2"}, true);
    EXPECT_EQ(child.exit_status, 1);
    EXPECT_NE(child.out.find("already maps the port to /dev/null"), std::string::npos) << child.out;
    EXPECT_EQ(fs::read_symlink(entry()), "/dev/null");
}

TEST_F(ArmProgramTest, ABadCommandLineIsRefused) {
    auto child = arm({"--com", "0"}, true);
    EXPECT_EQ(child.exit_status, 2);
    EXPECT_NE(child.out.find("usage: armctl-arm"), std::string::npos) << child.out;
}

} // namespace
