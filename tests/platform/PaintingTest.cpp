#include "PlatformTest.h"

#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Font.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <cairo.h>

namespace test_support {

using namespace platform;
namespace {

class Painting : public PlatformTest {};

TEST_F(Painting, InvalidationsMergeIntoOnePaint) {
    HWND top = make_top();
    m_backend.pump();
    recorder().clear();
    recorder().watch(top);
    recorder().ignore(WM_ERASEBKGND);
    Rect a{10, 10, 20, 20}, b{50, 40, 60, 45};
    invalidate_rect(top, &a, false);
    invalidate_rect(top, &b, false);
    Rect u;
    ASSERT_TRUE(get_update_rect(top, u));
    EXPECT_EQ(u, (Rect{10, 10, 60, 45}));
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_PAINT, posted, top}});
    EXPECT_FALSE(get_update_rect(top, u));
}

TEST_F(Painting, ParentsPaintBeforeTheirChildrenAndErasingIsAsked) {
    HWND top = make_top();
    HWND child = make_child(top, {10, 10, 50, 50});
    m_backend.pump();
    recorder().clear();
    invalidate_rect(top, nullptr, true);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_PAINT, posted, top},
                                 {WM_ERASEBKGND, sent, top},
                                 {WM_PAINT, posted, child},
                                 {WM_ERASEBKGND, sent, child}});
}

TEST_F(Painting, PaintComesAfterPostedMessages) {
    HWND top = make_top();
    m_backend.pump();
    recorder().clear();
    recorder().ignore(WM_ERASEBKGND);
    invalidate_rect(top, nullptr, false);
    post_message(top, WM_USER);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_USER, posted}, {WM_PAINT, posted}});
}

TEST_F(Painting, HiddenWindowsAreNotPainted) {
    HWND top = make_top(WS_OVERLAPPEDWINDOW);
    invalidate_rect(top, nullptr, true);
    recorder().clear();
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty());
}

// The window system skips looking for windows to paint while nothing has
// changed since it last found none; each way a window comes back to need
// painting must still bring its paint.
TEST_F(Painting, WindowsThatComeBackAreStillPainted) {
    HWND top = make_top();
    HWND child = make_child(top, {10, 10, 60, 60});
    m_backend.pump();
    recorder().ignore(WM_ERASEBKGND);
    recorder().watch(child);
    recorder().watch(top);

    // Hidden, invalidated while hidden, shown again.
    show_window(child, SW_HIDE);
    m_backend.pump();
    invalidate_rect(child, nullptr, false);
    recorder().clear();
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty());
    recorder().ignore({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED});
    show_window(child, SW_SHOW);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_PAINT, posted, child}});

    // Minimized, invalidated meanwhile (nothing is painted), restored: a
    // restored window is not invalidated anew.
    show_window(top, SW_MINIMIZE);
    m_backend.pump();
    invalidate_rect(top, nullptr, false);
    recorder().clear();
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty());
    show_window(top, SW_RESTORE);
    m_backend.pump();
    bool painted = false;
    for (const Recorded& r : recorder().log())
        painted = painted || (r.hwnd == top && r.message == WM_PAINT);
    EXPECT_TRUE(painted);
}

// A copy of a window's picture, to compare with a later one.
std::vector<std::uint32_t> picture_of(HWND top) {
    cairo_surface_t* s = window_surface(top);
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s);
    const int h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) + y * stride);
        pixels.insert(pixels.end(), row, row + w);
    }
    return pixels;
}

