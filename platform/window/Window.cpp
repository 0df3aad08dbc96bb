// Window records: creation, destruction, the tree, and the data a window keeps.

#include "Painting.h"
#include "detail/State.h"
#include <platform/access/AccessEvents.h>

#include <algorithm>
#include <cairo.h>
#include <cstdlib>
#include <utility>

namespace platform {
namespace detail {

std::shared_ptr<ClassRecord> find_class(std::string_view name);

State& state() {
    static State* s = new State; // never destroyed: windows may be asked about at exit
    return *s;
}

WindowRecord::~WindowRecord() {
    if (update)
        cairo_region_destroy(update);
    if (surface)
        cairo_surface_destroy(surface);
}

WindowRecord* find(HWND hwnd) {
    auto& s = state();
    auto it = s.windows.find(handle_value(hwnd));
    return it == s.windows.end() ? nullptr : it->second.get();
}

bool on_ui_thread() {
    return std::this_thread::get_id() == state().ui_thread.load(std::memory_order_relaxed);
}

Rect client_rect_in_parent(const WindowRecord& w) {
    FrameInsets in = frame_insets(w.style, w.ex_style, w.is_top_level());
    Rect r{w.rect.left + in.left, w.rect.top + in.top, w.rect.right - in.right,
           w.rect.bottom - in.bottom};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

void resize_surface(WindowRecord& w) {
    Rect c = client_rect_in_parent(w);
    int width = std::max(1, c.width());
    int height = std::max(1, c.height());
    if (w.surface && cairo_image_surface_get_width(w.surface) == width &&
        cairo_image_surface_get_height(w.surface) == height)
        return;
    DisplayBackend* backend = state().backend;
    cairo_surface_t* fresh = backend
                                 ? backend->create_picture(w.handle, width, height)
                                 : cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (w.surface) {
        // Keep the old picture until the repaint that the resize causes.
        cairo_t* cr = cairo_create(fresh);
        cairo_set_source_surface(cr, w.surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(w.surface);
    }
    w.surface = fresh;
}

} // namespace detail

using namespace detail;

bool initialize(DisplayBackend* backend) {
    auto& s = state();
    if (s.backend)
        return false;
    s.ui_thread = std::this_thread::get_id();
    use_clock(&backend->clock());
    {
        std::lock_guard lock(s.mutex);
        s.backend = backend;
        s.closing = false;
    }
    const char* spy = std::getenv("ARMCTL_MESSAGE_SPY");
    s.spy = spy && *spy && *spy != '0';
    return true;
}

void shutdown() {
    auto& s = state();
    {
        // From here on sends and posts from other threads are refused, so
        // none waits for an answer that would never come.
        std::lock_guard lock(s.mutex);
        s.closing = true;
        for (auto& send : s.cross_sends)
            send->result.set_value(0);
        s.cross_sends.clear();
    }
    for (HWND top : std::vector<HWND>(s.top_levels))
        destroy_window(top);
    {
        std::lock_guard lock(s.mutex);
        s.posted.clear();
        s.quit_posted = false;
    }
    s.input.clear();
    s.timers.clear();
    s.hooks.clear();
    s.windows.clear();
    s.top_levels.clear();
    s.focus = s.active = s.foreground = s.capture = s.mouse_window = s.leave_tracking = nullptr;
    s.last_click_window = nullptr;
    s.send_depth = 0;
    std::fill(std::begin(s.key_down), std::end(s.key_down), 0);
    use_clock(nullptr);
    // The caller may destroy the backend once this returns; other threads
    // reach it only under the lock.
    std::lock_guard lock(s.mutex);
    s.backend = nullptr;
}

DisplayBackend* backend() {
    return state().backend;
}
bool is_ui_thread() {
    return on_ui_thread();
}

bool is_window(HWND hwnd) {
    return find(hwnd) != nullptr;
}

HWND create_window_ex(std::uint32_t ex_style, std::string_view class_name, std::string_view text,
                      std::uint32_t style, int x, int y, int width, int height, HWND parent,
                      std::uintptr_t id_or_menu, void* param) {
    auto& s = state();
    if (!s.backend || !on_ui_thread())
        return nullptr;
    auto cls = find_class(class_name);
    if (!cls)
        return nullptr;
    bool child = (style & WS_CHILD) != 0;
    if (child && !find(parent))
        return nullptr;
    if (!child && parent && !find(parent))
        return nullptr;
    if (!child) {
        if (x == CW_USEDEFAULT) {
            x = 120;
            y = 90;
        }
        if (width == CW_USEDEFAULT) {
            width = 640;
            height = 480;
        }
    }
    width = std::max(0, width);
    height = std::max(0, height);

    auto record = std::make_unique<WindowRecord>();
    HWND hwnd = handle_from_value(s.next_handle++);
    record->handle = hwnd;
    record->cls = cls;
    record->proc = cls->info.proc;
    record->style = style & ~WS_VISIBLE;
    record->ex_style = ex_style;
    record->text = std::string(text);
    record->rect = {x, y, x + width, y + height};
    record->extra.assign(static_cast<std::size_t>(std::max(0, cls->info.extra_bytes) + 7) / 8, 0);
    record->update = cairo_region_create();
    if (child) {
        record->parent = parent;
        record->id = id_or_menu;
    } else {
        // A top-level window's "parent" argument is its owner; only a
        // top-level window can own.
        record->owner = parent ? get_ancestor_root(parent) : nullptr;
        resize_surface(*record);
    }
    WindowRecord& w = *record;
    s.windows.emplace(handle_value(hwnd), std::move(record));
    if (child)
        find(parent)->children.push_back(hwnd); // new children go to the bottom
    else
        s.top_levels.push_back(hwnd);

    if (!child)
        s.backend->window_created(hwnd, client_rect_in_parent(w));

    std::string name_copy(text);
    std::string class_copy(class_name);
    CreateStruct cs;
    cs.create_params = param;
    cs.menu_or_id = id_or_menu;
    cs.parent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = style;
    cs.name = name_copy;
    cs.class_name = class_copy;
    cs.ex_style = ex_style;

    if (!send_message(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        destroy_window(hwnd);
        return nullptr;
    }
    if (!is_window(hwnd))
        return nullptr;
    if (send_message(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        destroy_window(hwnd);
        return nullptr;
    }
    WindowRecord* wr = find(hwnd);
    if (!wr)
        return nullptr;
    Rect client = client_rect_in_parent(*wr);
    send_message(hwnd, WM_SIZE, SIZE_RESTORED, make_lparam(client.width(), client.height()));
    send_message(hwnd, WM_MOVE, 0, make_lparam(client.left, client.top));
    if (!is_window(hwnd))
        return nullptr;
    if (child && !(ex_style & WS_EX_NOPARENTNOTIFY)) {
        for (HWND p = parent; p && is_window(p);) {
            send_message(p, WM_PARENTNOTIFY, make_wparam(WM_CREATE, static_cast<int>(id_or_menu)),
                         reinterpret_cast<LPARAM>(hwnd));
            WindowRecord* pr = find(p);
            if (!pr || pr->is_top_level() || (pr->ex_style & WS_EX_NOPARENTNOTIFY))
                break;
            p = pr->parent;
        }
    }
    if (!is_window(hwnd))
        return nullptr;
    if (style & WS_VISIBLE)
        show_window(hwnd, child ? SW_SHOWNA : SW_SHOW);
    return is_window(hwnd) ? hwnd : nullptr;
}

namespace {

void send_destroy(HWND hwnd) {
    send_message(hwnd, WM_DESTROY);
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    for (HWND child : std::vector<HWND>(w->children))
        if (find(child))
            send_destroy(child);
}

void free_window(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    for (HWND child : std::vector<HWND>(w->children))
        free_window(child);
    send_message(hwnd, WM_NCDESTROY);
    on_window_destroyed(hwnd);
}

} // namespace

namespace detail {

void on_window_destroyed(HWND hwnd) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    access::notify_child(access::EventKind::Destroyed, hwnd, w->parent);
    kill_window_timers(hwnd);
    drop_window_input(hwnd);
    if (s.capture == hwnd) {
        s.capture = nullptr;
        s.capture_nonclient = false;
    }
    if (s.focus == hwnd)
        s.focus = nullptr;
    if (s.active == hwnd)
        s.active = nullptr;
    if (s.foreground == hwnd)
        s.foreground = nullptr;
    if (s.mouse_window == hwnd)
        s.mouse_window = nullptr;
    if (s.leave_tracking == hwnd)
        s.leave_tracking = nullptr;
    if (s.last_click_window == hwnd)
        s.last_click_window = nullptr;
    if (w->parent) {
        if (WindowRecord* p = find(w->parent))
            std::erase(p->children, hwnd);
    } else {
        std::erase(s.top_levels, hwnd);
        if (s.backend)
            s.backend->window_destroyed(hwnd);
    }
    s.windows.erase(handle_value(hwnd));
}

} // namespace detail

bool destroy_window(HWND hwnd) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w || w->destroying || !on_ui_thread())
        return false;
    w->destroying = true;
    bool child = !w->is_top_level();
    if (child && !(w->ex_style & WS_EX_NOPARENTNOTIFY) && is_window(w->parent))
        send_message(w->parent, WM_PARENTNOTIFY, make_wparam(WM_DESTROY, static_cast<int>(w->id)),
                     reinterpret_cast<LPARAM>(hwnd));
    if (!(w = find(hwnd)))
        return true;
    // Hide first, so the area is repainted and focus and activation move on.
    if (w->style & WS_VISIBLE)
        show_window(hwnd, SW_HIDE);
    if (!child) {
        // Owned windows go first.
        for (HWND top : std::vector<HWND>(s.top_levels)) {
            WindowRecord* t = find(top);
            if (t && t->owner == hwnd)
                destroy_window(top);
        }
    }
    if (s.capture && (s.capture == hwnd || is_child(hwnd, s.capture)))
        release_capture();
    if (!find(hwnd))
        return true;
    send_destroy(hwnd);
    if (s.focus && (s.focus == hwnd || is_child(hwnd, s.focus)))
        s.focus = nullptr;
    free_window(hwnd);
    return true;
}

// ---- Window data ---------------------------------------------------------

std::intptr_t get_window_long(HWND hwnd, int index) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<std::intptr_t>(w->proc);
    case GWL_HWNDPARENT:
        return static_cast<std::intptr_t>(handle_value(w->parent ? w->parent : w->owner));
    case GWL_STYLE:
        return static_cast<std::intptr_t>(w->style);
    case GWL_EXSTYLE:
        return static_cast<std::intptr_t>(w->ex_style);
    case GWL_USERDATA:
        return w->user_data;
    case GWL_ID:
        return static_cast<std::intptr_t>(w->id);
    default:
        return index >= 0 ? get_window_extra(hwnd, index) : 0;
    }
}

