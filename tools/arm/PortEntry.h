#pragma once

// The arm's entry in the COM port map: $XDG_CONFIG_HOME/armctl/ports/COMn
// (~/.config/armctl/ports/COMn when XDG_CONFIG_HOME is unset), a symbolic
// link to the line's device. The entry is the arm's only while it runs: it
// is withdrawn when the object goes, and only if it still points at the
// arm's line.

#include <string>

namespace arm {

class PortEntry {
  public:
    PortEntry() = default;
    ~PortEntry() { withdraw(); }
    PortEntry(const PortEntry&) = delete;
    PortEntry& operator=(const PortEntry&) = delete;

    // The entry's path for COM `number`. Empty when neither directory is
    // known.
    static std::string path_for(int number, const char* xdg_config_home, const char* home);

    // Points `entry` at `device`, creating the folders it needs. An entry
    // that names a device which no longer exists (left by an arm that was
    // killed) is replaced; one that names a device that exists is the
    // user's own mapping and is kept: false, with `error` saying why.
    bool publish(const std::string& entry, const std::string& device, std::string& error);
    void withdraw();

    const std::string& path() const { return m_entry; }

  private:
    std::string m_entry;
    std::string m_device;
};

} // namespace arm
