// The canvas's shapes drawn into small bitmaps and read back pixel by pixel.

#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>
#include <platform/window/Painting.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

using namespace platform;

namespace {

constexpr COLORREF White = rgb(0xFF, 0xFF, 0xFF);
constexpr COLORREF Red = rgb(0xFF, 0, 0);
constexpr COLORREF Blue = rgb(0, 0, 0xFF);

// A white bitmap that `draw` paints on.
class Picture {
  public:
    template <typename Draw> Picture(int width, int height, Draw draw) {
        m_bitmap = create_bitmap(width, height);
        std::unique_ptr<Canvas> c = bitmap_canvas(m_bitmap);
        c->fill_rect({0, 0, width, height}, White);
        draw(*c);
    }
    ~Picture() { delete_bitmap(m_bitmap); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HBITMAP bitmap() const { return m_bitmap; }
    // The pixel as a colour value.
    COLORREF at(int x, int y) const {
        cairo_surface_flush(m_bitmap);
        auto* row =
            cairo_image_surface_get_data(m_bitmap) + y * cairo_image_surface_get_stride(m_bitmap);
        std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
        return rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    HBITMAP m_bitmap = nullptr;
};

// How far apart two pictures of the same size are: the largest difference
// of a channel over all their pixels.
int worst_difference(const Picture& a, const Picture& b, int width, int height) {
    int worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF p = a.at(x, y);
            const COLORREF q = b.at(x, y);
            worst = std::max({worst, std::abs(get_r(p) - get_r(q)), std::abs(get_g(p) - get_g(q)),
                              std::abs(get_b(p) - get_b(q))});
        }
    return worst;
}

// Whether two colours differ by at most `tolerance` in every channel, as an
// anti-aliased curve's pixels may.
bool near(COLORREF a, COLORREF b, int tolerance = 12) {
    return std::abs(get_r(a) - get_r(b)) <= tolerance &&
           std::abs(get_g(a) - get_g(b)) <= tolerance && std::abs(get_b(a) - get_b(b)) <= tolerance;
}

// How far apart a shape traced through Cairo (`trace`, on a context moved
// to (3, 2)) and the same shape drawn by a canvas whose origin is moved
// there (`draw`) are, both over a red band and inside a clip.
template <typename Trace, typename Draw> int traced_against_drawn(Trace trace, Draw draw) {
    auto ground = [](Canvas& c) {
        c.fill_rect({0, 16, 48, 30}, Red);
        c.push_clip({1, 1, 44, 46});
    };
    Picture traced(48, 48, [&](Canvas& c) {
        ground(c);
        cairo_t* cr = c.cairo();
        cairo_save(cr);
        cairo_translate(cr, 3, 2);
        trace(c, cr);
        cairo_restore(cr);
    });
    Picture drawn(48, 48, [&](Canvas& c) {
        ground(c);
        c.offset_origin(3, 2);
        draw(c);
    });
    return worst_difference(traced, drawn, 48, 48);
}

} // namespace

TEST(CanvasShapes, RoundedRectanglesKeepTheirCornersAndTheirOutlinesInside) {
    Picture fill(20, 16, [](Canvas& c) { c.fill_round_rect({2, 2, 18, 14}, 4, Red); });
    EXPECT_EQ(fill.at(10, 5), Red);
    EXPECT_EQ(fill.at(2, 7), Red) << "the middle of a side reaches the edge";
    EXPECT_EQ(fill.at(2, 2), White) << "a corner is cut off";
    EXPECT_EQ(fill.at(1, 6), White);

    // A radius beyond half the shorter side rounds the ends fully and
    // still fills the middle.
    Picture pill(20, 12, [](Canvas& c) { c.fill_round_rect({2, 2, 18, 10}, 100, Red); });
    EXPECT_EQ(pill.at(10, 2), Red);
    EXPECT_EQ(pill.at(4, 6), Red);
    EXPECT_EQ(pill.at(2, 2), White);
    EXPECT_TRUE(near(pill.at(2, 6), Red, 40)) << "the end is a half circle";

    Picture frame(20, 12, [](Canvas& c) { c.frame_round_rect({2, 2, 18, 10}, 2, Red); });
    EXPECT_EQ(frame.at(10, 2), Red) << "a one-pixel outline lies on the rectangle's edge";
    EXPECT_EQ(frame.at(17, 6), Red);
    EXPECT_EQ(frame.at(10, 1), White);
    EXPECT_EQ(frame.at(18, 6), White);
    EXPECT_EQ(frame.at(10, 5), White) << "an outline leaves the inside alone";

    Picture both(20, 16, [](Canvas& c) { c.draw_round_rect({2, 2, 18, 14}, 3, Blue, Red); });
    EXPECT_EQ(both.at(10, 2), Red);
    EXPECT_EQ(both.at(2, 7), Red);
    EXPECT_EQ(both.at(10, 3), Blue) << "the fill meets the edge without a gap";
    EXPECT_EQ(both.at(10, 6), Blue);
    EXPECT_EQ(both.at(10, 14), White);
}

TEST(CanvasShapes, AFilledAndOutlinedEllipseHasItsEdgeOnItsBox) {
    Picture p(16, 16, [](Canvas& c) { c.draw_ellipse({1, 1, 14, 14}, Blue, Red); });
    EXPECT_EQ(p.at(7, 7), Blue);
    EXPECT_TRUE(near(p.at(7, 1), Red));
    EXPECT_TRUE(near(p.at(1, 7), Red));
    EXPECT_TRUE(near(p.at(13, 7), Red));
    EXPECT_EQ(p.at(7, 14), White);
    EXPECT_EQ(p.at(1, 1), White) << "the box's corners are outside the ellipse";
    Picture none(8, 8, [](Canvas& c) { c.draw_ellipse({2, 2, 3, 6}, Blue, Red); });
    EXPECT_EQ(none.at(2, 4), White) << "a box a pixel wide has no room for an edge and a fill";
}

TEST(CanvasShapes, PolylinesEndAsTheyAreTold) {
    const PointF line[] = {{4, 5.5}, {14, 5.5}};
    Picture butt(20, 11, [&](Canvas& c) { c.draw_polyline(line, 2, Red, 3); });
    Picture round(20, 11, [&](Canvas& c) {
        c.draw_polyline(line, 2, Red, 3, LineCap::Round, LineJoin::Round);
    });
    EXPECT_EQ(butt.at(9, 5), Red);
    EXPECT_EQ(butt.at(3, 5), White) << "a butt end stops at the point";
    EXPECT_NE(round.at(3, 5), White) << "a round end goes half the width past it";
    EXPECT_EQ(round.at(9, 4), Red);

    Picture single(20, 11, [&](Canvas& c) { c.draw_polyline(line, 1, Red, 3); });
    EXPECT_EQ(single.at(4, 5), White) << "one point is no line";

    // A right angle: a mitred join fills the outer corner, a round one does not.
    const PointF corner[] = {{4, 14}, {14, 14}, {14, 4}};
    Picture mitre(20, 20, [&](Canvas& c) { c.draw_polyline(corner, 3, Red, 4); });
    Picture rounded(20, 20, [&](Canvas& c) {
        c.draw_polyline(corner, 3, Red, 4, LineCap::Butt, LineJoin::Round);
    });
    EXPECT_EQ(mitre.at(15, 15), Red);
    EXPECT_NE(rounded.at(15, 15), Red);
}

TEST(CanvasShapes, FractionalPolygonsAndTicksStayInTheirPlace) {
    const PointF triangle[] = {{2, 2}, {12, 2}, {2, 12}};
    Picture p(14, 14, [&](Canvas& c) { c.fill_polygon(triangle, 3, Blue); });
    EXPECT_EQ(p.at(3, 3), Blue);
    EXPECT_EQ(p.at(11, 11), White);
    Picture two(14, 14, [&](Canvas& c) { c.fill_polygon(triangle, 2, Blue); });
    EXPECT_EQ(two.at(3, 3), White) << "two points enclose nothing";

    Picture tick(20, 20, [](Canvas& c) { c.draw_check_mark(3, 4, Red); });
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (tick.at(x, y) != White) {
                ++inked;
                EXPECT_TRUE(x >= 3 && x < 16 && y >= 4 && y < 17) << x << "," << y;
            }
    EXPECT_GT(inked, 10);
}

TEST(CanvasShapes, AGradientRunsFromItsTopColourToItsBottomColour) {
    Picture p(4, 40, [](Canvas& c) {
        c.fill_gradient({0, 0, 4, 40}, rgb(0, 0, 0), rgb(200, 100, 0));
        c.fill_gradient({0, 0, 4, 0}, Red, Red);
    });
    EXPECT_LE(get_r(p.at(0, 0)), 5);
    EXPECT_GE(get_r(p.at(0, 39)), 195);
    for (int y = 1; y < 40; ++y) {
        EXPECT_GE(get_r(p.at(2, y)), get_r(p.at(2, y - 1))) << y;
        EXPECT_NEAR(get_g(p.at(2, y)), get_r(p.at(2, y)) / 2.0, 1.0)
            << "the channels move together, at row " << y;
    }
    EXPECT_EQ(p.at(3, 20), p.at(0, 20)) << "a vertical gradient is the same across a row";
}

TEST(CanvasShapes, AScaledSurfaceCoversItsScaledBoxAndNoMore) {
    Picture source(2, 2, [](Canvas& c) {
        c.fill_rect({0, 0, 1, 2}, Red);
        c.fill_rect({1, 0, 2, 2}, Blue);
    });
    Picture p(12, 12, [&](Canvas& c) { c.draw_scaled_surface(source.bitmap(), 2, 3, 4, 3); });
    EXPECT_EQ(p.at(2, 3), Red) << "the edge takes the border pixel, not a fade";
    EXPECT_EQ(p.at(9, 8), Blue);
    EXPECT_EQ(p.at(1, 5), White);
    EXPECT_EQ(p.at(10, 5), White);
    EXPECT_EQ(p.at(5, 9), White);
    EXPECT_EQ(p.at(5, 2), White);
}

TEST(CanvasShapes, ABitmapFileReadsBackAsTheSamePicture) {
    EXPECT_TRUE(bitmap_file(nullptr).empty());
    // Three pixels a row: nine bytes padded to twelve.
    Picture p(3, 2, [](Canvas& c) {
        c.fill_rect({0, 0, 1, 1}, Red);
        c.fill_rect({2, 1, 3, 2}, rgb(1, 2, 3));
    });
    std::vector<std::uint8_t> file = bitmap_file(p.bitmap());
    ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[28], 24) << "24 bits a pixel";
    HBITMAP back = bitmap_from_dib(file.data(), file.size());
    ASSERT_NE(back, nullptr);
    Picture copy(3, 2, [&](Canvas& c) { c.draw_surface(back, 0, 0); });
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(copy.at(x, y), p.at(x, y)) << x << "," << y;
    EXPECT_EQ(copy.at(2, 1), rgb(1, 2, 3));
    delete_bitmap(back);
}