// A scroll bar whose thumb moves repaints where the thumb was and is, not
// the rest of the track, the arrows, the border nor the client area, and
// presents that alone; a thumb that stays on its pixels repaints nothing.
// What shows is what a repaint of the whole window would show. A new range
// repaints all of the frame.
TEST_F(Painting, AThumbMovedAlonePaintsAndPresentsWhereItWasAndIs) {
    HWND top = make_top();
    HWND child =
        make_child(top, {10, 10, 210, 160}, 1, WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL);
    ScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 999;
    info.nPage = 100;
    set_scroll_info(child, SB_VERT, info);
    set_scroll_info(child, SB_HORZ, info);
    m_backend.pump();
    Rect client;
    get_client_rect(child, client);
    // The vertical bar, less its two arrows (each as long as the bar is wide).
    const std::int64_t track =
        static_cast<std::int64_t>(ScrollBarSize) * (client.height() - 2 * ScrollBarSize);
    struct Step {
        int pos;
        bool thumb_moves;
    };
    for (Step step : {Step{30, true}, Step{50, true}, Step{51, false}, Step{20, true}}) {
        const std::int64_t before = m_backend.presented_pixels();
        info.fMask = SIF_POS;
        info.nPos = step.pos;
        set_scroll_info(child, SB_VERT, info);
        m_backend.pump();
        const std::int64_t presented = m_backend.presented_pixels() - before;
        if (step.thumb_moves) {
            EXPECT_GT(presented, 0) << "at " << step.pos;
            EXPECT_LT(presented, track / 2) << "at " << step.pos;
        } else {
            EXPECT_EQ(presented, 0) << "at " << step.pos;
        }
        const std::vector<std::uint32_t> shown = picture_of(top);
        redraw_window(child);
        m_backend.pump();
        EXPECT_TRUE(shown == picture_of(top)) << "at " << step.pos;
    }
    const std::int64_t before = m_backend.presented_pixels();
    info.fMask = SIF_RANGE;
    info.nMax = 499;
    set_scroll_info(child, SB_VERT, info);
    m_backend.pump();
    EXPECT_EQ(m_backend.presented_pixels() - before,
              200 * 150 - static_cast<std::int64_t>(client.width()) * client.height());
}

std::uint32_t pixel(cairo_surface_t* s, int x, int y);

// Counts pixels darker than mid-grey inside r of an RGB24 picture.
int count_dark(cairo_surface_t* s, Rect r) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            auto px = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
            int lum = ((px >> 16) & 0xFF) + ((px >> 8) & 0xFF) + (px & 0xFF);
            dark += lum < 3 * 128;
        }
    return dark;
}

LRESULT text_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PaintStruct ps;
        Canvas* c = begin_paint(hwnd, ps);
        Rect r{4, 4, 300, 40};
        // "端口：Close" in GBK.
        c->set_bk_mode(BkMode::Transparent);
        c->draw_text("\xB6\xCB\xBF\xDA\xA3\xBA"
                     "Close",
                     r, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
        end_paint(hwnd, ps);
        return 0;
    }
    return def_window_proc(hwnd, msg, wp, lp);
}

TEST_F(Painting, TextIsInkedInTheHeadlessPicture) {
    WindowClass cls;
    cls.name = "TextProbe";
    cls.proc = text_proc;
    cls.background = 0xFFFFFF;
    ASSERT_TRUE(register_class(cls));
    HWND top =
        create_window_ex(0, "TextProbe", "t", WS_POPUP | WS_VISIBLE, 0, 0, 320, 60, nullptr, 0);
    m_backend.pump();
    cairo_surface_t* s = window_surface(top);
    ASSERT_NE(s, nullptr);
    // The two Chinese characters and the colon take the first ~40 pixels,
    // "Close" the next ~35; each part must carry ink.
    EXPECT_GT(count_dark(s, {4, 4, 40, 40}), 20) << "Chinese glyphs drawn";
    EXPECT_GT(count_dark(s, {44, 4, 100, 40}), 20) << "Latin glyphs drawn";
    EXPECT_EQ(count_dark(s, {200, 4, 300, 40}), 0) << "nothing beyond the text";
    std::string path = ::testing::TempDir() + "text_probe.png";
    EXPECT_TRUE(save_window_png(top, path.c_str()));
    unregister_class("TextProbe");
}

TEST_F(Painting, TheSavedPictureIsTheClientAreaOfTheWindow) {
    // 640 x 400 outside, less the frame of a sizable captioned window.
    HWND top = make_top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 640, 400});
    m_backend.pump();
    std::string path = ::testing::TempDir() + "client_area.png";
    ASSERT_TRUE(save_window_png(top, path.c_str()));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 632);
    EXPECT_EQ(cairo_image_surface_get_height(png), 369);
    cairo_surface_destroy(png);
    std::remove(path.c_str());
}

