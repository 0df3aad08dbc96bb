// Pictures and masks put straight into a picture's pixels, read back
// against what Cairo itself draws for the same request.

#include <platform/drawing/Pixels.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using platform::Rect;

namespace {

// A picture whose every pixel differs from its neighbours, so that a pixel
// put one place off shows.
cairo_surface_t* varied(cairo_format_t format, int width, int height, unsigned seed) {
    cairo_surface_t* s = cairo_image_surface_create(format, width, height);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    unsigned v = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * (format == CAIRO_FORMAT_A8 ? 1 : 4); ++x) {
            v = v * 1103515245u + 12345u;
            data[y * stride + x] = static_cast<unsigned char>(v >> 16);
        }
        if (format == CAIRO_FORMAT_ARGB32)
            for (int x = 0; x < width; ++x)
                data[y * stride + 4 * x + 3] = 0xFF;
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// The pixels (their colour; the unused byte of a picture without alpha
// left out).
std::vector<std::uint32_t> pixels_of(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const int width = cairo_image_surface_get_width(s);
    const int height = cairo_image_surface_get_height(s);
    const bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
    std::vector<std::uint32_t> out;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < width; ++x)
            out.push_back(alpha ? row[x] : row[x] & 0xFFFFFF);
    }
    return out;
}

// For pictures of both kinds: the pixels `ours` leaves on a varied
// picture, and those Cairo leaves (`theirs`) on the same picture, clipped to
// the same rectangles.
template <typename Ours, typename Theirs>
void expect_as_cairo_draws(const std::vector<Rect>& clip, Ours ours, Theirs theirs) {
    for (cairo_format_t format : {CAIRO_FORMAT_RGB24, CAIRO_FORMAT_ARGB32}) {
        cairo_surface_t* mine = varied(format, 48, 32, 1);
        cairo_surface_t* cairos = varied(format, 48, 32, 1);
        ASSERT_TRUE(platform::pixels::writable(mine));
        ours(mine, clip);
        cairo_t* cr = cairo_create(cairos);
        for (const Rect& c : clip)
            cairo_rectangle(cr, c.left, c.top, c.width(), c.height());
        cairo_clip(cr);
        theirs(cr);
        cairo_destroy(cr);
        EXPECT_EQ(pixels_of(mine), pixels_of(cairos)) << "format " << format;
        cairo_surface_destroy(mine);
        cairo_surface_destroy(cairos);
    }
}

using Clip = const std::vector<Rect>&;

} // namespace

// A mask like a text's: runs of nothing between glyphs, full cover inside
// their strokes, the edges between.
cairo_surface_t* glyph_like_mask(int width, int height) {
    cairo_surface_t* mask = varied(CAIRO_FORMAT_A8, width, height, 3);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = (x + y / 4) % 11;
            if (band < 5)
                data[y * stride + x] = 0;
            else if (band < 8)
                data[y * stride + x] = 0xFF;
        }
    cairo_surface_mark_dirty(mask);
    return mask;
}

TEST(Pixels, AColourThroughAMaskIsWhatCairoComposites) {
    // Two parts of an update region, one reaching past the picture, the
    // mask reaching past both.
    for (cairo_surface_t* mask : {varied(CAIRO_FORMAT_A8, 37, 23, 7), glyph_like_mask(37, 23)}) {
        expect_as_cairo_draws(
            {{2, 3, 20, 14}, {24, 9, 60, 40}},
            [&](cairo_surface_t* p, Clip clip) {
                platform::pixels::fill_mask(p, clip, mask, 5, 12, 0x3C82E1);
            },
            [&](cairo_t* cr) {
                cairo_set_source_rgb(cr, 0x3C / 255.0, 0x82 / 255.0, 0xE1 / 255.0);
                cairo_mask_surface(cr, mask, 5, 12);
            });
        cairo_surface_destroy(mask);
    }
}

TEST(Pixels, ACopiedPictureIsWhatCairoPaints) {
    cairo_surface_t* source = varied(CAIRO_FORMAT_RGB24, 30, 21, 3);
    expect_as_cairo_draws(
        {{0, 0, 10, 32}, {12, 4, 48, 20}},
        [&](cairo_surface_t* p, Clip clip) { platform::pixels::copy(p, clip, source, -4, 15); },
        [&](cairo_t* cr) {
            cairo_set_source_surface(cr, source, -4, 15);
            cairo_paint(cr);
        });
    cairo_surface_destroy(source);
}

TEST(Pixels, AFilledRectangleIsWhatCairoFills) {
    expect_as_cairo_draws(
        {{1, 1, 30, 9}, {3, 12, 47, 31}},
        [](cairo_surface_t* p, Clip clip) {
            platform::pixels::fill(p, clip, {-3, 5, 40, 50}, 0x102030);
        },
        [](cairo_t* cr) {
            cairo_set_source_rgb(cr, 0x10 / 255.0, 0x20 / 255.0, 0x30 / 255.0);
            cairo_rectangle(cr, -3, 5, 43, 45);
            cairo_fill(cr);
        });
}

TEST(Pixels, OnlyPicturesOfThirtyTwoBitsAtTheirOriginAreWritten) {
    cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, 8, 8);
    cairo_surface_t* moved = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    cairo_surface_set_device_offset(moved, 2, 0);
    EXPECT_FALSE(platform::pixels::writable(a8));
    EXPECT_FALSE(platform::pixels::writable(moved));
    cairo_surface_destroy(a8);
    cairo_surface_destroy(moved);
}