// What is visible follows every change of the clip and of the origin, asked
// before and after each: the canvas keeps the clip's rectangles between
// changes.
TEST(CanvasShapes, VisibilityFollowsTheClipThroughEveryChange) {
    HBITMAP b = create_bitmap(100, 100);
    {
        std::unique_ptr<Canvas> c = bitmap_canvas(b);
        ASSERT_NE(c, nullptr);
        const Rect corner{90, 90, 95, 95};
        const Rect near{10, 10, 20, 20};
        EXPECT_TRUE(c->rect_visible(corner));
        c->push_clip({0, 0, 50, 50});
        EXPECT_FALSE(c->rect_visible(corner));
        EXPECT_TRUE(c->rect_visible(near));
        c->offset_origin(40, 40); // the clip now ends at (10, 10)
        EXPECT_FALSE(c->rect_visible(near));
        EXPECT_TRUE(c->rect_visible({5, 5, 12, 12}));
        c->push_clip({0, 0, 5, 5});
        EXPECT_FALSE(c->rect_visible({5, 5, 12, 12}));
        c->pop_clip();
        EXPECT_TRUE(c->rect_visible({5, 5, 12, 12}));
        c->offset_origin(-40, -40);
        EXPECT_TRUE(c->rect_visible(near));
        c->pop_clip();
        EXPECT_TRUE(c->rect_visible(corner));
    }
    delete_bitmap(b);
}

