#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ArmctlPortsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_home = fs::temp_directory_path() / ("armctl-ports-tool-" + std::to_string(getpid()));
        fs::remove_all(m_home);
        fs::create_directories(m_home);
    }
    void TearDown() override { fs::remove_all(m_home); }

    // Runs the tool with its standard error merged into the output; `set_env`
    // adds to a port map of the tool's own.
    platform::ProcessResult tool(const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& set_env = {}) const {
        std::vector<std::string> argv = {ARMCTL_PORTS_TOOL};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        platform::ProcessOptions options;
        options.unset_env = {"ARMCTL_COM1", "ARMCTL_COM2", "ARMCTL_COM3", "ARMCTL_COM7"};
        options.set_env = set_env;
        options.set_env.push_back("XDG_CONFIG_HOME=" + m_home.string());
        options.output = platform::ProcessOptions::Output::Merged;
        platform::ProcessResult r = platform::run_process(argv, options);
        EXPECT_TRUE(r.finished) << r.error;
        return r;
    }

    fs::path m_home;
};

std::string line_of(const std::string& out, const std::string& com) {
    auto at = out.find(com + " ");
    if (at == std::string::npos)
        return {};
    return out.substr(at, out.find('\n', at) - at);
}

} // namespace

TEST_F(ArmctlPortsTest, SetShowsAndClearsAnEntry) {
    auto set = tool({"set", "COM7", "/dev/null"});
    EXPECT_EQ(set.exit_status, 0) << set.out;
    EXPECT_EQ(fs::read_symlink(m_home / "armctl/ports/COM7"), "/dev/null");

    auto shown = tool({}, {"ARMCTL_COM2=/dev/pts/77"});
    EXPECT_EQ(shown.exit_status, 0);
    EXPECT_NE(line_of(shown.out, "COM7").find("/dev/null"), std::string::npos) << shown.out;
    EXPECT_NE(line_of(shown.out, "COM7").find("entry"), std::string::npos) << shown.out;
    std::string com2 = line_of(shown.out, "COM2");
    EXPECT_NE(com2.find("/dev/pts/77 "), std::string::npos) << shown.out;
    EXPECT_NE(com2.find(" set by ARMCTL_COM2"), std::string::npos) << shown.out;
    EXPECT_NE(line_of(shown.out, "COM10"), "") << "every number the window offers is listed";

    EXPECT_EQ(tool({"clear", "com7"}).exit_status, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_home / "armctl/ports/COM7")));
}

TEST_F(ArmctlPortsTest, RefusesWhatItCannotUse) {
    EXPECT_EQ(tool({"set", "COM0", "/dev/null"}).exit_status, 2);
    EXPECT_EQ(tool({"set", "COMX", "/dev/null"}).exit_status, 2);
    EXPECT_EQ(tool({"clear"}).exit_status, 2);
    EXPECT_EQ(tool({"frobnicate", "COM1"}).exit_status, 2);
    auto help = tool({"--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("armctl-ports set COMn DEVICE"), std::string::npos);
}
