#pragma once

// The GTK display with one addition for the benchmarks that drive the arm
// controller in-process on a real X server: every message box is answered
// with Enter, posted through the window system's input as the keyboard
// would, the moment the box is shown. Everything else is the GTK display's.

#include <platform/DisplayBackend.h>
#include <platform/gtk/GtkBackend.h>

#include <string>

namespace bench {

class AnsweringGtkDisplay final : public platform::DisplayBackend {
  public:
    // Connects to $DISPLAY; false, with the reason, when there is none.
    static bool open(std::string& error);

    const char* name() const override { return m_gtk.name(); }
    void window_created(platform::HWND top, const platform::Rect& client) override;
    void window_destroyed(platform::HWND top) override;
    void window_title_changed(platform::HWND top, std::string_view utf8) override;
    void window_geometry_changed(platform::HWND top, const platform::Rect& client) override;
    void window_shown(platform::HWND top, platform::NativeShow how, bool activate) override;
    void window_enabled(platform::HWND top, bool enabled) override;
    void window_topmost_changed(platform::HWND top, bool topmost) override;
    void window_activated(platform::HWND top) override;
    void present(platform::HWND top, cairo_surface_t* surface,
                 const platform::Rect& dirty) override;
    void set_cursor(platform::HWND top, int cursor_id) override;
    void process_pending() override;
    void wait(int timeout_ms) override;
    void wake() override;
    void set_clipboard_text(std::string_view utf8) override;
    std::string clipboard_text() override;
    bool cursor_position(platform::Point& screen) override;
    platform::Rect work_area() override;
    void message_box_shown(platform::HWND box, int default_id, std::string_view caption,
                           std::string_view text) override;

    platform::GtkBackend& gtk() { return m_gtk; }
    int boxes_answered() const { return m_boxes_answered; }

  private:
    platform::GtkBackend m_gtk;
    int m_boxes_answered = 0;
};

} // namespace bench
