// A true-colour picture as the build tools hand it around: the artwork generator draws into one, the bitmap and
// PNG writers take one, the preview reads the host's drawing back into one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

constexpr Rgb kBlack{0, 0, 0};   // the black pictures and the empty parts of the overlays
constexpr Rgb kWindow{1, 1, 1};  // plain colour of the tape windows and their companions

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

    // An axis-aligned rectangle [x, x + w) x [y, y + h) in one colour.
    void fill(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j, c);
    }

    // The part [x, x + w) x [y, y + h) as a picture of its own.
    Canvas crop(int x, int y, int w, int h) const {
        Canvas part(w, h);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (inside(x + i, y + j)) part.set(i, j, at(x + i, y + j));
        return part;
    }

    const std::vector<Rgb>& pixels() const { return px_; }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

}  // namespace art
