#pragma once

// The serial port unit of the serial benchmarks, driven as the program
// drives it: one unit in a plain top-level window of the headless display,
// found by the runtime through a library host of its own, its methods called
// with the unit named in argument 0.

#include <units/serialport/SerialPortUnit.h>

#include <platform/window/WindowSystem.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/LibraryHost.h>
#include <runtime/windows/UnitObject.h>

#include <cstdint>

namespace bench::serial_port {

inline constexpr std::uint32_t WindowId = 0x52010001;
inline constexpr std::uint32_t PortId = 0x16010030;

inline units::SerialPortUnit* g_port = nullptr;
inline platform::HWND g_top = nullptr;

inline std::intptr_t host(std::int32_t code, std::intptr_t, std::intptr_t unit_id) {
    if (code == runtime::host_service::UnitWindowObjectOrFail && g_port &&
        g_port->unit_id() == static_cast<std::uint32_t>(unit_id))
        return reinterpret_cast<std::intptr_t>(static_cast<runtime::UnitObject*>(g_port));
    return 0;
}

// Makes the unit on COM `com` in a new window of the initialised display.
inline units::SerialPortUnit* create(std::int64_t com) {
    runtime::set_library_host(host);
    g_top = platform::create_window_ex(0, "STATIC", "top", 0, 0, 0, 300, 200, nullptr, 0);
    g_port = dynamic_cast<units::SerialPortUnit*>(units::SerialPortUnit::Entries::create(
        nullptr, 0, 0, g_top, 200, nullptr, 0, 0, 32, 32, WindowId, PortId, 0, 0));
    if (g_port) {
        runtime::PropertyValue value;
        value.data = com;
        units::SerialPortUnit::Entries::set_property(g_port, units::SerialPortUnit::PortNumber,
                                                     &value, nullptr);
    }
    return g_port;
}

// Takes the window, and with it the unit, away again.
inline void destroy() {
    platform::destroy_window(g_top);
    g_top = nullptr;
    g_port = nullptr;
    runtime::set_library_host(nullptr);
}

// Calls the unit's method `entry` (0 OpenPort, 1 ClosePort, 2 SendData).
inline bool call(std::size_t entry, const runtime::TypedValue* value = nullptr) {
    runtime::TypedValue args[2];
    args[0].set_words(WindowId, PortId);
    args[0].type = units::SerialPortUnit::TypeCode;
    std::int32_t count = 1;
    if (value)
        args[count++] = *value;
    runtime::TypedValue result;
    units::SerialPortUnit::methods()[entry](&result, count, args);
    return result.data != 0;
}

} // namespace bench::serial_port
