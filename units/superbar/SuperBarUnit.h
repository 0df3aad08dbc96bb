#pragma once

// The `SuperBar` unit (0x20001): a bar built from child windows (a decrease
// arrow button, a track, the filled part, a thumb and an increase arrow
// button) that, with its slider behaviour on, acts as a slider over an
// integer range. The position moves by property writes, keys, clicks on
// the track, the arrow buttons (clicked or held) and by dragging the thumb,
// and every change raises `PositionChanged`.

#include "SuperBarLayout.h"
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <runtime/image/UnitTypeInfo.h>

#include <platform/window/Messages.h>

namespace platform {
class Canvas;
}

namespace units {

class SuperBarUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x20001;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlSuperBar";
    static constexpr const char* PartClassName = "ArmctlSuperBarPart";

    // Own property indexes (property index less 8).
    enum Own : std::int32_t {
        BarKind = 0,
        Orientation = 1,
        BackColour = 2,
        TrackColour = 3,
        FillColour = 4,
        PageStep = 5,
        LineStep = 6,
        Minimum = 7,
        Maximum = 8,
        Position = 9,
        ShowFill = 10,
        ThumbShape = 11, // 0 round, 1 rectangular
        Font = 12,
        SliderBehaviour = 13,
        TrackWhileDragging = 14,
        ArrowImages = 15,
        TrackImages = 16,
        ThumbImages = 17,
        FillImages = 18,
        CentreThumb = 51,
    };

    enum Event : std::int32_t { PositionChanged = 0, DecreaseClicked = 1, IncreaseClicked = 2 };

    // Hold on an arrow button: timer 1 waits, then timer 2 repeats.
    static constexpr std::uintptr_t HoldDelayTimer = 1;
    static constexpr std::uintptr_t HoldRepeatTimer = 2;
    static constexpr unsigned HoldDelayMs = 500;
    static constexpr unsigned HoldRepeatMs = 100;
    // Posted by an assistive client's value change: wParam the position.
    static constexpr UINT MessageAccessSetValue = platform::WM_USER + 0x60;

    struct Settings : PropertyBag {
        Settings();
        // The stored data; a range whose minimum is not below its maximum
        // fails the load, a position outside it is brought inside.
        bool read(StoredDataReader& reader);
        // A design's BarKind sets its preset's flags too, so that the
        // settings after it can change them again.
        bool set_by_name(std::string_view name, std::string_view value);
        // Writing 1 to 4 sets the preset's group of flags; 0 sets nothing.
        void apply_preset(std::int32_t preset);
    };

    SuperBarUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}
    ~SuperBarUnit() override;

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    static const runtime::UnitTypeInfo& type_info();
    // The window class of the part windows; safe to call more than once.
    static bool register_part_class();
    using Entries = UnitTypeEntries<SuperBarUnit>;

    std::int32_t position() const { return m_settings.word(Position); }
    const SuperBarLayout& layout() const { return m_layout; }
    platform::HWND part_window(BarPart part) const;
    // Where a part window stands now, in the bar's client coordinates.
    platform::Rect part_rect_now(BarPart part) const;
    // The part that holds the mouse: the thumb while dragging, an arrow
    // button while held, else none.
    BarPart held_part() const { return m_held; }

    // Input that the part windows hand over, in the bar's client coordinates.
    void part_pressed(BarPart part, platform::Point bar_point);
    void part_hovered(BarPart part);
    void thumb_moved();
    // Draws the whole bar; a part window moves the origin to its own place first.
    void paint(platform::Canvas& canvas) const;

  protected:
    void describe_access(platform::access::Node& node) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool takes_focus() const override { return true; }

  private:
    enum class MoveThumb { No, Yes };
    // Returns false when the unit is gone (a handler destroyed its window):
    // the caller must not touch the unit again.
    bool set_position(std::int64_t value, MoveThumb move);
    bool thumb_to_position();
    bool click_track(platform::Point bar_point);
    bool click_arrow(BarPart arrow);
    bool hold_tick();
    bool mouse_moved(platform::Point bar_point);
    bool mouse_released(platform::Point bar_point);
    bool key_down(UINT vk, unsigned repeat);
    void end_hold();

    bool create_parts();
    void lay_out();
    void place_thumb(int offset);
    void place_fill();
    void redraw();

    std::int32_t minimum() const { return m_settings.word(Minimum); }
    std::int32_t maximum() const { return m_settings.word(Maximum); }
    int thumb_offset_now() const;
    // How far the thumb window stands from the start of the track.
    int thumb_window_offset() const;

    Settings m_settings;
    SuperBarLayout m_layout;
    HWND m_parts[6] = {};
    // Set while a set-position moves the thumb window: the thumb's own move
    // must not turn back into a position.
    bool m_moving_thumb = false;
    BarPart m_held = BarPart::None;
    BarPart m_hot = BarPart::None;
    bool m_pressed_inside = false; // the held arrow button is under the mouse
    int m_grab = 0;                // where on the thumb the drag took hold
};

} // namespace units
