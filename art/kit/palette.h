// Reduction of a drawn picture to a 256-entry palette, for the 8-bit bitmaps, with libimagequant.
#pragma once

#include <string>
#include <vector>

#include "art/kit/canvas.h"

namespace art {

// Reduces `c` to at most 256 colours, dithered where the picture shades smoothly. The `plain` colours are
// exact: every pixel drawn in one of them keeps it, and no other pixel takes it (the host and the checks tell a
// plain colour by its exact value: black left undrawn, an outline, a lamp window). A picture that already fits
// is left as it is. Returns an empty string or the error.
std::string quantize(Canvas& c, const std::vector<Rgb>& plain);

}  // namespace art
