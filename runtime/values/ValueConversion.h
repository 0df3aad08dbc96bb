#pragma once

// Reading a typed value as a number, as the runtime's services do.

#include "ErrorOr.h"
#include "TypedValue.h"

#include <cstdint>
#include <optional>

namespace runtime {

// A real number as an integer: truncated toward zero into 64 bits, of which
// callers use the low 32. Out-of-range values saturate and NaN gives 0, so
// no value is undefined.
std::int64_t truncate_to_int64(double value);

// The integer of a numeric value (service 2001): byte zero-extended, short
// sign-extended, integer as is, long its low word, float and double truncated
// toward zero. Any other type is the fatal "欲转换数据类型不是数值".
ErrorOr<std::int32_t> integer_from_value(const TypedValue& value);

// As above but without an error, for commands that treat a non-number as absent.
std::optional<std::int32_t> try_integer_from_value(const TypedValue& value);

} // namespace runtime
