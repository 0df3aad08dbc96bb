#include "ArmPainter.h"

#include "platform/Encoding.h"
#include <platform/drawing/Font.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace arm {

using platform::Canvas;
using platform::COLORREF;
using platform::Rect;
using platform::rgb;
using platform::UINT;

namespace {

constexpr COLORREF k_background = rgb(0xEC, 0xEF, 0xF3);
constexpr COLORREF k_panel = rgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF k_panel_edge = rgb(0xD3, 0xD9, 0xE1);
constexpr COLORREF k_text = rgb(0x1F, 0x26, 0x30);
constexpr COLORREF k_muted = rgb(0x6E, 0x78, 0x86);
constexpr COLORREF k_grid = rgb(0xE6, 0xEA, 0xEF);
constexpr COLORREF k_link = rgb(0x2F, 0x6D, 0xB5);
constexpr COLORREF k_link_far = rgb(0x5A, 0x8F, 0xCC);
constexpr COLORREF k_joint = rgb(0x24, 0x2F, 0x3D);
constexpr COLORREF k_gripper = rgb(0xE0, 0x7A, 0x1F);
constexpr COLORREF k_ghost = rgb(0xCF, 0xDC, 0xEC);
constexpr COLORREF k_base = rgb(0x55, 0x60, 0x70);
constexpr COLORREF k_warning = rgb(0xC6, 0x3A, 0x1E);
constexpr COLORREF k_stripe = rgb(0xF6, 0xF8, 0xFA);

// Link lengths of the drawn arm, in pixels of the side view.
constexpr double k_upper = 85;
constexpr double k_fore = 85;
constexpr double k_grip = 28;
constexpr double k_reach = k_upper + k_fore + k_grip;

double radians(double degrees) {
    return degrees * M_PI / 180.0;
}

// The arm in its own vertical plane: x forward from the shoulder, z up.
struct Pose {
    double elbow_x, elbow_z;
    double wrist_x, wrist_z;
    double fore_angle; // of the forearm from the horizontal, radians
    double jaw;        // half the gripper's opening, radians
    double base;       // radians; pi/2 faces straight ahead
};

// Shoulder angle b lifts the upper arm from the horizontal; elbow angle c is
// the inside angle between the two links (180: straight on); the gripper
// opens with a; the base turns the whole plane.
Pose pose_of(double a, double b, double c, double d) {
    Pose p{};
    double upper = radians(b);
    p.fore_angle = upper + radians(c - 180);
    p.elbow_x = k_upper * std::cos(upper);
    p.elbow_z = k_upper * std::sin(upper);
    p.wrist_x = p.elbow_x + k_fore * std::cos(p.fore_angle);
    p.wrist_z = p.elbow_z + k_fore * std::sin(p.fore_angle);
    p.jaw = radians(std::clamp(a, 0.0, 180.0) / 180.0 * 34.0);
    p.base = radians(d);
    return p;
}

Pose pose_of(const ArmModel& model, bool target) {
    auto at = [&](int i) { return target ? model.target(i) : model.angle(i); };
    return pose_of(at(0), at(1), at(2), at(3));
}

std::string gbk(const char* utf8) {
    return platform::utf8_to_gbk(utf8);
}

platform::HFONT make_font(int pixels, int weight, const char* face) {
    platform::LogFont lf = platform::default_gui_log_font();
    lf.height = -pixels;
    lf.weight = weight;
    if (face) {
        std::memset(lf.face_name, 0, sizeof lf.face_name);
        std::strncpy(lf.face_name, face, sizeof lf.face_name - 1);
    }
    return platform::create_font_indirect(lf);
}

void text(Canvas& c, const std::string& s, Rect r, platform::UINT format, COLORREF color) {
    c.set_text_color(color);
    c.draw_text(s, r, format | platform::DT_NOPREFIX);
}

// Where a pose's joints lie in one view: the root (the shoulder, or the
// turning centre seen from above), the elbow, the wrist and the gripper's
// two tips.
struct ViewPoints {
    double rx, ry, ex, ey, wx, wy;
    std::array<double, 2> tip_x, tip_y;
};

ViewPoints side_points(const Pose& p, double sx, double sz) {
    double across = std::sin(p.base); // the arm's plane seen from the side
    auto X = [&](double x) { return sx + x * across; };
    auto Z = [&](double z) { return sz - z; };
    ViewPoints v{sx, sz, X(p.elbow_x), Z(p.elbow_z), X(p.wrist_x), Z(p.wrist_z), {}, {}};
    for (int i = 0; i < 2; ++i) {
        double angle = p.fore_angle + (i ? 1 : -1) * p.jaw;
        v.tip_x[i] = X(p.wrist_x + k_grip * std::cos(angle));
        v.tip_y[i] = Z(p.wrist_z + k_grip * std::sin(angle));
    }
    return v;
}

ViewPoints top_points(const Pose& p, double cx, double cy, double scale) {
    double ux = std::cos(p.base), uy = -std::sin(p.base);
    ViewPoints v{cx,
                 cy,
                 cx + p.elbow_x * scale * ux,
                 cy + p.elbow_x * scale * uy,
                 cx + p.wrist_x * scale * ux,
                 cy + p.wrist_x * scale * uy,
                 {},
                 {}};
    // Seen from above the gripper points along the forearm's horizontal
    // part; it shortens as the forearm tips down.
    double ahead = std::cos(p.fore_angle);
    double grip = k_grip * scale * std::max(std::fabs(ahead), 0.35) * (ahead < 0 ? -1 : 1);
    for (int i = 0; i < 2; ++i) {
        double a = p.base + (i ? 1 : -1) * p.jaw;
        v.tip_x[i] = v.wx + grip * std::cos(a);
        v.tip_y[i] = v.wy - grip * std::sin(a);
    }
    return v;
}

// The pixels around the given points, `margin` wide.
Rect box_around(std::initializer_list<double> xs, std::initializer_list<double> ys, double margin) {
    auto [x0, x1] = std::minmax_element(xs.begin(), xs.end());
    auto [y0, y1] = std::minmax_element(ys.begin(), ys.end());
    return {static_cast<int>(std::floor(*x0 - margin)), static_cast<int>(std::floor(*y0 - margin)),
            static_cast<int>(std::ceil(*x1 + margin)), static_cast<int>(std::ceil(*y1 + margin))};
}

// The pixels around every joint, `margin` wide.
Rect box_around(const ViewPoints& v, double margin) {
    return box_around({v.rx, v.ex, v.wx, v.tip_x[0], v.tip_x[1]},
                      {v.ry, v.ey, v.wy, v.tip_y[0], v.tip_y[1]}, margin);
}

// The upper arm, the forearm and the gripper, each with its joints.
std::array<Rect, ArmExtent::k_parts> parts_around(const ViewPoints& v, double margin,
                                                  const Rect& panel) {
    return {box_around({v.rx, v.ex}, {v.ry, v.ey}, margin).intersect(panel),
            box_around({v.ex, v.wx}, {v.ey, v.wy}, margin).intersect(panel),
            box_around({v.wx, v.tip_x[0], v.tip_x[1]}, {v.wy, v.tip_y[0], v.tip_y[1]}, margin)
                .intersect(panel)};
}

// A link or a joint outside the area being painted is not drawn at all: the
// clip would keep every pixel of it off anyway, but Cairo would still trace
// and rasterise its outline first. A frame repaints a few boxes along the
// moving links, and the target's ghost lies mostly outside them.
void stroke_if_seen(Canvas& c, double x0, double y0, double x1, double y1, COLORREF color,
                    double width) {
    // Round caps reach half the width past the ends; one pixel more for the
    // anti-aliased edge.
    if (c.rect_visible(box_around({x0, x1}, {y0, y1}, width / 2 + 1)))
        c.draw_stroke(x0, y0, x1, y1, color, width);
}

void circle_if_seen(Canvas& c, double x, double y, double radius, COLORREF color) {
    if (c.rect_visible(box_around({x}, {y}, radius + 1)))
        c.fill_circle(x, y, radius, color);
}

// Draws one pose in a view: the links, the gripper, and (unless it is the
// target's ghost) the joints.
void draw_pose(Canvas& c, const ViewPoints& v, bool side_view, bool ghost) {
    // The side view's links are drawn wider than the top view's.
    double w = side_view ? 1 : 0;
    for (int i = 0; i < 2; ++i)
        stroke_if_seen(c, v.wx, v.wy, v.tip_x[i], v.tip_y[i], ghost ? k_ghost : k_gripper,
                       (ghost ? 3 : 4) + w);
    stroke_if_seen(c, v.ex, v.ey, v.wx, v.wy, ghost ? k_ghost : k_link_far,
                   (ghost ? 7 : 9) + 2 * w);
    stroke_if_seen(c, v.rx, v.ry, v.ex, v.ey, ghost ? k_ghost : k_link, (ghost ? 9 : 11) + 3 * w);
    if (ghost)
        return;
    if (side_view) {
        circle_if_seen(c, v.rx, v.ry, 9, k_joint);
        circle_if_seen(c, v.rx, v.ry, 3.5, k_panel);
        circle_if_seen(c, v.ex, v.ey, 7, k_joint);
        circle_if_seen(c, v.ex, v.ey, 2.5, k_panel);
        circle_if_seen(c, v.wx, v.wy, 5, k_joint);
    } else {
        circle_if_seen(c, v.ex, v.ey, 5, k_joint);
        circle_if_seen(c, v.wx, v.wy, 4, k_joint);
    }
}

// Where the side view's ground and shoulder lie in its panel.
struct SideFrame {
    double ground, sx, sz;
};
SideFrame side_frame(const Rect& r) {
    double ground = r.bottom - 34;
    return {ground, r.left + (r.right - r.left) / 2.0, ground - 54};
}

// The top view's turning centre and the radius of the base's travel.
struct TopFrame {
    double cx, cy, radius;
};
TopFrame top_frame(const Rect& r) {
    double cx = r.left + (r.right - r.left) / 2.0;
    double cy = r.bottom - 30;
    double radius = std::min((r.right - r.left) / 2.0 - 22, static_cast<double>(cy - r.top - 36));
    return {cx, cy, radius};
}

// One servo's row in the angles panel: its label and value on a line of
// text, its travel as a bar below.
struct AngleRow {
    int top;          // of the text line
    double x0, x1, y; // the bar
};
AngleRow angle_row(const Rect& panel, int servo) {
    int row_height = (panel.bottom - panel.top - 34) / k_servo_count;
    int top = panel.top + 32 + servo * row_height;
    return {top, panel.left + 16.0, panel.right - 16.0, top + 32.0};
}

// Where an angle row's texts stand: the angle in a column of its own at the
// right, the target's arrow left of it while the servo turns.
Rect value_box(const Rect& panel, const AngleRow& row) {
    return {panel.right - 14 - 64, row.top - 4, panel.right - 14, row.top + 24};
}
Rect target_box(const Rect& panel, const AngleRow& row) {
    return {panel.left + 120, row.top - 4, value_box(panel, row).left - 12, row.top + 24};
}
// Where an angle lies along the row's bar.
double bar_at(const ServoSettings& s, const AngleRow& row, double angle) {
    double span = std::max(1, s.max_angle - s.min_angle);
    return row.x0 + (angle - s.min_angle) / span * (row.x1 - row.x0);
}

std::string format_gap(const std::optional<Millis>& gap) {
    char buffer[32];
    if (!gap)
        return "first";
    if (*gap < 10000)
        std::snprintf(buffer, sizeof buffer, "+%lld ms", static_cast<long long>(*gap));
    else
        std::snprintf(buffer, sizeof buffer, "+%.1f s", static_cast<double>(*gap) / 1000.0);
    return buffer;
}

} // namespace

