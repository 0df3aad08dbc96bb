#include "CommandTables.h"

#include "ConversionCommands.h"
#include "DelayCommand.h"
#include "FileCommands.h"
#include "FolderCommands.h"
#include "InterfaceStyle.h"
#include "LibraryHost.h"
#include "MessageCommands.h"
#include "TextCommands.h"

namespace commands {

namespace {

// The order of first use: start-up converts the speed box and the slider
// positions, the help button shows a message, saving converts and writes
// the record log, importing reads and splits a file.
constexpr runtime::LibraryCommand core[] = {
    ToNumber, ToText, ShowMessage, ToByteSet, WriteFileBytes, ReadFileBytes, SplitText,
};
constexpr runtime::LibraryCommand interface_style[] = {SetInterfaceStyle};
constexpr runtime::LibraryCommand special_functions[] = {Delay};
// Saving asks for the application data folder; importing browses for a file.
constexpr runtime::LibraryCommand system_interface[] = {GetSpecialFolder, BrowseForFolder};

} // namespace

std::span<const runtime::LibraryCommand> core_library_commands() {
    return core;
}

std::span<const runtime::LibraryCommand> interface_style_library_commands() {
    return interface_style;
}

std::span<const runtime::LibraryCommand> special_functions_library_commands() {
    return special_functions;
}

std::span<const runtime::LibraryCommand> system_interface_library_commands() {
    return system_interface;
}

runtime::LibraryNotify commands_library_notify() {
    return library_notify;
}

} // namespace commands
