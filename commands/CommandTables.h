#pragma once

// The commands of this folder in the order the application calls them, one
// table per library of the program's library table. The place that
// assembles the seven library descriptors takes its command entries from
// here (the core library's unit methods belong to the unit types and are
// placed among these by that assembly).
//
//   library 1 (core): ToNumber, ToText, ShowMessage, ToByteSet,
//                     WriteFileBytes, ReadFileBytes, SplitText
//   library 3 (interface style): SetInterfaceStyle
//   library 5 (special functions): Delay
//   library 7 (operating-system interface): GetSpecialFolder, BrowseForFolder

#include <runtime/image/LibraryInfo.h>
#include <runtime/services/LibraryCommand.h>

#include <span>

namespace commands {

std::span<const runtime::LibraryCommand> core_library_commands();
std::span<const runtime::LibraryCommand> interface_style_library_commands();
std::span<const runtime::LibraryCommand> special_functions_library_commands();
std::span<const runtime::LibraryCommand> system_interface_library_commands();

// The LibraryNotify entry of every library whose commands live here: it
// keeps the runtime's HostNotify entry for the commands.
runtime::LibraryNotify commands_library_notify();

} // namespace commands
