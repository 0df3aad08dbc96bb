#include "ScrollBarPainter.h"

#include "ControlSupport.h"

#include <algorithm>

namespace platform::controls {

namespace {

constexpr COLORREF k_track = rgb(0xE9, 0xE9, 0xE9);
constexpr COLORREF k_thumb = rgb(0xC2, 0xC2, 0xC2);
constexpr COLORREF k_thumb_hot = rgb(0xA8, 0xA8, 0xA8);
constexpr COLORREF k_thumb_pressed = rgb(0x78, 0x78, 0x78);
constexpr COLORREF k_arrow = rgb(0x60, 0x60, 0x60);
constexpr COLORREF k_arrow_hot = rgb(0xDA, 0xDA, 0xDA);

void draw_chevron(Canvas& canvas, const Rect& r, bool vertical, bool towards_end, COLORREF color) {
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    double s = std::max(2.0, std::min(r.width(), r.height()) / 4.0);
    double dir = towards_end ? 1.0 : -1.0;
    PointF vertical_points[] = {
        {cx - s, cy - dir * s / 2}, {cx, cy + dir * s / 2}, {cx + s, cy - dir * s / 2}};
    PointF horizontal_points[] = {
        {cx - dir * s / 2, cy - s}, {cx + dir * s / 2, cy}, {cx - dir * s / 2, cy + s}};
    canvas.draw_polyline(vertical ? vertical_points : horizontal_points, 3, color, 1.5,
                         LineCap::Round, LineJoin::Round);
}

void draw_thumb(Canvas& canvas, const Rect& r, bool vertical, COLORREF color) {
    // Inset across the bar so the thumb floats in the track.
    int inset = 3;
    Rect thumb = vertical ? Rect{r.left + inset, r.top + 1, r.right - inset, r.bottom - 1}
                          : Rect{r.left + 1, r.top + inset, r.right - 1, r.bottom - inset};
    if (thumb.is_empty())
        return;
    canvas.fill_round_rect(thumb, std::min(thumb.width(), thumb.height()) / 2.0, color);
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
        // Only the track may be being painted: the thumb moved alone.
        if (!canvas.rect_visible(a))
            continue;
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
