// Draws the picture the arm controller shows beside its sliders: a
// four-servo arm from the side with its servos named, written as a 24-bit
// bitmap file (bottom-up rows padded to four bytes) that the window's
// picture box stores.
//
// Usage: armpicture <output.bmp>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int Width = 470;
constexpr int Height = 339;

struct Point {
    double x, y;
};

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A link of the arm from a to b, as a rounded bar of the given width.
void link(cairo_t* cr, Point a, Point b, double width, double r, double g, double bl) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    cairo_set_source_rgb(cr, r * 0.75, g * 0.75, bl * 0.75);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_stroke(cr);
    cairo_set_line_width(cr, width - 6);
    cairo_set_source_rgb(cr, r, g, bl);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_stroke(cr);
}

// A servo seen end-on at a joint: a dark hub with a light horn.
void servo(cairo_t* cr, Point at, double size) {
    cairo_set_source_rgb(cr, 0.16, 0.19, 0.25);
    cairo_arc(cr, at.x, at.y, size, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.93, 0.94, 0.96);
    cairo_arc(cr, at.x, at.y, size * 0.45, 0, 2 * M_PI);
    cairo_fill(cr);
}

void label(cairo_t* cr, Point at, Point to, const char* text) {
    cairo_set_source_rgb(cr, 0.45, 0.5, 0.58);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, at.x, at.y);
    cairo_line_to(cr, to.x, to.y);
    cairo_stroke(cr);
    cairo_arc(cr, to.x, to.y, 2.5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 15);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    double x = at.x < to.x ? at.x - extents.x_advance - 6 : at.x + 6;
    cairo_set_source_rgb(cr, 0.2, 0.24, 0.32);
    cairo_move_to(cr, x, at.y + extents.height / 2 - 1);
    cairo_show_text(cr, text);
}

void draw(cairo_t* cr) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, Height);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.97, 0.98, 1.0);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.88, 0.91, 0.95);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    // The table the arm stands on.
    cairo_set_source_rgb(cr, 0.78, 0.81, 0.86);
    cairo_rectangle(cr, 0, 292, Width, Height - 292);
    cairo_fill(cr);

    // Base: a turntable on a box, turned by the base servo.
    rounded_rect(cr, 150, 252, 150, 44, 8);
    cairo_set_source_rgb(cr, 0.22, 0.26, 0.33);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.95, 0.55, 0.15);
    cairo_save(cr);
    cairo_translate(cr, 225, 252);
    cairo_scale(cr, 1.0, 0.28);
    cairo_arc(cr, 0, 0, 62, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);

    const Point shoulder{225, 222};
    const Point elbow{305, 118};
    const Point wrist{392, 150};
    // Upright that carries the shoulder servo.
    link(cr, {225, 252}, shoulder, 34, 0.95, 0.55, 0.15);
    link(cr, shoulder, elbow, 26, 0.28, 0.55, 0.9);
    link(cr, elbow, wrist, 22, 0.28, 0.55, 0.9);

    // Gripper: two fingers opening from the wrist.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgb(cr, 0.22, 0.26, 0.33);
    cairo_set_line_width(cr, 9);
    cairo_move_to(cr, wrist.x, wrist.y);
    cairo_line_to(cr, wrist.x + 36, wrist.y - 16);
    cairo_line_to(cr, wrist.x + 56, wrist.y - 6);
    cairo_move_to(cr, wrist.x, wrist.y);
    cairo_line_to(cr, wrist.x + 30, wrist.y + 24);
    cairo_line_to(cr, wrist.x + 52, wrist.y + 22);
    cairo_stroke(cr);

    servo(cr, shoulder, 17);
    servo(cr, elbow, 15);
    servo(cr, wrist, 13);
    servo(cr, {225, 274}, 11);

    label(cr, {120, 200}, {shoulder.x - 18, shoulder.y - 4}, "Shoulder");
    label(cr, {240, 60}, {elbow.x - 10, elbow.y - 12}, "Elbow");
    label(cr, {405, 62}, {wrist.x + 40, wrist.y - 16}, "Gripper");
    label(cr, {110, 282}, {214, 274}, "Base");
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back((v >> (8 * i)) & 0xFF);
}

std::vector<std::uint8_t> bitmap_file(cairo_surface_t* surface) {
    const int stride = ((Width * 24 + 31) / 32) * 4;
    const std::uint32_t pixels = static_cast<std::uint32_t>(stride) * Height;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 14 + 40 + pixels);
    put32(out, 0);
    put32(out, 14 + 40);
    put32(out, 40);
    put32(out, Width);
    put32(out, Height);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixels);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int source_stride = cairo_image_surface_get_stride(surface);
    for (int y = Height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * source_stride);
        for (int x = 0; x < Width; ++x) {
            out.push_back(row[x] & 0xFF);
            out.push_back((row[x] >> 8) & 0xFF);
            out.push_back((row[x] >> 16) & 0xFF);
        }
        for (int pad = Width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: armpicture <output.bmp>\n");
        return 2;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    std::vector<std::uint8_t> file = bitmap_file(surface);
    cairo_surface_destroy(surface);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "armpicture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
