#include "PortEntry.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace arm {

namespace fs = std::filesystem;

namespace {

// The device an existing entry names: a link's target or a text file's
// first line.
std::string named_device(const fs::path& entry) {
    std::error_code ec;
    if (fs::is_symlink(entry, ec))
        return fs::read_symlink(entry, ec).string();
    std::ifstream in(entry);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

} // namespace

std::string PortEntry::path_for(int number, const char* xdg_config_home, const char* home) {
    fs::path base;
    if (xdg_config_home && xdg_config_home[0] == '/')
        base = xdg_config_home;
    else if (home && *home)
        base = fs::path(home) / ".config";
    else
        return {};
    return (base / "armctl" / "ports" / ("COM" + std::to_string(number))).string();
}

bool PortEntry::publish(const std::string& entry, const std::string& device, std::string& error) {
    withdraw();
    fs::path path(entry);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) {
        error = path.parent_path().string() + ": " + ec.message();
        return false;
    }
    if (fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
        std::string named = named_device(path);
        if (!named.empty() && fs::exists(named, ec)) {
            error = entry + " already maps the port to " + named;
            return false;
        }
    }
    // A link made beside the entry and renamed over it replaces a stale
    // entry in one step.
    fs::path temporary = path;
    temporary += ".arm-" + std::to_string(getpid());
    fs::remove(temporary, ec);
    if (symlink(device.c_str(), temporary.c_str()) != 0 ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = entry + ": " + std::strerror(errno);
        fs::remove(temporary, ec);
        return false;
    }
    m_entry = entry;
    m_device = device;
    return true;
}

void PortEntry::withdraw() {
    if (m_entry.empty())
        return;
    std::error_code ec;
    if (fs::is_symlink(m_entry, ec) && fs::read_symlink(m_entry, ec).string() == m_device)
        fs::remove(m_entry, ec);
    m_entry.clear();
    m_device.clear();
}

} // namespace arm
