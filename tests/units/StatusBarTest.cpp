#include <units/StatusBarUnit.h>
#include <units/framework/UnitMethod.h>

#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using units::StatusBarUnit;

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t BarId = 0x16010020;

// The runtime as the bar's methods see it: one window with the bar in it.
StatusBarUnit* g_bar = nullptr;

std::intptr_t fake_host(std::int32_t code, std::intptr_t window, std::intptr_t unit) {
    if (code == runtime::host_service::UnitWindowObjectOrFail && window == WindowId &&
        unit == BarId)
        return reinterpret_cast<std::intptr_t>(static_cast<runtime::UnitObject*>(g_bar));
    return 0;
}

class StatusBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::initialize(&m_backend));
        platform::register_standard_controls();
        units::set_host(fake_host);
        m_top = platform::create_window_ex(0, "STATIC", "top", platform::WS_VISIBLE, 0, 0, 600, 200,
                                           nullptr, 0);
        auto* object =
            StatusBarUnit::Entries::create(nullptr, 0, platform::WS_VISIBLE, m_top, 100, nullptr, 0,
                                           170, 600, 30, WindowId, BarId, 0, 0);
        g_bar = dynamic_cast<StatusBarUnit*>(object);
        ASSERT_TRUE(g_bar);
    }
    void TearDown() override {
        platform::destroy_window(m_top);
        g_bar = nullptr;
        units::set_host(nullptr);
        platform::shutdown();
    }

    // Calls a method of library 4 with the bar as argument 0.
    runtime::TypedValue call(std::size_t entry, std::vector<runtime::TypedValue> more) {
        std::vector<runtime::TypedValue> args(1);
        args[0].set_words(WindowId, BarId);
        args[0].type = StatusBarUnit::TypeCode;
        args.insert(args.end(), more.begin(), more.end());
        runtime::TypedValue result;
        units::status_bar_commands()[entry](&result, static_cast<std::int32_t>(args.size()),
                                            args.data());
        return result;
    }
    static runtime::TypedValue integer(std::int32_t value) {
        return runtime::TypedValue::of(runtime::type_code::Integer,
                                       static_cast<std::uint32_t>(value));
    }
    static runtime::TypedValue text(const char* value) {
        return runtime::TypedValue::of_text(value);
    }

    std::vector<int> parts() {
        int edges[16] = {};
        auto count = platform::send_message(g_bar->hwnd(), platform::SB_GETPARTS, 16,
                                            reinterpret_cast<platform::LPARAM>(edges));
        return {edges, edges + count};
    }
    std::string shown_text(int index) {
        char buffer[256] = {};
        platform::send_message(g_bar->hwnd(), platform::SB_GETTEXTA, index,
                               reinterpret_cast<platform::LPARAM>(buffer));
        return buffer;
    }

    platform::HeadlessBackend m_backend;
    platform::HWND m_top = nullptr;
};

TEST(StatusBarLayout, RightEdgesAddUpUntilAPanelTakesTheRestOfTheBar) {
    using P = StatusBarUnit::Panel;
    struct Case {
        std::vector<std::int32_t> widths;
        std::vector<std::int32_t> edges;
    };
    for (const Case& c :
         {Case{{6200}, {6200}}, Case{{100, 50, 20}, {100, 150, 170}},
          Case{{100, -1, 30, 40}, {100, -1, 0, 0}}, Case{{-1}, {-1}}, Case{{0, 10}, {0, 10}}}) {
        std::vector<P> panels;
        for (std::int32_t w : c.widths) {
            P panel;
            panel.width = w;
            panels.push_back(panel);
        }
        EXPECT_EQ(StatusBarUnit::right_edges(panels), c.edges);
    }
}

TEST_F(StatusBarTest, AddPanelCountsFromZeroAndFillsOmittedArguments) {
    EXPECT_EQ(call(0, {}).low(), 0u);
    EXPECT_EQ(call(0, {text("b"), integer(-9)}).low(), 1u);
    ASSERT_EQ(g_bar->panels().size(), 2u);
    const auto& first = g_bar->panels()[0];
    EXPECT_EQ(first.width, 50);
    EXPECT_EQ(first.text, "");
    EXPECT_EQ(first.tip, "");
    EXPECT_EQ(first.icon, -1);
    EXPECT_EQ(first.style, StatusBarUnit::StyleNormal);
    // A width below -1 is -1: the second panel reaches the right end.
    EXPECT_EQ(g_bar->panels()[1].width, -1);
    EXPECT_EQ(parts(), (std::vector<int>{50, -1}));
    EXPECT_EQ(shown_text(1), "b");
}

