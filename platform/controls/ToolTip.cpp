#include "ToolTip.h"

#include "ControlSupport.h"
#include <platform/window/Painting.h>

namespace platform::controls {

namespace {

constexpr const char* k_class = "tooltips_class32";

LRESULT tool_tip_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PaintStruct ps;
        if (Canvas* c = begin_paint(hwnd, ps)) {
            Rect r;
            get_client_rect(hwnd, r);
            c->fill_rect(r, rgb(0xFF, 0xFF, 0xE1));
            c->frame_rect(r, rgb(0x76, 0x76, 0x76));
            c->set_bk_mode(BkMode::Transparent);
            c->set_text_color(colors::text);
            Rect t{r.left + 4, r.top, r.right - 4, r.bottom};
            c->draw_text(get_window_text(hwnd), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        end_paint(hwnd, ps);
        return 0;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

HWND show_tool_tip(HWND owner, std::string_view text, Point screen) {
    WindowClass cls;
    if (!get_class_info(k_class, cls)) {
        cls.name = k_class;
        cls.proc = tool_tip_proc;
        cls.style = CS_SAVEBITS;
        register_class(cls);
    }
    Size s = measure_text(nullptr, text);
    HWND tip =
        create_window_ex(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, k_class, text, WS_POPUP | WS_BORDER,
                         screen.x, screen.y, s.cx + 10, s.cy + 6, get_ancestor_root(owner), 0);
    if (tip)
        set_window_pos(tip, HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return tip;
}

} // namespace platform::controls
