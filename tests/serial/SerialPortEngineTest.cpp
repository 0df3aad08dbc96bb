#include "EngineTestSupport.h"
#include <tests/support/PtyPair.h>

#include <units/serialport/SerialPortEngine.h>

#include <tests/support/SteppedTime.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>

using namespace units;
using namespace test_support;
using namespace std::chrono_literals;

namespace {

SerialEntry byte(char c) {
    return {SerialEntry::Kind::Byte, static_cast<std::uint8_t>(c)};
}

class SerialPortEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_settings.line.baud_rate = 4000000;
    }

    void open() {
        auto result = m_port.engine.open(m_pty.slave_path(), m_settings);
        ASSERT_TRUE(result.ok()) << static_cast<int>(result.failure);
    }

    // Waits until `count` entries were queued, then takes them.
    std::vector<SerialEntry> entries(std::size_t count) {
        std::unique_lock lock(m_port.mutex);
        m_port.signal.wait_for(lock, 2s, [&] { return m_port.notified >= count; });
        lock.unlock();
        return m_port.engine.take_entries();
    }

    // Waits until the reader thread has ended, for at most `limit`.
    bool reader_ends_within(std::chrono::milliseconds limit) {
        return test_support::wait_for([&] { return !m_port.engine.is_running(); },
                                      static_cast<int>(limit.count()));
    }

    PtyPair m_pty;
    SerialOpenSettings m_settings;
    test_support::CountedEngine m_port;
};

} // namespace

TEST_F(SerialPortEngineTest, WritesArriveWholeAndInOrder) {
    open();
    EXPECT_TRUE(m_port.engine.send(byte_vector("90a")));
    EXPECT_TRUE(m_port.engine.send(byte_vector("120d")));
    EXPECT_TRUE(m_port.engine.send({})) << "an empty write succeeds without writing";
    EXPECT_EQ(m_pty.read(7), "90a120d");
    EXPECT_EQ(m_pty.read_available(), "");
}

TEST_F(SerialPortEngineTest, ReceivedBytesAreQueuedOneEntryEachInOrder) {
    m_settings.event_character = '\n';
    open();
    ASSERT_TRUE(m_pty.write("abc"));
    EXPECT_EQ(entries(3), (std::vector{byte('a'), byte('b'), byte('c')}));
    ASSERT_TRUE(m_pty.write("x\n"));
    EXPECT_EQ(entries(6), (std::vector{event(line_event::EventCharacter), byte('x'), byte('\n')}));
}

TEST_F(SerialPortEngineTest, ClosedOrNeverOpenedRefusesToSend) {
    EXPECT_FALSE(m_port.engine.send(byte_vector("1a")));
    EXPECT_FALSE(m_port.engine.send({}));
    open();
    m_port.engine.close();
    EXPECT_FALSE(m_port.engine.is_running());
    EXPECT_FALSE(m_port.engine.send(byte_vector("1a")));
}

TEST_F(SerialPortEngineTest, ReopeningDropsWhatWasNotTakenAndHoldsTheDeviceExclusively) {
    open();
    ASSERT_TRUE(m_pty.write("zz"));
    entries(2);
    ASSERT_TRUE(m_pty.write("q"));
    {
        std::unique_lock lock(m_port.mutex);
        m_port.signal.wait_for(lock, 2s, [&] { return m_port.notified >= 1; });
    }
    open();
    EXPECT_TRUE(m_port.engine.take_entries().empty());

    SerialPortEngine second(nullptr);
    auto result = second.open(m_pty.slave_path(), m_settings);
    EXPECT_EQ(result.failure, PortFailure::Busy);
    EXPECT_FALSE(second.is_running());
}

