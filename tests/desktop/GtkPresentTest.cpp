// What the X server shows of a window is the picture our window system
// painted, however it got there: changed parts drawn straight onto the
// window, and scrolls that move the pixels on the server, also when parts
// of them were covered.

#include "DesktopProbe.h"
#include "XRequests.h"

#include <platform/gtk/GtkSharedPicture.h>
#include <platform/window/Painting.h>

#include <X11/Xlib.h>
#include <cairo.h>
#include <cstdint>
#include <gdk/gdkx.h>
#include <string>

namespace test_support {

using namespace platform;
namespace {

constexpr const char* RowsClass = "DesktopProbeRows";
constexpr int RowHeight = 12;

// A list of coloured rows that scrolls a row at a time; row n of the list
// always has the same colour, so what is shown names the rows shown.
int g_first_row = 0;
int g_marked_row = -1; // drawn black while set

COLORREF row_colour(int n) {
    if (n == g_marked_row)
        return rgb(0, 0, 0);
    return rgb(40 + n * 37 % 200, 60 + n * 91 % 180, 30 + n * 53 % 210);
}

LRESULT rows_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT)
        return def_window_proc(hwnd, msg, wp, lp);
    PaintStruct ps;
    Canvas* canvas = begin_paint(hwnd, ps);
    Rect client;
    get_client_rect(hwnd, client);
    for (int i = 0; i * RowHeight < client.bottom; ++i)
        canvas->fill_rect({0, i * RowHeight, client.right, (i + 1) * RowHeight},
                          row_colour(g_first_row + i));
    end_paint(hwnd, ps);
    return 0;
}

// With the pictures in memory shared with the server (its own way), and
// without, as on a server on another machine.
class GtkPresentTest : public DesktopProbe, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        gtk_shared::allow(GetParam());
        DesktopProbe::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        g_first_row = 0;
        g_marked_row = -1;
        WindowClass cls;
        cls.name = RowsClass;
        cls.proc = rows_proc;
        ASSERT_TRUE(register_class(cls));
        m_rows = create_window_ex(0, RowsClass, "rows", WS_CHILD | WS_VISIBLE, 20, 120, 240,
                                  10 * RowHeight, m_top, 3);
        ASSERT_TRUE(m_rows);
        settle();
    }
    void TearDown() override {
        DesktopProbe::TearDown();
        unregister_class(RowsClass);
        gtk_shared::allow(true);
    }

    // The list moves up by `rows` rows, as a list view scrolls.
    void scroll_rows(int rows) {
        g_first_row += rows;
        scroll_window(m_rows, 0, -rows * RowHeight, nullptr);
    }

    // The first pixel (x, y in the top-level window's client area) where the
    // server shows something else than our picture, or "" when none.
    std::string first_difference() {
        cairo_surface_t* ours = window_surface(m_top);
        cairo_surface_t* shown = window_picture(m_backend->native_window_id(m_top));
        if (!ours || !shown)
            return "no picture";
        cairo_surface_flush(ours);
        const int width = cairo_image_surface_get_width(ours);
        const int height = cairo_image_surface_get_height(ours);
        std::string found;
        if (cairo_image_surface_get_width(shown) < width ||
            cairo_image_surface_get_height(shown) < height)
            found = "the shown window is smaller";
        for (int y = 0; found.empty() && y < height; ++y) {
            const auto* a = reinterpret_cast<const std::uint32_t*>(
                cairo_image_surface_get_data(ours) + y * cairo_image_surface_get_stride(ours));
            const auto* b = reinterpret_cast<const std::uint32_t*>(
                cairo_image_surface_get_data(shown) + y * cairo_image_surface_get_stride(shown));
            for (int x = 0; x < width; ++x)
                if ((a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF)) {
                    found = std::to_string(x) + ", " + std::to_string(y);
                    break;
                }
        }
        cairo_surface_destroy(shown);
        return found;
    }

    // The colour our picture has at a point of the rows window.
    COLORREF ours_at(int x, int y) {
        Point p{x, y};
        client_to_screen(m_rows, p);
        Point o{0, 0};
        client_to_screen(m_top, o);
        cairo_surface_t* ours = window_surface(m_top);
        cairo_surface_flush(ours);
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(ours) +
            (p.y - o.y) * cairo_image_surface_get_stride(ours));
        const std::uint32_t v = row[p.x - o.x];
        return rgb(static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
                   static_cast<int>(v & 0xFF));
    }

    HWND m_rows = nullptr;
};

