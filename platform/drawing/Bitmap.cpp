#include "Bitmap.h"

#include <cairo.h>
#include <cstring>

namespace platform {
namespace {

std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

HBITMAP bitmap_from_dib(const std::uint8_t* data, std::size_t size) {
    if (!data)
        return nullptr;
    std::size_t pixel_offset = 0;
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        pixel_offset = u32(data + 10);
        data += 14;
        size -= 14;
        if (pixel_offset < 14)
            return nullptr;
        pixel_offset -= 14;
    }
    if (size < 40)
        return nullptr;
    std::uint32_t header_size = u32(data);
    auto width = static_cast<std::int32_t>(u32(data + 4));
    auto height = static_cast<std::int32_t>(u32(data + 8));
    std::uint16_t bits = u16(data + 14);
    std::uint32_t compression = u32(data + 16);
    if (header_size < 40 || header_size > size || width <= 0 || height == 0 ||
        (bits != 24 && bits != 32) || compression != 0 || width > 16384 || height > 16384 ||
        height < -16384)
        return nullptr;
    bool bottom_up = height > 0;
    int rows = bottom_up ? height : -height;
    std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    if (pixel_offset == 0)
        pixel_offset = header_size;
    if (pixel_offset > size || (size - pixel_offset) / stride < static_cast<std::size_t>(rows))
        return nullptr;
    const std::uint8_t* pixels = data + pixel_offset;

    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, rows);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    unsigned char* out = cairo_image_surface_get_data(s);
    int out_stride = cairo_image_surface_get_stride(s);
    int bytes = bits / 8;
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* src =
            pixels + stride * static_cast<std::size_t>(bottom_up ? rows - 1 - y : y);
        auto* dst =
            reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * out_stride);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = src + x * bytes; // blue, green, red
            dst[x] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void delete_bitmap(HBITMAP bitmap) {
    if (bitmap)
        cairo_surface_destroy(bitmap);
}

HBITMAP create_bitmap(int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

int bitmap_width(HBITMAP bitmap) {
    return bitmap ? cairo_image_surface_get_width(bitmap) : 0;
}

int bitmap_height(HBITMAP bitmap) {
    return bitmap ? cairo_image_surface_get_height(bitmap) : 0;
}

HBITMAP bitmap_part(HBITMAP source, int x, int y, int width, int height) {
    if (!source || width <= 0 || height <= 0 || x < 0 || y < 0 ||
        x > bitmap_width(source) - width || y > bitmap_height(source) - height)
        return nullptr;
    cairo_surface_t* part = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(part) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(part);
        return nullptr;
    }
    cairo_t* cr = cairo_create(part);
    cairo_set_source_surface(cr, source, -x, -y);
    cairo_paint(cr);
    cairo_destroy(cr);
    return part;
}

} // namespace platform
