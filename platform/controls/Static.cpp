// "STATIC": text or a bitmap, in the colours the parent gives it.

#include "ControlAccess.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include <platform/drawing/Bitmap.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <utility>

namespace platform::controls {

namespace {

struct StaticState {
    HBITMAP image = nullptr; // SS_BITMAP and SS_ICON
};

std::uint32_t kind_of(HWND hwnd) {
    return get_style(hwnd) & SS_TYPEMASK;
}

void paint_image(HWND hwnd, HBITMAP image, Canvas& canvas, const Rect& client) {
    if (!image)
        return;
    int w = bitmap_width(image);
    int h = bitmap_height(image);
    if (get_style(hwnd) & SS_CENTERIMAGE)
        canvas.draw_surface(image, (client.width() - w) / 2, (client.height() - h) / 2);
    else
        canvas.draw_surface(image, 0, 0);
}

UINT text_format(std::uint32_t style) {
    UINT f = 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        f = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        f = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        f = DT_LEFT | DT_SINGLELINE;
        break;
    default:
        f = DT_LEFT | DT_WORDBREAK;
        break;
    }
    if (style & SS_NOPREFIX)
        f |= DT_NOPREFIX;
    if (style & SS_ENDELLIPSIS)
        f = (f & ~DT_WORDBREAK) | DT_SINGLELINE | DT_END_ELLIPSIS;
    if ((style & SS_CENTERIMAGE) && (f & DT_SINGLELINE))
        f |= DT_VCENTER;
    return f;
}

void on_paint(HWND hwnd, const StaticState& st) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(hwnd, ps);
    if (canvas) {
        Rect client;
        get_client_rect(hwnd, client);
        canvas->set_font(control_font(hwnd));
        COLORREF bg = query_colors(hwnd, WM_CTLCOLORSTATIC, *canvas, colors::face);
        std::uint32_t kind = kind_of(hwnd);
        if (kind == SS_BLACKRECT) {
            canvas->fill_rect(client, 0);
        } else {
            canvas->fill_rect(client, bg);
            if (kind == SS_BITMAP || kind == SS_ICON) {
                paint_image(hwnd, st.image, *canvas, client);
            } else {
                if (!is_window_enabled(hwnd))
                    canvas->set_text_color(colors::text_disabled);
                canvas->set_bk_mode(BkMode::Transparent);
                canvas->draw_text(get_window_text(hwnd), client, text_format(get_style(hwnd)));
            }
        }
    }
    end_paint(hwnd, ps);
}

LRESULT on_set_image(HWND hwnd, StaticState& st, std::intptr_t image) {
    HBITMAP old = std::exchange(st.image, reinterpret_cast<HBITMAP>(image));
    invalidate_rect(hwnd, nullptr, true);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT on_message(StaticState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        on_paint(hwnd, st);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        // Static text lets the mouse through unless it reports clicks.
        return (get_style(hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONDOWN:
        notify_parent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        notify_parent(hwnd, STN_DBLCLK);
        return 0;
    case WM_SETTEXT: {
        LRESULT r = def_window_proc(hwnd, msg, wp, lp);
        invalidate_rect(hwnd, nullptr, true);
        update_window(hwnd);
        return r;
    }
    case WM_ENABLE:
        invalidate_rect(hwnd, nullptr, true);
        return 0;
    case WM_SETFONT:
        set_control_font(hwnd, set_font_params(wp, lp));
        return 0;
    case WM_GETFONT:
        return assigned_font(hwnd);
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_GETOBJECT:
        return static_access(hwnd, wp, lp);
    case STM_SETIMAGE:
    case STM_SETICON:
        return on_set_image(hwnd, st, msg == STM_SETICON ? static_cast<std::intptr_t>(wp) : lp);
    case STM_GETIMAGE:
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(st.image);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

void register_static_class() {
    register_control_class(WC_STATIC, control_proc<StaticState, on_message>,
                           CS_DBLCLKS | CS_PARENTDC);
}

} // namespace platform::controls
