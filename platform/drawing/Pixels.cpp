#include "Pixels.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace platform::pixels {

namespace {

// a × b / 255 for each of the four channels, rounded as Cairo's pixel
// library rounds it.
std::uint32_t times(std::uint32_t pixel, std::uint32_t b) {
    std::uint32_t rb = (pixel & 0xFF00FF) * b + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((pixel >> 8) & 0xFF00FF) * b + 0x800080;
    ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
    return rb | ag;
}

Rect bounds_of(cairo_surface_t* picture) {
    return {0, 0, cairo_image_surface_get_width(picture), cairo_image_surface_get_height(picture)};
}

// The rows of a picture's pixels.
struct Rows {
    explicit Rows(cairo_surface_t* picture)
        : data(cairo_image_surface_get_data(picture)),
          stride(cairo_image_surface_get_stride(picture)) {}
    unsigned char* data;
    int stride;
    template <typename Pixel = std::uint32_t> Pixel* operator[](int y) const {
        return reinterpret_cast<Pixel*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    }
};

// Calls paint(part) for each part of the clip inside `area` of the
// picture, and tells Cairo the part changed.
template <typename Paint>
void in_clip(cairo_surface_t* picture, std::span<const Rect> clip, const Rect& area, Paint paint) {
    cairo_surface_flush(picture);
    const Rect bounds = area.intersect(bounds_of(picture));
    for (const Rect& c : clip) {
        const Rect part = c.intersect(bounds);
        if (part.is_empty())
            continue;
        paint(part);
        cairo_surface_mark_dirty_rectangle(picture, part.left, part.top, part.width(),
                                           part.height());
    }
}

} // namespace

bool writable(cairo_surface_t* picture) {
    if (cairo_surface_get_type(picture) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    const cairo_format_t format = cairo_image_surface_get_format(picture);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32)
        return false;
    double x = 0;
    double y = 0;
    cairo_surface_get_device_offset(picture, &x, &y);
    return x == 0 && y == 0;
}

std::uint32_t over(std::uint32_t pixel, std::uint32_t rgb, std::uint32_t cover) {
    if (cover >= 255)
        return 0xFF000000u | rgb;
    // The colour through the mask, then over the pixel by what it leaves.
    return times(0xFF000000u | rgb, cover) + times(pixel, 255 - cover);
}

void store(std::uint32_t* to, int n, std::uint32_t pixel) {
    static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
    if (n > 0)
        std::wmemset(reinterpret_cast<wchar_t*>(to), static_cast<wchar_t>(pixel),
                     static_cast<std::size_t>(n));
}

void fill(cairo_surface_t* picture, std::span<const Rect> clip, const Rect& r, std::uint32_t rgb,
          std::uint32_t cover) {
    const Rows rows(picture);
    in_clip(picture, clip, r, [&](const Rect& part) {
        for (int row = part.top; row < part.bottom; ++row) {
            std::uint32_t* to = rows[row] + part.left;
            if (cover >= 255)
                store(to, part.width(), 0xFF000000u | rgb);
            else
                std::transform(to, to + part.width(), to,
                               [&](std::uint32_t p) { return over(p, rgb, cover); });
        }
    });
}

void copy(cairo_surface_t* picture, std::span<const Rect> clip, cairo_surface_t* source, int x,
          int y) {
    cairo_surface_flush(source);
    const Rect placed = bounds_of(source).offset(x, y);
    const bool alpha = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_ARGB32;
    const Rows from_rows(source);
    const Rows to_rows(picture);
    in_clip(picture, clip, placed, [&](const Rect& part) {
        for (int row = part.top; row < part.bottom; ++row) {
            const std::uint32_t* from = from_rows[row - placed.top] + (part.left - placed.left);
            std::uint32_t* to = to_rows[row] + part.left;
            // The unused byte of a pixel without alpha is, in one with
            // alpha, its alpha: opaque.
            if (alpha)
                std::transform(from, from + part.width(), to,
                               [](std::uint32_t p) { return p | 0xFF000000u; });
            else
                std::copy(from, from + part.width(), to);
        }
    });
}

namespace {

#ifdef __SSE2__
// times() for eight channels of 16 bits at once.
__m128i times_8(__m128i channels, __m128i b) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(channels, b), _mm_set1_epi16(0x80));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// over() for four pixels, their four covers in the bytes of `covers`.
void over_four(std::uint32_t* pixels, std::uint32_t covers, __m128i colour) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i all = _mm_set1_epi16(0xFF);
    // Each cover for the four channels of its pixel.
    __m128i m = _mm_cvtsi32_si128(static_cast<int>(covers));
    m = _mm_unpacklo_epi8(m, m);
    m = _mm_unpacklo_epi16(m, m);
    const __m128i m_low = _mm_unpacklo_epi8(m, zero);
    const __m128i m_high = _mm_unpackhi_epi8(m, zero);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i low = _mm_add_epi16(
        times_8(colour, m_low), times_8(_mm_unpacklo_epi8(d, zero), _mm_xor_si128(m_low, all)));
    const __m128i high = _mm_add_epi16(
        times_8(colour, m_high), times_8(_mm_unpackhi_epi8(d, zero), _mm_xor_si128(m_high, all)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}
#endif

// One row of fill_mask: over() for each pixel, four at a time where the
// processor can. A cover of 0 leaves the pixel as it is and one of 255 puts
// the colour, by the same arithmetic.
void over_row(std::uint32_t* to, const unsigned char* cover, int n, std::uint32_t rgb) {
    int i = 0;
#ifdef __SSE2__
    const __m128i colour =
        _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(0xFF000000u | rgb)), _mm_setzero_si128());
    for (; i + 4 <= n; i += 4) {
        std::uint32_t covers;
        std::memcpy(&covers, cover + i, sizeof covers);
        if (covers != 0) // between glyphs: nothing
            over_four(to + i, covers, colour);
    }
#endif
    for (; i < n; ++i)
        if (cover[i])
            to[i] = over(to[i], rgb, cover[i]);
}

} // namespace

void fill_mask(cairo_surface_t* picture, std::span<const Rect> clip, cairo_surface_t* mask, int x,
               int y, std::uint32_t rgb) {
    cairo_surface_flush(mask);
    const Rect placed = bounds_of(mask).offset(x, y);
    const Rows covers(mask);
    const Rows to_rows(picture);
    in_clip(picture, clip, placed, [&](const Rect& part) {
        for (int row = part.top; row < part.bottom; ++row)
            over_row(to_rows[row] + part.left,
                     covers.operator[]<unsigned char>(row - placed.top) + (part.left - placed.left),
                     part.width(), rgb);
    });
}

} // namespace platform::pixels
