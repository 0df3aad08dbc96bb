#pragma once

// What the runtime knows of one unit type: its names, flags, property table
// and the query function that hands out the type's entry points by number.

#include <array>
#include <cstdint>

namespace runtime {

struct PropertyInfo; // one entry of a unit type's property table; the unit framework defines it

using UnitEntryPoint = void (*)();
using UnitQueryFunction = UnitEntryPoint (*)(std::int32_t code);

inline constexpr std::int32_t UnitQueryCreate = 1;
inline constexpr std::int32_t UnitQuerySetProperty = 4;
inline constexpr std::int32_t UnitQuerySaveState = 5;
inline constexpr std::int32_t UnitQueryGetProperty = 6;

// An event can be raised only for a unit whose type has one of these flags.
inline constexpr std::uint32_t UnitTypeRaisesEvents = 0x44;

struct UnitTypeInfo {
    const char* display_name = nullptr; // GBK
    const char* english_name = nullptr; // "EditBox", "window", ...
    std::array<std::uint32_t, 3> reserved1{};
    std::uint32_t flags = 0;
    std::array<std::uint32_t, 3> reserved2{};
    std::uint32_t property_count = 0;
    const PropertyInfo* properties = nullptr;
    UnitQueryFunction query = nullptr;
    std::array<std::uint32_t, 2> reserved3{};

    // Types the program does not use keep an all-zero slot in their library.
    bool is_empty_slot() const { return !display_name && !english_name && !query; }
};

} // namespace runtime
