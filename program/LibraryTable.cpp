#include "LibraryTable.h"

#include <commands/CommandTables.h>

#include <units/ButtonUnit.h>
#include <units/ComboBoxUnit.h>
#include <units/CommonDlgUnit.h>
#include <units/EditBoxUnit.h>
#include <units/GroupBoxUnit.h>
#include <units/LabelUnit.h>
#include <units/PicBoxUnit.h>
#include <units/StatusBarUnit.h>
#include <units/WindowUnit.h>
#include <units/framework/Unit.h>
#include <units/grid/GridUnit.h>
#include <units/serialport/SerialPortUnit.h>
#include <units/superbar/SuperBarUnit.h>

#include <platform/controls/Controls.h>
#include <platform/window/WindowSystem.h>

namespace program {

namespace {

// Type slots per library, in library order.
constexpr std::array<std::size_t, LibraryCount> TypeSlots = {51, 1, 0, 2, 0, 1, 0};

} // namespace

std::intptr_t core_library_notify(std::int32_t code, std::intptr_t argument1,
                                  std::intptr_t argument2) {
    // The core library's commands keep the runtime's entry too.
    commands::commands_library_notify()(code, argument1, argument2);
    if (code == runtime::LibraryNotifyStartUp) {
        units::set_host(reinterpret_cast<runtime::HostNotifyFunction>(argument1));
        if (platform::backend())
            platform::register_standard_controls();
    }
    return 0;
}

LibraryTable& LibraryTable::the() {
    static LibraryTable table;
    return table;
}

LibraryTable::LibraryTable() {
    for (std::size_t i = 0; i < LibraryCount; ++i) {
        m_types[i].resize(TypeSlots[i]);
        m_libraries[i].unit_type_count = static_cast<std::uint32_t>(TypeSlots[i]);
        m_libraries[i].unit_types = m_types[i].empty() ? nullptr : m_types[i].data();
        m_pointers[i] = &m_libraries[i];
    }
    m_libraries[0].notify = core_library_notify;
    set_unit_type(1, 1, units::WindowUnit::type_info());
    set_unit_type(1, 5, units::EditBoxUnit::type_info());
    set_unit_type(1, 6, units::PicBoxUnit::type_info());
    set_unit_type(1, 9, units::GroupBoxUnit::type_info());
    set_unit_type(1, 10, units::LabelUnit::type_info());
    set_unit_type(1, 11, units::ButtonUnit::type_info());
    set_unit_type(1, 14, units::ComboBoxUnit::type_info());
    set_unit_type(1, 31, units::CommonDlgUnit::type_info());
    set_unit_type(1, 39, units::SerialPortUnit::type_info());
    set_unit_type(2, 1, units::SuperBarUnit::type_info());
    set_unit_type(4, 2, units::StatusBarUnit::type_info());
    set_unit_type(6, 1, units::GridUnit::type_info());

    // The library commands, in the order the application calls them.
    auto attach = [this](std::size_t library, std::span<const runtime::LibraryCommand> list) {
        set_commands(library, {list.begin(), list.end()});
    };
    // Library 1: the core commands, then the unit methods: the serial port's
    // OpenPort, ClosePort and SendData, then the file dialog's ShowDialog.
    std::vector<runtime::LibraryCommand> core(commands::core_library_commands().begin(),
                                              commands::core_library_commands().end());
    auto serial = units::serial_port_commands();
    core.insert(core.end(), serial.begin(), serial.end());
    core.push_back(&units::CommonDlgUnit::ShowDialog);
    set_commands(1, std::move(core));
    attach(3, commands::interface_style_library_commands());
    attach(4, units::status_bar_commands());
    attach(5, commands::special_functions_library_commands());
    attach(6, units::grid_commands());
    attach(7, commands::system_interface_library_commands());
    for (std::size_t library : {3u, 5u, 7u})
        m_libraries[library - 1].notify = commands::commands_library_notify();
}

void LibraryTable::set_unit_type(std::size_t library, std::size_t position,
                                 const runtime::UnitTypeInfo& type) {
    if (library < 1 || library > LibraryCount)
        return;
    auto& types = m_types[library - 1];
    if (position < 1 || position > types.size())
        return;
    types[position - 1] = type;
}

void LibraryTable::set_commands(std::size_t library,
                                std::vector<runtime::LibraryCommand> commands) {
    if (library < 1 || library > LibraryCount)
        return;
    m_commands[library - 1] = std::move(commands);
    auto& info = m_libraries[library - 1];
    info.command_count = static_cast<std::uint32_t>(m_commands[library - 1].size());
    info.commands = m_commands[library - 1].empty() ? nullptr : m_commands[library - 1].data();
}

} // namespace program
