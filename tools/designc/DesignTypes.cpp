#include "DesignTypes.h"

#include <program/LibraryTable.h>
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

#include <charconv>

namespace designc {

DesignTypes DesignTypes::standard() {
    DesignTypes types;
    types.add<units::WindowUnit>(units::WindowUnit::TypeCode, units::WindowUnit::type_info());
    types.add<units::SerialPortUnit>(units::SerialPortUnit::TypeCode,
                                     units::SerialPortUnit::type_info());
    types.add<units::StatusBarUnit>(units::StatusBarUnit::TypeCode,
                                    units::StatusBarUnit::type_info());
    types.add<units::SuperBarUnit>(units::SuperBarUnit::TypeCode, units::SuperBarUnit::type_info());
    types.add<units::EditBoxUnit>(units::EditBoxUnit::TypeCode, units::EditBoxUnit::type_info());
    types.add<units::PicBoxUnit>(units::PicBoxUnit::TypeCode, units::PicBoxUnit::type_info());
    types.add<units::GroupBoxUnit>(units::GroupBoxUnit::TypeCode, units::GroupBoxUnit::type_info());
    types.add<units::LabelUnit>(units::LabelUnit::TypeCode, units::LabelUnit::type_info());
    types.add<units::ButtonUnit>(units::ButtonUnit::TypeCode, units::ButtonUnit::type_info());
    types.add<units::ComboBoxUnit>(units::ComboBoxUnit::TypeCode, units::ComboBoxUnit::type_info());
    types.add<units::CommonDlgUnit>(units::CommonDlgUnit::TypeCode,
                                    units::CommonDlgUnit::type_info());
    types.add<units::GridUnit>(units::GridUnit::TypeCode, units::GridUnit::type_info());
    return types;
}

void DesignTypes::add(std::string name, std::uint32_t code, DesignDataWriter writer) {
    m_types.push_back({std::move(name), code, writer});
}

const DesignType* DesignTypes::find(std::string_view name) const {
    for (auto& type : m_types) {
        if (type.name == name)
            return &type;
    }
    return nullptr;
}

const DesignType* DesignTypes::find(std::uint32_t code) const {
    for (auto& type : m_types) {
        if (type.code == code)
            return &type;
    }
    return nullptr;
}

std::optional<std::uint32_t> DesignTypes::resolve(std::string_view written) const {
    if (auto* type = find(written))
        return type->code;
    auto colon = written.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    auto number = [](std::string_view text) -> std::optional<std::uint32_t> {
        std::uint32_t value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return value;
    };
    auto library = number(written.substr(0, colon));
    auto position = number(written.substr(colon + 1));
    if (!library || !position || *library < 1 || *library > program::LibraryCount ||
        *position < 1 || *position > 0xFFFF)
        return std::nullopt;
    return (*library << 16) | *position;
}

} // namespace designc
