#include "tools/arm/PortEntry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace arm {
namespace {

namespace fs = std::filesystem;

class PortEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/armctl-port-entry-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_dir = name;
        m_entry = (m_dir / "armctl" / "ports" / "COM4").string();
        m_device = (m_dir / "device").string();
        std::ofstream(m_device).put('\n');
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    std::string m_entry;
    std::string m_device;
};

TEST(PortEntryPath, FromTheEnvironment) {
    EXPECT_EQ(PortEntry::path_for(1, "/x/config", "/home/u"), "/x/config/armctl/ports/COM1");
    EXPECT_EQ(PortEntry::path_for(10, nullptr, "/home/u"), "/home/u/.config/armctl/ports/COM10");
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    EXPECT_EQ(PortEntry::path_for(2, "config", "/home/u"), "/home/u/.config/armctl/ports/COM2");
    EXPECT_EQ(PortEntry::path_for(2, "", "/home/u"), "/home/u/.config/armctl/ports/COM2");
    EXPECT_EQ(PortEntry::path_for(2, nullptr, nullptr), "");
}

TEST_F(PortEntryTest, PublishedAsALinkAndWithdrawn) {
    std::string error;
    {
        PortEntry entry;
        ASSERT_TRUE(entry.publish(m_entry, m_device, error)) << error;
        EXPECT_TRUE(fs::is_symlink(m_entry));
        EXPECT_EQ(fs::read_symlink(m_entry), m_device);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_entry)));
}

TEST_F(PortEntryTest, AStaleEntryIsReplaced) {
    fs::create_directories(fs::path(m_entry).parent_path());
    fs::create_symlink("/dev/pts/does-not-exist", m_entry);
    PortEntry entry;
    std::string error;
    ASSERT_TRUE(entry.publish(m_entry, m_device, error)) << error;
    EXPECT_EQ(fs::read_symlink(m_entry), m_device);
}

TEST_F(PortEntryTest, TheUsersOwnMappingIsKept) {
    fs::create_directories(fs::path(m_entry).parent_path());
    std::string other = (m_dir / "other").string();
    std::ofstream(other).put('\n');
    for (bool as_link : {true, false}) {
        fs::remove(m_entry);
        if (as_link)
            fs::create_symlink(other, m_entry);
        else
            std::ofstream(m_entry) << other << "\n";
        PortEntry entry;
        std::string error;
        EXPECT_FALSE(entry.publish(m_entry, m_device, error));
        EXPECT_NE(error.find(other), std::string::npos) << error;
        entry.withdraw();
        ASSERT_TRUE(fs::exists(fs::symlink_status(m_entry)));
        EXPECT_EQ(fs::is_symlink(m_entry), as_link);
    }
}

TEST_F(PortEntryTest, AnEntryRepointedMeanwhileIsLeftAlone) {
    PortEntry entry;
    std::string error;
    ASSERT_TRUE(entry.publish(m_entry, m_device, error)) << error;
    fs::remove(m_entry);
    fs::create_symlink("/dev/ttyUSB0", m_entry);
    entry.withdraw();
    EXPECT_EQ(fs::read_symlink(m_entry), "/dev/ttyUSB0");
}

} // namespace
} // namespace arm