std::intptr_t set_window_long(HWND hwnd, int index, std::intptr_t value) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    std::intptr_t old = get_window_long(hwnd, index);
    switch (index) {
    case GWL_WNDPROC:
        if (value)
            w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        // WS_VISIBLE and WS_DISABLED change only through show and enable.
        auto fresh = static_cast<std::uint32_t>(value);
        if (index == GWL_STYLE)
            fresh = (fresh & ~(WS_VISIBLE)) | (w->style & WS_VISIBLE);
        WPARAM which =
            index == GWL_STYLE ? static_cast<WPARAM>(GWL_STYLE) : static_cast<WPARAM>(GWL_EXSTYLE);
        struct {
            std::uint32_t old_style, new_style;
        } ss{static_cast<std::uint32_t>(old), fresh};
        send_message(hwnd, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
        if (!(w = find(hwnd)))
            return old;
        if (index == GWL_STYLE)
            w->style = ss.new_style;
        else
            w->ex_style = ss.new_style;
        paint_may_be_due();
        send_message(hwnd, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
        break;
    }
    case GWL_USERDATA:
        w->user_data = value;
        break;
    case GWL_ID:
        w->id = static_cast<std::uintptr_t>(value);
        break;
    default:
        if (index >= 0)
            return set_window_extra(hwnd, index, value);
        return 0;
    }
    return old;
}

