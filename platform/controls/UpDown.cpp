#include "UpDown.h"

#include "ControlAccess.h"
#include "ControlClasses.h"
#include "ControlState.h"
#include "ControlSupport.h"
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace platform::controls {

namespace {

constexpr const char* k_buddy_proc_prop = "armctl.updown.buddyproc";
constexpr const char* k_buddy_owner_prop = "armctl.updown.owner";
constexpr std::uintptr_t k_repeat_timer = 1;
constexpr int k_default_width = 16;
constexpr int k_range16_limit = 0x7FFF; // the 16-bit messages' range ends

enum class Part { None, Up, Down };

struct UpDownState {
    HWND self = nullptr;
    HWND buddy = nullptr;
    int min = 100;
    int max = 0;
    int pos = 0;
    int base = 10;
    Part pressed = Part::None;
    bool mouse_in = false; // over the pressed part
    bool key_down = false; // a buddy arrow key is held
    bool first_repeat = true;
};

UpDownState* state_of(HWND hwnd) {
    return control_state<UpDownState>(hwnd);
}

std::uint32_t style_of(const UpDownState& st) {
    return get_style(st.self);
}

bool in_range(const UpDownState& st, int value) {
    return value >= std::min(st.min, st.max) && value <= std::max(st.min, st.max);
}

int clamp_to_range(const UpDownState& st, int value) {
    return std::clamp(value, std::min(st.min, st.max), std::max(st.min, st.max));
}

bool buddy_is_edit(const UpDownState& st) {
    return st.buddy && get_class_name(st.buddy) == WC_EDIT;
}

std::string format_position(const UpDownState& st) {
    char digits[32];
    if (st.base == 16) {
        std::snprintf(digits, sizeof digits, "0x%04X", static_cast<unsigned>(st.pos));
        return digits;
    }
    std::snprintf(digits, sizeof digits, "%d", st.pos);
    std::string plain = digits;
    if (style_of(st) & UDS_NOTHOUSANDS)
        return plain;
    std::size_t sign = plain[0] == '-' ? 1 : 0;
    std::string out = plain.substr(0, sign);
    std::size_t count = plain.size() - sign;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            out += ',';
        out += plain[sign + i];
    }
    return out;
}

// Reads the position back from the buddy's text, which the user may have
// edited. Text that is not a number in the range leaves the position.
bool read_buddy(UpDownState& st) {
    if (!(style_of(st) & UDS_SETBUDDYINT) || !is_window(st.buddy))
        return false;
    std::string text = get_window_text(st.buddy);
    std::string digits;
    for (char c : text)
        if (c != ',')
            digits += c;
    if (digits.empty())
        return false;
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, st.base);
    if (*end != '\0' || value < INT32_MIN || value > INT32_MAX ||
        !in_range(st, static_cast<int>(value)))
        return false;
    st.pos = static_cast<int>(value);
    return true;
}

void write_buddy(UpDownState& st) {
    if (!(style_of(st) & UDS_SETBUDDYINT) || !is_window(st.buddy))
        return;
    std::string text = format_position(st);
    // An unchanged text is not written again, so the buddy sends no EN_CHANGE.
    if (get_window_text(st.buddy) != text)
        set_window_text(st.buddy, text);
}

// Moves the position by `delta`, wrapping or stopping at the range's ends.
bool offset_position(UpDownState& st, int delta) {
    std::int64_t lo = std::min(st.min, st.max), hi = std::max(st.min, st.max);
    std::int64_t fresh = static_cast<std::int64_t>(st.pos) + delta;
    if (fresh < lo || fresh > hi) {
        if (style_of(st) & UDS_WRAP) {
            std::int64_t span = hi - lo + 1;
            fresh = lo + (((fresh - lo) % span) + span) % span;
        } else {
            fresh = std::clamp(fresh, lo, hi);
        }
    }
    if (fresh == st.pos)
        return false;
    st.pos = static_cast<int>(fresh);
    return true;
}

