#include "HeadlessCommandTest.h"

#include <commands/InterfaceStylePainter.h>

#include <string>

using namespace test_support;
using commands::ControlKind;
using platform::HWND;

namespace {

constexpr std::uint32_t Child = platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_TABSTOP;

struct Control {
    const char* what;
    const char* class_name;
    const char* text;
    std::uint32_t style;
    std::uint32_t ex_style;
    std::optional<ControlKind> kind;
    HWND hwnd = nullptr;
    platform::WNDPROC original = nullptr;
};

class InterfaceStyle : public HeadlessCommandTest {
  protected:
    void SetUp() override {
        HeadlessCommandTest::SetUp();
        m_top = make_top("style", {50, 50, 50 + 560, 50 + 300});
        // Two columns of eight, clear of the status bar along the bottom.
        for (auto& c : m_controls) {
            int i = static_cast<int>(&c - m_controls);
            c.hwnd = platform::create_window_ex(c.ex_style, c.class_name, c.text, c.style,
                                                10 + (i / 8) * 200, 10 + (i % 8) * 28, 120, 24,
                                                m_top, 100 + static_cast<std::uintptr_t>(i));
            ASSERT_NE(c.hwnd, nullptr) << c.what;
            c.original = platform::get_window_proc(c.hwnd);
        }
        m_backend.pump();
    }

    std::int32_t set_style(std::int32_t scheme) {
        TypedValue result = call(commands::SetInterfaceStyle, {TypedValue::of_integer(scheme)});
        EXPECT_EQ(result.type, runtime::type_code::Integer);
        return static_cast<std::int32_t>(result.low());
    }

    HWND m_top = nullptr;
    Control m_controls[15] = {
        {"push button", "BUTTON", "OK", Child | platform::BS_PUSHBUTTON, 0,
         ControlKind::PushButton},
        {"default push button", "BUTTON", "Run", Child | platform::BS_DEFPUSHBUTTON, 0,
         ControlKind::PushButton},
        {"check box", "BUTTON", "Check", Child | platform::BS_AUTOCHECKBOX, 0,
         ControlKind::CheckBox},
        {"push-like check box", "BUTTON", "Toggle",
         Child | platform::BS_AUTOCHECKBOX | platform::BS_PUSHLIKE, 0, ControlKind::PushButton},
        {"radio button", "BUTTON", "Radio", Child | platform::BS_AUTORADIOBUTTON, 0,
         ControlKind::RadioButton},
        {"group box", "BUTTON", "Group",
         platform::WS_CHILD | platform::WS_VISIBLE | platform::BS_GROUPBOX, 0,
         ControlKind::GroupBox},
        {"bitmap button", "BUTTON", "", Child | platform::BS_BITMAP, 0, std::nullopt},
        {"owner-drawn button", "BUTTON", "Own", Child | platform::BS_OWNERDRAW, 0, std::nullopt},
        {"textless child plus tab stop", "BUTTON", "", platform::WS_CHILD | platform::WS_TABSTOP, 0,
         std::nullopt},
        {"edit box", "EDIT", "10", Child, platform::WS_EX_CLIENTEDGE, ControlKind::EditBox},
        {"combo box", "COMBOBOX", "", Child | platform::CBS_DROPDOWNLIST, 0, ControlKind::ComboBox},
        {"simple combo box", "COMBOBOX", "", Child | platform::CBS_SIMPLE, 0, std::nullopt},
        {"up-down control", "msctls_updown32", "", Child, 0, ControlKind::UpDown},
        {"static text", "STATIC", "label", platform::WS_CHILD | platform::WS_VISIBLE, 0,
         std::nullopt},
        {"status bar", "msctls_statusbar32", "", platform::WS_CHILD | platform::WS_VISIBLE, 0,
         std::nullopt},
    };
};

TEST_F(InterfaceStyle, KindsTable) {
    for (const auto& c : m_controls)
        EXPECT_EQ(commands::restyled_kind(c.hwnd), c.kind) << c.what;
    EXPECT_EQ(commands::restyled_kind(m_top), std::nullopt);
}

TEST_F(InterfaceStyle, SwitchedOnTwiceRestylesEachControlOnce) {
    EXPECT_EQ(set_style(3), 1);
    const std::size_t restyled = commands::restyled_window_count();
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : m_controls) {
            auto info = commands::restyled_window_info(c.hwnd);
            if (!c.kind) {
                EXPECT_FALSE(info) << c.what;
                EXPECT_EQ(platform::get_window_proc(c.hwnd), c.original) << c.what;
                continue;
            }
            ASSERT_TRUE(info) << c.what;
            EXPECT_EQ(info->kind, *c.kind) << c.what;
            EXPECT_EQ(info->previous_proc, c.original)
                << c.what << ": the previous procedure is the control's own";
            EXPECT_NE(platform::get_window_proc(c.hwnd), c.original) << c.what;
        }
        EXPECT_EQ(set_style(3), 1);
        EXPECT_EQ(commands::restyled_window_count(), restyled) << "round " << round;
    }
    EXPECT_EQ(commands::current_interface_scheme(), 3);
}

