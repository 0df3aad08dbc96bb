#pragma once

// A display with no screen: every top-level window keeps its picture in an
// image surface, and tests inject input at client coordinates, read texts
// and save PNG pictures. Nothing waits on anything outside the process, so
// runs are deterministic.

#include "DisplayBackend.h"
#include "Input.h"

#include <string>

namespace platform {

class HeadlessBackend final : public DisplayBackend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    const char* name() const override { return "headless"; }
    void window_created(HWND, const Rect&) override {}
    void window_destroyed(HWND) override {}
    void window_title_changed(HWND, std::string_view) override {}
    void window_geometry_changed(HWND, const Rect&) override {}
    void window_shown(HWND, NativeShow, bool) override {}
    void window_enabled(HWND, bool) override {}
    void window_topmost_changed(HWND, bool) override {}
    void window_activated(HWND) override {}
    void present(HWND, cairo_surface_t*, const Rect&) override { ++m_presents; }
    void set_cursor(HWND, int cursor_id) override { m_cursor = cursor_id; }
    void process_pending() override {}
    void wait(int timeout_ms) override;
    void wake() override;
    void set_clipboard_text(std::string_view utf8) override { m_clipboard = std::string(utf8); }
    std::string clipboard_text() override { return m_clipboard; }
    bool cursor_position(Point& screen) override;

    // ---- Test input: coordinates are client coordinates of `hwnd`, which
    // may be any window; events go through the queue like real input.
    void mouse_move(HWND hwnd, Point client);
    void mouse_down(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void mouse_up(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void click(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void wheel(HWND hwnd, Point client, int delta);
    // A key press and release; `typed_char` as for input::key.
    void press_key(UINT vk, std::uint32_t typed_char = 0);
    void type_text(std::string_view utf8);

    // Retrieves and dispatches every message that is ready (paints and due
    // timers included), without waiting. Returns how many were dispatched.
    int pump();

    int cursor_id() const { return m_cursor; }
    int presents() const { return m_presents; }

private:
    bool top_point(HWND hwnd, Point client, HWND& top, Point& top_client);

    int m_wake_fd = -1;
    int m_cursor = 0;
    int m_presents = 0;
    std::string m_clipboard;
};

} // namespace platform
