// The stored data of every basic unit type: what a unit writes reads back to
// the same bytes, and data that is newer, cut short or lying about a length
// fails the load so that no unit is created.

#include <units/ButtonUnit.h>
#include <units/GroupBoxUnit.h>
#include <units/LabelUnit.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace units;

// A sample of each type with settings away from the defaults.
template <typename T> typename T::Settings sample();

template <> ButtonUnit::Settings sample<ButtonUnit>() {
    ButtonUnit::Settings s;
    s.set_text(ButtonUnit::Caption, "\xB0\xB4\xC5\xA5 Add"); // 按钮
    s.set_word(ButtonUnit::DefaultButton, 1);
    s.set_word(ButtonUnit::VerticalAlignment, 2);
    s.set_block(ButtonUnit::Font, std::vector<std::uint8_t>(60, 7));
    return s;
}

template <> LabelUnit::Settings sample<LabelUnit>() {
    LabelUnit::Settings s;
    s.set_text(LabelUnit::Caption, "Gripper");
    s.set_word(LabelUnit::Alignment, 2);
    s.set_word(LabelUnit::TextColour, 0x0000FF);
    s.set_block(LabelUnit::Data, std::vector<std::uint8_t>{1, 2, 3});
    return s;
}

template <> GroupBoxUnit::Settings sample<GroupBoxUnit>() {
    GroupBoxUnit::Settings s;
    s.set_text(GroupBoxUnit::Caption, "Servos");
    s.set_word(GroupBoxUnit::Alignment, 1);
    return s;
}

template <typename T> class StoredData : public ::testing::Test {};

using Types = ::testing::Types<ButtonUnit, LabelUnit, GroupBoxUnit>;
TYPED_TEST_SUITE(StoredData, Types);

std::vector<std::uint8_t> with_version(std::vector<std::uint8_t> data, std::uint32_t version) {
    std::memcpy(data.data(), &version, sizeof version);
    return data;
}

TYPED_TEST(StoredData, WriteReadWriteGivesTheSameBytes) {
    auto bytes = write_stored_settings(sample<TypeParam>());
    typename TypeParam::Settings read;
    ASSERT_TRUE(read_stored_settings(bytes, read));
    EXPECT_EQ(write_stored_settings(read), bytes);
    EXPECT_NE(bytes, write_stored_settings(typename TypeParam::Settings{}))
        << "the sample must differ from the defaults to prove anything";
}

TYPED_TEST(StoredData, EmptyDataMeansTheDefaults) {
    typename TypeParam::Settings read = sample<TypeParam>();
    ASSERT_TRUE(read_stored_settings({}, read));
    EXPECT_EQ(write_stored_settings(read), write_stored_settings(typename TypeParam::Settings{}));
}

TYPED_TEST(StoredData, AVersionAboveTheTypesOwnFailsAndCreatesNoUnit) {
    auto bytes =
        with_version(write_stored_settings(sample<TypeParam>()), TypeParam::StoredVersion + 1);
    typename TypeParam::Settings read;
    EXPECT_FALSE(read_stored_settings(bytes, read));
    auto* unit = TypeParam::Entries::create(bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                                            0, nullptr, 100, nullptr, 0, 0, 10, 10, 1, 2, 0, 0);
    EXPECT_EQ(unit, nullptr);
}

TYPED_TEST(StoredData, EveryShortTailFails) {
    auto bytes = write_stored_settings(sample<TypeParam>());
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + length);
        typename TypeParam::Settings read;
        EXPECT_FALSE(read_stored_settings(cut, read)) << "cut to " << length << " bytes";
    }
    auto longer = bytes;
    longer.push_back(0);
    typename TypeParam::Settings read;
    EXPECT_FALSE(read_stored_settings(longer, read)) << "a byte too many";
}

TYPED_TEST(StoredData, ATextLengthThatLiesFails) {
    // The first text or block after the version word claims more bytes than
    // the block holds; every word in turn is made to lie.
    auto bytes = write_stored_settings(sample<TypeParam>());
    for (std::size_t at = 4; at + 4 <= bytes.size(); at += 4) {
        auto lying = bytes;
        std::uint32_t huge = 0x7FFFFFF0;
        std::memcpy(lying.data() + at, &huge, sizeof huge);
        typename TypeParam::Settings read;
        // A number word may take any value; a length word must not be believed.
        if (read_stored_settings(lying, read)) {
            EXPECT_EQ(write_stored_settings(read).size(), bytes.size()) << "word at " << at;
        }
    }
}

} // namespace
