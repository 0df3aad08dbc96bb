#include "PropertyConversion.h"

#include "ArrayBlock.h"
#include "RuntimeHeap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace runtime {

namespace {

// 宋体: the face a font write falls back to.
constexpr std::string_view FallbackFace = "\xCB\xCE\xCC\xE5";
constexpr std::size_t MaxFaceLength = 31;

bool is_word_kind(std::uint16_t kind) {
    switch (kind) {
    case value_kind::Word:
    case value_kind::Integer:
    case value_kind::Choice:
    case value_kind::Colour:
    case value_kind::Word1015:
    case value_kind::BackgroundColour:
        return true;
    default:
        return false;
    }
}

bool is_block_kind(std::uint16_t kind) {
    switch (kind) {
    case value_kind::Picture:
    case value_kind::Block1010:
    case value_kind::Cursor:
    case value_kind::Sound:
    case value_kind::Block1023:
    case value_kind::CustomData:
        return true;
    default:
        return false;
    }
}

platform::LogFont font_of(const PropertyValue& supplied) {
    if (supplied.data && supplied.length == sizeof(platform::LogFont)) {
        platform::LogFont font;
        std::memcpy(&font, supplied.pointer<const void>(), sizeof font);
        font.face_name[sizeof font.face_name - 1] = 0;
        return font;
    }
    return platform::default_gui_log_font();
}

void set_face(platform::LogFont& font, const char* face) {
    std::string_view name = face ? std::string_view(face) : std::string_view();
    if (name.empty() || name.size() > MaxFaceLength)
        name = FallbackFace;
    std::memset(font.face_name, 0, sizeof font.face_name);
    std::memcpy(font.face_name, name.data(), name.size());
}

void set_angle(platform::LogFont& font, std::int32_t value) {
    std::int32_t angle = value % 3600;
    if (angle < 0)
        angle += 3600;
    font.escapement = angle;
    font.orientation = angle;
}

std::uint64_t read_font(std::int32_t member, const platform::LogFont& font) {
    switch (member) {
    case 0:
        return static_cast<std::uint32_t>(font.orientation);
    case 1:
        return font.weight >= platform::FW_BOLD;
    case 2:
        return font.italic != 0;
    case 3:
        return font.strike_out != 0;
    case 4:
        return font.underline != 0;
    case 5:
        return static_cast<std::uint32_t>(font_points(font));
    case 6:
        return pointer_word(make_text(font.face_name));
    case -1: {
        std::size_t face_length = std::strlen(font.face_name);
        auto* block = static_cast<std::uint8_t*>(
            RuntimeHeap::the().allocate(sizeof(FontValue) + face_length + 1));
        auto* face = reinterpret_cast<char*>(block + sizeof(FontValue));
        std::memcpy(face, font.face_name, face_length + 1);
        FontValue value;
        value.angle = font.orientation;
        value.bold = font.weight >= platform::FW_BOLD;
        value.italic = font.italic != 0;
        value.strike_out = font.strike_out != 0;
        value.underline = font.underline != 0;
        value.size = font_points(font);
        value.face_name = face;
        std::memcpy(block, &value, sizeof value);
        return pointer_word(block);
    }
    default:
        return 0;
    }
}

void write_font(std::int32_t member, std::uint64_t value, platform::LogFont& font) {
    auto word = static_cast<std::int32_t>(value);
    switch (member) {
    case 0:
        set_angle(font, word);
        break;
    case 1:
        font.weight = word != 0 ? platform::FW_BOLD : 0;
        break;
    case 2:
        font.italic = word != 0;
        break;
    case 3:
        font.strike_out = word != 0;
        break;
    case 4:
        font.underline = word != 0;
        break;
    case 5:
        font.height = font_height_for_points(std::max(word, 0));
        break;
    case 6:
        set_face(font, reinterpret_cast<const char*>(static_cast<std::uintptr_t>(value)));
        break;
    case -1: {
        auto* record = reinterpret_cast<const FontValue*>(static_cast<std::uintptr_t>(value));
        if (!record)
            break;
        set_angle(font, record->angle);
        font.weight = record->bold ? platform::FW_BOLD : 0;
        font.italic = record->italic != 0;
        font.strike_out = record->strike_out != 0;
        font.underline = record->underline != 0;
        font.height = font_height_for_points(std::max(record->size, 0));
        set_face(font, record->face_name);
        break;
    }
    default:
        break;
    }
}

} // namespace

