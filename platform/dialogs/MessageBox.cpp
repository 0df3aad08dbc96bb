// The message box, built from our own controls so that it looks and behaves
// the same on every display, and tests can press its buttons.

#include "Dialogs.h"
#include "platform/DisplayBackend.h"
#include "platform/controls/ControlSupport.h"
#include <platform/Encoding.h>
#include <platform/access/AccessEvents.h>
#include <platform/controls/Controls.h>
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Font.h>
#include <platform/window/DialogNavigation.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {

namespace {

constexpr const char* k_class = "ArmctlMessageBox";
constexpr const char* k_state_prop = "armctl.msgbox";
constexpr int k_button_width = 80;
constexpr int k_button_height = 26;
constexpr int k_margin = 14;
constexpr int k_icon = 32;
constexpr int k_max_text_width = 420;

struct ButtonSpec {
    int id;
    const char* label; // GBK
};

// 确定, 取消, 中止, 重试, 忽略, 是, 否
constexpr ButtonSpec k_ok{IDOK, "\xC8\xB7\xB6\xA8"};
constexpr ButtonSpec k_cancel{IDCANCEL, "\xC8\xA1\xCF\xFB"};
constexpr ButtonSpec k_abort{IDABORT, "\xD6\xD0\xD6\xB9"};
constexpr ButtonSpec k_retry{IDRETRY, "\xD6\xD8\xCA\xD4"};
constexpr ButtonSpec k_ignore{IDIGNORE, "\xBA\xF6\xC2\xD4"};
constexpr ButtonSpec k_yes{IDYES, "\xCA\xC7"};
constexpr ButtonSpec k_no{IDNO, "\xB7\xF1"};

std::vector<ButtonSpec> buttons_for(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {k_ok, k_cancel};
    case MB_ABORTRETRYIGNORE:
        return {k_abort, k_retry, k_ignore};
    case MB_YESNOCANCEL:
        return {k_yes, k_no, k_cancel};
    case MB_YESNO:
        return {k_yes, k_no};
    case MB_RETRYCANCEL:
        return {k_retry, k_cancel};
    default:
        return {k_ok};
    }
}

struct BoxState {
    UINT type = 0;
    std::string text;
    Rect text_rect;
    std::vector<ButtonSpec> buttons;
};

BoxState* state_of(HWND h) {
    return reinterpret_cast<BoxState*>(get_prop(h, k_state_prop));
}

