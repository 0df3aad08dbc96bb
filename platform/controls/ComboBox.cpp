#include "ComboBox.h"

#include "ComboListBox.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <cstring>

namespace platform::controls {

namespace {

constexpr int k_edit_id = 1001; // the id the platform gives a combo box's edit field
constexpr int k_text_indent = 3;
// Below this many items a list too short for its dropped height shows them
// all; from this many on it shows at least this many.
constexpr int k_min_dropped_rows = 5;

std::string_view text_arg(LPARAM lp) {
    const char* text = reinterpret_cast<const char*>(lp);
    return text ? std::string_view(text) : std::string_view();
}

int font_text_height(HWND hwnd) {
    return std::max(1, measure_text(control_font(hwnd), "Ag").cy);
}

void resize_to_field(ComboBoxState& st) {
    if (st.kind == CBS_SIMPLE)
        return;
    Rect r;
    get_window_placement_rect(st.self, r);
    set_window_pos(st.self, nullptr, 0, 0, r.width(), combo_control_height(st),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void layout_children(ComboBoxState& st) {
    Rect c;
    get_client_rect(st.self, c);
    if (st.kind == CBS_SIMPLE) {
        int list_top = st.field_height + 2 * k_combo_frame;
        if (st.edit)
            move_window(st.edit, k_combo_frame, k_combo_frame, c.width() - 2 * k_combo_frame,
                        st.field_height);
        if (st.list)
            move_window(st.list, 0, list_top, c.width(), std::max(0, c.height() - list_top));
        return;
    }
    if (st.edit) {
        Rect button = combo_button_rect(st);
        move_window(st.edit, k_combo_frame, k_combo_frame, std::max(0, button.left - k_combo_frame),
                    c.height() - 2 * k_combo_frame);
    }
}

// Heights follow the font unless CB_SETITEMHEIGHT fixed them.
void measure_heights(ComboBoxState& st) {
    int text = font_text_height(st.self);
    if (!st.item_height_set)
        st.item_height = text + 2;
    if (!st.field_height_set)
        st.field_height = std::max(st.item_height, text);
    if (st.list)
        combo_list_set_item_height(st.list, st.item_height);
}

void draw_chevron(Canvas& canvas, const Rect& r, COLORREF color) {
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    const PointF points[] = {{cx - 3.5, cy - 1.5}, {cx, cy + 2.0}, {cx + 3.5, cy - 1.5}};
    canvas.draw_polyline(points, 3, color, 1.3);
}

void paint_field(ComboBoxState& st, Canvas& canvas, const Rect& client, bool enabled) {
    COLORREF background = colors::face_disabled;
    COLORREF text = colors::text_disabled;
    if (enabled) {
        UINT ctl = st.kind == CBS_DROPDOWNLIST ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT;
        background = query_colors(st.self, ctl, canvas, colors::window);
        text = canvas.text_color();
    }
    canvas.fill_rect(client, background);
    if (st.kind != CBS_DROPDOWNLIST)
        return;
    Rect button = combo_button_rect(st);
    Rect field{k_combo_frame, k_combo_frame, button.left, client.bottom - k_combo_frame};
    bool highlight = enabled && st.focused && !st.dropped;
    if (highlight) {
        canvas.fill_rect(field, colors::highlight);
        text = colors::highlight_text;
    }
    const ComboItem* item = st.items.at(st.selected);
    if (!item)
        return;
    canvas.set_font(control_font(st.self));
    canvas.set_bk_mode(BkMode::Transparent);
    canvas.set_text_color(text);
    Rect text_rect{field.left + k_text_indent - 1, field.top, field.right - 1, field.bottom};
    canvas.draw_text(item->text, text_rect,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void on_paint(ComboBoxState& st) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(st.self, ps);
    if (!canvas) {
        end_paint(st.self, ps);
        return;
    }
    Rect client;
    get_client_rect(st.self, client);
    bool enabled = is_window_enabled(st.self);
    if (st.kind == CBS_SIMPLE) {
        // Only the frame round the edit field: the list paints itself.
        Rect field{0, 0, client.right, st.field_height + 2 * k_combo_frame};
        canvas->fill_rect(field, enabled ? colors::window : colors::face_disabled);
        canvas->frame_rect(field, colors::border);
        end_paint(st.self, ps);
        return;
    }
    paint_field(st, *canvas, client, enabled);
    Rect button = combo_button_rect(st);
    if (st.dropped)
        canvas->fill_rect(button, colors::face_pressed);
    draw_chevron(*canvas, button, enabled ? colors::text : colors::text_disabled);
    bool hot = enabled && (st.focused || st.dropped);
    canvas->frame_rect(client, hot ? colors::border_hot : colors::border);
    end_paint(st.self, ps);
}

LRESULT on_create(ComboBoxState& st, HWND hwnd, const CreateStruct* cs) {
    std::uint32_t style = cs ? cs->style : get_style(hwnd);
    // The scroll bar styles are meant for the list; the box itself has none.
    if (get_style(hwnd) & (WS_VSCROLL | WS_HSCROLL))
        set_window_long(hwnd, GWL_STYLE,
                        static_cast<std::intptr_t>(get_style(hwnd) & ~(WS_VSCROLL | WS_HSCROLL)));
    st.kind = (style & 3) == 0 ? CBS_SIMPLE : (style & 3);
    st.sorted = (style & CBS_SORT) != 0;
    st.dropped_height = cs ? cs->cy : 0;
    measure_heights(st);
    Rect client;
    get_client_rect(hwnd, client);
    if (st.kind == CBS_SIMPLE) {
        int top = st.field_height + 2 * k_combo_frame;
        st.list = create_combo_list(hwnd, st.items, false,
                                    {0, top, client.right, std::max(top, client.bottom)});
    } else {
        st.list = create_combo_list(hwnd, st.items, true,
                                    {0, 0, std::max(1, client.right), st.item_height});
    }
    if (!st.list)
        return -1;
    combo_list_set_item_height(st.list, st.item_height);
    if (st.kind != CBS_DROPDOWNLIST) {
        std::uint32_t edit_style = WS_CHILD | WS_VISIBLE | ES_LEFT | ES_NOHIDESEL;
        if (style & CBS_AUTOHSCROLL)
            edit_style |= ES_AUTOHSCROLL;
        if (style & CBS_UPPERCASE)
            edit_style |= ES_UPPERCASE;
        if (style & CBS_LOWERCASE)
            edit_style |= ES_LOWERCASE;
        if (style & WS_DISABLED)
            edit_style |= WS_DISABLED;
        // Without an edit field these kinds cannot work: creation fails.
        st.edit = create_window_ex(0, WC_EDIT, "", edit_style, 0, 0, 1, 1, hwnd, k_edit_id);
        if (!st.edit)
            return -1;
        combo_subclass_edit(st.edit);
    }
    resize_to_field(st);
    layout_children(st);
    return 0;
}

void on_destroy(ComboBoxState& st) {
    if (st.list && st.kind != CBS_SIMPLE)
        destroy_window(st.list);
    st.list = nullptr;
}

void on_window_pos_changing(ComboBoxState& st, WindowPos* pos) {
    if (!pos || st.kind == CBS_SIMPLE || (pos->flags & SWP_NOSIZE))
        return;
    int height = combo_control_height(st);
    if (pos->cy == height)
        return;
    st.dropped_height = pos->cy;
    pos->cy = height;
}

void items_changed(ComboBoxState& st) {
    combo_list_items_changed(st.list);
    invalidate_rect(st.self, nullptr, false);
}

// The selection and the list's highlight follow their items when an item
// is inserted before them.
void item_inserted(ComboBoxState& st, int index) {
    int current = combo_list_current(st.list);
    if (st.selected >= index)
        ++st.selected;
    if (current >= index)
        ++current;
    combo_list_items_changed(st.list);
    combo_list_set_current(st.list, current);
    invalidate_rect(st.self, nullptr, false);
}

LRESULT on_add_string(ComboBoxState& st, LPARAM lp) {
    int index = st.items.add(text_arg(lp), st.sorted);
    item_inserted(st, index);
    return index;
}

LRESULT on_insert_string(ComboBoxState& st, WPARAM wp, LPARAM lp) {
    int index = st.items.insert(static_cast<int>(static_cast<std::intptr_t>(wp)), text_arg(lp));
    if (index < 0)
        return CB_ERR;
    item_inserted(st, index);
    return index;
}

LRESULT on_delete_string(ComboBoxState& st, WPARAM wp) {
    int index = static_cast<int>(static_cast<std::intptr_t>(wp));
    int current = combo_list_current(st.list);
    if (!st.items.erase(index))
        return CB_ERR;
    // Deleting the selected item leaves nothing selected, as on the platform.
    if (st.selected == index)
        st.selected = -1;
    else if (st.selected > index)
        --st.selected;
    items_changed(st);
    combo_list_set_current(st.list, current == index  ? -1
                                    : current > index ? current - 1
                                                      : current);
    return st.items.count();
}

void on_reset_content(ComboBoxState& st) {
    st.items.clear();
    st.selected = -1;
    if (st.edit) {
        st.quiet_edit = true;
        set_window_text(st.edit, "");
        st.quiet_edit = false;
    }
    items_changed(st);
}

// Out of range (or -1) clears the selection and answers CB_ERR, as the
// platform's CB_SETCURSEL does. It never notifies.
LRESULT on_set_cur_sel(ComboBoxState& st, WPARAM wp) {
    int index = static_cast<int>(static_cast<std::intptr_t>(wp));
    if (!st.items.is_valid(index))
        index = -1;
    combo_set_selection(st, index);
    combo_update_edit(st);
    return index < 0 ? CB_ERR : index;
}

LRESULT on_get_lb_text(const ComboBoxState& st, WPARAM wp, LPARAM lp) {
    const ComboItem* item = st.items.at(static_cast<int>(static_cast<std::intptr_t>(wp)));
    char* out = reinterpret_cast<char*>(lp);
    if (!item || !out)
        return CB_ERR;
    std::memcpy(out, item->text.c_str(), item->text.size() + 1);
    return static_cast<LRESULT>(item->text.size());
}

LRESULT on_get_lb_text_len(const ComboBoxState& st, WPARAM wp) {
    const ComboItem* item = st.items.at(static_cast<int>(static_cast<std::intptr_t>(wp)));
    return item ? static_cast<LRESULT>(item->text.size()) : CB_ERR;
}

LRESULT on_set_item_data(ComboBoxState& st, WPARAM wp, LPARAM lp) {
    ComboItem* item = st.items.at(static_cast<int>(static_cast<std::intptr_t>(wp)));
    if (!item)
        return CB_ERR;
    item->data = static_cast<std::uintptr_t>(lp);
    return 1;
}

LRESULT on_get_item_data(const ComboBoxState& st, WPARAM wp) {
    const ComboItem* item = st.items.at(static_cast<int>(static_cast<std::intptr_t>(wp)));
    return item ? static_cast<LRESULT>(item->data) : CB_ERR;
}

LRESULT on_set_item_height(ComboBoxState& st, WPARAM wp, LPARAM lp) {
    int index = static_cast<int>(static_cast<std::intptr_t>(wp));
    if (lp < 0 || lp > 32767 || index < -1)
        return CB_ERR;
    int height = std::max(1, static_cast<int>(lp));
    if (index == -1) {
        st.field_height = height;
        st.field_height_set = true;
        resize_to_field(st);
    } else {
        st.item_height = height;
        st.item_height_set = true;
        combo_list_set_item_height(st.list, height);
    }
    layout_children(st);
    invalidate_rect(st.self, nullptr, false);
    return CB_OKAY;
}

LRESULT on_get_item_height(const ComboBoxState& st, WPARAM wp) {
    int index = static_cast<int>(static_cast<std::intptr_t>(wp));
    if (index < -1)
        return CB_ERR;
    return index == -1 ? st.field_height : st.item_height;
}

LRESULT on_find(const ComboBoxState& st, WPARAM wp, LPARAM lp, bool exact) {
    int start = static_cast<int>(static_cast<std::intptr_t>(wp));
    int found = exact ? st.items.find_exact(start, text_arg(lp))
                      : st.items.find_prefix(start, text_arg(lp));
    return found < 0 ? CB_ERR : found;
}

LRESULT on_select_string(ComboBoxState& st, WPARAM wp, LPARAM lp) {
    LRESULT found = on_find(st, wp, lp, false);
    if (found == CB_ERR)
        return CB_ERR;
    combo_set_selection(st, static_cast<int>(found));
    combo_update_edit(st);
    return found;
}

LRESULT on_get_dropped_control_rect(const ComboBoxState& st, LPARAM lp) {
    auto* out = reinterpret_cast<Rect*>(lp);
    if (!out)
        return CB_ERR;
    Rect screen;
    get_window_rect(st.self, screen);
    int height = st.kind == CBS_SIMPLE ? screen.height() : st.dropped_height;
    *out = {screen.left, screen.top, screen.right, screen.top + height};
    return 1;
}

LRESULT on_show_dropdown(ComboBoxState& st, WPARAM wp) {
    if (wp)
        combo_drop_down(st, false);
    else
        combo_roll_up(st, false);
    return 1;
}

LRESULT on_edit_sel(ComboBoxState& st, UINT msg, WPARAM wp, LPARAM lp) {
    // CB_LIMITTEXT answers TRUE even without an edit field, as on the platform.
    if (msg == CB_LIMITTEXT) {
        if (st.edit)
            send_message(st.edit, EM_LIMITTEXT, wp, 0);
        return 1;
    }
    if (!st.edit)
        return CB_ERR;
    if (msg == CB_GETEDITSEL)
        return send_message(st.edit, EM_GETSEL, wp, lp);
    // The low word is the start (-1 removes the selection), the high word
    // the end (-1: to the end of the text).
    int start = low_short(static_cast<std::uintptr_t>(lp));
    int end = high_short(static_cast<std::uintptr_t>(lp));
    send_message(st.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<std::intptr_t>(start)),
                 static_cast<LPARAM>(end));
    return 1;
}

// A drop-down list has no text of its own: setting one selects the item
// with exactly that text, reading it answers the selected item's text.
LRESULT on_set_text(ComboBoxState& st, LPARAM lp) {
    if (st.edit) {
        std::string text(text_arg(lp));
        st.quiet_edit = true;
        LRESULT r = send_message(st.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        st.quiet_edit = false;
        return r;
    }
    int found = st.items.find_exact(-1, text_arg(lp));
    if (found < 0)
        return CB_ERR;
    combo_set_selection(st, found);
    return 1;
}

LRESULT on_get_text(const ComboBoxState& st, UINT msg, WPARAM wp, LPARAM lp) {
    if (st.edit)
        return send_message(st.edit, msg, wp, lp);
    const ComboItem* item = st.items.at(st.selected);
    std::string_view text = item ? std::string_view(item->text) : std::string_view();
    if (msg == WM_GETTEXTLENGTH)
        return static_cast<LRESULT>(text.size());
    char* out = reinterpret_cast<char*>(lp);
    if (wp == 0 || !out)
        return 0;
    std::size_t n = std::min<std::size_t>(text.size(), wp - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

void on_set_font(ComboBoxState& st, SetFont font) {
    set_control_font(st.self, font);
    if (st.edit)
        send_message(st.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font.font), font.redraw);
    measure_heights(st);
    resize_to_field(st);
    layout_children(st);
}

void on_enable(ComboBoxState& st, bool enable) {
    if (!enable)
        combo_roll_up(st, false);
    if (st.edit)
        enable_window(st.edit, enable);
    if (st.list && st.kind == CBS_SIMPLE)
        enable_window(st.list, enable);
    invalidate_rect(st.self, nullptr, false);
}

void on_show_window(ComboBoxState& st, bool show) {
    if (!show)
        combo_roll_up(st, false);
}

void on_command(ComboBoxState& st, Command command) {
    if (command.from && command.from == st.edit)
        combo_on_edit_command(st, command.code);
    else if (command.from && command.from == st.list)
        combo_on_list_command(st, command.code);
}

} // namespace

ComboBoxState* combo_state(HWND hwnd) {
    return control_state<ComboBoxState>(hwnd);
}

int combo_control_height(const ComboBoxState& st) {
    return st.field_height + 2 * k_combo_frame;
}

Rect combo_button_rect(const ComboBoxState& st) {
    Rect c;
    get_client_rect(st.self, c);
    if (st.kind == CBS_SIMPLE)
        return {};
    return {std::max(0, c.right - 1 - k_combo_button_width), 1, std::max(0, c.right - 1),
            std::max(1, c.bottom - 1)};
}

// The list shows as many whole items as the dropped height leaves room for
// below the combo box, and shrinks to fit fewer items. When that room is
// too small (a combo box created as high as its field), the platform still
// shows a usable list: every item when there are fewer than five, else at
// least five.
int combo_list_rows(const ComboBoxState& st) {
    int count = st.items.count();
    int room = st.dropped_height - combo_control_height(st) - 2;
    int fit = room / std::max(1, st.item_height);
    int rows = count;
    if (fit < count)
        rows = count < k_min_dropped_rows ? count : std::max(fit, k_min_dropped_rows);
    return std::max(1, rows);
}

void combo_set_selection(ComboBoxState& st, int index) {
    if (!st.items.is_valid(index))
        index = -1;
    st.selected = index;
    combo_list_set_current(st.list, index);
    invalidate_rect(st.self, nullptr, false);
}

void combo_update_edit(ComboBoxState& st) {
    if (!st.edit)
        return;
    const ComboItem* item = st.items.at(st.selected);
    st.quiet_edit = true;
    set_window_text(st.edit, item ? std::string_view(item->text) : std::string_view());
    if (st.focused)
        send_message(st.edit, EM_SETSEL, 0, -1);
    st.quiet_edit = false;
}

namespace {

LRESULT on_message(ComboBoxState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return on_create(st, hwnd, reinterpret_cast<const CreateStruct*>(lp));
    case WM_DESTROY:
        on_destroy(st);
        return 0;
    case WM_PAINT:
        on_paint(st);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_WINDOWPOSCHANGING:
        on_window_pos_changing(st, reinterpret_cast<WindowPos*>(lp));
        return 0;
    case WM_SIZE:
        layout_children(st);
        return 0;
    case WM_SHOWWINDOW:
        on_show_window(st, wp != 0);
        return 0;
    case WM_CANCELMODE:
        combo_roll_up(st, false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        combo_on_button_down(st, mouse_point(lp));
        return 0;
    case WM_KEYDOWN:
        combo_on_key_down(st, static_cast<UINT>(wp));
        return 0;
    case WM_SYSKEYDOWN:
        if (combo_on_sys_key_down(st, static_cast<UINT>(wp), lp))
            return 0;
        return def_window_proc(hwnd, msg, wp, lp);
    case WM_CHAR:
        combo_on_char(st, static_cast<unsigned>(wp));
        return 0;
    case WM_MOUSEWHEEL:
        combo_on_wheel(st, wheel_delta(wp));
        return 0;
    case WM_SETFOCUS:
        combo_on_set_focus(st);
        return 0;
    case WM_KILLFOCUS:
        combo_on_kill_focus(st, reinterpret_cast<HWND>(wp));
        return 0;
    case WM_ENABLE:
        on_enable(st, wp != 0);
        return 0;
    case WM_GETDLGCODE:
        return combo_dialog_code(st, lp, 0);
    case WM_COMMAND:
        on_command(st, command_params(wp, lp));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return send_message(get_parent(hwnd), msg, wp, lp);
    case WM_SETTEXT:
        return on_set_text(st, lp);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return on_get_text(st, msg, wp, lp);
    case WM_SETFONT:
        on_set_font(st, set_font_params(wp, lp));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(control_font(hwnd));
    case CB_ADDSTRING:
        return on_add_string(st, lp);
    case CB_INSERTSTRING:
        return on_insert_string(st, wp, lp);
    case CB_DELETESTRING:
        return on_delete_string(st, wp);
    case CB_RESETCONTENT:
        on_reset_content(st);
        return CB_OKAY;
    case CB_GETCOUNT:
        return st.items.count();
    case CB_GETCURSEL:
        return st.selected;
    case CB_SETCURSEL:
        return on_set_cur_sel(st, wp);
    case CB_GETLBTEXT:
        return on_get_lb_text(st, wp, lp);
    case CB_GETLBTEXTLEN:
        return on_get_lb_text_len(st, wp);
    case CB_SETITEMDATA:
        return on_set_item_data(st, wp, lp);
    case CB_GETITEMDATA:
        return on_get_item_data(st, wp);
    case CB_SETITEMHEIGHT:
        return on_set_item_height(st, wp, lp);
    case CB_GETITEMHEIGHT:
        return on_get_item_height(st, wp);
    case CB_LIMITTEXT:
    case CB_SETEDITSEL:
    case CB_GETEDITSEL:
        return on_edit_sel(st, msg, wp, lp);
    case CB_SHOWDROPDOWN:
        return on_show_dropdown(st, wp);
    case CB_GETDROPPEDSTATE:
        return st.dropped ? 1 : 0;
    case CB_FINDSTRING:
        return on_find(st, wp, lp, false);
    case CB_FINDSTRINGEXACT:
        return on_find(st, wp, lp, true);
    case CB_SELECTSTRING:
        return on_select_string(st, wp, lp);
    case CB_GETDROPPEDCONTROLRECT:
        return on_get_dropped_control_rect(st, lp);
    case WM_GETOBJECT:
        return combo_access(st, hwnd, wp, lp);
    case k_combo_access_choose:
        combo_access_choose(st, static_cast<int>(wp));
        return 0;
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT combobox_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<ComboBoxState, on_message>(hwnd, msg, wp, lp);
}

void register_combobox_classes() {
    register_control_class(WC_COMBOBOX, combobox_proc, CS_DBLCLKS | CS_PARENTDC);
    register_combo_list_class();
}

} // namespace platform::controls
