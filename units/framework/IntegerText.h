#pragma once

// Whole numbers written in design settings and design sources: an optional
// minus sign, then decimal digits or 0x and hexadecimal digits.

#include <cstdint>
#include <optional>
#include <string_view>

namespace units {

struct IntegerText {
    bool negative = false;
    std::uint64_t magnitude = 0;

    // The value, when it fits a 64-bit signed number.
    std::optional<std::int64_t> value() const;
};

// Null unless the whole text is such a number.
std::optional<IntegerText> read_integer_text(std::string_view text);

} // namespace units
