#pragma once

// A pseudo-terminal pair standing in for a serial line in tests and
// benchmarks: the slave end's path is what the code under test opens as its
// device, and the master end, kept here, plays the far side of the line.
// Both ends pass bytes through untouched.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>

namespace test_support {

class PtyPair {
  public:
    // Whether the pair keeps a descriptor of the slave end open itself.
    // Left closed, the code under test is the line's only holder, as with a
    // real device, so its exclusive opens and its closes are its own. Kept
    // open, the master never reports a hang-up while no program holds the
    // line, and the code under test can close and reopen it as it likes.
    enum class SlaveEnd { LeftClosed, KeptOpen };

    explicit PtyPair(SlaveEnd slave = SlaveEnd::LeftClosed) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        char name[128];
        if (ptsname_r(m_master, name, sizeof name) != 0)
            return;
        m_slave_path = name;
        // The master end's settings are those of the line itself.
        termios settings{};
        if (tcgetattr(m_master, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_master, TCSANOW, &settings);
        }
        if (slave == SlaveEnd::KeptOpen)
            m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        m_ok = slave == SlaveEnd::LeftClosed || m_slave >= 0;
    }
    ~PtyPair() { close(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_ok; }
    const std::string& slave_path() const { return m_slave_path; }
    // The master end, non-blocking.
    int master() const { return m_master; }
    // The pair's own descriptor of the slave end; -1 when it is left closed.
    int slave() const { return m_slave; }

    // Writes at the master end: the bytes arrive at the slave end.
    bool write(std::string_view bytes) {
        return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // The next `count` bytes, waiting up to `limit` of real time for them (a
    // pseudo-terminal hands written bytes on a moment later); fewer when they
    // do not come or the line is hung up.
    std::string read(std::size_t count,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(2000)) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (got.size() < count) {
            auto left =
                std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                    .count();
            if (left <= 0)
                break;
            pollfd ready{m_master, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(left)) <= 0)
                continue;
            char buffer[4096];
            ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                break;
        }
        return got;
    }

    // Reads as many bytes as `expected` holds and compares: the line carried
    // exactly these next. A check that nothing was sent is made by what
    // arrives first after a later command.
    bool next_is(std::string_view expected) { return read(expected.size()) == expected; }

    // Whatever has arrived by now, without waiting.
    std::string read_available() {
        std::string got;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            got.append(buffer, static_cast<std::size_t>(n));
        return got;
    }

    // Drops what has arrived by now and, with a `quiet` time, what arrives
    // until the line has been quiet for that long.
    void drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(0)) {
        read_available();
        while (quiet.count() > 0 && !read(1, quiet).empty())
            read_available();
    }

    // Closing the master alone is what unplugging an adapter looks like to
    // the code under test: a hang-up.
    void close_master() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // Both ends close.
    void close() {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
        close_master();
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slave_path;
    bool m_ok = false;
};

} // namespace test_support
