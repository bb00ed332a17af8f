// The annunciator bezel, the ground-speed face and its two tapes.
//
// Tape geometry. The host shows a tape through its window at the offset the marker callback returns:
// - Fore-aft: window row r shows tape row offset + r, with offset = 135 + 8.1 f (f knots, forward positive).
//   The pointer is window row 89 of 178 (face row 40 + 89 = 129), marked on the face by arrows at both sides of
//   the window. At f = 0 that row shows tape row 135 + 89 = 224, so the zero mark lies on row 224 and the mark
//   for f on row 224 + 8.1 f: 10 aft on row 143 (top), 50 forward on row 629 (bottom).
// - Lateral: window column c shows tape column offset + c, with offset = 217 - 8.1 l (l knots, right positive).
//   The pointer is window column 89 of 178 (face column 331 + 89 = 420), marked by arrows above and below the
//   window. The zero mark lies on column 217 + 89 = 306 and the mark for l on column 306 - 8.1 l: 20 right on
//   column 144 (left end), 20 left on column 468 (right end), so the scale reads 20, 10, 0, 10, 20.
// Marks every 5 knots lie 40.5 px apart. The 10-knot marks fall on whole pixels and are 3 px thick, centred on
// theirs; the 5-knot marks fall between two pixels and are 2 px thick, covering both, so the pointer meets every
// mark whether the host truncates or rounds the offset. Beyond the scale's ends the tapes are hatched: all
// offsets the callbacks return (54..540 and 55..379) keep the window on the tape.
#include <array>
#include <cmath>
#include <string>

#include "layout/art/font.h"
#include "layout/art/pictures.h"