// What a paint of the region probe saw, and whether it inks black (white
// otherwise).
struct RegionProbe {
    bool black = false;
    std::vector<Rect> parts;
    bool first_visible = false;
    bool between_visible = false;
    bool second_visible = false;
};
RegionProbe g_region;

LRESULT region_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PaintStruct ps;
        Canvas* c = begin_paint(hwnd, ps);
        g_region.parts = ps.parts;
        g_region.first_visible = c->rect_visible({15, 15, 16, 16});
        g_region.between_visible = c->rect_visible({60, 40, 190, 140});
        g_region.second_visible = c->rect_visible({190, 140, 205, 155});
        c->fill_rect({0, 0, 300, 200}, g_region.black ? 0 : 0xFFFFFF);
        end_paint(hwnd, ps);
        return 0;
    }
    return def_window_proc(hwnd, msg, wp, lp);
}

TEST_F(Painting, APaintOfTwoDistantPartsRenewsAndPresentsOnlyThem) {
    WindowClass cls;
    cls.name = "RegionProbe";
    cls.proc = region_proc;
    ASSERT_TRUE(register_class(cls));
    HWND top =
        create_window_ex(0, "RegionProbe", "r", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, 0);
    g_region = {};
    m_backend.pump();
    ASSERT_EQ(g_region.parts.size(), 1u);
    EXPECT_EQ(g_region.parts[0], (Rect{0, 0, 300, 200}));

    g_region.black = true;
    Rect a{10, 10, 30, 30}, b{200, 150, 220, 170};
    invalidate_rect(top, &a, false);
    invalidate_rect(top, &b, false);
    int presents = m_backend.presents();
    m_backend.pump();
    EXPECT_EQ(g_region.parts, (std::vector<Rect>{a, b}));
    EXPECT_EQ(m_backend.presents() - presents, 2) << "each part, not the box around both";
    EXPECT_TRUE(g_region.first_visible);
    EXPECT_FALSE(g_region.between_visible);
    EXPECT_TRUE(g_region.second_visible);
    cairo_surface_t* s = window_surface(top);
    EXPECT_EQ(pixel(s, 20, 20), 0u);
    EXPECT_EQ(pixel(s, 100, 80), 0xFFFFFFu) << "outside the region nothing changed";
    EXPECT_EQ(pixel(s, 210, 160), 0u);
    destroy_window(top);
    unregister_class("RegionProbe");
}

TEST_F(Painting, InvalidGbkDrawsReplacementMarksWithoutCrashing) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 200, 40);
    cairo_t* cr = cairo_create(s);
    {
        Canvas c(cr, nullptr);
        c.fill_rect({0, 0, 200, 40}, 0xFFFFFF);
        Rect r{0, 0, 200, 40};
        c.draw_text(std::string_view("ab\xFF\x81", 4), r, DT_SINGLELINE);
        c.draw_text(std::string_view("\xB6", 1), r, DT_SINGLELINE); // a cut double-byte character
    }
    EXPECT_GT(count_dark(s, {0, 0, 200, 40}), 10);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

// A window of 10-pixel bands under a fixed black heading band; the bands
// shown start at `g_first_band`, as if scrolled.
int g_first_band = 0;
std::vector<Rect> g_painted;

LRESULT bands_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT)
        return def_window_proc(hwnd, msg, wp, lp);
    PaintStruct ps;
    Canvas* c = begin_paint(hwnd, ps);
    g_painted.push_back(ps.paint);
    Rect client;
    get_client_rect(hwnd, client);
    c->fill_rect({0, 0, client.right, 10}, 0x000000);
    for (int y = 10, band = g_first_band; y < client.bottom; y += 10, ++band)
        c->fill_rect({0, y, client.right, y + 10},
                     rgb(band * 37 % 256, band * 91 % 256, band * 53 % 256));
    end_paint(hwnd, ps);
    return 0;
}

