// The panel's lettering: a 5x7 pixel font of capitals, digits and ".", "/", "-", proportionally spaced and drawn
// at an integer scale (2 gives letters 14 px high, the size of the legends on both faces).
#pragma once

#include <string_view>

#include "layout/art/canvas.h"

namespace art {

// Width in pixels of `text` at `scale`, letter gaps included.
int text_width(std::string_view text, int scale);

// Draws `text` with its top-left corner at (x, y); letters are 7 * scale pixels high.
void draw_text(Canvas& c, int x, int y, std::string_view text, int scale, Rgb colour);

// Draws `text` centred on column `cx` (the middle of its width falls on cx), top at row y.
void draw_text_centred(Canvas& c, int cx, int y, std::string_view text, int scale, Rgb colour);

constexpr int kGlyphRows = 7;

}  // namespace art
