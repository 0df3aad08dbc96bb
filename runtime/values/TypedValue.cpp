#include "TypedValue.h"

#include "ArrayBlock.h"

#include <cstring>

namespace runtime {

TypedValue TypedValue::of_byte(std::uint8_t v) {
    return of(type_code::Byte, v);
}

TypedValue TypedValue::of_short(std::int16_t v) {
    // Only the low half is the value; the rest of data low stays zero.
    return of(type_code::Short, static_cast<std::uint16_t>(v));
}

TypedValue TypedValue::of_integer(std::int32_t v) {
    return of(type_code::Integer, static_cast<std::uint32_t>(v));
}

TypedValue TypedValue::of_long(std::int64_t v) {
    return of(type_code::Long, static_cast<std::uint64_t>(v));
}

TypedValue TypedValue::of_float(float v) {
    return of(type_code::Float, std::bit_cast<std::uint32_t>(v));
}

TypedValue TypedValue::of_double(double v) {
    return of(type_code::Double, std::bit_cast<std::uint64_t>(v));
}

TypedValue TypedValue::of_boolean(bool v) {
    return of(type_code::Boolean, v ? 1 : 0);
}

TypedValue TypedValue::of_date_time(double days) {
    return of(type_code::DateTime, std::bit_cast<std::uint64_t>(days));
}

std::size_t value_size(const TypedValue& value) {
    if (value.type == type_code::Text) {
        auto* text = value.pointer<const char>();
        return text ? std::strlen(text) + 1 : 1;
    }
    if (value.type == type_code::ByteSet)
        return byte_set_bytes(value.pointer<const void>()).size();
    return element_size(value.type);
}

} // namespace runtime
