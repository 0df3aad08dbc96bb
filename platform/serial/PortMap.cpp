#include "PortMap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace platform::serial {
namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t MaxEntryFileSize = 4096;

std::optional<std::string> process_environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

// The device a path leads to, for telling whether two paths name one device.
std::string identity(const std::string& path) {
    std::error_code ec;
    auto canonical = fs::canonical(path, ec);
    return ec ? fs::path(path).lexically_normal().string() : canonical.string();
}

std::optional<std::string> read_text_entry(const fs::path& entry) {
    std::error_code ec;
    if (fs::file_size(entry, ec) > MaxEntryFileSize || ec)
        return std::nullopt;
    std::ifstream in(entry, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '\t'))
        text.pop_back();
    auto first = text.find_first_not_of(" \t");
    text.erase(0, first == std::string::npos ? text.size() : first);
    if (text.empty() || text.front() != '/')
        return std::nullopt;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return std::nullopt;
    }
    return text;
}

std::optional<std::string> read_config_entry(const std::string& folder, int com) {
    auto device = port_entry_target(folder, com);
    if (!device || !names_a_device(*device))
        return std::nullopt;
    return device;
}

std::optional<PortEntry> explicit_entry(int com, const PortRoots& roots) {
    std::string variable = port_variable(com);
    auto lookup = roots.environment ? roots.environment : process_environment;
    if (auto value = lookup(variable); value && !value->empty())
        return PortEntry{com, *value, PortSource::Environment, variable};
    if (auto device = read_config_entry(roots.config_dir, com)) {
        auto entry = (fs::path(roots.config_dir) / ("COM" + std::to_string(com))).string();
        return PortEntry{com, *device, PortSource::Config, entry};
    }
    return std::nullopt;
}

// The names in `folder` that are `prefix` and a number, by number.
std::vector<std::pair<long, std::string>> numbered(const fs::path& folder,
                                                   const std::string& prefix) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), ::isdigit))
            continue;
        found.emplace_back(std::stol(digits), name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string read_first_word(const fs::path& file) {
    std::ifstream in(file);
    std::string word;
    in >> word;
    return word;
}

// The driver behind a terminal. Newer kernels put the serial core's own
// "port" devices between a UART and its driver; those are passed over.
std::string driver_of(const PortRoots& roots, const std::string& name) {
    std::error_code ec;
    fs::path device = fs::path(roots.sys) / "class/tty" / name / "device";
    auto resolved = fs::canonical(device, ec);
    if (!ec)
        device = resolved;
    for (int level = 0; level < 4 && !device.empty(); ++level) {
        auto driver = fs::read_symlink(device / "driver", ec);
        if (!ec && driver.parent_path().parent_path().filename() != "serial-base")
            return driver.filename().string();
        device = device.parent_path();
    }
    return {};
}

// An 8250-style port exists for every possible ttyS, UART or not; the kernel
// gives its UART type as 0 (unknown) when there is none.
bool has_uart(const PortRoots& roots, const std::string& name) {
    std::string type = read_first_word(fs::path(roots.sys) / "class/tty" / name / "type");
    return !type.empty() && type != "0";
}

} // namespace

PortRoots PortRoots::system() {
    PortRoots roots;
    roots.config_dir = default_port_folder();
    return roots;
}

std::string default_port_folder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return (fs::path(config) / "armctl/ports").string();
    const char* home = std::getenv("HOME");
    if (home && *home)
        return (fs::path(home) / ".config/armctl/ports").string();
    return {};
}

std::string port_variable(int com) {
    return "ARMCTL_COM" + std::to_string(com);
}

