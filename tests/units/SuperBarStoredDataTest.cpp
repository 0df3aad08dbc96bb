// The bar's stored data: what a design writes by name is what the unit
// reads and what its saved state writes back, byte for byte; data that is
// short, lies about a block's length, carries a newer version or an empty
// range makes no unit.

#include "SuperBarFixture.h"

#include <program/LibraryTable.h>

#include <DesignTypes.h>

namespace superbar_test {
namespace {

std::vector<std::uint8_t> saved_state(SuperBarUnit* bar) {
    std::vector<std::uint8_t> state;
    EXPECT_TRUE(SuperBarUnit::Entries::save_state(bar, &state));
    return state;
}

SuperBarUnit::Settings unusual_settings() {
    SuperBarUnit::Settings settings;
    settings.set_word(SuperBarUnit::BarKind, 3);
    settings.set_word(SuperBarUnit::Orientation, 1);
    settings.set_word(SuperBarUnit::FillColour, 0x00336699);
    settings.set_word(SuperBarUnit::PageStep, 25);
    settings.set_word(SuperBarUnit::LineStep, 3);
    settings.set_word(SuperBarUnit::Minimum, -5);
    settings.set_word(SuperBarUnit::Maximum, 300);
    settings.set_word(SuperBarUnit::Position, 7);
    settings.set_word(SuperBarUnit::TrackWhileDragging, 0);
    settings.set_word(SuperBarUnit::CentreThumb, 0);
    const std::uint8_t font[] = {0xF4, 0xFF, 0xFF, 0xFF, 0x00, 0x01};
    settings.set_block(SuperBarUnit::Font, font);
    const std::uint8_t images[] = {1, 2, 3};
    settings.set_block(SuperBarUnit::ThumbImages, images);
    return settings;
}

TEST_F(SuperBarTest, StoredDataReadsBackToTheSameBytes) {
    std::vector<std::uint8_t> written = units::write_stored_settings(unusual_settings());
    SuperBarUnit* bar = make_from(written, {10, 10, 58, 210});
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(saved_state(bar), written);
    EXPECT_EQ(bar->position(), 7);
    EXPECT_TRUE(bar->layout().vertical());

    // The saved state carries what changed since.
    write(bar, SuperBarUnit::Position, 120);
    SuperBarUnit::Settings read_back;
    ASSERT_TRUE(units::read_stored_settings(saved_state(bar), read_back));
    EXPECT_EQ(read_back.word(SuperBarUnit::Position), 120);
    EXPECT_EQ(read_back.word(SuperBarUnit::Minimum), -5);
}

TEST_F(SuperBarTest, AnEmptyBlockGivesTheDefaults) {
    SuperBarUnit* bar = make_from({});
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(read(bar, SuperBarUnit::BarKind), 1);
    EXPECT_EQ(read(bar, SuperBarUnit::Orientation), 0);
    EXPECT_EQ(read(bar, SuperBarUnit::Minimum), 0);
    EXPECT_EQ(read(bar, SuperBarUnit::Maximum), 100);
    EXPECT_EQ(read(bar, SuperBarUnit::Position), 30);
    EXPECT_EQ(read(bar, SuperBarUnit::PageStep), 10);
    EXPECT_EQ(read(bar, SuperBarUnit::LineStep), 1);
    EXPECT_EQ(read(bar, SuperBarUnit::SliderBehaviour), 1);
    EXPECT_EQ(read(bar, SuperBarUnit::CentreThumb), 1);
    EXPECT_TRUE(raised().empty()) << "creation raises nothing";
}

TEST_F(SuperBarTest, BadStoredDataMakesNoUnit) {
    std::vector<std::uint8_t> good = units::write_stored_settings(unusual_settings());
    ASSERT_NE(make_from(good), nullptr);

    auto newer = good;
    newer[0] = SuperBarUnit::StoredVersion + 1;
    EXPECT_EQ(make_from(newer), nullptr) << "a version above the type's own";

    for (std::size_t length = 1; length < good.size(); ++length) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_EQ(make_from(cut), nullptr) << "cut to " << length << " bytes";
    }

    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(make_from(longer), nullptr) << "bytes after the last field";

