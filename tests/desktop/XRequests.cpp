#include "XRequests.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

namespace test_support {

bool send_delete_request(unsigned long xid) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, xid, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return true;
}

Shot save_window_png(unsigned long xid, const std::string& path) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    Shot shot;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, xid, &attributes) && attributes.depth == 24) {
        XImage* image = XGetImage(display, xid, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        // A 24-bit visual on Xvfb keeps its pixels as 32-bit words with the
        // low byte blue: Cairo's RGB24 exactly.
        if (image && image->bits_per_pixel == 32) {
            cairo_surface_t* surface = cairo_image_surface_create_for_data(
                reinterpret_cast<unsigned char*>(image->data), CAIRO_FORMAT_RGB24, image->width,
                image->height, image->bytes_per_line);
            if (cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS)
                shot = {image->width, image->height};
            cairo_surface_destroy(surface);
        }
        if (image)
            XDestroyImage(image);
    }
    XCloseDisplay(display);
    return shot;
}

} // namespace test_support
