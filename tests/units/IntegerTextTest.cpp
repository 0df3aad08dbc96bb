#include <units/framework/IntegerText.h>

#include <gtest/gtest.h>

#include <limits>

namespace units {
namespace {

TEST(IntegerText, ReadsDecimalAndHexadecimalWithTheirSign) {
    struct Case {
        const char* text;
        std::int64_t value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-0x10", -16},
        {"007", 7},
        {"-0", 0},
        {"2147483648", 2147483648LL},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto number = read_integer_text(c.text);
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(number->value(), c.value);
    }
}

TEST(IntegerText, RefusesAnythingButAWholeNumber) {
    for (const char* text : {"", "-", "0x", "-0x", "--5", "-+5", "+5", " 1", "1 ", "12a", "0x1G",
                             "1.5", "0b101", "18446744073709551616"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(read_integer_text(text).has_value());
    }
}

TEST(IntegerText, KeepsMagnitudesBeyondTheSignedRangeWithoutAValue) {
    auto largest = read_integer_text("0xFFFFFFFFFFFFFFFF");
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->magnitude, std::numeric_limits<std::uint64_t>::max());
    EXPECT_FALSE(largest->value().has_value());
    EXPECT_FALSE(read_integer_text("9223372036854775808")->value().has_value());
    EXPECT_FALSE(read_integer_text("-9223372036854775809")->value().has_value());
}

} // namespace
} // namespace units