void send_scroll(UpDownState& st, int code) {
    UINT msg = (style_of(st) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    send_message(get_parent(st.self), msg, make_wparam(code, st.pos),
                 reinterpret_cast<LPARAM>(st.self));
}

// One step, as a click or a key makes it.
void do_step(UpDownState& st, Part part) {
    HWND self = st.self;
    read_buddy(st);
    int delta = part == Part::Up ? 1 : -1;
    if (st.max < st.min)
        delta = -delta;
    NMUPDOWN nm{};
    nm.iPos = st.pos;
    nm.iDelta = delta;
    LRESULT refused = notify_parent(self, nm.hdr, UDN_DELTAPOS);
    if (!is_window(self))
        return;
    if (!refused && offset_position(st, nm.iDelta))
        write_buddy(st);
    if (is_window(self))
        send_scroll(st, SB_THUMBPOSITION);
}

Part part_at(const UpDownState& st, Point p) {
    Rect c;
    get_client_rect(st.self, c);
    if (!c.contains(p))
        return Part::None;
    if (style_of(st) & UDS_HORZ)
        return p.x >= c.width() / 2 ? Part::Up : Part::Down;
    return p.y < c.height() / 2 ? Part::Up : Part::Down;
}

void set_pressed(UpDownState& st, Part part, bool mouse_in) {
    if (st.pressed == part && st.mouse_in == mouse_in)
        return;
    st.pressed = part;
    st.mouse_in = mouse_in;
    invalidate_rect(st.self, nullptr, false);
}

// ---- Buddy ------------------------------------------------------------------

void key_step(HWND updown, UINT vk);
void key_release(HWND updown);

LRESULT buddy_subclass_proc(HWND buddy, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(get_prop(buddy, k_buddy_proc_prop));
    auto owner = reinterpret_cast<HWND>(get_prop(buddy, k_buddy_owner_prop));
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && (wp == VK_UP || wp == VK_DOWN) &&
        is_window(owner)) {
        if (msg == WM_KEYDOWN)
            key_step(owner, static_cast<UINT>(wp));
        else
            key_release(owner);
        return 0;
    }
    return old ? call_window_proc(old, buddy, msg, wp, lp) : def_window_proc(buddy, msg, wp, lp);
}

void release_buddy(UpDownState& st) {
    if (!is_window(st.buddy) ||
        get_prop(st.buddy, k_buddy_owner_prop) != reinterpret_cast<std::intptr_t>(st.self))
        return;
    auto old = reinterpret_cast<WNDPROC>(remove_prop(st.buddy, k_buddy_proc_prop));
    remove_prop(st.buddy, k_buddy_owner_prop);
    // Someone may have subclassed the buddy after us; then our procedure
    // stays in their chain and passes everything on.
    if (old && get_window_proc(st.buddy) == buddy_subclass_proc)
        set_window_proc(st.buddy, old);
}

void align_to_buddy(UpDownState& st) {
    std::uint32_t style = style_of(st);
    if (!(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) || !is_window(st.buddy))
        return;
    Rect buddy, own;
    get_window_placement_rect(st.buddy, buddy);
    get_window_placement_rect(st.self, own);
    int width = own.width() > 0 ? own.width() : k_default_width;
    width = std::min(width, buddy.width());
    int x;
    if (style & UDS_ALIGNLEFT) {
        x = buddy.left;
        buddy.left += width;
    } else {
        buddy.right -= width;
        x = buddy.right;
    }
    move_window(st.buddy, buddy.left, buddy.top, buddy.width(), buddy.height());
    move_window(st.self, x, buddy.top, width, buddy.height());
}

HWND set_buddy(UpDownState& st, HWND buddy) {
    HWND previous = st.buddy;
    release_buddy(st);
    st.buddy = is_window(buddy) ? buddy : nullptr;
    if (!st.buddy)
        return previous;
    if (style_of(st) & UDS_ARROWKEYS) {
        WNDPROC old = set_window_proc(st.buddy, buddy_subclass_proc);
        set_prop(st.buddy, k_buddy_proc_prop, reinterpret_cast<std::intptr_t>(old));
        set_prop(st.buddy, k_buddy_owner_prop, reinterpret_cast<std::intptr_t>(st.self));
    }
    align_to_buddy(st);
    return previous;
}

void key_step(HWND updown, UINT vk) {
    UpDownState* st = state_of(updown);
    if (!st || !is_window_enabled(updown))
        return;
    Part part = vk == VK_UP ? Part::Up : Part::Down;
    st->key_down = true;
    set_pressed(*st, part, true);
    do_step(*st, part);
}

void key_release(HWND updown) {
    UpDownState* st = state_of(updown);
    if (!st || !st->key_down)
        return;
    st->key_down = false;
    set_pressed(*st, Part::None, false);
    send_scroll(*st, SB_ENDSCROLL);
}

// ---- Painting -------------------------------------------------------------------

