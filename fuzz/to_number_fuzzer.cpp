// ToNumber over arbitrary texts. Plain decimal forms ("  -12.5e+3") are
// checked bit for bit against the C library's reading of the same form.

#include <commands/ConversionCommands.h>
#include <commands/FullWidth.h>
#include <runtime/services/LibraryCommand.h>

#include <bit>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The whole text is white space, a sign, digits with at most one point and
// at least one digit, and an optional exponent with at least one digit.
bool is_plain_decimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && is_digit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponent_digits = 0;
        while (i < text.size() && is_digit(text[i]))
            ++i, ++exponent_digits;
        if (exponent_digits == 0 || exponent_digits > 6)
            return false;
    }
    return i == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));

    runtime::TypedValue arg = runtime::TypedValue::of_text(text.c_str());
    runtime::TypedValue result = runtime::call_library_command(commands::ToNumber, 0, 1, &arg);
    double value = result.as_double();
    if (value != value)
        __builtin_trap(); // no text reads as not-a-number

    std::string plain = commands::NormalizeFullWidth(text, commands::DropSpaces::No);
    if (!is_plain_decimal(plain))
        return 0;
    for (char& c : plain) {
        if (c == 'd' || c == 'D')
            c = 'e';
    }
    double expected = std::strtod(plain.c_str(), nullptr);
    if (std::bit_cast<std::uint64_t>(value) != std::bit_cast<std::uint64_t>(expected))
        __builtin_trap();
    return 0;
}