class Scrolling : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WindowClass cls;
        cls.name = "Bands";
        cls.proc = bands_proc;
        ASSERT_TRUE(register_class(cls));
        m_top = make_top();
        m_bands =
            create_window_ex(0, "Bands", "", WS_CHILD | WS_VISIBLE, 20, 20, 100, 100, m_top, 1);
        g_first_band = 0;
        m_backend.pump();
        g_painted.clear();
    }
    void TearDown() override {
        destroy_window(m_top);
        unregister_class("Bands");
        PlatformTest::TearDown();
    }
    // The band window's pixels after painting what is due.
    std::vector<std::uint32_t> pixels() {
        m_backend.pump();
        Point o{0, 0};
        map_window_points(m_bands, m_top, &o, 1);
        cairo_surface_t* s = window_surface(m_top);
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        std::vector<std::uint32_t> out;
        for (int y = o.y; y < o.y + 100; ++y)
            for (int x = o.x; x < o.x + 100; ++x)
                out.push_back(*reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4));
        return out;
    }
    // What a paint of the whole window gives.
    std::vector<std::uint32_t> full_paint() {
        invalidate_rect(m_bands, nullptr, false);
        return pixels();
    }
    void scroll_bands_by(int bands) {
        g_first_band += bands;
        scroll_window(m_bands, 0, -10 * bands, &m_area);
    }

    HWND m_top = nullptr;
    HWND m_bands = nullptr;
    Rect m_area{0, 10, 100, 100}; // below the heading
};

TEST_F(Scrolling, MovesThePictureAndPaintsOnlyWhatComesIntoView) {
    Rect due;
    scroll_bands_by(3);
    ASSERT_TRUE(get_update_rect(m_bands, due));
    EXPECT_EQ(due, (Rect{0, 70, 100, 100}));
    std::vector<std::uint32_t> scrolled = pixels();
    EXPECT_EQ(g_painted, (std::vector<Rect>{{0, 70, 100, 100}}));
    EXPECT_EQ(scrolled, full_paint());

    scroll_bands_by(-2);
    ASSERT_TRUE(get_update_rect(m_bands, due));
    EXPECT_EQ(due, (Rect{0, 10, 100, 30}));
    scrolled = pixels();
    EXPECT_EQ(scrolled, full_paint());

    // More than the area holds: nothing can be moved, all of it is painted.
    scroll_bands_by(12);
    ASSERT_TRUE(get_update_rect(m_bands, due));
    EXPECT_EQ(due, m_area);
    scrolled = pixels();
    EXPECT_EQ(scrolled, full_paint());
}

TEST_F(Scrolling, APendingUpdateMovesWithThePicture) {
    Rect stale{0, 50, 100, 60};
    invalidate_rect(m_bands, &stale, false);
    scroll_bands_by(1);
    Rect due;
    ASSERT_TRUE(get_update_rect(m_bands, due));
    EXPECT_EQ(due, (Rect{0, 40, 100, 100})) << "the moved band and the new bottom one";
    std::vector<std::uint32_t> scrolled = pixels();
    EXPECT_EQ(scrolled, full_paint());
}

TEST_F(Scrolling, AnOverlappingSiblingMakesItPaintEverything) {
    HWND over = make_child(m_top, {60, 60, 90, 90}, 2);
    m_backend.pump();
    scroll_bands_by(1);
    Rect due;
    ASSERT_TRUE(get_update_rect(m_bands, due));
    EXPECT_EQ(due, m_area);
    destroy_window(over);
}

TEST_F(Painting, MeasuringUsesTheFontSize) {
    LogFont big = default_gui_log_font();
    big.height = -24;
    HFONT f = create_font_indirect(big);
    Size small_size = measure_text(default_gui_font(), "Close");
    Size big_size = measure_text(f, "Close");
    EXPECT_GT(small_size.cx, 0);
    EXPECT_GT(big_size.cx, small_size.cx * 3 / 2);
    EXPECT_GT(big_size.cy, small_size.cy);
    delete_font(f);
}

} // namespace
} // namespace test_support

