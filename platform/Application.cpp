#include "Application.h"

#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

namespace platform {

namespace {

Application* g_current = nullptr;

constexpr UINT WM_SYSTIMER = 0x0118; // the caret's blink

} // namespace

Application::Application() {
    g_current = this;
}

Application::~Application() {
    if (g_current == this)
        g_current = nullptr;
}

Application* Application::current() {
    return g_current;
}

int Application::win_main() {
    if (!init_instance())
        return exit_instance();
    return run();
}

bool Application::on_idle(long) {
    return false;
}

int Application::run() {
    long idle_count = 0;
    bool idle = true;
    for (;;) {
        Msg waiting;
        while (idle && !peek_message(waiting)) {
            if (!on_idle(idle_count++))
                idle = false;
        }
        do {
            if (!pump_message())
                return exit_instance();
            if (is_idle_message(m_message)) {
                idle = true;
                idle_count = 0;
            }
        } while (peek_message(waiting));
    }
}

bool Application::pump_message() {
    if (!get_message(m_message)) {
        m_exit_code = static_cast<int>(m_message.wParam);
        return false;
    }
    if (!pre_translate_message(m_message)) {
        translate_message(m_message);
        dispatch_message(m_message);
    }
    return true;
}

bool Application::is_idle_message(const Msg& msg) {
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (msg.pt == m_last_mouse_point && msg.message == m_last_mouse_message)
            return false;
        m_last_mouse_point = msg.pt;
        m_last_mouse_message = msg.message;
        return true;
    }
    return msg.message != WM_PAINT && msg.message != WM_SYSTIMER;
}

bool Application::pre_translate_message(Msg& msg) {
    if (!msg.hwnd)
        return filter_thread_message(msg);
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = get_parent(hwnd)) {
        if (pre_translate_for_window(hwnd, msg))
            return true;
        if (hwnd == m_main_window)
            break;
    }
    return false;
}

} // namespace platform
