#include "art/kit/bitmap_file.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace art {

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
uint32_t get16(const Bytes& b, size_t at) { return b[at] | uint32_t(b[at + 1]) << 8; }
uint32_t get32(const Bytes& b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

std::string save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out.good() ? std::string() : "cannot write " + path;
}

constexpr uint32_t kFileHeaderSize = 14, kInfoHeaderSize = 40, kPaletteEntries = 256;

int row_stride(int width, int depth) { return (width * depth / 8 + 3) / 4 * 4; }

}  // namespace

std::string write_bmp(const std::string& path, const Canvas& c, int depth) {
    if (depth != 8 && depth != 24) return "unsupported depth";
    std::map<uint32_t, uint8_t> index;  // 0xRRGGBB -> palette entry
    if (depth == 8) {
        for (Rgb p : c.pixels()) index.emplace(uint32_t(p.r) << 16 | p.g << 8 | p.b, 0);
        if (index.size() > kPaletteEntries)
            return path + ": " + std::to_string(index.size()) + " colours do not fit an 8-bit palette";
        uint8_t next = 0;
        for (auto& [colour, entry] : index) entry = next++;
    }
    const int stride = row_stride(c.width(), depth);
    const uint32_t palette_bytes = depth == 8 ? kPaletteEntries * 4 : 0;
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + palette_bytes;
    const uint32_t image_bytes = uint32_t(stride) * c.height();

    Bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + image_bytes);
    put32(b, 0);
    put32(b, offset);
    put32(b, kInfoHeaderSize);
    put32(b, uint32_t(c.width()));
    put32(b, uint32_t(c.height()));  // positive: bottom-up rows
    put16(b, 1);
    put16(b, uint32_t(depth));
    put32(b, 0);  // uncompressed
    put32(b, image_bytes);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, depth == 8 ? kPaletteEntries : 0);
    put32(b, 0);
    if (depth == 8) {
        std::array<uint32_t, kPaletteEntries> palette{};
        for (auto& [colour, entry] : index) palette[entry] = colour;
        for (uint32_t colour : palette) put32(b, colour);  // stored as B, G, R, 0
    }
    for (int y = c.height() - 1; y >= 0; --y) {
        size_t row_start = b.size();
        for (int x = 0; x < c.width(); ++x) {
            Rgb p = c.at(x, y);
            if (depth == 8) {
                b.push_back(index.at(uint32_t(p.r) << 16 | p.g << 8 | p.b));
            } else {
                b.push_back(p.b);
                b.push_back(p.g);
                b.push_back(p.r);
            }
        }
        b.resize(row_start + size_t(stride), 0);
    }
    return save(path, b);
}

BitmapFile read_bmp(const std::string& path) {
    BitmapFile f;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        f.error = "cannot read " + path;
        return f;
    }
    Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto fail = [&](const std::string& why) {
        f.error = path + ": " + why;
        return f;
    };
    if (b.size() < kFileHeaderSize + kInfoHeaderSize || b[0] != 'B' || b[1] != 'M') return fail("not a bitmap");
    if (get32(b, 2) != b.size()) return fail("file size field does not match");
    if (get32(b, 14) != kInfoHeaderSize) return fail("not a BITMAPINFOHEADER");
    int32_t width = int32_t(get32(b, 18)), height = int32_t(get32(b, 22));
    f.depth = int(get16(b, 28));
    if (width <= 0 || height <= 0) return fail("not a bottom-up bitmap of positive size");
    if (get16(b, 26) != 1 || get32(b, 30) != 0) return fail("planes must be 1 and the rows uncompressed");
    if (f.depth != 8 && f.depth != 24) return fail("depth is neither 8 nor 24");
    f.width = width;
    f.height = height;
    uint32_t used = get32(b, 46);
    f.palette_entries = f.depth == 8 ? int(used == 0 ? kPaletteEntries : used) : 0;
    const uint32_t offset = get32(b, 10);
    const int stride = row_stride(width, f.depth);
    if (offset != kFileHeaderSize + kInfoHeaderSize + uint32_t(f.palette_entries) * 4)
        return fail("pixel data does not follow the palette");
    if (b.size() != offset + size_t(stride) * size_t(height)) return fail("pixel data size is wrong");
    f.pixels = Canvas(width, height);
    for (int y = 0; y < height; ++y) {
        size_t row = offset + size_t(height - 1 - y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            if (f.depth == 24) {
                size_t at = row + size_t(x) * 3;
                f.pixels.set(x, y, {b[at + 2], b[at + 1], b[at]});
            } else {
                uint8_t entry = b[row + size_t(x)];
                if (entry >= f.palette_entries) return fail("pixel refers past the palette");
                size_t at = kFileHeaderSize + kInfoHeaderSize + size_t(entry) * 4;
                f.pixels.set(x, y, {b[at + 2], b[at + 1], b[at]});
            }
        }
    }
    return f;
}

}  // namespace art