ArmPainter::ArmPainter() {
    m_title_font = make_font(18, platform::FW_BOLD, nullptr);
    m_heading_font = make_font(13, platform::FW_BOLD, nullptr);
    m_value_font = make_font(22, platform::FW_BOLD, nullptr);
    m_mono_font = make_font(13, platform::FW_NORMAL, "DejaVu Sans Mono");
}

ArmPainter::~ArmPainter() {
    platform::delete_bitmap(m_background);
    for (platform::HFONT f : {m_title_font, m_heading_font, m_value_font, m_mono_font})
        platform::delete_font(f);
}

ArmLayout ArmPainter::layout(const Rect& client) {
    ArmLayout l;
    int right = client.right - 12;
    int log_left = right - 290;
    int bottom = client.bottom - 12;
    l.header = {12, 0, right, 46};
    l.counts = {right - 330, 0, right, 46};
    l.side = {12, 52, log_left - 12, 52 + 300};
    int middle = l.side.left + (l.side.right - l.side.left) * 47 / 100;
    l.top = {l.side.left, l.side.bottom + 10, middle - 5, bottom};
    l.angles = {middle + 5, l.side.bottom + 10, l.side.right, bottom};
    for (int i = 0; i < k_servo_count; ++i) {
        // From the top of the value's text to below the knob and the
        // target's tick.
        AngleRow row = angle_row(l.angles, i);
        l.angle_rows[static_cast<std::size_t>(i)] = {
            l.angles.left + 1, row.top - 4, l.angles.right - 1, static_cast<int>(row.y) + 8};
    }
    l.log = {log_left, 52, right, bottom};
    return l;
}

