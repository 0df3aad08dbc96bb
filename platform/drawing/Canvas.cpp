#include "Canvas.h"

#include "Capsule.h"
#include "Font.h"
#include "Pixels.h"
#include "TextCache.h"
#include <platform/Encoding.h>

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <pango/pangocairo.h>
#include <utility>
#include <vector>

namespace platform {

PangoContext* text_context() {
    // Pango font maps are per thread, so is this context.
    thread_local PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        PangoContext* c = pango_font_map_create_context(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(c, options);
        pango_cairo_context_set_resolution(c, 96.0);
        cairo_font_options_destroy(options);
        return c;
    }();
    return context;
}

void set_source_color(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, get_r(c) / 255.0, get_g(c) / 255.0, get_b(c) / 255.0);
}

namespace {

// A colour as the picture's pixels hold it, 0xRRGGBB.
std::uint32_t rgb_of(COLORREF c) {
    return (static_cast<std::uint32_t>(get_r(c)) << 16) |
           (static_cast<std::uint32_t>(get_g(c)) << 8) | static_cast<std::uint32_t>(get_b(c));
}

// How far, in pixels, the curves of moving shapes may stray from true
// circles: a quarter pixel cannot be seen under anti-aliasing, and round
// ends and joints take half the segments of cairo's tenth of a pixel.
constexpr double k_shape_tolerance = 0.25;

// Small shapes that are drawn again and again are drawn from pictures of
// their coverage, each made once by Cairo: the joints and knobs of the
// virtual arm (discs, a dozen in every frame) and the thumbs of scroll bars
// (rounded rectangles, which move with every step of a playback). The
// colour goes through a picture as it would through the shape's own
// coverage, so the pixels are the same.
struct CoveragePicture {
    std::array<double, 5> key; // the shape's kind and sizes
    int reach;                 // from the picture's corner to the shape's place
    cairo_surface_t* mask;
};

template <typename Path>
const CoveragePicture& coverage_picture(const std::array<double, 5>& key, int width, int height,
                                        int reach, double tolerance, Path path) {
    struct Pictures {
        std::vector<CoveragePicture> made;
        void clear() {
            for (CoveragePicture& p : made)
                cairo_surface_destroy(p.mask);
            made.clear();
        }
        ~Pictures() { clear(); }
    };
    thread_local Pictures pictures;
    for (const CoveragePicture& p : pictures.made)
        if (p.key == key)
            return p;
    // A handful of shapes are ever drawn; a program drawing many starts over.
    if (pictures.made.size() >= 256)
        pictures.clear();
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* cr = cairo_create(mask);
    cairo_set_tolerance(cr, tolerance);
    path(cr);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(mask);
    pictures.made.push_back({key, reach, mask});
    return pictures.made.back();
}

// Discs up to this radius are drawn from pictures, one for each radius and
// place on the pixel grid to a quarter pixel (an eighth of a pixel off at
// most, which anti-aliasing hides).
constexpr double k_most_disc_radius = 16;
constexpr int k_disc_steps = 4;

const CoveragePicture& disc_picture(double radius, int qx, int qy) {
    const int reach = static_cast<int>(std::ceil(radius)) + 1;
    return coverage_picture(
        {0, radius, static_cast<double>(qx), static_cast<double>(qy), 0}, 2 * reach + 2,
        2 * reach + 2, reach, k_shape_tolerance, [&](cairo_t* cr) {
            cairo_arc(cr, reach + static_cast<double>(qx) / k_disc_steps,
                      reach + static_cast<double>(qy) / k_disc_steps, radius, 0, 2 * M_PI);
        });
}

// Rounded rectangles up to this many pixels are drawn from pictures.
constexpr int k_most_round_rect_pixels = 32 * 1024;

// The outline of a rectangle with corners of the given radius, at most half
// its shorter side.
void round_rect_path(cairo_t* cr, double x, double y, double w, double h, double radius) {
    double r = std::clamp(radius, 0.0, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The ellipse inside the box at (x, y) of size w by h.
void ellipse_path(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// Fills the current path and draws a one-pixel line along it.
void fill_and_stroke(cairo_t* cr, COLORREF fill, COLORREF edge) {
    set_source_color(cr, fill);
    cairo_fill_preserve(cr);
    set_source_color(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

} // namespace

Canvas::Canvas(cairo_t* cr, HWND hwnd)
    : m_cr(cairo_reference(cr)), m_hwnd(hwnd), m_font(default_gui_font()) {
    cairo_save(m_cr);
}

Canvas::~Canvas() {
    cairo_restore(m_cr);
    cairo_surface_flush(cairo_get_target(m_cr));
    cairo_destroy(m_cr);
}

void Canvas::fill_rect(const Rect& r, COLORREF color) {
    if (r.is_empty())
        return;
    // A grid's row is a score of these: straight into the pixels where it
    // can be.
    int ox = 0;
    int oy = 0;
    if (const std::vector<Rect>* clip = direct_clip(ox, oy)) {
        pixels::fill(cairo_get_target(m_cr), *clip, r.offset(ox, oy), rgb_of(color));
        return;
    }
    set_source_color(m_cr, color);
    cairo_rectangle(m_cr, r.left, r.top, r.width(), r.height());
    cairo_fill(m_cr);
}

void Canvas::frame_rect(const Rect& r, COLORREF color, int thickness) {
    if (r.is_empty() || thickness <= 0)
        return;
    // A grid's current cell has one: four boxes, straight into the pixels.
    int ox = 0;
    int oy = 0;
    const std::vector<Rect>* clip = nullptr;
    if (2 * thickness <= std::min(r.width(), r.height()) && (clip = direct_clip(ox, oy))) {
        const int t = thickness;
        const Rect sides[] = {{r.left, r.top, r.right, r.top + t},
                              {r.left, r.bottom - t, r.right, r.bottom},
                              {r.left, r.top + t, r.left + t, r.bottom - t},
                              {r.right - t, r.top + t, r.right, r.bottom - t}};
        for (const Rect& side : sides)
            pixels::fill(cairo_get_target(m_cr), *clip, side.offset(ox, oy), rgb_of(color));
        return;
    }
    set_source_color(m_cr, color);
    cairo_rectangle(m_cr, r.left, r.top, r.width(), r.height());
    cairo_rectangle(m_cr, r.left + thickness, r.top + thickness, r.width() - 2 * thickness,
                    r.height() - 2 * thickness);
    cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(m_cr);
    cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_WINDING);
}

void Canvas::draw_line(int x0, int y0, int x1, int y1, COLORREF color, double width) {
    if (draw_level_line(x0, y0, x1, y1, color, width))
        return;
    set_source_color(m_cr, color);
    cairo_set_line_width(m_cr, width);
    // Half-pixel offsets put one-pixel lines on pixel centres.
    double off = static_cast<int>(width) % 2 ? 0.5 : 0.0;
    cairo_move_to(m_cr, x0 + off, y0 + off);
    cairo_line_to(m_cr, x1 + off, y1 + off);
    cairo_stroke(m_cr);
}

bool Canvas::draw_level_line(int x0, int y0, int x1, int y1, COLORREF color, double width) {
    // A level or upright line of whole pixels' width is a box (a grid draws
    // two a cell): an even width lies on pixel edges, an odd one is centred
    // on pixel centres, so that its ends cover half a pixel each, as the
    // line Cairo strokes.
    int ox = 0;
    int oy = 0;
    const std::vector<Rect>* clip = nullptr;
    if ((x0 == x1) == (y0 == y1) || width < 1 || width != std::floor(width) ||
        cairo_get_line_cap(m_cr) != CAIRO_LINE_CAP_BUTT || !(clip = direct_clip(ox, oy)))
        return false;
    const int w = static_cast<int>(width);
    const bool odd = w % 2 == 1;
    const int across = odd ? -(w - 1) / 2 : -w / 2; // from the line to the box's near side
    const int from = std::min(x0 == x1 ? y0 : x0, x0 == x1 ? y1 : x1);
    const int to = std::max(x0 == x1 ? y0 : x0, x0 == x1 ? y1 : x1);
    // Along the line: [from, to) whole, or the pixels at both ends halved.
    auto box = [&](int a, int b) {
        return x0 == x1 ? Rect{x0 + across, a, x0 + across + w, b}.offset(ox, oy)
                        : Rect{a, y0 + across, b, y0 + across + w}.offset(ox, oy);
    };
    cairo_surface_t* target = cairo_get_target(m_cr);
    const std::uint32_t rgb = rgb_of(color);
    if (!odd) {
        pixels::fill(target, *clip, box(from, to), rgb);
        return true;
    }
    pixels::fill(target, *clip, box(from, from + 1), rgb, 128);
    pixels::fill(target, *clip, box(from + 1, to), rgb);
    pixels::fill(target, *clip, box(to, to + 1), rgb, 128);
    return true;
}

void Canvas::draw_surface(cairo_surface_t* surface, int x, int y) {
    if (!surface || copy_opaque(surface, x, y))
        return;
    cairo_set_source_surface(m_cr, surface, x, y);
    cairo_paint(m_cr);
}

bool Canvas::copy_opaque(cairo_surface_t* surface, int x, int y) {
    // A picture without alpha put at whole pixels replaces what it covers:
    // its rows are copied inside the clip. A moving arm puts a score of
    // small pictures a frame (its numbers' characters).
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_RGB24 ||
        !pixels::writable(surface) || surface == cairo_get_target(m_cr))
        return false;
    int ox = 0;
    int oy = 0;
    const std::vector<Rect>* clip = direct_clip(ox, oy);
    if (!clip)
        return false;
    pixels::copy(cairo_get_target(m_cr), *clip, surface, x + ox, y + oy);
    return true;
}

const std::vector<Rect>* Canvas::direct_clip(int& ox, int& oy) const {
    if (!draws_whole_pixels(m_cr) || !pixels::writable(cairo_get_target(m_cr)))
        return nullptr;
    return clip_in_pixels(ox, oy);
}

void Canvas::draw_scaled_surface(cairo_surface_t* surface, double x, double y, double scale_x,
                                 double scale_y) {
    if (!surface || scale_x <= 0 || scale_y <= 0)
        return;
    cairo_save(m_cr);
    cairo_translate(m_cr, x, y);
    cairo_scale(m_cr, scale_x, scale_y);
    cairo_rectangle(m_cr, 0, 0, cairo_image_surface_get_width(surface),
                    cairo_image_surface_get_height(surface));
    cairo_clip(m_cr);
    cairo_set_source_surface(m_cr, surface, 0, 0);
    // Scaled edges take the border pixels, not a fade into nothing.
    cairo_pattern_set_extend(cairo_get_source(m_cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_GOOD);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
}

void Canvas::draw_focus_rect(const Rect& r) {
    if (r.is_empty())
        return;
    static const double dash[] = {1.0, 1.0};
    cairo_save(m_cr);
    cairo_set_dash(m_cr, dash, 2, 0);
    cairo_set_line_width(m_cr, 1.0);
    set_source_color(m_cr, 0);
    cairo_rectangle(m_cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
}

void Canvas::draw_check_mark(int x, int y, COLORREF color) {
    const PointF tick[] = {{x + 3.0, y + 6.5}, {x + 5.5, y + 9.0}, {x + 10.0, y + 3.5}};
    draw_polyline(tick, 3, color, 2);
}

void Canvas::fill_gradient(const Rect& r, COLORREF top, COLORREF bottom) {
    if (r.is_empty())
        return;
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, r.top, 0, r.bottom);
    cairo_pattern_add_color_stop_rgb(gradient, 0, get_r(top) / 255.0, get_g(top) / 255.0,
                                     get_b(top) / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, get_r(bottom) / 255.0, get_g(bottom) / 255.0,
                                     get_b(bottom) / 255.0);
    cairo_save(m_cr);
    cairo_rectangle(m_cr, r.left, r.top, r.width(), r.height());
    cairo_set_source(m_cr, gradient);
    cairo_fill(m_cr);
    cairo_restore(m_cr);
    cairo_pattern_destroy(gradient);
}

void Canvas::fill_round_rect(const Rect& r, double radius, COLORREF color) {
    if (r.is_empty())
        return;
    int ox = 0;
    int oy = 0;
    const std::vector<Rect>* clip = nullptr;
    const int w = r.width();
    const int h = r.height();
    if (w * h <= k_most_round_rect_pixels && cairo_get_antialias(m_cr) == CAIRO_ANTIALIAS_DEFAULT &&
        (clip = direct_clip(ox, oy))) {
        const double tolerance = cairo_get_tolerance(m_cr);
        const CoveragePicture& shape = coverage_picture(
            {1, static_cast<double>(w), static_cast<double>(h), radius, tolerance}, w, h, 0,
            tolerance, [&](cairo_t* cr) { round_rect_path(cr, 0, 0, w, h, radius); });
        pixels::fill_mask(cairo_get_target(m_cr), *clip, shape.mask, r.left + ox, r.top + oy,
                          rgb_of(color));
        return;
    }
    round_rect_path(m_cr, r.left, r.top, r.width(), r.height(), radius);
    set_source_color(m_cr, color);
    cairo_fill(m_cr);
}

void Canvas::frame_round_rect(const Rect& r, double radius, COLORREF color, double width) {
    if (r.width() <= width || r.height() <= width || width <= 0)
        return;
    round_rect_path(m_cr, r.left + width / 2, r.top + width / 2, r.width() - width,
                    r.height() - width, radius);
    set_source_color(m_cr, color);
    cairo_set_line_width(m_cr, width);
    cairo_stroke(m_cr);
}

void Canvas::draw_round_rect(const Rect& r, double radius, COLORREF fill, COLORREF edge) {
    if (r.width() <= 1 || r.height() <= 1)
        return;
    round_rect_path(m_cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1, radius);
    fill_and_stroke(m_cr, fill, edge);
}

void Canvas::fill_ellipse(const Rect& r, COLORREF color) {
    if (r.is_empty())
        return;
    ellipse_path(m_cr, r.left, r.top, r.width(), r.height());
    set_source_color(m_cr, color);
    cairo_fill(m_cr);
}

void Canvas::frame_ellipse(const Rect& r, COLORREF color, double width) {
    if (r.width() <= width || r.height() <= width || width <= 0)
        return;
    ellipse_path(m_cr, r.left + width / 2, r.top + width / 2, r.width() - width,
                 r.height() - width);
    set_source_color(m_cr, color);
    cairo_set_line_width(m_cr, width);
    cairo_stroke(m_cr);
}

void Canvas::draw_ellipse(const Rect& r, COLORREF fill, COLORREF edge) {
    if (r.width() <= 1 || r.height() <= 1)
        return;
    ellipse_path(m_cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    fill_and_stroke(m_cr, fill, edge);
}

void Canvas::fill_polygon(const Point* points, int count, COLORREF color) {
    if (!points || count < 3)
        return;
    cairo_move_to(m_cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i)
        cairo_line_to(m_cr, points[i].x, points[i].y);
    cairo_close_path(m_cr);
    set_source_color(m_cr, color);
    cairo_fill(m_cr);
}

void Canvas::fill_polygon(const PointF* points, int count, COLORREF color) {
    if (!points || count < 3)
        return;
    cairo_move_to(m_cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i)
        cairo_line_to(m_cr, points[i].x, points[i].y);
    cairo_close_path(m_cr);
    set_source_color(m_cr, color);
    cairo_fill(m_cr);
}

void Canvas::draw_polyline(const PointF* points, int count, COLORREF color, double width,
                           LineCap cap, LineJoin join) {
    if (!points || count < 2 || width <= 0)
        return;
    cairo_save(m_cr);
    set_source_color(m_cr, color);
    cairo_set_line_width(m_cr, width);
    cairo_set_line_cap(m_cr, cap == LineCap::Round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_cr,
                        join == LineJoin::Round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    cairo_move_to(m_cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i)
        cairo_line_to(m_cr, points[i].x, points[i].y);
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
}

void Canvas::offset_origin(int dx, int dy) {
    // The clip stays where it is in the picture.
    cairo_translate(m_cr, dx, dy);
}

void Canvas::push_clip(const Rect& r) {
    m_saved_clips.push_back(m_clip);
    cairo_save(m_cr);
    cairo_rectangle(m_cr, r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
    cairo_clip(m_cr);
    int ox = 0;
    int oy = 0;
    if (!m_clip.known || !m_clip.whole_pixels || !whole_pixel_origin(m_cr, ox, oy)) {
        m_clip.known = false;
        return;
    }
    const Rect in_pixels = r.offset(ox, oy);
    std::erase_if(m_clip.pixels, [&](Rect& c) {
        c = c.intersect(in_pixels);
        return c.is_empty();
    });
}

void Canvas::pop_clip() {
    cairo_restore(m_cr);
    if (m_saved_clips.empty()) {
        m_clip.known = false;
        return;
    }
    m_clip = std::move(m_saved_clips.back());
    m_saved_clips.pop_back();
}

const std::vector<Rect>* Canvas::clip_in_pixels(int& ox, int& oy) const {
    if (!whole_pixel_origin(m_cr, ox, oy))
        return nullptr;
    if (!m_clip.known) {
        m_clip.known = true;
        m_clip.whole_pixels = false;
        m_clip.pixels.clear();
        cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(m_cr);
        if (list->status == CAIRO_STATUS_SUCCESS) {
            m_clip.whole_pixels = true;
            for (int i = 0; i < list->num_rectangles; ++i) {
                const cairo_rectangle_t& c = list->rectangles[i];
                if (c.x != std::floor(c.x) || c.y != std::floor(c.y) ||
                    c.width != std::floor(c.width) || c.height != std::floor(c.height)) {
                    m_clip.whole_pixels = false;
                    break;
                }
                const int x = static_cast<int>(c.x) + ox;
                const int y = static_cast<int>(c.y) + oy;
                m_clip.pixels.push_back(
                    {x, y, x + static_cast<int>(c.width), y + static_cast<int>(c.height)});
            }
        }
        cairo_rectangle_list_destroy(list);
    }
    return m_clip.whole_pixels ? &m_clip.pixels : nullptr;
}

bool Canvas::rect_visible(const Rect& r) const {
    if (r.is_empty())
        return false;
    int ox = 0;
    int oy = 0;
    if (const std::vector<Rect>* clip = clip_in_pixels(ox, oy)) {
        const Rect in_pixels = r.offset(ox, oy);
        return std::any_of(clip->begin(), clip->end(),
                           [&](const Rect& c) { return !c.intersect(in_pixels).is_empty(); });
    }
    // A clip or an origin that is not whole pixels: what Cairo says.
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(m_cr);
    bool seen = false;
    if (list->status == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < list->num_rectangles && !seen; ++i) {
            const cairo_rectangle_t& c = list->rectangles[i];
            seen =
                r.left < c.x + c.width && c.x < r.right && r.top < c.y + c.height && c.y < r.bottom;
        }
    } else {
        // Not a set of rectangles (after a rotation): its extents.
        double x0, y0, x1, y1;
        cairo_clip_extents(m_cr, &x0, &y0, &x1, &y1);
        seen = r.left < x1 && x0 < r.right && r.top < y1 && y0 < r.bottom;
    }
    cairo_rectangle_list_destroy(list);
    return seen;
}

void Canvas::draw_stroke(double x0, double y0, double x1, double y1, COLORREF color, double width) {
    if (width <= 0)
        return;
    // A line with round ends is a capsule. On a picture's whole pixels it is
    // filled straight into them, row by row; elsewhere Cairo fills its
    // outline (traced once: its stroker works the same outline out of the
    // line first, at a fifth more cost).
    int ox = 0;
    int oy = 0;
    if (const std::vector<Rect>* clip = direct_clip(ox, oy);
        clip && capsule::fill(cairo_get_target(m_cr), *clip, x0 + ox, y0 + oy, x1 + ox, y1 + oy,
                              width / 2, rgb_of(color)))
        return;
    set_source_color(m_cr, color);
    double tolerance = cairo_get_tolerance(m_cr);
    cairo_set_tolerance(m_cr, k_shape_tolerance);
    const double r = width / 2;
    const double along = std::atan2(y1 - y0, x1 - x0);
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, x1, y1, r, along - M_PI / 2, along + M_PI / 2);
    cairo_arc(m_cr, x0, y0, r, along + M_PI / 2, along + 3 * M_PI / 2);
    cairo_close_path(m_cr);
    cairo_fill(m_cr);
    cairo_set_tolerance(m_cr, tolerance);
}

void Canvas::fill_circle(double cx, double cy, double radius, COLORREF color) {
    if (radius <= 0)
        return;
    set_source_color(m_cr, color);
    if (radius <= k_most_disc_radius && draws_whole_pixels(m_cr)) {
        // The disc's place on the pixel grid, to a quarter of a pixel.
        double dx = cx;
        double dy = cy;
        cairo_user_to_device(m_cr, &dx, &dy);
        const double qx = std::round(dx * k_disc_steps);
        const double qy = std::round(dy * k_disc_steps);
        const double ix = std::floor(qx / k_disc_steps);
        const double iy = std::floor(qy / k_disc_steps);
        const CoveragePicture& disc = disc_picture(radius, static_cast<int>(qx - ix * k_disc_steps),
                                                   static_cast<int>(qy - iy * k_disc_steps));
        int ox = 0;
        int oy = 0;
        if (const std::vector<Rect>* clip = direct_clip(ox, oy))
            pixels::fill_mask(cairo_get_target(m_cr), *clip, disc.mask,
                              static_cast<int>(ix) - disc.reach, static_cast<int>(iy) - disc.reach,
                              rgb_of(color));
        else
            cairo_mask_surface(m_cr, disc.mask, cx - (dx - ix) - disc.reach,
                               cy - (dy - iy) - disc.reach);
        return;
    }
    double tolerance = cairo_get_tolerance(m_cr);
    cairo_set_tolerance(m_cr, k_shape_tolerance);
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(m_cr);
    cairo_set_tolerance(m_cr, tolerance);
}

void Canvas::draw_arc(double cx, double cy, double radius, double from_degrees, double to_degrees,
                      COLORREF color, double width) {
    if (radius <= 0)
        return;
    cairo_save(m_cr);
    set_source_color(m_cr, color);
    cairo_set_line_width(m_cr, width);
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, cx, cy, radius, from_degrees * M_PI / 180, to_degrees * M_PI / 180);
    cairo_stroke(m_cr);
    cairo_restore(m_cr);
}

HFONT Canvas::set_font(HFONT font) {
    HFONT old = m_font;
    m_font = font ? font : default_gui_font();
    return old;
}

COLORREF Canvas::set_text_color(COLORREF c) {
    return std::exchange(m_text_color, c);
}
COLORREF Canvas::set_bk_color(COLORREF c) {
    return std::exchange(m_bk_color, c);
}
BkMode Canvas::set_bk_mode(BkMode mode) {
    return std::exchange(m_bk_mode, mode);
}

int Canvas::draw_text(std::string_view gbk, Rect& r, UINT format) {
    bool single = (format & DT_SINGLELINE) != 0;
    bool wrap = !single && (format & DT_WORDBREAK);
    bool ellipsize = !wrap && (format & DT_END_ELLIPSIS);
    int width = (wrap || ellipsize) ? std::max(1, r.width()) : -1;
    text_cache::Text& text = text_cache::find(m_cr, m_font, gbk, format, width);
    PangoLayout* layout = text_cache::layout_of(text);
    if (wrap) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else if (ellipsize) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    if (single)
        pango_layout_set_single_paragraph_mode(layout, TRUE);
    PangoAlignment align = (format & DT_CENTER)  ? PANGO_ALIGN_CENTER
                           : (format & DT_RIGHT) ? PANGO_ALIGN_RIGHT
                                                 : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, align);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);

    if (format & DT_CALCRECT) {
        r.right = r.left + w;
        r.bottom = r.top + h;
        return h;
    }
    int x = r.left;
    if (pango_layout_get_width(layout) < 0) {
        if (format & DT_CENTER)
            x = r.left + (r.width() - w) / 2;
        else if (format & DT_RIGHT)
            x = r.right - w;
    }
    int y = r.top;
    if (single && (format & DT_VCENTER))
        y = r.top + (r.height() - h) / 2;
    else if (single && (format & DT_BOTTOM))
        y = r.bottom - h;

    const Rect* clip = (format & DT_NOCLIP) ? nullptr : &r;
    if (m_bk_mode == BkMode::Opaque) {
        int bx = pango_layout_get_width(layout) < 0 ? x : r.left;
        int bw = pango_layout_get_width(layout) < 0 ? w : r.width();
        Rect back{bx, y, bx + bw, y + h};
        fill_rect(clip ? back.intersect(*clip) : back, m_bk_color);
    }
    set_source_color(m_cr, m_text_color);
    text_cache::Direct direct;
    direct.clip = direct_clip(direct.ox, direct.oy);
    direct.rgb = rgb_of(m_text_color);
    text_cache::show(m_cr, text, x, y, clip, direct);
    return h;
}

void Canvas::text_out(int x, int y, std::string_view gbk) {
    Size s = measure_text(gbk);
    Rect r{x, y, x + s.cx, y + s.cy};
    draw_text(gbk, r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

Size Canvas::measure_text(std::string_view gbk) const {
    return platform::measure_text(m_font, gbk);
}

Size measure_text(HFONT font, std::string_view gbk) {
    if (!font)
        font = default_gui_font();
    PangoLayout* layout = make_layout(text_context(), font, gbk, DT_NOPREFIX);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    return {w, h};
}

} // namespace platform
