#pragma once

// A unit type declares each of its own properties once, as one row of a
// constexpr table: the own index (property index less 8), the name a design
// source writes it by, its value kind and the clamp its number writes get.
// From the table come the property table the runtime reads (the common
// entries 0 to 7, then one entry per row), the names the design compiler
// knows and the generic get and set of the type's PropertyBag.
//
//   enum Own : std::int32_t { Caption = 0, Kind = 1 };
//   constexpr PropertyTable Properties{{
//       {Caption, "Caption", value_kind::Text},
//       {Kind, "Kind", value_kind::Choice, choice_clamp(2)},
//   }};
//
// Rows must stand in own-index order, one per index; a table that breaks
// this does not compile.

#include <runtime/image/UnitTypeInfo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

namespace units {

// The range a number write is clamped to; the full range clamps nothing.
struct Clamp {
    std::int32_t low = std::numeric_limits<std::int32_t>::min();
    std::int32_t high = std::numeric_limits<std::int32_t>::max();

    constexpr std::int32_t apply(std::int32_t value) const {
        return value < low ? low : (value > high ? high : value);
    }
    constexpr bool clamps() const {
        return low != std::numeric_limits<std::int32_t>::min() ||
               high != std::numeric_limits<std::int32_t>::max();
    }
};

// A choice of 0 to `last`.
constexpr Clamp choice_clamp(std::int32_t last) {
    return {0, last};
}
// Values below `low` become `low`.
constexpr Clamp at_least(std::int32_t low) {
    return {low, std::numeric_limits<std::int32_t>::max()};
}

struct PropertyRow {
    std::int32_t own_index = 0;
    // The design-source name; null for a property a design cannot set.
    const char* name = nullptr;
    // The value kind; value_kind::Empty marks an empty slot.
    std::uint16_t kind = runtime::value_kind::Empty;
    Clamp clamp{};
};

inline constexpr std::size_t CommonPropertyCount = 8;

template <std::size_t N> class PropertyTable {
  public:
    consteval PropertyTable(const PropertyRow (&rows)[N]) {
        using namespace runtime::value_kind;
        constexpr std::uint16_t common[CommonPropertyCount] = {Integer, Integer, Integer, Integer,
                                                               Text,    Boolean, Boolean, Cursor};
        for (std::size_t i = 0; i < CommonPropertyCount; ++i) {
            m_info[i].kind = common[i];
            m_info[i].state = runtime::PropertyStateCommon;
        }
        for (std::size_t i = 0; i < N; ++i) {
            // Not a constant expression: a row out of order stops the build here.
            if (rows[i].own_index != static_cast<std::int32_t>(i))
                throw "property rows must stand in own-index order, one per index";
            m_rows[i] = rows[i];
            m_info[CommonPropertyCount + i].kind = rows[i].kind;
            m_info[CommonPropertyCount + i].state =
                rows[i].kind ? runtime::PropertyStateOwn : runtime::PropertyStateEmpty;
        }
    }

    constexpr std::span<const PropertyRow> rows() const { return m_rows; }
    // The runtime's view: common entries first, then the own rows.
    constexpr const runtime::PropertyInfo* info() const { return m_info.data(); }
    static constexpr std::uint32_t info_count() {
        return static_cast<std::uint32_t>(CommonPropertyCount + N);
    }

  private:
    std::array<PropertyRow, N> m_rows{};
    std::array<runtime::PropertyInfo, CommonPropertyCount + N> m_info{};
};

} // namespace units