ArmExtent ArmPainter::extent(const ArmLayout& layout, const ArmModel& model, bool target) {
    Pose p = pose_of(model, target);
    ArmExtent e;
    {
        SideFrame f = side_frame(layout.side);
        // The shoulder's joint is the widest part drawn, 9 pixels round.
        e.side = parts_around(side_points(p, f.sx, f.sz), 12, layout.side);
    }
    {
        TopFrame t = top_frame(layout.top);
        // The turntable drawn over the arm's root is 14 pixels round.
        e.top = parts_around(top_points(p, t.cx, t.cy, t.radius / k_reach), 17, layout.top);
    }
    return e;
}

void ArmPainter::panel(Canvas& c, const Rect& r, const char* title) {
    c.fill_round_rect(r, 8, k_panel_edge);
    c.fill_round_rect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, 7, k_panel);
    platform::HFONT old = c.set_font(m_heading_font);
    text(c, title, {r.left + 14, r.top + 8, r.right - 14, r.top + 28}, platform::DT_LEFT, k_muted);
    c.set_font(old);
}

platform::HBITMAP ArmPainter::background(const Rect& client, const ArmLayout& layout,
                                         const ArmView& view) {
    platform::Size size{client.width(), client.height()};
    const ServoSettings& s = view.model->settings();
    if (m_background && size == m_background_size && view.port == m_background_port &&
        s.min_angle == m_background_settings.min_angle &&
        s.max_angle == m_background_settings.max_angle)
        return m_background;
    platform::delete_bitmap(m_background);
    m_background = platform::create_bitmap(size.cx, size.cy);
    m_background_size = size;
    m_background_port = view.port;
    m_background_settings = s;
    if (std::unique_ptr<Canvas> c = platform::bitmap_canvas(m_background)) {
        c->offset_origin(-client.left, -client.top);
        paint_background(*c, client, layout, view);
    }
    return m_background;
}

