#include "ScrollBarGeometry.h"

#include <algorithm>
#include <cstdint>

namespace platform::controls {

int ScrollState::max_pos() const {
    std::int64_t top =
        static_cast<std::int64_t>(max) - (page > 0 ? static_cast<std::int64_t>(page) - 1 : 0);
    return static_cast<int>(std::max<std::int64_t>(top, min));
}

bool ScrollState::apply(const ScrollInfo& info) {
    ScrollState before = *this;
    if (info.fMask & SIF_RANGE) {
        min = info.nMin;
        // A range given upside down is taken as empty.
        max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        page = info.nPage;
    std::int64_t span = static_cast<std::int64_t>(max) - min + 1;
    if (static_cast<std::int64_t>(page) > span)
        page = static_cast<UINT>(span);
    if (info.fMask & SIF_POS)
        pos = info.nPos;
    pos = std::clamp(pos, min, max_pos());
    track_pos = std::clamp(track_pos, min, max_pos());
    return before.min != min || before.max != max || before.page != page || before.pos != pos;
}

void ScrollState::fill(ScrollInfo& info) const {
    if (info.fMask & SIF_RANGE) {
        info.nMin = min;
        info.nMax = max;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = page;
    if (info.fMask & SIF_POS)
        info.nPos = pos;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = track_pos;
}

bool ScrollState::scrollable() const {
    return max_pos() > min;
}

ScrollPart ScrollLayout::part_at(int offset) const {
    if (offset < 0 || offset >= length)
        return ScrollPart::None;
    if (offset < arrow)
        return ScrollPart::LineUp;
    if (offset >= length - arrow)
        return ScrollPart::LineDown;
    if (thumb_length == 0)
        return ScrollPart::None;
    if (offset < thumb_start)
        return ScrollPart::PageUp;
    if (offset >= thumb_start + thumb_length)
        return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

int ScrollLayout::position_for_thumb(const ScrollState& st, int thumb_offset) const {
    int room = track_end() - track_start() - thumb_length;
    if (thumb_length == 0 || room <= 0)
        return st.min;
    int offset = std::clamp(thumb_offset - track_start(), 0, room);
    std::int64_t span = static_cast<std::int64_t>(st.max_pos()) - st.min;
    // Rounded to the nearest position: a thumb dragged to either end of the
    // track reads the first or the last position exactly.
    std::int64_t value = st.min + (span * offset + room / 2) / room;
    return static_cast<int>(value);
}

ScrollLayout layout_scroll_bar(int length, int thickness, const ScrollState& st, int pos) {
    ScrollLayout l;
    l.length = std::max(0, length);
    l.arrow = std::min(std::max(0, thickness), l.length / 2);
    int track = l.length - 2 * l.arrow;
    if (!st.scrollable() || track <= 0)
        return l;
    std::int64_t range = static_cast<std::int64_t>(st.max) - st.min + 1;
    int thumb = st.page > 0 ? static_cast<int>(track * static_cast<std::int64_t>(st.page) / range)
                            : thickness;
    thumb = std::max(thumb, std::min(k_min_thumb, track));
    if (thumb >= track)
        return l; // no room to move a thumb
    std::int64_t span = static_cast<std::int64_t>(st.max_pos()) - st.min;
    std::int64_t at = std::clamp(pos, st.min, st.max_pos()) - static_cast<std::int64_t>(st.min);
    l.thumb_length = thumb;
    l.thumb_start = l.arrow + static_cast<int>((track - thumb) * at / span);
    return l;
}

} // namespace platform::controls
