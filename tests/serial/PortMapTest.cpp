#include <platform/serial/PortMap.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

using namespace platform::serial;
namespace fs = std::filesystem;

namespace {

// A /dev, /sys and port folder of the test's own.
class PortMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() /
                 ("armctl-ports-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "dev/serial/by-id");
        fs::create_directories(m_root / "sys/class/tty");
        fs::create_directories(m_root / "ports");
        m_roots.dev = (m_root / "dev").string();
        m_roots.sys = (m_root / "sys").string();
        m_roots.config_dir = (m_root / "ports").string();
        m_roots.environment = [this](const std::string& name) -> std::optional<std::string> {
            auto it = m_environment.find(name);
            if (it == m_environment.end())
                return std::nullopt;
            return it->second;
        };
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string dev(const std::string& name) { return (m_root / "dev" / name).string(); }

    // A device node (a plain file will do) with its sysfs entry.
    void device(const std::string& name, const std::string& driver = {},
                const std::string& uart_type = {}) {
        std::ofstream(m_root / "dev" / name);
        fs::path sys = m_root / "sys/class/tty" / name;
        fs::create_directories(sys / "device");
        if (!driver.empty())
            fs::create_symlink("../../../../bus/drivers/" + driver, sys / "device/driver");
        if (!uart_type.empty())
            std::ofstream(sys / "type") << uart_type << "\n";
    }
    void by_id(const std::string& name, const std::string& target) {
        fs::create_symlink("../../" + target, m_root / "dev/serial/by-id" / name);
    }

    std::string map_text() {
        std::string text;
        for (auto& entry : port_map(m_roots))
            text += "COM" + std::to_string(entry.com) + "=" +
                    fs::path(entry.path).lexically_relative(m_root).string() + " (" +
                    (entry.source == PortSource::Automatic     ? entry.description
                     : entry.source == PortSource::Environment ? "env"
                                                               : "config") +
                    ")\n";
        return text;
    }

    fs::path m_root;
    PortRoots m_roots;
    std::map<std::string, std::string> m_environment;
};

} // namespace

TEST_F(PortMapTest, AutomaticOrderIsByIdThenAcmUsbAndRealUartsByNumber) {
    device("ttyUSB10", "ftdi_sio");
    device("ttyUSB2", "ch341-uart");
    device("ttyACM0", "cdc_acm");
    device("ttyACM1", "cdc_acm");
    device("ttyS0", "serial", "4");
    device("ttyS1", "serial", "0"); // no UART behind it
    device("ttyS3", "serial", "4");
    device("ttyUSBx"); // not a numbered device
    by_id("usb-Arduino_Uno_123-if00", "ttyACM1");
    by_id("usb-1a86_USB_Serial-if00-port0", "ttyUSB2");
    by_id("usb-Gone-if00", "ttyUSB9"); // dangling

    EXPECT_EQ(map_text(), "COM1=dev/serial/by-id/usb-1a86_USB_Serial-if00-port0 "
                          "(usb-1a86_USB_Serial-if00-port0)\n"
                          "COM2=dev/serial/by-id/usb-Arduino_Uno_123-if00 "
                          "(usb-Arduino_Uno_123-if00)\n"
                          "COM3=dev/ttyACM0 (cdc_acm)\n"
                          "COM4=dev/ttyUSB10 (ftdi_sio)\n"
                          "COM5=dev/ttyS0 (serial)\n"
                          "COM6=dev/ttyS3 (serial)\n");
}

TEST_F(PortMapTest, EnvironmentBeatsConfigBeatsAutomatic) {
    device("ttyUSB0", "ftdi_sio");
    device("ttyUSB1", "ftdi_sio");
    device("ttyACM0", "cdc_acm");
    m_environment["ARMCTL_COM1"] = dev("ttyUSB1");
    fs::create_symlink(dev("ttyUSB0"), m_root / "ports/COM1"); // shadowed by the variable
    fs::create_symlink(dev("ttyACM0"), m_root / "ports/COM3");

    // The explicit entries keep their numbers; the one device no entry
    // names takes the first number left free.
    EXPECT_EQ(map_text(), "COM1=dev/ttyUSB1 (env)\n"
                          "COM2=dev/ttyUSB0 (ftdi_sio)\n"
                          "COM3=dev/ttyACM0 (config)\n");
    auto com1 = resolve_port(1, m_roots);
    ASSERT_TRUE(com1);
    EXPECT_EQ(com1->source, PortSource::Environment);
    EXPECT_EQ(com1->description, "ARMCTL_COM1");
    EXPECT_FALSE(resolve_port(4, m_roots));
    EXPECT_FALSE(resolve_port(0, m_roots));
}