TEST_F(InterfaceStyle, SwitchingOffGivesEveryControlItsProcedureBack) {
    EXPECT_EQ(set_style(0), 0) << "never switched on";
    EXPECT_EQ(set_style(3), 1);
    EXPECT_EQ(set_style(0), 1);
    for (const auto& c : m_controls) {
        EXPECT_EQ(platform::get_window_proc(c.hwnd), c.original) << c.what;
        EXPECT_FALSE(commands::restyled_window_info(c.hwnd)) << c.what;
    }
    EXPECT_EQ(commands::restyled_window_count(), 0u);
    EXPECT_EQ(set_style(0), 0) << "already off";
    HWND later =
        platform::create_window_ex(0, "BUTTON", "Later", Child, 300, 10, 90, 24, m_top, 300);
    EXPECT_FALSE(commands::restyled_window_info(later)) << "the hook is gone";
}

TEST_F(InterfaceStyle, WindowsCreatedLaterAreRestyledAtCreation) {
    ASSERT_EQ(set_style(1), 1);
    const std::size_t before = commands::restyled_window_count();
    HWND button =
        platform::create_window_ex(0, "BUTTON", "Later", Child, 300, 10, 90, 24, m_top, 300);
    HWND edit = platform::create_window_ex(platform::WS_EX_CLIENTEDGE, "EDIT", "", Child, 300, 40,
                                           90, 24, m_top, 301);
    HWND label = platform::create_window_ex(0, "STATIC", "x", Child, 300, 70, 90, 24, m_top, 302);
    auto info = commands::restyled_window_info(button);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->kind, ControlKind::PushButton);
    EXPECT_EQ(info->previous_proc, m_controls[0].original) << "the button's own procedure";
    ASSERT_TRUE(commands::restyled_window_info(edit));
    EXPECT_FALSE(commands::restyled_window_info(label));
    EXPECT_EQ(commands::restyled_window_count(), before + 2);

    platform::destroy_window(button);
    EXPECT_EQ(commands::restyled_window_count(), before + 1)
        << "a destroyed window's entry is released";
}

TEST_F(InterfaceStyle, RestyledControlsStillWork) {
    ASSERT_EQ(set_style(3), 1);
    HWND check = m_controls[2].hwnd;
    m_backend.click(check, {5, 5});
    m_backend.pump();
    EXPECT_EQ(platform::send_message(check, platform::BM_GETCHECK),
              static_cast<platform::LRESULT>(platform::BST_CHECKED));
    HWND edit = m_controls[9].hwnd;
    platform::set_window_text(edit, "42");
    EXPECT_EQ(platform::get_window_text(edit), "42");
}

