#pragma once

// Subclassing a window in a test with a callable, for as long as an object
// lives, instead of a global procedure and a global for the procedure it
// replaced.

#include <platform/window/WindowSystem.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

namespace test_support {

// Puts `handler` in front of a window's procedure and puts the old one back
// when it ends (unless the window is gone by then). The handler is given the
// procedure it stands in front of, to pass messages on with
// platform::call_window_proc. Subclasses of one window end in the reverse
// order of their start. For the user-interface thread only.
class Subclass {
  public:
    using Handler =
        std::function<platform::LRESULT(platform::HWND, platform::UINT, platform::WPARAM,
                                        platform::LPARAM, platform::WNDPROC previous)>;

    Subclass(platform::HWND hwnd, Handler handler) : m_hwnd(hwnd), m_handler(std::move(handler)) {
        auto& taken = slots();
        while (m_slot < taken.size() && taken[m_slot])
            ++m_slot;
        if (m_slot == taken.size()) {
            std::fprintf(stderr, "test_support::Subclass: more than %zu at once\n", taken.size());
            std::abort();
        }
        taken[m_slot] = this;
        m_previous = platform::set_window_proc(hwnd, procs()[m_slot]);
    }
    ~Subclass() {
        if (platform::is_window(m_hwnd) && platform::get_window_proc(m_hwnd) == procs()[m_slot])
            platform::set_window_proc(m_hwnd, m_previous);
        slots()[m_slot] = nullptr;
    }
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    platform::WNDPROC previous() const { return m_previous; }

  private:
    // A window procedure is a plain function, so each live subclass takes
    // one of a few procedures, each reading its own slot.
    static constexpr std::size_t SlotCount = 8;

    static std::array<Subclass*, SlotCount>& slots() {
        static std::array<Subclass*, SlotCount> taken{};
        return taken;
    }
    template <std::size_t Slot>
    static platform::LRESULT proc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wp,
                                  platform::LPARAM lp) {
        Subclass* self = slots()[Slot];
        return self->m_handler(hwnd, msg, wp, lp, self->m_previous);
    }
    template <std::size_t... Slot>
    static constexpr std::array<platform::WNDPROC, SlotCount>
    make_procs(std::index_sequence<Slot...>) {
        return {&proc<Slot>...};
    }
    static const std::array<platform::WNDPROC, SlotCount>& procs() {
        static constexpr auto all = make_procs(std::make_index_sequence<SlotCount>{});
        return all;
    }

    platform::HWND m_hwnd;
    Handler m_handler;
    platform::WNDPROC m_previous = nullptr;
    std::size_t m_slot = 0;
};

} // namespace test_support
