#pragma once

// The application object of a program: the platform's entry drives it the
// way the windowing framework drives its application class. The entry calls
// the instance-initialisation hook; when that returns false the exit hook
// runs at once, otherwise the run loop runs until WM_QUIT and the exit hook
// after it. The loop's pieces (the single-message pump step, the idle-message
// test, the pre-translation chain and the idle hook) are public so that a
// runtime can build its own loop from them.

#include "Types.h"

namespace platform {

class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application object constructed last, or null.
    static Application* current();

    // The platform's entry: returns the process's exit code.
    int win_main();

    virtual bool init_instance() { return false; }
    // Returns the exit code; by default the WM_QUIT code the loop received.
    virtual int exit_instance() { return m_exit_code; }
    // Idle processing while no message waits; true asks for more idle time.
    virtual bool on_idle(long count);
    // The default run loop: idle processing, then pump until WM_QUIT.
    virtual int run();

    // Retrieves one message (waiting for it), pre-translates it and, unless a
    // translator took it, translates and dispatches it. False on WM_QUIT.
    bool pump_message();
    // False for messages that must not restart idle processing: a mouse move
    // to where the mouse already was, paint and caret-blink timer messages.
    virtual bool is_idle_message(const Msg& msg);
    // The pre-translation chain: a thread message goes to the thread-message
    // filter; a window message to each window from its target up the parent
    // chain (ending after the main window). True when a link took it.
    virtual bool pre_translate_message(Msg& msg);

    const Msg& current_message() const { return m_message; }
    HWND main_window() const { return m_main_window; }
    void set_main_window(HWND hwnd) { m_main_window = hwnd; }

  protected:
    virtual bool filter_thread_message(Msg&) { return false; }
    // One link of the window chain.
    virtual bool pre_translate_for_window(HWND, Msg&) { return false; }

  private:
    Msg m_message;
    Point m_last_mouse_point{-1, -1};
    UINT m_last_mouse_message = 0;
    HWND m_main_window = nullptr;
    int m_exit_code = 0;
};

} // namespace platform
