#include "InterfaceStyle.h"

#include "InterfaceStylePainter.h"

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>
#include <runtime/values/ValueConversion.h>

#include <algorithm>
#include <cctype>
#include <list>
#include <string_view>

namespace commands {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;
using runtime::TypedValue;

namespace {

struct RestyledWindow {
    HWND hwnd;
    ControlKind kind;
    std::uint32_t state_flags;
    platform::WNDPROC previous;
};

// Belongs to the user-interface thread, the only one with windows.
struct StyleState {
    int scheme = 0;
    std::list<RestyledWindow> windows; // the newest first
    platform::HHOOK hook = nullptr;
};

StyleState& style_state() {
    static StyleState state;
    return state;
}

constexpr const char* EntryProperty = "armctl.restyled";

RestyledWindow* entry_of(HWND hwnd) {
    return reinterpret_cast<RestyledWindow*>(platform::get_prop(hwnd, EntryProperty));
}

bool same_name(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool is_button_kind(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::RadioButton || kind == ControlKind::GroupBox;
}

std::uint32_t state_flags_of(HWND hwnd, ControlKind kind, bool ask_window) {
    std::uint32_t style = platform::get_style(hwnd);
    std::uint32_t flags = 0;
    if (!platform::is_window_enabled(hwnd))
        flags |= style_flag::Disabled;
    if (platform::get_focus() == hwnd)
        flags |= style_flag::Focused;
    if (kind == ControlKind::PushButton &&
        (style & platform::BS_TYPEMASK) == platform::BS_DEFPUSHBUTTON)
        flags |= style_flag::Default;
    if (kind == ControlKind::EditBox && (style & platform::ES_READONLY))
        flags |= style_flag::ReadOnly;
    // Before its WM_CREATE a button has no state to ask about.
    if (ask_window && is_button_kind(kind)) {
        auto state = static_cast<WPARAM>(platform::send_message(hwnd, platform::BM_GETSTATE));
        if ((state & 3) == platform::BST_CHECKED)
            flags |= style_flag::Checked;
        if ((state & 3) == platform::BST_INDETERMINATE)
            flags |= style_flag::Indeterminate;
        if (state & platform::BST_PUSHED)
            flags |= style_flag::Pressed;
        if (state & platform::BST_HOT)
            flags |= style_flag::Hot;
        if (state & platform::BST_FOCUS)
            flags |= style_flag::Focused;
    }
    return flags;
}

enum class Redraw { Now, WhenShown };

// A group box lets its parent show through, so the parent repaints under it.
void redraw(HWND hwnd, Redraw when) {
    HWND parent = platform::get_parent(hwnd);
    platform::Rect in_parent;
    if (parent && platform::get_window_placement_rect(hwnd, in_parent))
        platform::invalidate_rect(parent, &in_parent, true);
    if (when == Redraw::WhenShown) {
        platform::invalidate_rect(hwnd, nullptr, true);
        return;
    }
    platform::redraw_window(hwnd);
    if (parent)
        platform::update_window(parent);
}

void paint_restyled_button(HWND hwnd, RestyledWindow& entry) {
    entry.state_flags = state_flags_of(hwnd, entry.kind, true);
    platform::PaintStruct ps;
    platform::Canvas* canvas = platform::begin_paint(hwnd, ps);
    if (canvas) {
        if (entry.kind == ControlKind::GroupBox) {
            paint_group_box(hwnd, *canvas);
        } else {
            PushButtonLook look;
            std::uint32_t f = entry.state_flags;
            look.disabled = f & style_flag::Disabled;
            look.pressed = f & style_flag::Pressed;
            look.hot = f & style_flag::Hot;
            look.checked = f & style_flag::Checked;
            look.indeterminate = f & style_flag::Indeterminate;
            look.focused = f & style_flag::Focused;
            look.is_default = f & style_flag::Default;
            paint_push_button(hwnd, *canvas, look, style_state().scheme);
        }
    }
    platform::end_paint(hwnd, ps);
}

void release(HWND hwnd, bool give_procedure_back);

LRESULT restyling_proc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    RestyledWindow* entry = entry_of(hwnd);
    if (!entry)
        return platform::def_window_proc(hwnd, message, wp, lp);
    const platform::WNDPROC previous = entry->previous;
    const ControlKind kind = entry->kind;
    switch (message) {
    case platform::WM_NCDESTROY:
        release(hwnd, false);
        return platform::call_window_proc(previous, hwnd, message, wp, lp);
    case platform::WM_PAINT:
        if (kind == ControlKind::PushButton || kind == ControlKind::GroupBox) {
            paint_restyled_button(hwnd, *entry);
            return 0;
        }
        if (kind == ControlKind::EditBox || kind == ControlKind::DropDownList) {
            LRESULT r = platform::call_window_proc(previous, hwnd, message, wp, lp);
            if (!(entry = entry_of(hwnd)))
                return r;
            entry->state_flags = state_flags_of(hwnd, kind, false);
            if (kind == ControlKind::EditBox) {
                paint_edit_border(hwnd, style_state().scheme);
            } else if (auto canvas = platform::get_canvas(hwnd)) {
                paint_list_border(hwnd, *canvas, style_state().scheme);
            }
            return r;
        }
        break;
    case platform::WM_ENABLE:
    case platform::EM_SETREADONLY: {
        // The border and face colours follow these states.
        LRESULT r = platform::call_window_proc(previous, hwnd, message, wp, lp);
        if (entry_of(hwnd))
            platform::invalidate_rect(hwnd, nullptr, true);
        return r;
    }
    default:
        break;
    }
    return platform::call_window_proc(previous, hwnd, message, wp, lp);
}

void restyle(HWND hwnd, Redraw when) {
    if (entry_of(hwnd))
        return;
    auto kind = restyled_kind(hwnd);
    if (!kind)
        return;
    auto& state = style_state();
    state.windows.push_front(
        {hwnd, *kind, state_flags_of(hwnd, *kind, when == Redraw::Now), nullptr});
    RestyledWindow& entry = state.windows.front();
    platform::set_prop(hwnd, EntryProperty, reinterpret_cast<std::intptr_t>(&entry));
    entry.previous = platform::set_window_proc(hwnd, restyling_proc);
    redraw(hwnd, when);
}

void release(HWND hwnd, bool give_procedure_back) {
    RestyledWindow* entry = entry_of(hwnd);
    if (!entry)
        return;
    platform::remove_prop(hwnd, EntryProperty);
    if (give_procedure_back)
        platform::set_window_proc(hwnd, entry->previous);
    style_state().windows.remove_if([entry](const RestyledWindow& w) { return &w == entry; });
    if (give_procedure_back)
        redraw(hwnd, Redraw::Now);
}

template <typename Visit> void walk_tree(HWND hwnd, const Visit& visit) {
    visit(hwnd);
    for (HWND child : platform::get_children(hwnd))
        walk_tree(child, visit);
}

template <typename Visit> void walk_thread_windows(const Visit& visit) {
    for (HWND top : platform::top_level_windows()) {
        if (platform::is_window(top))
            walk_tree(top, visit);
    }
}

LRESULT creation_hook(int code, WPARAM wp, LPARAM lp) {
    auto* info = reinterpret_cast<const platform::CallWndProcInfo*>(lp);
    if (code == 0 && info && info->message == platform::WM_CREATE)
        restyle(info->hwnd, Redraw::WhenShown);
    return platform::call_next_hook(style_state().hook, code, wp, lp);
}

void switch_on() {
    walk_thread_windows([](HWND hwnd) { restyle(hwnd, Redraw::Now); });
    style_state().hook = platform::set_windows_hook(platform::WH_CALLWNDPROC, creation_hook);
}

std::int32_t switch_off() {
    auto& state = style_state();
    if (!state.hook)
        return 0;
    walk_thread_windows([](HWND hwnd) { release(hwnd, true); });
    // Windows the walk could not reach (none should be left) are let go too.
    while (!state.windows.empty())
        release(state.windows.front().hwnd, true);
    bool removed = platform::unhook_windows_hook(state.hook);
    state.hook = nullptr;
    return removed ? 1 : 0;
}

} // namespace

std::optional<ControlKind> restyled_kind(HWND hwnd) {
    std::string class_name = platform::get_class_name(hwnd);
    std::uint32_t style = platform::get_style(hwnd);
    if (same_name(class_name, "Button")) {
        if (style & (platform::BS_BITMAP | platform::BS_ICON))
            return std::nullopt;
        bool push_like = (style & platform::BS_PUSHLIKE) != 0;
        switch (style & platform::BS_TYPEMASK) {
        case platform::BS_PUSHBUTTON:
        case platform::BS_DEFPUSHBUTTON:
            if (style == (platform::WS_CHILD | platform::WS_TABSTOP) &&
                platform::get_window_text(hwnd).empty())
                return std::nullopt;
            return ControlKind::PushButton;
        case platform::BS_CHECKBOX:
        case platform::BS_AUTOCHECKBOX:
        case platform::BS_3STATE:
        case platform::BS_AUTO3STATE:
            return push_like ? ControlKind::PushButton : ControlKind::CheckBox;
        case platform::BS_RADIOBUTTON:
        case platform::BS_AUTORADIOBUTTON:
            return push_like ? ControlKind::PushButton : ControlKind::RadioButton;
        case platform::BS_GROUPBOX:
            return ControlKind::GroupBox;
        default:
            return std::nullopt;
        }
    }
    if (same_name(class_name, "Edit")) {
        HWND parent = platform::get_parent(hwnd);
        if (parent && same_name(platform::get_class_name(parent), "SysIPAddress32"))
            return std::nullopt;
        return ControlKind::EditBox;
    }
    if (same_name(class_name, "ComboBox")) {
        if ((style & 3) == platform::CBS_SIMPLE)
            return std::nullopt;
        return ControlKind::ComboBox;
    }
    if (same_name(class_name, "msctls_updown32"))
        return ControlKind::UpDown;
    if (same_name(class_name, "ComboLBox"))
        return ControlKind::DropDownList;
    return std::nullopt;
}

std::optional<RestyledWindowInfo> restyled_window_info(HWND hwnd) {
    RestyledWindow* entry = entry_of(hwnd);
    if (!entry)
        return std::nullopt;
    return RestyledWindowInfo{entry->kind, entry->state_flags, entry->previous};
}

std::size_t restyled_window_count() {
    return style_state().windows.size();
}

int current_interface_scheme() {
    return style_state().scheme;
}

void SetInterfaceStyle(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    *result = TypedValue::of_integer(0);
    if (arg_count < 1 || !platform::is_ui_thread())
        return;
    auto scheme = runtime::try_integer_from_value(args[0]);
    if (!scheme)
        return;
    style_state().scheme = *scheme;
    if (*scheme >= 1 && *scheme <= 3) {
        switch_off();
        switch_on();
        *result = TypedValue::of_integer(1);
        return;
    }
    *result = TypedValue::of_integer(switch_off());
}

} // namespace commands
