#include "LibraryTable.h"

#include "LibraryCommands.h"
#include "ProgramUnitTypes.h"

#include <commands/ConversionCommands.h>
#include <commands/DelayCommand.h>
#include <commands/FileCommands.h>
#include <commands/FolderCommands.h>
#include <commands/InterfaceStyle.h>
#include <commands/MessageCommands.h>
#include <commands/TextCommands.h>

#include <runtime/services/LibraryHost.h>

#include <platform/controls/Controls.h>
#include <platform/window/WindowSystem.h>

namespace program {

namespace {

// Type slots per library, in library order.
constexpr std::array<std::size_t, LibraryCount> TypeSlots = {51, 1, 0, 2, 0, 1, 0};

runtime::LibraryCommand implementation(CommandId id) {
    using units::CommonDlgUnit;
    using units::GridUnit;
    using units::SerialPortUnit;
    using units::StatusBarUnit;
    switch (id) {
    case CommandId::ToNumber:
        return commands::ToNumber;
    case CommandId::ToText:
        return commands::ToText;
    case CommandId::ShowMessage:
        return commands::ShowMessage;
    case CommandId::ToByteSet:
        return commands::ToByteSet;
    case CommandId::WriteFileBytes:
        return commands::WriteFileBytes;
    case CommandId::ReadFileBytes:
        return commands::ReadFileBytes;
    case CommandId::SplitText:
        return commands::SplitText;
    case CommandId::OpenPort:
        return SerialPortUnit::methods()[SerialPortUnit::OpenPort];
    case CommandId::ClosePort:
        return SerialPortUnit::methods()[SerialPortUnit::ClosePort];
    case CommandId::SendData:
        return SerialPortUnit::methods()[SerialPortUnit::SendData];
    case CommandId::ShowDialog:
        return CommonDlgUnit::methods()[CommonDlgUnit::ShowDialog];
    case CommandId::SetInterfaceStyle:
        return commands::SetInterfaceStyle;
    case CommandId::AddPanel:
        return StatusBarUnit::methods()[StatusBarUnit::AddPanel];
    case CommandId::SetPanelText:
        return StatusBarUnit::methods()[StatusBarUnit::SetPanelText];
    case CommandId::SetPanelTip:
        return StatusBarUnit::methods()[StatusBarUnit::SetPanelTip];
    case CommandId::Delay:
        return commands::Delay;
    case CommandId::SetCurrentCell:
        return GridUnit::methods()[GridUnit::SetCurrentCell];
    case CommandId::SetCellData:
        return GridUnit::methods()[GridUnit::SetCellData];
    case CommandId::GetCellData:
        return GridUnit::methods()[GridUnit::GetCellData];
    case CommandId::Reset:
        return GridUnit::methods()[GridUnit::Reset];
    case CommandId::GetSpecialFolder:
        return commands::GetSpecialFolder;
    case CommandId::BrowseForFolder:
        return commands::BrowseForFolder;
    }
    return nullptr;
}

} // namespace

std::intptr_t core_library_notify(std::int32_t code, std::intptr_t argument1,
                                  std::intptr_t argument2) {
    runtime::keep_library_host(code, argument1, argument2);
    if (code == runtime::LibraryNotifyStartUp && platform::backend())
        platform::register_standard_controls();
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
    ProgramUnitTypes::each([this]<typename T>(std::type_identity<T>) {
        set_unit_type(type_library(T::TypeCode), type_position(T::TypeCode), T::type_info());
    });

    std::array<std::vector<runtime::LibraryCommand>, LibraryCount> tables;
    for (const LibraryCommandSlot& slot : LibraryCommands)
        tables[slot.library - 1].push_back(implementation(slot.id));
    for (std::size_t i = 0; i < LibraryCount; ++i) {
        if (!tables[i].empty())
            set_commands(i + 1, std::move(tables[i]));
    }
    // The commands' libraries keep the runtime's entry for them as the core library does.
    for (std::size_t library : {3u, 5u, 7u})
        m_libraries[library - 1].notify = runtime::keep_library_host;
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
