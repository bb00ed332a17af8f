// A true-colour canvas and the few drawing operations the panel artwork needs. No anti-aliasing: every colour
// drawn is one of a small set, so the 8-bit pictures fit a 256-entry palette without any dithering.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

constexpr Rgb kBlack{0, 0, 0};   // the black pictures and the empty parts of the overlays
constexpr Rgb kWindow{1, 1, 1};  // plain colour of the tape windows and their companions

// Scales a colour's channels by `f` (clamped), for shades of one base colour.
inline Rgb shade(Rgb c, double f) {
    auto ch = [f](uint8_t v) {
        double x = std::round(v * f);
        return static_cast<uint8_t>(x < 0 ? 0 : x > 255 ? 255 : x);
    };
    return {ch(c.r), ch(c.g), ch(c.b)};
}

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = kBlack) : w_(width), h_(height), px_(size_t(width) * height, fill) {}

    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Rgb at(int x, int y) const { return px_[size_t(y) * w_ + x]; }
    void set(int x, int y, Rgb c) {
        if (inside(x, y)) px_[size_t(y) * w_ + x] = c;
    }

    // Axis-aligned rectangles: [x, x + w) x [y, y + h).
    void fill(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j, c);
    }
    void frame(int x, int y, int w, int h, Rgb c, int thickness = 1) {
        fill(x, y, w, thickness, c);
        fill(x, y + h - thickness, w, thickness, c);
        fill(x, y, thickness, h, c);
        fill(x + w - thickness, y, thickness, h, c);
    }

    // Paints every pixel of the box whose centre passes `test`; `paint` picks the colour from the pixel centre.
    void paint(int x, int y, int w, int h, const std::function<bool(double, double)>& test,
               const std::function<Rgb(double, double)>& colour) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                double cx = i + 0.5, cy = j + 0.5;
                if (test(cx, cy)) set(i, j, colour(cx, cy));
            }
    }

    // A filled disc of radius r about (cx, cy), pixel centres within r.
    void disc(double cx, double cy, double r, Rgb c) {
        paint(
            int(cx - r) - 1, int(cy - r) - 1, int(2 * r) + 3, int(2 * r) + 3,
            [=](double px, double py) { return std::hypot(px - cx, py - cy) <= r; }, [c](double, double) { return c; });
    }

    // A thick straight stroke from (x0, y0) to (x1, y1): pixel centres within half the width of the segment.
    void stroke(double x0, double y0, double x1, double y1, double width, Rgb c) {
        double half = width / 2;
        int left = int(std::floor(std::min(x0, x1) - half)) - 1, top = int(std::floor(std::min(y0, y1) - half)) - 1;
        int right = int(std::ceil(std::max(x0, x1) + half)) + 1, bottom = int(std::ceil(std::max(y0, y1) + half)) + 1;
        double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        paint(
            left, top, right - left, bottom - top,
            [=](double px, double py) {
                double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
                t = t < 0 ? 0 : t > 1 ? 1 : t;
                return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= half;
            },
            [c](double, double) { return c; });
    }

    // A filled triangle with corners a, b, c (pixel centres inside or on the edges).
    void triangle(double ax, double ay, double bx, double by, double cx, double cy, Rgb colour) {
        auto edge = [](double x0, double y0, double x1, double y1, double px, double py) {
            return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
        };
        int left = int(std::floor(std::min({ax, bx, cx}))), top = int(std::floor(std::min({ay, by, cy})));
        int right = int(std::ceil(std::max({ax, bx, cx}))), bottom = int(std::ceil(std::max({ay, by, cy})));
        paint(
            left, top, right - left + 1, bottom - top + 1,
            [=](double px, double py) {
                double e0 = edge(ax, ay, bx, by, px, py), e1 = edge(bx, by, cx, cy, px, py),
                       e2 = edge(cx, cy, ax, ay, px, py);
                return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
            },
            [colour](double, double) { return colour; });
    }

    // Copies another canvas in with its top-left corner at (x, y).
    void blit(const Canvas& src, int x, int y) {
        for (int j = 0; j < src.height(); ++j)
            for (int i = 0; i < src.width(); ++i) set(x + i, y + j, src.at(i, j));
    }

    const std::vector<Rgb>& pixels() const { return px_; }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

}  // namespace art
