#include "ScrollBar.h"

#include "ControlAccess.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include "ScrollBarTracker.h"
#include "StandardScrollBars.h"
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>

namespace platform {

namespace controls {

namespace {

constexpr std::uintptr_t k_repeat_timer = 1;

struct ScrollBarControl {
    ScrollBarControl(HWND hwnd, const CreateStruct&) : self(hwnd) {
        // The platform's bar control starts with an empty range.
        tracker.state.max = 0;
    }
    HWND self = nullptr;
    ScrollTracker tracker;
};

ScrollSite site_of(const ScrollBarControl& sb) {
    ScrollSite site;
    site.window = sb.self;
    get_client_rect(sb.self, site.rect);
    site.vertical = (get_style(sb.self) & SBS_VERT) != 0;
    site.owner = get_parent(sb.self);
    site.sender = sb.self;
    site.timer_id = k_repeat_timer;
    return site;
}

void redraw(const ScrollBarControl& sb, bool needed) {
    if (needed)
        invalidate_rect(sb.self, nullptr, false);
}

void on_paint(ScrollBarControl& sb) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(sb.self, ps);
    if (canvas) {
        ScrollSite site = site_of(sb);
        paint_scroll_bar(*canvas, site.rect, sb.tracker.layout(site),
                         sb.tracker.look(site, is_window_enabled(sb.self)));
    }
    end_paint(sb.self, ps);
}

LRESULT on_set_info(ScrollBarControl& sb, const ScrollInfo* info, bool redraw_now) {
    if (!info)
        return sb.tracker.state.pos;
    bool changed = sb.tracker.state.apply(*info);
    redraw(sb, changed && redraw_now);
    return sb.tracker.state.pos;
}

LRESULT on_set_pos(ScrollBarControl& sb, int pos, bool redraw_now) {
    int previous = sb.tracker.state.pos;
    ScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    on_set_info(sb, &info, redraw_now);
    return previous;
}

LRESULT on_set_range(ScrollBarControl& sb, int min, int max, bool redraw_now) {
    ScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    on_set_info(sb, &info, redraw_now);
    return 1;
}

LRESULT on_get_range(const ScrollBarControl& sb, WPARAM wp, LPARAM lp) {
    if (auto* min = reinterpret_cast<int*>(wp))
        *min = sb.tracker.state.min;
    if (auto* max = reinterpret_cast<int*>(lp))
        *max = sb.tracker.state.max;
    return 1;
}

LRESULT on_get_info(const ScrollBarControl& sb, ScrollInfo* info) {
    if (!info)
        return 0;
    sb.tracker.state.fill(*info);
    return 1;
}

LRESULT on_message(ScrollBarControl& bar, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ScrollBarControl* sb = &bar;
    switch (msg) {
    case WM_DESTROY:
        kill_timer(hwnd, k_repeat_timer);
        return 0;
    case WM_PAINT:
        on_paint(*sb);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_ENABLE:
    case WM_SIZE:
    case WM_STYLECHANGED:
        invalidate_rect(hwnd, nullptr, false);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_GETOBJECT:
        return scrollbar_access(hwnd, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        redraw(*sb, sb->tracker.press(site_of(*sb), mouse_point(lp)));
        return 0;
    case WM_MOUSEMOVE:
        redraw(*sb, sb->tracker.move(site_of(*sb), mouse_point(lp)));
        return 0;
    case WM_LBUTTONUP: {
        bool changed = sb->tracker.release(site_of(*sb));
        if (is_window(hwnd))
            redraw(*sb, changed);
        return 0;
    }
    case WM_MOUSELEAVE:
        redraw(*sb, sb->tracker.leave());
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd)
            redraw(*sb, sb->tracker.cancel(site_of(*sb)));
        return 0;
    case WM_TIMER:
        if (wp == k_repeat_timer)
            sb->tracker.timer(site_of(*sb));
        return 0;
    case WM_KEYDOWN:
        if (is_window_enabled(hwnd))
            sb->tracker.key(site_of(*sb), static_cast<UINT>(wp));
        return 0;
    case SBM_SETSCROLLINFO:
        return on_set_info(*sb, reinterpret_cast<const ScrollInfo*>(lp), wp != 0);
    case SBM_GETSCROLLINFO:
        return on_get_info(*sb, reinterpret_cast<ScrollInfo*>(lp));
    case SBM_SETPOS:
        return on_set_pos(*sb, static_cast<int>(wp), lp != 0);
    case SBM_GETPOS:
        return sb->tracker.state.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        return on_set_range(*sb, static_cast<int>(wp), static_cast<int>(lp),
                            msg == SBM_SETRANGEREDRAW);
    case SBM_GETRANGE:
        return on_get_range(*sb, wp, lp);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT scrollbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<ScrollBarControl, on_message>(hwnd, msg, wp, lp);
}

void register_scrollbar_class() {
    register_control_class(WC_SCROLLBAR, scrollbar_proc, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
}

} // namespace controls

int set_scroll_info(HWND hwnd, int bar, const ScrollInfo& info, bool redraw) {
    if (bar != SB_CTL)
        return controls::set_standard_scroll_info(hwnd, bar, info, redraw);
    return static_cast<int>(
        send_message(hwnd, SBM_SETSCROLLINFO, redraw ? 1 : 0, reinterpret_cast<LPARAM>(&info)));
}

bool get_scroll_info(HWND hwnd, int bar, ScrollInfo& info) {
    if (bar != SB_CTL)
        return controls::get_standard_scroll_info(hwnd, bar, info);
    return send_message(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

int set_scroll_pos(HWND hwnd, int bar, int pos, bool redraw) {
    ScrollInfo before;
    before.fMask = SIF_POS;
    if (!get_scroll_info(hwnd, bar, before))
        return 0;
    ScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    set_scroll_info(hwnd, bar, info, redraw);
    return before.nPos;
}

int get_scroll_pos(HWND hwnd, int bar) {
    ScrollInfo info;
    info.fMask = SIF_POS;
    return get_scroll_info(hwnd, bar, info) ? info.nPos : 0;
}

bool set_scroll_range(HWND hwnd, int bar, int min, int max, bool redraw) {
    ScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    ScrollInfo check;
    if (!get_scroll_info(hwnd, bar, check))
        return false;
    set_scroll_info(hwnd, bar, info, redraw);
    return true;
}

int scroll_request_target(HWND hwnd, int bar, int code, const ScrollView& view) {
    int line = std::max(1, view.line);
    int pos = view.pos;
    switch (code) {
    case SB_LINEUP:
        pos -= line;
        break;
    case SB_LINEDOWN:
        pos += line;
        break;
    case SB_PAGEUP:
        pos -= std::max(line, view.page);
        break;
    case SB_PAGEDOWN:
        pos += std::max(line, view.page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        ScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        if (!get_scroll_info(hwnd, bar, info))
            return -1;
        pos = info.nTrackPos;
        break;
    }
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = view.last;
        break;
    default:
        return -1;
    }
    return std::clamp(pos, 0, std::max(0, view.last));
}

} // namespace platform
