#include "IntegerText.h"

#include <charconv>
#include <limits>

namespace units {

std::optional<std::int64_t> IntegerText::value() const {
    constexpr auto most = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (magnitude <= most)
        return negative ? -static_cast<std::int64_t>(magnitude)
                        : static_cast<std::int64_t>(magnitude);
    if (negative && magnitude == most + 1)
        return std::numeric_limits<std::int64_t>::min();
    return std::nullopt;
}

std::optional<IntegerText> read_integer_text(std::string_view text) {
    IntegerText number;
    number.negative = text.starts_with('-');
    if (number.negative)
        text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), number.magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace units
