#include "ButtonPainter.h"

#include "ControlSupport.h"
#include "Controls.h"
#include <platform/window/Painting.h>

#include <cairo.h>
#include <cmath>
#include <string>

namespace platform::controls {

namespace {

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

UINT text_format(std::uint32_t style, bool push) {
    UINT f = 0;
    std::uint32_t h = style & BS_CENTER;
    if (h == BS_LEFT)
        f |= DT_LEFT;
    else if (h == BS_RIGHT)
        f |= DT_RIGHT;
    else if (h == BS_CENTER || (h == 0 && push))
        f |= DT_CENTER;
    std::uint32_t v = style & BS_VCENTER;
    if (v == BS_TOP)
        f |= DT_TOP;
    else if (v == BS_BOTTOM)
        f |= DT_BOTTOM;
    else
        f |= DT_VCENTER;
    if (style & BS_MULTILINE)
        f |= DT_WORDBREAK;
    else
        f |= DT_SINGLELINE;
    return f;
}

// Multi-line text is centred vertically by measuring it first.
void draw_label(Canvas& canvas, const std::string& text, Rect r, UINT format) {
    if (!(format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
        Rect m = r;
        canvas.draw_text(text, m, format | DT_CALCRECT);
        int h = m.height();
        if (format & DT_BOTTOM)
            r.top = r.bottom - h;
        else
            r.top += (r.height() - h) / 2;
    }
    canvas.draw_text(text, r, format);
}

void draw_image_or_text(HWND hwnd, const ButtonState& st, Canvas& canvas, Rect r, UINT format) {
    std::uint32_t style = get_style(hwnd);
    HBITMAP image = (style & BS_ICON) ? st.icon : ((style & BS_BITMAP) ? st.bitmap : nullptr);
    if ((style & (BS_BITMAP | BS_ICON)) && image) {
        int w = cairo_image_surface_get_width(image);
        int h = cairo_image_surface_get_height(image);
        int x = (format & DT_RIGHT)    ? r.right - w
                : (format & DT_CENTER) ? r.left + (r.width() - w) / 2
                                       : r.left;
        int y = (format & DT_BOTTOM)    ? r.bottom - h
                : (format & DT_VCENTER) ? r.top + (r.height() - h) / 2
                                        : r.top;
        canvas.draw_surface(image, x, y);
        return;
    }
    draw_label(canvas, get_window_text(hwnd), r, format);
}

void paint_push(HWND hwnd, const ButtonState& st, Canvas& canvas, const Rect& client,
                bool is_default) {
    bool enabled = is_window_enabled(hwnd);
    bool pressed = st.pushed || (st.check == BST_CHECKED && (get_style(hwnd) & BS_PUSHLIKE));
    COLORREF parent_bg = query_colors(hwnd, WM_CTLCOLORBTN, canvas, colors::face);
    canvas.fill_rect(client, parent_bg);
    COLORREF face = !enabled  ? colors::face_disabled
                    : pressed ? colors::face_pressed
                    : st.hot  ? colors::face_hot
                              : colors::face;
    COLORREF edge = !enabled                                          ? colors::group_line
                    : (pressed || st.hot || is_default || st.focused) ? colors::border_hot
                                                                      : colors::border;
    cairo_t* cr = canvas.cairo();
    rounded_rect(cr, client.left + 0.5, client.top + 0.5, client.width() - 1, client.height() - 1,
                 3);
    set_source_color(cr, face);
    cairo_fill_preserve(cr);
    set_source_color(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (is_default && enabled) {
        rounded_rect(cr, client.left + 1.5, client.top + 1.5, client.width() - 3,
                     client.height() - 3, 2);
        cairo_stroke(cr);
    }
    Rect text = {client.left + 4, client.top + 2, client.right - 4, client.bottom - 2};
    if (pressed)
        text = text.offset(1, 1);
    canvas.set_bk_mode(BkMode::Transparent);
    canvas.set_text_color(enabled ? colors::text : colors::text_disabled);
    draw_image_or_text(hwnd, st, canvas, text, text_format(get_style(hwnd), true));
    if (st.focused && enabled)
        canvas.draw_focus_rect(
            {client.left + 3, client.top + 3, client.right - 3, client.bottom - 3});
}

void paint_check_or_radio(HWND hwnd, const ButtonState& st, Canvas& canvas, const Rect& client,
                          bool radio) {
    bool enabled = is_window_enabled(hwnd);
    COLORREF bg = query_colors(hwnd, WM_CTLCOLORSTATIC, canvas, colors::face);
    COLORREF text_color = enabled ? canvas.text_color() : colors::text_disabled;
    canvas.fill_rect(client, bg);
    std::uint32_t style = get_style(hwnd);
    bool left_text = (style & BS_LEFTTEXT) != 0;
    const int box = 13;
    int by = client.top + (client.height() - box) / 2;
    int bx = left_text ? client.right - box : client.left;
    cairo_t* cr = canvas.cairo();
    COLORREF edge = !enabled                ? colors::text_disabled
                    : (st.hot || st.pushed) ? colors::border_hot
                                            : rgb(0x33, 0x33, 0x33);
    COLORREF fill = st.pushed ? colors::face_pressed : colors::window;
    cairo_set_line_width(cr, 1);
    if (radio) {
        cairo_arc(cr, bx + box / 2.0, by + box / 2.0, box / 2.0 - 0.5, 0, 2 * M_PI);
        set_source_color(cr, fill);
        cairo_fill_preserve(cr);
        set_source_color(cr, edge);
        cairo_stroke(cr);
        if (st.check) {
            cairo_arc(cr, bx + box / 2.0, by + box / 2.0, 3.5, 0, 2 * M_PI);
            set_source_color(cr, enabled ? colors::accent : colors::text_disabled);
            cairo_fill(cr);
        }
    } else {
        cairo_rectangle(cr, bx + 0.5, by + 0.5, box - 1, box - 1);
        set_source_color(cr, fill);
        cairo_fill_preserve(cr);
        set_source_color(cr, edge);
        cairo_stroke(cr);
        set_source_color(cr, enabled ? colors::accent : colors::text_disabled);
        if (st.check == BST_CHECKED) {
            cairo_set_line_width(cr, 2);
            cairo_move_to(cr, bx + 3, by + 6.5);
            cairo_line_to(cr, bx + 5.5, by + 9);
            cairo_line_to(cr, bx + 10, by + 3.5);
            cairo_stroke(cr);
        } else if (st.check == BST_INDETERMINATE) {
            cairo_rectangle(cr, bx + 3, by + 3, box - 6, box - 6);
            cairo_fill(cr);
        }
    }
    Rect text = left_text ? Rect{client.left, client.top, bx - 4, client.bottom}
                          : Rect{bx + box + 4, client.top, client.right, client.bottom};
    canvas.set_bk_mode(BkMode::Transparent);
    canvas.set_text_color(text_color);
    UINT format = text_format(style, false);
    draw_image_or_text(hwnd, st, canvas, text, format);
    if (st.focused) {
        Rect m = text;
        canvas.draw_text(get_window_text(hwnd), m,
                         (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        int h = m.height();
        int top = text.top + (text.height() - h) / 2;
        canvas.draw_focus_rect(
            {text.left - 1, top - 1, std::min(text.right, m.right) + 1, top + h + 1});
    }
}

void paint_group(HWND hwnd, Canvas& canvas, const Rect& client) {
    bool enabled = is_window_enabled(hwnd);
    COLORREF bg = query_colors(hwnd, WM_CTLCOLORSTATIC, canvas, colors::face);
    COLORREF text_color = enabled ? canvas.text_color() : colors::text_disabled;
    std::string text = get_window_text(hwnd);
    Size s = canvas.measure_text(text);
    int line_y = client.top + s.cy / 2;
    // The frame goes round the inside; the caption interrupts its top edge.
    cairo_t* cr = canvas.cairo();
    cairo_save(cr);
    if (!text.empty()) {
        cairo_rectangle(cr, client.left, client.top, client.width(), client.height());
        cairo_rectangle(cr, client.left + 6, client.top, s.cx + 4, s.cy);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr);
    }
    set_source_color(cr, rgb(0xDC, 0xDC, 0xDC));
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, client.left + 0.5, line_y + 0.5, client.width() - 1,
                    client.bottom - line_y - 1);
    cairo_stroke(cr);
    cairo_restore(cr);
    if (!text.empty()) {
        Rect tr{client.left + 8, client.top, client.left + 8 + s.cx, client.top + s.cy};
        canvas.fill_rect(tr, bg);
        canvas.set_bk_mode(BkMode::Transparent);
        canvas.set_text_color(text_color);
        canvas.draw_text(text, tr, DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
}

void paint_owner_draw(HWND hwnd, const ButtonState& st, Canvas& canvas, const Rect& client) {
    DrawItemStruct dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(get_dlg_ctrl_id(hwnd));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (st.pushed ? ODS_SELECTED : 0) | (st.focused ? ODS_FOCUS : 0) |
                    (is_window_enabled(hwnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = &canvas;
    dis.rcItem = client;
    send_message(get_parent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

} // namespace

void paint_button(HWND hwnd, const ButtonState& st, Canvas& canvas) {
    Rect client;
    get_client_rect(hwnd, client);
    canvas.set_font(control_font(hwnd));
    std::uint32_t style = get_style(hwnd);
    switch (style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON:
        paint_push(hwnd, st, canvas, client, true);
        break;
    case BS_GROUPBOX:
        paint_group(hwnd, canvas, client);
        break;
    case BS_OWNERDRAW:
        paint_owner_draw(hwnd, st, canvas, client);
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        if (style & BS_PUSHLIKE)
            paint_push(hwnd, st, canvas, client, false);
        else
            paint_check_or_radio(hwnd, st, canvas, client, false);
        break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        if (style & BS_PUSHLIKE)
            paint_push(hwnd, st, canvas, client, false);
        else
            paint_check_or_radio(hwnd, st, canvas, client, true);
        break;
    default:
        paint_push(hwnd, st, canvas, client, false);
        break;
    }
}

} // namespace platform::controls
