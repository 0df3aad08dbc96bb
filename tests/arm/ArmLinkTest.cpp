#include "tools/arm/ArmLink.h"
#include "platform/process/ChildProcess.h"

#include "platform/serial/Pty.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace arm {
namespace {

// One end of the line as the controller holds it.
class Sender {
  public:
    explicit Sender(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    ~Sender() { close(); }
    bool is_open() const { return m_fd >= 0; }
    void write(std::string_view bytes) {
        ASSERT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    int fd() const { return m_fd; }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

  private:
    int m_fd;
};

class ArmLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        m_pty = platform::Pty::open(error);
        ASSERT_TRUE(m_pty) << error;
    }

    std::unique_ptr<platform::Pty> m_pty;
};

TEST_F(ArmLinkTest, BytesArriveBeforeTheCloseThatFollowsThem) {
    ArmLink link(*m_pty, nullptr);
    std::string error;
    ASSERT_TRUE(link.open(error)) << error;
    for (int round = 0; round < 3; ++round) {
        Sender sender(m_pty->slave_path());
        ASSERT_TRUE(sender.is_open());
        sender.write("80a100b80c120d");
        sender.close();
        std::string bytes;
        LinkEvent event = link.wait();
        while (event.kind == LinkEvent::Kind::Bytes) {
            bytes += event.bytes;
            event = link.wait();
        }
        EXPECT_EQ(bytes, "80a100b80c120d") << "round " << round;
        EXPECT_EQ(event.kind, LinkEvent::Kind::SenderClosed) << "round " << round;
    }
}

TEST_F(ArmLinkTest, ASenderThatClosesLeavesNoExclusiveModeBehind) {
    ArmLink link(*m_pty, nullptr);
    std::string error;
    ASSERT_TRUE(link.open(error)) << error;
    Sender first(m_pty->slave_path());
    ASSERT_EQ(ioctl(first.fd(), TIOCEXCL), 0);
    first.close();
    EXPECT_EQ(link.wait().kind, LinkEvent::Kind::SenderClosed);
    Sender second(m_pty->slave_path());
    ASSERT_TRUE(second.is_open());
    int exclusive = -1;
    ASSERT_EQ(ioctl(second.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

TEST_F(ArmLinkTest, AStopSignalIsAnEvent) {
    sigset_t set, old;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &set, &old), 0);
    {
        ArmLink link(*m_pty, nullptr);
        std::string error;
        ASSERT_TRUE(link.open(error)) << error;
        raise(SIGTERM);
        LinkEvent event = link.wait();
        EXPECT_EQ(event.kind, LinkEvent::Kind::Signal);
        EXPECT_EQ(event.code, SIGTERM);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

TEST_F(ArmLinkTest, AStopRequestFromAnotherThreadEndsAWait) {
    ArmLink link(*m_pty, nullptr);
    std::string error;
    ASSERT_TRUE(link.open(error)) << error;
    std::thread stopper([&] { link.request_stop(); });
    EXPECT_EQ(link.wait().kind, LinkEvent::Kind::Stopped);
    stopper.join();
}

TEST_F(ArmLinkTest, TheStartedProgramFindsTheLineAndItsExitEndsTheRun) {
    platform::ChildProcess program;
    platform::ProcessOptions options;
    options.set_env = {"ARMCTL_COM7=" + m_pty->slave_path()};
    std::string error;
    ASSERT_TRUE(
        program.start({"sh", "-c", "printf 90a > \"$ARMCTL_COM7\"; exit 3"}, options, error))
        << error;
    ArmLink link(*m_pty, &program);
    ASSERT_TRUE(link.open(error)) << error;
    std::string bytes;
    LinkEvent event = link.wait();
    while (event.kind == LinkEvent::Kind::Bytes || event.kind == LinkEvent::Kind::SenderClosed) {
        bytes += event.bytes;
        event = link.wait();
    }
    EXPECT_EQ(bytes, "90a");
    EXPECT_EQ(event.kind, LinkEvent::Kind::ProgramExited);
    EXPECT_EQ(event.code, 3);
    EXPECT_FALSE(program.running());
}

} // namespace
} // namespace arm