TEST_P(GtkPresentTest, ScrolledRowsShowOnTheServerAsInOurPicture) {
    ASSERT_EQ(first_difference(), "") << "before any scroll";
    for (int step = 0; step < 12; ++step) {
        // A row changed and painted but not yet shown moves with the scroll:
        // the server must show it where it went.
        // The mark leaves the row it was on (still in view after one
        // scroll, if not after two) and comes to the fifth row in view.
        for (int at : {g_marked_row - g_first_row, 4}) {
            Rect row{0, at * RowHeight, 240, (at + 1) * RowHeight};
            invalidate_rect(m_rows, &row, false);
        }
        g_marked_row = g_first_row + 4;
        update_window(m_rows);
        // Two times in three the row has gone out to the server, which may
        // not have read it when the pixels move.
        if (step % 3 != 0)
            m_backend->wait(std::chrono::microseconds(0));
        scroll_rows(step % 2 == 0 ? 1 : 2);
        update_window(m_rows);
        // Checked at every step: a wrong row would soon scroll out of view.
        settle();
        // The picture itself is right, so that the comparison means something.
        ASSERT_EQ(ours_at(5, 5), row_colour(g_first_row));
        ASSERT_EQ(ours_at(5, 4 * RowHeight + 5), row_colour(g_first_row + 4));
        ASSERT_EQ(first_difference(), "") << "after step " << step;
    }
}

// Xvfb shares memory with its clients: the pictures live there, and a
// change goes to the window without a copy on our side.
TEST_P(GtkPresentTest, PicturesAreInMemorySharedWithTheServerWhereAllowed) {
    EXPECT_EQ(gtk_shared::is_shared(window_surface(m_top)), GetParam());
}

TEST_P(GtkPresentTest, RowsMovedOutFromUnderAnotherWindowAreShownAgain) {
    // A window's first move sends all it moved once more anyway; the one
    // that counts here is a later one.
    scroll_rows(1);
    update_window(m_rows);
    settle();
    // A window of ours over the lower half of the rows: the X server keeps
    // nothing of what is under it.
    Point corner{0, 5 * RowHeight};
    client_to_screen(m_rows, corner);
    HWND cover = create_window_ex(0, RowsClass, "cover", WS_POPUP | WS_VISIBLE, corner.x, corner.y,
                                  240, 5 * RowHeight, nullptr, 0);
    ASSERT_TRUE(cover);
    settle();
    scroll_rows(3);
    update_window(m_rows);
    settle();
    destroy_window(cover);
    EXPECT_TRUE(settle_until([&] { return first_difference().empty(); }))
        << "first difference at " << first_difference();
}

// Nothing covers the window and all of it is on the screen: the server
// moves its pixels and reads its puts without a word back (each word would
// wake the program), and what it shows is still our picture.
TEST_P(GtkPresentTest, AWindowNothingCoversScrollsWithNoWordBackFromTheServer) {
    // The first move of a window is followed by a put of all it moved.
    scroll_rows(1);
    update_window(m_rows);
    settle();
    const int reports = m_backend->server_reports();
    for (int step = 0; step < 6; ++step) {
        Rect row{0, 4 * RowHeight, 240, 5 * RowHeight};
        invalidate_rect(m_rows, &row, false);
        g_marked_row = g_first_row + 4;
        update_window(m_rows);
        m_backend->wait(std::chrono::microseconds(0));
        scroll_rows(1);
        update_window(m_rows);
        settle();
        ASSERT_EQ(first_difference(), "") << "after step " << step;
    }
    if (gtk_shared::marks_available() || !GetParam()) {
        EXPECT_EQ(m_backend->server_reports(), reports);
    }
}

// A mark is set by the server once it has carried out what came before it,
// and not while it is still on its way.
TEST(GtkSharedMarks, AMarkIsSetOnceTheServerCarriedOutWhatCameBefore) {
    std::string error;
    int argc = 0;
    char** argv = nullptr;
    if (!GtkBackend::open_display(&argc, &argv, error))
        GTEST_SKIP() << error;
    if (!gtk_shared::marks_available())
        GTEST_SKIP() << "the server shares no pixmaps";
    Display* display = gdk_x11_get_default_xdisplay();
    for (int round = 0; round < 3; ++round) {
        const std::uint32_t mark = gtk_shared::send_mark();
        EXPECT_FALSE(gtk_shared::mark_passed(mark)) << "still in our buffer";
        XSync(display, False);
        EXPECT_TRUE(gtk_shared::mark_passed(mark));
        EXPECT_TRUE(gtk_shared::mark_passed(mark - 1)) << "an earlier mark";
        EXPECT_FALSE(gtk_shared::mark_passed(mark + 1)) << "a later one";
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, GtkPresentTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Shared" : "Plain";
                         });

} // namespace
} // namespace test_support
