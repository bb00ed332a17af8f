// Windows bitmap files (BITMAPFILEHEADER + BITMAPINFOHEADER, uncompressed, bottom-up rows padded to 4 bytes;
// 8-bit with a full 256-entry palette or 24-bit). No library we could use writes 8-bit bitmaps with a palette
// of the host's kind, so this one is ours.
#pragma once

#include <string>

#include "art/kit/canvas.h"

namespace art {

// Writes `c` as an 8-bit or 24-bit bitmap. An 8-bit picture's palette holds its distinct colours in ascending
// order, the unused entries black; more than 256 colours is an error. Returns an empty string or the error.
std::string write_bmp(const std::string& path, const Canvas& c, int depth);

// A bitmap file read back, as the host would see it.
struct BitmapFile {
    int width = 0, height = 0, depth = 0;
    int palette_entries = 0;  // entries stored in the file (8-bit only)
    Canvas pixels{0, 0};
    std::string error;  // empty when the file is a well-formed bitmap of the kind above
};

BitmapFile read_bmp(const std::string& path);

}  // namespace art
