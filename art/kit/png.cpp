#include "art/kit/png.h"

#include <vector>

// The library is a single header; this file holds its code. Its own warnings are not ours to mend.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wconversion"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace art {

std::string write_png(const std::string& path, const Canvas& c) {
    if (c.width() <= 0 || c.height() <= 0) return path + ": empty picture";
    std::vector<unsigned char> rgb;
    rgb.reserve(c.pixels().size() * 3);
    for (Rgb p : c.pixels()) rgb.insert(rgb.end(), {p.r, p.g, p.b});
    if (stbi_write_png(path.c_str(), c.width(), c.height(), 3, rgb.data(), c.width() * 3) == 0)
        return "cannot write " + path;
    return {};
}

}  // namespace art
