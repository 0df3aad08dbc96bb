#include "StandardScrollBars.h"

#include "ControlSupport.h"
#include "ScrollBarTracker.h"
#include <platform/window/Painting.h>
#include <platform/window/detail/State.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace platform::controls {

namespace {

// Timer ids of the bars' repeat, far from the ids windows choose.
constexpr std::uintptr_t k_timer_base = 0xFFFF5B00;

struct StandardBars {
    ScrollTracker bars[2]; // SB_HORZ, SB_VERT
    int tracking = -1;     // the bar a press holds
};

StandardBars* bars_of(HWND hwnd, bool make) {
    platform::detail::WindowRecord* w = platform::detail::find(hwnd);
    if (!w || w->is_top_level())
        return nullptr;
    if (!w->standard_bars && make)
        w->standard_bars = std::make_shared<StandardBars>();
    return static_cast<StandardBars*>(w->standard_bars.get());
}

std::uint32_t style_bit(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

void standard_timer(HWND hwnd, UINT, std::uintptr_t id, std::uint32_t);

// The bar's site, with the bar's rectangle beside `client` (in whatever
// coordinates `client` is given).
ScrollSite site_of(HWND hwnd, int bar, const Rect& client) {
    ScrollSite site;
    site.window = hwnd;
    site.vertical = bar == SB_VERT;
    site.rect = site.vertical
                    ? Rect{client.right, client.top, client.right + ScrollBarSize, client.bottom}
                    : Rect{client.left, client.bottom, client.right, client.bottom + ScrollBarSize};
    site.owner = hwnd;
    site.sender = nullptr;
    site.timer_id = k_timer_base + static_cast<std::uintptr_t>(bar);
    site.timer_proc = standard_timer;
    site.nonclient = true;
    return site;
}

ScrollSite site_of(HWND hwnd, int bar) {
    Rect client;
    get_client_rect(hwnd, client);
    return site_of(hwnd, bar, client);
}

void standard_timer(HWND hwnd, UINT, std::uintptr_t id, std::uint32_t) {
    int bar = static_cast<int>(id - k_timer_base);
    StandardBars* bars = bars_of(hwnd, false);
    if (!bars || (bar != SB_HORZ && bar != SB_VERT))
        return;
    bars->bars[bar].timer(site_of(hwnd, bar));
}

// Shows or hides a bar by its style bit; the client area changes with it.
void show_bar(HWND hwnd, int bar, bool show) {
    std::uint32_t style = get_style(hwnd);
    bool shown = (style & style_bit(bar)) != 0;
    if (shown == show)
        return;
    style = show ? (style | style_bit(bar)) : (style & ~style_bit(bar));
    set_window_long(hwnd, GWL_STYLE, static_cast<std::intptr_t>(style));
    invalidate_frame(hwnd);
    invalidate_rect(hwnd, nullptr, true);
    Rect client;
    get_client_rect(hwnd, client);
    send_message(hwnd, WM_SIZE, SIZE_RESTORED, make_lparam(client.width(), client.height()));
}

} // namespace

int set_standard_scroll_info(HWND hwnd, int bar, const ScrollInfo& info, bool redraw) {
    if (bar != SB_HORZ && bar != SB_VERT)
        return 0;
    StandardBars* bars = bars_of(hwnd, true);
    if (!bars)
        return 0;
    ScrollTracker& tracker = bars->bars[bar];
    const ScrollState before = tracker.state;
    const ScrollSite site = site_of(hwnd, bar);
    const ScrollLayout was = tracker.layout(site);
    bool changed = tracker.state.apply(info);
    int pos = tracker.state.pos;
    if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
        bool keep = (info.fMask & SIF_DISABLENOSCROLL) && (get_style(hwnd) & style_bit(bar));
        show_bar(hwnd, bar, tracker.state.scrollable() || keep);
    }
    if (!changed || !redraw || !is_window(hwnd))
        return pos;
    // A new position alone moves the thumb along the track: the arrows, the
    // other bar and the border stay as they are, and so does the track away
    // from the thumb (a list that follows a playback moves its thumb at
    // every step; a column of pixels costs a cache line a row).
    const ScrollState& now = tracker.state;
    if (before.min != now.min || before.max != now.max || before.page != now.page ||
        !(get_style(hwnd) & style_bit(bar))) {
        invalidate_frame(hwnd);
        return pos;
    }
    const ScrollLayout is = tracker.layout(site);
    int from = std::min(was.thumb_start, is.thumb_start);
    int to = std::max(was.thumb_start + was.thumb_length, is.thumb_start + is.thumb_length);
    if (was.thumb_length == 0 || is.thumb_length == 0) {
        from = is.track_start();
        to = is.track_end();
    } else if (was.thumb_start == is.thumb_start) {
        return pos; // it moved by less than a pixel
    }
    invalidate_frame_part(hwnd, along(site.rect, site.vertical, from, to - from));
    return pos;
}

bool get_standard_scroll_info(HWND hwnd, int bar, ScrollInfo& info) {
    if (bar != SB_HORZ && bar != SB_VERT)
        return false;
    StandardBars* bars = bars_of(hwnd, false);
    if (!bars && !(get_style(hwnd) & style_bit(bar)))
        return false;
    bars = bars_of(hwnd, true);
    if (!bars)
        return false;
    bars->bars[bar].state.fill(info);
    return true;
}

void paint_standard_scroll_bars(HWND hwnd, Canvas& canvas, const Rect& client) {
    StandardBars* bars = bars_of(hwnd, true);
    if (!bars)
        return;
    std::uint32_t style = get_style(hwnd);
    bool enabled = is_window_enabled(hwnd);
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(style & style_bit(bar)))
            continue;
        ScrollSite site = site_of(hwnd, bar, client);
        const ScrollTracker& tracker = bars->bars[bar];
        paint_scroll_bar(canvas, site.rect, tracker.layout(site), tracker.look(site, enabled));
    }
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL))
        canvas.fill_rect({client.right, client.bottom, client.right + ScrollBarSize,
                          client.bottom + ScrollBarSize},
                         colors::face);
}

LRESULT standard_scroll_bar_mouse(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    StandardBars* bars = bars_of(hwnd, true);
    if (!bars)
        return 0;
    Point p{get_x_lparam(lp), get_y_lparam(lp)};
    screen_to_client(hwnd, p);
    bool redraw = false;
    switch (msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        int bar = wp == static_cast<WPARAM>(HTVSCROLL)   ? SB_VERT
                  : wp == static_cast<WPARAM>(HTHSCROLL) ? SB_HORZ
                                                         : -1;
        if (bar < 0 || !is_window_enabled(hwnd) || bars->tracking >= 0)
            return 0;
        if (bars->bars[bar].press(site_of(hwnd, bar), p)) {
            if (!is_window(hwnd))
                return 0;
            bars->tracking = bar;
            redraw = true;
        }
        break;
    }
    case WM_NCMOUSEMOVE:
        if (bars->tracking >= 0)
            redraw = bars->bars[bars->tracking].move(site_of(hwnd, bars->tracking), p);
        break;
    case WM_NCLBUTTONUP:
        if (bars->tracking >= 0) {
            int bar = std::exchange(bars->tracking, -1);
            redraw = bars->bars[bar].release(site_of(hwnd, bar));
        }
        break;
    default:
        break;
    }
    if (redraw && is_window(hwnd))
        invalidate_frame(hwnd);
    return 0;
}

} // namespace platform::controls
