#include "WindowObject.h"

#include "UnitObject.h"

#include <platform/window/WindowSystem.h>

namespace runtime {

UnitRecord* WindowObject::find_unit_or_window(std::uint32_t unit_id) {
    if (unit_id == 0)
        return window_unit();
    return find_unit(unit_id);
}

UnitObject* WindowObject::object_of(const UnitRecord& record) {
    return static_cast<UnitObject*>(record.object);
}

platform::HWND WindowObject::live_window_of(const UnitRecord& record) {
    auto* object = object_of(record);
    if (!object)
        return nullptr;
    platform::HWND hwnd = object->hwnd();
    return platform::is_window(hwnd) ? hwnd : nullptr;
}

platform::HWND WindowObject::system_window() const {
    auto* unit = window_unit();
    return unit ? live_window_of(*unit) : nullptr;
}

void WindowObject::restore_unit_list() {
    if (m_saved_units.empty() && !units.empty()) {
        // Never created: only the live objects are forgotten.
        for (auto& unit : units) {
            unit.object = nullptr;
            unit.cursor = nullptr;
        }
        return;
    }
    units = std::move(m_saved_units);
    m_saved_units.clear();
    for (auto& unit : units) {
        unit.object = nullptr;
        unit.cursor = nullptr;
    }
    m_created = false;
}

} // namespace runtime
