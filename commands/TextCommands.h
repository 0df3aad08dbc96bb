#pragma once

// The text commands: library commands that never report an error.

#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace commands {

// SplitText(text, delimiter = ",", largest piece count = no limit): a
// one-dimensional text array of the pieces between delimiters. Empty pieces
// are null elements; a delimiter at the very end gives no empty last piece;
// a delimiter is never found inside a double-byte character.
void SplitText(runtime::TypedValue* result, std::int32_t arg_count,
               const runtime::TypedValue* args);

// The pieces SplitText makes, as views into the text.
std::vector<std::string_view> split_pieces(std::string_view text, std::string_view delimiter,
                                           std::optional<std::uint32_t> limit);

} // namespace commands
