#include "ScrollBarPainter.h"

#include "ControlSupport.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace platform::controls {

namespace {

constexpr COLORREF k_track = rgb(0xE9, 0xE9, 0xE9);
constexpr COLORREF k_thumb = rgb(0xC2, 0xC2, 0xC2);
constexpr COLORREF k_thumb_hot = rgb(0xA8, 0xA8, 0xA8);
constexpr COLORREF k_thumb_pressed = rgb(0x78, 0x78, 0x78);
constexpr COLORREF k_arrow = rgb(0x60, 0x60, 0x60);
constexpr COLORREF k_arrow_hot = rgb(0xDA, 0xDA, 0xDA);

// A rectangle along the bar, from `start` for `length`, across its whole width.
Rect along(const Rect& r, bool vertical, int start, int length) {
    if (vertical)
        return {r.left, r.top + start, r.right, r.top + start + length};
    return {r.left + start, r.top, r.left + start + length, r.bottom};
}

void draw_chevron(Canvas& canvas, const Rect& r, bool vertical, bool towards_end, COLORREF color) {
    cairo_t* cr = canvas.cairo();
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    double s = std::max(2.0, std::min(r.width(), r.height()) / 4.0);
    double dir = towards_end ? 1.0 : -1.0;
    cairo_save(cr);
    set_source_color(cr, color);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (vertical) {
        cairo_move_to(cr, cx - s, cy - dir * s / 2);
        cairo_line_to(cr, cx, cy + dir * s / 2);
        cairo_line_to(cr, cx + s, cy - dir * s / 2);
    } else {
        cairo_move_to(cr, cx - dir * s / 2, cy - s);
        cairo_line_to(cr, cx + dir * s / 2, cy);
        cairo_line_to(cr, cx - dir * s / 2, cy + s);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void draw_thumb(Canvas& canvas, const Rect& r, bool vertical, COLORREF color) {
    // Inset across the bar so the thumb floats in the track.
    double inset = 3.0;
    double x = r.left + (vertical ? inset : 1.0);
    double y = r.top + (vertical ? 1.0 : inset);
    double w = r.width() - (vertical ? 2 * inset : 2.0);
    double h = r.height() - (vertical ? 2.0 : 2 * inset);
    if (w <= 0 || h <= 0)
        return;
    double radius = std::min(w, h) / 2.0;
    cairo_t* cr = canvas.cairo();
    cairo_save(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    set_source_color(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

void paint_scroll_bar(Canvas& canvas, const Rect& r, const ScrollLayout& layout,
                      const ScrollBarLook& look) {
    canvas.fill_rect(r, k_track);
    bool live = look.enabled && layout.thumb_length > 0;
    COLORREF arrow_color = live ? k_arrow : colors::text_disabled;
    for (bool end : {false, true}) {
        ScrollPart part = end ? ScrollPart::LineDown : ScrollPart::LineUp;
        Rect a = along(r, look.vertical, end ? layout.length - layout.arrow : 0, layout.arrow);
        if (live && look.pressed == part)
            canvas.fill_rect(a, colors::face_pressed);
        else if (live && look.hot == part)
            canvas.fill_rect(a, k_arrow_hot);
        draw_chevron(canvas, a, look.vertical, end, arrow_color);
    }
    if (!live)
        return;
    COLORREF thumb = look.pressed == ScrollPart::Thumb ? k_thumb_pressed
                     : look.hot == ScrollPart::Thumb   ? k_thumb_hot
                                                       : k_thumb;
    draw_thumb(canvas, along(r, look.vertical, layout.thumb_start, layout.thumb_length),
               look.vertical, thumb);
}

} // namespace platform::controls
