#pragma once

// Where the parts of a scroll bar lie for a given size and scroll state, and
// which position a dragged thumb stands for. Pure arithmetic along the bar's
// long axis, shared by the "SCROLLBAR" control and the standard bars.

#include "Controls.h"
#include "platform/Types.h"

namespace platform::controls {

// The scroll state of one bar, kept in range by normalize().
struct ScrollState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int track_pos = 0;

    // The highest position the page allows: max - (page - 1) when a page is set.
    int max_pos() const;
    // Applies the fields `info.fMask` names, keeping page and position in
    // range. Returns whether anything changed.
    bool apply(const ScrollInfo& info);
    void fill(ScrollInfo& info) const;
    // Whether there is anything to scroll: more positions than one page.
    bool scrollable() const;
};

enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// The thickness of standard bars and the smallest thumb length.
constexpr int k_scroll_bar_size = 16;
constexpr int k_min_thumb = 12;

struct ScrollLayout {
    int length = 0;       // along the bar
    int arrow = 0;        // each arrow button's length
    int thumb_start = 0;  // offset of the thumb from the bar's start
    int thumb_length = 0; // 0: no thumb (nothing to scroll, or no room)

    int track_start() const { return arrow; }
    int track_end() const { return length - arrow; }

    ScrollPart part_at(int offset) const;
    // The position a thumb whose start lies at `thumb_offset` stands for.
    int position_for_thumb(const ScrollState& st, int thumb_offset) const;
};

// A rectangle along the bar `r`, from `start` for `length`, across its whole
// width.
inline Rect along(const Rect& r, bool vertical, int start, int length) {
    if (vertical)
        return {r.left, r.top + start, r.right, r.top + start + length};
    return {r.left + start, r.top, r.left + start + length, r.bottom};
}

// `length` along the bar, `thickness` across it; `pos` is the position the
// thumb shows (the track position while dragging).
ScrollLayout layout_scroll_bar(int length, int thickness, const ScrollState& st, int pos);

} // namespace platform::controls