TEST_F(PortMapTest, AVariableIsTakenAsGivenEvenForAPathToNothing) {
    m_environment["ARMCTL_COM2"] = "/dev/pts/999";
    m_environment["ARMCTL_COM3"] = ""; // empty: as if unset
    auto com2 = resolve_port(2, m_roots);
    ASSERT_TRUE(com2);
    EXPECT_EQ(com2->path, "/dev/pts/999");
    EXPECT_FALSE(resolve_port(3, m_roots));
}

TEST_F(PortMapTest, ConfigEntriesAsLinksAndTextFilesAndWhatIsIgnored) {
    device("ttyUSB0");
    device("ttyUSB1");
    device("ttyUSB2");
    fs::create_symlink("../dev/ttyUSB0", m_root / "ports/COM1"); // relative to the folder
    std::ofstream(m_root / "ports/COM2") << "  " << dev("ttyUSB1") << " \r\n";
    std::ofstream(m_root / "ports/COM3") << "dev/ttyUSB2\n";   // not absolute
    fs::create_symlink(dev("ttyUSB7"), m_root / "ports/COM4"); // dangling
    fs::create_directories(m_root / "ports/COM5");             // a folder
    std::ofstream(m_root / "ports/COM6") << "\x01\x02garbage\xff";
    std::ofstream(m_root / "ports/COM7") << dev("ttyUSB0") << "\n" << dev("ttyUSB1") << "\n";
    std::ofstream(m_root / "ports/COM8") << dev("ttyUSB9") << "\n"; // a path to nothing

    for (int com : {1, 2}) {
        auto entry = resolve_port(com, m_roots);
        ASSERT_TRUE(entry) << com;
        EXPECT_EQ(entry->source, PortSource::Config) << com;
    }
    EXPECT_EQ(fs::canonical(resolve_port(1, m_roots)->path), fs::canonical(dev("ttyUSB0")));
    EXPECT_EQ(resolve_port(2, m_roots)->path, dev("ttyUSB1"));
    for (int com = 3; com <= 8; ++com) {
        auto entry = resolve_port(com, m_roots);
        EXPECT_TRUE(!entry || entry->source == PortSource::Automatic) << "COM" << com;
    }
    // The one device no valid entry names is the automatic COM3.
    auto com3 = resolve_port(3, m_roots);
    ASSERT_TRUE(com3);
    EXPECT_EQ(com3->path, dev("ttyUSB2"));
}

TEST_F(PortMapTest, WrittenEntriesAreReadBackAndRemoved) {
    device("ttyACM0");
    fs::path folder = m_root / "new/armctl/ports";
    m_roots.config_dir = folder.string();
    std::string error;
    ASSERT_TRUE(write_port_entry(folder.string(), 4, dev("ttyACM0"), error)) << error;
    ASSERT_TRUE(write_port_entry(folder.string(), 4, dev("ttyACM0"), error)) << "replaces";
    auto entry = resolve_port(4, m_roots);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->source, PortSource::Config);
    EXPECT_EQ(entry->path, dev("ttyACM0"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary left beside the entry";

    ASSERT_TRUE(remove_port_entry(folder.string(), 4, error));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "COM4")));
    EXPECT_TRUE(remove_port_entry(folder.string(), 4, error)) << "already gone";

    fs::create_directories(folder / "COM5");
    EXPECT_FALSE(remove_port_entry(folder.string(), 5, error)) << "a folder is not removed";
    EXPECT_FALSE(write_port_entry(folder.string(), 0, dev("ttyACM0"), error));
}
