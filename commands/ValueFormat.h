#pragma once

// The text forms of numbers, booleans and date-times, shared by ToText and
// ShowMessage.

#include <runtime/values/TypedValue.h>

#include <cstddef>
#include <string>

namespace commands {

inline constexpr std::size_t FormatBufferSize = 100;

// The GBK texts of the two boolean values, 真 and 假.
inline constexpr const char* TrueText = "\xD5\xE6";
inline constexpr const char* FalseText = "\xBC\xD9";

// Writes the text form of a numeric value into a buffer of FormatBufferSize
// bytes: byte "%u", short and integer "%d", long its 64-bit decimal, float
// "%.6g" after RoundFloatForDisplay, double "%.13g". Exponents are written
// with a sign and at least three digits (1e+020). Any other type gives "".
void FormatValue(const runtime::TypedValue& value, char* buffer);

// Rounds a float to six significant decimal digits, half away from zero, so
// that "%.6g" shows 0.1 for the float nearest 0.1.
double RoundFloatForDisplay(float value);

// The date text of a date-time value (days since 30 December 1899, the time
// of day as fraction), GBK: "%d年%d月%d日" and as many of "%d时", "%d分",
// "%d秒" as are needed. Written into a buffer of FormatBufferSize bytes.
void format_date_time(double days, char* buffer);

// Rewrites a printf exponent of fewer than three digits to three
// ("1e+20" -> "1e+020"); other texts are left as they are.
void widen_exponent(char* text, std::size_t buffer_size);

} // namespace commands
