#pragma once

// The value conversion commands. Each is a library command: it reads its
// first argument, fills the zeroed result and never reports an error; what it
// cannot convert gives the empty result of its kind. Texts and byte sets it
// returns are fresh runtime-heap blocks (null when empty).

#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace commands {

void ToText(runtime::TypedValue* result, std::int32_t arg_count, const runtime::TypedValue* args);
void ToNumber(runtime::TypedValue* result, std::int32_t arg_count, const runtime::TypedValue* args);
void ToByteSet(runtime::TypedValue* result, std::int32_t arg_count,
               const runtime::TypedValue* args);

// The text ToText makes of a byte set's bytes: they end at the first zero.
std::string_view up_to_first_zero(std::span<const std::uint8_t> bytes);

// The number ToNumber gives for a value.
double number_of(const runtime::TypedValue& value);

} // namespace commands
