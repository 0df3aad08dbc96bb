#include "Pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

std::string failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

std::unique_ptr<Pty> Pty::open(std::string& error) {
    std::unique_ptr<Pty> pty(new Pty);
    pty->m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty->m_master < 0) {
        error = failure("posix_openpt");
        return nullptr;
    }
    if (grantpt(pty->m_master) != 0 || unlockpt(pty->m_master) != 0) {
        error = failure("unlockpt");
        return nullptr;
    }
    char name[128];
    if (ptsname_r(pty->m_master, name, sizeof name) != 0) {
        error = failure("ptsname");
        return nullptr;
    }
    pty->m_slave_path = name;
    pty->m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty->m_slave < 0) {
        error = failure(name);
        return nullptr;
    }
    termios tio{};
    if (tcgetattr(pty->m_slave, &tio) != 0) {
        error = failure("tcgetattr");
        return nullptr;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(pty->m_slave, TCSANOW, &tio) != 0) {
        error = failure("tcsetattr");
        return nullptr;
    }
    int flags = fcntl(pty->m_master, F_GETFL);
    if (flags < 0 || fcntl(pty->m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = failure("fcntl");
        return nullptr;
    }
    // Our own descriptor was opened before the watch, and stays open, so
    // every close the watch reports is another program's.
    pty->m_close_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (pty->m_close_watch < 0 ||
        inotify_add_watch(pty->m_close_watch, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        error = failure("inotify");
        return nullptr;
    }
    return pty;
}

Pty::~Pty() {
    for (int fd : {m_close_watch, m_slave, m_master}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool Pty::take_closes() {
    alignas(inotify_event) char buffer[4096];
    bool closed = false;
    for (;;) {
        ssize_t n = ::read(m_close_watch, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE))
                closed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (closed)
        ioctl(m_slave, TIOCNXCL);
    return closed;
}

} // namespace platform
