#include "DesignTypes.h"

#include <program/LibraryTable.h>
#include <program/ProgramUnitTypes.h>

#include <charconv>

namespace designc {

DesignTypes DesignTypes::standard() {
    DesignTypes types;
    program::ProgramUnitTypes::each(
        [&types]<typename T>(std::type_identity<T>) { types.add<T>(T::TypeCode, T::type_info()); });
    return types;
}

void DesignTypes::add(std::string name, std::uint32_t code, DesignDataWriter writer,
                      std::span<const units::PropertyRow> properties) {
    m_types.push_back({std::move(name), code, writer, properties});
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
