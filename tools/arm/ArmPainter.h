#pragma once

// Draws the arm window: the arm from the side and from above, the four
// angles, and the log of received commands.

#include "ArmSession.h"

#include "platform/Canvas.h"

#include <deque>
#include <string>

namespace arm {

struct ArmView {
    const ArmModel* model = nullptr;
    ParserCounts counts;
    const std::deque<ReceivedCommand>* log = nullptr;
    std::string port; // "COM1 → /dev/pts/3", GBK
};

class ArmPainter {
  public:
    ArmPainter();
    ~ArmPainter();
    ArmPainter(const ArmPainter&) = delete;
    ArmPainter& operator=(const ArmPainter&) = delete;

    void paint(platform::Canvas& canvas, const platform::Rect& client, const ArmView& view);

    // The client size the layout is made for.
    static constexpr int k_width = 920;
    static constexpr int k_height = 600;

  private:
    void paint_header(platform::Canvas& c, const platform::Rect& r, const ArmView& view);
    void paint_side(platform::Canvas& c, const platform::Rect& r, const ArmModel& model);
    void paint_top(platform::Canvas& c, const platform::Rect& r, const ArmModel& model);
    void paint_angles(platform::Canvas& c, const platform::Rect& r, const ArmModel& model);
    void paint_log(platform::Canvas& c, const platform::Rect& r, const ArmView& view);
    void panel(platform::Canvas& c, const platform::Rect& r, const char* title);

    platform::HFONT m_title_font = nullptr;
    platform::HFONT m_heading_font = nullptr;
    platform::HFONT m_value_font = nullptr;
    platform::HFONT m_mono_font = nullptr;
};

} // namespace arm
