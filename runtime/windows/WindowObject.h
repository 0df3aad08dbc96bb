#pragma once

// A window of the program while it runs: its stored template (whose unit list
// is the live list that property writes change), the saved copy of that list
// taken when the window is created, and the state of its system window.

#include <runtime/image/WindowTemplate.h>

#include <platform/Types.h>

#include <cstdint>
#include <vector>

namespace runtime {

class UnitObject;

class WindowObject : public WindowTemplate {
  public:
    WindowObject() = default;
    explicit WindowObject(WindowTemplate stored) : WindowTemplate(std::move(stored)) {}

    // The window's own unit (index 0 of the list); null when the list is empty.
    UnitRecord* window_unit() { return units.empty() ? nullptr : &units.front(); }
    const UnitRecord* window_unit() const { return units.empty() ? nullptr : &units.front(); }
    std::uint32_t window_unit_id() const { return units.empty() ? 0 : units.front().id; }

    // A unit id of 0 names the window's own unit; otherwise as find_unit.
    UnitRecord* find_unit_or_window(std::uint32_t unit_id);

    // The unit's live object, or null when it has none.
    static UnitObject* object_of(const UnitRecord& record);
    // The unit's system window when its object is set and the handle is still a window.
    static platform::HWND live_window_of(const UnitRecord& record);
    platform::HWND system_window() const;
    bool has_live_window() const { return system_window() != nullptr; }

    // Copies the live list into the saved list (window creation).
    void save_unit_list() { m_saved_units = units; }
    // The window is gone: the saved list replaces the live one, so a window
    // loaded again starts from its stored state; object slots are cleared.
    void restore_unit_list();

    bool is_created() const { return m_created; }
    void set_created(bool created) { m_created = created; }
    bool is_modal() const { return m_modal; }
    void set_modal(bool modal) { m_modal = modal; }

  private:
    std::vector<UnitRecord> m_saved_units;
    bool m_created = false;
    bool m_modal = false;
};

} // namespace runtime
