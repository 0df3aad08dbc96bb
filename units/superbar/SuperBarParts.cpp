// The part windows of a bar and the bar's look. Every part draws the whole
// bar moved to its own place, so the picture does not depend on which part
// window covers which pixels: a thin rounded track, the filled part in the
// accent colour up to the thumb's middle, a round (or rectangular) thumb
// with a ring around it while the bar has the focus, and small arrow
// buttons that light up under the mouse and when pressed.

#include "SuperBarUnit.h"

#include <platform/access/Access.h>
#include <platform/drawing/Canvas.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>

namespace units {

namespace {

using platform::COLORREF;
using platform::Point;
using platform::Rect;
using platform::rgb;

constexpr COLORREF ThumbFace = rgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF ThumbEdge = rgb(0xA0, 0xA0, 0xA0);
constexpr COLORREF FocusRing = rgb(0x80, 0xBC, 0xEB);
constexpr COLORREF ArrowGlyph = rgb(0x5A, 0x5A, 0x5A);
constexpr COLORREF ArrowHot = rgb(0xE0, 0xE0, 0xE0);
constexpr COLORREF ArrowPressed = rgb(0xCC, 0xE4, 0xF7);
constexpr COLORREF Disabled = rgb(0xBC, 0xBC, 0xBC);
constexpr COLORREF DisabledTrack = rgb(0xDC, 0xDC, 0xDC);
constexpr int TrackThickness = 4;

SuperBarUnit* bar_of(HWND part) {
    return dynamic_cast<SuperBarUnit*>(Unit::from_window(platform::get_parent(part)));
}

BarPart part_of(HWND part) {
    return static_cast<BarPart>(platform::get_dlg_ctrl_id(part));
}

Point to_bar(HWND part, LPARAM lp) {
    Point p = platform::mouse_point(lp);
    Rect r;
    platform::get_window_placement_rect(part, r);
    return {p.x + r.left, p.y + r.top};
}

LRESULT part_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // The parts are pieces of the bar's picture; the bar speaks for them.
    if (auto* request = platform::access::request_of(msg, lp)) {
        LRESULT result = platform::def_window_proc(hwnd, msg, wp, lp);
        if (request->node)
            request->node->role = platform::access::Role::None;
        return result;
    }
    SuperBarUnit* bar = bar_of(hwnd);
    if (!bar)
        return platform::def_window_proc(hwnd, msg, wp, lp);
    switch (msg) {
    case platform::WM_ERASEBKGND:
        return 1;
    case platform::WM_PAINT: {
        platform::PaintStruct ps;
        if (platform::Canvas* canvas = platform::begin_paint(hwnd, ps)) {
            Rect r;
            platform::get_window_placement_rect(hwnd, r);
            canvas->offset_origin(-r.left, -r.top);
            bar->paint(*canvas);
        }
        platform::end_paint(hwnd, ps);
        return 0;
    }
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK:
        bar->part_pressed(part_of(hwnd), to_bar(hwnd, lp));
        return 0;
    case platform::WM_MOUSEMOVE:
        bar->part_hovered(part_of(hwnd));
        return 0;
    case platform::WM_MOUSELEAVE:
        bar->part_hovered(BarPart::None);
        return 0;
    case platform::WM_MOVE: {
        LRESULT result = platform::def_window_proc(hwnd, msg, wp, lp);
        if (part_of(hwnd) == BarPart::Thumb)
            bar->thumb_moved();
        return result;
    }
    default:
        return platform::def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

bool SuperBarUnit::register_part_class() {
    return register_unit_class(PartClassName, 0, part_proc);
}

void SuperBarUnit::paint(platform::Canvas& canvas) const {
    const SuperBarLayout& l = m_layout;
    bool enabled = platform::is_window_enabled(hwnd());
    platform::Rect client;
    platform::get_client_rect(hwnd(), client);
    canvas.fill_rect(client, static_cast<COLORREF>(m_settings.word(BackColour)));

    int across = l.thickness() / 2;
    int half_thumb = l.thumb_length() / 2;
    int travel_from = l.track_start() + half_thumb;
    int travel_to = l.length() - l.arrow_length() - (l.thumb_length() - half_thumb);
    int thumb_middle = l.track_start() + thumb_window_offset() + half_thumb;

    // The track, and the filled part up to the thumb's middle.
    if (travel_to > travel_from) {
        int t0 = across - TrackThickness / 2, t1 = t0 + TrackThickness;
        COLORREF track =
            enabled ? static_cast<COLORREF>(m_settings.word(TrackColour)) : DisabledTrack;
        canvas.fill_round_rect(l.span(travel_from - 2, travel_to + 2, t0, t1), 2, track);
        if (m_settings.flag(ShowFill)) {
            COLORREF fill = enabled ? static_cast<COLORREF>(m_settings.word(FillColour)) : Disabled;
            canvas.fill_round_rect(l.span(travel_from - 2, thumb_middle, t0, t1), 2, fill);
        }
    }

    // The arrow buttons: a small rounded square that lights up, with a triangle.
    for (BarPart arrow : {BarPart::Decrease, BarPart::Increase}) {
        int a = l.arrow_length();
        if (a < 4)
            continue;
        int start = arrow == BarPart::Decrease ? 0 : l.length() - a;
        int box = std::min(a, l.thickness()) - 2;
        int b0 = start + (a - box) / 2, c0 = across - box / 2;
        bool pressed = m_held == arrow && m_pressed_inside;
        if (enabled && (pressed || m_hot == arrow))
            canvas.fill_round_rect(l.span(b0, b0 + box, c0, c0 + box), 3,
                                   pressed ? ArrowPressed : ArrowHot);
        int mid = b0 + box / 2;
        int size = std::max(2, box / 4);
        int tip = arrow == BarPart::Decrease ? mid - size : mid + size;
        int back = arrow == BarPart::Decrease ? mid + size / 2 + 1 : mid - size / 2 - 1;
        Point glyph[3] = {l.point(tip, across), l.point(back, across - size - 1),
                          l.point(back, across + size + 1)};
        canvas.fill_polygon(
            glyph, 3,
            !enabled ? Disabled
                     : (pressed ? static_cast<COLORREF>(m_settings.word(FillColour)) : ArrowGlyph));
    }

    // The thumb, with the focus ring around it.
    if (l.track_length() < 1)
        return;
    COLORREF accent = enabled ? static_cast<COLORREF>(m_settings.word(FillColour)) : Disabled;
    int t = l.thumb_length();
    int t0 = thumb_middle - half_thumb;
    bool focused = platform::get_focus() == hwnd();
    bool lit = m_held == BarPart::Thumb || m_hot == BarPart::Thumb;
    if (m_settings.word(ThumbShape) == 1) {
        int depth = std::max(4, l.thickness() * 2 / 3);
        int c0 = across - depth / 2;
        if (focused && enabled)
            canvas.fill_round_rect(l.span(t0 - 2, t0 + t + 2, c0 - 2, c0 + depth + 2), 4,
                                   FocusRing);
        canvas.fill_round_rect(l.span(t0 + 2, t0 + t - 2, c0, c0 + depth), 3, accent);
        return;
    }
    int c0 = across - half_thumb;
    if (focused && enabled)
        canvas.frame_ellipse(l.span(t0 - 3, t0 + t + 3, c0 - 3, c0 + t + 3), FocusRing, 2.5);
    Rect ring = l.span(t0 + 1, t0 + t - 1, c0 + 1, c0 + t - 1);
    canvas.fill_ellipse(ring, ThumbEdge);
    canvas.fill_ellipse({ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1}, ThumbFace);
    int dot = lit ? (t * 3) / 5 : t / 2;
    int d0 = thumb_middle - dot / 2, e0 = across - dot / 2;
    canvas.fill_ellipse(l.span(d0, d0 + dot, e0, e0 + dot), accent);
}

} // namespace units