WNDPROC get_window_proc(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w ? w->proc : nullptr;
}

WNDPROC set_window_proc(HWND hwnd, WNDPROC proc) {
    WindowRecord* w = find(hwnd);
    if (!w || !proc)
        return nullptr;
    WNDPROC old = w->proc;
    w->proc = proc;
    return old;
}

std::intptr_t get_window_extra(HWND hwnd, int offset) {
    WindowRecord* w = find(hwnd);
    if (!w || offset < 0 || offset % 8 != 0 ||
        static_cast<std::size_t>(offset / 8) >= w->extra.size())
        return 0;
    return w->extra[static_cast<std::size_t>(offset / 8)];
}

std::intptr_t set_window_extra(HWND hwnd, int offset, std::intptr_t value) {
    WindowRecord* w = find(hwnd);
    if (!w || offset < 0 || offset % 8 != 0 ||
        static_cast<std::size_t>(offset / 8) >= w->extra.size())
        return 0;
    return std::exchange(w->extra[static_cast<std::size_t>(offset / 8)], value);
}

bool set_prop(HWND hwnd, std::string_view name, std::intptr_t value) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return false;
    w->props[std::string(name)] = value;
    return true;
}

std::intptr_t get_prop(HWND hwnd, std::string_view name) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    auto it = w->props.find(std::string(name));
    return it == w->props.end() ? 0 : it->second;
}

