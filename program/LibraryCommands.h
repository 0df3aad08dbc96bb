#pragma once

// The commands and unit methods the program calls, each once, with the
// library whose table holds it. A library's table lists its commands in the
// order of this list, so a command's entry is the number of the same
// library's commands before it here; the library table builds the tables
// from this list and the program takes the numbers from it, so the two
// cannot disagree.

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace program {

enum class CommandId : std::uint8_t {
    ToNumber,
    ToText,
    ShowMessage,
    ToByteSet,
    WriteFileBytes,
    ReadFileBytes,
    SplitText,
    OpenPort,
    ClosePort,
    SendData,
    ShowDialog,
    SetInterfaceStyle,
    AddPanel,
    SetPanelText,
    SetPanelTip,
    Delay,
    SetCurrentCell,
    SetCellData,
    GetCellData,
    Reset,
    GetSpecialFolder,
    BrowseForFolder,
};

struct LibraryCommandSlot {
    CommandId id;
    std::uint32_t library; // from 1
};

// In each library, the order of first use by the program: start-up converts
// the speed box and the slider positions, the help button shows a message,
// saving converts and writes the record log, importing reads and splits a
// file; the core library's unit methods follow its commands.
inline constexpr LibraryCommandSlot LibraryCommands[] = {
    {CommandId::ToNumber, 1},
    {CommandId::ToText, 1},
    {CommandId::ShowMessage, 1},
    {CommandId::ToByteSet, 1},
    {CommandId::WriteFileBytes, 1},
    {CommandId::ReadFileBytes, 1},
    {CommandId::SplitText, 1},
    {CommandId::OpenPort, 1}, // the serial port's methods
    {CommandId::ClosePort, 1},
    {CommandId::SendData, 1},
    {CommandId::ShowDialog, 1}, // the file dialog's method
    {CommandId::SetInterfaceStyle, 3},
    {CommandId::AddPanel, 4}, // the status bar's methods
    {CommandId::SetPanelText, 4},
    {CommandId::SetPanelTip, 4},
    {CommandId::Delay, 5},
    {CommandId::SetCurrentCell, 6}, // the grid's methods
    {CommandId::SetCellData, 6},
    {CommandId::GetCellData, 6},
    {CommandId::Reset, 6},
    {CommandId::GetSpecialFolder, 7}, // saving asks for the application data folder
    {CommandId::BrowseForFolder, 7},  // importing browses for a file
};

// Where the program finds a command: its library (from 1) and its entry in
// the library's table (from 0).
struct CommandPlace {
    std::uint32_t library = 0;
    std::uint32_t entry = 0;
};

constexpr CommandPlace command_place(CommandId id) {
    for (std::size_t i = 0; i < std::size(LibraryCommands); ++i) {
        if (LibraryCommands[i].id != id)
            continue;
        CommandPlace place{LibraryCommands[i].library, 0};
        for (std::size_t before = 0; before < i; ++before)
            place.entry += LibraryCommands[before].library == place.library ? 1 : 0;
        return place;
    }
    return {};
}

// Every command stands in the list once (BrowseForFolder is the last of them).
constexpr bool lists_each_command_once() {
    constexpr std::size_t count = static_cast<std::size_t>(CommandId::BrowseForFolder) + 1;
    if (std::size(LibraryCommands) != count)
        return false;
    for (std::size_t id = 0; id < count; ++id) {
        std::size_t seen = 0;
        for (const LibraryCommandSlot& slot : LibraryCommands)
            seen += static_cast<std::size_t>(slot.id) == id ? 1 : 0;
        if (seen != 1)
            return false;
    }
    return true;
}
static_assert(lists_each_command_once());

} // namespace program
