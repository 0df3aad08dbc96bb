#pragma once

// A canvas draws into one window: a Cairo context translated to the window's
// client origin and clipped to what may be painted. Texts are GBK and drawn
// with Pango.

#include <platform/Types.h>

#include <cstdint>
#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoContext PangoContext;

namespace platform {

// 0x00BBGGRR, as the platform's colour values are.
using COLORREF = std::uint32_t;
constexpr COLORREF rgb(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int get_r(COLORREF c) {
    return c & 0xFF;
}
constexpr int get_g(COLORREF c) {
    return (c >> 8) & 0xFF;
}
constexpr int get_b(COLORREF c) {
    return (c >> 16) & 0xFF;
}

// draw_text formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

enum class BkMode { Transparent = 1, Opaque = 2 };

// A point at a fractional position, for the shapes that take them.
struct PointF {
    double x = 0;
    double y = 0;
};

// How draw_polyline ends its lines and joins them.
enum class LineCap { Butt, Round };
enum class LineJoin { Miter, Round };

class Canvas {
  public:
    // `cr` is borrowed; the canvas saves its state and restores it on
    // destruction. `clip` is in the canvas's coordinates.
    Canvas(cairo_t* cr, HWND hwnd);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // For drawing only: the canvas keeps what it knows of its clip, which
    // changes through push_clip, pop_clip and offset_origin alone.
    cairo_t* cairo() const { return m_cr; }
    HWND window() const { return m_hwnd; }

    void fill_rect(const Rect& r, COLORREF color);
    void frame_rect(const Rect& r, COLORREF color, int thickness = 1);
    void draw_line(int x0, int y0, int x1, int y1, COLORREF color, double width = 1.0);
    void draw_surface(cairo_surface_t* surface, int x, int y);
    // Draws the surface with its top-left corner at (x, y), scaled by
    // (scale_x, scale_y), smoothly; past its edges nothing is drawn.
    void draw_scaled_surface(cairo_surface_t* surface, double x, double y, double scale_x,
                             double scale_y);
    // A dotted focus rectangle just inside r.
    void draw_focus_rect(const Rect& r);
    // The tick of a 13 by 13 pixel check box whose top-left corner is (x, y).
    void draw_check_mark(int x, int y, COLORREF color);
    // Fills r with a colour that goes from `top` at its top edge to
    // `bottom` at its bottom edge.
    void fill_gradient(const Rect& r, COLORREF top, COLORREF bottom);
    // Anti-aliased shapes: a rectangle with rounded corners and the ellipse
    // inside a rectangle, filled, outlined (the outline inside r, the
    // radius that of the outline's middle) or both, as a button shows them
    // (a one-pixel edge over the fill); and filled polygons.
    void fill_round_rect(const Rect& r, double radius, COLORREF color);
    void frame_round_rect(const Rect& r, double radius, COLORREF color, double width = 1.0);
    void draw_round_rect(const Rect& r, double radius, COLORREF fill, COLORREF edge);
    void fill_ellipse(const Rect& r, COLORREF color);
    void frame_ellipse(const Rect& r, COLORREF color, double width = 1.0);
    void draw_ellipse(const Rect& r, COLORREF fill, COLORREF edge);
    void fill_polygon(const Point* points, int count, COLORREF color);
    void fill_polygon(const PointF* points, int count, COLORREF color);
    // Lines through `count` points as one stroke: ticks, chevrons.
    void draw_polyline(const PointF* points, int count, COLORREF color, double width,
                       LineCap cap = LineCap::Butt, LineJoin join = LineJoin::Miter);
    // Moves the origin by (dx, dy) for what is drawn after, as the
    // platform's viewport offset does.
    void offset_origin(int dx, int dy);
    // Draws only inside r (and the clip there already was) until the
    // matching pop_clip. Colours and the origin set in between are undone
    // with it too.
    void push_clip(const Rect& r);
    void pop_clip();
    // Whether anything drawn in r could show: whether r meets the clip (in
    // a paint, the update region), so that a paint may skip the parts of a
    // window that it does not renew.
    bool rect_visible(const Rect& r) const;

    // Shapes for drawings that move, at fractional positions: a stroke with
    // round ends, a filled circle and a circular arc (degrees, counted
    // clockwise from the positive x axis, as on the screen).
    void draw_stroke(double x0, double y0, double x1, double y1, COLORREF color, double width);
    void fill_circle(double cx, double cy, double radius, COLORREF color);
    void draw_arc(double cx, double cy, double radius, double from_degrees, double to_degrees,
                  COLORREF color, double width);

    HFONT set_font(HFONT font);
    HFONT font() const { return m_font; }
    COLORREF set_text_color(COLORREF c);
    COLORREF text_color() const { return m_text_color; }
    COLORREF set_bk_color(COLORREF c);
    BkMode set_bk_mode(BkMode mode);

    // Draws a GBK text in r with DT_ flags. With DT_CALCRECT it only
    // measures, setting r's right and bottom. Returns the text's height.
    int draw_text(std::string_view gbk, Rect& r, UINT format);
    void text_out(int x, int y, std::string_view gbk);
    Size measure_text(std::string_view gbk) const;

  private:
    // The clip as rectangles of the picture's pixels: asked of Cairo once,
    // then followed through push_clip, pop_clip and offset_origin, since a
    // paint asks rect_visible for every shape it may skip and Cairo builds
    // its list anew for each question. The origin there goes to (ox, oy).
    // Null when the clip or the origin is not whole pixels (after a scale);
    // Cairo is asked then.
    const std::vector<Rect>* clip_in_pixels(int& ox, int& oy) const;
    // The clip and the origin in the picture's pixels when shapes may be
    // drawn straight into them (pixels::writable, the plain operator, a
    // whole-pixel origin); null otherwise.
    const std::vector<Rect>* direct_clip(int& ox, int& oy) const;
    // Draws a level or upright line straight into the pixels; false when
    // it cannot.
    bool draw_level_line(int x0, int y0, int x1, int y1, COLORREF color, double width);
    // Draws an opaque picture by copying its rows; false when it cannot.
    bool copy_opaque(cairo_surface_t* surface, int x, int y);

    cairo_t* m_cr;
    struct Clip {
        bool known = false;
        bool whole_pixels = false;
        std::vector<Rect> pixels;
    };
    mutable Clip m_clip;
    std::vector<Clip> m_saved_clips;
    HWND m_hwnd;
    HFONT m_font;
    COLORREF m_text_color = 0;
    COLORREF m_bk_color = 0xFFFFFF;
    BkMode m_bk_mode = BkMode::Opaque;
};

// Measures a GBK text in a font without a window (single line).
Size measure_text(HFONT font, std::string_view gbk);

void set_source_color(cairo_t* cr, COLORREF c);

// The Pango context that lays out text for measuring, with the same font
// options and resolution every canvas draws with.
PangoContext* text_context();

} // namespace platform
