#pragma once

#include <cstdlib>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

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
// What the X server shows of a window as a Cairo RGB24 picture (the caller
// destroys it); null when it could not be taken.
cairo_surface_t* window_picture(unsigned long xid);

} // namespace test_support
