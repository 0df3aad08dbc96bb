// "msctls_statusbar32": a bar docked at the bottom of its parent, divided into
// parts that each show a text (or an icon), with a tool-tip per part.

#include "ControlAccess.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include "ToolTip.h"
#include <platform/access/AccessEvents.h>
#include <platform/drawing/Bitmap.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform::controls {

namespace {

constexpr int k_max_parts = 256;
constexpr int k_height = 22;
constexpr std::uintptr_t k_hover_timer = 1;

struct Part {
    int edge = -1; // right edge in client coordinates; -1 the bar's right end
    UINT style = 0;
    std::string text;
    std::string tip;
    HBITMAP icon = nullptr;
};

struct StatusBar {
    std::vector<Part> parts{Part{}};
    int hover_part = -1;
    HWND tip_window = nullptr;
};

// The left and right ends of part i in client coordinates.
Rect part_rect(HWND hwnd, const StatusBar& sb, int i) {
    Rect client;
    get_client_rect(hwnd, client);
    int left = i == 0 ? 0 : sb.parts[static_cast<std::size_t>(i - 1)].edge;
    int right = sb.parts[static_cast<std::size_t>(i)].edge;
    if (left < 0)
        left = client.right;
    if (right < 0)
        right = client.right;
    right = std::min(right, client.right);
    left = std::min(left, right);
    return {left, client.top + 2, right, client.bottom};
}

void dock(HWND hwnd) {
    HWND parent = get_parent(hwnd);
    if (!parent || (get_style(hwnd) & CCS_NORESIZE))
        return;
    Rect pc;
    get_client_rect(parent, pc);
    int height = std::max(k_height, measure_text(control_font(hwnd), "Ag").cy + 8);
    set_window_pos(hwnd, nullptr, 0, pc.bottom - height, pc.width(), height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void on_paint(HWND hwnd, StatusBar& sb) {
    PaintStruct ps;
    Canvas* c = begin_paint(hwnd, ps);
    if (c) {
        Rect client;
        get_client_rect(hwnd, client);
        c->set_font(control_font(hwnd));
        c->fill_rect(client, colors::face);
        c->draw_line(0, 0, client.right, 0, colors::group_line);
        c->set_bk_mode(BkMode::Transparent);
        c->set_text_color(colors::text);
        for (int i = 0; i < static_cast<int>(sb.parts.size()); ++i) {
            const Part& p = sb.parts[static_cast<std::size_t>(i)];
            Rect r = part_rect(hwnd, sb, i);
            if (r.width() <= 0)
                continue;
            if (!(p.style & SBT_NOBORDERS)) {
                // Raised parts get a light top-left edge; normal ones a separator.
                COLORREF edge = (p.style & SBT_POPOUT) ? colors::window : colors::group_line;
                c->draw_line(r.right - 1, r.top + 2, r.right - 1, r.bottom - 2, colors::group_line);
                if (p.style & SBT_POPOUT) {
                    c->draw_line(r.left, r.top + 1, r.right - 2, r.top + 1, edge);
                    c->draw_line(r.left, r.top + 1, r.left, r.bottom - 2, edge);
                }
            }
            int x = r.left + 4;
            if (p.icon) {
                int h = bitmap_height(p.icon);
                c->draw_surface(p.icon, x, r.top + (r.height() - h) / 2);
                x += bitmap_width(p.icon) + 3;
            }
            Rect tr{x, r.top, r.right - 4, r.bottom};
            c->draw_text(p.text, tr,
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    end_paint(hwnd, ps);
}

LRESULT on_set_parts(HWND hwnd, StatusBar& sb, WPARAM count, LPARAM edges) {
    if (count == 0 || count > k_max_parts || !edges)
        return 0;
    auto* e = reinterpret_cast<const int*>(edges);
    sb.parts.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        sb.parts[i].edge = e[i];
    invalidate_rect(hwnd, nullptr, true);
    return 1;
}

LRESULT on_get_parts(const StatusBar& sb, WPARAM count, LPARAM edges) {
    if (edges) {
        auto* e = reinterpret_cast<int*>(edges);
        for (std::size_t i = 0; i < std::min<std::size_t>(count, sb.parts.size()); ++i)
            e[i] = sb.parts[i].edge;
    }
    return static_cast<LRESULT>(sb.parts.size());
}

Part* part_at(StatusBar& sb, WPARAM wp) {
    std::size_t i = wp & 0xFF;
    return i < sb.parts.size() ? &sb.parts[i] : nullptr;
}

LRESULT on_set_text(HWND hwnd, StatusBar& sb, WPARAM wp, LPARAM lp) {
    Part* p = part_at(sb, wp);
    if (!p)
        return 0;
    p->style = static_cast<UINT>(wp & 0xFF00);
    std::string was = std::exchange(p->text, lp ? reinterpret_cast<const char*>(lp) : "");
    invalidate_rect(hwnd, nullptr, true);
    update_window(hwnd);
    if (was != p->text && access::listening()) {
        int index = static_cast<int>(p - sb.parts.data());
        access::notify(access::EventKind::Name, hwnd, index + 1);
        if (index == 0)
            access::notify(access::EventKind::Name, hwnd);
    }
    return 1;
}

LRESULT text_result(const Part& p) {
    return static_cast<LRESULT>(
        make_lparam(static_cast<int>(p.text.size()), static_cast<int>(p.style)));
}

LRESULT on_get_text(StatusBar& sb, WPARAM wp, LPARAM lp) {
    Part* p = part_at(sb, wp);
    if (!p)
        return 0;
    if (lp)
        std::memcpy(reinterpret_cast<char*>(lp), p->text.c_str(), p->text.size() + 1);
    return text_result(*p);
}

LRESULT on_set_tip(StatusBar& sb, WPARAM wp, LPARAM lp) {
    Part* p = part_at(sb, wp);
    if (!p)
        return 0;
    p->tip = lp ? reinterpret_cast<const char*>(lp) : "";
    return 1;
}

LRESULT on_get_tip(StatusBar& sb, WPARAM wp, LPARAM lp) {
    Part* p = part_at(sb, loword(wp));
    std::size_t size = hiword(wp);
    if (!p || !lp || size == 0)
        return 0;
    std::size_t n = std::min(p->tip.size(), size - 1);
    std::memcpy(reinterpret_cast<char*>(lp), p->tip.data(), n);
    reinterpret_cast<char*>(lp)[n] = '\0';
    return 0;
}

LRESULT on_set_icon(HWND hwnd, StatusBar& sb, WPARAM wp, LPARAM lp) {
    Part* p = part_at(sb, wp);
    if (!p)
        return 0;
    p->icon = reinterpret_cast<HBITMAP>(lp);
    invalidate_rect(hwnd, nullptr, true);
    return 1;
}

LRESULT on_get_rect(HWND hwnd, StatusBar& sb, WPARAM wp, LPARAM lp) {
    if (wp >= sb.parts.size() || !lp)
        return 0;
    *reinterpret_cast<Rect*>(lp) = part_rect(hwnd, sb, static_cast<int>(wp));
    return 1;
}

int part_from_point(HWND hwnd, StatusBar& sb, Point p) {
    for (int i = 0; i < static_cast<int>(sb.parts.size()); ++i)
        if (part_rect(hwnd, sb, i).contains(p))
            return i;
    return -1;
}

void hide_tip(StatusBar& sb) {
    if (sb.tip_window)
        destroy_window(std::exchange(sb.tip_window, nullptr));
}

void on_mouse_move(HWND hwnd, StatusBar& sb, Point p) {
    int part = part_from_point(hwnd, sb, p);
    if (part == sb.hover_part)
        return;
    hide_tip(sb);
    sb.hover_part = part;
    track_mouse_leave(hwnd);
    if (part >= 0 && !sb.parts[static_cast<std::size_t>(part)].tip.empty())
        set_timer(hwnd, k_hover_timer, tool_tip_delay_ms);
    else
        kill_timer(hwnd, k_hover_timer);
}

void on_timer(HWND hwnd, StatusBar& sb, WPARAM id) {
    if (id != k_hover_timer)
        return;
    kill_timer(hwnd, k_hover_timer);
    if (sb.hover_part < 0 || sb.hover_part >= static_cast<int>(sb.parts.size()))
        return;
    Point at;
    get_cursor_pos(at);
    hide_tip(sb);
    sb.tip_window = show_tool_tip(hwnd, sb.parts[static_cast<std::size_t>(sb.hover_part)].tip,
                                  {at.x + 2, at.y + 20});
}

void on_mouse_leave(HWND hwnd, StatusBar& sb) {
    kill_timer(hwnd, k_hover_timer);
    sb.hover_part = -1;
    hide_tip(sb);
}

LRESULT on_message(StatusBar& sb, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        dock(hwnd);
        return 0;
    case WM_NCDESTROY:
        hide_tip(sb);
        return 0;
    case WM_SIZE:
        dock(hwnd);
        return 0;
    case WM_PAINT:
        on_paint(hwnd, sb);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        on_mouse_move(hwnd, sb, mouse_point(lp));
        return 0;
    case WM_MOUSELEAVE:
        on_mouse_leave(hwnd, sb);
        return 0;
    case WM_TIMER:
        on_timer(hwnd, sb, wp);
        return 0;
    case WM_SETFONT:
        set_control_font(hwnd, set_font_params(wp, lp));
        return 0;
    case WM_GETFONT:
        return assigned_font(hwnd);
    case WM_SETTEXT:
        return on_set_text(hwnd, sb, 0, lp);
    case SB_SETPARTS:
        return on_set_parts(hwnd, sb, wp, lp);
    case SB_GETPARTS:
        return on_get_parts(sb, wp, lp);
    case SB_SETTEXTA:
        return on_set_text(hwnd, sb, wp, lp);
    case SB_GETTEXTA:
        return on_get_text(sb, wp, lp);
    case SB_GETTEXTLENGTHA: {
        Part* p = part_at(sb, wp);
        return p ? text_result(*p) : 0;
    }
    case SB_SETTIPTEXTA:
        return on_set_tip(sb, wp, lp);
    case SB_GETTIPTEXTA:
        return on_get_tip(sb, wp, lp);
    case SB_SETICON:
        return on_set_icon(hwnd, sb, wp, lp);
    case SB_GETRECT:
        return on_get_rect(hwnd, sb, wp, lp);
    case WM_GETOBJECT:
        return statusbar_access(hwnd, wp, lp);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

void register_statusbar_class() {
    register_control_class(STATUSCLASSNAME, control_proc<StatusBar, on_message>, CS_DBLCLKS);
}

} // namespace platform::controls
