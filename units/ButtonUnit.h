#pragma once

// The `Button` unit (0x1000B): a push button over the platform's "BUTTON"
// control. Its own properties are 8 to 13 (own indexes 0 to 5); event 0,
// `Clicked`, comes from BN_CLICKED.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/drawing/Bitmap.h>

namespace units {

class ButtonUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x1000B;
    static constexpr std::uint32_t StoredVersion = 1;

    enum Own : std::int32_t {
        Picture = 0,
        DefaultButton = 1,
        Caption = 2,
        HorizontalAlignment = 3,
        VerticalAlignment = 4,
        Font = 5,
    };
    static constexpr std::int32_t EventClicked = 0;

    struct Settings : PropertyBag {
        Settings();
    };

    ButtonUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}
    ~ButtonUnit() override;

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<ButtonUnit>;

    // The button's own style bits; `has_picture` when the picture is a bitmap.
    static std::uint32_t style_for(const Settings& settings, bool has_picture);

  protected:
    bool on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool takes_focus() const override { return true; }

  private:
    void apply_style();

    Settings m_settings;
    UnitFont m_font;
    platform::HBITMAP m_bitmap = nullptr;
};

} // namespace units
