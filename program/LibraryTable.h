#pragma once

// The one place that assembles the program's seven library descriptors, in
// their order: 1 the core library (51 type slots, the window unit at 1
// and the serial port at 39; its commands, then the serial port's methods),
// 2 an extended-interface library (the bar unit), 3 the interface-style
// library, 4 a second extended-interface library (the status bar unit at 2),
// 5 the special-functions library, 6 the grid library, 7 the
// operating-system-interface library. Type slots that no unit type fills yet
// stay all-zero. The unit types are those of ProgramUnitTypes.h, the command
// tables those of LibraryCommands.h.

#include <runtime/image/LibraryInfo.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/LibraryCommand.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace program {

inline constexpr std::size_t LibraryCount = 7;

class LibraryTable {
  public:
    static LibraryTable& the();

    // The table the program header names.
    const runtime::LibraryInfo* const* libraries() const { return m_pointers.data(); }
    std::uint32_t count() const { return static_cast<std::uint32_t>(LibraryCount); }

    // Puts a unit type at its position (from 1) in a library (from 1).
    void set_unit_type(std::size_t library, std::size_t position,
                       const runtime::UnitTypeInfo& type);
    // The commands the program calls from a library (from 1), in its order.
    void set_commands(std::size_t library, std::vector<runtime::LibraryCommand> commands);

  private:
    LibraryTable();

    std::array<runtime::LibraryInfo, LibraryCount> m_libraries{};
    std::array<const runtime::LibraryInfo*, LibraryCount> m_pointers{};
    std::array<std::vector<runtime::UnitTypeInfo>, LibraryCount> m_types;
    std::array<std::vector<runtime::LibraryCommand>, LibraryCount> m_commands;
};

// Library 1's entry: remembers the runtime's service entry at start-up.
std::intptr_t core_library_notify(std::int32_t code, std::intptr_t argument1,
                                  std::intptr_t argument2);

} // namespace program
