#pragma once

// Property reads and writes by window id, unit id and property index (call
// table slots 4 and 5), and through a unit object (services 4 and 5).
// Indexes 0 to 7 are the common properties the runtime keeps itself; a
// type's own properties start at 8 and reach the type as index - 8.

#include <cstdint>

namespace runtime {

class UnitObject;

// Common property indexes.
namespace common_property {
inline constexpr std::int32_t Left = 0;
inline constexpr std::int32_t Top = 1;
inline constexpr std::int32_t Width = 2;
inline constexpr std::int32_t Height = 3;
inline constexpr std::int32_t Tag = 4;
inline constexpr std::int32_t Visible = 5;
inline constexpr std::int32_t Disabled = 6;
inline constexpr std::int32_t MousePointer = 7;
inline constexpr std::int32_t FirstOwn = 8;
} // namespace common_property

// Coordinates beyond these are clamped by writes.
inline constexpr std::int32_t MaxCoordinate = 32627;

std::uint64_t read_property(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t index,
                            std::int32_t member);
void write_property(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t index,
                    std::int32_t member, std::uint64_t value);

// Services 4 and 5: a type-specific property of a unit object, by its type
// code, with the full index (8 and above).
std::uint64_t read_object_property(std::uint32_t type_code, UnitObject* object, std::int32_t index,
                                   std::int32_t member);
void write_object_property(std::uint32_t type_code, UnitObject* object, std::int32_t index,
                           std::int32_t member, std::uint64_t value);

} // namespace runtime
