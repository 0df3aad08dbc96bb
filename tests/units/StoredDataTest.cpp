// The stored data of every unit type: what a unit writes reads back to the
// same bytes, and data that is newer, cut short or lying about a length
// fails the load so that no unit is created.

#include <units/ButtonUnit.h>
#include <units/ComboBoxUnit.h>
#include <units/CommonDlgUnit.h>
#include <units/EditBoxUnit.h>
#include <units/GroupBoxUnit.h>
#include <units/LabelUnit.h>
#include <units/PicBoxUnit.h>
#include <units/StatusBarUnit.h>
#include <units/grid/GridUnit.h>
#include <units/superbar/SuperBarUnit.h>

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

template <> EditBoxUnit::Settings sample<EditBoxUnit>() {
    EditBoxUnit::Settings s;
    s.set_text(EditBoxUnit::Content, "90\r\n45");
    s.set_word(EditBoxUnit::Multiline, 1);
    s.set_word(EditBoxUnit::ScrollBars, 2);
    s.set_word(EditBoxUnit::MaxLength, 200);
    s.set_text(EditBoxUnit::PasswordChar, "#");
    s.set_word(EditBoxUnit::SpinMinimum, -10);
    s.set_block(EditBoxUnit::Font, std::vector<std::uint8_t>(60, 3));
    return s;
}

template <> ComboBoxUnit::Settings sample<ComboBoxUnit>() {
    ComboBoxUnit::Settings s;
    s.set_word(ComboBoxUnit::Kind, 2);
    s.set_block(ComboBoxUnit::ItemTexts, ComboBoxUnit::encode_items({"COM1", "COM3", ""}));
    s.set_block(ComboBoxUnit::ItemValues, std::vector<std::uint8_t>{1, 0, 0, 0, 3, 0, 0, 0});
    s.set_word(ComboBoxUnit::CurrentItem, 1);
    s.set_text(ComboBoxUnit::EditText, "COM3");
    return s;
}

template <> PicBoxUnit::Settings sample<PicBoxUnit>() {
    PicBoxUnit::Settings s;
    s.set_word(PicBoxUnit::Border, 1);
    s.set_word(PicBoxUnit::Layout, PicBoxUnit::Centre);
    s.set_block(PicBoxUnit::Picture, std::vector<std::uint8_t>{'B', 'M', 0, 1, 2});
    return s;
}

template <> CommonDlgUnit::Settings sample<CommonDlgUnit>() {
    CommonDlgUnit::Settings s;
    s.set_word(CommonDlgUnit::DialogKind, CommonDlgUnit::SaveFile);
    s.set_text(CommonDlgUnit::Title, "Save the actions");
    s.set_text(CommonDlgUnit::Filter, "Actions (*.act)|*.act");
    s.set_word(CommonDlgUnit::FilterIndex, 1);
    s.set_word(CommonDlgUnit::CreatePrompt, 1);
    return s;
}

template <> StatusBarUnit::Settings sample<StatusBarUnit>() {
    StatusBarUnit::Settings s;
    s.set_word(StatusBarUnit::Style, 2);
    s.set_word(StatusBarUnit::SizeGrip, 1);
    s.set_block(StatusBarUnit::Data, std::vector<std::uint8_t>{9, 8, 7, 6});
    return s;
}

template <> GridUnit::Settings sample<GridUnit>() {
    GridUnit::Settings s;
    s.set_word(GridUnit::Rows, 101);
    s.set_word(GridUnit::Columns, 6);
    s.set_word(GridUnit::RowHeight, 20);
    s.set_word(GridUnit::WholeRowSelection, 1);
    return s;
}

template <> SuperBarUnit::Settings sample<SuperBarUnit>() {
    SuperBarUnit::Settings s;
    s.set_word(SuperBarUnit::Orientation, 1);
    s.set_word(SuperBarUnit::Maximum, 180);
    s.set_word(SuperBarUnit::Position, 90);
    s.set_block(SuperBarUnit::ThumbImages, std::vector<std::uint8_t>{1, 2, 3});
    return s;
}

template <typename T> class StoredData : public ::testing::Test {};

using Types = ::testing::Types<ButtonUnit, LabelUnit, GroupBoxUnit, EditBoxUnit, ComboBoxUnit,
                               PicBoxUnit, CommonDlgUnit, StatusBarUnit, GridUnit, SuperBarUnit>;
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
