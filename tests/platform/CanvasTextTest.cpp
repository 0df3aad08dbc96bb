// Texts laid out once and drawn again: what is drawn must not depend on what
// was drawn before it.

#include <platform/Encoding.h>
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>
#include <platform/drawing/Font.h>
#include <platform/window/Painting.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr int TextWidth = 120;
constexpr int TextHeight = 30;

// The pixels of a white bitmap after `draw`, given a canvas whose origin is
// moved by (dx, dy).
std::vector<std::uint32_t> drawn_pixels(double dx, double dy,
                                        const std::function<void(Canvas&)>& draw) {
    HBITMAP bitmap = create_bitmap(TextWidth, TextHeight);
    {
        cairo_t* cr = cairo_create(bitmap);
        cairo_translate(cr, dx, dy);
        Canvas c(cr, nullptr);
        cairo_destroy(cr);
        c.fill_rect({-200, -200, 200, 200}, rgb(0xFF, 0xFF, 0xFF));
        draw(c);
    }
    cairo_surface_flush(bitmap);
    const auto* data = cairo_image_surface_get_data(bitmap);
    const int stride = cairo_image_surface_get_stride(bitmap);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(TextWidth * TextHeight));
    for (int y = 0; y < TextHeight; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y * TextWidth)], data + y * stride,
                    TextWidth * sizeof(std::uint32_t));
    delete_bitmap(bitmap);
    return pixels;
}

// "Row 12  120" at (3, 3) of the bitmap, wherever the canvas's origin is.
void row_text(Canvas& c, double dx, double dy) {
    Rect r{3 - static_cast<int>(dx), 3 - static_cast<int>(dy), 110, 25};
    c.draw_text("Row 12  120", r, DT_SINGLELINE | DT_NOPREFIX);
}

int text_height(HFONT font, const char* text) {
    HBITMAP bitmap = create_bitmap(4, 4);
    int height = 0;
    {
        std::unique_ptr<Canvas> c = bitmap_canvas(bitmap);
        c->set_font(font);
        Rect r{0, 0, 400, 400};
        height = c->draw_text(text, r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    delete_bitmap(bitmap);
    return height;
}

int ellipsized_width(const char* text, int width) {
    HBITMAP bitmap = create_bitmap(4, 4);
    Rect r{0, 0, width, 40};
    {
        std::unique_ptr<Canvas> c = bitmap_canvas(bitmap);
        c->draw_text(text, r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    delete_bitmap(bitmap);
    return r.width();
}

} // namespace

TEST(CanvasText, ATextIsDrawnAlikeWhateverCanvasDrewTheSameTextBefore) {
    const auto fresh = drawn_pixels(0, 0, [](Canvas& c) { row_text(c, 0, 0); });
    // Once on a canvas moved by a fraction of a pixel, which shapes texts
    // for that position, then again on whole-pixel canvases.
    drawn_pixels(0.5, 0.25, [](Canvas& c) { row_text(c, 0, 0); });
    EXPECT_EQ(drawn_pixels(0, 0, [](Canvas& c) { row_text(c, 0, 0); }), fresh);
    EXPECT_EQ(drawn_pixels(7, 9, [](Canvas& c) { row_text(c, 7, 9); }), fresh)
        << "a window's canvas moved to its origin draws the text where a bitmap's does";
}

TEST(CanvasText, AFontMadeWhereAnotherWasFreedMeasuresItsOwnSize) {
    LogFont big = default_gui_log_font();
    big.height = -40;
    LogFont small = default_gui_log_font();
    small.height = -10;
    HFONT first = create_font_indirect(big);
    const int big_height = text_height(first, "Ab 12");
    delete_font(first);
    // Made at once, the small font is likely to take the big one's place.
    HFONT second = create_font_indirect(small);
    const int small_height = text_height(second, "Ab 12");
    EXPECT_EQ(small_height, measure_text(second, "Ab 12").cy);
    EXPECT_LT(small_height, big_height / 2);
    delete_font(second);
}

TEST(CanvasText, TheSameTextCutToAnotherWidthIsCutAnew) {
    const char* text = "a text far too long for a narrow cell";
    const int wide = ellipsized_width(text, 300);
    const int narrow = ellipsized_width(text, 60);
    EXPECT_LE(narrow, 60);
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(ellipsized_width(text, 300), wide);
}

// A text drawn again comes from a picture of what its glyphs cover; it must
// give the very pixels the first drawing, through Pango, gave. Each case is
// a text no other test draws, so its first drawing here is its first.
TEST(CanvasText, ATextDrawnAgainHasThePixelsOfItsFirstDrawing) {
    LogFont underlined = default_gui_log_font();
    underlined.underline = 1;
    HFONT underline_font = create_font_indirect(underlined);
    struct Case {
        const char* name;
        std::string gbk;
        Rect r;
        UINT format;
        HFONT font;
        COLORREF color;
        BkMode mode;
    };
    const Case cases[] = {
        {"plain",
         "Action 57 again",
         {3, 3, 110, 25},
         DT_SINGLELINE | DT_NOPREFIX,
         nullptr,
         0,
         BkMode::Transparent},
        {"underlined, with a mnemonic",
         "&Open again",
         {3, 3, 110, 25},
         DT_SINGLELINE,
         underline_font,
         rgb(0x20, 0x40, 0xA0),
         BkMode::Transparent},
        {"Chinese",
         utf8_to_gbk("机械臂再画"),
         {3, 3, 110, 25},
         DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER,
         nullptr,
         rgb(0xC0, 0x10, 0x10),
         BkMode::Opaque},
        {"cut by its cell",
         "a cell far too narrow for this",
         {3, 3, 70, 14},
         DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_RIGHT,
         nullptr,
         0,
         BkMode::Transparent},
        {"wrapped",
         "two words again and more",
         {3, 0, 60, 30},
         DT_WORDBREAK | DT_NOPREFIX,
         nullptr,
         rgb(0x10, 0x80, 0x10),
         BkMode::Transparent},
    };
    for (const Case& k : cases) {
        auto draw = [&k](double dx, double dy) {
            return drawn_pixels(dx, dy, [&k, dx, dy](Canvas& c) {
                c.set_font(k.font);
                c.set_text_color(k.color);
                c.set_bk_mode(k.mode);
                c.set_bk_color(rgb(0xB0, 0xD0, 0xF0));
                Rect r = k.r.offset(-static_cast<int>(dx), -static_cast<int>(dy));
                c.draw_text(k.gbk, r, k.format);
            });
        };
        const auto first = draw(0, 0);
        EXPECT_NE(std::count(first.begin(), first.end(), first.front()),
                  static_cast<std::ptrdiff_t>(first.size()))
            << k.name << ": nothing was drawn";
        EXPECT_EQ(draw(0, 0), first) << k.name;
        EXPECT_EQ(draw(0, 0), first) << k.name;
        EXPECT_EQ(draw(7, 9), first) << k.name << ", on a canvas moved to a window's origin";
    }
    delete_font(underline_font);
}
