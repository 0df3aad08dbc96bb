#include "CommandTestSupport.h"

#include <commands/ValueFormat.h>

#include <cmath>
#include <cstring>

using namespace commands;
using runtime::TypedValue;

namespace {

TEST(FormatValue, NonNumericValuesGiveEmptyText) {
    char buffer[FormatBufferSize];
    for (auto code :
         {runtime::type_code::Text, runtime::type_code::Boolean, runtime::type_code::DateTime, 0u,
          runtime::type_code::Integer | runtime::type_code::ArrayFlag}) {
        std::memset(buffer, 'x', sizeof buffer);
        FormatValue(TypedValue::of(code, 1), buffer);
        EXPECT_STREQ(buffer, "") << std::hex << code;
    }
}

TEST(FormatValue, SpecialDoublesKeepAReadableForm) {
    char buffer[FormatBufferSize];
    FormatValue(TypedValue::of_double(INFINITY), buffer);
    EXPECT_STREQ(buffer, "inf");
    FormatValue(TypedValue::of_double(-1.7976931348623157e308), buffer);
    EXPECT_STREQ(buffer, "-1.797693134862e+308");
    FormatValue(TypedValue::of_double(4.9e-324), buffer);
    EXPECT_STREQ(buffer, "4.940656458412e-324");
}

TEST(WidenExponent, Table) {
    struct Case {
        const char* input;
        const char* expected;
    } cases[] = {
        {"1e+20", "1e+020"},  {"2.5e-05", "2.5e-005"}, {"1e+5", "1e+005"},
        {"1e+308", "1e+308"}, {"1e-1000", "1e-1000"},  {"12.5", "12.5"},
        {"inf", "inf"},       {"nan", "nan"},          {"-1e+09", "-1e+009"},
    };
    for (auto& c : cases) {
        char buffer[FormatBufferSize];
        std::strcpy(buffer, c.input);
        widen_exponent(buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.expected);
    }
    // No room to widen: left as it is rather than overrun.
    char tight[6] = "1e+20";
    widen_exponent(tight, sizeof tight);
    EXPECT_STREQ(tight, "1e+20");
}

TEST(RoundFloatForDisplay, RoundsToSixSignificantDigits) {
    struct Case {
        float input;
        double expected;
    } cases[] = {
        {0.1f, 0.1},
        {3e9f, 3e9},
        {1.0f, 1.0},
        {-2.5f, -2.5},
        {12.0f, 12.0},
        {0.5f, 0.5},
        {1234567.0f, 1234570.0},
        {0.123456749f, 0.123457},
        {-0.123456749f, -0.123457},
        {0.0f, 0.0},
    };
    for (auto& c : cases) {
        double actual = RoundFloatForDisplay(c.input);
        EXPECT_NEAR(actual, c.expected, std::fabs(c.expected) * 1e-15) << c.input;
    }
    EXPECT_TRUE(std::isinf(RoundFloatForDisplay(INFINITY)));
    EXPECT_TRUE(std::isnan(RoundFloatForDisplay(NAN)));
    // A subnormal float keeps its digits instead of becoming 0.
    EXPECT_NEAR(RoundFloatForDisplay(1.4e-45f), 1.40130e-45, 1e-50);
}

} // namespace
