// Draws the picture the arm controller shows beside its sliders: a
// four-servo arm from the side with its servos named, written as a 24-bit
// bitmap file (bottom-up rows padded to four bytes) that the window's
// picture box stores.
//
// Usage: armpicture <output.bmp>

#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>
#include <platform/drawing/Font.h>
#include <platform/window/Painting.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using platform::COLORREF;
using platform::PointF;
using platform::rgb;

constexpr int Width = 470;
constexpr int Height = 339;

constexpr COLORREF SkyTop = rgb(247, 250, 255);
constexpr COLORREF SkyBottom = rgb(224, 232, 242);
constexpr COLORREF Table = rgb(199, 207, 220);
constexpr COLORREF Dark = rgb(56, 66, 84);
constexpr COLORREF Orange = rgb(243, 140, 38);
constexpr COLORREF OrangeEdge = rgb(182, 105, 28);
constexpr COLORREF Blue = rgb(71, 140, 230);
constexpr COLORREF BlueEdge = rgb(53, 105, 172);
constexpr COLORREF Hub = rgb(40, 48, 63);
constexpr COLORREF Horn = rgb(238, 240, 245);
constexpr COLORREF Leader = rgb(115, 127, 148);
constexpr COLORREF LabelText = rgb(51, 61, 81);

// A link of the arm from a to b, as a rounded bar of the given width with a
// darker edge.
void link(platform::Canvas& c, PointF a, PointF b, double width, COLORREF fill, COLORREF edge) {
    const PointF bar[] = {a, b};
    c.draw_polyline(bar, 2, edge, width, platform::LineCap::Round);
    c.draw_polyline(bar, 2, fill, width - 6, platform::LineCap::Round);
}

// A servo seen end-on at a joint: a dark hub with a light horn.
void servo(platform::Canvas& c, PointF at, double size) {
    c.fill_circle(at.x, at.y, size, Hub);
    c.fill_circle(at.x, at.y, size * 0.45, Horn);
}

// A name with a leader line from beside it to the part it names.
void label(platform::Canvas& c, PointF at, PointF to, const char* text) {
    const PointF leader[] = {at, to};
    c.draw_polyline(leader, 2, Leader, 1.2);
    c.fill_circle(to.x, to.y, 2.5, Leader);
    platform::Size size = c.measure_text(text);
    int x = static_cast<int>(at.x < to.x ? at.x - size.cx - 6 : at.x + 6);
    int y = static_cast<int>(at.y) - size.cy / 2 - 1;
    c.text_out(x, y, text);
}

void draw(platform::Canvas& c) {
    c.fill_gradient({0, 0, Width, Height}, SkyTop, SkyBottom);

    // The table the arm stands on.
    c.fill_rect({0, 292, Width, Height}, Table);

    // Base: a turntable on a box, turned by the base servo.
    c.fill_round_rect({150, 252, 300, 296}, 8, Dark);
    c.fill_ellipse({163, 235, 287, 269}, Orange);

    const PointF shoulder{225, 222};
    const PointF elbow{305, 118};
    const PointF wrist{392, 150};
    // Upright that carries the shoulder servo.
    link(c, {225, 252}, shoulder, 34, Orange, OrangeEdge);
    link(c, shoulder, elbow, 26, Blue, BlueEdge);
    link(c, elbow, wrist, 22, Blue, BlueEdge);

    // Gripper: two fingers opening from the wrist.
    const PointF upper[] = {wrist, {wrist.x + 36, wrist.y - 16}, {wrist.x + 56, wrist.y - 6}};
    const PointF lower[] = {wrist, {wrist.x + 30, wrist.y + 24}, {wrist.x + 52, wrist.y + 22}};
    c.draw_polyline(upper, 3, Dark, 9, platform::LineCap::Round);
    c.draw_polyline(lower, 3, Dark, 9, platform::LineCap::Round);

    servo(c, shoulder, 17);
    servo(c, elbow, 15);
    servo(c, wrist, 13);
    servo(c, {225, 274}, 11);

    platform::LogFont lf;
    lf.height = -15;
    lf.weight = platform::FW_BOLD;
    std::strcpy(lf.face_name, "DejaVu Sans");
    platform::HFONT font = platform::create_font_indirect(lf);
    c.set_font(font);
    c.set_bk_mode(platform::BkMode::Transparent);
    c.set_text_color(LabelText);
    label(c, {120, 200}, {shoulder.x - 18, shoulder.y - 4}, "Shoulder");
    label(c, {240, 60}, {elbow.x - 10, elbow.y - 12}, "Elbow");
    label(c, {405, 62}, {wrist.x + 40, wrist.y - 16}, "Gripper");
    label(c, {110, 282}, {214, 274}, "Base");
    c.set_font(nullptr);
    platform::delete_font(font);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: armpicture <output.bmp>\n");
        return 2;
    }
    platform::HBITMAP picture = platform::create_bitmap(Width, Height);
    if (std::unique_ptr<platform::Canvas> canvas = platform::bitmap_canvas(picture))
        draw(*canvas);
    std::vector<std::uint8_t> file = platform::bitmap_file(picture);
    platform::delete_bitmap(picture);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (file.empty() || !f || std::fwrite(file.data(), 1, file.size(), f) != file.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "armpicture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
