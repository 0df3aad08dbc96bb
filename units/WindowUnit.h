#pragma once

// The `window` unit (0x10001): the top-level window that holds the other
// units. Its own properties are 8 to 31 (own indexes 0 to 23).

#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <runtime/image/UnitTypeInfo.h>

namespace units {

class WindowUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x10001;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlWindowUnit";

    // Own property indexes.
    enum Own : std::int32_t {
        Title = 0,
        Border = 1,
        BackgroundColour = 2,
        Picture = 3,
        PictureLayout = 4,
        Sound = 5,
        SoundMode = 6,
        ControlBox = 7,
        MaximizeButton = 8,
        MinimizeButton = 9,
        Position = 10,
        Movable = 11,
        Icon = 12,
        RecreateOnLoad = 13, // behaviour flag 21: made anew when loaded again
        Flag22 = 14,
        Flag23 = 15,
        HelpFile = 16,
        HelpTopic = 17,
        Flag26 = 18,
        Flag27 = 19,
        Appearance = 20,
        TopMost = 21,
        Flag30 = 22,
        ClassText = 23,
    };

    struct Settings : PropertyBag {
        Settings();
    };

    WindowUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    bool pre_translate_message(platform::Msg& msg) override;

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<WindowUnit>;

    // The window styles the settings ask for, on top of the runtime's bits.
    struct Styles {
        std::uint32_t style = 0;
        std::uint32_t ex_style = 0;
    };
    static Styles styles_for(const Settings& settings, std::uint32_t runtime_style,
                             bool has_parent);

  protected:
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    std::uint32_t notice_unit_id() const override { return 0; }

  private:
    void apply_styles();
    void apply_position();
    void apply_topmost();

    Settings m_settings;
    bool m_has_parent = false;
};

} // namespace units
