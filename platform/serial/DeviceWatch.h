#pragma once

// Waiting for a serial device that went away (an adapter pulled out) to come
// back under the name it was opened by. The wait sleeps on inotify watches of
// the folders that name can appear in: the folder of the device path, of
// every link on the way to the device, and of the port-map entry when the
// path came from one. A folder that is not there yet (/dev/serial/by-id
// goes when the last adapter goes) is watched through its nearest existing
// ancestor until it appears.

#include "PortMap.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform::serial {

// Where a port's device is looked for again: the same path for an
// ARMCTL_COMn target or a device found by itself (its by-id name where it
// has one), or the same entry of the port folder, which may name another
// device by the time one returns.
struct DeviceLocation {
    std::string path;         // the device as it was opened
    std::string entry_folder; // the port folder, when the path came from its entry
    int com = 0;

    static DeviceLocation of(const PortEntry& entry, const PortRoots& roots);

    // The device the location names now, or nothing while none is there.
    std::optional<std::string> find() const;
    // The path the location leads to now, present or not.
    std::string expected_path() const;

    // The state of the location's own name (the entry, or the path itself)
    // at one moment.
    struct NameMark {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t changed_ns = 0;
        bool operator==(const NameMark&) const = default;
    };
    NameMark mark() const;

    // The device to reopen after it went away when the name was as `gone`
    // says. A pseudo-terminal's number goes to whichever program asks for a
    // terminal next, so a pseudo-terminal counts as returned only under a
    // name made anew since (an entry or a link written again), never by its
    // number alone: a port must not take somebody's new terminal.
    std::optional<std::string> find_returned(const NameMark& gone) const;
};

class DeviceWatch {
  public:
    DeviceWatch() = default;
    ~DeviceWatch() { stop(); }
    DeviceWatch(const DeviceWatch&) = delete;
    DeviceWatch& operator=(const DeviceWatch&) = delete;

    // Watches the folders the location's names live in; false when no watch
    // could be set (the caller then looks again at its own pace).
    bool start(const DeviceLocation& location);
    void stop();
    bool is_watching() const { return m_fd >= 0; }

    // Readable when something changed in a watched folder.
    int fd() const { return m_fd; }
    // Takes the changes that are ready and follows the location into the
    // folders it leads to now (a folder that appeared, a link re-pointed).
    void take_changes();

  private:
    void watch_folders();
    void watch_nearest(const std::string& folder);

    DeviceLocation m_location;
    int m_fd = -1;
};

} // namespace platform::serial
