#include "CommandTestSupport.h"

#include <commands/ConversionCommands.h>

#include <bit>
#include <cmath>
#include <limits>

using namespace test_support;
namespace type_code = runtime::type_code;

namespace {

// An argument, and the block it points to (released after the call).
struct Arg {
    TypedValue value;
    void* owned = nullptr;
};

Arg plain(TypedValue value) {
    return {value, nullptr};
}
Arg block(std::uint32_t type, void* p) {
    return {TypedValue::of_pointer(type, p), p};
}
Arg text(const char* t) {
    return plain(TypedValue::of_text(t));
}
Arg byte_set(std::initializer_list<std::uint8_t> bytes) {
    return block(type_code::ByteSet,
                 raw_block({1, static_cast<std::uint32_t>(bytes.size())}, bytes));
}

OptionalText to_text(const Arg& arg) {
    TypedValue result = call(commands::ToText, {arg.value});
    runtime::RuntimeHeap::the().release(arg.owned);
    EXPECT_EQ(result.type, type_code::Text);
    return take_text(result.pointer<char>());
}

std::optional<std::vector<std::uint8_t>> to_byte_set(const Arg& arg) {
    TypedValue result = call(commands::ToByteSet, {arg.value});
    runtime::RuntimeHeap::the().release(arg.owned);
    EXPECT_EQ(result.type, type_code::ByteSet);
    return take_byte_set(result.pointer<void>());
}

double to_number(const Arg& arg) {
    TypedValue result = call(commands::ToNumber, {arg.value});
    runtime::RuntimeHeap::the().release(arg.owned);
    EXPECT_EQ(result.type, type_code::Double);
    return result.as_double();
}

TEST(ToText, Numbers) {
    HeapBalance balance;
    struct Case {
        TypedValue value;
        const char* expected;
    } cases[] = {
        {TypedValue::of_integer(90), "90"},
        {TypedValue::of_integer(-5), "-5"},
        {TypedValue::of_integer(std::numeric_limits<std::int32_t>::min()), "-2147483648"},
        {TypedValue::of_byte(200), "200"},
        {TypedValue::of(type_code::Byte, 0xFFFFFF07u), "7"},
        {TypedValue::of_short(-1), "-1"},
        {TypedValue::of(type_code::Short, 0x12347FFFu), "32767"},
        {TypedValue::of_long(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        {TypedValue::of_long(1099511627776), "1099511627776"},
        {TypedValue::of_double(0.1), "0.1"},
        {TypedValue::of_double(1.0 / 3.0), "0.3333333333333"},
        {TypedValue::of_double(1e20), "1e+020"},
        {TypedValue::of_double(2.5e-5), "2.5e-005"},
        {TypedValue::of_double(1.5e-7), "1.5e-007"},
        {TypedValue::of_double(-1e300), "-1e+300"},
        {TypedValue::of_double(123456789012345.0), "1.234567890123e+014"},
        {TypedValue::of_double(1234567890123.0), "1234567890123"},
        {TypedValue::of_double(0.0001), "0.0001"},
        {TypedValue::of_double(100), "100"},
        {TypedValue::of_double(-0.0), "-0"},
        {TypedValue::of_float(0.1f), "0.1"},
        {TypedValue::of_float(3e9f), "3e+009"},
        {TypedValue::of_float(1.0f / 3.0f), "0.333333"},
        {TypedValue::of_float(16777217.0f), "1.67772e+007"},
        {TypedValue::of_float(123456.7f), "123457"},
        {TypedValue::of_float(-2.5f), "-2.5"},
        {TypedValue::of_float(1e-5f), "1e-005"},
        {TypedValue::of_float(0.0f), "0"},
    };
    for (auto& c : cases)
        EXPECT_EQ(to_text(plain(c.value)), OptionalText(c.expected))
            << std::hex << c.value.type << " " << c.value.data;
}

TEST(ToText, BooleansAndDates) {
    HeapBalance balance;
    struct Case {
        TypedValue value;
        const char* expected_utf8;
    } cases[] = {
        {TypedValue::of_boolean(true), "真"},
        {TypedValue::of(type_code::Boolean, 0xFFFFFFFFu), "真"},
        {TypedValue::of_boolean(false), "假"},
        {TypedValue::of_date_time(0), "1899年12月30日"},
        {TypedValue::of_date_time(0.5), "1899年12月30日12时"},
        {TypedValue::of_date_time(1 + (8 * 3600 + 5) / 86400.0), "1899年12月31日8时0分5秒"},
        {TypedValue::of_date_time(36526), "2000年1月1日"},
        {TypedValue::of_date_time(36526 + 630 / 1440.0), "2000年1月1日10时30分"},
        {TypedValue::of_date_time(36585), "2000年2月29日"},
        {TypedValue::of_date_time(-1.25), "1899年12月29日6时"},
        {TypedValue::of_date_time(0.9999999), "1899年12月31日"},
        {TypedValue::of_date_time(1e10), "9999年12月31日"},
        {TypedValue::of_date_time(-1e10), "100年1月1日"},
        {TypedValue::of_date_time(std::nan("")), "1899年12月30日"},
    };
    for (auto& c : cases)
        EXPECT_EQ(to_text(plain(c.value)), OptionalText(gbk(c.expected_utf8))) << c.expected_utf8;
}

TEST(ToText, TextsByteSetsAndArrays) {
    HeapBalance balance;
    struct Case {
        const char* what;
        Arg arg;
        OptionalText expected;
    } cases[] = {
        {"text", text("abc"), "abc"},
        {"empty text", text(""), std::nullopt},
        {"null text", text(nullptr), std::nullopt},
        {"byte set up to its zero", byte_set({0x41, 0x42, 0x00, 0x43}), "AB"},
        {"byte set starting with zero", byte_set({0x00, 0x41}), std::nullopt},
        {"byte set without zero", byte_set({0x41, 0x42, 0x43}), "ABC"},
        {"null byte set", plain(TypedValue::of(type_code::ByteSet, 0)), std::nullopt},
        {"byte set claiming more than its block",
         block(type_code::ByteSet, raw_block({1, 4000}, {'h', 'i'})), "hi"},
        {"integer array",
         block(type_code::Integer | type_code::ArrayFlag, raw_block({1, 2, 0x00434241, 0x44})),
         "ABC"},
        {"short array",
         block(type_code::Short | type_code::ArrayFlag, raw_block({1, 2, 0x00440043})), "C"},
        {"array claiming more than its block",
         block(type_code::Byte | type_code::ArrayFlag, raw_block({1, 0x7FFFFFFF}, {'x', 'y'})),
         "xy"},
        {"text array", block(type_code::Text | type_code::ArrayFlag, raw_block({1, 0})),
         std::nullopt},
        {"subprogram pointer", plain(TypedValue::of(type_code::SubprogramPointer, 0x401000)),
         std::nullopt},
        {"eight-byte type", plain(TypedValue::of(type_code::EightByte, 5)), std::nullopt},
        {"unit reference", plain(TypedValue::of(0x00010006, 0x1601000152010001ull)), std::nullopt},
        {"no type", plain(TypedValue::of(0, 5)), std::nullopt},
    };
    for (auto& c : cases)
        EXPECT_EQ(to_text(c.arg), c.expected) << c.what;

    TypedValue none = call(commands::ToText, {});
    EXPECT_EQ(none.data, 0u);
}

TEST(ToNumber, Texts) {
    HeapBalance balance;
    struct Case {
        std::string input;
        double expected;
    } cases[] = {
        {"  12.5abc", 12.5},
        {"abc", 0},
        {"", 0},
        {"1d2", 100},
        {"2D3", 2000},
        {"1E-2", 0.01},
        {"12,5", 12},
        {gbk("１８０"), 180},
        {gbk("　１２．５"), 12.5},
        {gbk("－３"), -3},
        {"\t\n 7", 7},
        {"-3.5e+2", -350},
        {"+.5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"1e", 1},
        {"1e+", 1},
        {"1ex", 1},
        {"0x1A", 0},
        {"inf", 0},
        {"nan", 0},
        {"0.1", 0.1},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"1e400", std::numeric_limits<double>::infinity()},
        {"-1e400", -std::numeric_limits<double>::infinity()},
        {"1e-400", 0},
        {"0.000001e-320", 0},
        {"4.9e-324", 4.9e-324},
        {"1e99999999999999999999", std::numeric_limits<double>::infinity()},
        {"0e99999999999", 0},
    };
    for (auto& c : cases) {
        double actual = to_number(text(c.input.c_str()));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(c.expected))
            << "\"" << c.input << "\" gave " << actual;
    }
    EXPECT_EQ(to_number(text(nullptr)), 0);
}

TEST(ToNumber, OtherValues) {
    HeapBalance balance;
    const double nan_with_payload = std::bit_cast<double>(0x7FF8000000012345ull);
    struct Case {
        const char* what;
        Arg arg;
        double expected;
    } cases[] = {
        {"byte", plain(TypedValue::of(type_code::Byte, 0xFFFFFFC8u)), 200},
        {"short", plain(TypedValue::of(type_code::Short, 0xFFFEu)), -2},
        {"integer", plain(TypedValue::of_integer(-7)), -7},
        {"long", plain(TypedValue::of_long(-1099511627776)), -1099511627776.0},
        {"float", plain(TypedValue::of_float(0.1f)), static_cast<double>(0.1f)},
        {"double", plain(TypedValue::of_double(nan_with_payload)), nan_with_payload},
        {"boolean", plain(TypedValue::of(type_code::Boolean, 0xFFFFFFFFu)), -1},
        {"subprogram pointer", plain(TypedValue::of(type_code::SubprogramPointer, 0x80001234u)),
         2147488308.0},
        {"date-time", plain(TypedValue::of_date_time(5.5)), 0},
        {"byte set", byte_set({'1', '2'}), 0},
        {"integer array", block(type_code::Integer | type_code::ArrayFlag, raw_block({1, 1, 5})),
         0},
        {"unit reference", plain(TypedValue::of(0x00010006, 5)), 0},
    };
    for (auto& c : cases) {
        double actual = to_number(c.arg);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(c.expected))
            << c.what;
    }
}

TEST(ToByteSet, Values) {
    HeapBalance balance;
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        const char* what;
        Arg arg;
        std::optional<Bytes> expected;
    } cases[] = {
        {"text", text("90a"), Bytes{0x39, 0x30, 0x61}},
        {"empty text", text(""), std::nullopt},
        {"null text", text(nullptr), std::nullopt},
        {"integer", plain(TypedValue::of_integer(1)), Bytes{1, 0, 0, 0}},
        {"byte", plain(TypedValue::of(type_code::Byte, 0x1AB)), Bytes{0xAB}},
        {"short", plain(TypedValue::of_short(-2)), Bytes{0xFE, 0xFF}},
        {"long", plain(TypedValue::of_long(0x0102030405060708)), Bytes{8, 7, 6, 5, 4, 3, 2, 1}},
        {"float", plain(TypedValue::of_float(1.0f)), Bytes{0, 0, 0x80, 0x3F}},
        {"double", plain(TypedValue::of_double(1.0)), Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"date-time", plain(TypedValue::of_date_time(2.0)), Bytes{0, 0, 0, 0, 0, 0, 0, 0x40}},
        {"boolean", plain(TypedValue::of(type_code::Boolean, 0x12345678)),
         Bytes{0x78, 0x56, 0x34, 0x12}},
        {"byte set", byte_set({0, 1, 0}), Bytes{0, 1, 0}},
        {"byte set claiming more than its block",
         block(type_code::ByteSet, raw_block({1, 99}, {5})), Bytes{5}},
        {"null byte set", plain(TypedValue::of(type_code::ByteSet, 0)), std::nullopt},
        {"integer array", block(type_code::Integer | type_code::ArrayFlag, raw_block({1, 2, 1, 2})),
         Bytes{1, 0, 0, 0, 2, 0, 0, 0}},
        {"two-dimensional array",
         block(type_code::Byte | type_code::ArrayFlag, raw_block({2, 2, 1}, {7, 8, 9})),
         Bytes{7, 8}},
        {"empty array", block(type_code::Double | type_code::ArrayFlag, raw_block({1, 0})),
         std::nullopt},
        {"text array", block(type_code::Text | type_code::ArrayFlag, raw_block({1, 0})),
         std::nullopt},
        {"unlisted base type", plain(TypedValue::of(0x80000007u, 5)), std::nullopt},
        {"unit reference", plain(TypedValue::of(0x00010006, 5)), std::nullopt},
        {"own class type", plain(TypedValue::of(0x40000001, 5)), std::nullopt},
    };
    for (auto& c : cases)
        EXPECT_EQ(to_byte_set(c.arg), c.expected) << c.what;
}

} // namespace
