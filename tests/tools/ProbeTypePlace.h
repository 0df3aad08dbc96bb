#pragma once

// The runtime tests' probe unit type, placed at a position of library 1
// that no unit type of the program uses, so that a design can name it and
// a program built from that design can create it.

#include <tests/units/ProbeUnit.h>

#include <program/LibraryTable.h>

#include <cstdint>

namespace test_support {

inline constexpr std::uint32_t ProbeTypePosition = 50;
inline constexpr std::uint32_t ProbeTypeCode = 0x10000 | ProbeTypePosition;

inline void register_probe_type() {
    program::LibraryTable::the().set_unit_type(1, ProbeTypePosition,
                                               test_support::ProbeUnit::type_info());
}

} // namespace test_support
