#include "ArmPainter.h"

#include "platform/Encoding.h"
#include "platform/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace arm {

using platform::Canvas;
using platform::COLORREF;
using platform::Rect;
using platform::rgb;

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

// Draws the side view of one pose with its shoulder at (sx, sz).
void draw_side_pose(Canvas& c, const Pose& p, double sx, double sz, bool ghost) {
    double across = std::sin(p.base); // the arm's plane seen from the side
    auto X = [&](double x) { return sx + x * across; };
    auto Z = [&](double z) { return sz - z; };
    double ex = X(p.elbow_x), ez = Z(p.elbow_z);
    double wx = X(p.wrist_x), wz = Z(p.wrist_z);
    COLORREF link = ghost ? k_ghost : k_link;
    COLORREF grip = ghost ? k_ghost : k_gripper;
    for (int side : {-1, 1}) {
        double angle = p.fore_angle + side * p.jaw;
        double tx = X(p.wrist_x + k_grip * std::cos(angle));
        double tz = Z(p.wrist_z + k_grip * std::sin(angle));
        c.draw_stroke(wx, wz, tx, tz, grip, ghost ? 4 : 5);
    }
    c.draw_stroke(ex, ez, wx, wz, ghost ? k_ghost : k_link_far, ghost ? 9 : 11);
    c.draw_stroke(sx, sz, ex, ez, link, ghost ? 12 : 14);
    if (ghost)
        return;
    c.fill_circle(sx, sz, 9, k_joint);
    c.fill_circle(sx, sz, 3.5, k_panel);
    c.fill_circle(ex, ez, 7, k_joint);
    c.fill_circle(ex, ez, 2.5, k_panel);
    c.fill_circle(wx, wz, 5, k_joint);
}

void draw_top_pose(Canvas& c, const Pose& p, double cx, double cy, double scale, bool ghost) {
    double ux = std::cos(p.base), uy = -std::sin(p.base);
    auto at = [&](double r, double* x, double* y) {
        *x = cx + r * scale * ux;
        *y = cy + r * scale * uy;
    };
    double ex, ey, wx, wy;
    at(p.elbow_x, &ex, &ey);
    at(p.wrist_x, &wx, &wy);
    // Seen from above the gripper points along the forearm's horizontal
    // part; it shortens as the forearm tips down.
    double ahead = std::cos(p.fore_angle);
    double grip = k_grip * scale * std::max(std::fabs(ahead), 0.35) * (ahead < 0 ? -1 : 1);
    COLORREF link = ghost ? k_ghost : k_link;
    for (int side : {-1, 1}) {
        double a = p.base + side * p.jaw;
        c.draw_stroke(wx, wy, wx + grip * std::cos(a), wy - grip * std::sin(a),
                      ghost ? k_ghost : k_gripper, ghost ? 3 : 4);
    }
    c.draw_stroke(ex, ey, wx, wy, ghost ? k_ghost : k_link_far, ghost ? 7 : 9);
    c.draw_stroke(cx, cy, ex, ey, link, ghost ? 9 : 11);
    if (ghost)
        return;
    c.fill_circle(ex, ey, 5, k_joint);
    c.fill_circle(wx, wy, 4, k_joint);
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
    for (platform::HFONT f : {m_title_font, m_heading_font, m_value_font, m_mono_font})
        platform::delete_font(f);
}

void ArmPainter::panel(Canvas& c, const Rect& r, const char* title) {
    c.fill_round_rect(r, 8, k_panel_edge);
    c.fill_round_rect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, 7, k_panel);
    platform::HFONT old = c.set_font(m_heading_font);
    text(c, title, {r.left + 14, r.top + 8, r.right - 14, r.top + 28}, platform::DT_LEFT, k_muted);
    c.set_font(old);
}

void ArmPainter::paint(Canvas& c, const Rect& client, const ArmView& view) {
    c.fill_rect(client, k_background);
    c.set_bk_mode(platform::BkMode::Transparent);
    if (!view.model)
        return;
    int right = client.right - 12;
    int log_left = right - 290;
    int bottom = client.bottom - 12;
    paint_header(c, {12, 0, right, 46}, view);
    Rect side{12, 52, log_left - 12, 52 + 300};
    paint_side(c, side, *view.model);
    int middle = side.left + (side.right - side.left) * 47 / 100;
    paint_top(c, {side.left, side.bottom + 10, middle - 5, bottom}, *view.model);
    paint_angles(c, {middle + 5, side.bottom + 10, side.right, bottom}, *view.model);
    paint_log(c, {log_left, 52, right, bottom}, view);
}

void ArmPainter::paint_header(Canvas& c, const Rect& r, const ArmView& view) {
    platform::HFONT old = c.set_font(m_title_font);
    text(c, "Virtual arm", {r.left + 2, r.top, r.left + 200, r.bottom},
         platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE, k_text);
    c.set_font(old);
    text(c, view.port, {r.left + 140, r.top, r.right - 330, r.bottom},
         platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE |
             platform::DT_END_ELLIPSIS,
         k_muted);
    char counts[128];
    std::snprintf(counts, sizeof counts, "%llu commands   %llu empty   %llu garbage bytes",
                  static_cast<unsigned long long>(view.counts.commands),
                  static_cast<unsigned long long>(view.counts.empty_commands),
                  static_cast<unsigned long long>(view.counts.garbage_bytes));
    text(c, counts, {r.right - 330, r.top, r.right, r.bottom},
         platform::DT_RIGHT | platform::DT_VCENTER | platform::DT_SINGLELINE,
         view.counts.garbage_bytes ? k_warning : k_muted);
}

