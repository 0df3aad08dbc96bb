#pragma once

// The arm's window: a session drawn by the painter, animated by a frame
// timer that runs only while a servo moves. Input arrives through the inbox
// (from the link reader thread) or, in tests, straight through receive().

#include "ArmPainter.h"
#include "ArmSession.h"
#include "LinkInbox.h"

#include "platform/Types.h"
#include <platform/window/Messages.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace arm {

class ArmWindow {
  public:
    // Posted to the window when the inbox turns non-empty.
    static constexpr platform::UINT WM_ARM_INPUT = platform::WM_APP + 1;
    static constexpr std::uintptr_t k_frame_timer = 1;
    static constexpr platform::UINT k_frame_ms = 16;
    static constexpr std::size_t k_log_limit = 500;

    // Creates and shows the window. `clock` gives the time on the scale of
    // the times passed to receive().
    static std::unique_ptr<ArmWindow> create(const ServoSettings& settings, std::string port_gbk,
                                             std::function<Millis()> clock);
    ~ArmWindow();
    ArmWindow(const ArmWindow&) = delete;
    ArmWindow& operator=(const ArmWindow&) = delete;

    platform::HWND hwnd() const { return m_hwnd; }
    LinkInbox& inbox() { return m_inbox; }
    const ArmSession& session() const { return m_session; }
    const std::deque<ReceivedCommand>& log() const { return m_log; }
    bool is_animating() const { return m_animating; }

    void receive(std::string_view bytes, Millis time);
    void sender_closed();
    // One animation frame at the clock's time.
    void frame();

  private:
    ArmWindow(const ServoSettings& settings, std::string port_gbk, std::function<Millis()> clock);
    static platform::LRESULT proc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wp,
                                  platform::LPARAM lp);
    void take_inbox();
    void update_animation();
    void paint();
    platform::Rect client() const;
    void invalidate_part(const platform::Rect& part);
    std::array<double, k_servo_count> angles() const;

    platform::HWND m_hwnd = nullptr;
    std::function<Millis()> m_clock;
    ArmSession m_session;
    ArmPainter m_painter;
    LinkInbox m_inbox;
    std::deque<ReceivedCommand> m_log;
    std::vector<ReceivedCommand> m_received;
    std::string m_port;
    // The angles as last painted, to tell which rows a frame changes.
    std::array<double, k_servo_count> m_shown_angles{};
    // Where the arm was last painted.
    ArmExtent m_shown_extent;
    // Where the target's ghost was drawn, as of the last command.
    ArmExtent m_shown_target;
    bool m_animating = false;
};

} // namespace arm
