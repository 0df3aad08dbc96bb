#pragma once

#include <string_view>

namespace commands {

// Reads the longest decimal number at the start of a text: leading white
// space, an optional sign, digits with an optional decimal point, and an
// optional exponent introduced by e, E, d or D with an optional sign and at
// least one digit. Reading stops at the first byte that does not fit; no
// digits give 0. There are no hexadecimal, infinity or not-a-number forms,
// and the decimal point is "." whatever the locale. The result is the double
// nearest the decimal value; beyond the double range it is infinite or zero.
double read_decimal(std::string_view text);

} // namespace commands