// Small discs come from pictures of their coverage made once per radius and
// quarter-pixel place. Each must land where a disc traced by Cairo lies: the
// same pixels at a quarter-pixel place; anywhere else moved by an eighth of
// a pixel at most, which changes an edge pixel's coverage by a sixth at
// most (along a diagonal edge); on a canvas moved by whole pixels, and
// inside the clip.
TEST(CanvasShapes, DiscsLieWhereATracedDiscLies) {
    struct Case {
        double x, y, radius;
        int tolerance;
    };
    const Case cases[] = {{20, 20, 6, 2},      {20.25, 19.5, 9, 2},     {20.75, 20.25, 2.5, 2},
                          {20.4, 19.9, 7, 50}, {19.62, 20.13, 3.5, 50}, {20.1, 20.6, 16, 50}};
    for (const Case& k : cases) {
        Picture traced(48, 48, [&](Canvas& c) {
            cairo_t* cr = c.cairo();
            cairo_set_source_rgb(cr, 0, 0, 1);
            cairo_set_tolerance(cr, 0.25);
            cairo_arc(cr, k.x + 3, k.y + 2, k.radius, 0, 2 * M_PI);
            cairo_fill(cr);
        });
        Picture once(48, 48, [&](Canvas& c) {
            c.offset_origin(3, 2);
            c.fill_circle(k.x, k.y, k.radius, Blue);
        });
        const int worst = worst_difference(traced, once, 48, 48);
        EXPECT_LE(worst, k.tolerance) << "disc of " << k.radius << " at " << k.x << ", " << k.y;
        EXPECT_EQ(once.at(static_cast<int>(k.x) + 3, static_cast<int>(k.y) + 2), Blue);
    }
    Picture clipped(48, 48, [](Canvas& c) {
        c.push_clip({0, 0, 20, 48});
        c.fill_circle(20, 20, 9, Blue);
        c.pop_clip();
    });
    EXPECT_EQ(clipped.at(15, 20), Blue);
    EXPECT_EQ(clipped.at(25, 20), White) << "the clip holds for discs from pictures";
}