TEST_F(StatusBarTest, DocksAlongTheBottomOfItsWindowWhereverItWasPlaced) {
    // Placed across the middle and wider than the window, as a design may.
    auto* object =
        StatusBarUnit::Entries::create(nullptr, 0, platform::WS_VISIBLE, m_top, 101, nullptr, 0, 50,
                                       1000, 20, WindowId, BarId + 1, 0, 0);
    ASSERT_NE(object, nullptr);
    platform::HWND bar = dynamic_cast<StatusBarUnit*>(object)->hwnd();
    platform::Rect client;
    platform::get_client_rect(bar, client);
    platform::Point corner{0, 0};
    platform::map_window_points(bar, m_top, &corner, 1);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(client.width(), 600);
    EXPECT_EQ(corner.y + client.height(), 200);
    EXPECT_GE(client.height(), 18);
    platform::destroy_window(bar);
}

TEST_F(StatusBarTest, AWidthAloneMakesOneNormalPanelOfThatWidth) {
    runtime::TypedValue omitted;
    EXPECT_EQ(call(0, {omitted, integer(6200)}).low(), 0u);
    const auto& panel = g_bar->panels().at(0);
    EXPECT_EQ(panel.width, 6200);
    EXPECT_EQ(panel.icon, -1);
    EXPECT_EQ(panel.tip, "");
    EXPECT_EQ(panel.style, StatusBarUnit::StyleNormal);
    EXPECT_EQ(parts(), std::vector<int>{6200});
}

TEST_F(StatusBarTest, StyleArgumentsMapToTheControlsStyles) {
    call(0, {text("a"), integer(10), text(""), integer(-5), integer(1)});
    call(0, {text("b"), integer(10), text(""), integer(0), integer(2)});
    call(0, {text("c"), integer(10), text(""), integer(0), integer(7)});
    EXPECT_EQ(g_bar->panels()[0].style, StatusBarUnit::StyleNoBorders);
    EXPECT_EQ(g_bar->panels()[0].icon, -1);
    EXPECT_EQ(g_bar->panels()[1].style, StatusBarUnit::StyleRaised);
    EXPECT_EQ(g_bar->panels()[2].style, StatusBarUnit::StyleNormal);
    auto result = platform::send_message(g_bar->hwnd(), platform::SB_GETTEXTLENGTHA, 1, 0);
    EXPECT_EQ(platform::hiword(static_cast<platform::WPARAM>(result)), StatusBarUnit::StyleRaised);
}

TEST_F(StatusBarTest, PanelTextsAndTipsChangeOnlyForPanelsThatExist) {
    call(0, {text("Port"), integer(6200), text("tip")});
    call(1, {integer(0), text("open")});
    EXPECT_EQ(shown_text(0), "open");
    call(1, {integer(1), text("ignored")});
    call(1, {integer(-1), text("ignored")});
    ASSERT_EQ(g_bar->panels().size(), 1u);
    EXPECT_EQ(g_bar->panels()[0].text, "open");
    // A missing text empties the panel.
    call(1, {integer(0)});
    EXPECT_EQ(shown_text(0), "");
    call(2, {integer(0), text("COM3")});
    char tip[64] = {};
    platform::send_message(g_bar->hwnd(), platform::SB_GETTIPTEXTA, platform::make_wparam(0, 64),
                           reinterpret_cast<platform::LPARAM>(tip));
    EXPECT_STREQ(tip, "COM3");
}

TEST_F(StatusBarTest, StoredDataRoundTripsAndAHigherVersionFailsTheLoad) {
    StatusBarUnit::Settings settings;
    settings.set_word(StatusBarUnit::Style, 2);
    settings.set_word(StatusBarUnit::SizeGrip, 1);
    auto bytes = units::write_stored_settings(settings);
    StatusBarUnit::Settings read;
    ASSERT_TRUE(units::read_stored_settings(std::span<const std::uint8_t>(bytes), read));
    EXPECT_EQ(units::write_stored_settings(read), bytes);
    bytes[0] = StatusBarUnit::StoredVersion + 1;
    EXPECT_EQ(StatusBarUnit::Entries::create(bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                                             0, m_top, 101, nullptr, 0, 0, 10, 10, WindowId,
                                             BarId + 1, 0, 0),
              nullptr);
    bytes[0] = StatusBarUnit::StoredVersion;
    bytes.pop_back();
    EXPECT_FALSE(units::read_stored_settings(std::span<const std::uint8_t>(bytes), read));
}

} // namespace
