#include "art/kit/palette.h"

#include <libimagequant.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <set>

namespace art {

namespace {

constexpr int kEntries = 256;

uint32_t key(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

int distance(Rgb a, Rgb b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

struct Release {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
    void operator()(liq_image* i) const { liq_image_destroy(i); }
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

}  // namespace

std::string quantize(Canvas& c, const std::vector<Rgb>& plain) {
    std::set<uint32_t> colours;
    for (Rgb p : c.pixels()) colours.insert(key(p));
    if (colours.size() <= kEntries) return {};

    std::vector<uint8_t> rgba;
    rgba.reserve(c.pixels().size() * 4);
    for (Rgb p : c.pixels()) rgba.insert(rgba.end(), {p.r, p.g, p.b, 255});

    std::unique_ptr<liq_attr, Release> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), kEntries) != LIQ_OK || liq_set_speed(attr.get(), 1) != LIQ_OK)
        return "palette: cannot set up the quantizer";
    std::unique_ptr<liq_image, Release> image(liq_image_create_rgba(attr.get(), rgba.data(), c.width(), c.height(), 0));
    if (!image) return "palette: cannot take the picture";
    for (Rgb p : plain)
        if (liq_image_add_fixed_color(image.get(), liq_color{p.r, p.g, p.b, 255}) != LIQ_OK)
            return "palette: too many plain colours";
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) return "palette: quantization failed";
    std::unique_ptr<liq_result, Release> result(raw);
    liq_set_dithering_level(result.get(), 1.0f);
    std::vector<uint8_t> indices(c.pixels().size());
    if (liq_write_remapped_image(result.get(), image.get(), indices.data(), indices.size()) != LIQ_OK)
        return "palette: remapping failed";
    const liq_palette* palette = liq_get_palette(result.get());

    std::vector<Rgb> entries;
    std::vector<bool> is_plain;
    for (unsigned i = 0; i < palette->count; ++i) {
        const Rgb e{palette->entries[i].r, palette->entries[i].g, palette->entries[i].b};
        entries.push_back(e);
        is_plain.push_back(std::find(plain.begin(), plain.end(), e) != plain.end());
    }
    // The nearest entry that is not a plain colour, for pixels the remapping put on one they were not drawn in.
    auto nearest_other = [&](Rgb p) {
        int best = -1, best_distance = std::numeric_limits<int>::max();
        for (size_t i = 0; i < entries.size(); ++i)
            if (!is_plain[i] && distance(p, entries[i]) < best_distance) {
                best = int(i);
                best_distance = distance(p, entries[i]);
            }
        return best < 0 ? p : entries[size_t(best)];
    };
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const Rgb drawn = c.at(x, y);
            if (std::find(plain.begin(), plain.end(), drawn) != plain.end()) continue;
            const size_t entry = indices[size_t(y) * size_t(c.width()) + size_t(x)];
            c.set(x, y, is_plain[entry] ? nearest_other(drawn) : entries[entry]);
        }
    return {};
}

}  // namespace art
