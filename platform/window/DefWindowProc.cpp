// The default window procedure: what a window does with a message its own
// procedure passes on.

#include "MessageParams.h"
#include "Painting.h"
#include "detail/State.h"
#include <platform/Encoding.h>
#include <platform/access/Access.h>
#include <platform/access/AccessEvents.h>
#include <platform/controls/StandardScrollBars.h>

#include <algorithm>
#include <cstring>

namespace platform {

using namespace detail;

namespace {

LRESULT on_set_cursor(HWND hwnd, WPARAM wp, LPARAM lp) {
    // The parent gets the first say, so a dialog can set one cursor for all
    // its controls.
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    if (w->parent && send_message(w->parent, WM_SETCURSOR, wp, lp))
        return 1;
    if (!(w = find(hwnd)))
        return 0;
    if (hit_test_code(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd) {
        HCURSOR c = w->cls->info.cursor;
        set_cursor(c ? c : load_cursor(IDC_ARROW));
        return 1;
    }
    return 0;
}

void erase_background(HWND hwnd, Canvas* canvas) {
    WindowRecord* w = find(hwnd);
    if (!w || !canvas || w->cls->info.background < 0)
        return;
    Rect r;
    get_client_rect(hwnd, r);
    canvas->fill_rect(r, static_cast<COLORREF>(w->cls->info.background));
}

} // namespace

LRESULT def_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CreateStruct*>(lp);
        if (cs)
            w->text = std::string(cs->name);
        // The display learns a top-level window's first title here.
        if (cs && w->is_top_level() && state().backend)
            state().backend->window_title_changed(hwnd, gbk_to_utf8(w->text));
        return 1;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lp);
        w->text = text ? text : "";
        if (w->is_top_level() && state().backend)
            state().backend->window_title_changed(hwnd, gbk_to_utf8(w->text));
        access::notify(access::EventKind::Name, hwnd);
        return 1;
    }
    case WM_GETOBJECT:
        return access::default_answer(hwnd, wp, lp);
    case WM_GETTEXT: {
        if (wp == 0 || !lp)
            return 0;
        auto n = std::min<std::size_t>(w->text.size(), wp - 1);
        std::memcpy(reinterpret_cast<char*>(lp), w->text.data(), n);
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
        destroy_window(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_CLOSE:
            send_message(hwnd, WM_CLOSE);
            return 0;
        case SC_MINIMIZE:
            show_window(hwnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            show_window(hwnd, SW_SHOWMAXIMIZED);
            return 0;
        case SC_RESTORE:
            show_window(hwnd, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (wp == VK_F4 && (lp & (1 << 29)))
            post_message(get_ancestor_root(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_PAINT: {
        PaintStruct ps;
        begin_paint(hwnd, ps);
        end_paint(hwnd, ps);
        return 0;
    }
    case WM_ERASEBKGND:
        erase_background(hwnd, reinterpret_cast<Canvas*>(wp));
        return w->cls->info.background >= 0 ? 1 : 0;
    case WM_SETCURSOR:
        return on_set_cursor(hwnd, wp, lp);
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONUP:
        return controls::standard_scroll_bar_mouse(hwnd, msg, wp, lp);
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (loword(wp) != WA_INACTIVE && !w->minimized) {
            HWND focus = get_focus();
            if (!focus || get_ancestor_root(focus) != hwnd)
                set_focus(hwnd);
        }
        return 0;
    case WM_NCACTIVATE:
        return 1;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WindowPos*>(lp);
        Rect c = client_rect_in_parent(*w);
        if (pos && !(pos->flags & SWP_NOMOVE))
            send_message(hwnd, WM_MOVE, 0, make_lparam(c.left, c.top));
        if (pos && !(pos->flags & SWP_NOSIZE) && find(hwnd))
            send_message(hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                         make_lparam(c.width(), c.height()));
        return 0;
    }
    case WM_MOUSEWHEEL:
        // Unhandled wheel turns go up to the parent.
        if (w->parent)
            return send_message(w->parent, msg, wp, lp);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return 0; // the control uses its own colours
    case WM_GETFONT:
        return 0;
    default:
        return 0;
    }
}

} // namespace platform
