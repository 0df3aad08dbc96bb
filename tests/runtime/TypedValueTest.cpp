#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/values/TypedValue.h>
#include <runtime/values/ValueConversion.h>
#include <runtime/windows/RuntimeMessages.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace runtime;

namespace {

TEST(TypedValue, WordsShareTheDataField) {
    TypedValue value;
    value.set_words(0x11223344u, 0x55667788u);
    EXPECT_EQ(value.data, 0x5566778811223344ull);
    EXPECT_EQ(value.low(), 0x11223344u);
    EXPECT_EQ(value.high(), 0x55667788u);

    int target = 0;
    value.set_pointer(&target);
    EXPECT_EQ(value.pointer<int>(), &target);

    EXPECT_EQ(TypedValue::of_short(-1).data, 0xFFFFu);
    EXPECT_EQ(TypedValue::of_integer(-1).data, 0xFFFFFFFFu);
    EXPECT_EQ(TypedValue::of_double(0.1).as_double(), 0.1);
    EXPECT_EQ(TypedValue::of_float(0.1f).as_float(), 0.1f);
}

TEST(TypedValue, Classification) {
    struct Case {
        std::uint32_t code;
        TypeClass type_class;
        bool array;
        bool numeric;
    } cases[] = {
        {0, TypeClass::None, false, false},
        {type_code::Byte, TypeClass::Base, false, true},
        {type_code::Short, TypeClass::Base, false, true},
        {type_code::Integer, TypeClass::Base, false, true},
        {type_code::Long, TypeClass::Base, false, true},
        {type_code::Float, TypeClass::Base, false, true},
        {type_code::Double, TypeClass::Base, false, true},
        {type_code::Boolean, TypeClass::Base, false, false},
        {type_code::DateTime, TypeClass::Base, false, false},
        {type_code::Text, TypeClass::Base, false, false},
        {type_code::ByteSet, TypeClass::Base, false, false},
        {type_code::SubprogramPointer, TypeClass::Base, false, false},
        {type_code::Integer | type_code::ArrayFlag, TypeClass::Base, true, false},
        {type_code::Text | type_code::ArrayFlag, TypeClass::Base, true, false},
        {0x40000001u, TypeClass::Own, false, false},
        {0x7FFFFFFFu, TypeClass::Own, false, false},
        {0x00010001u, TypeClass::LibraryDefined, false, false},
        {0x00070003u, TypeClass::LibraryDefined, false, false},
        {0xC0000001u, TypeClass::LibraryDefined, false, false},
        {0x20000301u, TypeClass::LibraryDefined, false, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        EXPECT_EQ(classify_type(c.code), c.type_class);
        EXPECT_EQ(is_array_type(c.code), c.array);
        EXPECT_EQ(is_numeric_type(c.code), c.numeric);
    }
    EXPECT_EQ(element_type(type_code::Double | type_code::ArrayFlag), type_code::Double);
    EXPECT_EQ(library_number(0x00060001u), 6);
    EXPECT_EQ(library_type_number(0x00060001u), 1);
}

TEST(TypedValue, SizeRule) {
    struct Case {
        std::uint32_t code;
        std::size_t size;
    } cases[] = {
        {type_code::Byte, 1},
        {type_code::Short, 2},
        {type_code::Integer, 4},
        {type_code::Float, 4},
        {type_code::Boolean, 4},
        {type_code::Long, 8},
        {type_code::Double, 8},
        {type_code::DateTime, 8},
        {type_code::EightByte, 8},
        {type_code::SubprogramPointer, sizeof(void*)},
        {type_code::Text, sizeof(void*)},
        {type_code::ByteSet, sizeof(void*)},
        {0x00010001u, 8},
        {0x80000007u, 0},
        {0, 0},
    };
    for (auto& c : cases)
        EXPECT_EQ(element_size(c.code), c.size) << std::hex << c.code;

    EXPECT_EQ(value_size(TypedValue::of_text("abc")), 4u);
    EXPECT_EQ(value_size(TypedValue::of_text(nullptr)), 1u);
    const std::uint8_t bytes[] = {1, 2, 3, 0, 5};
    void* set = make_byte_set(bytes);
    EXPECT_EQ(value_size(TypedValue::of_pointer(type_code::ByteSet, set)), 5u);
    RuntimeHeap::the().release(set);
    EXPECT_EQ(value_size(TypedValue::of_pointer(type_code::ByteSet, nullptr)), 0u);
}

TEST(TypedValue, IntegerFromValue) {
    struct Case {
        TypedValue value;
        std::int32_t expected;
    } cases[] = {
        {TypedValue::of(type_code::Byte, 0xFFFFFFC8u), 200},
        {TypedValue::of(type_code::Short, 0xFFFF8000u), -32768},
        {TypedValue::of_short(-1), -1},
        {TypedValue::of_integer(-123456), -123456},
        {TypedValue::of_long(0x1'0000'0005ll), 5},
        {TypedValue::of_long(-2), -2},
        {TypedValue::of_float(-2.9f), -2},
        {TypedValue::of_double(2.9), 2},
        {TypedValue::of_double(-0.5), 0},
        {TypedValue::of_double(4294967297.0), 1},
        {TypedValue::of_double(std::nan("")), 0},
        {TypedValue::of_double(1e300), -1},
        {TypedValue::of_double(-1e300), 0},
    };
    for (auto& c : cases) {
        auto result = integer_from_value(c.value);
        ASSERT_FALSE(result.is_error());
        EXPECT_EQ(result.value(), c.expected) << std::hex << c.value.type << " " << c.value.data;
    }

    for (auto code :
         {type_code::Boolean, type_code::DateTime, type_code::Text, type_code::None, 0x00010001u}) {
        auto result = integer_from_value(TypedValue::of(code, 1));
        ASSERT_TRUE(result.is_error()) << std::hex << code;
        EXPECT_STREQ(result.error().message.c_str(), messages::NotNumeric);
    }
}

TEST(TypedValue, TruncationSaturates) {
    EXPECT_EQ(truncate_to_int64(-7.99), -7);
    EXPECT_EQ(truncate_to_int64(9.3e18), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(truncate_to_int64(-9.3e18), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(truncate_to_int64(INFINITY), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(truncate_to_int64(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

} // namespace
