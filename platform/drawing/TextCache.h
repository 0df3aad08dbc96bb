#pragma once

// The texts a thread draws, kept laid out and, once drawn twice, as a
// picture of their coverage. A window repaints mostly what it showed before
// (a playback step repaints two grid rows of unchanged numbers): shaping the
// same text again was a fifth of such a paint, and putting its glyphs
// through Pango's renderer most of the rest.

#include <platform/Types.h>

#include <cstdint>
#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;

namespace platform {

// A new layout of a GBK text in `font`; '&' marks the mnemonic to underline
// unless `format` has DT_NOPREFIX.
PangoLayout* make_layout(PangoContext* context, HFONT font, std::string_view gbk, UINT format);

// Where `cr`'s origin lies in its target's pixels; false when it is moved
// by part of a pixel, scaled or turned.
bool whole_pixel_origin(cairo_t* cr, int& x, int& y);

// Whether `cr` draws onto an image surface with the plain operator, moved
// by whole pixels and not scaled: there a picture of a shape's coverage,
// made once, lands on the pixels the shape itself would.
bool draws_whole_pixels(cairo_t* cr);

namespace text_cache {

struct Text;

// The kept text for these arguments, laid out now if it is not kept; its
// layout is set up for the canvas's transformation and the surface's font
// options. Valid until the next call on this thread.
Text& find(cairo_t* cr, HFONT font, std::string_view gbk, UINT format, int width);
PangoLayout* layout_of(Text& text);

// Where a text's picture may go straight into the pixels (pixels.h): the
// canvas's clip there, its origin there and the text's colour, 0xRRGGBB.
struct Direct {
    const std::vector<Rect>* clip = nullptr;
    int ox = 0;
    int oy = 0;
    std::uint32_t rgb = 0;
};

// Draws the text with its top left corner at (x, y) in the source `cr`
// has, inside `clip` if one is given: from its picture when the text has
// been drawn before, where that gives the same pixels (an image surface
// moved by whole pixels, the glyphs in shades of grey), else through Pango.
// The picture goes straight into the pixels when `direct` has a clip.
void show(cairo_t* cr, Text& text, int x, int y, const Rect* clip, const Direct& direct = {});

} // namespace text_cache

} // namespace platform