TEST(CanvasShapes, StrokesLieWhereATracedStrokeLies) {
    struct Case {
        double x0, y0, x1, y1, width;
    };
    // Level, upright, steep and shallow, thin and wide, a dot.
    const Case cases[] = {{6, 20, 42, 20, 6},           {20.5, 4, 20.5, 44, 3},
                          {5.3, 7.8, 41.1, 40.6, 14},   {8.25, 39.5, 40.7, 12.2, 9},
                          {30.4, 6.6, 14.2, 43.1, 2},   {24.3, 23.9, 24.3, 23.9, 11},
                          {10.1, 30.2, 37.6, 26.7, 4.5}};
    for (const Case& k : cases) {
        // Over white and over a red band, so that every channel is mixed.
        auto ground = [](Canvas& c) { c.fill_rect({0, 16, 48, 30}, Red); };
        Picture traced(48, 48, [&](Canvas& c) {
            ground(c);
            cairo_t* cr = c.cairo();
            cairo_set_source_rgb(cr, 0, 0, 1);
            cairo_set_tolerance(cr, 0.02);
            cairo_set_line_width(cr, k.width);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_move_to(cr, k.x0 + 3, k.y0 + 2);
            cairo_line_to(cr, k.x1 + 3, k.y1 + 2);
            cairo_stroke(cr);
        });
        Picture drawn(48, 48, [&](Canvas& c) {
            ground(c);
            c.offset_origin(3, 2);
            c.draw_stroke(k.x0, k.y0, k.x1, k.y1, Blue, k.width);
        });
        const int worst = worst_difference(traced, drawn, 48, 48);
        // The straight sides are exact; a round end's pixels are cut by
        // its tangent, up to 7 % of a pixel off at a radius of one.
        EXPECT_LE(worst, k.width > 2 ? 12 : 20) << "stroke of " << k.width << " from " << k.x0
                                                << ", " << k.y0 << " to " << k.x1 << ", " << k.y1;
    }
    // Inside the clip only, and only there: a stroke across two rectangles
    // of an update region leaves the gap between them as it was.
    Picture clipped(48, 48, [](Canvas& c) {
        c.push_clip({0, 0, 20, 48});
        c.draw_stroke(4, 20, 44, 20, Blue, 8);
        c.pop_clip();
    });
    EXPECT_EQ(clipped.at(15, 20), Blue);
    EXPECT_EQ(clipped.at(25, 20), White) << "the clip holds for strokes";
    EXPECT_EQ(clipped.at(15, 25), White) << "nothing past the stroke's width";
}

