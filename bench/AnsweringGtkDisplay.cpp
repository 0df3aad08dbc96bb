#include "AnsweringGtkDisplay.h"

#include <platform/window/Input.h>
#include <platform/window/Styles.h>

namespace bench {

bool AnsweringGtkDisplay::open(std::string& error) {
    static int argc = 1;
    static char name[] = "armctl-bench";
    static char* args[] = {name, nullptr};
    static char** argv = args;
    return platform::GtkBackend::open_display(&argc, &argv, error);
}

void AnsweringGtkDisplay::window_created(platform::HWND top, const platform::Rect& client) {
    m_gtk.window_created(top, client);
}
void AnsweringGtkDisplay::window_destroyed(platform::HWND top) {
    m_gtk.window_destroyed(top);
}
void AnsweringGtkDisplay::window_title_changed(platform::HWND top, std::string_view utf8) {
    m_gtk.window_title_changed(top, utf8);
}
void AnsweringGtkDisplay::window_geometry_changed(platform::HWND top,
                                                  const platform::Rect& client) {
    m_gtk.window_geometry_changed(top, client);
}
void AnsweringGtkDisplay::window_shown(platform::HWND top, platform::NativeShow how,
                                       bool activate) {
    m_gtk.window_shown(top, how, activate);
}
void AnsweringGtkDisplay::window_enabled(platform::HWND top, bool enabled) {
    m_gtk.window_enabled(top, enabled);
}
void AnsweringGtkDisplay::window_topmost_changed(platform::HWND top, bool topmost) {
    m_gtk.window_topmost_changed(top, topmost);
}
void AnsweringGtkDisplay::window_activated(platform::HWND top) {
    m_gtk.window_activated(top);
}
void AnsweringGtkDisplay::present(platform::HWND top, cairo_surface_t* surface,
                                  const platform::Rect& dirty) {
    m_gtk.present(top, surface, dirty);
}
void AnsweringGtkDisplay::set_cursor(platform::HWND top, int cursor_id) {
    m_gtk.set_cursor(top, cursor_id);
}
void AnsweringGtkDisplay::process_pending() {
    m_gtk.process_pending();
}
void AnsweringGtkDisplay::wait(int timeout_ms) {
    m_gtk.wait(timeout_ms);
}
void AnsweringGtkDisplay::wake() {
    m_gtk.wake();
}
void AnsweringGtkDisplay::set_clipboard_text(std::string_view utf8) {
    m_gtk.set_clipboard_text(utf8);
}
std::string AnsweringGtkDisplay::clipboard_text() {
    return m_gtk.clipboard_text();
}
bool AnsweringGtkDisplay::cursor_position(platform::Point& screen) {
    return m_gtk.cursor_position(screen);
}
platform::Rect AnsweringGtkDisplay::work_area() {
    return m_gtk.work_area();
}

void AnsweringGtkDisplay::message_box_shown(platform::HWND, int, std::string_view,
                                            std::string_view) {
    // The box's default button has the focus; the key is queued now and
    // reaches it once the box's own loop runs.
    platform::input::key(platform::VK_RETURN, true);
    platform::input::key(platform::VK_RETURN, false);
    ++m_boxes_answered;
}

} // namespace bench