void ArmPainter::paint_side(Canvas& c, const Rect& r, const ArmModel& model) {
    panel(c, r, "Side");
    double ground = r.bottom - 34;
    double sx = r.left + (r.right - r.left) / 2.0;
    double sz = ground - 54;
    // A faint reach circle and the ground.
    c.draw_arc(sx, sz, k_reach, 180, 360, k_grid, 1);
    c.draw_stroke(r.left + 16, ground, r.right - 16, ground, k_panel_edge, 2);
    for (double x = r.left + 28; x < r.right - 16; x += 24)
        c.draw_stroke(x, ground + 2, x - 8, ground + 10, k_grid, 1.5);
    // Pedestal and turntable.
    c.fill_round_rect({static_cast<int>(sx) - 40, static_cast<int>(ground) - 18,
                       static_cast<int>(sx) + 40, static_cast<int>(ground)},
                      4, k_base);
    c.fill_round_rect({static_cast<int>(sx) - 14, static_cast<int>(sz), static_cast<int>(sx) + 14,
                       static_cast<int>(ground) - 16},
                      3, k_base);
    if (model.is_moving())
        draw_side_pose(c, pose_of(model, true), sx, sz, true);
    draw_side_pose(c, pose_of(model, false), sx, sz, false);
}

void ArmPainter::paint_top(Canvas& c, const Rect& r, const ArmModel& model) {
    panel(c, r, "Top");
    double cx = r.left + (r.right - r.left) / 2.0;
    double cy = r.bottom - 30;
    double radius = std::min((r.right - r.left) / 2.0 - 22, static_cast<double>(cy - r.top - 36));
    double scale = radius / k_reach;
    const ServoSettings& s = model.settings();
    // The base's travel, with a tick every 45 degrees.
    c.draw_arc(cx, cy, radius, -s.max_angle, -s.min_angle, k_grid, 10);
    for (int deg = 0; deg <= 180; deg += 45) {
        double a = radians(deg);
        c.draw_stroke(cx + (radius - 9) * std::cos(a), cy - (radius - 9) * std::sin(a),
                      cx + (radius + 5) * std::cos(a), cy - (radius + 5) * std::sin(a),
                      k_panel_edge, 1.5);
    }
    if (model.is_moving())
        draw_top_pose(c, pose_of(model, true), cx, cy, scale, true);
    draw_top_pose(c, pose_of(model, false), cx, cy, scale, false);
    c.fill_circle(cx, cy, 14, k_base);
    c.fill_circle(cx, cy, 5, k_panel);
}

void ArmPainter::paint_angles(Canvas& c, const Rect& r, const ArmModel& model) {
    panel(c, r, "Servos");
    const ServoSettings& s = model.settings();
    int row_height = (r.bottom - r.top - 34) / k_servo_count;
    for (int i = 0; i < k_servo_count; ++i) {
        int top = r.top + 32 + i * row_height;
        Rect label{r.left + 14, top, r.left + 120, top + 22};
        char name[32];
        std::snprintf(name, sizeof name, "%c  %s", servo_letter(i), servo_name(i));
        text(c, name, label, platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE,
             k_text);
        double angle = model.angle(i);
        int shown = static_cast<int>(std::lround(angle));
        std::string value = std::to_string(shown) + gbk("°");
        if (model.target(i) != angle)
            value = gbk("→ ") + std::to_string(model.target(i)) + gbk("°   ") + value;
        platform::HFONT old = c.set_font(m_value_font);
        text(c, value, {r.left + 110, top - 4, r.right - 14, top + 24},
             platform::DT_RIGHT | platform::DT_VCENTER | platform::DT_SINGLELINE, k_text);
        c.set_font(old);
        // The travel as a bar, the angle as a knob, the target as a tick.
        double x0 = r.left + 16, x1 = r.right - 16, y = top + 32;
        double span = std::max(1, s.max_angle - s.min_angle);
        auto at = [&](double v) { return x0 + (v - s.min_angle) / span * (x1 - x0); };
        c.draw_stroke(x0, y, x1, y, k_grid, 6);
        c.draw_stroke(x0, y, at(angle), y, k_link_far, 6);
        c.draw_stroke(at(model.target(i)), y - 7, at(model.target(i)), y + 7, k_muted, 2);
        c.fill_circle(at(angle), y, 6, k_link);
    }
}

void ArmPainter::paint_log(Canvas& c, const Rect& r, const ArmView& view) {
    panel(c, r, "Received");
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
        if ((i & 1) == 0)
            c.fill_rect({r.left + 6, y - 1, r.right - 6, y + k_line - 1}, rgb(0xF6, 0xF8, 0xFA));
        text(c, format_gap(rc.gap), {r.left + 10, y, r.left + 88, y + k_line},
             platform::DT_RIGHT | platform::DT_SINGLELINE, k_muted);
        text(c, command, {r.left + 100, y, r.left + 170, y + k_line},
             platform::DT_LEFT | platform::DT_SINGLELINE, color);
        text(c, note, {r.left + 164, y, r.right - 8, y + k_line},
             platform::DT_LEFT | platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS, color);
    }
    c.set_font(old);
}

} // namespace arm
