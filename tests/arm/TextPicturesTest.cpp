// Pictures of texts: each shows what drawing the text in place shows, is
// drawn once, and the least recently used go past the limit.

#include "tools/arm/TextPictures.h"

#include <platform/window/Painting.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <vector>

namespace arm {
namespace {

using platform::Rect;

constexpr platform::COLORREF k_ink = platform::rgb(0x20, 0x30, 0x40);
constexpr platform::COLORREF k_paper = platform::rgb(0xF6, 0xF8, 0xFA);

std::vector<unsigned char> pixels(platform::HBITMAP b) {
    cairo_surface_flush(b);
    const unsigned char* data = cairo_image_surface_get_data(b);
    return {data, data + cairo_image_surface_get_stride(b) * cairo_image_surface_get_height(b)};
}

// The text drawn in place, or through `pictures`, into r of a 200 by 40
// bitmap that is paper-coloured all over.
std::vector<unsigned char> drawn(const std::string& gbk, Rect r, platform::UINT format,
                                 TextPictures* pictures) {
    platform::HBITMAP b = platform::create_bitmap(200, 40);
    {
        std::unique_ptr<platform::Canvas> c = platform::bitmap_canvas(b);
        c->fill_rect({0, 0, 200, 40}, k_paper);
        if (pictures) {
            pictures->draw(*c, gbk, r, format, k_ink, k_paper);
        } else {
            c->set_bk_mode(platform::BkMode::Transparent);
            c->set_text_color(k_ink);
            c->draw_text(gbk, r, format);
        }
    }
    std::vector<unsigned char> out = pixels(b);
    platform::delete_bitmap(b);
    return out;
}

TEST(TextPictures, APictureShowsWhatDrawingInPlaceShows) {
    struct Case {
        const char* text;
        Rect r;
        platform::UINT format;
    };
    const Case cases[] = {
        {"156\xA1\xE3",
         {20, 4, 180, 32},
         platform::DT_RIGHT | platform::DT_VCENTER | platform::DT_SINGLELINE},
        {"+1440 ms", {3, 7, 90, 25}, platform::DT_LEFT | platform::DT_SINGLELINE},
        {"a text far too long for its little box",
         {10, 10, 80, 28},
         platform::DT_LEFT | platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS},
    };
    for (const Case& c : cases) {
        TextPictures pictures;
        std::vector<unsigned char> direct = drawn(c.text, c.r, c.format, nullptr);
        EXPECT_EQ(drawn(c.text, c.r, c.format, &pictures), direct) << c.text;
        EXPECT_EQ(drawn(c.text, c.r, c.format, &pictures), direct) << c.text << ", again";
        EXPECT_EQ(pictures.drawn(), 1u) << c.text;
    }
}

TEST(TextPictures, EachTextSizeAndColourIsDrawnOnceAndTheOldestGoFirst) {
    TextPictures pictures(3);
    platform::HBITMAP b = platform::create_bitmap(100, 20);
    std::unique_ptr<platform::Canvas> c = platform::bitmap_canvas(b);
    auto show = [&](const char* text, Rect r = {0, 0, 60, 20}, platform::COLORREF ink = k_ink) {
        pictures.draw(*c, text, r, platform::DT_LEFT, ink, k_paper);
    };
    show("1");
    show("1");
    EXPECT_EQ(pictures.drawn(), 1u);
    show("1", {0, 0, 61, 20});
    show("1", {0, 0, 60, 20}, k_paper);
    EXPECT_EQ(pictures.drawn(), 3u);
    EXPECT_EQ(pictures.size(), 3u);
    show("1"); // now the most recently used
    show("2");
    EXPECT_EQ(pictures.size(), 3u);
    show("1");
    EXPECT_EQ(pictures.drawn(), 4u) << "the last used stays";
    show("1", {0, 0, 61, 20});
    EXPECT_EQ(pictures.drawn(), 5u) << "the least recently used went";
    c.reset();
    platform::delete_bitmap(b);
}

// The first and last columns of r that hold ink (anything darker than the
// paper), and whether all around r is still black.
std::pair<int, int> inked_columns(platform::HBITMAP b, const Rect& r, bool& black_around) {
    cairo_surface_flush(b);
    const unsigned char* data = cairo_image_surface_get_data(b);
    int stride = cairo_image_surface_get_stride(b);
    black_around = true;
    for (int y = 0; y < cairo_image_surface_get_height(b); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(b); ++x)
            if (!r.contains({x, y}))
                black_around = black_around && (data[y * stride + x * 4 + 1] == 0);
    int first = -1, last = -1;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (data[y * stride + x * 4 + 1] < 0xC0) {
                first = first < 0 ? x : first;
                last = x;
            }
    return {first, last};
}

TEST(TextPictures, CharactersStandRightAlignedAndAreDrawnOnceEach) {
    TextPictures pictures;
    platform::HBITMAP b = platform::create_bitmap(200, 40);
    std::unique_ptr<platform::Canvas> c = platform::bitmap_canvas(b);
    c->fill_rect({0, 0, 200, 40}, platform::rgb(0, 0, 0));
    Rect r{100, 5, 180, 35};
    pictures.draw_characters(*c, "156\xA1\xE3", r, k_ink, k_paper);
    EXPECT_EQ(pictures.drawn(), 4u);
    bool black_around = false;
    auto [first, last] = inked_columns(b, r, black_around);
    EXPECT_TRUE(black_around) << "nothing was drawn outside r";
    EXPECT_GT(first, r.left) << "the paper filled r";
    EXPECT_LT(first, r.right - 20) << "three digits and a degree sign are wide";
    EXPECT_GE(last, r.right - 12);
    EXPECT_LT(last, r.right);
    // Another angle from the same characters draws nothing new.
    pictures.draw_characters(*c, "615\xA1\xE3", r, k_ink, k_paper);
    pictures.draw_characters(*c, "5\xA1\xE3", r, k_ink, k_paper);
    EXPECT_EQ(pictures.drawn(), 4u);
    std::vector<unsigned char> shorter = pixels(b);
    // Nothing of the longer number is left: left of the one digit is paper.
    c->fill_rect({0, 0, 200, 40}, platform::rgb(0, 0, 0));
    c->fill_rect(r, k_paper);
    pictures.draw_characters(*c, "5\xA1\xE3", r, k_ink, k_paper);
    EXPECT_EQ(pixels(b), shorter);
    c.reset();
    platform::delete_bitmap(b);
}

} // namespace
} // namespace arm