void draw_arrow(Canvas& canvas, const Rect& r, Part part, bool horizontal, COLORREF color) {
    double cx = (r.left + r.right) / 2.0;
    double cy = (r.top + r.bottom) / 2.0;
    double s = std::max(2.0, std::min(r.width(), r.height()) / 3.0);
    if (horizontal) {
        double dir = part == Part::Up ? 1.0 : -1.0;
        const PointF points[] = {
            {cx - dir * s / 2, cy - s}, {cx + dir * s / 2, cy}, {cx - dir * s / 2, cy + s}};
        canvas.fill_polygon(points, 3, color);
    } else {
        double dir = part == Part::Up ? -1.0 : 1.0;
        const PointF points[] = {
            {cx - s, cy - dir * s / 2}, {cx, cy + dir * s / 2}, {cx + s, cy - dir * s / 2}};
        canvas.fill_polygon(points, 3, color);
    }
}

void on_paint(UpDownState& st) {
    PaintStruct ps;
    Canvas* canvas = begin_paint(st.self, ps);
    if (!canvas) {
        end_paint(st.self, ps);
        return;
    }
    Rect c;
    get_client_rect(st.self, c);
    bool horizontal = (style_of(st) & UDS_HORZ) != 0;
    bool enabled = is_window_enabled(st.self) && (!st.buddy || is_window_enabled(st.buddy));
    Rect up = horizontal ? Rect{c.width() / 2, 0, c.right, c.bottom}
                         : Rect{0, 0, c.right, c.height() / 2};
    Rect down = horizontal ? Rect{0, 0, c.width() / 2, c.bottom}
                           : Rect{0, c.height() / 2, c.right, c.bottom};
    for (auto [part, r] : {std::pair{Part::Up, up}, std::pair{Part::Down, down}}) {
        bool pushed = st.pressed == part && st.mouse_in;
        canvas->fill_rect(r, !enabled ? colors::face_disabled
                             : pushed ? colors::face_pressed
                                      : colors::face);
        canvas->frame_rect(r, pushed ? colors::border_hot : colors::border);
        draw_arrow(*canvas, r, part, horizontal, enabled ? colors::text : colors::text_disabled);
    }
    end_paint(st.self, ps);
}

// ---- Messages -------------------------------------------------------------------

LRESULT on_create(UpDownState& st) {
    if (style_of(st) & UDS_AUTOBUDDY) {
        // The buddy is the window just before this one in z-order.
        std::vector<HWND> siblings = get_children(get_parent(st.self));
        auto self = std::find(siblings.begin(), siblings.end(), st.self);
        if (self != siblings.end() && self != siblings.begin())
            set_buddy(st, *(self - 1));
    }
    return 0;
}

void on_destroy(UpDownState& st) {
    kill_timer(st.self, k_repeat_timer);
    release_buddy(st);
}

void on_button_down(UpDownState& st, Point p) {
    Part part = part_at(st, p);
    if (part == Part::None)
        return;
    HWND self = st.self;
    if (buddy_is_edit(st))
        set_focus(st.buddy);
    if (!is_window(self))
        return;
    set_pressed(st, part, true);
    set_capture(self);
    st.first_repeat = true;
    do_step(st, part);
    if (is_window(self) && st.pressed != Part::None)
        set_timer(self, k_repeat_timer, k_updown_first_delay_ms);
}

void on_mouse_move(UpDownState& st, Point p) {
    if (st.pressed == Part::None || st.key_down)
        return;
    set_pressed(st, st.pressed, part_at(st, p) == st.pressed);
}

void end_press(UpDownState& st) {
    kill_timer(st.self, k_repeat_timer);
    set_pressed(st, Part::None, false);
}

void on_button_up(UpDownState& st) {
    if (st.pressed == Part::None || st.key_down)
        return;
    HWND self = st.self;
    end_press(st);
    if (get_capture() == self)
        release_capture();
    if (buddy_is_edit(st))
        send_message(st.buddy, EM_SETSEL, 0, -1);
    if (is_window(self))
        send_scroll(st, SB_ENDSCROLL);
}

void on_capture_changed(UpDownState& st, HWND taker) {
    if (taker != st.self && st.pressed != Part::None && !st.key_down)
        end_press(st);
}

void on_timer(UpDownState& st, std::uintptr_t id) {
    if (id != k_repeat_timer || st.pressed == Part::None)
        return;
    if (st.first_repeat) {
        st.first_repeat = false;
        set_timer(st.self, k_repeat_timer, k_updown_repeat_ms);
    }
    // Holding the button with the mouse moved off it pauses the repeat.
    if (st.mouse_in)
        do_step(st, st.pressed);
}

void on_key_down(UpDownState& st, UINT vk) {
    if ((style_of(st) & UDS_ARROWKEYS) && (vk == VK_UP || vk == VK_DOWN))
        key_step(st.self, vk);
}

