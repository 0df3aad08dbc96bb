#pragma once

// Draws the arm window: the arm from the side and from above, the four
// angles, and the log of received commands. What never changes (panels,
// titles, scales, the ground) is drawn once into a picture kept for the
// window's size; a paint copies the part it needs and draws over it only
// the parts that lie in the area being painted.

#include "ArmSession.h"
#include "TextPictures.h"

#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>

#include <array>

#include <deque>
#include <string>

namespace arm {

struct ArmView {
    const ArmModel* model = nullptr;
    ParserCounts counts;
    const std::deque<ReceivedCommand>* log = nullptr;
    std::string port; // "COM1 → /dev/pts/3", GBK
};

// Where the parts of the window lie for a client area.
struct ArmLayout {
    platform::Rect header;
    platform::Rect counts; // the right part of the header
    platform::Rect side;
    platform::Rect top;
    platform::Rect angles;
    std::array<platform::Rect, k_servo_count> angle_rows; // what changes with one angle
    platform::Rect log;
};

// What the arm covers in the side and top views at one pose, with room for
// the width of its links and joints: a box for the upper arm, one for the
// forearm and one for the gripper, since one box around an arm held out
// slantwise would be mostly empty panel to repaint in every frame.
struct ArmExtent {
    static constexpr std::size_t k_parts = 3;
    std::array<platform::Rect, k_parts> side;
    std::array<platform::Rect, k_parts> top;
};

class ArmPainter {
  public:
    ArmPainter();
    ~ArmPainter();
    ArmPainter(const ArmPainter&) = delete;
    ArmPainter& operator=(const ArmPainter&) = delete;

    static ArmLayout layout(const platform::Rect& client);
    // Where the arm is drawn at its present angles, inside the views; with
    // `target`, where its ghost is drawn at the angles it moves to.
    static ArmExtent extent(const ArmLayout& layout, const ArmModel& model, bool target = false);

    // What of a servo's row changes when its angle goes from `from` to `to`
    // (moving towards `target`): the stretch of the bar between them, the
    // angle's text when its number changes, the target's when it comes or
    // goes. Parts that stay are empty.
    static std::array<platform::Rect, 3> angle_change(const ArmLayout& layout,
                                                      const ServoSettings& settings, int servo,
                                                      double from, double to, double target);
    // Paints the parts of the window that the canvas's clip lets show.
    void paint(platform::Canvas& canvas, const platform::Rect& client, const ArmView& view);

    // The client size the layout is made for.
    static constexpr int k_width = 920;
    static constexpr int k_height = 600;

  private:
    // The picture of what never changes, made again when the size or the
    // port's name is not the one it was made for.
    platform::HBITMAP background(const platform::Rect& client, const ArmLayout& layout,
                                 const ArmView& view);
    void paint_background(platform::Canvas& c, const platform::Rect& client,
                          const ArmLayout& layout, const ArmView& view);
    void paint_counts(platform::Canvas& c, const platform::Rect& r, const ArmView& view);
    void paint_side(platform::Canvas& c, const platform::Rect& r, const ArmModel& model);
    void paint_top(platform::Canvas& c, const platform::Rect& r, const ArmModel& model);
    void paint_angle(platform::Canvas& c, const platform::Rect& r, int servo,
                     const ArmModel& model);
    void paint_log(platform::Canvas& c, const platform::Rect& r, const ArmView& view);
    void panel(platform::Canvas& c, const platform::Rect& r, const char* title);

    TextPictures m_texts;
    platform::HBITMAP m_background = nullptr;
    platform::Size m_background_size{};
    std::string m_background_port;
    ServoSettings m_background_settings;
    platform::HFONT m_title_font = nullptr;
    platform::HFONT m_heading_font = nullptr;
    platform::HFONT m_value_font = nullptr;
    platform::HFONT m_mono_font = nullptr;
};

} // namespace arm
