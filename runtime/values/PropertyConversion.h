#pragma once

// How a property value changes form between what the program reads and
// writes (one 64-bit value, "two words") and what a unit type's get and set
// entries exchange (PropertyValue), by the property's value kind and the
// member selector; the cursor table and the font members.

#include <runtime/image/UnitTypeInfo.h>

#include <platform/drawing/Font.h>

#include <cstdint>
#include <span>
#include <vector>

namespace runtime {

// Cursor table: index -> system cursor id.
inline constexpr std::uint32_t CursorTable[14] = {0x7F00, 0x7F03, 0x7F01, 0x7F02, 0x7F8B,
                                                  0x7F8A, 0x7F88, 0x7F86, 0x7F83, 0x7F85,
                                                  0x7F82, 0x7F84, 0x7F04, 0x7F89};

// A system cursor id as its table index; other values unchanged.
std::uint32_t cursor_index_of(std::uint32_t cursor_id);
// A table index as its system cursor id; other values unchanged.
std::uint32_t cursor_id_of(std::uint32_t index);

// The whole-font value (member -1): a fresh heap block holding this record
// followed by the face name, which `face_name` points at, so that one
// release frees both.
struct FontValue {
    std::int32_t angle = 0;
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    std::int32_t strike_out = 0;
    std::int32_t underline = 0;
    std::int32_t size = 0;
    const char* face_name = nullptr;
};

// Font heights are pixels at 96 dots per inch; sizes are points.
std::int32_t font_points(const platform::LogFont& font);
std::int32_t font_height_for_points(std::int32_t points);

// The read form of a value the unit's get entry supplied. Texts, byte blocks
// and fonts come back as fresh heap blocks that belong to the caller.
std::uint64_t property_read_value(std::uint16_t kind, std::int32_t member,
                                  const PropertyValue& supplied);

// The buffer handed to a set entry for a value the program wrote. Byte
// blocks and fonts need storage that outlives the call: `storage` holds it.
// `current` is what the unit's get entry supplies now (used for the font
// members, which change one field of the current font).
PropertyValue property_write_value(std::uint16_t kind, std::int32_t member, std::uint64_t value,
                                   const PropertyValue& current,
                                   std::vector<std::uint8_t>& storage);

// The bytes of a byte set value with a leading cursor-table index mapped to
// its system id (writes of kind 1011 and of the mouse pointer).
std::vector<std::uint8_t> pointer_block_from_value(std::uint64_t value, bool map_cursor);
// A fresh byte set of the bytes, a leading system cursor id shown as its
// table index when `map_cursor` (reads); null when empty.
std::uint64_t byte_set_value(std::span<const std::uint8_t> bytes, bool map_cursor);

// A pointer as the 64-bit word a property value carries.
inline std::uint64_t pointer_word(const void* p) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
}

} // namespace runtime