std::intptr_t remove_prop(HWND hwnd, std::string_view name) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    auto it = w->props.find(std::string(name));
    if (it == w->props.end())
        return 0;
    std::intptr_t v = it->second;
    w->props.erase(it);
    return v;
}

std::string get_class_name(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w ? w->cls->info.name : std::string();
}

std::uint32_t get_style(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w ? w->style : 0;
}

std::uint32_t get_ex_style(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w ? w->ex_style : 0;
}

int get_dlg_ctrl_id(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    return w && w->parent ? static_cast<int>(w->id) : 0;
}

HWND get_dlg_item(HWND parent, int id) {
    WindowRecord* p = find(parent);
    if (!p)
        return nullptr;
    for (HWND c : p->children)
        if (WindowRecord* w = find(c); w && static_cast<int>(w->id) == id)
            return c;
    return nullptr;
}

std::string get_window_text(HWND hwnd) {
    if (!find(hwnd))
        return {};
    auto length = send_message(hwnd, WM_GETTEXTLENGTH);
    if (length <= 0)
        return {};
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    auto got =
        send_message(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
    return buffer;
}

bool set_window_text(HWND hwnd, std::string_view text) {
    if (!find(hwnd))
        return false;
    std::string copy(text);
    return send_message(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())) != 0;
}

// ---- Tree -----------------------------------------------------------------

HWND get_parent(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    if (!w)
        return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND get_ancestor_root(HWND hwnd) {
    WindowRecord* w = find(hwnd);
    while (w && w->parent) {
        hwnd = w->parent;
        w = find(hwnd);
    }
    return w ? hwnd : nullptr;
}

HWND set_parent(HWND hwnd, HWND new_parent) {
    WindowRecord* w = find(hwnd);
    WindowRecord* p = find(new_parent);
    if (!w || !p || w->is_top_level() || hwnd == new_parent || is_child(hwnd, new_parent))
        return nullptr;
    HWND old = w->parent;
    invalidate_parent_area(*w);
    if (WindowRecord* op = find(old))
        std::erase(op->children, hwnd);
    w->parent = new_parent;
    p->children.insert(p->children.begin(), hwnd);
    invalidate_rect(hwnd, nullptr, true);
    return old;
}

bool is_child(HWND parent, HWND hwnd) {
    WindowRecord* w = find(hwnd);
    while (w && w->parent) {
        if (w->parent == parent)
            return true;
        w = find(w->parent);
    }
    return false;
}

std::vector<HWND> get_children(HWND parent) {
    WindowRecord* w = find(parent);
    return w ? w->children : std::vector<HWND>{};
}

namespace {
bool enum_children(HWND parent, const std::function<bool(HWND)>& fn) {
    for (HWND c : get_children(parent)) {
        if (!is_window(c))
            continue;
        if (!fn(c))
            return false;
        if (!enum_children(c, fn))
            return false;
    }
    return true;
}
} // namespace

bool enum_child_windows(HWND parent, const std::function<bool(HWND)>& fn) {
    if (!find(parent))
        return false;
    return enum_children(parent, fn);
}

bool enum_thread_windows(const std::function<bool(HWND)>& fn) {
    for (HWND top : std::vector<HWND>(state().top_levels)) {
        if (!is_window(top))
            continue;
        if (!fn(top))
            return false;
    }
    return true;
}

std::vector<HWND> top_level_windows() {
    return state().top_levels;
}

} // namespace platform
