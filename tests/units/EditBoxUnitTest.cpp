// The edit box unit: content writes and typed changes, the properties that
// re-create it, input modes, selection and the spin button.

#include "BasicUnitFixture.h"

#include <units/EditBoxUnit.h>

#include <platform/controls/Controls.h>
#include <platform/window/Input.h>
#include <platform/window/WindowSystem.h>

using namespace test_support;
using units::EditBoxUnit;

namespace {

constexpr std::uint32_t BoxId = 0x16010053;
constexpr std::uint32_t OtherEditId = 0x16010054;

class EditBoxUnitTest : public BasicUnitTest {
  protected:
    void create_boxes(EditBoxUnit::Settings settings = {}) {
        create({unit_record(BoxId, EditBoxUnit::TypeCode, settings, 10, 10, 80, 20),
                unit_record(OtherEditId, EditBoxUnit::TypeCode, EditBoxUnit::Settings{}, 10, 40, 80,
                            20)});
        events().clear();
    }
    EditBoxUnit* box() const { return unit<EditBoxUnit>(BoxId); }
};

TEST_F(EditBoxUnitTest, EveryContentWriteFiresOnceWithTheTextInPlaceEvenWhenTheSame) {
    create_boxes();
    std::vector<std::string> seen;
    on_event_hook() = [&](const EventCall& call) {
        seen.push_back(platform::get_window_text(unit_window(call.unit)));
    };
    write_text(BoxId, 8, "40");
    write_text(BoxId, 8, "40");
    write_text(BoxId, 8, nullptr);
    EXPECT_EQ(events_of(BoxId), (std::vector<EventCall>(3, {0, BoxId, {}})));
    EXPECT_EQ(seen, (std::vector<std::string>{"40", "40", ""}));
    EXPECT_EQ(read_text(BoxId, 8), "");
}

TEST_F(EditBoxUnitTest, TypedTextFiresOncePerChange) {
    create_boxes();
    platform::set_focus(unit_window(BoxId));
    events().clear();
    m_backend.type_text("12");
    m_backend.pump();
    EXPECT_EQ(events_of(BoxId), (std::vector<EventCall>(2, {0, BoxId, {}})));
    EXPECT_EQ(read_text(BoxId, 8), "12");
    m_backend.press_key(platform::VK_BACK, '\b');
    m_backend.pump();
    EXPECT_EQ(events_of(BoxId).size(), 3u);
    EXPECT_EQ(read_text(BoxId, 8), "1");
}

TEST_F(EditBoxUnitTest, FocusMovesRaiseTheFocusEvents) {
    create_boxes();
    platform::set_focus(unit_window(BoxId));
    platform::set_focus(unit_window(OtherEditId));
    EXPECT_EQ(events(),
              (std::vector<EventCall>{{-7, BoxId, {}}, {-8, BoxId, {}}, {-7, OtherEditId, {}}}));
}

struct Recreating {
    std::int32_t index;
    std::uint64_t other_value;
    std::uint32_t style_bit;
};

TEST_F(EditBoxUnitTest, RecreatingPropertiesRecreateOnlyWhenTheValueChanges) {
    const Recreating table[] = {
        {13, 0, platform::ES_NOHIDESEL},
        {15, 1, platform::ES_MULTILINE},
        {17, 2, platform::ES_RIGHT},
        {20, 2, platform::ES_UPPERCASE},
        {16, 0, 0},
        {21, 1, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.index);
        create_boxes();
        write_text(BoxId, 8, "kept");
        std::uint64_t current = read(BoxId, row.index);
        platform::HWND before = unit_window(BoxId);
        write(BoxId, row.index, current);
        EXPECT_EQ(unit_window(BoxId), before) << "the same value keeps the window";
        write(BoxId, row.index, row.other_value);
        platform::HWND after = unit_window(BoxId);
        ASSERT_TRUE(after);
        if (row.other_value != current) {
            EXPECT_NE(after, before) << "a new value re-creates the unit";
        }
        if (row.style_bit) {
            EXPECT_TRUE(platform::get_style(after) & row.style_bit);
        }
        // An upper-case box shows its text in capitals.
        EXPECT_EQ(platform::get_window_text(after), row.index == 20 ? "KEPT" : "kept");
        EXPECT_EQ(read(BoxId, row.index), row.other_value);
        TearDown();
        SetUp();
    }
}

TEST_F(EditBoxUnitTest, InputModeAppliesAtOnceWithoutRecreating) {
    create_boxes();
    platform::HWND hwnd = unit_window(BoxId);
    write(BoxId, 18, 1);
    EXPECT_EQ(unit_window(BoxId), hwnd);
    EXPECT_TRUE(platform::get_style(hwnd) & platform::ES_READONLY);
    write(BoxId, 18, 2);
    EXPECT_FALSE(platform::get_style(hwnd) & platform::ES_READONLY);
    EXPECT_EQ(platform::send_message(hwnd, platform::EM_GETPASSWORDCHAR), '*');
    write_text(BoxId, 19, "#x");
    EXPECT_EQ(platform::send_message(hwnd, platform::EM_GETPASSWORDCHAR), '#');
    write(BoxId, 18, 0);
    EXPECT_EQ(platform::send_message(hwnd, platform::EM_GETPASSWORDCHAR), 0);
    write(BoxId, 14, static_cast<std::uint32_t>(-5));
    EXPECT_EQ(read(BoxId, 14), 0u) << "a negative maximum length becomes 0";
}

TEST_F(EditBoxUnitTest, SelectionPropertiesFollowTheControl) {
    create_boxes();
    write_text(BoxId, 8, "hello");
    write(BoxId, 24, 1);
    write(BoxId, 25, 3);
    EXPECT_EQ(read(BoxId, 24), 1u);
    EXPECT_EQ(read(BoxId, 25), 3u);
    EXPECT_EQ(read_text(BoxId, 26), "ell");
    write(BoxId, 25, static_cast<std::uint32_t>(-1));
    EXPECT_EQ(read_text(BoxId, 26), "hello") << "-1 selects the whole text";
    write(BoxId, 24, static_cast<std::uint32_t>(-1));
    EXPECT_EQ(read(BoxId, 24), 5u) << "-1 puts the caret at the end";
    EXPECT_EQ(read(BoxId, 25), 0u);
    events().clear();
    write_text(BoxId, 26, "!");
    EXPECT_EQ(read_text(BoxId, 8), "hello!");
    EXPECT_EQ(events_of(BoxId).size(), 1u) << "a replaced selection is a change like a typed one";
}

TEST_F(EditBoxUnitTest, SpinButtonStepsTheTextWithinItsRange) {
    EditBoxUnit::Settings settings;
    settings.set_word(EditBoxUnit::SpinButton, 1);
    settings.set_word(EditBoxUnit::SpinMinimum, 12);
    settings.set_word(EditBoxUnit::SpinMaximum, 10);
    settings.set_text(EditBoxUnit::Content, "11");
    create_boxes(settings);
    platform::HWND spin = box()->spin();
    ASSERT_TRUE(spin);
    int low = 0, high = 0;
    platform::send_message(spin, platform::UDM_GETRANGE32, reinterpret_cast<platform::WPARAM>(&low),
                           reinterpret_cast<platform::LPARAM>(&high));
    EXPECT_EQ(low, 10) << "the smaller end is the lower";
    EXPECT_EQ(high, 12);
    EXPECT_TRUE(events().empty()) << "creation raises nothing";

    write(BoxId, 23, 20);
    platform::send_message(spin, platform::UDM_GETRANGE32, reinterpret_cast<platform::WPARAM>(&low),
                           reinterpret_cast<platform::LPARAM>(&high));
    EXPECT_EQ(low, 12);
    EXPECT_EQ(high, 20) << "a range write applies at once";

    platform::set_focus(unit_window(BoxId));
    write_text(BoxId, 8, "12");
    events().clear();
    m_backend.press_key(platform::VK_UP);
    m_backend.pump();
    EXPECT_EQ(read_text(BoxId, 8), "13");
    EXPECT_FALSE(events_of(BoxId).empty());
}

} // namespace
