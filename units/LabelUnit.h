#pragma once

// The `Label` unit (0x1000A): a window the unit draws itself, showing its
// caption. Its own properties are 8 to 28 (own indexes 0 to 20). Event 0,
// `Feedback`, answers the private message WM_APP + 0x75 sent to the label:
// the message's two parameters are the event's arguments and the handler's
// result is the message's result.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/window/Messages.h>

namespace units {

class LabelUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x1000A;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlLabel";
    static constexpr UINT MessageFeedback = platform::WM_APP + 0x75;

    enum Own : std::int32_t {
        Caption = 0,
        Border = 1,
        Alignment = 2,
        VerticalAlignment = 3,
        WordWrap = 4,
        TextColour = 5,
        BackColour = 6,
        Transparent = 7,
        Effect = 8,
        EffectColour = 9,
        Indent = 10,
        LineSpacing = 11,
        TransparentColour = 12,
        Font = 13,
        Picture = 14,
        PictureLayout = 15, // a UnitPicture::Layout
        ImageList = 16,
        ImageIndex = 17,
        HotColour = 18,
        Data = 19,
        Reserved = 20,
    };
    static constexpr std::int32_t EventFeedback = 0;

    struct Settings : PropertyBag {
        Settings();
    };

    LabelUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<LabelUnit>;

  protected:
    void describe_access(platform::access::Node& node) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void paint();

    Settings m_settings;
    UnitFont m_font;
    UnitPicture m_picture;
};

} // namespace units