namespace test_support {

using namespace platform;
namespace {

// A 2 x 2 bitmap, bottom-up: the first stored row is the bottom one.
std::vector<std::uint8_t> tiny_dib(int bits, bool top_down) {
    int bytes = bits / 8;
    int stride = ((2 * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> d(40 + 2 * stride, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 2);
    put32(8, top_down ? static_cast<std::uint32_t>(-2) : 2u);
    d[12] = 1;
    d[14] = static_cast<std::uint8_t>(bits);
    // Stored first row: red, green; second: blue, white (as blue, green, red bytes).
    const std::uint8_t px[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            d[40 + (i / 2) * stride + (i % 2) * bytes + c] = px[i][c];
    return d;
}

std::uint32_t pixel(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

TEST(Bitmap, DeviceIndependentBitmapsBecomeSurfaces) {
    for (int bits : {24, 32}) {
        HBITMAP b = bitmap_from_dib(tiny_dib(bits, false).data(), tiny_dib(bits, false).size());
        ASSERT_NE(b, nullptr) << bits;
        EXPECT_EQ(pixel(b, 0, 1), 0xFF0000u) << "bottom-up: the first stored row is the bottom one";
        EXPECT_EQ(pixel(b, 1, 1), 0x00FF00u);
        EXPECT_EQ(pixel(b, 0, 0), 0x0000FFu);
        delete_bitmap(b);
    }
    auto top_down = tiny_dib(24, true);
    HBITMAP t = bitmap_from_dib(top_down.data(), top_down.size());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(pixel(t, 0, 0), 0xFF0000u);
    delete_bitmap(t);
}

TEST(Bitmap, ACanvasDrawsIntoANewBitmapWithinItsClips) {
    EXPECT_EQ(create_bitmap(0, 3), nullptr);
    EXPECT_EQ(create_bitmap(4, -1), nullptr);
    EXPECT_EQ(bitmap_canvas(nullptr), nullptr);
    HBITMAP b = create_bitmap(4, 3);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(bitmap_width(b), 4);
    EXPECT_EQ(bitmap_height(b), 3);
    {
        std::unique_ptr<Canvas> c = bitmap_canvas(b);
        ASSERT_NE(c, nullptr);
        c->push_clip({0, 0, 2, 3});
        EXPECT_TRUE(c->rect_visible({1, 1, 3, 2}));
        EXPECT_FALSE(c->rect_visible({2, 0, 4, 3}));
        c->fill_rect({0, 0, 4, 3}, rgb(0xFF, 0, 0));
        c->pop_clip();
        c->fill_rect({3, 2, 4, 3}, rgb(0, 0xFF, 0));
    }
    EXPECT_EQ(pixel(b, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(b, 1, 2), 0xFF0000u);
    EXPECT_EQ(pixel(b, 2, 0), 0u) << "outside the clip the bitmap stays black";
    EXPECT_EQ(pixel(b, 3, 2), 0x00FF00u) << "the clip ended with pop_clip";
    delete_bitmap(b);
}

TEST(Bitmap, MalformedBitmapsAreRefused) {
    auto d = tiny_dib(24, false);
    for (std::size_t cut = 0; cut < d.size(); ++cut)
        EXPECT_EQ(bitmap_from_dib(d.data(), cut), nullptr) << "cut at " << cut;
    auto wrong_bits = d;
    wrong_bits[14] = 8;
    EXPECT_EQ(bitmap_from_dib(wrong_bits.data(), wrong_bits.size()), nullptr);
    auto huge = d;
    huge[6] = 0x7F; // width far beyond any picture
    EXPECT_EQ(bitmap_from_dib(huge.data(), huge.size()), nullptr);
    EXPECT_EQ(bitmap_from_dib(nullptr, 100), nullptr);
}

TEST(Fonts, AMissingFaceFallsBackToOneWithTheGlyphs) {
    LogFont lf = default_gui_log_font();
    std::strcpy(lf.face_name, "NoSuchFaceAnywhere");
    HFONT f = create_font_indirect(lf);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 80, 30);
    cairo_t* cr = cairo_create(s);
    {
        Canvas c(cr, nullptr);
        c.fill_rect({0, 0, 80, 30}, 0xFFFFFF);
        c.set_font(f);
        Rect r{0, 0, 80, 30};
        c.draw_text("\xBB\xFA\xD0\xB5", r, DT_SINGLELINE); // 机械
    }
    EXPECT_GT(count_dark(s, {0, 0, 40, 30}), 20);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    delete_font(f);
}

} // namespace
} // namespace test_support
