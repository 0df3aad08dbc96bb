#include "InterfaceStylePainter.h"

#include <platform/Encoding.h>
#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cairo.h>
#include <string>

namespace commands {

using platform::COLORREF;
using platform::HWND;
using platform::Rect;
using platform::rgb;

namespace {

// The longest caption drawn, in bytes.
constexpr std::size_t MaxCaption = 255;

// clang-format off
const SchemeColors schemes[3] = {
    // Scheme 1: blue.
    {rgb(123, 158, 189), rgb(0, 60, 115),
     {{{rgb(209, 217, 230), rgb(238, 242, 248)},   // pressed
       {rgb(255, 255, 255), rgb(253, 216, 137)},   // mouse over
       {rgb(226, 232, 240), rgb(246, 248, 251)},   // checked
       {rgb(255, 255, 255), rgb(198, 222, 247)},   // focused or default
       {rgb(255, 255, 255), rgb(226, 232, 240)}}}}, // normal
    // Scheme 2: olive green.
    {rgb(164, 185, 127), rgb(55, 98, 6),
     {{{rgb(214, 220, 196), rgb(241, 243, 233)},
       {rgb(255, 255, 255), rgb(232, 208, 120)},
       {rgb(228, 232, 214), rgb(246, 247, 240)},
       {rgb(255, 255, 255), rgb(214, 228, 180)},
       {rgb(255, 255, 255), rgb(230, 234, 216)}}}},
    // Scheme 3: silver.
    {rgb(198, 197, 215), rgb(0, 60, 116),
     {{{rgb(210, 209, 220), rgb(242, 242, 246)},
       {rgb(255, 255, 255), rgb(250, 214, 140)},
       {rgb(226, 225, 233), rgb(247, 247, 250)},
       {rgb(255, 255, 255), rgb(212, 216, 238)},
       {rgb(255, 255, 255), rgb(222, 221, 230)}}}},
};
// clang-format on

void set_pixel(platform::Canvas& canvas, int x, int y, COLORREF color) {
    canvas.fill_rect({x, y, x + 1, y + 1}, color);
}

// The background the parent asks for with a WM_CTLCOLOR* answer; it may set
// the canvas's text colour as well.
COLORREF parent_background(HWND hwnd, platform::UINT message, platform::Canvas& canvas) {
    canvas.set_text_color(rgb(0, 0, 0));
    canvas.set_bk_color(ButtonFace);
    HWND parent = platform::get_parent(hwnd);
    if (!parent)
        return ButtonFace;
    auto answer =
        platform::send_message(parent, message, reinterpret_cast<platform::WPARAM>(&canvas),
                               reinterpret_cast<platform::LPARAM>(hwnd));
    std::uint32_t color;
    if (platform::brush_color(reinterpret_cast<platform::HBRUSH>(answer), color))
        return color;
    return ButtonFace;
}

void use_window_font(HWND hwnd, platform::Canvas& canvas) {
    if (auto font =
            reinterpret_cast<platform::HFONT>(platform::send_message(hwnd, platform::WM_GETFONT)))
        canvas.set_font(font);
}

std::string caption_of(HWND hwnd) {
    std::string text = platform::get_window_text(hwnd);
    if (text.size() <= MaxCaption)
        return text;
    std::size_t last = platform::gbk_char_start(text, MaxCaption - 1);
    std::size_t cut = last + platform::gbk_char_length(text, last) > MaxCaption ? last : MaxCaption;
    text.resize(cut);
    return text;
}

platform::UINT push_text_format(std::uint32_t style) {
    using namespace platform;
    UINT format = DT_NOPREFIX;
    switch (style & BS_CENTER) {
    case BS_LEFT:
        format |= DT_LEFT;
        break;
    case BS_RIGHT:
        format |= DT_RIGHT;
        break;
    default:
        format |= DT_CENTER;
        break;
    }
    switch (style & BS_VCENTER) {
    case BS_TOP:
        format |= DT_TOP;
        break;
    case BS_BOTTOM:
        format |= DT_BOTTOM;
        break;
    default:
        format |= DT_VCENTER;
        break;
    }
    return format | ((style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
}

void draw_button_text(platform::Canvas& canvas, const std::string& text, Rect r,
                      platform::UINT format) {
    // Word-wrapped text is centred vertically by measuring it first.
    if (!(format & platform::DT_SINGLELINE) &&
        (format & (platform::DT_VCENTER | platform::DT_BOTTOM))) {
        Rect measured = r;
        canvas.draw_text(text, measured, format | platform::DT_CALCRECT);
        if (format & platform::DT_BOTTOM)
            r.top = r.bottom - measured.height();
        else
            r.top += (r.height() - measured.height()) / 2;
    }
    canvas.draw_text(text, r, format);
}

void fill_shade(platform::Canvas& canvas, const Rect& r, FaceShade shade) {
    cairo_t* cr = canvas.cairo();
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, r.top, 0, r.bottom);
    cairo_pattern_add_color_stop_rgb(gradient, 0, platform::get_r(shade.top) / 255.0,
                                     platform::get_g(shade.top) / 255.0,
                                     platform::get_b(shade.top) / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, platform::get_r(shade.bottom) / 255.0,
                                     platform::get_g(shade.bottom) / 255.0,
                                     platform::get_b(shade.bottom) / 255.0);
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(gradient);
}

} // namespace

COLORREF darken(COLORREF color, int amount) {
    auto less = [amount](int component) { return std::max(0, component - amount); };
    return rgb(less(platform::get_r(color)), less(platform::get_g(color)),
               less(platform::get_b(color)));
}

const SchemeColors& scheme_colors(int scheme) {
    return schemes[(scheme >= 1 && scheme <= 3 ? scheme : 3) - 1];
}

FaceState face_state(const PushButtonLook& look) {
    if (look.pressed)
        return FaceState::Pressed;
    if (look.hot)
        return FaceState::Hot;
    if (look.checked)
        return FaceState::Checked;
    if (look.focused || look.is_default)
        return FaceState::FocusedOrDefault;
    return FaceState::Normal;
}

void paint_push_button(HWND hwnd, platform::Canvas& canvas, const PushButtonLook& look,
                       int scheme) {
    Rect client;
    platform::get_client_rect(hwnd, client);
    const int w = client.width();
    const int h = client.height();
    if (w < 6 || h < 6) {
        canvas.fill_rect(client, parent_background(hwnd, platform::WM_CTLCOLORBTN, canvas));
        return;
    }
    const SchemeColors& colors = scheme_colors(scheme);
    canvas.fill_rect(client, parent_background(hwnd, platform::WM_CTLCOLORBTN, canvas));
    canvas.frame_rect(client, ButtonFace);

    Rect border{1, 1, w - 1, h - 1};
    COLORREF border_color = look.disabled ? darken(ButtonFace, 32) : colors.button_border;
    canvas.frame_rect(border, border_color);

    Rect face{2, 2, w - 2, h - 2};
    if (look.disabled)
        canvas.fill_rect(face, DisabledButtonFace);
    else
        fill_shade(canvas, face, colors.faces[static_cast<std::size_t>(face_state(look))]);

    // Each corner of the border is cut off and bevelled inwards.
    COLORREF corner = look.disabled ? darken(ButtonFace, 21) : ButtonFace;
    COLORREF bevel = look.disabled ? darken(ButtonFace, 17) : border_color;
    const int xs[2] = {1, w - 2};
    const int ys[2] = {1, h - 2};
    for (int x : xs) {
        for (int y : ys) {
            set_pixel(canvas, x, y, corner);
            set_pixel(canvas, x == 1 ? 2 : w - 3, y == 1 ? 2 : h - 3, bevel);
        }
    }

    if (look.focused)
        canvas.draw_focus_rect({face.left + 1, face.top + 1, face.right - 1, face.bottom - 1});

    Rect text_rect{4, 3, w - 4, h - 3};
    if (look.pressed)
        text_rect = text_rect.offset(1, 1);
    use_window_font(hwnd, canvas);
    canvas.set_bk_mode(platform::BkMode::Transparent);
    canvas.set_text_color(look.disabled || look.indeterminate ? DisabledButtonText : rgb(0, 0, 0));
    draw_button_text(canvas, caption_of(hwnd), text_rect,
                     push_text_format(platform::get_style(hwnd)));
}

void paint_group_box(HWND hwnd, platform::Canvas& canvas) {
    Rect client;
    platform::get_client_rect(hwnd, client);
    COLORREF background = parent_background(hwnd, platform::WM_CTLCOLORSTATIC, canvas);
    COLORREF text_color = canvas.text_color();
    use_window_font(hwnd, canvas);
    std::string caption = caption_of(hwnd);
    platform::Size size = canvas.measure_text(caption.empty() ? std::string("A") : caption);
    if (caption.empty())
        size.cx = 0;

    Rect frame{client.left, client.top + size.cy / 2, client.right, client.bottom};
    if (frame.width() >= 3 && frame.height() >= 3) {
        canvas.frame_rect(frame, GroupBoxFrame);
        // Rounded off: the corner pixels take the background.
        set_pixel(canvas, frame.left, frame.top, background);
        set_pixel(canvas, frame.right - 1, frame.top, background);
        set_pixel(canvas, frame.left, frame.bottom - 1, background);
        set_pixel(canvas, frame.right - 1, frame.bottom - 1, background);
    }
    if (caption.empty())
        return;

    std::uint32_t style = platform::get_style(hwnd);
    int left = client.left + 10;
    if ((style & platform::BS_CENTER) == platform::BS_CENTER)
        left = client.left + (client.width() - size.cx) / 2;
    else if ((style & platform::BS_CENTER) == platform::BS_RIGHT)
        left = client.right - 10 - size.cx;
    Rect caption_rect{left, client.top, left + size.cx, client.top + size.cy};
    canvas.fill_rect(caption_rect, background);
    canvas.set_bk_mode(platform::BkMode::Transparent);
    canvas.set_text_color(text_color);
    canvas.draw_text(caption, caption_rect,
                     platform::DT_SINGLELINE | platform::DT_LEFT | platform::DT_TOP |
                         platform::DT_NOPREFIX);
}

void paint_edit_border(HWND hwnd, int scheme) {
    std::uint32_t style = platform::get_style(hwnd);
    std::uint32_t ex_style = platform::get_ex_style(hwnd);
    HWND parent = platform::get_parent(hwnd);
    if (!parent)
        return;
    platform::FrameInsets insets = platform::frame_insets(style, ex_style, false);
    if (insets.left <= 0)
        return;
    Rect outer;
    if (!platform::get_window_placement_rect(hwnd, outer))
        return;
    auto canvas = platform::get_canvas(parent);
    if (!canvas)
        return;
    bool disabled = !platform::is_window_enabled(hwnd);
    bool read_only = (style & platform::ES_READONLY) != 0;
    COLORREF border = disabled ? darken(ButtonFace, 32) : scheme_colors(scheme).control_border;
    COLORREF inner = disabled || read_only ? ButtonFace : WindowColor;
    canvas->frame_rect(outer, border);
    Rect ring{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
    if (insets.left > 1)
        canvas->frame_rect(ring, inner, insets.left - 1);
}

void paint_list_border(HWND hwnd, platform::Canvas& canvas, int scheme) {
    Rect client;
    platform::get_client_rect(hwnd, client);
    bool disabled = !platform::is_window_enabled(hwnd);
    canvas.frame_rect(client,
                      disabled ? darken(ButtonFace, 32) : scheme_colors(scheme).control_border);
}

} // namespace commands
