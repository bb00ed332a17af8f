#include "layout/art/bitmap_file.h"

#include <algorithm>
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
void put32be(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
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

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void png_chunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, uint32_t(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, crc32(body.data(), body.size()));
}

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

namespace {

// Deflate with the fixed Huffman codes and greedy LZ77 matching over a 32 KiB window: enough for pictures made
// of flat areas, with no tables to transmit.
class Deflater {
public:
    explicit Deflater(Bytes& out) : out_(out) {}

    void compress(const Bytes& data) {
        bits(1, 1);  // final block
        bits(1, 2);  // fixed Huffman codes
        std::vector<int32_t> head(kHashSize, -1), previous(data.size(), -1);
        size_t at = 0;
        while (at < data.size()) {
            size_t best_length = 0, best_distance = 0;
            if (at + kMinMatch <= data.size()) {
                const uint32_t h = hash(data, at);
                int chain = kMaxChain;
                for (int32_t candidate = head[h]; candidate >= 0 && chain-- > 0; candidate = previous[candidate]) {
                    const size_t distance = at - size_t(candidate);
                    if (distance > kWindow) break;
                    size_t length = 0;
                    const size_t limit = std::min(kMaxMatch, data.size() - at);
                    while (length < limit && data[size_t(candidate) + length] == data[at + length]) ++length;
                    if (length > best_length) {
                        best_length = length;
                        best_distance = distance;
                        if (length == limit) break;
                    }
                }
            }
            const size_t step = best_length >= kMinMatch ? best_length : 1;
            if (step == 1) {
                literal(data[at]);
            } else {
                match(best_length, best_distance);
            }
            for (size_t end = at + step; at < end; ++at) {
                if (at + kMinMatch > data.size()) continue;
                const uint32_t h = hash(data, at);
                previous[at] = head[h];
                head[h] = int32_t(at);
            }
        }
        symbol(256);  // end of block
        if (count_ > 0) out_.push_back(uint8_t(buffer_));
    }

private:
    static constexpr size_t kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kHashSize = 1 << 15;
    static constexpr int kMaxChain = 32;

    static uint32_t hash(const Bytes& d, size_t at) {
        return ((uint32_t(d[at]) << 10) ^ (uint32_t(d[at + 1]) << 5) ^ d[at + 2]) & (kHashSize - 1);
    }

    // Least significant bit first, as deflate packs its fields.
    void bits(uint32_t value, int count) {
        buffer_ |= value << count_;
        count_ += count;
        while (count_ >= 8) {
            out_.push_back(uint8_t(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }

    // Huffman codes go most significant bit first.
    void code(uint32_t value, int length) {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((value >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }

    void symbol(uint32_t s) {
        if (s < 144) {
            code(0x30 + s, 8);
        } else if (s < 256) {
            code(0x190 + (s - 144), 9);
        } else if (s < 280) {
            code(s - 256, 7);
        } else {
            code(0xC0 + (s - 280), 8);
        }
    }

    void literal(uint8_t v) { symbol(v); }

    void match(size_t length, size_t distance) {
        static constexpr uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static constexpr uint16_t distance_base[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                       33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                       1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static constexpr uint8_t distance_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                       6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        int l = 28;
        while (length_base[l] > length) --l;
        symbol(257 + uint32_t(l));
        bits(uint32_t(length - length_base[l]), length_extra[l]);
        int d = 29;
        while (distance_base[d] > distance) --d;
        code(uint32_t(d), 5);
        bits(uint32_t(distance - distance_base[d]), distance_extra[d]);
    }

    Bytes& out_;
    uint32_t buffer_ = 0;
    int count_ = 0;
};

}  // namespace

std::string write_png(const std::string& path, const Canvas& c) {
    // Each row with the "Sub" filter (the difference to the pixel on its left), which turns flat areas into runs of
    // zeros for the compressor.
    Bytes raw;
    raw.reserve(size_t(c.height()) * (1 + 3 * size_t(c.width())));
    for (int y = 0; y < c.height(); ++y) {
        raw.push_back(1);
        Rgb left{0, 0, 0};
        for (int x = 0; x < c.width(); ++x) {
            const Rgb p = c.at(x, y);
            raw.insert(raw.end(), {uint8_t(p.r - left.r), uint8_t(p.g - left.g), uint8_t(p.b - left.b)});
            left = p;
        }
    }
    Bytes z{0x78, 0x01};
    Deflater(z).compress(raw);
    uint32_t s1 = 1, s2 = 0;
    for (uint8_t v : raw) {
        s1 = (s1 + v) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    put32be(z, s2 << 16 | s1);

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    put32be(ihdr, uint32_t(c.width()));
    put32be(ihdr, uint32_t(c.height()));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB
    png_chunk(out, "IHDR", ihdr);
    png_chunk(out, "IDAT", z);
    png_chunk(out, "IEND", {});
    return save(path, out);
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
