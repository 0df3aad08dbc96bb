#pragma once

// The live object of a unit, as the runtime sees it: something that owns a
// system window (or, for a unit without one, a null handle) and carries the
// window id and unit id that name it. Unit types derive from it.
//
// A unit object deletes itself once its system window is gone for good, after
// telling the runtime (service 2000); the runtime only ever destroys the
// system window.

#include <platform/Types.h>

#include <cstdint>

namespace runtime {

// Asked of a window that has no known unit object: answers the object or 0.
inline constexpr platform::UINT MessageQueryObject = 0x8002;

class UnitObject {
  public:
    UnitObject(std::uint32_t window_id, std::uint32_t unit_id)
        : m_window_id(window_id), m_unit_id(unit_id) {}
    virtual ~UnitObject() = default;
    UnitObject(const UnitObject&) = delete;
    UnitObject& operator=(const UnitObject&) = delete;

    virtual platform::HWND hwnd() const = 0;

    // The unit's link of the message pre-translation chain: true when it
    // used the message (keyboard navigation, accelerators).
    virtual bool pre_translate_message(platform::Msg&) { return false; }

    std::uint32_t window_id() const { return m_window_id; }
    std::uint32_t unit_id() const { return m_unit_id; }

    // The cursor the runtime made from the unit's pointer block; null for the
    // class cursor.
    platform::HCURSOR cursor() const { return m_cursor; }
    void set_cursor(platform::HCURSOR cursor) { m_cursor = cursor; }

  private:
    std::uint32_t m_window_id;
    std::uint32_t m_unit_id;
    platform::HCURSOR m_cursor = nullptr;
};

} // namespace runtime
