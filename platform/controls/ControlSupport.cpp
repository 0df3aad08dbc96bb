#include "ControlSupport.h"

#include "ControlState.h"

#include <platform/drawing/Font.h>
#include <platform/window/Painting.h>

namespace platform {

HBRUSH create_solid_brush(std::uint32_t colorref) {
    // The colour is the handle, with a marker bit so black is not null.
    return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(colorref & 0xFFFFFF) |
                                    (std::uintptr_t{1} << 24));
}

bool brush_color(HBRUSH brush, std::uint32_t& colorref) {
    auto v = reinterpret_cast<std::uintptr_t>(brush);
    if (!(v & (std::uintptr_t{1} << 24)))
        return false;
    colorref = static_cast<std::uint32_t>(v & 0xFFFFFF);
    return true;
}

namespace controls {

void notify_parent(HWND hwnd, UINT code) {
    HWND parent = get_parent(hwnd);
    if (!parent)
        return;
    send_message(parent, WM_COMMAND, make_wparam(get_dlg_ctrl_id(hwnd), static_cast<int>(code)),
                 reinterpret_cast<LPARAM>(hwnd));
}

LRESULT notify_parent(HWND hwnd, NMHDR& header, UINT code) {
    HWND parent = get_parent(hwnd);
    if (!parent)
        return 0;
    header.hwndFrom = hwnd;
    header.idFrom = static_cast<std::uintptr_t>(get_dlg_ctrl_id(hwnd));
    header.code = code;
    return send_message(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

COLORREF query_colors(HWND hwnd, UINT ctlcolor_message, Canvas& canvas,
                      COLORREF fallback_background, COLORREF fallback_text) {
    canvas.set_text_color(fallback_text);
    canvas.set_bk_color(fallback_background);
    HWND parent = get_parent(hwnd);
    if (!parent)
        return fallback_background;
    auto answer = send_message(parent, ctlcolor_message, reinterpret_cast<WPARAM>(&canvas),
                               reinterpret_cast<LPARAM>(hwnd));
    std::uint32_t color;
    if (brush_color(reinterpret_cast<HBRUSH>(answer), color))
        return color;
    return fallback_background;
}

HFONT control_font(HWND hwnd) {
    auto f = reinterpret_cast<HFONT>(get_window_extra(hwnd, k_control_font_offset));
    return f ? f : default_gui_font();
}

void set_control_font(HWND hwnd, SetFont font) {
    set_window_extra(hwnd, k_control_font_offset, reinterpret_cast<std::intptr_t>(font.font));
    if (font.redraw)
        invalidate_rect(hwnd, nullptr, true);
}

LRESULT assigned_font(HWND hwnd) {
    return get_window_extra(hwnd, k_control_font_offset);
}

void register_control_class(const char* name, WNDPROC proc, std::uint32_t class_style,
                            int cursor_id) {
    WindowClass cls;
    cls.name = name;
    cls.proc = proc;
    cls.style = class_style;
    cls.cursor = load_cursor(cursor_id);
    cls.extra_bytes = k_control_extra_bytes;
    register_class(cls);
}

void draw_flat_frame(Canvas& canvas, const Rect& r, COLORREF color) {
    canvas.frame_rect(r, color, 1);
}

} // namespace controls
} // namespace platform
