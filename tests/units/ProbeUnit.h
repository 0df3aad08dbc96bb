#pragma once

// A small unit type for the window and dispatch tests: a child window with
// one property of each kind the runtime converts, a property whose change
// asks for re-creation, the focus events, and a notification it sends its
// parent and takes back as its event 1.

#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <vector>

namespace runtime_test {

using units::LPARAM;
using units::LRESULT;
using units::UINT;
using units::WPARAM;

class ProbeUnit final : public units::Unit {
  public:
    enum Own : std::int32_t { Value = 0, Flag = 1, Caption = 2, Font = 3, Data = 4, Rebuild = 5 };
    static constexpr std::uint32_t StoredVersion = 2;
    static constexpr std::int32_t EventClicked = 1;
    static constexpr std::int32_t EventCreating = 2;

    struct Settings : units::PropertyBag {
        Settings();
    };

    ProbeUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const units::CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // Sends the parent the notification that comes back as event 1.
    void click();
    // What raising an event from inside create() answered (creation suppresses events).
    bool raised_during_creation() const { return m_raised_during_creation; }

    static const runtime::UnitTypeInfo& type_info();
    // The same type without the flags that let a unit raise events.
    static const runtime::UnitTypeInfo& silent_type_info();

    static std::vector<std::int32_t>& set_calls();

  protected:
    bool on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool takes_focus() const override { return true; }

  private:
    Settings m_settings;
    bool m_raised_during_creation = true;
};

} // namespace runtime_test
