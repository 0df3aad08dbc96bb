#pragma once

// SetInterfaceStyle: a flat look in one of three colour schemes for the
// standard controls of the user-interface thread's windows.
//
// Switching on restyles every window of the thread that exists, and a
// per-thread WH_CALLWNDPROC hook restyles each later window at its WM_CREATE.
// Restyling subclasses the window: the restyling procedure keeps the
// previous one in the window's entry, draws push buttons, group boxes and
// the borders of edit boxes and drop-down lists itself, and passes every
// other message on. Switching off gives every restyled window its previous
// procedure back. A window is restyled once however often restyling is
// switched on, since switching on first switches off.

#include <platform/Types.h>
#include <runtime/values/TypedValue.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace commands {

// SetInterfaceStyle(scheme): 1, 2 or 3 switches restyling on in that scheme
// and returns 1; any other number switches it off and returns 1 when the
// hook was removed, 0 when restyling was not on. A non-numeric argument
// gives 0 and changes nothing.
void SetInterfaceStyle(runtime::TypedValue* result, std::int32_t arg_count,
                       const runtime::TypedValue* args);

enum class ControlKind {
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    EditBox,
    ComboBox,
    UpDown,
    DropDownList,
};

// The kind a window is restyled as, from its class and style; nothing for
// windows that keep their own look:
//   "Button" push button (and check box or radio button with BS_PUSHLIKE)
//            → push button, unless it has no text and its style is exactly
//            WS_CHILD | WS_TABSTOP; check box; radio button; group box.
//            Bitmap, icon, owner-drawn and other button styles are left alone.
//   "Edit"   → edit box, unless its parent is a "SysIPAddress32" control.
//   "ComboBox" → combo box, unless it has the simple style.
//   "msctls_updown32" → up-down control; "ComboLBox" → drop-down list.
std::optional<ControlKind> restyled_kind(platform::HWND hwnd);

// State flags kept in a window's entry, from its style and state.
namespace style_flag {
inline constexpr std::uint32_t Disabled = 0x01;
inline constexpr std::uint32_t Focused = 0x02;
inline constexpr std::uint32_t Default = 0x04;
inline constexpr std::uint32_t Checked = 0x08;
inline constexpr std::uint32_t Indeterminate = 0x10;
inline constexpr std::uint32_t Pressed = 0x20;
inline constexpr std::uint32_t Hot = 0x40;
inline constexpr std::uint32_t ReadOnly = 0x80;
} // namespace style_flag

// What the restyling list holds, for tests and the message spy.
struct RestyledWindowInfo {
    ControlKind kind;
    std::uint32_t state_flags;
    platform::WNDPROC previous_proc;
};
std::optional<RestyledWindowInfo> restyled_window_info(platform::HWND hwnd);
std::size_t restyled_window_count();
int current_interface_scheme();

} // namespace commands
