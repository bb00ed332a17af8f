// The colours of the drawn pictures: every picture of 10,000 pixels or more that is not plain by design uses at
// least 100 colours of its palette (8-bit) or 256 colours (24-bit), so shading, bevels and anti-aliased edges
// survive into the bitmaps the host shows. Prints each picture's count.
//   artcolours <art folder>   (korst/XXXX.bmp and brevane/XXXX.bmp, as artgen wrote them)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "art/kit/bitmap_file.h"

namespace {

constexpr size_t kLargePicture = 10000, kLeast8Bit = 100, kLeast24Bit = 256;

struct Module {
    const char* folder;
    std::set<int> plain;  // one colour over the whole picture, by design
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artcolours <art folder>\n");
        return 2;
    }
    const Module modules[] = {{"korst", {0x1055, 0x1060, 0x2111, 0x2121}},
                              {"brevane", {0x1060, 0x1100, 0x2111, 0x2121}}};
    int failures = 0, checked = 0;
    for (const Module& m : modules) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(argv[1]) / m.folder))
            if (entry.path().extension() == ".bmp") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::fprintf(stderr, "FAIL: no bitmaps in %s\n", m.folder);
            ++failures;
        }
        for (const auto& file : files) {
            const art::BitmapFile f = art::read_bmp(file.string());
            const std::string name = std::string(m.folder) + "/" + file.filename().string();
            if (!f.error.empty()) {
                std::fprintf(stderr, "FAIL: %s\n", f.error.c_str());
                ++failures;
                continue;
            }
            std::set<uint32_t> colours;
            for (art::Rgb p : f.pixels.pixels()) colours.insert(uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b);
            const size_t pixels = size_t(f.width) * size_t(f.height);
            const int id = std::stoi(file.stem().string(), nullptr, 16);
            const bool plain = m.plain.count(id) != 0;
            const size_t least = f.depth == 8 ? kLeast8Bit : kLeast24Bit;
            std::printf("%-16s %4d x %-4d %2d-bit %7zu colours%s\n", name.c_str(), f.width, f.height, f.depth,
                        colours.size(), plain ? " (plain)" : "");
            if (plain && colours.size() != 1) {
                std::fprintf(stderr, "FAIL: %s should be plain, has %zu colours\n", name.c_str(), colours.size());
                ++failures;
            }
            if (!plain && pixels >= kLargePicture) {
                ++checked;
                if (colours.size() < least) {
                    std::fprintf(stderr, "FAIL: %s uses %zu colours, fewer than %zu\n", name.c_str(), colours.size(),
                                 least);
                    ++failures;
                }
            }
        }
    }
    if (failures) {
        std::fprintf(stderr, "artcolours: %d failure(s)\n", failures);
        return 1;
    }
    std::printf("artcolours: %d large pictures shaded\n", checked);
    return 0;
}