void ArmPainter::paint_background(Canvas& c, const Rect& client, const ArmLayout& l,
                                  const ArmView& view) {
    c.fill_rect(client, k_background);
    c.set_bk_mode(platform::BkMode::Transparent);

    // The header: the title and the port; the counts change.
    const Rect& h = l.header;
    platform::HFONT old = c.set_font(m_title_font);
    text(c, "Virtual arm", {h.left + 2, h.top, h.left + 200, h.bottom},
         platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE, k_text);
    c.set_font(old);
    text(c, view.port, {h.left + 140, h.top, l.counts.left, h.bottom},
         platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE |
             platform::DT_END_ELLIPSIS,
         k_muted);

    // The side view: a faint reach circle, the ground, pedestal and
    // turntable.
    panel(c, l.side, "Side");
    SideFrame f = side_frame(l.side);
    c.draw_arc(f.sx, f.sz, k_reach, 180, 360, k_grid, 1);
    c.draw_stroke(l.side.left + 16, f.ground, l.side.right - 16, f.ground, k_panel_edge, 2);
    for (double x = l.side.left + 28; x < l.side.right - 16; x += 24)
        c.draw_stroke(x, f.ground + 2, x - 8, f.ground + 10, k_grid, 1.5);
    c.fill_round_rect({static_cast<int>(f.sx) - 40, static_cast<int>(f.ground) - 18,
                       static_cast<int>(f.sx) + 40, static_cast<int>(f.ground)},
                      4, k_base);
    c.fill_round_rect({static_cast<int>(f.sx) - 14, static_cast<int>(f.sz),
                       static_cast<int>(f.sx) + 14, static_cast<int>(f.ground) - 16},
                      3, k_base);

    // The top view: the base's travel, with a tick every 45 degrees.
    panel(c, l.top, "Top");
    const ServoSettings& s = view.model->settings();
    TopFrame t = top_frame(l.top);
    c.draw_arc(t.cx, t.cy, t.radius, -s.max_angle, -s.min_angle, k_grid, 10);
    for (int deg = 0; deg <= 180; deg += 45) {
        double a = radians(deg);
        c.draw_stroke(t.cx + (t.radius - 9) * std::cos(a), t.cy - (t.radius - 9) * std::sin(a),
                      t.cx + (t.radius + 5) * std::cos(a), t.cy - (t.radius + 5) * std::sin(a),
                      k_panel_edge, 1.5);
    }

    // The servos' names and the tracks of their bars.
    panel(c, l.angles, "Servos");
    for (int i = 0; i < k_servo_count; ++i) {
        AngleRow row = angle_row(l.angles, i);
        char name[32];
        std::snprintf(name, sizeof name, "%c  %s", servo_letter(i), servo_name(i));
        text(c, name, {l.angles.left + 14, row.top, l.angles.left + 120, row.top + 22},
             platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE, k_text);
        c.draw_stroke(row.x0, row.y, row.x1, row.y, k_grid, 6);
    }

    panel(c, l.log, "Received");
}

