#include "ComboListBox.h"

#include "ComboBox.h"
#include "ComboBoxItems.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include <platform/Encoding.h>
#include <platform/access/AccessEvents.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <utility>

namespace platform::controls {

namespace {

constexpr int k_border = 1;
constexpr int k_text_indent = 3;
constexpr int k_wheel_rows = 3;

struct ComboListCreate {
    HWND combo;
    ComboBoxItems* items;
};

struct ComboListState {
    HWND self = nullptr;
    HWND combo = nullptr;
    ComboBoxItems* items = nullptr;
    bool popup = false;
    int item_height = 16;
    int top = 0;
    int current = -1;
    bool tracking = false;    // dropped and holding the capture
    bool button_held = false; // the press that dropped the list is still down
    bool pressed = false;     // a press that began inside the list
    // A "SCROLLBAR" child along the right edge, shown while there are more
    // items than rows.
    HWND bar = nullptr;
};

ComboListState* state_of(HWND hwnd) {
    return control_state<ComboListState>(hwnd);
}

Rect client_of(HWND hwnd) {
    Rect r;
    get_client_rect(hwnd, r);
    return r;
}

int rows_of(const ComboListState& st) {
    Rect c = client_of(st.self);
    return std::max(1, (c.height() - 2 * k_border) / std::max(1, st.item_height));
}

bool has_scrollbar(const ComboListState& st) {
    return st.items->count() > rows_of(st);
}

Rect items_area(const ComboListState& st) {
    Rect c = client_of(st.self);
    Rect r{k_border, k_border, c.right - k_border, c.bottom - k_border};
    if (has_scrollbar(st))
        r.right -= ScrollBarSize;
    return r;
}

Rect scrollbar_area(const ComboListState& st) {
    Rect c = client_of(st.self);
    return {c.right - k_border - ScrollBarSize, k_border, c.right - k_border, c.bottom - k_border};
}

int max_top(const ComboListState& st) {
    return std::max(0, st.items->count() - rows_of(st));
}

// Puts the bar in place, shows it while it is needed and sets it from the
// first item shown.
void update_bar(const ComboListState& st) {
    if (!st.bar)
        return;
    bool needed = has_scrollbar(st);
    if (needed) {
        Rect r = scrollbar_area(st);
        set_window_pos(st.bar, nullptr, r.left, r.top, r.width(), r.height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = st.items->count() - 1;
        info.nPage = static_cast<UINT>(rows_of(st));
        info.nPos = st.top;
        set_scroll_info(st.bar, SB_CTL, info);
    }
    bool shown = (get_style(st.bar) & WS_VISIBLE) != 0;
    if (shown != needed)
        show_window(st.bar, needed ? SW_SHOWNA : SW_HIDE);
}

void set_top(ComboListState& st, int top) {
    top = std::clamp(top, 0, max_top(st));
    if (top == st.top)
        return;
    st.top = top;
    invalidate_rect(st.self, nullptr, false);
    update_bar(st);
}

void scroll_into_view(ComboListState& st) {
    if (st.current < 0)
        return;
    int rows = rows_of(st);
    if (st.current < st.top)
        set_top(st, st.current);
    else if (st.current >= st.top + rows)
        set_top(st, st.current - rows + 1);
}

void set_current(ComboListState& st, int index) {
    if (!st.items->is_valid(index))
        index = -1;
    if (index != st.current) {
        st.current = index;
        invalidate_rect(st.self, nullptr, false);
        access::notify(access::EventKind::Selection, st.self);
    }
    scroll_into_view(st);
}

int item_at(const ComboListState& st, Point p) {
    Rect area = items_area(st);
    if (!area.contains(p))
        return -1;
    int index = st.top + (p.y - area.top) / std::max(1, st.item_height);
    return st.items->is_valid(index) ? index : -1;
}

void notify_combo(const ComboListState& st, UINT code) {
    send_message(st.combo, WM_COMMAND, make_wparam(k_combo_list_id, static_cast<int>(code)),
                 reinterpret_cast<LPARAM>(st.self));
}

// The combo box passes WM_CTLCOLORLISTBOX on to its parent, so the
// application colours the list as it colours the combo box.
COLORREF query_list_colors(const ComboListState& st, Canvas& canvas) {
    canvas.set_text_color(colors::text);
    canvas.set_bk_color(colors::window);
    auto answer = send_message(st.combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(&canvas),
                               reinterpret_cast<LPARAM>(st.self));
    std::uint32_t color;
    return brush_color(reinterpret_cast<HBRUSH>(answer), color) ? color : colors::window;
}

void on_paint(ComboListState& st) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(st.self, ps);
    if (!canvas) {
        end_paint(st.self, ps);
        return;
    }
    Rect client = client_of(st.self);
    COLORREF background = query_list_colors(st, *canvas);
    COLORREF text_color = canvas->text_color();
    canvas->fill_rect(client, background);
    canvas->frame_rect(client, colors::border);
    canvas->set_font(control_font(st.combo));
    canvas->set_bk_mode(BkMode::Transparent);
    Rect area = items_area(st);
    for (int i = st.top; i < st.items->count(); ++i) {
        int y = area.top + (i - st.top) * st.item_height;
        if (y >= area.bottom)
            break;
        Rect row{area.left, y, area.right, std::min(area.bottom, y + st.item_height)};
        bool highlighted = i == st.current;
        if (highlighted)
            canvas->fill_rect(row, colors::highlight);
        canvas->set_text_color(highlighted ? colors::highlight_text : text_color);
        Rect text_rect{row.left + k_text_indent, row.top, row.right - 1, row.bottom};
        canvas->draw_text(st.items->at(i)->text, text_rect,
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    end_paint(st.self, ps);
}

LRESULT on_nc_create(ComboListState& st, HWND hwnd, const CreateStruct* cs) {
    auto* params = cs ? static_cast<const ComboListCreate*>(cs->create_params) : nullptr;
    if (!params || !params->items)
        return 0;
    st.combo = params->combo;
    st.items = params->items;
    st.popup = (cs->style & WS_CHILD) == 0;
    return def_window_proc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(cs));
}

LRESULT on_create(ComboListState& st) {
    Rect r = scrollbar_area(st);
    st.bar = create_window_ex(0, WC_SCROLLBAR, "", WS_CHILD | SBS_VERT, r.left, r.top, r.width(),
                              r.height(), st.self, 0);
    update_bar(st);
    return 0;
}

// The bar reports the user's moves; the list answers by scrolling, which
// sets the bar's position. A dropped list lent the bar its capture for the
// press and takes it back when the bar is done.
void on_scroll(ComboListState& st, int code, HWND sender) {
    if (!sender || sender != st.bar)
        return;
    if (code == SB_ENDSCROLL) {
        if (st.popup && st.tracking && get_capture() != st.self)
            set_capture(st.self);
        return;
    }
    ScrollView view;
    view.pos = st.top;
    view.page = rows_of(st);
    view.last = max_top(st);
    int top = scroll_request_target(st.bar, SB_CTL, code, view);
    if (top >= 0)
        set_top(st, top);
}

void on_button_down(ComboListState& st, Point p, bool double_click) {
    Rect client = client_of(st.self);
    if (st.popup && !client.contains(p)) {
        notify_combo(st, LBN_SELCANCEL);
        return;
    }
    // The open list holds the capture, so a press on its bar comes here.
    if (st.popup && (get_style(st.bar) & WS_VISIBLE) && scrollbar_area(st).contains(p)) {
        Rect r = scrollbar_area(st);
        send_message(st.bar, WM_LBUTTONDOWN, MK_LBUTTON, make_lparam(p.x - r.left, p.y - r.top));
        return;
    }
    int index = item_at(st, p);
    st.pressed = true;
    if (st.popup) {
        if (index >= 0)
            set_current(st, index);
        return;
    }
    // The list of a simple combo box never takes the focus: the combo box
    // (and so its edit field) keeps it.
    HWND focus = get_focus();
    if (focus != st.combo && !is_child(st.combo, focus))
        set_focus(st.combo);
    set_capture(st.self);
    if (index < 0)
        return;
    set_current(st, index);
    notify_combo(st, LBN_SELCHANGE);
    if (double_click && is_window(st.self))
        notify_combo(st, LBN_DBLCLK);
}

void on_mouse_move(ComboListState& st, Point p) {
    if (st.popup ? !st.tracking : !st.pressed)
        return;
    int index = item_at(st, p);
    if (index < 0 || index == st.current)
        return;
    set_current(st, index);
    if (!st.popup)
        notify_combo(st, LBN_SELCHANGE);
}

void on_button_up(ComboListState& st, Point p) {
    bool was_pressed = std::exchange(st.pressed, false);
    bool was_held = std::exchange(st.button_held, false);
    if (!st.popup) {
        if (get_capture() == st.self)
            release_capture();
        return;
    }
    // A release outside the list (over the combo box that was clicked to
    // drop it, say) leaves it open for a second click.
    int index = item_at(st, p);
    if (st.tracking && index >= 0 && (was_pressed || was_held)) {
        set_current(st, index);
        notify_combo(st, LBN_SELCHANGE);
    }
}

void on_capture_changed(ComboListState& st, HWND taker) {
    st.pressed = false;
    // The bar holds the capture while it is pressed; the list stays open.
    if (st.popup && st.tracking && taker != st.self && taker != st.bar) {
        st.tracking = false;
        notify_combo(st, LBN_SELCANCEL);
    }
}

void on_wheel(ComboListState& st, int delta) {
    int notches = delta / WHEEL_DELTA;
    if (notches == 0)
        notches = delta > 0 ? 1 : -1;
    set_top(st, st.top - notches * k_wheel_rows);
}

// A list of the combo box's items, under the combo box; choosing one is the
// combo box's business.
LRESULT on_access(ComboListState& st, HWND hwnd, WPARAM wp, LPARAM lp) {
    using namespace platform::access;
    Request* r = reinterpret_cast<Request*>(lp);
    int count = st.items ? st.items->count() : 0;
    if (!r || r->part < 0 || r->part > count)
        return 0;
    if (static_cast<Query>(wp) == Query::Select) {
        if (r->part != 0 || r->index < 0 || r->index >= count || !r->flag)
            return 0;
        r->handled = post_message(st.combo, k_combo_access_choose, static_cast<WPARAM>(r->index));
        return 1;
    }
    if (static_cast<Query>(wp) != Query::Describe || !r->node)
        return 0;
    Node& node = *r->node;
    if (r->part == 0) {
        def_window_proc(hwnd, WM_GETOBJECT, wp, lp);
        node.role = Role::List;
        node.name.clear();
        node.container = st.combo;
        node.parts = count;
        node.selection = true;
        return 1;
    }
    int index = r->part - 1;
    node.role = Role::ListItem;
    node.name = gbk_to_utf8(st.items->at(index)->text);
    node.states = Enabled | Selectable;
    if (index == st.current)
        node.states |= Selected;
    Rect client = client_of(hwnd);
    int y = (index - st.top) * st.item_height;
    if (is_window_visible(hwnd) && y >= 0 && y < client.height())
        node.states |= Showing | Visible;
    Point origin{0, 0};
    client_to_screen(hwnd, origin);
    node.extents = Rect{0, y, client.width(), y + st.item_height}.offset(origin.x, origin.y);
    r->handled = true;
    return 1;
}

LRESULT on_message(ComboListState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETOBJECT:
        return on_access(st, hwnd, wp, lp);
    case WM_NCCREATE:
        return on_nc_create(st, hwnd, reinterpret_cast<const CreateStruct*>(lp));
    case WM_PAINT:
        on_paint(st);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_CREATE:
        return on_create(st);
    case WM_SIZE:
        set_top(st, st.top);
        update_bar(st);
        return 0;
    case WM_VSCROLL:
        on_scroll(st, loword(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        on_button_down(st, mouse_point(lp), false);
        return 0;
    case WM_LBUTTONDBLCLK:
        on_button_down(st, mouse_point(lp), true);
        return 0;
    case WM_MOUSEMOVE:
        on_mouse_move(st, mouse_point(lp));
        return 0;
    case WM_LBUTTONUP:
        on_button_up(st, mouse_point(lp));
        return 0;
    case WM_CAPTURECHANGED:
        on_capture_changed(st, reinterpret_cast<HWND>(lp));
        return 0;
    case WM_MOUSEWHEEL:
        on_wheel(st, wheel_delta(wp));
        return 0;
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT combo_list_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<ComboListState, on_message>(hwnd, msg, wp, lp);
}

void register_combo_list_class() {
    register_control_class(WC_COMBOLBOX, combo_list_proc, CS_DBLCLKS | CS_SAVEBITS);
}

HWND create_combo_list(HWND combo, ComboBoxItems& items, bool popup, const Rect& rect) {
    ComboListCreate params{combo, &items};
    if (popup)
        return create_window_ex(WS_EX_TOOLWINDOW, WC_COMBOLBOX, "", WS_POPUP | WS_CLIPSIBLINGS,
                                rect.left, rect.top, rect.width(), rect.height(), combo, 0,
                                &params);
    return create_window_ex(0, WC_COMBOLBOX, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left,
                            rect.top, rect.width(), rect.height(), combo, k_combo_list_id, &params);
}

int combo_list_current(HWND list) {
    ComboListState* st = state_of(list);
    return st ? st->current : -1;
}

void combo_list_set_current(HWND list, int index) {
    if (ComboListState* st = state_of(list))
        set_current(*st, index);
}

int combo_list_item_height(HWND list) {
    ComboListState* st = state_of(list);
    return st ? st->item_height : 0;
}

void combo_list_set_item_height(HWND list, int height) {
    ComboListState* st = state_of(list);
    if (!st)
        return;
    st->item_height = std::max(1, height);
    set_top(*st, st->top);
    scroll_into_view(*st);
    update_bar(*st);
    invalidate_rect(list, nullptr, false);
}

int combo_list_page_size(HWND list) {
    ComboListState* st = state_of(list);
    return st ? rows_of(*st) : 1;
}

int combo_list_top_index(HWND list) {
    ComboListState* st = state_of(list);
    return st ? st->top : 0;
}

void combo_list_set_top_index(HWND list, int index) {
    if (ComboListState* st = state_of(list))
        set_top(*st, index);
}

void combo_list_items_changed(HWND list) {
    ComboListState* st = state_of(list);
    if (!st)
        return;
    if (!st->items->is_valid(st->current))
        st->current = -1;
    st->top = std::clamp(st->top, 0, max_top(*st));
    update_bar(*st);
    invalidate_rect(list, nullptr, false);
}

void combo_list_begin_tracking(HWND list, bool button_down) {
    ComboListState* st = state_of(list);
    if (!st)
        return;
    st->button_held = button_down;
    st->pressed = false;
    st->tracking = true;
    set_capture(list);
}

void combo_list_end_tracking(HWND list) {
    ComboListState* st = state_of(list);
    if (!st)
        return;
    st->tracking = false;
    st->button_held = st->pressed = false;
    if (get_capture() == list)
        release_capture();
}

} // namespace platform::controls
