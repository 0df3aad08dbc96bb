#pragma once

// A line with round ends filled straight into a picture's pixels. Cairo
// traces such a line's outline and sweeps it fifteen times a row, some
// 1 500 instructions a row of a link of the moving arm, which draws two
// dozen of them a frame; here a row costs its two edges and a run of
// stores between them.

#include <platform/Types.h>

#include <cairo.h>

#include <cstdint>
#include <span>

namespace platform::capsule {

// The line from (x0, y0) to (x1, y1) with round ends, `radius` wide each
// side, in the picture's pixels, filled with an opaque colour (0xRRGGBB)
// inside the clip rectangles: the pixels Cairo's fill of the same outline
// gives, to within the tracing of its curves. An edge pixel's coverage is
// the part of it on the inner side of the tangent nearest to its centre,
// exact along the straight sides. Returns false, drawing nothing, when the
// picture is not one whose pixels can be written (pixels::writable).
bool fill(cairo_surface_t* picture, std::span<const Rect> clip, double x0, double y0, double x1,
          double y1, double radius, std::uint32_t rgb);

} // namespace platform::capsule