TEST_F(SerialPortEngineTest, UnpluggedWhileIdleEndsTheReaderOnceAndQuietly) {
    open();
    m_pty.close_master();
    EXPECT_TRUE(reader_ends_within(100ms));
    EXPECT_EQ(entries(1), std::vector{event(line_event::LineError)});
    EXPECT_FALSE(m_port.engine.send(byte_vector("1a")));

    // The reader has ended, so nothing is left to spin or to queue more.
    EXPECT_TRUE(m_port.engine.take_entries().empty()) << "the line error is queued once";

    // A new device (the adapter plugged in again) opens on the same engine.
    PtyPair again;
    ASSERT_TRUE(again.ok());
    ASSERT_TRUE(m_port.engine.open(again.slave_path(), m_settings).ok());
    EXPECT_TRUE(m_port.engine.send(byte_vector("2b")));
    EXPECT_EQ(again.read(2), "2b");
}

TEST_F(SerialPortEngineTest, UnpluggedDuringAWriteFailsTheWrite) {
    m_settings.timeout_ms = 0; // only the hang-up can end this write
    open();
    std::thread unplug([&] {
        // Once bytes have reached the far end the write is under way.
        pollfd p{m_pty.master(), POLLIN, 0};
        poll(&p, 1, 5000);
        m_pty.close_master();
    });
    std::vector<std::uint8_t> big(256 * 1024, 'x');
    EXPECT_FALSE(m_port.engine.send(big));
    unplug.join();
    EXPECT_TRUE(reader_ends_within(100ms));
    EXPECT_EQ(entries(1), std::vector{event(line_event::LineError)});
    EXPECT_TRUE(m_port.engine.take_entries().empty()) << "the line error is queued once";
}

TEST_F(SerialPortEngineTest, APeerThatNeverReadsFailsTheWriteAfterTheTimeout) {
    m_settings.timeout_ms = 300;
    open();
    std::vector<std::uint8_t> big(64 * 1024, 'x');
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_port.engine.send(big));
    auto took = std::chrono::steady_clock::now() - start;
    // The limit is the time-out plus the time the bytes take on the line
    // (64 KiB at 4 Mbaud: 164 ms).
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, (300ms + 164ms) * 12 / 10);
    EXPECT_TRUE(m_port.engine.is_running()) << "the port stays open";

    // What the far end has taken is read off; the next command arrives whole.
    m_pty.read_available();
    EXPECT_TRUE(m_port.engine.send(byte_vector("45c")));
    EXPECT_EQ(m_pty.read(3), "45c");
}

TEST(SerialPortEngineLineEvents, ModemChangesInTheirOrder) {
    struct Case {
        int before, after;
        std::vector<std::uint8_t> events;
    };
    const Case cases[] = {
        {0, TIOCM_CTS, {line_event::CtsOn}},
        {TIOCM_CTS, 0, {line_event::CtsOff}},
        {0,
         TIOCM_RI | TIOCM_DSR | TIOCM_CD | TIOCM_CTS,
         {line_event::Ring, line_event::CtsOn, line_event::DsrOn, line_event::CarrierOn}},
        {TIOCM_RI | TIOCM_DSR | TIOCM_CD, 0, {line_event::DsrOff, line_event::CarrierOff}},
        {TIOCM_CTS, TIOCM_CTS | TIOCM_RTS, {}},
    };
    for (auto& c : cases)
        EXPECT_EQ(modem_line_events(c.before, c.after), c.events) << c.before << "->" << c.after;
}

TEST(SerialPortEngineLineEvents, MarksBecomeLineEventsBeforeTheirBytes) {
    using platform::serial::LineItem;
    using K = LineItem::Kind;
    std::vector<LineItem> items{
        {K::Byte, 'a'}, {K::Break, 0}, {K::ErrorByte, 'b'}, {K::Byte, '\r'}, {K::Byte, 'c'}};
    EXPECT_EQ(entries_for(items, '\r'),
              (std::vector{event(line_event::Break), event(line_event::EventCharacter), byte('a'),
                           event(line_event::LineError), byte('b'), byte('\r'), byte('c')}));
    EXPECT_EQ(entries_for(items, std::nullopt).size(), 6u);
}
