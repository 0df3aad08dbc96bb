#pragma once

// A pseudo-terminal pair for serial tests: the slave end is the port under
// test, the master end plays the device on the far side of the line.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace serial_test {

class PseudoTerminal {
  public:
    PseudoTerminal() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) < 0 || unlockpt(m_master) < 0)
            return;
        char name[128];
        if (ptsname_r(m_master, name, sizeof name) == 0)
            m_slave_path = name;
        // The master end passes bytes through untouched.
        termios t{};
        if (tcgetattr(m_master, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(m_master, TCSANOW, &t);
        }
    }
    ~PseudoTerminal() { close_master(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_master >= 0 && !m_slave_path.empty(); }
    int master() const { return m_master; }
    const std::string& slave_path() const { return m_slave_path; }

    // Closing the master is what unplugging an adapter looks like to the
    // slave: a hang-up.
    void close_master() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool write(const std::string& bytes) {
        return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until `count` bytes have come or `limit` has passed.
    std::string read(std::size_t count,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(2000)) {
        std::string got;
        auto end = std::chrono::steady_clock::now() + limit;
        while (got.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[4096];
            ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    // Whatever has arrived by now, without waiting.
    std::string read_available() {
        std::string got;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            got.append(buffer, static_cast<std::size_t>(n));
        return got;
    }

  private:
    int m_master = -1;
    std::string m_slave_path;
};

} // namespace serial_test
