#include "ValueConversion.h"

#include <runtime/windows/RuntimeMessages.h>

#include <cmath>
#include <limits>

namespace runtime {

std::int64_t truncate_to_int64(double value) {
    if (std::isnan(value))
        return 0;
    // 2^63 is exact in double; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::optional<std::int32_t> try_integer_from_value(const TypedValue& value) {
    switch (value.type) {
    case type_code::Byte:
        return static_cast<std::int32_t>(value.low() & 0xFFu);
    case type_code::Short:
        return static_cast<std::int32_t>(static_cast<std::int16_t>(value.low() & 0xFFFFu));
    case type_code::Integer:
    case type_code::Long:
        return static_cast<std::int32_t>(value.low());
    case type_code::Float:
        return static_cast<std::int32_t>(truncate_to_int64(value.as_float()));
    case type_code::Double:
        return static_cast<std::int32_t>(truncate_to_int64(value.as_double()));
    default:
        return std::nullopt;
    }
}

ErrorOr<std::int32_t> integer_from_value(const TypedValue& value) {
    if (auto integer = try_integer_from_value(value))
        return *integer;
    return RuntimeError{messages::NotNumeric};
}

} // namespace runtime
