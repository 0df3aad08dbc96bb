#include "ArmLink.h"

#include "platform/process/ChildProcess.h"
#include "platform/serial/Pty.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace arm {

namespace {

sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

bool block_stop_signals() {
    sigset_t set = stop_signals();
    // A reader of the headless output that goes away must not kill the arm
    // before it has withdrawn its port entry.
    std::signal(SIGPIPE, SIG_IGN);
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

Millis steady_now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ArmLink::ArmLink(platform::Pty& pty, platform::ChildProcess* program)
    : m_pty(pty), m_program(program) {}

ArmLink::~ArmLink() {
    for (int fd : {m_signals, m_stop}) {
        if (fd >= 0)
            close(fd);
    }
}

bool ArmLink::open(std::string& error) {
    sigset_t set = stop_signals();
    m_signals = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    m_stop = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_signals < 0 || m_stop < 0) {
        error = std::string("cannot watch signals: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void ArmLink::request_stop() {
    std::uint64_t one = 1;
    while (write(m_stop, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

LinkEvent ArmLink::wait() {
    enum { Stop, Master, Closes, Signals, Program };
    for (;;) {
        pollfd fds[5] = {
            {m_stop, POLLIN, 0},
            {m_pty.master_fd(), POLLIN, 0},
            {m_pty.close_watch_fd(), POLLIN, 0},
            {m_signals, POLLIN, 0},
            {m_program ? m_program->exit_fd() : -1, POLLIN, 0},
        };
        if (poll(fds, 5, -1) < 0) {
            if (errno == EINTR)
                continue;
            return {LinkEvent::Kind::Stopped, steady_now(), {}, 0};
        }
        LinkEvent event;
        event.time = steady_now();
        if (fds[Stop].revents) {
            event.kind = LinkEvent::Kind::Stopped;
            return event;
        }
        // The master is read whatever woke us: bytes a sender wrote just
        // before closing the line or exiting may still be on their way
        // through the terminal, and a read of the master takes them in
        // before it answers that nothing is there.
        {
            char buffer[65536];
            ssize_t n = read(m_pty.master_fd(), buffer, sizeof buffer);
            if (n > 0) {
                event.kind = LinkEvent::Kind::Bytes;
                event.bytes.assign(buffer, static_cast<std::size_t>(n));
                return event;
            }
            // Our own descriptor of the slave end keeps the master from
            // hanging up; a master that fails anyway would wake every poll.
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                event.kind = LinkEvent::Kind::Stopped;
                return event;
            }
        }
        if (fds[Closes].revents && m_pty.take_closes()) {
            event.kind = LinkEvent::Kind::SenderClosed;
            return event;
        }
        if (fds[Signals].revents) {
            signalfd_siginfo info{};
            if (read(m_signals, &info, sizeof info) == sizeof info) {
                event.kind = LinkEvent::Kind::Signal;
                event.code = static_cast<int>(info.ssi_signo);
                return event;
            }
        }
        if (fds[Program].revents && m_program->reap()) {
            event.kind = LinkEvent::Kind::ProgramExited;
            event.code = m_program->exit_status();
            return event;
        }
    }
}

} // namespace arm
