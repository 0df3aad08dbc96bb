#include "XRequests.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <cstddef>
#include <cstring>

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

cairo_surface_t* window_picture(unsigned long xid) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    cairo_surface_t* picture = nullptr;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, xid, &attributes) && attributes.depth == 24) {
        XImage* image = XGetImage(display, xid, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        // A 24-bit visual on Xvfb keeps its pixels as 32-bit words with the
        // low byte blue: Cairo's RGB24 exactly.
        if (image && image->bits_per_pixel == 32) {
            picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width, image->height);
            cairo_surface_flush(picture);
            unsigned char* to = cairo_image_surface_get_data(picture);
            const int stride = cairo_image_surface_get_stride(picture);
            for (int y = 0; y < image->height; ++y)
                std::memcpy(to + static_cast<std::ptrdiff_t>(y) * stride,
                            image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line,
                            static_cast<std::size_t>(image->width) * 4);
            cairo_surface_mark_dirty(picture);
        }
        if (image)
            XDestroyImage(image);
    }
    XCloseDisplay(display);
    return picture;
}

Shot save_window_png(unsigned long xid, const std::string& path) {
    cairo_surface_t* picture = window_picture(xid);
    if (!picture)
        return {};
    Shot shot;
    if (cairo_surface_write_to_png(picture, path.c_str()) == CAIRO_STATUS_SUCCESS)
        shot = {cairo_image_surface_get_width(picture), cairo_image_surface_get_height(picture)};
    cairo_surface_destroy(picture);
    return shot;
}

} // namespace test_support