    // The font block claims more bytes than there are.
    SuperBarUnit::Settings lying = unusual_settings();
    auto bytes = units::write_stored_settings(lying);
    std::size_t font_at = 4 * (1 + 12); // version and the twelve words before it
    ASSERT_EQ(bytes[font_at], 6u);
    bytes[font_at] = 0xFF;
    bytes[font_at + 3] = 0x7F;
    EXPECT_EQ(make_from(bytes), nullptr) << "a block longer than the data";

    SuperBarUnit::Settings empty_range;
    empty_range.set_word(SuperBarUnit::Minimum, 50);
    empty_range.set_word(SuperBarUnit::Maximum, 50);
    EXPECT_EQ(make(empty_range), nullptr) << "a range with no room";
}

TEST_F(SuperBarTest, AStoredPositionOutsideTheRangeIsBroughtInside) {
    SuperBarUnit::Settings settings = servo_settings(500);
    SuperBarUnit* bar = make(settings);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->position(), 179);
    EXPECT_TRUE(raised().empty());
}

TEST_F(SuperBarTest, TheDesignCompilerWritesWhatTheUnitReads) {
    designc::DesignTypes types = designc::DesignTypes::standard();
    const designc::DesignType* type = types.find("SuperBar");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->code, SuperBarUnit::TypeCode);
    EXPECT_EQ(types.resolve("2:1"), SuperBarUnit::TypeCode);

    // The arm controller's servo slider, as its design writes it.
    std::vector<std::pair<std::string, std::string>> named = {
        {"BarKind", "3"},         {"SliderBehaviour", "true"}, {"Orientation", "0"},
        {"PageStep", "10"},       {"LineStep", "1"},           {"Minimum", "0"},
        {"Maximum", "179"},       {"Position", "80"},          {"TrackWhileDragging", "true"},
        {"FillColor", "0xD77800"}};
    std::vector<std::uint8_t> data;
    std::string bad;
    ASSERT_TRUE(type->writer(named, data, bad)) << bad;
    SuperBarUnit* bar = make_from(data);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(read(bar, SuperBarUnit::SliderBehaviour), 1) << "set after the preset";
    EXPECT_EQ(read(bar, SuperBarUnit::CentreThumb), 1) << "from preset 3";
    EXPECT_EQ(read(bar, SuperBarUnit::Maximum), 179);
    EXPECT_EQ(bar->position(), 80);
    EXPECT_EQ(saved_state(bar), data);

    std::vector<std::pair<std::string, std::string>> unknown = {{"Colour", "1"}};
    EXPECT_FALSE(type->writer(unknown, data, bad));
    EXPECT_EQ(bad, "Colour");
    std::vector<std::pair<std::string, std::string>> not_a_number = {{"Position", "high"}};
    EXPECT_FALSE(type->writer(not_a_number, data, bad));
}

TEST_F(SuperBarTest, TheBarSitsFirstInTheSecondLibrary) {
    const runtime::LibraryInfo& library = *program::LibraryTable::the().libraries()[1];
    ASSERT_GE(library.unit_type_count, 1u);
    const runtime::UnitTypeInfo& info = library.unit_types[0];
    EXPECT_STREQ(info.english_name, "SuperBar");
    EXPECT_EQ(info.property_count, 8u + 52u);
    // Own properties where the program reads and writes them.
    EXPECT_EQ(info.property_kind(8), runtime::value_kind::Choice);
    EXPECT_EQ(info.property_kind(13), runtime::value_kind::Integer);
    EXPECT_EQ(info.property_kind(17), runtime::value_kind::Integer);
    EXPECT_EQ(info.property_kind(21), runtime::value_kind::Boolean);
    EXPECT_EQ(info.property_kind(59), runtime::value_kind::Boolean);
    EXPECT_EQ(info.property_kind(40), runtime::value_kind::Empty);
    EXPECT_NE(info.entry<runtime::UnitCreateFunction>(runtime::UnitQueryCreate), nullptr);
}

} // namespace
} // namespace superbar_test
