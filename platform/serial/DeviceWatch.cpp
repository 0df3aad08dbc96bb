#include "DeviceWatch.h"

#include <cerrno>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::serial {
namespace fs = std::filesystem;

namespace {

// Links on the way from a name to its device, at most; a loop stops here.
constexpr int MaxLinks = 8;

// What makes a name appear: created, moved or renamed into place (the port
// entries are written that way), or given its permissions by udev a moment
// after the kernel made the node. A watched folder that goes away or moves
// is followed through its ancestor.
constexpr std::uint32_t WatchMask = IN_CREATE | IN_MOVED_TO | IN_ATTRIB | IN_CLOSE_WRITE |
                                    IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

DeviceLocation DeviceLocation::of(const PortEntry& entry, const PortRoots& roots) {
    DeviceLocation location;
    location.path = entry.path;
    location.com = entry.com;
    if (entry.source == PortSource::Config)
        location.entry_folder = roots.config_dir;
    return location;
}

std::string DeviceLocation::expected_path() const {
    if (entry_folder.empty())
        return path;
    return port_entry_target(entry_folder, com).value_or(std::string());
}

std::optional<std::string> DeviceLocation::find() const {
    std::string now = expected_path();
    if (now.empty() || !names_a_device(now))
        return std::nullopt;
    return now;
}

DeviceLocation::NameMark DeviceLocation::mark() const {
    std::string name = entry_folder.empty()
                           ? path
                           : (fs::path(entry_folder) / ("COM" + std::to_string(com))).string();
    struct stat status {};
    if (::lstat(name.c_str(), &status) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec};
}

std::optional<std::string> DeviceLocation::find_returned(const NameMark& gone) const {
    auto now = find();
    if (!now)
        return std::nullopt;
    std::error_code ec;
    fs::path device = fs::canonical(*now, ec);
    if (ec || device.parent_path() != "/dev/pts")
        return now;
    bool named_by_itself = entry_folder.empty() && fs::path(path).lexically_normal() == device;
    if (named_by_itself || mark() == gone)
        return std::nullopt;
    return now;
}

bool DeviceWatch::start(const DeviceLocation& location) {
    stop();
    m_location = location;
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return false;
    watch_folders();
    return true;
}

void DeviceWatch::stop() {
    // Closing the descriptor drops every watch on it.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void DeviceWatch::take_changes() {
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0)
            continue;
        if (got < 0 && errno == EINTR)
            continue;
        break;
    }
    watch_folders();
}

// Adding a watch to a folder already watched only renews it, so the folders
// are simply added again after each change: a folder that appeared gets its
// watch, one that was made anew under the old name gets one on its new inode.
void DeviceWatch::watch_folders() {
    if (!m_location.entry_folder.empty())
        watch_nearest(m_location.entry_folder);
    fs::path name = m_location.expected_path();
    std::error_code ec;
    for (int link = 0; link <= MaxLinks && !name.empty(); ++link) {
        watch_nearest(name.parent_path().string());
        if (!fs::is_symlink(fs::symlink_status(name, ec)))
            break;
        fs::path target = fs::read_symlink(name, ec);
        if (ec)
            break;
        name = (target.is_relative() ? name.parent_path() / target : target).lexically_normal();
    }
}

void DeviceWatch::watch_nearest(const std::string& folder) {
    fs::path at = fs::path(folder).lexically_normal();
    std::error_code ec;
    while (!at.empty() && !fs::is_directory(at, ec)) {
        if (at == at.parent_path())
            return;
        at = at.parent_path();
    }
    if (!at.empty())
        inotify_add_watch(m_fd, at.c_str(), WatchMask);
}

} // namespace platform::serial
