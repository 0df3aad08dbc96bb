#pragma once

// The library command convention: a command is a plain function of (result
// address, argument count, address of argument 0). The caller hands it a
// zeroed result; a command without a result leaves it zero.

#include <runtime/values/TypedValue.h>

#include <cstdint>

namespace runtime {

using LibraryCommand = void (*)(TypedValue* result, std::int32_t arg_count, const TypedValue* args);

// Calls a command the way the command-call slots do: zeroed result, and a
// null text argument replaced by the constant empty text so that no command
// ever receives a null text. The caller's arguments are not changed.
TypedValue call_library_command(LibraryCommand command, std::int32_t library_index,
                                std::int32_t arg_count, const TypedValue* args);

// The constant empty text handed on in place of a null text.
const char* empty_text();

} // namespace runtime
