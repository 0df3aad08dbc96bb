#pragma once

// The own properties of a unit held by value kind, in property-index order:
// numbers, texts and byte blocks, as the type's PropertyTable declares them.
// It reads and writes them as the unit's stored data (a version word, then
// each property in order: numbers as words, texts as counted texts, blocks
// and fonts as counted buffers), hands them to the runtime's get and set
// entries (number writes clamped as the table says), and sets them by name
// for the design compiler. Unit types keep their settings in one and add
// behaviour.

#include "PropertyTable.h"
#include "StoredData.h"

#include <runtime/image/UnitTypeInfo.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace units {

class PropertyBag {
  public:
    // `rows` is the type's table of own properties; it must outlive the bag.
    PropertyBag(std::span<const PropertyRow> rows, std::uint32_t version);

    std::int32_t word(std::int32_t own_index) const;
    std::uint64_t number(std::int32_t own_index) const;
    bool flag(std::int32_t own_index) const { return word(own_index) != 0; }
    const std::string& text(std::int32_t own_index) const;
    const std::vector<std::uint8_t>& block(std::int32_t own_index) const;

    void set_number(std::int32_t own_index, std::uint64_t value);
    void set_word(std::int32_t own_index, std::int32_t value) {
        set_number(own_index, static_cast<std::uint32_t>(value));
    }
    void set_text(std::int32_t own_index, std::string_view text);
    void set_block(std::int32_t own_index, std::span<const std::uint8_t> block);

    bool read(StoredDataReader& reader);
    void write(StoredDataWriter& writer) const;

    // The runtime's get entry: pointers into the bag. False for an unknown index.
    bool get(std::int32_t own_index, runtime::PropertyValue& value) const;
    // The runtime's set entry, with the row's clamp. False for an unknown index.
    bool set(std::int32_t own_index, const runtime::PropertyValue& value);

    // A design setting by the row's name: numbers in decimal or 0x
    // hexadecimal (true and false for booleans), clamped as a write would be;
    // texts as given; blocks as hexadecimal bytes.
    bool set_by_name(std::string_view name, std::string_view value);

    std::uint16_t kind(std::int32_t own_index) const;

  private:
    enum class Storage { None, Number, TwoWords, Text, Block };
    Storage storage_of(std::int32_t own_index) const;
    bool valid(std::int32_t own_index) const {
        return own_index >= 0 && static_cast<std::size_t>(own_index) < m_own.size();
    }

    std::span<const PropertyRow> m_own;
    std::uint32_t m_version;
    std::vector<std::uint64_t> m_numbers;
    std::vector<std::string> m_texts;
    std::vector<std::vector<std::uint8_t>> m_blocks;
};

} // namespace units
