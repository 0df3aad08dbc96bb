#include "ControlAccess.h"

#include "Controls.h"
#include <platform/Encoding.h>
#include <platform/access/Access.h>
#include <platform/window/WindowSystem.h>

#include <vector>

namespace platform::controls {

namespace {

using namespace platform::access;

// The window's own description from the default procedure; null when the
// query is not a description of the window itself.
Node* describe_default(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = reinterpret_cast<Request*>(lp);
    if (!r || static_cast<Query>(wp) != Query::Describe || r->part != 0 || !r->node)
        return nullptr;
    def_window_proc(hwnd, WM_GETOBJECT, wp, lp);
    return r->node;
}

Request* request(LPARAM lp) {
    return reinterpret_cast<Request*>(lp);
}

void whole_text(const std::string& utf8, TextState& out) {
    out.text = utf8;
    out.caret = 0;
    out.selection_start = out.selection_end = 0;
}

std::string part_text(HWND bar, int index) {
    auto length = static_cast<std::size_t>(
        loword(static_cast<std::uintptr_t>(send_message(bar, SB_GETTEXTLENGTHA, index))));
    std::string gbk(length + 1, '\0');
    send_message(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(gbk.data()));
    gbk.resize(length);
    return gbk_to_utf8(gbk);
}

} // namespace

LRESULT button_access(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = request(lp);
    if (!r || r->part != 0)
        return 0;
    std::uint32_t kind = get_style(hwnd) & BS_TYPEMASK;
    if (static_cast<Query>(wp) == Query::Action) {
        if (kind == BS_GROUPBOX || r->index != 0)
            return 0;
        // A press may open a modal box: the client's call must not wait for it.
        r->handled = post_message(hwnd, BM_CLICK);
        return 1;
    }
    Node* node = describe_default(hwnd, wp, lp);
    if (!node)
        return 0;
    auto state = static_cast<std::uint32_t>(send_message(hwnd, BM_GETSTATE));
    switch (kind) {
    case BS_GROUPBOX:
        node->role = Role::Panel;
        node->states &= ~Focusable;
        return 1;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        node->role = Role::CheckBox;
        node->actions = {"click"};
        break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        node->role = Role::RadioButton;
        node->actions = {"click"};
        break;
    default:
        node->role = Role::PushButton;
        node->actions = {"press"};
        break;
    }
    node->states |= Focusable;
    if (state & BST_CHECKED)
        node->states |= Checked;
    if (state & BST_PUSHED)
        node->states |= Pressed;
    return 1;
}

LRESULT static_access(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = request(lp);
    if (!r || r->part != 0)
        return 0;
    std::uint32_t kind = get_style(hwnd) & SS_TYPEMASK;
    bool image = kind == SS_BITMAP || kind == SS_ICON || kind == SS_BLACKRECT;
    if (static_cast<Query>(wp) == Query::Text && !image && r->text) {
        whole_text(gbk_to_utf8(get_window_text(hwnd)), *r->text);
        r->handled = true;
        return 1;
    }
    Node* node = describe_default(hwnd, wp, lp);
    if (!node)
        return 0;
    node->role = image ? Role::Image : Role::Label;
    node->states &= ~Focusable;
    node->has_text = !image;
    return 1;
}

LRESULT statusbar_access(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = request(lp);
    if (!r)
        return 0;
    int parts = static_cast<int>(send_message(hwnd, SB_GETPARTS, 0, 0));
    if (r->part > parts)
        return 0;
    if (r->part > 0) {
        int index = r->part - 1;
        if (static_cast<Query>(wp) == Query::Text && r->text) {
            whole_text(part_text(hwnd, index), *r->text);
            r->handled = true;
            return 1;
        }
        if (static_cast<Query>(wp) != Query::Describe || !r->node)
            return 0;
        Node& node = *r->node;
        node.role = Role::Label;
        node.name = part_text(hwnd, index);
        node.has_text = true;
        node.states = is_window_visible(hwnd) ? Showing | Visible | Enabled : Enabled;
        Rect rect;
        send_message(hwnd, SB_GETRECT, index, reinterpret_cast<LPARAM>(&rect));
        Point origin{0, 0};
        client_to_screen(hwnd, origin);
        node.extents = rect.offset(origin.x, origin.y);
        r->handled = true;
        return 1;
    }
    if (static_cast<Query>(wp) == Query::Text && r->text) {
        whole_text(part_text(hwnd, 0), *r->text);
        r->handled = true;
        return 1;
    }
    Node* node = describe_default(hwnd, wp, lp);
    if (!node)
        return 0;
    node->role = Role::StatusBar;
    node->name = parts > 0 ? part_text(hwnd, 0) : std::string();
    node->parts = parts;
    node->has_text = true;
    return 1;
}

LRESULT updown_access(HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = request(lp);
    if (!r || r->part != 0)
        return 0;
    if (static_cast<Query>(wp) == Query::SetValue) {
        send_message(hwnd, UDM_SETPOS32, 0, static_cast<LPARAM>(r->value));
        r->handled = true;
        return 1;
    }
    Node* node = describe_default(hwnd, wp, lp);
    if (!node)
        return 0;
    int min = 0, max = 0;
    send_message(hwnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min),
                 reinterpret_cast<LPARAM>(&max));
    node->role = Role::SpinButton;
    node->states |= (get_style(hwnd) & UDS_HORZ) ? Horizontal : Vertical;
    node->has_value = true;
    node->value = {static_cast<double>(send_message(hwnd, UDM_GETPOS32)),
                   static_cast<double>(std::min(min, max)), static_cast<double>(std::max(min, max)),
                   1};
    if (HWND buddy = reinterpret_cast<HWND>(send_message(hwnd, UDM_GETBUDDY)))
        node->name = describe({buddy, 0}).name;
    return 1;
}

LRESULT scrollbar_access(HWND hwnd, WPARAM wp, LPARAM lp) {
    Node* node = describe_default(hwnd, wp, lp);
    if (!node)
        return 0;
    ScrollInfo info;
    info.fMask = SIF_ALL;
    get_scroll_info(hwnd, SB_CTL, info);
    node->role = Role::ScrollBar;
    node->states |= (get_style(hwnd) & SBS_VERT) ? Vertical : Horizontal;
    node->has_value = true;
    int last = info.nMax - std::max<int>(0, static_cast<int>(info.nPage) - 1);
    node->value = {static_cast<double>(info.nPos), static_cast<double>(info.nMin),
                   static_cast<double>(std::max(info.nMin, last)), 1};
    return 1;
}

} // namespace platform::controls
