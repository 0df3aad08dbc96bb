// A port engine whose device goes away and comes back under the same
// port-map entry: a pseudo-terminal whose far end hangs up stands for the
// adapter pulled out, a new pair registered under the entry for its return.

#include "EngineTestSupport.h"
#include <tests/support/PluggableLine.h>

#include <units/serialport/SerialPortEngine.h>

#include <platform/serial/ArbitraryRate.h>
#include <platform/serial/SerialDevice.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <unistd.h>

using namespace units;
using namespace test_support;
using namespace std::chrono_literals;

namespace {

SerialEntry link(std::uint8_t notice) {
    return {SerialEntry::Kind::Link, notice};
}

class ReconnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_line.ok());
        m_settings.line.baud_rate = 57600;
    }

    void open() {
        platform::serial::DeviceLocation comeback{m_line.pty().slave_path(), m_line.folder(),
                                                  m_line.com()};
        auto result = m_port.engine.open(m_line.pty().slave_path(), m_settings, comeback);
        ASSERT_TRUE(result.ok()) << static_cast<int>(result.failure);
    }

    // Takes entries as they come until one is `wanted`, for at most `limit`
    // of real time; everything taken, in order.
    std::vector<SerialEntry> entries_until(SerialEntry wanted,
                                           std::chrono::milliseconds limit = 2000ms) {
        std::vector<SerialEntry> taken;
        const auto end = std::chrono::steady_clock::now() + limit;
        std::unique_lock lock(m_port.mutex);
        for (;;) {
            const std::size_t notified = m_port.notified;
            lock.unlock();
            for (auto& entry : m_port.engine.take_entries())
                taken.push_back(entry);
            if (std::find(taken.begin(), taken.end(), wanted) != taken.end())
                return taken;
            lock.lock();
            if (!m_port.signal.wait_until(lock, end, [&] { return m_port.notified != notified; }))
                return taken;
        }
    }
    bool comes(SerialEntry wanted, std::chrono::milliseconds limit = 2000ms) {
        auto taken = entries_until(wanted, limit);
        return std::find(taken.begin(), taken.end(), wanted) != taken.end();
    }

    PluggableLine m_line{"reconnect", 3};
    SerialOpenSettings m_settings;
    test_support::CountedEngine m_port;
};

} // namespace

TEST_F(ReconnectTest, AReturningDeviceIsReopenedWithTheSameSettingsAndGetsTheNextCommandWhole) {
    open();
    ASSERT_TRUE(m_port.engine.send(byte_vector("80a100b80c120d")));
    ASSERT_EQ(m_line.pty().read(14), "80a100b80c120d");

    m_line.unplug();
    EXPECT_EQ(entries_until(link(link_notice::Lost)),
              (std::vector{event(line_event::LineError), link(link_notice::Lost)}));
    EXPECT_TRUE(m_port.engine.is_running()) << "the port stays open while it waits";
    EXPECT_FALSE(m_port.engine.is_connected());
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_port.engine.send(byte_vector("81a100b80c120d")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms) << "a send fails at once";

    ASSERT_TRUE(m_line.plug());
    auto plugged = std::chrono::steady_clock::now();
    EXPECT_EQ(entries_until(link(link_notice::Returned), 500ms),
              std::vector{link(link_notice::Returned)})
        << "back within 500 ms of the device's return";
    EXPECT_LT(std::chrono::steady_clock::now() - plugged, 500ms);
    EXPECT_TRUE(m_port.engine.is_connected());
    EXPECT_EQ(m_port.engine.device_path(), m_line.pty().slave_path());

    ASSERT_TRUE(m_port.engine.send(byte_vector("82a100b80c120d")));
    EXPECT_EQ(m_line.pty().read(14), "82a100b80c120d");
    EXPECT_EQ(m_line.pty().read_available(), "");

    // The rate the new terminal holds, read beside the port (TIOCEXCL lets
    // root through; the lock is advisory).
    int fd = ::open(m_line.pty().slave_path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        GTEST_SKIP() << "the terminal cannot be read beside the open port";
    auto rate = platform::serial::read_rate(fd);
    ::close(fd);
    EXPECT_EQ(rate, 57600u);
}

TEST_F(ReconnectTest, ADeviceThatIsBusyWhenItReturnsIsTakenOnceItIsFree) {
    open();
    m_line.unplug();
    ASSERT_TRUE(comes(link(link_notice::Lost)));

    // Another program has the returned device open when its name appears.
    test_support::PtyPair next;
    ASSERT_TRUE(next.ok());
    platform::serial::SerialDevice holder;
    platform::serial::OpenError error;
    ASSERT_TRUE(holder.open(next.slave_path(), error));
    std::string reason;
    ASSERT_TRUE(platform::serial::write_port_entry(m_line.folder(), 3, next.slave_path(), reason));
    EXPECT_FALSE(comes(link(link_notice::Returned), 300ms)) << "it cannot be opened yet";
    EXPECT_FALSE(m_port.engine.is_connected());

    holder.close();
    EXPECT_TRUE(comes(link(link_notice::Returned), 1000ms));
    ASSERT_TRUE(m_port.engine.send(byte_vector("45c")));
    EXPECT_EQ(next.read(3), "45c");
}

TEST_F(ReconnectTest, ClosingWhileTheDeviceIsAwayEndsTheWatch) {
    // Counted after a first open and close, so that threads a sanitizer's
    // runtime starts with the first thread of the process are there already.
    open();
    m_port.engine.close();
    std::size_t threads_before = threads();
    std::size_t descriptors_before = open_descriptors();
    open();
    m_line.unplug();
    ASSERT_TRUE(comes(link(link_notice::Lost)));
    m_port.engine.close();
    EXPECT_FALSE(m_port.engine.is_running());
    EXPECT_EQ(m_port.engine.device_path(), "");

    ASSERT_TRUE(m_line.plug());
    // Nobody holds the returned device: this process can take it itself.
    platform::serial::SerialDevice taker;
    platform::serial::OpenError error;
    EXPECT_TRUE(taker.open(m_line.pty().slave_path(), error));
    taker.close();
    EXPECT_TRUE(m_port.engine.take_entries().empty());
    EXPECT_FALSE(m_port.engine.send(byte_vector("1a")));
    EXPECT_EQ(threads(), threads_before);
    EXPECT_EQ(open_descriptors(), descriptors_before);
}

TEST_F(ReconnectTest, AHundredUnplugsAndReturnsLeaveNoDescriptorOrThreadBehind) {
    open();
    ASSERT_TRUE(m_port.engine.send(byte_vector("0a")));
    ASSERT_EQ(m_line.pty().read(2), "0a");
    const std::size_t threads_connected = threads();
    const std::size_t descriptors_connected = open_descriptors();
    for (int cycle = 1; cycle <= 100; ++cycle) {
        m_line.unplug();
        ASSERT_TRUE(comes(link(link_notice::Lost))) << "cycle " << cycle;
        EXPECT_FALSE(m_port.engine.send(byte_vector("1b")));
        ASSERT_TRUE(m_line.plug());
        ASSERT_TRUE(comes(link(link_notice::Returned))) << "cycle " << cycle;
        std::string command = std::to_string(cycle) + "a";
        ASSERT_TRUE(m_port.engine.send(byte_vector(command))) << "cycle " << cycle;
        ASSERT_EQ(m_line.pty().read(command.size()), command) << "cycle " << cycle;
    }
    EXPECT_EQ(threads(), threads_connected);
    EXPECT_EQ(open_descriptors(), descriptors_connected);
}
