#pragma once

#include <cstdlib>
#include <string>

// What a window manager would ask of a window, sent straight to the X
// server (Xvfb runs without a window manager).

namespace test_support {

// Whether there is an X display to talk to at all.
inline bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

// Sends the WM_DELETE_WINDOW request that a window manager's close button
// sends. False when the display cannot be opened.
bool send_delete_request(unsigned long xid);

// Writes what the X server shows of a window into a PNG file; the width and
// height of the picture, or 0 by 0 when it could not be taken.
struct Shot {
    int width = 0;
    int height = 0;
};
Shot save_window_png(unsigned long xid, const std::string& path);

} // namespace test_support
