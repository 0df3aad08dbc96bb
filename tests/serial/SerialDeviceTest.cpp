#include "EngineTestSupport.h"
#include <tests/support/PtyPair.h>

#include <platform/serial/ArbitraryRate.h>
#include <platform/serial/SerialDevice.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace platform::serial;
using test_support::PtyPair;

namespace {

std::span<const std::uint8_t> byte_span(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Runs `body` in a child process and returns the child's exit status, the
// body's result; -1 when the child did not exit.
int exit_status_of_child(const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A device opened on the slave end of a fresh pseudo-terminal pair, whose
// master end plays the far side of the line.
class SerialDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(device.open(pty.slave_path(), error)) << describe(error.failure);
    }

    PtyPair pty;
    SerialDevice device;
    OpenError error;
};

} // namespace

TEST_F(SerialDeviceTest, MovesBytesBothWaysInRawMode) {
    ASSERT_TRUE(device.apply(LineSettings{}));

    // Bytes a cooked terminal would translate or swallow come through as sent.
    std::string out = "12a\r\n\x03\x11\x13\x7f";
    auto written = device.write(byte_span(out));
    EXPECT_EQ(written.status, Transfer::Status::Done);
    EXPECT_EQ(written.count, out.size());
    EXPECT_EQ(pty.read(out.size()), out);

    std::uint8_t buffer[16];
    EXPECT_EQ(device.read(buffer).status, Transfer::Status::WouldBlock) << "nothing has come yet";
    ASSERT_TRUE(pty.write("z\r"));
    pollfd p{device.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    auto got = device.read(buffer);
    ASSERT_EQ(got.status, Transfer::Status::Done);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), got.count), "z\r");
}

TEST_F(SerialDeviceTest, OpenIsExclusive) {
    SerialDevice second;
    EXPECT_FALSE(second.open(pty.slave_path(), error));
    EXPECT_EQ(error.failure, OpenFailure::Busy);
    EXPECT_FALSE(second.is_open());

    // Another program is refused too, root included (TIOCEXCL alone lets
    // root through; the lock does not).
    EXPECT_EQ(exit_status_of_child([&] {
                  SerialDevice other;
                  OpenError other_error;
                  bool opened = other.open(pty.slave_path(), other_error);
                  return !opened && other_error.failure == OpenFailure::Busy ? 0 : 1;
              }),
              0);

    device.close();
    EXPECT_TRUE(second.open(pty.slave_path(), error)) << "free again once closed";
}

TEST(SerialDevice, FailedOpensSayWhyAndLeaveNothingOpen) {
    auto folder = std::filesystem::temp_directory_path() /
                  ("armctl-serial-device-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "plain") << "not a terminal\n";
    mkfifo((folder / "fifo").c_str(), 0600);

    struct Case {
        std::string path;
        OpenFailure failure;
    };
    const Case cases[] = {
        {(folder / "missing").string(), OpenFailure::NotFound},
        {(folder / "plain").string(), OpenFailure::NotATerminal},
        {(folder / "fifo").string(), OpenFailure::NotATerminal},
        {"/dev/null", OpenFailure::NotATerminal},
        {folder.string(), OpenFailure::Failed},
    };
    auto before = test_support::open_descriptors();
    for (auto& c : cases) {
        SerialDevice device;
        OpenError error;
        EXPECT_FALSE(device.open(c.path, error)) << c.path;
        EXPECT_EQ(error.failure, c.failure) << c.path;
        EXPECT_NE(error.error_number, 0) << c.path;
        EXPECT_FALSE(device.is_open());
    }
    EXPECT_EQ(test_support::open_descriptors(), before);
    std::filesystem::remove_all(folder);
}

TEST(SerialDevice, PermissionDeniedIsToldApartFromBusy) {
    auto path = std::filesystem::temp_directory_path() /
                ("armctl-serial-locked-" + std::to_string(getpid()));
    std::ofstream(path) << "x";
    chmod(path.c_str(), 0600);
    // Root opens anything; the open is tried by an ordinary user then.
    EXPECT_EQ(exit_status_of_child([&] {
                  if (geteuid() == 0) {
                      if (setgid(65534) != 0 || setuid(65534) != 0)
                          return 3;
                  } else if (chmod(path.c_str(), 0) != 0) {
                      return 4;
                  }
                  SerialDevice device;
                  OpenError error;
                  bool opened = device.open(path.string(), error);
                  return !opened && error.failure == OpenFailure::PermissionDenied ? 0 : 1;
              }),
              0);
    std::filesystem::remove(path);
}

TEST_F(SerialDeviceTest, SettingsReachTheTerminalIncludingArbitraryRates) {

    const LineSettings cases[] = {
        {19200, 7, StopBits::Two, Parity::Odd, true, FlowControl::XonXoff},
        {250000, 8, StopBits::One, Parity::Space, false, FlowControl::RtsCts},
        {9600, 8, StopBits::One, Parity::None, false, FlowControl::None},
    };
    for (auto& settings : cases) {
        ASSERT_TRUE(device.apply(settings)) << settings.baud_rate;
        auto held = device.settings();
        ASSERT_TRUE(held);
        // A pseudo-terminal always holds eight bits without parity, whatever
        // it is told; the rest it keeps.
        EXPECT_EQ(held->baud_rate, settings.baud_rate);
        EXPECT_EQ(held->stop_bits,
                  settings.stop_bits == StopBits::One ? StopBits::One : StopBits::Two);
        EXPECT_EQ(held->parity_check, settings.parity_check);
        EXPECT_EQ(held->flow, settings.flow);
        EXPECT_EQ(read_rate(device.fd()), settings.baud_rate);
    }

    LineSettings refused;
    refused.data_bits = 9;
    EXPECT_FALSE(device.apply(refused));
}

TEST_F(SerialDeviceTest, APseudoTerminalHasNoModemLinesAndThatIsNoError) {
    EXPECT_FALSE(device.modem_status());
    EXPECT_EQ(device.set_rts(true), LineControl::Unsupported);
    EXPECT_EQ(device.set_dtr(false), LineControl::Unsupported);
    EXPECT_FALSE(device.error_counters());
    EXPECT_EQ(device.output_pending(), 0);
}

TEST_F(SerialDeviceTest, PurgeDropsInputNotYetRead) {
    ASSERT_TRUE(device.apply(LineSettings{}));
    ASSERT_TRUE(pty.write("stale"));
    pollfd p{device.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    ASSERT_TRUE(device.purge(Purge::Both));
    std::uint8_t buffer[8];
    EXPECT_EQ(device.read(buffer).status, Transfer::Status::WouldBlock);
}

TEST_F(SerialDeviceTest, AClosedFarEndIsAHangUp) {
    ASSERT_TRUE(device.apply(LineSettings{}));
    pty.close_master();

    pollfd p{device.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
    std::uint8_t buffer[8];
    EXPECT_EQ(device.read(buffer).status, Transfer::Status::HungUp);
    EXPECT_EQ(device.write(byte_span("1a")).status, Transfer::Status::HungUp);
}