// The drawn pixels of each scheme: the button border, its cut corners, the
// disabled colours, the group box frame and the edit box border.
TEST_F(InterfaceStyle, SchemeColoursAreDrawn) {
    HWND button = m_controls[0].hwnd;
    HWND group = m_controls[5].hwnd;
    HWND edit = m_controls[9].hwnd;
    struct Scheme {
        int number;
        std::uint32_t button_border;
        std::uint32_t edit_border;
    } schemes[] = {
        {1, rgb_value(0, 60, 115), rgb_value(123, 158, 189)},
        {2, rgb_value(55, 98, 6), rgb_value(164, 185, 127)},
        {3, rgb_value(0, 60, 116), rgb_value(198, 197, 215)},
    };
    platform::Rect r;
    platform::get_client_rect(button, r);
    platform::Rect edit_rect;
    platform::get_window_placement_rect(edit, edit_rect);
    for (const auto& s : schemes) {
        ASSERT_EQ(set_style(s.number), 1);
        m_backend.pump();
        EXPECT_EQ(pixel(button, 0, r.height() / 2), rgb_value(240, 240, 240))
            << "outer frame, scheme " << s.number;
        EXPECT_EQ(pixel(button, 1, r.height() / 2), s.button_border)
            << "border, scheme " << s.number;
        EXPECT_EQ(pixel(button, r.width() - 2, r.height() / 2), s.button_border);
        EXPECT_EQ(pixel(button, 1, 1), rgb_value(240, 240, 240)) << "cut corner";
        EXPECT_EQ(pixel(button, 2, 2), s.button_border) << "bevelled corner";
        EXPECT_EQ(pixel(group, 0, 20), rgb_value(191, 184, 191))
            << "group frame, scheme " << s.number;
        EXPECT_EQ(pixel(m_top, edit_rect.left, edit_rect.top + 10), s.edit_border)
            << "edit, scheme " << s.number;
        EXPECT_EQ(pixel(m_top, edit_rect.left + 1, edit_rect.top + 10), rgb_value(255, 255, 255))
            << "inner frame";
    }
    platform::enable_window(button, false);
    platform::enable_window(edit, false);
    m_backend.pump();
    EXPECT_EQ(pixel(button, 1, r.height() / 2), rgb_value(208, 208, 208))
        << "disabled: face darkened by 32";
    EXPECT_EQ(pixel(button, r.width() / 2, 3), rgb_value(245, 244, 234)) << "disabled face";
    EXPECT_EQ(pixel(button, 1, 1), rgb_value(219, 219, 219))
        << "disabled corner: face darkened by 21";
    EXPECT_EQ(pixel(m_top, edit_rect.left, edit_rect.top + 10), rgb_value(208, 208, 208));
    EXPECT_EQ(pixel(m_top, edit_rect.left + 1, edit_rect.top + 10), rgb_value(240, 240, 240))
        << "disabled inner";
}

// Not a check: pictures of each scheme to look at, in the build folder.
TEST_F(InterfaceStyle, PicturesOfEachScheme) {
    HWND top = make_top("schemes", {0, 0, 420, 200});
    const std::string gbk_caption = gbk("打开串口");
    struct Spec {
        const char* text;
        std::uint32_t style;
        platform::Rect r;
    } specs[] = {
        {"Normal", Child | platform::BS_PUSHBUTTON, {10, 10, 100, 36}},
        {"Default", Child | platform::BS_DEFPUSHBUTTON, {110, 10, 200, 36}},
        {"Disabled", Child | platform::BS_PUSHBUTTON | platform::WS_DISABLED, {210, 10, 300, 36}},
        {"Pressed", Child | platform::BS_PUSHBUTTON, {310, 10, 400, 36}},
        {"Focused", Child | platform::BS_PUSHBUTTON, {10, 46, 100, 72}},
        {gbk_caption.c_str(), Child | platform::BS_PUSHBUTTON, {110, 46, 200, 72}},
    };
    std::vector<HWND> buttons;
    for (const auto& s : specs)
        buttons.push_back(platform::create_window_ex(0, "BUTTON", s.text, s.style, s.r.left,
                                                     s.r.top, s.r.width(), s.r.height(), top, 0));
    std::string group_caption = gbk("舵机");
    platform::create_window_ex(0, "BUTTON", group_caption,
                               platform::WS_CHILD | platform::WS_VISIBLE | platform::BS_GROUPBOX,
                               210, 46, 190, 120, top, 0);
    platform::create_window_ex(platform::WS_EX_CLIENTEDGE, "EDIT", "90", Child, 220, 70, 80, 22,
                               top, 0);
    platform::create_window_ex(platform::WS_EX_CLIENTEDGE, "EDIT", "120",
                               Child | platform::WS_DISABLED, 220, 100, 80, 22, top, 0);
    platform::create_window_ex(platform::WS_EX_CLIENTEDGE, "EDIT", "ro",
                               Child | platform::ES_READONLY, 310, 70, 80, 22, top, 0);
    for (int scheme = 1; scheme <= 3; ++scheme) {
        ASSERT_EQ(set_style(scheme), 1);
        platform::send_message(buttons[3], platform::BM_SETSTATE, 1);
        platform::set_focus(buttons[4]);
        m_backend.pump();
        std::string file = std::string(ARMCTL_TEST_OUTPUT_DIR) + "/interface_style_scheme" +
                           std::to_string(scheme) + ".png";
        EXPECT_TRUE(platform::save_window_png(top, file.c_str())) << file;
    }
}

} // namespace