namespace art {

namespace {

constexpr Rgb kTape{26, 26, 26};
constexpr Rgb kTapeMark{235, 235, 235};
constexpr Rgb kHatch{150, 150, 150};
constexpr Rgb kGrey{84, 86, 90};
constexpr Rgb kGreyLight{124, 127, 132};
constexpr Rgb kGreyDark{44, 45, 48};
constexpr Rgb kWindowBezel{36, 37, 40};
constexpr Rgb kLegend{240, 240, 236};
constexpr Rgb kScreen{8, 10, 9};
constexpr Rgb kScreenDivider{24, 28, 26};

constexpr int kForeAftZeroRow = 224, kLateralZeroColumn = 306;
constexpr int kLowestFore = -10, kHighestFore = 50, kLateralLimit = 20;
constexpr int kHatchGap = 20;  // plain tape between the last mark and the hatching

// Positions in tenths of a pixel, so the 8.1 px per knot scale is exact.
int fore_aft_tenths(int knots) { return kForeAftZeroRow * 10 + 81 * knots; }
int lateral_tenths(int knots) { return kLateralZeroColumn * 10 - 81 * knots; }

// First pixel of a mark `thickness` pixels thick centred on `tenths`.
int mark_start(int tenths, int thickness) { return int(std::floor((tenths - thickness * 5 + 5) / 10.0)); }

bool hatched(int x, int y) { return (x + y) / 6 % 2 == 0; }

void bevelled(Canvas& c, int x, int y, int w, int h, int width, Rgb upper_left, Rgb lower_right) {
    for (int i = 0; i < width; ++i) {
        c.fill(x + i, y + i, w - 2 * i, 1, upper_left);
        c.fill(x + i, y + i, 1, h - 2 * i, upper_left);
        c.fill(x + i, y + h - 1 - i, w - 2 * i, 1, lower_right);
        c.fill(x + w - 1 - i, y + i + 1, 1, h - 2 * i - 1, lower_right);
    }
}

void screws(Canvas& c, int inset, double radius) {
    for (int sx : {inset, c.width() - inset})
        for (int sy : {inset, c.height() - inset}) {
            c.disc(sx, sy, radius + 1, kGreyDark);
            c.disc(sx, sy, radius, Rgb{140, 142, 146});
            c.stroke(sx - radius + 1, sy + radius - 1, sx + radius - 1, sy - radius + 1, 1.8, kGreyDark);
        }
}

}  // namespace

// Annunciator bezel, 754 x 278: a dark screen under the six text boxes (columns at x 72, 315 and 486, 198, 126
// and 198 px wide; rows at y 56 and 120, 64 px high), with faint dividers between the columns.
Canvas annunciator_bezel() {
    Canvas c(754, 278, Rgb{62, 64, 68});
    bevelled(c, 0, 0, 754, 278, 3, kGreyLight, kGreyDark);
    const int sx = 56, sy = 42, sw = 642, sh = 156;
    c.fill(sx, sy, sw, sh, kScreen);
    bevelled(c, sx - 3, sy - 3, sw + 6, sh + 6, 3, kGreyDark, kGreyLight);
    for (int x : {292, 463}) c.fill(x, 56, 1, 128, kScreenDivider);
    screws(c, 18, 6);
    return c;
}

// Ground-speed face, 754 x 254, on grey: the fore-aft window at (145,40), 58 x 178, FWD above and AFT below,
// pointer arrows at its sides; the lateral window at (331,101), 178 x 58, L and R beside it, pointer arrows above
// and below. The windows are plain (1,1,1) over their whole rectangles: the tapes show there.
Canvas ground_speed_face() {
    Canvas c(754, 254, kGrey);
    bevelled(c, 0, 0, 754, 254, 3, kGreyLight, kGreyDark);
    screws(c, 16, 6);

    const int fx = 145, fy = 40, fw = 58, fh = 178;   // fore-aft window
    const int lx = 331, ly = 101, lw = 178, lh = 58;  // lateral window
    const int bezel = 4;
    for (auto [x, y, w, h] : {std::array{fx, fy, fw, fh}, std::array{lx, ly, lw, lh}}) {
        c.fill(x - bezel, y - bezel, w + 2 * bezel, h + 2 * bezel, kWindowBezel);
        c.fill(x, y, w, h, kWindow);
    }

    // Pointers: one-pixel tips on the pointer row and column, just clear of the bezels.
    const double row = fy + 89 + 0.5, column = lx + 89 + 0.5;
    const double left_tip = fx - bezel - 1.5, right_tip = fx + fw + bezel + 1.5;
    c.triangle(left_tip, row, left_tip - 9, row - 6, left_tip - 9, row + 6, kLegend);
    c.triangle(right_tip, row, right_tip + 9, row - 6, right_tip + 9, row + 6, kLegend);
    const double top_tip = ly - bezel - 1.5, bottom_tip = ly + lh + bezel + 1.5;
    c.triangle(column, top_tip, column - 6, top_tip - 9, column + 6, top_tip - 9, kLegend);
    c.triangle(column, bottom_tip, column - 6, bottom_tip + 9, column + 6, bottom_tip + 9, kLegend);

    draw_text_centred(c, fx + fw / 2, fy - bezel - 22, "FWD", 2, kLegend);
    draw_text_centred(c, fx + fw / 2, fy + fh + bezel + 8, "AFT", 2, kLegend);
    draw_text_centred(c, lx - bezel - 14, ly + lh / 2 - 7, "L", 2, kLegend);
    draw_text_centred(c, lx + lw + bezel + 14, ly + lh / 2 - 7, "R", 2, kLegend);
    draw_text_centred(c, 632, 108, "GND SPEED", 2, kLegend);
    draw_text_centred(c, 632, 130, "KT", 2, kLegend);
    return c;
}

// Fore-aft tape, 58 x 782: marks from both edges, the 10-knot marks long and labelled in the middle.
Canvas fore_aft_tape() {
    Canvas c(58, 782, kTape);
    const int first = mark_start(fore_aft_tenths(kLowestFore), 3) - kHatchGap;
    const int last = mark_start(fore_aft_tenths(kHighestFore), 3) + 2 + kHatchGap;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if ((y < first || y > last) && hatched(x, y)) c.set(x, y, kHatch);
    for (int knots = kLowestFore; knots <= kHighestFore; knots += 5) {
        const bool major = knots % 10 == 0;
        const int thickness = major ? 3 : 2, length = major ? 12 : 7;
        const int y = mark_start(fore_aft_tenths(knots), thickness);
        c.fill(0, y, length, thickness, kTapeMark);
        c.fill(c.width() - length, y, length, thickness, kTapeMark);
        if (major) draw_text_centred(c, c.width() / 2, y + 1 - 7, std::to_string(std::abs(knots)), 2, kTapeMark);
    }
    return c;
}

// Lateral tape, 623 x 57: marks from both edges, the 10-knot marks long and labelled in the middle.
Canvas lateral_tape() {
    Canvas c(623, 57, kTape);
    const int first = mark_start(lateral_tenths(kLateralLimit), 3) - kHatchGap;
    const int last = mark_start(lateral_tenths(-kLateralLimit), 3) + 2 + kHatchGap;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if ((x < first || x > last) && hatched(x, y)) c.set(x, y, kHatch);
    for (int knots = -kLateralLimit; knots <= kLateralLimit; knots += 5) {
        const bool major = knots % 10 == 0;
        const int thickness = major ? 3 : 2, length = major ? 12 : 7;
        const int x = mark_start(lateral_tenths(knots), thickness);
        c.fill(x, 0, thickness, length, kTapeMark);
        c.fill(x, c.height() - length, thickness, length, kTapeMark);
        if (major) draw_text_centred(c, x + 1, c.height() / 2 - 7, std::to_string(std::abs(knots)), 2, kTapeMark);
    }
    return c;
}

}  // namespace art
