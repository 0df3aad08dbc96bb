#pragma once

// The basic types of the window model: handles, message parameters, geometry.
// Parameter and result widths are pointer-sized, as on a 64-bit build of the
// platform the runtime was designed for.

#include <cstdint>

namespace platform {

struct WindowTag;
// A window handle. Its value is a number that is never reused during the
// process, so a stale handle can always be asked about safely.
using HWND = WindowTag*;

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BOOL = int;

// Cursors and fonts are handles too; a cursor handle is its system id.
struct CursorTag;
using HCURSOR = CursorTag*;
class Font;
using HFONT = Font*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool is_empty() const { return right <= left || bottom <= top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect intersect(const Rect& o) const;
    Rect unite(const Rect& o) const;
    bool operator==(const Rect&) const = default;
};

struct Msg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint32_t time = 0;
    Point pt;
    // For a key-down: the character the key types (GBK code: one byte, or
    // lead byte << 8 | trail byte), which translate_message turns into WM_CHAR.
    std::uint32_t typed_char = 0;
};

constexpr std::uint16_t loword(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t hiword(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr LPARAM make_lparam(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(
        (static_cast<std::uint32_t>(lo) & 0xFFFF) | (static_cast<std::uint32_t>(hi) << 16)));
}
constexpr WPARAM make_wparam(int lo, int hi) {
    return static_cast<WPARAM>(make_lparam(lo, hi));
}
// The low and high words read as signed 16-bit numbers.
constexpr int low_short(std::uintptr_t v) {
    return static_cast<std::int16_t>(loword(v));
}
constexpr int high_short(std::uintptr_t v) {
    return static_cast<std::int16_t>(hiword(v));
}
// Signed coordinates packed in an LPARAM, as mouse messages carry them.
constexpr int get_x_lparam(LPARAM lp) {
    return low_short(static_cast<std::uintptr_t>(lp));
}
constexpr int get_y_lparam(LPARAM lp) {
    return high_short(static_cast<std::uintptr_t>(lp));
}

inline std::uintptr_t handle_value(HWND h) {
    return reinterpret_cast<std::uintptr_t>(h);
}
inline HWND handle_from_value(std::uintptr_t v) {
    return reinterpret_cast<HWND>(v);
}

} // namespace platform
