#include "GtkSharedPicture.h"

#include <atomic>
#include <cstdint>
#include <gdk/gdk.h>
#include <memory>

#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdkx.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#endif

namespace platform::gtk_shared {

#ifdef GDK_WINDOWING_X11

namespace {

struct Shared {
    Display* display = nullptr;
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
};

const cairo_user_data_key_t k_shared_key{};

// Whether this display shares memory, found out once: -1 not yet asked.
int g_usable = -1;
int g_completion_type = -1;

void release(Shared* shared) {
    if (shared->segment.shmaddr) {
        XShmDetach(shared->display, &shared->segment);
        shmdt(shared->segment.shmaddr);
    }
    if (shared->image) {
        // The pixels are the segment's, not the image's to free.
        shared->image->data = nullptr;
        XDestroyImage(shared->image);
    }
    delete shared;
}

Shared* shared_of(cairo_surface_t* picture) {
    return static_cast<Shared*>(cairo_surface_get_user_data(picture, &k_shared_key));
}

// The pixel layout of Cairo's RGB24 (32-bit words, blue in the low byte)
// must be the window's: a 24-bit TrueColor visual with the usual masks.
bool layout_matches(Display* display) {
    const int screen = DefaultScreen(display);
    const Visual* visual = DefaultVisual(display, screen);
    return DefaultDepth(display, screen) == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF &&
           ImageByteOrder(display) == LSBFirst;
}

} // namespace

cairo_surface_t* create(int width, int height) {
    GdkDisplay* gdk_display = gdk_display_get_default();
    if (g_usable == 0 || !gdk_display || !GDK_IS_X11_DISPLAY(gdk_display))
        return nullptr;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display);
    if (g_usable < 0) {
        g_usable = XShmQueryExtension(display) && layout_matches(display) ? 1 : 0;
        if (g_usable)
            g_completion_type = XShmGetEventBase(display) + ShmCompletion;
    }
    if (!g_usable)
        return nullptr;
    auto shared = std::make_unique<Shared>();
    shared->display = display;
    const int screen = DefaultScreen(display);
    shared->image = XShmCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, nullptr,
                                    &shared->segment, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height));
    if (!shared->image || shared->image->bits_per_pixel != 32 ||
        shared->image->bytes_per_line != cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width)) {
        release(shared.release());
        return nullptr;
    }
    const auto bytes =
        static_cast<std::size_t>(shared->image->bytes_per_line) * static_cast<std::size_t>(height);
    shared->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shared->segment.shmid < 0) {
        release(shared.release());
        return nullptr;
    }
    void* address = shmat(shared->segment.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shared->segment.shmid, IPC_RMID, nullptr);
        release(shared.release());
        return nullptr;
    }
    shared->segment.shmaddr = shared->image->data = static_cast<char*>(address);
    shared->segment.readOnly = True;
    // A server on another machine refuses the segment; the round trip that
    // ends the trap tells.
    gdk_x11_display_error_trap_push(gdk_display);
    XShmAttach(display, &shared->segment);
    const bool attached = gdk_x11_display_error_trap_pop(gdk_display) == 0;
    // Marked for removal now, the segment goes when both sides let go.
    shmctl(shared->segment.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(address);
        shared->segment.shmaddr = nullptr;
        release(shared.release());
        g_usable = 0;
        return nullptr;
    }
    cairo_surface_t* picture = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(address), CAIRO_FORMAT_RGB24, width, height,
        shared->image->bytes_per_line);
    cairo_surface_set_user_data(picture, &k_shared_key, shared.release(),
                                [](void* data) { release(static_cast<Shared*>(data)); });
    return picture;
}

void allow(bool allowed) {
    g_usable = allowed ? -1 : 0;
}

bool is_shared(cairo_surface_t* picture) {
    return picture && shared_of(picture);
}

