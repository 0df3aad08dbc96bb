#include "XTestKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace bench {

XTestKeys::XTestKeys() {
    m_display = XOpenDisplay(nullptr);
    if (!m_display)
        return;
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_display, &event_base, &error_base, &major, &minor)) {
        XCloseDisplay(m_display);
        m_display = nullptr;
    }
}

XTestKeys::~XTestKeys() {
    if (m_display)
        XCloseDisplay(m_display);
}

void XTestKeys::focus(unsigned long window) {
    if (!m_display)
        return;
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

bool XTestKeys::press(unsigned long keysym) {
    if (!m_display)
        return false;
    const KeyCode code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XFlush(m_display);
    return true;
}

} // namespace bench
