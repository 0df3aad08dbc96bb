#include "DecimalReader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace commands {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Far beyond any double; keeps the exponent arithmetic from overflowing.
constexpr long long exponent_limit = 1'000'000'000;

} // namespace

double read_decimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    std::size_t integer_start = i;
    while (i < text.size() && is_digit(text[i]))
        ++i;
    std::string_view integer_digits = text.substr(integer_start, i - integer_start);
    std::string_view fraction_digits;
    if (i < text.size() && text[i] == '.') {
        std::size_t fraction_start = ++i;
        while (i < text.size() && is_digit(text[i]))
            ++i;
        fraction_digits = text.substr(fraction_start, i - fraction_start);
    }
    if (integer_digits.empty() && fraction_digits.empty())
        return 0;

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        bool exponent_negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent_negative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && is_digit(text[j])) {
            while (j < text.size() && is_digit(text[j])) {
                if (exponent < exponent_limit)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (exponent_negative)
                exponent = -exponent;
        }
    }

    // The digits in one plain form for the correctly rounded conversion.
    std::string plain;
    plain.reserve(integer_digits.size() + fraction_digits.size() + 16);
    plain.append(integer_digits);
    plain += '.';
    plain.append(fraction_digits);
    plain += 'e';
    plain += std::to_string(exponent);

    double value = 0;
    auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                        std::chars_format::scientific);
    if (error == std::errc::result_out_of_range) {
        // Decide between overflow and underflow by the decimal exponent of
        // the first significant digit.
        long long magnitude = exponent;
        std::size_t leading = integer_digits.find_first_not_of('0');
        if (leading != std::string_view::npos) {
            magnitude += static_cast<long long>(integer_digits.size() - leading);
        } else {
            std::size_t first = fraction_digits.find_first_not_of('0');
            magnitude -= static_cast<long long>(first == std::string_view::npos ? 0 : first);
        }
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

} // namespace commands