bool put(cairo_surface_t* picture, unsigned long xid, void* gc, const cairo_region_t* region, int x,
         int y, bool tell_when_read) {
    Shared* shared = picture ? shared_of(picture) : nullptr;
    if (!shared)
        return false;
    cairo_surface_flush(picture);
    const int n = cairo_region_num_rectangles(region);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        XShmPutImage(shared->display, xid, static_cast<GC>(gc), shared->image, r.x, r.y, r.x + x,
                     r.y + y, static_cast<unsigned>(r.width), static_cast<unsigned>(r.height),
                     tell_when_read && i == n - 1);
    }
    return n > 0;
}

int completion_type() {
    return g_completion_type;
}

namespace {

// The marks: one pixel of a pixmap in memory the server writes, filled
// with the number of each mark in turn (24 bits of it).
struct Marks {
    Display* display = nullptr;
    XShmSegmentInfo segment{};
    Pixmap pixmap = 0;
    GC gc = nullptr;
    std::uint32_t last = 0;
};

constexpr std::uint32_t k_mark_bits = 0xFFFFFF;

// Made once, when first asked for; null when the server cannot.
Marks* marks() {
    static Marks* made = []() -> Marks* {
        GdkDisplay* gdk_display = gdk_display_get_default();
        if (!gdk_display || !GDK_IS_X11_DISPLAY(gdk_display))
            return nullptr;
        Display* display = GDK_DISPLAY_XDISPLAY(gdk_display);
        int major = 0;
        int minor = 0;
        Bool pixmaps = False;
        if (!XShmQueryVersion(display, &major, &minor, &pixmaps) || !pixmaps ||
            XShmPixmapFormat(display) != ZPixmap || !layout_matches(display))
            return nullptr;
        auto m = std::make_unique<Marks>();
        m->display = display;
        m->segment.shmid = shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
        if (m->segment.shmid < 0)
            return nullptr;
        void* address = shmat(m->segment.shmid, nullptr, 0);
        shmctl(m->segment.shmid, IPC_RMID, nullptr);
        if (address == reinterpret_cast<void*>(-1))
            return nullptr;
        m->segment.shmaddr = static_cast<char*>(address);
        m->segment.readOnly = False;
        static_cast<std::uint32_t*>(address)[0] = 0;
        gdk_x11_display_error_trap_push(gdk_display);
        XShmAttach(display, &m->segment);
        const Window root = DefaultRootWindow(display);
        m->pixmap =
            XShmCreatePixmap(display, root, m->segment.shmaddr, &m->segment, 1, 1,
                             static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))));
        m->gc = XCreateGC(display, m->pixmap, 0, nullptr);
        if (gdk_x11_display_error_trap_pop(gdk_display) != 0) {
            shmdt(address);
            return nullptr;
        }
        return m.release();
    }();
    return made;
}

} // namespace

bool marks_available() {
    return marks() != nullptr;
}

std::uint32_t send_mark() {
    Marks* m = marks();
    m->last = (m->last + 1) & k_mark_bits;
    if (m->last == 0)
        m->last = 1; // 0 is what the pixel holds before the first mark
    XSetForeground(m->display, m->gc, m->last);
    XFillRectangle(m->display, m->pixmap, m->gc, 0, 0, 1, 1);
    return m->last;
}

bool mark_passed(std::uint32_t mark) {
    Marks* m = marks();
    const auto* pixel = reinterpret_cast<const std::atomic<std::uint32_t>*>(m->segment.shmaddr);
    const std::uint32_t reached = pixel->load(std::memory_order_acquire) & k_mark_bits;
    // Marks count on past 24 bits: the last half of the numbers before the
    // one reached have been passed.
    return reached != 0 && ((reached - mark) & k_mark_bits) < (k_mark_bits + 1) / 2;
}

#else

cairo_surface_t* create(int, int) {
    return nullptr;
}
void allow(bool) {}
bool is_shared(cairo_surface_t*) {
    return false;
}
bool put(cairo_surface_t*, unsigned long, void*, const cairo_region_t*, int, int, bool) {
    return false;
}
int completion_type() {
    return -1;
}
bool marks_available() {
    return false;
}
std::uint32_t send_mark() {
    return 0;
}
bool mark_passed(std::uint32_t) {
    return true;
}

#endif

} // namespace platform::gtk_shared
