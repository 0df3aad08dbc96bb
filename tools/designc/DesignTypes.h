#pragma once

// The unit types a design may name: each type's name, its type code and the
// writer of its stored data from settings by name. The writer is the unit
// type's own (UnitTypeEntries<T>::design_data, over its Settings::write), so
// what the compiler stores is what the unit reads back.

#include <units/framework/UnitType.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace designc {

using NamedSettings = std::span<const std::pair<std::string, std::string>>;
using DesignDataWriter = bool (*)(NamedSettings named, std::vector<std::uint8_t>& data,
                                  std::string& bad_name);

struct DesignType {
    std::string name;
    std::uint32_t code = 0;
    DesignDataWriter writer = nullptr;
};

class DesignTypes {
  public:
    // The unit types of the program's libraries.
    static DesignTypes standard();

    void add(std::string name, std::uint32_t code, DesignDataWriter writer);
    // A unit class T: its English name from its descriptor, its own writer.
    template <typename T> void add(std::uint32_t code, const runtime::UnitTypeInfo& info) {
        add(info.english_name ? info.english_name : "", code,
            &units::UnitTypeEntries<T>::design_data);
    }

    const DesignType* find(std::string_view name) const;
    const DesignType* find(std::uint32_t code) const;

    // A type name or library:type (library 1..7, type from 1) as a type
    // code; nothing when it names no type.
    std::optional<std::uint32_t> resolve(std::string_view written) const;

  private:
    std::vector<DesignType> m_types;
};

} // namespace designc
