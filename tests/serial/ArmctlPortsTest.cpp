#include "../support/RunChild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using armctl::testing::run_child;

namespace {

class ArmctlPortsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_home = fs::temp_directory_path() / ("armctl-ports-tool-" + std::to_string(getpid()));
        fs::remove_all(m_home);
        fs::create_directories(m_home);
    }
    void TearDown() override { fs::remove_all(m_home); }

    armctl::testing::ChildRun tool(const std::string& arguments,
                                   const std::string& environment = {}) {
        return run_child("env -u ARMCTL_COM1 -u ARMCTL_COM2 -u ARMCTL_COM3 -u ARMCTL_COM7 "
                         "XDG_CONFIG_HOME=" +
                         m_home.string() + " " + environment + " " ARMCTL_PORTS_TOOL " " +
                         arguments + " 2>&1");
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
    auto set = tool("set COM7 /dev/null");
    EXPECT_EQ(set.exit_code, 0) << set.out;
    EXPECT_EQ(fs::read_symlink(m_home / "armctl/ports/COM7"), "/dev/null");

    auto shown = tool("", "ARMCTL_COM2=/dev/pts/77");
    EXPECT_EQ(shown.exit_code, 0);
    EXPECT_NE(line_of(shown.out, "COM7").find("/dev/null"), std::string::npos) << shown.out;
    EXPECT_NE(line_of(shown.out, "COM7").find("entry"), std::string::npos) << shown.out;
    std::string com2 = line_of(shown.out, "COM2");
    EXPECT_NE(com2.find("/dev/pts/77 "), std::string::npos) << shown.out;
    EXPECT_NE(com2.find(" set by ARMCTL_COM2"), std::string::npos) << shown.out;
    EXPECT_NE(line_of(shown.out, "COM10"), "") << "every number the window offers is listed";

    EXPECT_EQ(tool("clear com7").exit_code, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_home / "armctl/ports/COM7")));
}

TEST_F(ArmctlPortsTest, RefusesWhatItCannotUse) {
    EXPECT_EQ(tool("set COM0 /dev/null").exit_code, 2);
    EXPECT_EQ(tool("set COMX /dev/null").exit_code, 2);
    EXPECT_EQ(tool("clear").exit_code, 2);
    EXPECT_EQ(tool("frobnicate COM1").exit_code, 2);
    auto help = tool("--help");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("armctl-ports set COMn DEVICE"), std::string::npos);
}
