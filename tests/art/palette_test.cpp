// The palette reduction of the 8-bit pictures: at most 256 colours, the plain colours exact where they were
// drawn and nowhere else (the host and the checks tell black, outlines and lamp windows by their exact value),
// and a picture that fits already left as it is.
//   palette_test
#include "art/kit/palette.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

int failures = 0;

void expect(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
        ++failures;
    }
}

size_t colours(const art::Canvas& c) {
    std::set<uint32_t> seen;
    for (art::Rgb p : c.pixels()) seen.insert(uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b);
    return seen.size();
}

}  // namespace

int main() {
    // A smooth field of far more than 256 colours, with patches of two plain colours and, beside them, colours
    // a single step away from each, which a quantizer would gladly merge into them.
    const art::Rgb outline{14, 14, 15}, black{0, 0, 0};
    art::Canvas c(200, 120);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) c.set(x, y, {uint8_t(x), uint8_t(y * 2), uint8_t((x + y) / 2)});
    c.fill(10, 10, 20, 20, outline);
    c.fill(30, 10, 20, 20, {15, 14, 15});
    c.fill(60, 10, 20, 20, black);
    c.fill(80, 10, 20, 20, {1, 0, 0});
    const art::Canvas drawn = c;
    expect(colours(drawn) > 256, "the test picture has more than 256 colours");

    const std::string error = art::quantize(c, {outline, black});
    expect(error.empty(), "quantize: " + error);
    expect(colours(c) <= 256, "more than 256 colours after quantizing: " + std::to_string(colours(c)));
    int plain_drawn = 0, plain_kept = 0, plain_taken = 0;
    double error_sum = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const art::Rgb before = drawn.at(x, y), after = c.at(x, y);
            const bool plain = before == outline || before == black;
            plain_drawn += plain ? 1 : 0;
            plain_kept += plain && after == before ? 1 : 0;
            plain_taken += !plain && (after == outline || after == black) ? 1 : 0;
            error_sum += std::abs(before.r - after.r) + std::abs(before.g - after.g) + std::abs(before.b - after.b);
        }
    expect(plain_drawn >= 800 && plain_kept == plain_drawn,
           "plain pixels kept exactly: " + std::to_string(plain_kept) + " of " + std::to_string(plain_drawn));
    expect(plain_taken == 0, "pixels not drawn plain that took a plain colour: " + std::to_string(plain_taken));
    expect(error_sum / double(c.pixels().size()) < 12, "the reduced picture strays far from the drawn one");

    art::Canvas few(16, 16, {40, 50, 60});
    few.fill(0, 0, 8, 8, {41, 50, 60});
    const art::Canvas few_drawn = few;
    expect(art::quantize(few, {black}).empty() && few.pixels() == few_drawn.pixels(),
           "a picture of 2 colours is not left as it is");

    if (failures) return 1;
    std::printf("palette_test: plain colours exact and exclusive, %zu colours\n", colours(c));
    return 0;
}
