#include "HeadlessBackend.h"

#include "WindowSystem.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

HeadlessBackend::HeadlessBackend() : m_wake_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HeadlessBackend::~HeadlessBackend() {
    if (m_wake_fd >= 0)
        close(m_wake_fd);
}

void HeadlessBackend::wait(int timeout_ms) {
    pollfd p{m_wake_fd, POLLIN, 0};
    int r;
    do {
        r = poll(&p, 1, timeout_ms);
    } while (r < 0 && errno == EINTR);
    if (r > 0) {
        std::uint64_t count;
        [[maybe_unused]] auto n = read(m_wake_fd, &count, sizeof count);
    }
}

void HeadlessBackend::wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = write(m_wake_fd, &one, sizeof one);
}

bool HeadlessBackend::cursor_position(Point& screen) { return get_cursor_pos(screen); }

bool HeadlessBackend::top_point(HWND hwnd, Point client, HWND& top, Point& top_client) {
    top = get_ancestor_root(hwnd);
    if (!top)
        return false;
    top_client = client;
    map_window_points(hwnd, top, &top_client, 1);
    return true;
}

void HeadlessBackend::mouse_move(HWND hwnd, Point client) {
    HWND top;
    Point p;
    if (top_point(hwnd, client, top, p))
        input::mouse_move(top, p);
}

void HeadlessBackend::mouse_down(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, true);
}

void HeadlessBackend::mouse_up(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, false);
}

void HeadlessBackend::click(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, true);
    input::mouse_button(top, p, button, false);
}

void HeadlessBackend::wheel(HWND hwnd, Point client, int delta) {
    HWND top;
    Point p;
    if (top_point(hwnd, client, top, p))
        input::mouse_wheel(top, p, delta);
}

void HeadlessBackend::press_key(UINT vk, std::uint32_t typed_char) {
    input::key(vk, true, typed_char);
    input::key(vk, false);
}

void HeadlessBackend::type_text(std::string_view utf8) { input::text(utf8); }

int HeadlessBackend::pump() {
    int count = 0;
    Msg msg;
    while (peek_message(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the caller's loop.
            post_quit_message(static_cast<int>(msg.wParam));
            break;
        }
        translate_message(msg);
        dispatch_message(msg);
        ++count;
    }
    return count;
}

} // namespace platform
