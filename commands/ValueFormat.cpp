#include "ValueFormat.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

void widen_exponent(char* text, std::size_t buffer_size) {
    char* e = std::strchr(text, 'e');
    if (!e || (e[1] != '+' && e[1] != '-'))
        return;
    char* digits = e + 2;
    std::size_t count = std::strlen(digits);
    if (count >= 3)
        return;
    std::size_t pad = 3 - count;
    std::size_t length = static_cast<std::size_t>(digits - text) + count;
    if (length + pad + 1 > buffer_size)
        return;
    std::memmove(digits + pad, digits, count + 1);
    std::memset(digits, '0', pad);
}

double RoundFloatForDisplay(float value) {
    if (value == 0 || !std::isfinite(value))
        return value;
    // The binary exponent; for normal floats this is the stored exponent
    // field minus 127. Taking it from frexp keeps subnormal floats (whose
    // field reads -127) from rounding to 0.
    int exponent = 0;
    std::frexp(value, &exponent);
    int e2 = exponent - 1;
    int e10 = static_cast<int>(e2 * 0.30102999566398119521);
    double p = std::pow(10.0, std::abs(e10));
    double x = std::fabs(static_cast<double>(value));
    double m = e10 > 0 ? x / p : x * p;
    if (m >= 10) {
        p *= 10;
        e10 += 1;
        m *= 10000;
    } else if (m < 1) {
        p *= 10;
        e10 -= 1;
        m *= 1000000;
    } else {
        m *= 100000;
    }
    double whole = std::floor(m);
    double r = m - whole >= 0.5 ? whole + 1 : whole;
    double result = e10 > 0 ? r * (p * 0.00001) : r / (p * 100000);
    return value < 0 ? -result : result;
}

void FormatValue(const TypedValue& value, char* buffer) {
    switch (value.type) {
    case type_code::Byte:
        std::snprintf(buffer, FormatBufferSize, "%u", value.low() & 0xFFu);
        return;
    case type_code::Short:
        std::snprintf(buffer, FormatBufferSize, "%d",
                      static_cast<std::int16_t>(value.low() & 0xFFFFu));
        return;
    case type_code::Integer:
        std::snprintf(buffer, FormatBufferSize, "%d", static_cast<std::int32_t>(value.low()));
        return;
    case type_code::Long:
        std::snprintf(buffer, FormatBufferSize, "%" PRId64, static_cast<std::int64_t>(value.data));
        return;
    case type_code::Float:
        std::snprintf(buffer, FormatBufferSize, "%.6g", RoundFloatForDisplay(value.as_float()));
        widen_exponent(buffer, FormatBufferSize);
        return;
    case type_code::Double:
        std::snprintf(buffer, FormatBufferSize, "%.13g", value.as_double());
        widen_exponent(buffer, FormatBufferSize);
        return;
    default:
        buffer[0] = 0;
        return;
    }
}

namespace {

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// Proleptic Gregorian date of a day count from 1970-01-01.
CivilDate civil_from_days(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr double earliest_date = -657434;     // 1 January 100
constexpr double latest_date = 2958465;       // 31 December 9999
constexpr std::int64_t epoch_offset = -25569; // 1899-12-30 counted from 1970-01-01

} // namespace

void format_date_time(double days, char* buffer) {
    // Not a date at all: shown as the epoch rather than as garbage.
    if (std::isnan(days))
        days = 0;
    days = std::clamp(days, earliest_date, latest_date);

    // The fraction is the time of day even before the epoch: -1.25 is
    // 29 December 1899, 6 o'clock.
    auto day = static_cast<std::int64_t>(days);
    double fraction = std::fabs(days - static_cast<double>(day));
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        day += 1;
    }
    CivilDate date = civil_from_days(day + epoch_offset);
    int hour = static_cast<int>(seconds / 3600);
    int minute = static_cast<int>(seconds / 60 % 60);
    int second = static_cast<int>(seconds % 60);

    // "%d年%d月%d日"
    int length = std::snprintf(buffer, FormatBufferSize, "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5",
                               static_cast<int>(date.year), date.month, date.day);
    char* rest = buffer + length;
    std::size_t room = FormatBufferSize - static_cast<std::size_t>(length);
    if (second != 0)
        std::snprintf(rest, room, "%d\xCA\xB1%d\xB7\xD6%d\xC3\xEB", hour, minute,
                      second); // %d时%d分%d秒
    else if (minute != 0)
        std::snprintf(rest, room, "%d\xCA\xB1%d\xB7\xD6", hour, minute); // %d时%d分
    else if (hour != 0)
        std::snprintf(rest, room, "%d\xCA\xB1", hour); // %d时
}

} // namespace commands
