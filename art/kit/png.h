// PNG files of pictures (artwork previews, the preview's gauges and contact sheets), written by stb_image_write.
#pragma once

#include <string>

#include "art/kit/canvas.h"

namespace art {

// Writes `c` as a 24-bit PNG. Returns an empty string or the error.
std::string write_png(const std::string& path, const Canvas& c);

}  // namespace art