void on_key_up(UpDownState& st, UINT vk) {
    if (vk == VK_UP || vk == VK_DOWN)
        key_release(st.self);
}

LRESULT on_set_pos(UpDownState& st, int pos) {
    int previous = st.pos;
    st.pos = clamp_to_range(st, pos);
    write_buddy(st);
    return previous;
}

LRESULT on_get_pos16(UpDownState& st) {
    bool error = (style_of(st) & UDS_SETBUDDYINT) && is_window(st.buddy) && !read_buddy(st);
    return make_lparam(st.pos, error ? 1 : 0);
}

LRESULT on_get_pos32(UpDownState& st, LPARAM lp) {
    bool error = (style_of(st) & UDS_SETBUDDYINT) && is_window(st.buddy) && !read_buddy(st);
    if (auto* flag = reinterpret_cast<BOOL*>(lp))
        *flag = error ? 1 : 0;
    return st.pos;
}

LRESULT on_set_range16(UpDownState& st, LPARAM lp) {
    // The low word is the maximum, the high word the minimum.
    auto packed = static_cast<std::uintptr_t>(lp);
    st.max = std::clamp<int>(low_short(packed), -k_range16_limit, k_range16_limit);
    st.min = std::clamp<int>(high_short(packed), -k_range16_limit, k_range16_limit);
    return 0;
}

LRESULT on_set_range32(UpDownState& st, int min, int max) {
    st.min = min;
    st.max = max;
    return 0;
}

LRESULT on_get_range32(const UpDownState& st, WPARAM wp, LPARAM lp) {
    if (auto* min = reinterpret_cast<int*>(wp))
        *min = st.min;
    if (auto* max = reinterpret_cast<int*>(lp))
        *max = st.max;
    return 0;
}

LRESULT on_set_base(UpDownState& st, WPARAM wp) {
    if (wp != 10 && wp != 16)
        return 0;
    int previous = st.base;
    st.base = static_cast<int>(wp);
    write_buddy(st);
    return previous;
}

void on_style_changed(UpDownState& st) {
    // UDS_ARROWKEYS may have come or gone: attach to the buddy afresh.
    set_buddy(st, st.buddy);
    invalidate_rect(st.self, nullptr, false);
}

LRESULT on_message(UpDownState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return on_create(st);
    case WM_DESTROY:
        on_destroy(st);
        return 0;
    case WM_PAINT:
        on_paint(st);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_ENABLE:
        invalidate_rect(hwnd, nullptr, false);
        return 0;
    case WM_STYLECHANGED:
        on_style_changed(st);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        on_button_down(st, mouse_point(lp));
        return 0;
    case WM_MOUSEMOVE:
        on_mouse_move(st, mouse_point(lp));
        return 0;
    case WM_LBUTTONUP:
        on_button_up(st);
        return 0;
    case WM_CAPTURECHANGED:
        on_capture_changed(st, reinterpret_cast<HWND>(lp));
        return 0;
    case WM_TIMER:
        on_timer(st, wp);
        return 0;
    case WM_KEYDOWN:
        on_key_down(st, static_cast<UINT>(wp));
        return 0;
    case WM_KEYUP:
        on_key_up(st, static_cast<UINT>(wp));
        return 0;
    case UDM_SETRANGE:
        return on_set_range16(st, lp);
    case UDM_GETRANGE:
        return make_lparam(st.max, st.min);
    case UDM_SETRANGE32:
        return on_set_range32(st, static_cast<int>(wp), static_cast<int>(lp));
    case UDM_GETRANGE32:
        return on_get_range32(st, wp, lp);
    case UDM_SETPOS:
        return on_set_pos(st, low_short(static_cast<std::uintptr_t>(lp)));
    case UDM_GETPOS:
        return on_get_pos16(st);
    case UDM_SETPOS32:
        return on_set_pos(st, static_cast<int>(lp));
    case UDM_GETPOS32:
        return on_get_pos32(st, lp);
    case UDM_SETBUDDY:
        return reinterpret_cast<LRESULT>(set_buddy(st, reinterpret_cast<HWND>(wp)));
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(st.buddy);
    case UDM_SETBASE:
        return on_set_base(st, wp);
    case UDM_GETBASE:
        return st.base;
    case WM_GETOBJECT:
        return updown_access(hwnd, wp, lp);
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace

LRESULT updown_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<UpDownState, on_message>(hwnd, msg, wp, lp);
}

void register_updown_class() {
    register_control_class(UPDOWN_CLASS, updown_proc, CS_HREDRAW | CS_VREDRAW);
}

} // namespace platform::controls
