#include "ConversionCommands.h"

#include "DecimalReader.h"
#include "FullWidth.h"
#include "ValueFormat.h"

#include <runtime/values/ArrayBlock.h>

#include <cstring>
#include <span>
#include <string_view>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

namespace {

// The raw bytes of a numeric array's elements, cut to its block.
std::span<const std::uint8_t> numeric_array_bytes(const TypedValue& value) {
    std::size_t size = runtime::element_size(runtime::element_type(value.type));
    auto elements = runtime::array_elements(value.pointer<const void>(), size);
    return {elements.data, elements.count * size};
}

char* text_of_value(const TypedValue& value) {
    if (runtime::is_array_type(value.type)) {
        if (!runtime::is_numeric_type(runtime::element_type(value.type)))
            return nullptr;
        return runtime::make_text(up_to_first_zero(numeric_array_bytes(value)));
    }
    if (runtime::is_numeric_type(value.type)) {
        char buffer[FormatBufferSize];
        FormatValue(value, buffer);
        return runtime::make_text(buffer);
    }
    switch (value.type) {
    case type_code::ByteSet:
        return runtime::make_text(
            up_to_first_zero(runtime::byte_set_bytes(value.pointer<const void>())));
    case type_code::Text:
        return runtime::make_text(runtime::text_of(value.pointer<const char>()));
    case type_code::Boolean:
        return runtime::make_text(value.low() != 0 ? TrueText : FalseText);
    case type_code::DateTime: {
        char buffer[FormatBufferSize];
        format_date_time(value.as_double(), buffer);
        return runtime::make_text(buffer);
    }
    default:
        return nullptr;
    }
}

void* byte_set_of_value(const TypedValue& value) {
    if (runtime::is_array_type(value.type)) {
        if (!runtime::is_numeric_type(runtime::element_type(value.type)))
            return nullptr;
        return runtime::make_byte_set(numeric_array_bytes(value));
    }
    if (!runtime::is_base_type(value.type))
        return nullptr;
    switch (value.type) {
    case type_code::Text: {
        auto text = runtime::text_of(value.pointer<const char>());
        return runtime::make_byte_set(
            {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
    case type_code::ByteSet:
        return runtime::make_byte_set(runtime::byte_set_bytes(value.pointer<const void>()));
    default:
        break;
    }
    // The raw little-endian value, as many bytes as the type's size.
    std::size_t size = runtime::element_size(value.type);
    std::uint8_t raw[sizeof value.data];
    std::memcpy(raw, &value.data, sizeof raw);
    return runtime::make_byte_set({raw, std::min(size, sizeof raw)});
}

} // namespace

double number_of(const TypedValue& value) {
    switch (value.type) {
    case type_code::Text:
        return read_decimal(
            NormalizeFullWidth(runtime::text_of(value.pointer<const char>()), DropSpaces::No));
    case type_code::Byte:
        return value.low() & 0xFFu;
    case type_code::Short:
        return static_cast<std::int16_t>(value.low() & 0xFFFFu);
    case type_code::Integer:
    case type_code::Boolean:
        return static_cast<std::int32_t>(value.low());
    case type_code::Long:
        return static_cast<double>(static_cast<std::int64_t>(value.data));
    case type_code::Float:
        return value.as_float();
    case type_code::Double:
        return value.as_double();
    case type_code::SubprogramPointer:
        return static_cast<double>(value.data);
    default:
        return 0;
    }
}

std::string_view up_to_first_zero(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return {};
    auto* data = reinterpret_cast<const char*>(bytes.data());
    auto* zero = static_cast<const char*>(std::memchr(data, 0, bytes.size()));
    return {data, zero ? static_cast<std::size_t>(zero - data) : bytes.size()};
}

void ToText(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    result->type = type_code::Text;
    if (arg_count < 1)
        return;
    result->set_pointer(text_of_value(args[0]));
}

void ToNumber(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    double number = arg_count < 1 ? 0.0 : number_of(args[0]);
    *result = TypedValue::of_double(number);
}

void ToByteSet(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    result->type = type_code::ByteSet;
    if (arg_count < 1)
        return;
    result->set_pointer(byte_set_of_value(args[0]));
}

} // namespace commands