// Escape and the close box answer Cancel where there is one, and OK on a
// box with only OK; other boxes cannot be dismissed without a choice.
int cancel_answer(const BoxState& st) {
    for (auto& b : st.buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return st.buttons.size() == 1 ? st.buttons[0].id : 0;
}

void draw_icon(Canvas& c, UINT icon, int x, int y) {
    if (!icon)
        return;
    const char* glyph = "i";
    COLORREF color = rgb(0x1E, 0x6F, 0xD9);
    if (icon == MB_ICONERROR) {
        color = rgb(0xD8, 0x2C, 0x2C);
        glyph = "\xA1\xC1"; // ×
    } else if (icon == MB_ICONQUESTION) {
        glyph = "?";
    } else if (icon == MB_ICONWARNING) {
        color = rgb(0xE8, 0xA3, 0x17);
        glyph = "!";
    }
    if (icon == MB_ICONWARNING) {
        const PointF triangle[] = {{x + k_icon / 2.0, y + 2.0},
                                   {x + k_icon - 1.0, y + k_icon - 3.0},
                                   {x + 1.0, y + k_icon - 3.0}};
        c.fill_polygon(triangle, 3, color);
    } else {
        c.fill_ellipse({x + 1, y + 1, x + k_icon - 1, y + k_icon - 1}, color);
    }
    LogFont lf = default_gui_log_font();
    lf.height = -20;
    lf.weight = FW_BOLD;
    HFONT f = create_font_indirect(lf);
    HFONT old = c.set_font(f);
    c.set_bk_mode(BkMode::Transparent);
    c.set_text_color(icon == MB_ICONWARNING ? rgb(0, 0, 0) : rgb(0xFF, 0xFF, 0xFF));
    Rect r{x, y + (icon == MB_ICONWARNING ? 4 : 0), x + k_icon, y + k_icon};
    c.draw_text(glyph, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    c.set_font(old);
    delete_font(f);
}

void on_paint(HWND hwnd, BoxState& st) {
    PaintStruct ps;
    if (Canvas* c = begin_paint(hwnd, ps)) {
        Rect client;
        get_client_rect(hwnd, client);
        int band = k_button_height + 2 * 12;
        c->fill_rect({0, 0, client.right, client.bottom - band}, controls::colors::window);
        c->fill_rect({0, client.bottom - band, client.right, client.bottom},
                     controls::colors::face);
        draw_icon(*c, st.type & MB_ICONMASK, k_margin, k_margin);
        c->set_bk_mode(BkMode::Transparent);
        c->set_text_color(controls::colors::text);
        Rect tr = st.text_rect;
        c->draw_text(st.text, tr, DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    }
    end_paint(hwnd, ps);
}

// An alert named by its caption, whose text is a label inside it.
LRESULT on_access(HWND hwnd, BoxState& st, WPARAM wp, LPARAM lp) {
    using namespace platform::access;
    Request* r = reinterpret_cast<Request*>(lp);
    if (!r || r->part < 0 || r->part > 1)
        return 0;
    std::string text = gbk_to_utf8(st.text);
    if (static_cast<Query>(wp) == Query::Text && r->text) {
        r->text->text = text;
        r->handled = true;
        return 1;
    }
    if (static_cast<Query>(wp) != Query::Describe || !r->node)
        return 0;
    Node& node = *r->node;
    if (r->part == 0) {
        def_window_proc(hwnd, WM_GETOBJECT, wp, lp);
        node.role = Role::Alert;
        node.description = text;
        node.states |= Modal;
        node.parts = 1;
        return 1;
    }
    node.role = Role::Label;
    node.name = text;
    node.has_text = true;
    node.states = Showing | Visible | Enabled;
    Point origin{0, 0};
    client_to_screen(hwnd, origin);
    node.extents = st.text_rect.offset(origin.x, origin.y);
    r->handled = true;
    return 1;
}

LRESULT box_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    BoxState* st = state_of(hwnd);
    switch (msg) {
    case WM_GETOBJECT:
        if (st)
            return on_access(hwnd, *st, wp, lp);
        break;
    case WM_PAINT:
        if (st) {
            on_paint(hwnd, *st);
            return 0;
        }
        break;
    case WM_COMMAND: {
        int id = command_params(wp, lp).id;
        if (!st)
            return 0;
        if (id == IDCANCEL)
            id = cancel_answer(*st);
        if (id)
            end_modal_loop(hwnd, id);
        return 0;
    }
    case WM_CLOSE:
        if (st && cancel_answer(*st))
            end_modal_loop(hwnd, cancel_answer(*st));
        return 0;
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(create_solid_brush(controls::colors::face));
    default:
        break;
    }
    return def_window_proc(hwnd, msg, wp, lp);
}

void ensure_class() {
    WindowClass cls;
    if (get_class_info(k_class, cls))
        return;
    cls.name = k_class;
    cls.proc = box_proc;
    cls.background = controls::colors::face;
    cls.cursor = load_cursor(IDC_ARROW);
    register_class(cls);
}

// The windows a box disables: every enabled top-level window of the thread
// for a task-modal box or a box without owner, else the owner's.
std::vector<HWND> windows_to_disable(HWND owner, UINT type) {
    std::vector<HWND> out;
    HWND owner_top = owner ? get_ancestor_root(owner) : nullptr;
    if (!owner_top || (type & (MB_TASKMODAL | MB_SYSTEMMODAL))) {
        for (HWND t : top_level_windows())
            if (is_window_enabled(t) && is_window_visible(t))
                out.push_back(t);
    } else if (is_window_enabled(owner_top)) {
        out.push_back(owner_top);
    }
    return out;
}

} // namespace

int message_box(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    if (!backend())
        return 0;
    if (owner && !is_window(owner))
        owner = nullptr;
    register_standard_controls();
    ensure_class();
    BoxState st;
    st.type = type;
    st.text = std::string(text);
    // CR LF and lone LF both break lines.
    std::erase(st.text, '\r');
    st.buttons = buttons_for(type);

    // Size the box to its text.
    HFONT font = default_gui_font();
    Size one_line = measure_text(font, "Ag");
    int text_left = k_margin + ((type & MB_ICONMASK) ? k_icon + 12 : 0);
    HBITMAP scratch = create_bitmap(1, 1);
    Rect measured{0, 0, k_max_text_width, 0};
    if (std::unique_ptr<Canvas> c = bitmap_canvas(scratch))
        c->draw_text(st.text.empty() ? " " : st.text, measured,
                     DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    delete_bitmap(scratch);
    int text_height = std::max(measured.height(), one_line.cy);
    int content_height = std::max(text_height, (type & MB_ICONMASK) ? k_icon : 0);
    int buttons_width = static_cast<int>(st.buttons.size()) * (k_button_width + 8) - 8;
    int client_w =
        std::max(text_left + measured.width() + k_margin + 10, buttons_width + 2 * k_margin);
    client_w = std::max(client_w, 200);
    int band = k_button_height + 24;
    int client_h = k_margin + content_height + k_margin + band;
    int text_top = k_margin + std::max(0, (content_height - text_height) / 2);
    st.text_rect = {text_left, text_top, text_left + measured.width() + 10, text_top + text_height};

    std::uint32_t style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    FrameInsets in = frame_insets(style, WS_EX_DLGMODALFRAME, true);
    int w = client_w + in.left + in.right;
    int h = client_h + in.top + in.bottom;
    Rect anchor{0, 0, 1280, 1024};
    if (owner)
        get_window_rect(get_ancestor_root(owner), anchor);
    int x = anchor.left + (anchor.width() - w) / 2;
    int y = anchor.top + (anchor.height() - h) / 2;

    std::vector<HWND> disabled = windows_to_disable(owner, type);
    HWND box = create_window_ex(
        WS_EX_DLGMODALFRAME | ((type & (MB_SYSTEMMODAL | MB_TOPMOST)) ? WS_EX_TOPMOST : 0), k_class,
        caption, style, x, y, w, h, owner ? get_ancestor_root(owner) : nullptr, 0);
    if (!box)
        return 0;
    set_prop(box, k_state_prop, reinterpret_cast<std::intptr_t>(&st));

    int default_index = static_cast<int>((type & MB_DEFMASK) >> 8);
    if (default_index >= static_cast<int>(st.buttons.size()))
        default_index = 0;
    int bx = client_w - k_margin - buttons_width;
    int by = client_h - band + 12;
    HWND default_button = nullptr;
    for (std::size_t i = 0; i < st.buttons.size(); ++i) {
        bool is_default = static_cast<int>(i) == default_index;
        HWND b =
            create_window_ex(0, WC_BUTTON, st.buttons[i].label,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                                 (is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                             bx + static_cast<int>(i) * (k_button_width + 8), by, k_button_width,
                             k_button_height, box, static_cast<std::uintptr_t>(st.buttons[i].id));
        if (is_default)
            default_button = b;
    }
    for (HWND t : disabled)
        enable_window(t, false);
    if (type & (MB_SYSTEMMODAL | MB_TOPMOST))
        set_window_pos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    show_window(box, SW_SHOW);
    set_focus(default_button);

    access::notify(access::EventKind::Shown, box);
    backend()->message_box_shown(box, st.buttons[static_cast<std::size_t>(default_index)].id,
                                 caption, text);
    std::intptr_t result = run_modal_loop(box, nullptr, ModalKeys::Dialog);

    // Enable before destroying, so activation can go back to the owner.
    for (HWND t : disabled)
        if (is_window(t))
            enable_window(t, true);
    if (is_window(box)) {
        remove_prop(box, k_state_prop);
        destroy_window(box);
    }
    if (owner && is_window(owner))
        set_active_window(get_ancestor_root(owner));
    if (result < 0)
        result = cancel_answer(st) ? cancel_answer(st)
                                   : st.buttons[static_cast<std::size_t>(default_index)].id;
    return static_cast<int>(result);
}

} // namespace platform
