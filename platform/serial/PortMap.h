#pragma once

// The map from COM numbers to serial device paths. For each number the
// first match wins:
//   1. the environment variable ARMCTL_COMn (scripts, tests, the virtual arm);
//   2. the entry COMn in the port folder, $XDG_CONFIG_HOME/armctl/ports
//      (~/.config/armctl/ports by default): a symbolic link to the device or
//      a one-line text file holding its path. A dangling link, a folder, a
//      file that is not one absolute path, or a path to nothing is ignored;
//   3. the serial devices present, in a stable order: /dev/serial/by-id/*
//      by name, then /dev/ttyACM*, /dev/ttyUSB* and /dev/ttyS* by number (a
//      ttyS only when the kernel reports a UART behind it), each device once.
//      They take the COM numbers left free by 1 and 2, lowest first, and a
//      device that 1 or 2 already names is not listed again.
//
// The roots of /dev and /sys, the port folder and the environment are
// parameters, so tests build a tree of their own.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::serial {

struct PortRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string config_dir; // the port folder; empty: no entries
    // The environment; by default the process's.
    std::function<std::optional<std::string>(const std::string& name)> environment;

    // The process's roots: /dev, /sys, the user's port folder and environment.
    static PortRoots system();
};

// The user's port folder: $XDG_CONFIG_HOME/armctl/ports, or
// $HOME/.config/armctl/ports; empty when neither variable is set.
std::string default_port_folder();

// The environment variable for a COM number ("ARMCTL_COM3").
std::string port_variable(int com);

enum class PortSource { Environment, Config, Automatic };

struct PortEntry {
    int com = 0;
    std::string path;
    PortSource source = PortSource::Automatic;
    // What the device is: its by-id name or its driver (automatic), the
    // variable's name, or the entry's file.
    std::string description;
};

// A serial device present on the machine, in enumeration order.
struct FoundDevice {
    std::string path;
    std::string description;
};

std::vector<FoundDevice> enumerate_devices(const PortRoots& roots);

// The path the entry COMn in `folder` names, whether or not anything is
// there now; nothing when there is no such entry or it is not one path.
std::optional<std::string> port_entry_target(const std::string& folder, int com);

// Whether `path` leads to something that is not a folder (a device node).
bool names_a_device(const std::string& path);

// The device of one COM number, or nothing.
std::optional<PortEntry> resolve_port(int com, const PortRoots& roots);

// The map for COM1 up to `last` (at least), and beyond where automatic
// devices reach; numbers that map to nothing are left out.
std::vector<PortEntry> port_map(const PortRoots& roots, int last = 10);

// Writes the entry COMn in `folder` as a symbolic link to `device`, making
// the folder when needed; false with a reason in `error`.
bool write_port_entry(const std::string& folder, int com, const std::string& device,
                      std::string& error);
// Removes the entry COMn; true when it is gone (also when it was not there).
bool remove_port_entry(const std::string& folder, int com, std::string& error);

} // namespace platform::serial