std::optional<std::string> port_entry_target(const std::string& folder, int com) {
    if (folder.empty())
        return std::nullopt;
    fs::path entry = fs::path(folder) / ("COM" + std::to_string(com));
    std::error_code ec;
    auto status = fs::symlink_status(entry, ec);
    if (ec || !fs::exists(status))
        return std::nullopt;
    if (fs::is_symlink(status)) {
        auto target = fs::read_symlink(entry, ec);
        if (ec)
            return std::nullopt;
        if (target.is_relative())
            target = fs::path(folder) / target;
        return target.lexically_normal().string();
    }
    if (fs::is_regular_file(status))
        return read_text_entry(entry);
    return std::nullopt;
}

bool names_a_device(const std::string& path) {
    std::error_code ec;
    auto status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

std::vector<FoundDevice> enumerate_devices(const PortRoots& roots) {
    std::vector<FoundDevice> devices;
    std::set<std::string> seen;
    auto add = [&](const std::string& path, const std::string& description) {
        if (!names_a_device(path))
            return;
        if (!seen.insert(identity(path)).second)
            return;
        devices.push_back({path, description});
    };

    fs::path by_id = fs::path(roots.dev) / "serial/by-id";
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(by_id, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (auto& name : names)
        add((by_id / name).string(), name);

    for (const char* prefix : {"ttyACM", "ttyUSB", "ttyS"}) {
        bool uart_only = std::string_view(prefix) == "ttyS";
        for (auto& [number, name] : numbered(roots.dev, prefix)) {
            if (uart_only && !has_uart(roots, name))
                continue;
            std::string driver = driver_of(roots, name);
            add((fs::path(roots.dev) / name).string(), driver.empty() ? prefix : driver);
        }
    }
    return devices;
}

std::vector<PortEntry> port_map(const PortRoots& roots, int last) {
    std::vector<PortEntry> map;
    std::set<std::string> named;
    for (int com = 1; com <= last; ++com) {
        if (auto entry = explicit_entry(com, roots)) {
            named.insert(identity(entry->path));
            map.push_back(std::move(*entry));
        }
    }
    auto taken = [&](int com) {
        return std::any_of(map.begin(), map.end(), [&](auto& e) { return e.com == com; });
    };
    int com = 1;
    for (auto& device : enumerate_devices(roots)) {
        if (named.count(identity(device.path)))
            continue;
        while (taken(com))
            ++com;
        map.push_back({com, device.path, PortSource::Automatic, device.description});
        ++com;
    }
    std::sort(map.begin(), map.end(), [](auto& a, auto& b) { return a.com < b.com; });
    return map;
}

std::optional<PortEntry> resolve_port(int com, const PortRoots& roots) {
    if (com < 1)
        return std::nullopt;
    for (auto& entry : port_map(roots, std::max(com, 10))) {
        if (entry.com == com)
            return entry;
    }
    return std::nullopt;
}

bool write_port_entry(const std::string& folder, int com, const std::string& device,
                      std::string& error) {
    if (com < 1 || folder.empty() || device.empty()) {
        error = "needs a COM number from 1, a port folder and a device path";
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    fs::path target = fs::absolute(device, ec);
    fs::path entry = fs::path(folder) / ("COM" + std::to_string(com));
    // The link is made beside the entry and renamed over it, so a reader
    // never finds the entry missing or half written.
    fs::path temporary =
        fs::path(folder) / (".COM" + std::to_string(com) + "." + std::to_string(::getpid()));
    fs::remove(temporary, ec);
    fs::create_symlink(target.lexically_normal(), temporary, ec);
    if (!ec)
        fs::rename(temporary, entry, ec);
    if (ec) {
        error = entry.string() + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool remove_port_entry(const std::string& folder, int com, std::string& error) {
    fs::path entry = fs::path(folder) / ("COM" + std::to_string(com));
    std::error_code ec;
    auto status = fs::symlink_status(entry, ec);
    if (ec || !fs::exists(status))
        return true;
    if (fs::is_directory(status)) {
        error = entry.string() + ": is a folder, not an entry";
        return false;
    }
    fs::remove(entry, ec);
    if (ec) {
        error = entry.string() + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace platform::serial
