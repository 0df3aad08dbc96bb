// Where a port looks for its device again, and the folder watches that wake
// it: on a tree of folders, links and plain files standing in for /dev.

#include <tests/support/PtyPair.h>

#include <platform/serial/DeviceWatch.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <poll.h>
#include <unistd.h>

using namespace platform::serial;
namespace fs = std::filesystem;

namespace {

class DeviceWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("armctl-device-watch-" + std::to_string(getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "dev");
        fs::create_directories(m_root / "ports");
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A plain file stands for a device node: the location only asks that
    // the name leads to something that is not a folder.
    void make_device(const fs::path& path) { std::ofstream(path) << ""; }

    // Whether the watch has a change to report now. The kernel queues the
    // event within the call that made the change, so no wait is needed.
    static bool changed(const DeviceWatch& watch) {
        pollfd ready{watch.fd(), POLLIN, 0};
        return poll(&ready, 1, 0) == 1;
    }

    fs::path m_root;
};

} // namespace

TEST_F(DeviceWatchTest, ALocationFollowsItsEntryOrKeepsItsPath) {
    fs::path first = m_root / "dev/ttyUSB0";
    fs::path second = m_root / "dev/ttyUSB1";
    make_device(first);

    PortRoots roots;
    roots.config_dir = (m_root / "ports").string();
    std::string error;
    ASSERT_TRUE(write_port_entry(roots.config_dir, 3, first.string(), error)) << error;
    auto entry = resolve_port(3, roots);
    ASSERT_TRUE(entry);
    DeviceLocation by_entry = DeviceLocation::of(*entry, roots);
    EXPECT_EQ(by_entry.find(), first.string());

    // Re-pointed while the device was away: the entry wins.
    ASSERT_TRUE(write_port_entry(roots.config_dir, 3, second.string(), error));
    EXPECT_EQ(by_entry.find(), std::nullopt) << "the entry names nothing present";
    EXPECT_EQ(by_entry.expected_path(), second.string());
    make_device(second);
    EXPECT_EQ(by_entry.find(), second.string());
    ASSERT_TRUE(remove_port_entry(roots.config_dir, 3, error));
    EXPECT_EQ(by_entry.find(), std::nullopt);

    // A variable's target and a device found by itself keep their path.
    PortEntry fixed{4, first.string(), PortSource::Environment, "ARMCTL_COM4"};
    DeviceLocation by_path = DeviceLocation::of(fixed, roots);
    EXPECT_EQ(by_path.find(), first.string());
    fs::remove(first);
    EXPECT_EQ(by_path.find(), std::nullopt);
    fs::create_directory(first);
    EXPECT_EQ(by_path.find(), std::nullopt) << "a folder is no device";
}

TEST_F(DeviceWatchTest, AFolderThatIsNotThereYetIsWatchedThroughItsAncestor) {
    // /dev/serial/by-id goes with the last adapter and comes back with one.
    fs::path name = m_root / "dev/serial/by-id/usb-FTDI_arm-if00";
    DeviceLocation location{name.string(), {}, 1};
    DeviceWatch watch;
    ASSERT_TRUE(watch.start(location));
    EXPECT_FALSE(changed(watch));

    fs::create_directory(m_root / "dev/serial");
    ASSERT_TRUE(changed(watch));
    watch.take_changes();
    EXPECT_FALSE(changed(watch)) << "the changes were taken";

    fs::create_directory(m_root / "dev/serial/by-id");
    ASSERT_TRUE(changed(watch));
    watch.take_changes();

    make_device(m_root / "dev/ttyUSB0");
    watch.take_changes(); // the node itself is in /dev, watched as an ancestor
    fs::create_symlink("../../ttyUSB0", name);
    EXPECT_TRUE(changed(watch)) << "the by-id name appeared";
    EXPECT_EQ(location.find(), name.string());
}

TEST_F(DeviceWatchTest, EntriesAndLinksAreFollowedToTheFoldersTheyName) {
    fs::create_directories(m_root / "elsewhere");
    fs::create_directories(m_root / "unrelated");
    PortRoots roots;
    roots.config_dir = (m_root / "ports").string();
    std::string error;
    // The entry names a link, which names a device that is not there.
    fs::create_symlink(m_root / "elsewhere/line", m_root / "dev/arm");
    ASSERT_TRUE(write_port_entry(roots.config_dir, 2, (m_root / "dev/arm").string(), error));
    DeviceLocation location{(m_root / "dev/arm").string(), roots.config_dir, 2};
    EXPECT_EQ(location.find(), std::nullopt);

    DeviceWatch watch;
    ASSERT_TRUE(watch.start(location));
    std::ofstream(m_root / "unrelated/file") << "x";
    EXPECT_FALSE(changed(watch)) << "only the folders on the way are watched";

    make_device(m_root / "elsewhere/line");
    EXPECT_TRUE(changed(watch)) << "the link's target appeared";
    EXPECT_EQ(location.find(), (m_root / "dev/arm").string());
    watch.take_changes();

    // The entry re-pointed (written beside and renamed over) wakes it too.
    ASSERT_TRUE(write_port_entry(roots.config_dir, 2, (m_root / "dev/other").string(), error));
    EXPECT_TRUE(changed(watch));
    watch.take_changes();
    make_device(m_root / "dev/other");
    EXPECT_TRUE(changed(watch));
    EXPECT_EQ(location.find(), (m_root / "dev/other").string());

    watch.stop();
    EXPECT_FALSE(watch.is_watching());
}

TEST_F(DeviceWatchTest, APseudoTerminalReturnsOnlyUnderANameWrittenAnew) {
    test_support::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const std::string terminal = pty.slave_path();

    // Its number alone: the next program to ask for a terminal may get it.
    DeviceLocation by_number{terminal, {}, 1};
    auto gone = by_number.mark();
    EXPECT_EQ(by_number.find(), terminal);
    EXPECT_EQ(by_number.find_returned(gone), std::nullopt);

    // A link to it counts once it is written again (beside, then renamed
    // over the old one, so it is a new file).
    fs::path link = m_root / "dev/arm";
    fs::create_symlink(terminal, link);
    DeviceLocation by_link{link.string(), {}, 1};
    gone = by_link.mark();
    EXPECT_EQ(by_link.find_returned(gone), std::nullopt) << "the same link as when it went";
    fs::create_symlink(terminal, m_root / "dev/arm.new");
    fs::rename(m_root / "dev/arm.new", link);
    EXPECT_EQ(by_link.find_returned(gone), link.string());

    // So does a port-map entry; one that was gone when the device went is
    // new whenever it is there.
    std::string folder = (m_root / "ports").string(), error;
    DeviceLocation by_entry{terminal, folder, 2};
    gone = by_entry.mark();
    ASSERT_TRUE(write_port_entry(folder, 2, terminal, error)) << error;
    EXPECT_EQ(by_entry.find_returned(gone), terminal);
    gone = by_entry.mark();
    EXPECT_EQ(by_entry.find_returned(gone), std::nullopt);
    ASSERT_TRUE(write_port_entry(folder, 2, terminal, error)) << error;
    EXPECT_EQ(by_entry.find_returned(gone), terminal);

    // Any other device returns under its old name as it is.
    make_device(m_root / "dev/ttyUSB0");
    DeviceLocation adapter{(m_root / "dev/ttyUSB0").string(), {}, 1};
    EXPECT_EQ(adapter.find_returned(adapter.mark()), adapter.path);
}
