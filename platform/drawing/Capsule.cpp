#include "Capsule.h"

#include "Pixels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace platform::capsule {

namespace {

// How far past the edge a pixel's centre may lie with the pixel still
// touched, and how far inside it for the pixel to be covered whole: half a
// pixel's diagonal.
constexpr double k_half_diagonal = 0.70711;

struct Line {
    double x0, y0;
    double ux, uy; // along the line, of length 1
    double length;
    double radius;
    double inverse_ux, inverse_uy; // 1 / ux and -1 / uy, where they are not 0
    double a, b;                   // the straight sides' normal, larger part first
};

// Where the row of pixel centres at height y meets the points within r of
// the line: empty when left > right.
struct Span {
    double left = HUGE_VAL;
    double right = -HUGE_VAL;
    void add(double l, double r) {
        left = std::min(left, l);
        right = std::max(right, r);
    }
    bool empty() const { return left > right; }
};

Span within(const Line& l, double y, double r) {
    Span s;
    // The outline is convex, so what each of its three pieces meets of the
    // row joins into one span.
    for (double end : {0.0, l.length}) {
        const double cx = l.x0 + end * l.ux;
        const double cy = l.y0 + end * l.uy;
        const double h = r * r - (y - cy) * (y - cy);
        if (h >= 0) {
            const double w = std::sqrt(h);
            s.add(cx - w, cx + w);
        }
    }
    // The straight part: along the line within [0, length], across it
    // within [-r, r]; both bound t = x - x0.
    const double e = y - l.y0;
    double lo = -HUGE_VAL;
    double hi = HUGE_VAL;
    auto bound = [&](double c, double inverse, double k, double from, double to) {
        // from <= c * t + k <= to
        if (std::abs(c) < 1e-12) {
            if (k < from || k > to)
                hi = -HUGE_VAL;
            return;
        }
        double a = (from - k) * inverse;
        double b = (to - k) * inverse;
        if (a > b)
            std::swap(a, b);
        lo = std::max(lo, a);
        hi = std::min(hi, b);
    };
    bound(l.ux, l.inverse_ux, l.uy * e, 0, l.length);
    bound(-l.uy, l.inverse_uy, l.ux * e, -r, r);
    if (lo <= hi)
        s.add(l.x0 + lo, l.x0 + hi);
    return s;
}

// A unit square's area on the inner side of a line at distance s from its
// centre (positive: the centre inside), the line's normal (a, b) with
// a >= b >= 0: the square's width along the normal rises over b, stays 1/a
// across, and falls over b.
double inside_of(double s, double a, double b) {
    const double outer = (a + b) / 2;
    const double inner = (a - b) / 2;
    if (s <= -outer)
        return 0;
    if (s >= outer)
        return 1;
    if (s < -inner) {
        const double u = s + outer;
        return u * u / (2 * a * b);
    }
    if (s > inner) {
        const double u = outer - s;
        return 1 - u * u / (2 * a * b);
    }
    return 0.5 + s / a;
}

// What the shape covers of the pixel centred at (px, py). Beside the
// straight part, what lies between its two sides, exactly; at the round
// ends, the part inside the tangent nearest to the centre.
double coverage(const Line& l, double px, double py) {
    const double along = l.ux * (px - l.x0) + l.uy * (py - l.y0);
    if (along > 0 && along < l.length) {
        const double across = std::abs(-l.uy * (px - l.x0) + l.ux * (py - l.y0));
        return inside_of(l.radius - across, l.a, l.b) -
               (1 - inside_of(l.radius + across, l.a, l.b));
    }
    const double t = std::clamp(along, 0.0, l.length);
    const double nx = px - (l.x0 + t * l.ux);
    const double ny = py - (l.y0 + t * l.uy);
    const double d = std::sqrt(nx * nx + ny * ny);
    if (d < 1e-9)
        return std::clamp(0.5 + l.radius, 0.0, 1.0);
    const double a = std::max(std::abs(nx), std::abs(ny)) / d;
    const double b = std::min(std::abs(nx), std::abs(ny)) / d;
    return inside_of(l.radius - d, a, b);
}

} // namespace

bool fill(cairo_surface_t* picture, std::span<const Rect> clip, double x0, double y0, double x1,
          double y1, double radius, std::uint32_t rgb) {
    if (!pixels::writable(picture) || !std::isfinite(x0) || !std::isfinite(y0) ||
        !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(radius) || radius <= 0)
        return false;

    Line l{x0, y0, 1, 0, std::hypot(x1 - x0, y1 - y0), radius, 1, 0, 1, 0};
    if (l.length > 0) {
        l.ux = (x1 - x0) / l.length;
        l.uy = (y1 - y0) / l.length;
    }
    l.inverse_ux = l.ux != 0 ? 1 / l.ux : 0;
    l.inverse_uy = l.uy != 0 ? -1 / l.uy : 0;
    l.a = std::max(std::abs(l.ux), std::abs(l.uy));
    l.b = std::min(std::abs(l.ux), std::abs(l.uy));
    const double reach = radius + k_half_diagonal;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - reach));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - reach));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + reach));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + reach));

    cairo_surface_flush(picture);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const std::uint32_t colour = 0xFF000000u | rgb;
    int touched_left = width;
    int touched_top = height;
    int touched_right = 0;
    int touched_bottom = 0;
    for (const Rect& c : clip) {
        const int cl = std::max({c.left, left, 0});
        const int ct = std::max({c.top, top, 0});
        const int cr = std::min({c.right, right, width});
        const int cb = std::min({c.bottom, bottom, height});
        for (int y = ct; y < cb; ++y) {
            const double cy = y + 0.5;
            const Span edge = within(l, cy, reach);
            if (edge.empty())
                continue;
            const int first = std::max(cl, static_cast<int>(std::ceil(edge.left - 0.5)));
            const int last = std::min(cr - 1, static_cast<int>(std::floor(edge.right - 0.5)));
            if (first > last)
                continue;
            // Pixels whose centres lie half a diagonal inside are covered
            // whole.
            int whole_first = last + 1;
            int whole_last = last;
            if (radius > k_half_diagonal) {
                const Span whole = within(l, cy, radius - k_half_diagonal);
                if (!whole.empty()) {
                    whole_first = std::max(first, static_cast<int>(std::ceil(whole.left - 0.5)));
                    whole_last = std::min(last, static_cast<int>(std::floor(whole.right - 0.5)));
                    if (whole_first > whole_last) {
                        whole_first = last + 1;
                        whole_last = last;
                    }
                }
            }
            auto* row =
                reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            auto blend = [&](int from, int to) {
                for (int x = from; x <= to; ++x) {
                    const auto cover =
                        static_cast<std::uint32_t>(255 * coverage(l, x + 0.5, cy) + 0.5);
                    if (cover >= 255)
                        row[x] = colour;
                    else if (cover > 0)
                        row[x] = pixels::over(row[x], rgb, cover);
                }
            };
            blend(first, whole_first - 1);
            pixels::store(row + whole_first, whole_last + 1 - whole_first, colour);
            blend(whole_last + 1, last);
            touched_left = std::min(touched_left, first);
            touched_right = std::max(touched_right, last + 1);
            touched_top = std::min(touched_top, y);
            touched_bottom = std::max(touched_bottom, y + 1);
        }
    }
    if (touched_left < touched_right && touched_top < touched_bottom)
        cairo_surface_mark_dirty_rectangle(picture, touched_left, touched_top,
                                           touched_right - touched_left,
                                           touched_bottom - touched_top);
    return true;
}

} // namespace platform::capsule
