// Draws bars in their usual states into superbar_gallery.png (in the
// working folder) for a person to look at, and checks the colours where
// the track, the filled part, the thumb and the focus ring stand.

#include "SuperBarFixture.h"

#include <platform/window/Painting.h>

#include <cairo.h>

namespace superbar_test {
namespace {

std::uint32_t pixel(HWND frame, Point p) {
    cairo_surface_t* surface = platform::window_surface(frame);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const std::uint32_t*>(data + p.y * stride + p.x * 4) & 0xFFFFFF;
}

// Cairo's pixels are 0xRRGGBB; the bar's colours are 0x00BBGGRR.
std::uint32_t as_pixel(platform::COLORREF c) {
    return static_cast<std::uint32_t>(platform::get_r(c) << 16 | platform::get_g(c) << 8 |
                                      platform::get_b(c));
}

Point at(SuperBarUnit* bar, Point bar_point) {
    Rect r;
    platform::get_window_placement_rect(bar->hwnd(), r);
    return {r.left + bar_point.x, r.top + bar_point.y};
}

TEST_F(SuperBarTest, GalleryOfBars) {
    SuperBarUnit* servo = make_servo(80, {10, 10, 210, 58});
    SuperBarUnit* focused = make_servo(150, {10, 70, 210, 118});
    SuperBarUnit* disabled = make_servo(40, {10, 130, 210, 178});
    SuperBarUnit::Settings scroll = servo_settings(120);
    scroll.apply_preset(2);
    SuperBarUnit* rectangular = make(scroll, {10, 190, 210, 210});
    SuperBarUnit::Settings plain = servo_settings(60);
    plain.apply_preset(4);
    SuperBarUnit* unfilled = make(plain, {10, 225, 210, 273});
    SuperBarUnit::Settings upright = servo_settings(100);
    upright.set_word(SuperBarUnit::Orientation, 1);
    SuperBarUnit* vertical = make(upright, {240, 10, 288, 260});
    SuperBarUnit* held = make_servo(0, {300, 10, 410, 40});
    ASSERT_TRUE(servo && focused && disabled && rectangular && unfilled && vertical && held);
    platform::enable_window(disabled->hwnd(), false);
    press(held, {100, 15}); // the increase arrow, held down
    platform::set_focus(focused->hwnd());
    m_backend.pump();
    ASSERT_TRUE(platform::save_window_png(m_frame, "superbar_gallery.png"));

    const std::uint32_t accent = as_pixel(platform::rgb(0x00, 0x78, 0xD7));
    const std::uint32_t track = as_pixel(platform::rgb(0xC4, 0xC4, 0xC4));
    const std::uint32_t face = as_pixel(platform::rgb(0xF0, 0xF0, 0xF0));
    // Position 80: the thumb's middle at 20 + 63 + 9 = 92.
    EXPECT_EQ(pixel(m_frame, at(servo, {92, 24})), accent) << "the thumb's dot";
    EXPECT_EQ(pixel(m_frame, at(servo, {92, 18})), 0xFFFFFFu) << "the thumb's face";
    EXPECT_EQ(pixel(m_frame, at(servo, {50, 24})), accent) << "the filled part";
    EXPECT_EQ(pixel(m_frame, at(servo, {150, 24})), track) << "the track after the thumb";
    EXPECT_EQ(pixel(m_frame, at(servo, {150, 6})), face) << "the background";
    EXPECT_EQ(pixel(m_frame, at(unfilled, {40, 24})), track) << "no filled part in preset 4";
    EXPECT_NE(pixel(m_frame, at(disabled, {50, 24})), accent) << "a disabled bar loses its colour";
    // Position 100 of 179 on the vertical bar: the thumb's middle at 20 + 79 + 9.
    EXPECT_EQ(pixel(m_frame, at(vertical, {24, 108})), accent) << "the vertical thumb";

    // The focus ring sits just outside the thumb of the focused bar only:
    // position 150 puts the thumb at 20 + 118.
    auto ring = [&](SuperBarUnit* bar, int thumb_left) {
        return pixel(m_frame, at(bar, {thumb_left - 2, 24}));
    };
    EXPECT_NE(ring(focused, 20 + 118), ring(servo, 20 + 63));
    EXPECT_NE(pixel(m_frame, at(held, {100, 15})), face) << "the pressed arrow lights up";
    release(held, {100, 15});
}

} // namespace
} // namespace superbar_test
