#pragma once

// Drawing straight into a picture's pixels, for the few shapes a moving
// drawing puts down by the score a frame: Cairo sets each drawing up at a
// cost of thousands of instructions before it touches a pixel, more than
// the small shapes themselves cost. Each draws what Cairo would draw, to
// the last bit where Cairo's own arithmetic is followed.

#include <platform/Types.h>

#include <cairo.h>

#include <cstdint>
#include <span>

namespace platform::pixels {

// Whether the picture's pixels can be written here: an image of 32 bits a
// pixel, with or without alpha, its pixels where its origin is.
bool writable(cairo_surface_t* picture);

// An opaque colour (0xRRGGBB) over a pixel through a coverage of 0-255,
// with the same rounding as Cairo's compositing of a colour through a mask.
std::uint32_t over(std::uint32_t pixel, std::uint32_t rgb, std::uint32_t cover);

// Stores one pixel value n times from `to` on, with the C library's
// vector stores (wchar_t is 32 bits here); a plain loop is not vectorised
// at the optimisation level we build with.
void store(std::uint32_t* to, int n, std::uint32_t pixel);

// Fills r with an opaque colour (0xRRGGBB) through a coverage of 0-255
// (all of it: 255), inside the clip.
void fill(cairo_surface_t* picture, std::span<const Rect> clip, const Rect& r, std::uint32_t rgb,
          std::uint32_t cover = 255);

// Copies a picture without alpha with its top left corner at (x, y),
// inside the clip (the picture's pixels).
void copy(cairo_surface_t* picture, std::span<const Rect> clip, cairo_surface_t* source, int x,
          int y);

// An opaque colour through a mask of coverage (8 bits a pixel) whose top
// left corner is at (x, y), inside the clip.
void fill_mask(cairo_surface_t* picture, std::span<const Rect> clip, cairo_surface_t* mask, int x,
               int y, std::uint32_t rgb);

} // namespace platform::pixels
