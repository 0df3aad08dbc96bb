#pragma once

// The program's unit types, each once. A type's library and its position
// in the library come from its type code (library in the high half,
// position from 1 in the low half); the library table places each type
// there and the design compiler knows each by its name.

#include <units/ButtonUnit.h>
#include <units/ComboBoxUnit.h>
#include <units/CommonDlgUnit.h>
#include <units/EditBoxUnit.h>
#include <units/GroupBoxUnit.h>
#include <units/LabelUnit.h>
#include <units/PicBoxUnit.h>
#include <units/StatusBarUnit.h>
#include <units/WindowUnit.h>
#include <units/grid/GridUnit.h>
#include <units/serialport/SerialPortUnit.h>
#include <units/superbar/SuperBarUnit.h>

#include <cstdint>
#include <type_traits>

namespace program {

constexpr std::uint32_t type_library(std::uint32_t type_code) {
    return type_code >> 16;
}
constexpr std::uint32_t type_position(std::uint32_t type_code) {
    return type_code & 0xFFFF;
}

template <typename... Types> struct UnitTypeList {
    // Calls visit(std::type_identity<T>{}) for each type T, in list order.
    template <typename Visit> static void each(Visit&& visit) {
        (visit(std::type_identity<Types>{}), ...);
    }
};

using ProgramUnitTypes =
    UnitTypeList<units::WindowUnit, units::EditBoxUnit, units::PicBoxUnit, units::GroupBoxUnit,
                 units::LabelUnit, units::ButtonUnit, units::ComboBoxUnit, units::CommonDlgUnit,
                 units::SerialPortUnit, units::SuperBarUnit, units::StatusBarUnit, units::GridUnit>;

} // namespace program
