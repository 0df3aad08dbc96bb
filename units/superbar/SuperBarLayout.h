#pragma once

// Where the parts of a bar stand and how a place on its track maps to a
// value. Everything is measured along the bar's length from its start (the
// left end, or the top end of a vertical bar): the decrease arrow button,
// the track with the thumb on it, the increase arrow button. The track
// length is what the thumb can travel: the bar's length less both arrow
// buttons and the thumb.

#include <platform/Types.h>

#include <cstdint>

namespace units {

enum class BarPart { None = 0, Decrease = 1, Track = 2, Fill = 3, Thumb = 4, Increase = 5 };

class SuperBarLayout {
  public:
    static constexpr int MaxArrowLength = 20;
    static constexpr int MaxThumbLength = 18;

    SuperBarLayout() = default;
    SuperBarLayout(platform::Size client, bool vertical);

    bool vertical() const { return m_vertical; }
    int length() const { return m_length; }
    int thickness() const { return m_thickness; }
    int arrow_length() const { return m_arrow; }
    int thumb_length() const { return m_thumb; }
    // May be below 1 on a bar too short to have a track.
    int track_length() const { return m_length - 2 * m_arrow - m_thumb; }
    // Where the track starts along the bar: just after the decrease button.
    int track_start() const { return m_arrow; }

    // The thumb's offset from the start of the track for a value:
    // trunc((value - minimum) / (maximum - minimum) x track length).
    int thumb_offset(std::int32_t value, std::int32_t minimum, std::int32_t maximum) const;
    // The value a thumb left at `offset` stands for (a drag truncates).
    std::int64_t value_at_thumb(int offset, std::int32_t minimum, std::int32_t maximum) const;
    // The value a click `offset` pixels into the track asks for: the
    // minimum at 0 or below, else rounded with halves going up.
    std::int64_t value_at_click(int offset, std::int32_t minimum, std::int32_t maximum) const;

    // Rectangles in the bar's client coordinates. The fill runs from the
    // start of the track to the middle of a thumb at `thumb_offset`.
    platform::Rect part_rect(BarPart part, int thumb_offset) const;
    // A span along the bar and across it, turned for a vertical bar.
    platform::Rect span(int along_from, int along_to, int across_from, int across_to) const;
    platform::Point point(int along, int across) const;
    // The distance along the bar of a point in client coordinates.
    int along(platform::Point client) const { return m_vertical ? client.y : client.x; }

  private:
    bool m_vertical = false;
    int m_length = 0;
    int m_thickness = 0;
    int m_arrow = 0;
    int m_thumb = 0;
};

} // namespace units
