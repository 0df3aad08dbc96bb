#include "PropertyBag.h"

#include "IntegerText.h"

#include <charconv>
#include <optional>

namespace units {

namespace {

std::optional<std::int64_t> parse_number(std::string_view text) {
    if (text == "true")
        return 1;
    if (text == "false")
        return 0;
    auto number = read_integer_text(text);
    return number ? number->value() : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> parse_hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (char c : text) {
        if (c != ' ')
            digits += c;
    }
    if (digits.size() % 2 != 0)
        return std::nullopt;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned value = 0;
        auto [end, error] = std::from_chars(digits.data() + i, digits.data() + i + 2, value, 16);
        if (error != std::errc() || end != digits.data() + i + 2)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

} // namespace

PropertyBag::PropertyBag(std::span<const PropertyRow> rows, std::uint32_t version)
    : m_own(rows), m_version(version), m_numbers(rows.size()), m_texts(rows.size()),
      m_blocks(rows.size()) {}

std::uint16_t PropertyBag::kind(std::int32_t own_index) const {
    return valid(own_index) ? m_own[static_cast<std::size_t>(own_index)].kind
                            : runtime::value_kind::Empty;
}

PropertyBag::Storage PropertyBag::storage_of(std::int32_t own_index) const {
    using namespace runtime::value_kind;
    switch (kind(own_index)) {
    case Empty:
        return Storage::None;
    case Word:
    case Integer:
    case Boolean:
    case Choice:
    case Colour:
    case Word1015:
    case BackgroundColour:
        return Storage::Number;
    case TwoWords:
    case TwoWordsToo:
        return Storage::TwoWords;
    case Picture:
    case Block1010:
    case Cursor:
    case Sound:
    case Font:
    case Block1023:
    case CustomData:
        return Storage::Block;
    default:
        return Storage::Text;
    }
}

std::int32_t PropertyBag::word(std::int32_t own_index) const {
    return static_cast<std::int32_t>(number(own_index));
}

std::uint64_t PropertyBag::number(std::int32_t own_index) const {
    return valid(own_index) ? m_numbers[static_cast<std::size_t>(own_index)] : 0;
}

const std::string& PropertyBag::text(std::int32_t own_index) const {
    static const std::string empty;
    return valid(own_index) ? m_texts[static_cast<std::size_t>(own_index)] : empty;
}

const std::vector<std::uint8_t>& PropertyBag::block(std::int32_t own_index) const {
    static const std::vector<std::uint8_t> empty;
    return valid(own_index) ? m_blocks[static_cast<std::size_t>(own_index)] : empty;
}

void PropertyBag::set_number(std::int32_t own_index, std::uint64_t value) {
    if (valid(own_index))
        m_numbers[static_cast<std::size_t>(own_index)] = value;
}

void PropertyBag::set_text(std::int32_t own_index, std::string_view text) {
    if (valid(own_index))
        m_texts[static_cast<std::size_t>(own_index)] = std::string(text);
}

void PropertyBag::set_block(std::int32_t own_index, std::span<const std::uint8_t> block) {
    if (valid(own_index))
        m_blocks[static_cast<std::size_t>(own_index)].assign(block.begin(), block.end());
}

bool PropertyBag::read(StoredDataReader& reader) {
    std::uint32_t version = 0;
    if (!reader.read_version(m_version, version))
        return false;
    for (std::size_t i = 0; i < m_own.size(); ++i) {
        auto index = static_cast<std::int32_t>(i);
        switch (storage_of(index)) {
        case Storage::None:
            break;
        case Storage::Number: {
            std::uint32_t word = 0;
            if (!reader.read_word(word))
                return false;
            m_numbers[i] = word;
            break;
        }
        case Storage::TwoWords: {
            std::uint32_t low = 0, high = 0;
            if (!reader.read_word(low) || !reader.read_word(high))
                return false;
            m_numbers[i] = (std::uint64_t{high} << 32) | low;
            break;
        }
        case Storage::Text:
            if (!reader.read_text(m_texts[i]))
                return false;
            break;
        case Storage::Block:
            if (!reader.read_block(m_blocks[i]))
                return false;
            break;
        }
    }
    return reader.at_end();
}

void PropertyBag::write(StoredDataWriter& writer) const {
    writer.write_version(m_version);
    for (std::size_t i = 0; i < m_own.size(); ++i) {
        switch (storage_of(static_cast<std::int32_t>(i))) {
        case Storage::None:
            break;
        case Storage::Number:
            writer.write_word(static_cast<std::uint32_t>(m_numbers[i]));
            break;
        case Storage::TwoWords:
            writer.write_word(static_cast<std::uint32_t>(m_numbers[i]));
            writer.write_word(static_cast<std::uint32_t>(m_numbers[i] >> 32));
            break;
        case Storage::Text:
            writer.write_text(m_texts[i]);
            break;
        case Storage::Block:
            writer.write_block(m_blocks[i]);
            break;
        }
    }
}

bool PropertyBag::get(std::int32_t own_index, runtime::PropertyValue& value) const {
    auto i = static_cast<std::size_t>(own_index);
    switch (storage_of(own_index)) {
    case Storage::None:
        return false;
    case Storage::Number:
    case Storage::TwoWords:
        value.data = m_numbers[i];
        return true;
    case Storage::Text:
        value.set_pointer(m_texts[i].c_str(), m_texts[i].size());
        return true;
    case Storage::Block:
        if (m_blocks[i].empty())
            value = {};
        else
            value.set_pointer(m_blocks[i].data(), m_blocks[i].size());
        return true;
    }
    return false;
}

bool PropertyBag::set(std::int32_t own_index, const runtime::PropertyValue& value) {
    auto i = static_cast<std::size_t>(own_index);
    switch (storage_of(own_index)) {
    case Storage::None:
        return false;
    case Storage::Number:
        m_numbers[i] = static_cast<std::uint32_t>(m_own[i].clamp.apply(value.word()));
        return true;
    case Storage::TwoWords:
        m_numbers[i] = value.data;
        return true;
    case Storage::Text: {
        const char* text = value.pointer<const char>();
        m_texts[i] = text ? text : "";
        return true;
    }
    case Storage::Block: {
        auto* bytes = value.pointer<const std::uint8_t>();
        if (bytes && value.length > 0)
            m_blocks[i].assign(bytes, bytes + value.length);
        else
            m_blocks[i].clear();
        return true;
    }
    }
    return false;
}

bool PropertyBag::set_by_name(std::string_view name, std::string_view value) {
    for (auto& entry : m_own) {
        if (!entry.name || name != entry.name)
            continue;
        switch (storage_of(entry.own_index)) {
        case Storage::None:
            return false;
        case Storage::Number:
        case Storage::TwoWords: {
            auto number = parse_number(value);
            if (!number)
                return false;
            if (storage_of(entry.own_index) == Storage::Number)
                set_word(entry.own_index, entry.clamp.apply(static_cast<std::int32_t>(*number)));
            else
                set_number(entry.own_index, static_cast<std::uint64_t>(*number));
            return true;
        }
        case Storage::Text:
            set_text(entry.own_index, value);
            return true;
        case Storage::Block: {
            auto bytes = parse_hex(value);
            if (!bytes)
                return false;
            set_block(entry.own_index, *bytes);
            return true;
        }
        }
    }
    return false;
}

} // namespace units
