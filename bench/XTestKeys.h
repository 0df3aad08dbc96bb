#pragma once

// Key presses made by the X server itself (the XTest extension), for the
// benchmarks that time a key from the server to the program: the program
// reads them from its own connection exactly as it reads a keyboard's.

#include <cstdint>

typedef struct _XDisplay Display;

namespace bench {

class XTestKeys {
  public:
    // Opens a second connection to $DISPLAY.
    XTestKeys();
    ~XTestKeys();
    XTestKeys(const XTestKeys&) = delete;
    XTestKeys& operator=(const XTestKeys&) = delete;

    // False without a display or without the XTest extension.
    bool ok() const { return m_display != nullptr; }
    // Gives the keyboard focus to an X window and waits for the server.
    void focus(unsigned long window);
    // Presses and releases the key of an X key symbol; the requests are
    // flushed to the server, not waited for.
    bool press(unsigned long keysym);

    static constexpr unsigned long Right = 0xff53;
    static constexpr unsigned long Left = 0xff51;

  private:
    ::Display* m_display = nullptr;
};

} // namespace bench
