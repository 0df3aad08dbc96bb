#include "Button.h"

#include "ButtonPainter.h"
#include "ControlAccess.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include <platform/access/AccessEvents.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <memory>

namespace platform::controls {

namespace {

ButtonState* state_of(HWND hwnd) {
    return control_state<ButtonState>(hwnd);
}

std::uint32_t kind_of(HWND hwnd) {
    return get_style(hwnd) & BS_TYPEMASK;
}

bool is_push(std::uint32_t kind) {
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW;
}

bool is_radio(std::uint32_t kind) {
    return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

void repaint_now(HWND hwnd) {
    invalidate_rect(hwnd, nullptr, true);
    update_window(hwnd);
}

void set_pushed(HWND hwnd, ButtonState& st, bool pushed) {
    if (st.pushed == pushed)
        return;
    st.pushed = pushed;
    repaint_now(hwnd);
}

// Unchecks the other auto radio buttons of the group this one belongs to:
// the siblings between the nearest WS_GROUP at or before it and the next
// WS_GROUP after it.
void uncheck_group_siblings(HWND hwnd) {
    std::vector<HWND> siblings = get_children(get_parent(hwnd));
    auto self = std::find(siblings.begin(), siblings.end(), hwnd);
    if (self == siblings.end())
        return;
    auto first = self;
    while (first != siblings.begin() && !(get_style(*first) & WS_GROUP))
        --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && (get_style(*it) & WS_GROUP))
            break;
        if (*it != hwnd && get_class_name(*it) == get_class_name(hwnd) &&
            kind_of(*it) == BS_AUTORADIOBUTTON)
            send_message(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

// What a click does before the parent hears of it.
void click(HWND hwnd) {
    std::uint32_t kind = kind_of(hwnd);
    ButtonState* st = state_of(hwnd);
    if (!st)
        return;
    switch (kind) {
    case BS_AUTOCHECKBOX:
        send_message(hwnd, BM_SETCHECK, st->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        send_message(hwnd, BM_SETCHECK, (st->check + 1) % 3, 0);
        break;
    case BS_AUTORADIOBUTTON:
        send_message(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        uncheck_group_siblings(hwnd);
        break;
    default:
        break;
    }
    notify_parent(hwnd, BN_CLICKED);
}

LRESULT on_create(HWND hwnd) {
    // A group box only frames the controls inside it: clicks and the parent's
    // background show through it.
    if (kind_of(hwnd) == BS_GROUPBOX)
        set_window_long(hwnd, GWL_EXSTYLE,
                        static_cast<std::intptr_t>(get_ex_style(hwnd) | WS_EX_TRANSPARENT));
    return 0;
}

void on_paint(HWND hwnd, const ButtonState& st) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(hwnd, ps);
    if (canvas)
        paint_button(hwnd, st, *canvas);
    end_paint(hwnd, ps);
}

void on_button_down(HWND hwnd, ButtonState& st) {
    if (kind_of(hwnd) == BS_GROUPBOX)
        return;
    set_capture(hwnd);
    if (get_focus() != hwnd)
        set_focus(hwnd);
    st.tracking = true;
    set_pushed(hwnd, st, true);
}

void on_mouse_move(HWND hwnd, ButtonState& st, Point p) {
    Rect r;
    get_client_rect(hwnd, r);
    bool inside = r.contains(p);
    if (st.tracking) {
        set_pushed(hwnd, st, inside);
        return;
    }
    if (!st.hot && inside) {
        st.hot = true;
        track_mouse_leave(hwnd);
        repaint_now(hwnd);
    }
}

void on_button_up(HWND hwnd, ButtonState& st, Point p) {
    if (!st.tracking)
        return;
    Rect r;
    get_client_rect(hwnd, r);
    bool inside = r.contains(p);
    st.tracking = false;
    set_pushed(hwnd, st, false);
    release_capture();
    // The parent hears of the click only when the release is inside.
    if (inside && is_window(hwnd))
        click(hwnd);
}

void on_capture_changed(HWND hwnd, ButtonState& st) {
    if (!st.tracking)
        return;
    st.tracking = false;
    set_pushed(hwnd, st, false);
}

void on_key_down(HWND hwnd, ButtonState& st, WPARAM vk) {
    if (vk == VK_SPACE && kind_of(hwnd) != BS_GROUPBOX && !st.space_down) {
        st.space_down = true;
        set_pushed(hwnd, st, true);
    }
}

void on_key_up(HWND hwnd, ButtonState& st, WPARAM vk) {
    if (vk != VK_SPACE || !st.space_down)
        return;
    st.space_down = false;
    set_pushed(hwnd, st, false);
    click(hwnd);
}

void on_focus(HWND hwnd, ButtonState& st, bool focused) {
    st.focused = focused;
    if (!focused && (st.space_down || st.pushed)) {
        st.space_down = false;
        st.pushed = false;
    }
    repaint_now(hwnd);
    if (get_style(hwnd) & BS_NOTIFY)
        notify_parent(hwnd, focused ? BN_SETFOCUS : BN_KILLFOCUS);
}

LRESULT on_get_dlg_code(HWND hwnd) {
    switch (kind_of(hwnd)) {
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_OWNERDRAW:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
        return DLGC_STATIC;
    default:
        return DLGC_BUTTON;
    }
}

LRESULT on_set_check(HWND hwnd, ButtonState& st, WPARAM check) {
    std::uint32_t kind = kind_of(hwnd);
    if (is_push(kind) || kind == BS_GROUPBOX)
        return 0;
    WPARAM limit = (kind == BS_3STATE || kind == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
    WPARAM value = check > limit ? limit : check;
    if (value != st.check) {
        st.check = value;
        repaint_now(hwnd);
        access::notify_state(hwnd, access::Checked, value == BST_CHECKED);
    }
    // Checking a radio button takes the tab stop with it, as the platform does.
    if (is_radio(kind)) {
        std::uint32_t style = get_style(hwnd);
        std::uint32_t fresh = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (fresh != style)
            set_window_long(hwnd, GWL_STYLE, static_cast<std::intptr_t>(fresh));
    }
    return 0;
}

LRESULT on_get_state(HWND hwnd, const ButtonState& st) {
    (void)hwnd;
    LRESULT r = static_cast<LRESULT>(st.check);
    if (st.pushed)
        r |= BST_PUSHED;
    if (st.focused)
        r |= BST_FOCUS;
    if (st.hot)
        r |= BST_HOT;
    return r;
}

LRESULT on_set_style(HWND hwnd, WPARAM style, bool redraw) {
    std::uint32_t s = get_style(hwnd);
    s = (s & ~0xFFFFu) | static_cast<std::uint32_t>(style & 0xFFFF);
    set_window_long(hwnd, GWL_STYLE, static_cast<std::intptr_t>(s));
    if (redraw)
        repaint_now(hwnd);
    return 0;
}

LRESULT on_set_image(HWND hwnd, ButtonState& st, WPARAM type, LPARAM image) {
    LRESULT old = reinterpret_cast<LRESULT>(type == IMAGE_ICON ? st.icon : st.bitmap);
    if (type == IMAGE_BITMAP)
        st.bitmap = reinterpret_cast<HBITMAP>(image);
    else if (type == IMAGE_ICON)
        st.icon = reinterpret_cast<HBITMAP>(image);
    else
        return 0;
    repaint_now(hwnd);
    return old;
}

LRESULT on_click_message(HWND hwnd) {
    // BM_CLICK behaves as a press and release with the mouse.
    if (!is_window_enabled(hwnd))
        return 0;
    ButtonState* st = state_of(hwnd);
    if (!st)
        return 0;
    set_pushed(hwnd, *st, true);
    set_pushed(hwnd, *st, false);
    click(hwnd);
    return 0;
}

LRESULT on_message(ButtonState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return on_create(hwnd);
    case WM_PAINT:
        on_paint(hwnd, st);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        on_button_down(hwnd, st);
        return 0;
    case WM_MOUSEMOVE:
        on_mouse_move(hwnd, st, mouse_point(lp));
        return 0;
    case WM_MOUSELEAVE:
        st.hot = false;
        repaint_now(hwnd);
        return 0;
    case WM_LBUTTONUP:
        on_button_up(hwnd, st, mouse_point(lp));
        return 0;
    case WM_CAPTURECHANGED:
        on_capture_changed(hwnd, st);
        return 0;
    case WM_KEYDOWN:
        on_key_down(hwnd, st, wp);
        return 0;
    case WM_KEYUP:
        on_key_up(hwnd, st, wp);
        return 0;
    case WM_SETFOCUS:
        on_focus(hwnd, st, true);
        return 0;
    case WM_KILLFOCUS:
        on_focus(hwnd, st, false);
        return 0;
    case WM_ENABLE:
        repaint_now(hwnd);
        return 0;
    case WM_SETTEXT: {
        LRESULT r = def_window_proc(hwnd, msg, wp, lp);
        repaint_now(hwnd); // the new text shows at once
        return r;
    }
    case WM_SETFONT:
        set_control_font(hwnd, set_font_params(wp, lp));
        return 0;
    case WM_GETFONT:
        return assigned_font(hwnd);
    case WM_GETDLGCODE:
        return on_get_dlg_code(hwnd);
    case WM_GETOBJECT:
        return button_access(hwnd, wp, lp);
    case BM_GETCHECK:
        return static_cast<LRESULT>(st.check);
    case BM_SETCHECK:
        return on_set_check(hwnd, st, wp);
    case BM_GETSTATE:
        return on_get_state(hwnd, st);
    case BM_SETSTATE:
        set_pushed(hwnd, st, wp != 0);
        return 0;
    case BM_SETSTYLE:
        return on_set_style(hwnd, wp, lp != 0);
    case BM_CLICK:
        return on_click_message(hwnd);
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(wp == IMAGE_ICON ? st.icon : st.bitmap);
    case BM_SETIMAGE:
        return on_set_image(hwnd, st, wp, lp);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<ButtonState, on_message>(hwnd, msg, wp, lp);
}

void register_button_class() {
    register_control_class(WC_BUTTON, button_proc, CS_DBLCLKS | CS_PARENTDC);
}

} // namespace platform::controls
