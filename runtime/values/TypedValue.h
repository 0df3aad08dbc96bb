#pragma once

// The value every command argument and result crosses the call interface in.
//
// The record was first laid out for a 32-bit image as three 32-bit words
// {data low, data high, type code}. On 64-bit the two data words form one
// 64-bit field (low word in bits 0..31, high word in bits 32..63) so that a
// pointer fills the whole field; the record is then 16 bytes.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace runtime {

namespace type_code {

inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Byte = 0x80000101u;
inline constexpr std::uint32_t Short = 0x80000201u;
inline constexpr std::uint32_t Integer = 0x80000301u;
inline constexpr std::uint32_t Long = 0x80000401u;
inline constexpr std::uint32_t Float = 0x80000501u;
inline constexpr std::uint32_t Double = 0x80000601u;
inline constexpr std::uint32_t Boolean = 0x80000002u;
inline constexpr std::uint32_t DateTime = 0x80000003u;
inline constexpr std::uint32_t Text = 0x80000004u;
inline constexpr std::uint32_t ByteSet = 0x80000005u;
inline constexpr std::uint32_t SubprogramPointer = 0x80000006u;
inline constexpr std::uint32_t EightByte = 0x80000008u;
inline constexpr std::uint32_t ArrayFlag = 0x20000000u;

// The unit type of menu items; used by the template loader and dispatch.
inline constexpr std::uint32_t MenuItem = 0x00010003u;

} // namespace type_code

struct TypedValue {
    std::uint64_t data = 0;
    std::uint32_t type = 0;
    // Explicit so that a copied or zeroed record has no indeterminate bytes.
    std::uint32_t padding = 0;

    std::uint32_t low() const { return static_cast<std::uint32_t>(data); }
    std::uint32_t high() const { return static_cast<std::uint32_t>(data >> 32); }
    void set_words(std::uint32_t low_word, std::uint32_t high_word) {
        data = (static_cast<std::uint64_t>(high_word) << 32) | low_word;
    }

    template <typename T> T* pointer() const {
        return reinterpret_cast<T*>(static_cast<std::uintptr_t>(data));
    }
    void set_pointer(const void* p) {
        data = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
    }

    double as_double() const { return std::bit_cast<double>(data); }
    float as_float() const { return std::bit_cast<float>(low()); }

    static TypedValue of(std::uint32_t code, std::uint64_t data_word) {
        TypedValue value;
        value.type = code;
        value.data = data_word;
        return value;
    }
    static TypedValue of_pointer(std::uint32_t code, const void* p) {
        TypedValue value;
        value.type = code;
        value.set_pointer(p);
        return value;
    }
    static TypedValue of_byte(std::uint8_t v);
    static TypedValue of_short(std::int16_t v);
    static TypedValue of_integer(std::int32_t v);
    static TypedValue of_long(std::int64_t v);
    static TypedValue of_float(float v);
    static TypedValue of_double(double v);
    static TypedValue of_boolean(bool v);
    static TypedValue of_date_time(double days);
    static TypedValue of_text(const char* text) { return of_pointer(type_code::Text, text); }
};

static_assert(sizeof(void*) <= sizeof(std::uint64_t), "a pointer must fit the data field");
static_assert(sizeof(TypedValue) == 16);
static_assert(offsetof(TypedValue, data) == 0);
static_assert(offsetof(TypedValue, type) == 8);
static_assert(alignof(TypedValue) == 8);

enum class TypeClass {
    None,           // the code 0
    Base,           // top bits 10: the runtime's own types (arrays included)
    Own,            // top bits 01: told apart, never converted
    LibraryDefined, // everything else: (library number << 16) + type number
};

constexpr TypeClass classify_type(std::uint32_t code) {
    if (code == 0)
        return TypeClass::None;
    switch (code >> 30) {
    case 0b10:
        return TypeClass::Base;
    case 0b01:
        return TypeClass::Own;
    default:
        return TypeClass::LibraryDefined;
    }
}

constexpr bool is_base_type(std::uint32_t code) {
    return classify_type(code) == TypeClass::Base;
}

constexpr bool is_array_type(std::uint32_t code) {
    return is_base_type(code) && (code & type_code::ArrayFlag) != 0;
}

constexpr std::uint32_t element_type(std::uint32_t code) {
    return code & ~type_code::ArrayFlag;
}

// A base type whose lowest byte is 1 is numeric (byte, short, integer, long,
// float, double); an array of them is not, its element type is.
constexpr bool is_numeric_type(std::uint32_t code) {
    return is_base_type(code) && !is_array_type(code) && (code & 0xFFu) == 1;
}

constexpr std::uint16_t library_number(std::uint32_t code) {
    return static_cast<std::uint16_t>(code >> 16);
}
constexpr std::uint16_t library_type_number(std::uint32_t code) {
    return static_cast<std::uint16_t>(code & 0xFFFFu);
}

// Size in bytes of one stored element of a (non-array) type, as the runtime
// copies values into raw bytes and packs array elements. Texts, byte sets and
// subprogram pointers are addresses and so pointer-sized here. Library-defined
// types (unit references) take the whole data field. 0 for an unknown code.
constexpr std::size_t element_size(std::uint32_t code) {
    switch (code) {
    case type_code::Byte:
        return 1;
    case type_code::Short:
        return 2;
    case type_code::Integer:
    case type_code::Float:
    case type_code::Boolean:
        return 4;
    case type_code::Long:
    case type_code::Double:
    case type_code::DateTime:
    case type_code::EightByte:
        return 8;
    case type_code::Text:
    case type_code::ByteSet:
    case type_code::SubprogramPointer:
        return sizeof(void*);
    default:
        break;
    }
    if (classify_type(code) == TypeClass::LibraryDefined)
        return 8;
    return 0;
}

// The size rule applied to a value: a text contributes its bytes including
// the terminating zero, a byte set its stated byte count (clamped to its
// block), every other type its element size.
std::size_t value_size(const TypedValue& value);

} // namespace runtime
