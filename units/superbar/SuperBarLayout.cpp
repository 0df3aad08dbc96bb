#include "SuperBarLayout.h"

#include <algorithm>

namespace units {

SuperBarLayout::SuperBarLayout(platform::Size client, bool vertical)
    : m_vertical(vertical), m_length(std::max(0, vertical ? client.cy : client.cx)),
      m_thickness(std::max(0, vertical ? client.cx : client.cy)) {
    m_arrow = std::min({m_thickness, MaxArrowLength, m_length / 2});
    m_thumb = std::min(m_thickness, MaxThumbLength);
}

int SuperBarLayout::thumb_offset(std::int32_t value, std::int32_t minimum,
                                 std::int32_t maximum) const {
    std::int64_t range = std::int64_t{maximum} - minimum;
    if (range <= 0 || track_length() < 1)
        return 0;
    std::int64_t from_minimum = std::clamp<std::int64_t>(std::int64_t{value} - minimum, 0, range);
    return static_cast<int>(from_minimum * track_length() / range);
}

std::int64_t SuperBarLayout::value_at_thumb(int offset, std::int32_t minimum,
                                            std::int32_t maximum) const {
    std::int64_t range = std::int64_t{maximum} - minimum;
    if (track_length() < 1 || offset <= 0)
        return minimum;
    return minimum + std::int64_t{offset} * range / track_length();
}

std::int64_t SuperBarLayout::value_at_click(int offset, std::int32_t minimum,
                                            std::int32_t maximum) const {
    std::int64_t range = std::int64_t{maximum} - minimum;
    if (track_length() < 1 || offset <= 0)
        return minimum;
    // offset / track x range, rounded with halves up, in whole numbers.
    std::int64_t track = track_length();
    return minimum + (2 * std::int64_t{offset} * range + track) / (2 * track);
}

platform::Rect SuperBarLayout::span(int along_from, int along_to, int across_from,
                                    int across_to) const {
    if (m_vertical)
        return {across_from, along_from, across_to, along_to};
    return {along_from, across_from, along_to, across_to};
}

platform::Point SuperBarLayout::point(int along_, int across) const {
    return m_vertical ? platform::Point{across, along_} : platform::Point{along_, across};
}

platform::Rect SuperBarLayout::part_rect(BarPart part, int thumb_offset) const {
    int track_end = m_length - m_arrow;
    switch (part) {
    case BarPart::Decrease:
        return span(0, m_arrow, 0, m_thickness);
    case BarPart::Increase:
        return span(track_end, m_length, 0, m_thickness);
    case BarPart::Track:
        return span(m_arrow, std::max(m_arrow, track_end), 0, m_thickness);
    case BarPart::Thumb:
        return span(m_arrow + thumb_offset, m_arrow + thumb_offset + m_thumb, 0, m_thickness);
    case BarPart::Fill:
        return span(m_arrow, m_arrow + thumb_offset + m_thumb / 2, 0, m_thickness);
    case BarPart::None:
        break;
    }
    return {};
}

} // namespace units