void ArmPainter::paint(Canvas& c, const Rect& client, const ArmView& view) {
    if (!view.model) {
        c.fill_rect(client, k_background);
        return;
    }
    ArmLayout l = layout(client);
    c.draw_surface(background(client, l, view), client.left, client.top);
    c.set_bk_mode(platform::BkMode::Transparent);
    if (c.rect_visible(l.counts))
        paint_counts(c, l.counts, view);
    // An arm reaching down passes its panel's edge; it is cut off there, as
    // a paint of the panel alone cuts it.
    if (c.rect_visible(l.side)) {
        c.push_clip(l.side);
        paint_side(c, l.side, *view.model);
        c.pop_clip();
    }
    if (c.rect_visible(l.top)) {
        c.push_clip(l.top);
        paint_top(c, l.top, *view.model);
        c.pop_clip();
    }
    for (int i = 0; i < k_servo_count; ++i) {
        if (c.rect_visible(l.angle_rows[static_cast<std::size_t>(i)]))
            paint_angle(c, l.angles, i, *view.model);
    }
    if (c.rect_visible(l.log))
        paint_log(c, l.log, view);
}

void ArmPainter::paint_counts(Canvas& c, const Rect& r, const ArmView& view) {
    char counts[128];
    std::snprintf(counts, sizeof counts, "%llu commands   %llu empty   %llu garbage bytes",
                  static_cast<unsigned long long>(view.counts.commands),
                  static_cast<unsigned long long>(view.counts.empty_commands),
                  static_cast<unsigned long long>(view.counts.garbage_bytes));
    // New with every command: the words keep their pictures, the digits
    // theirs.
    m_texts.draw_characters(c, counts, r, view.counts.garbage_bytes ? k_warning : k_muted,
                            k_background);
}

void ArmPainter::paint_side(Canvas& c, const Rect& r, const ArmModel& model) {
    SideFrame f = side_frame(r);
    // The target's ghost stands still while the arm moves; a frame redraws
    // it only where the arm passes over it.
    if (model.is_moving()) {
        ViewPoints ghost = side_points(pose_of(model, true), f.sx, f.sz);
        if (c.rect_visible(box_around(ghost, 8)))
            draw_pose(c, ghost, true, true);
    }
    draw_pose(c, side_points(pose_of(model, false), f.sx, f.sz), true, false);
}

void ArmPainter::paint_top(Canvas& c, const Rect& r, const ArmModel& model) {
    TopFrame t = top_frame(r);
    double scale = t.radius / k_reach;
    if (model.is_moving()) {
        ViewPoints ghost = top_points(pose_of(model, true), t.cx, t.cy, scale);
        if (c.rect_visible(box_around(ghost, 6)))
            draw_pose(c, ghost, false, true);
    }
    draw_pose(c, top_points(pose_of(model, false), t.cx, t.cy, scale), false, false);
    c.fill_circle(t.cx, t.cy, 14, k_base);
    c.fill_circle(t.cx, t.cy, 5, k_panel);
}

