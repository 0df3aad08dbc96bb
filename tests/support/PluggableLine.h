#pragma once

// A serial line behind an entry of a port folder that can be unplugged and
// plugged in again, for tests and benchmarks of a port that reconnects.
// Unplugging removes the entry (as a by-id name goes with its adapter) and
// hangs up the far end; plugging in makes a new pseudo-terminal pair and
// registers it under the same entry. The entry goes first, so that a
// program waiting for the device never takes another program's new
// pseudo-terminal that happens to get the old number.

#include <tests/support/PtyPair.h>

#include <platform/serial/PortMap.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace test_support {

class PluggableLine {
  public:
    // A fresh configuration folder under the temporary folder, named after
    // `tag` and the process, with the line plugged in as its entry COM`com`.
    PluggableLine(const std::string& tag, int com)
        : m_root(std::filesystem::temp_directory_path() /
                 ("armctl-" + tag + "-" + std::to_string(::getpid()))),
          m_com(com) {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
        m_ok = plug();
    }
    ~PluggableLine() {
        m_pty.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    PluggableLine(const PluggableLine&) = delete;
    PluggableLine& operator=(const PluggableLine&) = delete;

    bool ok() const { return m_ok; }
    // What XDG_CONFIG_HOME is set to for the port map to read the entry.
    std::string config_home() const { return (m_root / "config").string(); }
    // The port folder the entry is in.
    std::string folder() const { return (m_root / "config/armctl/ports").string(); }
    int com() const { return m_com; }
    // The far end of the line plugged in now, or of the last one.
    PtyPair& pty() { return *m_pty; }

    // The adapter pulled out: the entry goes, then the far end hangs up.
    void unplug() {
        std::string error;
        platform::serial::remove_port_entry(folder(), m_com, error);
        if (m_pty)
            m_pty->close_master();
    }

    // An adapter plugged in: a new pair registered under the same entry.
    bool plug() {
        m_pty = std::make_unique<PtyPair>();
        if (!m_pty->ok())
            return false;
        std::string error;
        return platform::serial::write_port_entry(folder(), m_com, m_pty->slave_path(), error);
    }

  private:
    std::filesystem::path m_root;
    int m_com;
    std::unique_ptr<PtyPair> m_pty;
    bool m_ok = false;
};

} // namespace test_support
