// The button unit: caption, style and picture writes, and its events.

#include "BasicUnitFixture.h"

#include <units/ButtonUnit.h>

#include <platform/controls/Controls.h>
#include <platform/window/WindowSystem.h>

using namespace units_test;
using units::ButtonUnit;

namespace {

constexpr std::uint32_t ButtonId = 0x16010067;
constexpr std::uint32_t OtherId = 0x16010068;

class ButtonUnitTest : public BasicUnitTest {
  protected:
    void create_buttons(ButtonUnit::Settings settings = {}) {
        settings.set_text(ButtonUnit::Caption, "Open");
        create(
            {unit_record(ButtonId, ButtonUnit::TypeCode, settings, 10, 10, 80, 32),
             unit_record(OtherId, ButtonUnit::TypeCode, ButtonUnit::Settings{}, 10, 50, 80, 32)});
    }
};

TEST_F(ButtonUnitTest, CaptionWriteChangesTheShownTextWithoutRecreating) {
    create_buttons();
    platform::HWND before = unit_window(ButtonId);
    ASSERT_TRUE(before);
    EXPECT_EQ(platform::get_window_text(before), "Open");
    write_text(ButtonId, 10, "Close");
    EXPECT_EQ(unit_window(ButtonId), before);
    EXPECT_EQ(platform::get_window_text(before), "Close");
    EXPECT_EQ(read_text(ButtonId, 10), "Close");
}

TEST_F(ButtonUnitTest, ClickRaisesClickedOnceAndFocusRaisesItsEvents) {
    create_buttons();
    m_backend.click(unit_window(ButtonId), {40, 16});
    m_backend.pump();
    auto clicked = events_of(ButtonId);
    ASSERT_FALSE(clicked.empty());
    EXPECT_EQ(std::count(clicked.begin(), clicked.end(), EventCall{0, ButtonId, {}}), 1);
    EXPECT_EQ(clicked.front(), (EventCall{-7, ButtonId, {}})) << "the press takes the focus first";

    events().clear();
    platform::set_focus(unit_window(OtherId));
    EXPECT_EQ(events(), (std::vector<EventCall>{{-8, ButtonId, {}}, {-7, OtherId, {}}}));
}

TEST_F(ButtonUnitTest, StyleFollowsTheDefaultAndAlignmentChoicesInPlace) {
    ButtonUnit::Settings settings;
    settings.set_word(ButtonUnit::DefaultButton, 1);
    settings.set_word(ButtonUnit::HorizontalAlignment, 0);
    create_buttons(settings);
    platform::HWND hwnd = unit_window(ButtonId);
    std::uint32_t style = platform::get_style(hwnd);
    EXPECT_EQ(style & platform::BS_TYPEMASK, platform::BS_DEFPUSHBUTTON);
    EXPECT_EQ(style & platform::BS_CENTER, platform::BS_LEFT);
    EXPECT_EQ(style & platform::BS_VCENTER, platform::BS_VCENTER);
    EXPECT_TRUE(style & platform::BS_MULTILINE);

    write(ButtonId, 11, 2);
    write(ButtonId, 12, 7); // clamped to 2, bottom
    write(ButtonId, 9, 0);
    EXPECT_EQ(unit_window(ButtonId), hwnd);
    style = platform::get_style(hwnd);
    EXPECT_EQ(style & platform::BS_CENTER, platform::BS_RIGHT);
    EXPECT_EQ(style & platform::BS_VCENTER, platform::BS_BOTTOM);
    EXPECT_EQ(style & platform::BS_TYPEMASK, platform::BS_PUSHBUTTON);
    EXPECT_EQ(read(ButtonId, 12), 2u);
}

TEST_F(ButtonUnitTest, PictureWriteRecreatesTheButtonWithItsBitmap) {
    create_buttons();
    platform::HWND before = unit_window(ButtonId);
    write_block(ButtonId, 8, solid_bitmap(2, 2, 0x80, 0x80, 0x80));
    platform::HWND after = unit_window(ButtonId);
    ASSERT_TRUE(after);
    EXPECT_NE(after, before);
    EXPECT_TRUE(platform::get_style(after) & platform::BS_BITMAP);
    EXPECT_EQ(platform::get_window_text(after), "Open") << "settings carried over";

    write_block(ButtonId, 8, {1, 2, 3});
    EXPECT_FALSE(platform::get_style(unit_window(ButtonId)) & platform::BS_BITMAP)
        << "a block that is no bitmap shows no picture";
}

} // namespace
