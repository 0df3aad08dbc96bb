#pragma once

// Where a standard control keeps its state: an object made when the window
// is created (WM_NCCREATE) and deleted after its last message (WM_NCDESTROY),
// whose address sits in the window's extra bytes, so that every message finds
// it without a lookup. The font set with WM_SETFONT sits next to it.
//
// A control writes its procedure over its state,
//   LRESULT on_message(ButtonState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// and registers control_proc<ButtonState, on_message> as the class procedure.
// The state is built as State(hwnd, create_struct) when it has such a
// constructor; otherwise it is value-initialised and, when it has a `self`
// member, told its window. Messages that reach the window before WM_NCCREATE
// or after WM_NCDESTROY go to the default procedure.

#include <platform/window/WindowSystem.h>

#include <cstdint>
#include <type_traits>

namespace platform::controls {

constexpr int k_control_state_offset = 0;
constexpr int k_control_font_offset = sizeof(std::intptr_t);
// What register_control_class reserves in every control's window.
constexpr int k_control_extra_bytes = 2 * sizeof(std::intptr_t);

template <typename State> State* control_state(HWND hwnd) {
    return reinterpret_cast<State*>(get_window_extra(hwnd, k_control_state_offset));
}

template <typename State>
using ControlMessageHandler = LRESULT (*)(State&, HWND, UINT, WPARAM, LPARAM);

namespace detail {

template <typename State> State* make_control_state(HWND hwnd, const CreateStruct& cs) {
    if constexpr (!std::is_aggregate_v<State> &&
                  std::is_constructible_v<State, HWND, const CreateStruct&>) {
        return new State(hwnd, cs);
    } else {
        auto* st = new State();
        if constexpr (requires(State & s) { s.self = hwnd; })
            st->self = hwnd;
        return st;
    }
}

} // namespace detail

template <typename State, ControlMessageHandler<State> Handler>
LRESULT control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    State* st = control_state<State>(hwnd);
    if (!st && msg == WM_NCCREATE && lp) {
        st = detail::make_control_state<State>(hwnd, *reinterpret_cast<const CreateStruct*>(lp));
        set_window_extra(hwnd, k_control_state_offset, reinterpret_cast<std::intptr_t>(st));
        // A class registered without room for the state cannot keep it.
        if (control_state<State>(hwnd) != st) {
            delete st;
            st = nullptr;
        }
    }
    if (!st)
        return def_window_proc(hwnd, msg, wp, lp);
    LRESULT result = Handler(*st, hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        set_window_extra(hwnd, k_control_state_offset, 0);
        delete st;
    }
    return result;
}

} // namespace platform::controls