std::array<Rect, 3> ArmPainter::angle_change(const ArmLayout& layout, const ServoSettings& settings,
                                             int servo, double from, double to, double target) {
    AngleRow row = angle_row(layout.angles, servo);
    std::array<Rect, 3> parts{};
    if (from == to)
        return parts;
    // The bar's end and the knob between the two places, the knob's edge
    // and the target's tick included.
    const double a = bar_at(settings, row, from);
    const double b = bar_at(settings, row, to);
    parts[0] = Rect{static_cast<int>(std::floor(std::min(a, b))) - 8, static_cast<int>(row.y) - 8,
                    static_cast<int>(std::ceil(std::max(a, b))) + 8, static_cast<int>(row.y) + 8}
                   .intersect(layout.angle_rows[static_cast<std::size_t>(servo)]);
    if (std::lround(from) != std::lround(to))
        parts[1] = value_box(layout.angles, row);
    if ((from == target) != (to == target))
        parts[2] = target_box(layout.angles, row);
    return parts;
}

void ArmPainter::paint_angle(Canvas& c, const Rect& r, int i, const ArmModel& model) {
    const ServoSettings& s = model.settings();
    AngleRow row = angle_row(r, i);
    double angle = model.angle(i);
    int shown = static_cast<int>(std::lround(angle));
    // The numbers keep their places as they change. The angle, new in
    // nearly every frame, is put together from pictures of its characters.
    platform::HFONT old = c.set_font(m_value_font);
    constexpr UINT k_format =
        platform::DT_RIGHT | platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX;
    const Rect value = value_box(r, row);
    if (c.rect_visible(value))
        m_texts.draw_characters(c, std::to_string(shown) + gbk("°"), value, k_text, k_panel);
    const Rect target = target_box(r, row);
    if (c.rect_visible(target)) {
        if (model.target(i) != angle)
            m_texts.draw(c, gbk("→ ") + std::to_string(model.target(i)) + gbk("°"), target,
                         k_format, k_text, k_panel);
        else
            c.fill_rect(target, k_panel);
    }
    c.set_font(old);
    // The angle as a bar and a knob over the travel, the target as a tick.
    auto at = [&](double v) { return bar_at(s, row, v); };
    c.draw_stroke(row.x0, row.y, at(angle), row.y, k_link_far, 6);
    c.draw_stroke(at(model.target(i)), row.y - 7, at(model.target(i)), row.y + 7, k_muted, 2);
    c.fill_circle(at(angle), row.y, 6, k_link);
}

void ArmPainter::paint_log(Canvas& c, const Rect& r, const ArmView& view) {
    if (!view.log)
        return;
    constexpr int k_line = 18;
    int top = r.top + 34;
    int lines = (r.bottom - 10 - top) / k_line;
    int count = static_cast<int>(view.log->size());
    int first = std::max(0, count - lines);
    platform::HFONT old = c.set_font(m_mono_font);
    if (count == 0)
        text(c, "waiting for commands", {r.left + 14, top, r.right - 14, top + k_line},
             platform::DT_LEFT | platform::DT_SINGLELINE, k_muted);
    for (int i = first; i < count; ++i) {
        const ReceivedCommand& rc = (*view.log)[static_cast<std::size_t>(i)];
        int y = top + (i - first) * k_line;
        std::string command;
        std::string note;
        COLORREF color = k_text;
        if (rc.command.empty) {
            command = std::string(1, servo_letter(rc.command.servo));
            note = "empty";
            color = k_muted;
        } else {
            command = std::to_string(rc.command.value) + servo_letter(rc.command.servo);
            if (rc.effect.clamped) {
                note = gbk("→ ") + std::to_string(rc.effect.target) + " clamped";
                color = k_warning;
            }
        }
        // Every other line on a stripe; the texts' pictures end where the
        // stripe does.
        COLORREF background = k_panel;
        if ((i & 1) == 0) {
            background = k_stripe;
            c.fill_rect({r.left + 6, y - 1, r.right - 6, y + k_line - 1}, background);
        }
        int bottom = y + k_line - 1;
        m_texts.draw(c, format_gap(rc.gap), {r.left + 10, y, r.left + 88, bottom},
                     platform::DT_RIGHT | platform::DT_SINGLELINE | platform::DT_NOPREFIX, k_muted,
                     background);
        m_texts.draw(c, command, {r.left + 100, y, r.left + 164, bottom},
                     platform::DT_LEFT | platform::DT_SINGLELINE | platform::DT_NOPREFIX, color,
                     background);
        if (!note.empty())
            m_texts.draw(c, note, {r.left + 164, y, r.right - 8, bottom},
                         platform::DT_LEFT | platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS |
                             platform::DT_NOPREFIX,
                         color, background);
    }
    c.set_font(old);
}

} // namespace arm
