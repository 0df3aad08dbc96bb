// armctl-ports: shows which device each COM number opens, and sets or
// clears the user's own entries in the port folder.
//
//   armctl-ports                  the map, COM1 to COM10 and any further
//   armctl-ports set COM3 /dev/ttyUSB0
//   armctl-ports clear COM3

#include <platform/serial/PortMap.h>

#include <ArmctlVersion.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <strings.h>

namespace serial = platform::serial;

namespace {

int usage(FILE* out) {
    std::fputs("usage: armctl-ports                  show the COM port map\n"
               "       armctl-ports set COMn DEVICE  open DEVICE as COMn\n"
               "       armctl-ports clear COMn       remove the entry for COMn\n"
               "       armctl-ports --version\n",
               out);
    return out == stdout ? 0 : 2;
}

// "COM3", "com3" or "3"; 0 when it is none of these.
int parse_com(const char* text) {
    if (strncasecmp(text, "COM", 3) == 0)
        text += 3;
    if (*text < '1' || *text > '9')
        return 0;
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (*end || number < 1 || number > 9999)
        return 0;
    return static_cast<int>(number);
}

std::string describe(const serial::PortEntry& entry) {
    switch (entry.source) {
    case serial::PortSource::Environment:
        return "set by " + entry.description;
    case serial::PortSource::Config:
        return "entry " + entry.description;
    case serial::PortSource::Automatic:
        return entry.description;
    }
    return {};
}

int show_map() {
    auto roots = serial::PortRoots::system();
    auto map = serial::port_map(roots);
    int last = 10;
    for (auto& entry : map)
        last = std::max(last, entry.com);
    std::size_t width = 12;
    for (auto& entry : map)
        width = std::max(width, entry.path.size());
    for (int com = 1; com <= last; ++com) {
        std::string name = "COM" + std::to_string(com);
        auto it = std::find_if(map.begin(), map.end(), [&](auto& e) { return e.com == com; });
        if (it == map.end()) {
            std::printf("%-6s %s\n", name.c_str(), "-");
            continue;
        }
        std::printf("%-6s %-*s  %s\n", name.c_str(), static_cast<int>(width), it->path.c_str(),
                    describe(*it).c_str());
    }
    std::printf("entries: %s\n", roots.config_dir.empty() ? "(no HOME or XDG_CONFIG_HOME)"
                                                          : roots.config_dir.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1 || (argc == 2 && std::strcmp(argv[1], "list") == 0))
        return show_map();
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return usage(stdout);
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("armctl-ports %s\n", ARMCTL_VERSION);
        return 0;
    }

    std::string folder = serial::default_port_folder();
    if (folder.empty()) {
        std::fputs("armctl-ports: neither XDG_CONFIG_HOME nor HOME is set\n", stderr);
        return 1;
    }
    std::string error;
    if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
        int com = parse_com(argv[2]);
        if (!com)
            return usage(stderr);
        if (!std::filesystem::exists(argv[3]))
            std::fprintf(stderr,
                         "armctl-ports: %s does not exist now; COM%d uses it once it does\n",
                         argv[3], com);
        if (!serial::write_port_entry(folder, com, argv[3], error)) {
            std::fprintf(stderr, "armctl-ports: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "clear") == 0) {
        int com = parse_com(argv[2]);
        if (!com)
            return usage(stderr);
        if (!serial::remove_port_entry(folder, com, error)) {
            std::fprintf(stderr, "armctl-ports: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    return usage(stderr);
}
