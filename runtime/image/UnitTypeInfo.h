#pragma once

// What the runtime knows of one unit type: its names, flags, property table
// and the query function that hands out the type's entry points by number,
// together with the signatures of those entry points.

#include <platform/Types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace runtime {

class UnitObject;

// Value kinds of the property table.
namespace value_kind {
inline constexpr std::uint16_t Empty = 0;
inline constexpr std::uint16_t Word = 1000;
inline constexpr std::uint16_t Integer = 1001;
inline constexpr std::uint16_t TwoWords = 1002;
inline constexpr std::uint16_t Boolean = 1003;
inline constexpr std::uint16_t TwoWordsToo = 1004;
inline constexpr std::uint16_t Text = 1005;
inline constexpr std::uint16_t Choice = 1006;
inline constexpr std::uint16_t Picture = 1009;
inline constexpr std::uint16_t Block1010 = 1010;
inline constexpr std::uint16_t Cursor = 1011;
inline constexpr std::uint16_t Sound = 1012;
inline constexpr std::uint16_t Font = 1013;
inline constexpr std::uint16_t Colour = 1014;
inline constexpr std::uint16_t Word1015 = 1015;
inline constexpr std::uint16_t FileName = 1016;
inline constexpr std::uint16_t BackgroundColour = 1017;
inline constexpr std::uint16_t Block1023 = 1023;
inline constexpr std::uint16_t CustomData = 1024;
} // namespace value_kind

inline constexpr std::uint16_t PropertyStateCommon = 0xE000;
inline constexpr std::uint16_t PropertyStateOwn = 0x8000;
inline constexpr std::uint16_t PropertyStateEmpty = 0x0010;

// One entry of a unit type's property table (20 bytes, value kind at byte 12).
// The display names are not kept.
struct PropertyInfo {
    std::array<std::uint32_t, 3> reserved{};
    std::uint16_t kind = value_kind::Empty;
    std::uint16_t state = PropertyStateEmpty;
    std::uint32_t reserved2 = 0;
};
static_assert(sizeof(PropertyInfo) == 20);
static_assert(offsetof(PropertyInfo, kind) == 12);

// A property value as it travels between the runtime and a unit type's get
// and set entries. Integers and booleans are in the low 32 bits of `data`,
// two-word values fill `data`, texts are a pointer in `data` (null meaning
// empty), byte blocks are a pointer in `data` and their length in `length`.
// A unit's get entry may hand out pointers into the unit itself; the runtime
// copies what they point at before it calls the unit again.
struct PropertyValue {
    std::uint64_t data = 0;
    std::uint64_t length = 0;

    template <typename T> T* pointer() const {
        return reinterpret_cast<T*>(static_cast<std::uintptr_t>(data));
    }
    void set_pointer(const void* p, std::size_t byte_count) {
        data = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
        length = byte_count;
    }
    std::int32_t word() const { return static_cast<std::int32_t>(data); }
};

using UnitEntryPoint = void (*)();
using UnitQueryFunction = UnitEntryPoint (*)(std::int32_t code);

inline constexpr std::int32_t UnitQueryCreate = 1;
inline constexpr std::int32_t UnitQuerySetProperty = 4;
inline constexpr std::int32_t UnitQuerySaveState = 5;
inline constexpr std::int32_t UnitQueryGetProperty = 6;

// Query code 1: the unit made from its stored data, or null when the data
// cannot be read or the window cannot be made.
using UnitCreateFunction = UnitObject* (*)(const std::uint8_t* data, std::uint32_t length,
                                           std::uint32_t style, platform::HWND parent,
                                           std::uint32_t control_id, void* menu, int left, int top,
                                           int width, int height, std::uint32_t window_id,
                                           std::uint32_t unit_id, std::uint32_t reserved,
                                           std::uint32_t design_flag);
// Query code 4: 1 when the unit must be re-created to show the change.
using UnitSetPropertyFunction = int (*)(UnitObject* unit, std::int32_t own_index,
                                        const PropertyValue* value, std::uint32_t* result);
// Query code 5: the unit's current settings as stored data; false when it has none.
using UnitSaveStateFunction = bool (*)(UnitObject* unit, std::vector<std::uint8_t>* state);
// Query code 6: 1 when the index is known.
using UnitGetPropertyFunction = int (*)(UnitObject* unit, std::int32_t own_index,
                                        PropertyValue* value);

// Type flags the runtime reads.
namespace unit_type_flag {
inline constexpr std::uint32_t NoRecreate = 0x10;
inline constexpr std::uint32_t RaisesEvents = 0x44; // an event needs one of these
inline constexpr std::uint32_t MovesChildren = 0x80;
inline constexpr std::uint32_t Paged = 0x100;
inline constexpr std::uint32_t NoOwnVisibility = 0x8000;
inline constexpr std::uint32_t NotifiesParent = 0x100000;
} // namespace unit_type_flag

inline constexpr std::uint32_t UnitTypeRaisesEvents = unit_type_flag::RaisesEvents;

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

    // The entry point for a query code, cast to its signature; null when the
    // type has no query function or no such entry.
    template <typename Function> Function entry(std::int32_t code) const {
        return query ? reinterpret_cast<Function>(query(code)) : nullptr;
    }
    std::uint16_t property_kind(std::int32_t index) const {
        if (!properties || index < 0 || static_cast<std::uint32_t>(index) >= property_count)
            return value_kind::Empty;
        return properties[index].kind;
    }
};

} // namespace runtime
