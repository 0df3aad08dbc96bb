#pragma once

// The `GroupBox` unit (0x10009): a captioned frame over the platform's
// "BUTTON" control in its group-box style; other units may be placed in it.
// Its own properties are 8 to 12 (own indexes 0 to 4). No events.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

namespace units {

class GroupBoxUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x10009;
    static constexpr std::uint32_t StoredVersion = 1;

    enum Own : std::int32_t {
        Caption = 0,
        Alignment = 1,
        TextColour = 2,
        BackColour = 3,
        Font = 4,
    };

    struct Settings : PropertyBag {
        Settings();
    };

    GroupBoxUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<GroupBoxUnit>;

  protected:
    bool on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    static std::uint32_t alignment_style(const Settings& settings);

    Settings m_settings;
    UnitFont m_font;
};

} // namespace units