std::uint32_t cursor_index_of(std::uint32_t cursor_id) {
    for (std::uint32_t i = 0; i < std::size(CursorTable); ++i) {
        if (CursorTable[i] == cursor_id)
            return i;
    }
    return cursor_id;
}

std::uint32_t cursor_id_of(std::uint32_t index) {
    return index < std::size(CursorTable) ? CursorTable[index] : index;
}

std::int32_t font_points(const platform::LogFont& font) {
    std::int32_t pixels = font.height < 0 ? -font.height : font.height;
    return static_cast<std::int32_t>(std::lround(pixels * 72.0 / 96.0));
}

std::int32_t font_height_for_points(std::int32_t points) {
    return -static_cast<std::int32_t>(std::lround(points * 96.0 / 72.0));
}

std::uint64_t byte_set_value(std::span<const std::uint8_t> bytes, bool map_cursor) {
    if (bytes.empty())
        return 0;
    void* block = make_byte_set(bytes);
    if (map_cursor && bytes.size() >= 4) {
        auto* data = static_cast<std::uint8_t*>(block) + ByteSetHeaderSize;
        std::uint32_t first;
        std::memcpy(&first, data, 4);
        first = cursor_index_of(first);
        std::memcpy(data, &first, 4);
    }
    return pointer_word(block);
}

std::vector<std::uint8_t> pointer_block_from_value(std::uint64_t value, bool map_cursor) {
    auto bytes = byte_set_bytes(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(value)));
    std::vector<std::uint8_t> block(bytes.begin(), bytes.end());
    if (map_cursor && block.size() >= 4) {
        std::uint32_t first;
        std::memcpy(&first, block.data(), 4);
        first = cursor_id_of(first);
        std::memcpy(block.data(), &first, 4);
    }
    return block;
}

std::uint64_t property_read_value(std::uint16_t kind, std::int32_t member,
                                  const PropertyValue& supplied) {
    if (is_word_kind(kind))
        return static_cast<std::uint32_t>(supplied.data);
    if (kind == value_kind::TwoWords || kind == value_kind::TwoWordsToo)
        return supplied.data;
    if (kind == value_kind::Boolean)
        return static_cast<std::uint32_t>(supplied.data) == 1;
    if (is_block_kind(kind)) {
        std::span<const std::uint8_t> bytes;
        if (supplied.data && supplied.length > 0)
            bytes = {supplied.pointer<const std::uint8_t>(),
                     static_cast<std::size_t>(supplied.length)};
        return byte_set_value(bytes, kind == value_kind::Cursor);
    }
    if (kind == value_kind::Font)
        return read_font(member, font_of(supplied));
    return pointer_word(make_text(text_of(supplied.pointer<const char>())));
}

PropertyValue property_write_value(std::uint16_t kind, std::int32_t member, std::uint64_t value,
                                   const PropertyValue& current,
                                   std::vector<std::uint8_t>& storage) {
    PropertyValue out;
    if (is_word_kind(kind)) {
        auto word = static_cast<std::int32_t>(value);
        if (kind == value_kind::Choice && word < 0)
            word = 0;
        out.data = static_cast<std::uint32_t>(word);
        return out;
    }
    if (kind == value_kind::TwoWords || kind == value_kind::TwoWordsToo) {
        out.data = value;
        return out;
    }
    if (kind == value_kind::Boolean) {
        out.data = static_cast<std::uint32_t>(value) != 0 ? 1 : 0;
        return out;
    }
    if (is_block_kind(kind)) {
        storage = pointer_block_from_value(value, kind == value_kind::Cursor);
        if (!storage.empty())
            out.set_pointer(storage.data(), storage.size());
        return out;
    }
    if (kind == value_kind::Font) {
        platform::LogFont font = font_of(current);
        write_font(member, value, font);
        storage.resize(sizeof font);
        std::memcpy(storage.data(), &font, sizeof font);
        out.set_pointer(storage.data(), storage.size());
        return out;
    }
    auto* text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(value));
    out.set_pointer(text ? text : "", 0);
    return out;
}

} // namespace runtime
