#pragma once

// Bitmaps: 24-bit device-independent bitmaps (bottom-up rows padded to four
// bytes, as picture properties store them) turned into Cairo surfaces.

#include <cstddef>
#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// A bitmap handle is a Cairo image surface.
using HBITMAP = cairo_surface_t*;

// Reads a BITMAPINFOHEADER (40 bytes) and its pixels, or a whole bitmap file
// ("BM" and its 14-byte header first). Supports 24 and 32 bits per pixel,
// bottom-up or top-down. Returns nullptr for anything malformed or cut short.
HBITMAP bitmap_from_dib(const std::uint8_t* data, std::size_t size);
void delete_bitmap(HBITMAP bitmap);
// A new bitmap of the given size, all black, to draw into (bitmap_canvas);
// nullptr when a side is not positive or the memory cannot be had.
HBITMAP create_bitmap(int width, int height);

// A new bitmap holding the given rectangle of `source`; nullptr when the
// rectangle is empty or does not lie wholly inside the source.
HBITMAP bitmap_part(HBITMAP source, int x, int y, int width, int height);
// The size of a bitmap; 0 by 0 for nullptr.
int bitmap_width(HBITMAP bitmap);
int bitmap_height(HBITMAP bitmap);

} // namespace platform
