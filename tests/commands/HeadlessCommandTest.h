#pragma once

// The fixture of command tests that need windows: a headless display on
// stepped time, the standard controls, and every seam the commands offer put
// back afterwards.

#include "CommandTestSupport.h"

#include <commands/InterfaceStyle.h>
#include <commands/LibraryHost.h>
#include <commands/MessageCommands.h>
#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cairo.h>

namespace commands_test {

class HeadlessCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::initialize(&m_backend));
        platform::register_standard_controls();
        platform::WindowClass top_class;
        top_class.name = TopClass;
        top_class.proc = platform::def_window_proc;
        top_class.background = platform::rgb(240, 240, 240);
        platform::register_class(top_class);
    }
    void TearDown() override {
        TypedValue off = TypedValue::of_integer(0);
        call(commands::SetInterfaceStyle, {off});
        commands::set_host_notify(nullptr);
        commands::set_message_box_function(nullptr);
        platform::shutdown();
        platform::unregister_class(TopClass);
    }

    platform::HWND make_top(const char* title = "top", platform::Rect r = {100, 100, 460, 340}) {
        return platform::create_window_ex(0, TopClass, title,
                                          platform::WS_OVERLAPPEDWINDOW | platform::WS_VISIBLE,
                                          r.left, r.top, r.width(), r.height(), nullptr, 0);
    }

    // The colour (0x00RRGGBB) of a pixel of a window, in its client coordinates.
    std::uint32_t pixel(platform::HWND hwnd, int x, int y) {
        platform::HWND top = platform::get_ancestor_root(hwnd);
        platform::Point p{x, y};
        platform::map_window_points(hwnd, top, &p, 1);
        cairo_surface_t* surface = platform::window_surface(top);
        if (!surface)
            return 0xFFFFFFFFu;
        cairo_surface_flush(surface);
        auto* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        std::uint32_t value;
        std::memcpy(&value, data + p.y * stride + p.x * 4, 4);
        return value & 0xFFFFFFu;
    }

    static constexpr std::uint32_t rgb_value(int r, int g, int b) {
        return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
    }

    static constexpr const char* TopClass = "CommandTestTop";
    platform::HeadlessBackend m_backend{platform::HeadlessTime::Stepped};
};

} // namespace commands_test
