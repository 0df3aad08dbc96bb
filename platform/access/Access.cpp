#include "Access.h"

#include <platform/Encoding.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>

namespace platform::access {

namespace {

constexpr const char* k_name_prop = "armctl.access.name";
constexpr const char* k_label_for_prop = "armctl.access.label_for";
constexpr const char* k_labelled_by_prop = "armctl.access.labelled_by";

// The design's words win over what the window says of itself.
void apply_design(HWND hwnd, Node& node) {
    if (auto* name = reinterpret_cast<const char*>(get_prop(hwnd, k_name_prop)))
        node.name = gbk_to_utf8(name);
    if (auto target = reinterpret_cast<HWND>(get_prop(hwnd, k_label_for_prop));
        target && is_window(target))
        node.label_for = target;
    auto label = reinterpret_cast<HWND>(get_prop(hwnd, k_labelled_by_prop));
    if (label && is_window(label)) {
        node.labelled_by = label;
        if (!get_prop(hwnd, k_name_prop))
            node.name = describe({label, 0}).name;
    }
}

LRESULT ask(Object object, Query query, Request& request) {
    request.part = object.part;
    return send_message(object.hwnd, WM_GETOBJECT, static_cast<WPARAM>(query),
                        reinterpret_cast<LPARAM>(&request));
}

bool in_tree(HWND hwnd) {
    if (!is_window_visible(hwnd))
        return false;
    Node node = describe({hwnd, 0});
    return node.role != Role::None && !(node.states & Defunct);
}

} // namespace

const char* role_name(Role role) {
    switch (role) {
    case Role::None:
        return "none";
    case Role::Frame:
        return "frame";
    case Role::Dialog:
        return "dialog";
    case Role::Alert:
        return "alert";
    case Role::Panel:
        return "panel";
    case Role::Filler:
        return "filler";
    case Role::PushButton:
        return "push button";
    case Role::CheckBox:
        return "check box";
    case Role::RadioButton:
        return "radio button";
    case Role::Label:
        return "label";
    case Role::Text:
        return "text";
    case Role::ComboBox:
        return "combo box";
    case Role::List:
        return "list";
    case Role::ListItem:
        return "list item";
    case Role::Slider:
        return "slider";
    case Role::SpinButton:
        return "spin button";
    case Role::ScrollBar:
        return "scroll bar";
    case Role::Image:
        return "image";
    case Role::Table:
        return "table";
    case Role::TableCell:
        return "table cell";
    case Role::ColumnHeader:
        return "column header";
    case Role::RowHeader:
        return "row header";
    case Role::StatusBar:
        return "status bar";
    case Role::ToolTip:
        return "tool tip";
    }
    return "unknown";
}

Request* request_of(UINT msg, LPARAM lp) {
    return msg == WM_GETOBJECT ? reinterpret_cast<Request*>(lp) : nullptr;
}

Node describe(Object object) {
    Node node;
    if (!object.hwnd || !is_window(object.hwnd) || object.part < 0) {
        node.states = Defunct;
        return node;
    }
    Request request;
    request.node = &node;
    ask(object, Query::Describe, request);
    if (!request.handled || !is_window(object.hwnd)) {
        node = Node{};
        node.states = Defunct;
    } else if (object.part == 0) {
        apply_design(object.hwnd, node);
    }
    return node;
}

void set_design_name(HWND hwnd, const char* gbk) {
    set_prop(hwnd, k_name_prop, reinterpret_cast<std::intptr_t>(gbk));
}

void set_label_for(HWND label, HWND target) {
    set_prop(label, k_label_for_prop, reinterpret_cast<std::intptr_t>(target));
    set_prop(target, k_labelled_by_prop, reinterpret_cast<std::intptr_t>(label));
}

bool is_alive(Object object) {
    return !(describe(object).states & Defunct);
}

std::vector<Object> children(Object object) {
    std::vector<Object> out;
    if (object.part != 0 || !is_window(object.hwnd))
        return out;
    Node node = describe(object);
    if (node.states & Defunct)
        return out;
    for (HWND child : get_children(object.hwnd))
        if (in_tree(child))
            out.push_back({child, 0});
    for (HWND owned : node.owned)
        if (is_window(owned) && describe({owned, 0}).role != Role::None)
            out.push_back({owned, 0});
    for (int i = 1; i <= node.parts; ++i)
        out.push_back({object.hwnd, i});
    return out;
}

Object parent(Object object) {
    if (!is_window(object.hwnd))
        return {};
    if (object.part > 0)
        return {object.hwnd, 0};
    Node node = describe(object);
    if (node.container && is_window(node.container))
        return {node.container, 0};
    return {get_parent(object.hwnd), 0};
}

int index_in_parent(Object object) {
    Object up = parent(object);
    if (!up.hwnd) {
        // A top-level window: its place among the top-level windows.
        std::vector<HWND> tops = top_level_windows();
        auto it = std::find(tops.begin(), tops.end(), object.hwnd);
        return it == tops.end() ? -1 : static_cast<int>(it - tops.begin());
    }
    std::vector<Object> siblings = children(up);
    auto it = std::find(siblings.begin(), siblings.end(), object);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

bool do_action(Object object, int index) {
    if (!is_window(object.hwnd) || index < 0)
        return false;
    Request request;
    request.index = index;
    ask(object, Query::Action, request);
    return request.handled;
}

bool set_value(Object object, double value) {
    if (!is_window(object.hwnd))
        return false;
    Request request;
    request.value = value;
    ask(object, Query::SetValue, request);
    return request.handled;
}

bool text(Object object, TextState& out) {
    out = TextState{};
    if (!is_window(object.hwnd))
        return false;
    Request request;
    request.text = &out;
    ask(object, Query::Text, request);
    return request.handled;
}

Rect character_rect(Object object, int offset) {
    if (!is_window(object.hwnd) || offset < 0)
        return {};
    Request request;
    request.index = offset;
    ask(object, Query::CharacterRect, request);
    return request.handled ? request.rect : Rect{};
}

bool replace_text(Object object, int start, int end, std::string_view utf8) {
    if (!is_window(object.hwnd) || start < 0 || end < start)
        return false;
    Request request;
    request.start = start;
    request.end = end;
    request.insert = utf8;
    ask(object, Query::SetText, request);
    return request.handled;
}

bool set_selection(Object object, int start, int end) {
    if (!is_window(object.hwnd) || start < 0 || end < 0)
        return false;
    Request request;
    request.start = start;
    request.end = end;
    ask(object, Query::SetCaret, request);
    return request.handled;
}

bool select_child(Object object, int index, bool on) {
    if (!is_window(object.hwnd) || index < 0)
        return false;
    Request request;
    request.index = index;
    request.flag = on;
    ask(object, Query::Select, request);
    return request.handled;
}

std::string preceding_label_text(HWND hwnd, HWND* label) {
    if (label)
        *label = nullptr;
    HWND up = get_parent(hwnd);
    if (!up)
        return {};
    std::vector<HWND> siblings = get_children(up);
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    while (it != siblings.begin()) {
        --it;
        if (!is_window_visible(*it))
            continue;
        Node node = describe({*it, 0});
        if (node.role == Role::None)
            continue;
        if (node.role != Role::Label)
            return {};
        if (label)
            *label = *it;
        return node.name;
    }
    return {};
}

} // namespace platform::access