TEST(CanvasShapes, LevelAndUprightLinesAreWhatCairoStrokes) {
    struct Case {
        int x0, y0, x1, y1;
        double width;
    };
    // Odd and even widths, either way along, a dot, one past the clip.
    const Case cases[] = {{3, 5, 40, 5, 1},   {40, 9, 3, 9, 1},   {7, 2, 7, 30, 1},
                          {12, 30, 12, 4, 3}, {2, 20, 45, 20, 2}, {30, 3, 30, 44, 4},
                          {9, 9, 9, 9, 1},    {0, 40, 60, 40, 1}};
    for (const Case& k : cases) {
        const int worst = traced_against_drawn(
            [&](Canvas&, cairo_t* cr) {
                cairo_set_source_rgb(cr, 0, 0, 1);
                cairo_set_line_width(cr, k.width);
                const double off = static_cast<int>(k.width) % 2 ? 0.5 : 0.0;
                cairo_move_to(cr, k.x0 + off, k.y0 + off);
                cairo_line_to(cr, k.x1 + off, k.y1 + off);
                cairo_stroke(cr);
            },
            [&](Canvas& c) { c.draw_line(k.x0, k.y0, k.x1, k.y1, Blue, k.width); });
        EXPECT_EQ(worst, 0) << "line of " << k.width << " from " << k.x0 << ", " << k.y0 << " to "
                            << k.x1 << ", " << k.y1;
    }
}

// A rounded rectangle (a scroll bar's thumb, a button) is drawn from a
// picture of its coverage, made the first time: the pixels are those of
// Cairo's fill of the same outline (which the canvas leaves to Cairo when
// asked for another anti-aliasing, here one that draws the same), the
// first time and the times after.
TEST(CanvasShapes, RoundedRectanglesAreWhatCairoFills) {
    struct Case {
        Rect r;
        double radius;
    };
    const Case cases[] = {{{3, 4, 15, 44}, 6},
                          {{20, 2, 31, 30}, 5.5},
                          {{5, 20, 45, 33}, 3},
                          {{30, 30, 60, 60}, 8},
                          {{10, 10, 12, 12}, 4}};
    for (const Case& k : cases)
        for (int time = 1; time <= 2; ++time) {
            const int worst = traced_against_drawn(
                [&](Canvas& c, cairo_t* cr) {
                    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
                    c.fill_round_rect(k.r, k.radius, Blue);
                },
                [&](Canvas& c) { c.fill_round_rect(k.r, k.radius, Blue); });
            EXPECT_EQ(worst, 0) << "rectangle at " << k.r.left << ", " << k.r.top << " of radius "
                                << k.radius << ", drawn " << time << " times";
        }
}

// A frame (a grid's current cell) is four boxes in the pixels: the pixels
// of Cairo's own fill between the outer and the inner rectangle.
TEST(CanvasShapes, FramesAreWhatCairoFills) {
    struct Case {
        Rect r;
        int thickness;
    };
    const Case cases[] = {{{3, 4, 40, 20}, 2},   {{5, 5, 6, 30}, 1},   {{10, 12, 16, 18}, 3},
                          {{20, 25, 60, 60}, 1}, {{2, 30, 12, 34}, 2}, {{8, 8, 11, 20}, 2}};
    for (const Case& k : cases) {
        const int worst = traced_against_drawn(
            [&](Canvas&, cairo_t* cr) {
                const int t = k.thickness;
                cairo_rectangle(cr, k.r.left, k.r.top, k.r.width(), k.r.height());
                cairo_rectangle(cr, k.r.left + t, k.r.top + t, k.r.width() - 2 * t,
                                k.r.height() - 2 * t);
                cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                cairo_set_source_rgb(cr, 0, 0, 1);
                cairo_fill(cr);
            },
            [&](Canvas& c) { c.frame_rect(k.r, Blue, k.thickness); });
        EXPECT_EQ(worst, 0) << "frame at " << k.r.left << ", " << k.r.top << " of " << k.thickness;
    }
}
