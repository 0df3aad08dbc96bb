#pragma once

// The `PicBox` unit (0x10006): a window the unit draws itself, showing its
// stored picture (a 24-bit bitmap) at its top left, stretched, centred or
// scaled to fit. A picture that is not a readable bitmap shows nothing.
// Its own properties are 8 to 14 (own indexes 0 to 6). No events.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/drawing/Bitmap.h>

namespace units {

class PicBoxUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x10006;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlPicBox";

    enum Own : std::int32_t {
        Border = 0,
        BackColour = 1,
        Picture = 2,
        Layout = 3,
        AutoSize = 4,
        Data1 = 5,
        Data2 = 6,
    };
    enum LayoutChoice : std::int32_t {
        TopLeft = UnitPicture::TopLeft,
        Stretch = UnitPicture::Stretch,
        Centre = UnitPicture::Centre,
        Fit = UnitPicture::Fit
    };

    struct Settings : PropertyBag {
        Settings();
        // Adds `PictureFile`: the picture read from a bitmap file.
        bool set_by_name(std::string_view name, std::string_view value);
    };

    PicBoxUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // The picture as shown; null when there is none or it is not a bitmap.
    platform::HBITMAP bitmap() const { return m_picture.bitmap(); }

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<PicBoxUnit>;

  protected:
    void describe_access(platform::access::Node& node) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void paint();

    Settings m_settings;
    UnitPicture m_picture;
};

} // namespace units
