#include "WindowFixture.h"

#include <runtime/image/TemplateLoader.h>
#include <units/WindowUnit.h>
#include <units/framework/UnitType.h>

#include <platform/window/WindowSystem.h>

using namespace runtime_test;

namespace {

class WindowPlacement : public WindowTest {
  protected:
    // The test window with the window unit's position setting at "centred".
    void centre_the_window() {
        runtime::WindowTemplate window = test_window();
        units::WindowUnit::Settings settings;
        settings.set_text(units::WindowUnit::Title, "Test");
        settings.set_word(units::WindowUnit::Position, 1);
        window.units.front().type_data = units::write_stored_settings(settings);
        m_stream = runtime::write_window_templates({window});
        m_header.template_data = m_stream.data();
        m_header.template_length = static_cast<std::uint32_t>(m_stream.size());
    }
};

TEST_F(WindowPlacement, ACentredWindowStandsInTheMiddleOfTheDisplaysWorkArea) {
    const platform::Rect areas[] = {{0, 0, 1920, 1080}, {100, 40, 900, 640}, {-1280, 0, 0, 1024}};
    for (const auto& area : areas) {
        SCOPED_TRACE(testing::Message() << area.left << "," << area.top << " " << area.width()
                                        << "x" << area.height());
        m_backend.set_work_area(area);
        EXPECT_EQ(platform::get_work_area(), area);
        centre_the_window();
        create();
        platform::HWND hwnd = unit_window(TestWindowUnitId);
        ASSERT_NE(hwnd, nullptr);
        platform::Rect r;
        ASSERT_TRUE(platform::get_window_rect(hwnd, r));
        EXPECT_EQ(r.left - area.left, area.right - r.right);
        EXPECT_EQ(r.top - area.top, area.bottom - r.bottom);
        runtime::AppRuntime::the().destroy_all_windows();
    }
}

} // namespace
