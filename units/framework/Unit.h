#pragma once

// The base of every unit type: a unit object that owns one system window,
// subclasses it, and speaks for it to the runtime. It answers the runtime's
// object query, shows the cursor the runtime made for it, raises the
// focus events -7 and -8 for types that take the focus, takes back the
// notifications its parent received from it, and tells the runtime when its
// window is gone before it deletes itself.

#include <runtime/services/HostNotify.h>
#include <runtime/windows/EventRequest.h>
#include <runtime/windows/UnitObject.h>

#include <platform/Types.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace platform::access {
struct Node;
}

namespace units {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

// Registers a window class of the units with the arrow cursor, or finds it
// registered already; false when neither. `proc` null means the default
// procedure (the unit subclasses its window).
bool register_unit_class(std::string_view name, UINT class_style = 0,
                         platform::WNDPROC proc = nullptr);

// Events common to the unit types that take the keyboard focus.
inline constexpr std::int32_t EventGotFocus = -7;
inline constexpr std::int32_t EventLostFocus = -8;

class Unit : public runtime::UnitObject {
  public:
    Unit(std::uint32_t window_id, std::uint32_t unit_id) : UnitObject(window_id, unit_id) {}

    HWND hwnd() const override { return m_hwnd; }

    // Raises an own event (word arguments) through the runtime. True when a
    // handler ran; `result` gets the handler's value when it returned one.
    bool raise_event(std::int32_t event, std::initializer_list<std::uint32_t> args = {},
                     std::uint32_t* result = nullptr);

    // The unit of a system window, or null.
    static Unit* from_window(HWND hwnd);

  protected:
    // Creates the system window and subclasses it; false when it cannot be made.
    bool create_system_window(std::uint32_t ex_style, std::string_view class_name,
                              std::string_view text, std::uint32_t style, int x, int y, int width,
                              int height, HWND parent, std::uintptr_t id_or_menu);

    // Replaces the style bits in `owned` and the extended style bits in
    // `owned_ex` with those of `style` and `ex_style`, and lays the frame out
    // again.
    void restyle(std::uint32_t owned, std::uint32_t style, std::uint32_t owned_ex,
                 std::uint32_t ex_style);

    // A message for the unit's own window; true when handled (with `result`).
    virtual bool on_message(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    // A notification the unit's window sent its parent, passed back here.
    virtual bool on_notification(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    virtual bool takes_focus() const { return false; }
    // What the unit says of itself to an assistive client, over what its
    // window's procedure said (WM_GETOBJECT describing the window itself).
    virtual void describe_access(platform::access::Node&) {}
    // The unit id that names the unit in events and the destroyed notice: 0
    // for the window unit.
    virtual std::uint32_t notice_unit_id() const { return unit_id(); }

    LRESULT call_original(UINT msg, WPARAM wp, LPARAM lp);

  private:
    static LRESULT unit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp, bool& destroyed);

    // The handle() calls running for this unit, innermost first: a message
    // may destroy the window, and with it the unit, under their feet.
    struct Frame {
        bool destroyed = false;
        Frame* outer = nullptr;
    };

    HWND m_hwnd = nullptr;
    platform::WNDPROC m_original = nullptr;
    Frame* m_frames = nullptr;
};

} // namespace units
