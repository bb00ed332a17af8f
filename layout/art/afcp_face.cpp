// The AFCP faces of both helicopters and the Korst face's overlays (lamps, pressed button, turned knobs).
//
// Every control is drawn where the gauge's mouse areas put it, so a pilot clicks what he sees:
// - a button is a keycap filling its area exactly, with a 1 px outline on the area's edge;
// - a knob is a disc centred in its block (54 x 54 on the Korst face, 36 x 36 on the Brevane face) with 2 px to
//   spare on every side; its push area is the upper half, its decrease and increase areas the two lower quarters,
//   marked by arrows beside the knob (Korst) or on its cap (Brevane).
// The Korst overlays are drawn by the host over the face at their own positions: a pressed keycap over each
// button, a turned knob (black corners, so the face shows there) over each knob block, a lit triangle over each
// lamp window. The V/S knob's overlay stands 2 px left of its areas (607 against 609); its disc is drawn at the
// overlay's block, where it spans x 609..658 and so lies wholly inside the areas (609..662).
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "layout/art/font.h"
#include "layout/art/pictures.h"

namespace art {

namespace {

// The panel's colours. Pure black is kept out of the faces: the overlays use it for their empty parts (knob
// corners, lamp surrounds), which the host may leave undrawn, so it must not mean anything on an opaque picture.
constexpr Rgb kPanel{46, 48, 51};
constexpr Rgb kPanelLight{86, 89, 94};
constexpr Rgb kPanelDark{22, 23, 25};
constexpr Rgb kShadow{32, 33, 36};
constexpr Rgb kLegend{236, 234, 222};
constexpr Rgb kOutline{12, 12, 13};  // the edge of every button and knob
constexpr Rgb kKeyFace{72, 75, 80};
constexpr Rgb kKeyLight{108, 112, 118};
constexpr Rgb kKeyDark{38, 40, 43};
constexpr Rgb kKeyPressedFace{56, 58, 62};
constexpr Rgb kKnurlA{64, 66, 70};
constexpr Rgb kKnurlB{34, 35, 38};
constexpr Rgb kKnobIndex{245, 245, 240};
constexpr Rgb kScrew{128, 130, 134};
constexpr Rgb kStabLampOff{58, 52, 20};
constexpr Rgb kNavLampOff{18, 48, 54};
constexpr Rgb kLampFrame{18, 18, 20};

constexpr double kPi = std::numbers::pi;

struct Rect {
    int x, y, w, h;
    int centre_x() const { return x + w / 2; }
};

// Face panel: the base colour, a bevelled rim and a screw in each corner.
Canvas panel(int width, int height, int screw_inset, double screw_radius) {
    Canvas c(width, height, kPanel);
    c.fill(0, 0, width, 2, kPanelLight);
    c.fill(0, 0, 2, height, kPanelLight);
    c.fill(0, height - 2, width, 2, kPanelDark);
    c.fill(width - 2, 0, 2, height, kPanelDark);
    for (int sx : {screw_inset, width - screw_inset})
        for (int sy : {screw_inset, height - screw_inset}) {
            c.disc(sx, sy, screw_radius + 1, kPanelDark);
            c.disc(sx, sy, screw_radius, kScrew);
            c.stroke(sx - screw_radius + 1, sy + screw_radius - 1, sx + screw_radius - 1, sy - screw_radius + 1, 1.6,
                     kPanelDark);
        }
    return c;
}

// A keycap filling `r`: outline on the edge, a 3 px bevel lit from the upper left, or sunk when pressed.
void keycap(Canvas& c, Rect r, bool pressed) {
    const int bevel = 3;
    c.fill(r.x, r.y, r.w, r.h, pressed ? kKeyPressedFace : kKeyFace);
    Rgb upper_left = pressed ? kKeyDark : kKeyLight, lower_right = pressed ? kKeyLight : kKeyDark;
    for (int i = 1; i <= bevel; ++i) {
        c.fill(r.x + i, r.y + i, r.w - 2 * i, 1, upper_left);
        c.fill(r.x + i, r.y + i, 1, r.h - 2 * i, upper_left);
        c.fill(r.x + i, r.y + r.h - 1 - i, r.w - 2 * i, 1, lower_right);
        c.fill(r.x + r.w - 1 - i, r.y + i + 1, 1, r.h - 2 * i - 1, lower_right);
    }
    c.frame(r.x, r.y, r.w, r.h, kOutline);
}

// A knob in the square block at (x, y): a knurled skirt around a cap lit from the upper left, and an index line
// turned `degrees` clockwise from twelve o'clock. Only the disc is drawn; the block's corners stay as they are.
void knob(Canvas& c, int x, int y, int size, double degrees) {
    const double centre = size / 2.0, radius = centre - 2, skirt = size >= 54 ? 6 : 4;
    const double turn = degrees * kPi / 180;
    const int notches = size >= 54 ? 30 : 20;
    const double cx = x + centre, cy = y + centre;
    c.paint(
        x, y, size, size, [=](double px, double py) { return std::hypot(px - cx, py - cy) <= radius; },
        [=](double px, double py) {
            double dx = px - cx, dy = py - cy, d = std::hypot(dx, dy);
            if (d > radius - 1) return kOutline;
            if (d > radius - skirt) {
                double a = std::atan2(dy, dx) - turn;
                int notch = int(std::floor(a / (2 * kPi) * notches + notches));
                return notch % 2 ? kKnurlA : kKnurlB;
            }
            // Five steps of light across the cap, brightest towards the upper left.
            double light = 0.5 - (dx + dy) / (2 * std::sqrt(2.0) * (radius - skirt));
            int step = std::clamp(int(light * 5), 0, 4);
            return shade(Rgb{58, 61, 66}, 1.0 + 0.17 * step);
        });
    double dx = std::sin(turn), dy = -std::cos(turn), inner = size >= 54 ? 4 : 3, outer = radius - skirt - 1.5;
    c.stroke(cx + dx * inner, cy + dy * inner, cx + dx * outer, cy + dy * outer, size >= 54 ? 3.2 : 2.4, kKnobIndex);
}

// Decrease and increase arrows on the panel beside a knob's lower half, pointing away from it.
void knob_arrows(Canvas& c, int x, int y, int size) {
    double row = y + size * 0.75;
    c.triangle(x - 11.5, row, x - 4.5, row - 5.5, x - 4.5, row + 5.5, kLegend);
    c.triangle(x + size + 10.5, row, x + size + 3.5, row - 5.5, x + size + 3.5, row + 5.5, kLegend);
}

// A soft shadow to the lower right of a knob disc, on the panel.
void knob_shadow(Canvas& c, int x, int y, int size) {
    const double centre = size / 2.0, radius = centre - 2;
    c.paint(
        x, y, size + 2, size + 2,
        [=](double px, double py) {
            return std::hypot(px - x - centre - 1.5, py - y - centre - 1.5) <= radius &&
                   std::hypot(px - x - centre, py - y - centre) > radius;
        },
        [](double, double) { return kShadow; });
}

// Arrows on a small knob's cap, for the Brevane face: left on the lower left, right on the lower right.
void cap_arrows(Canvas& c, int x, int y, int size) {
    double row = y + size * 0.69, mid = x + size / 2.0;
    c.triangle(mid - 10, row, mid - 4.5, row - 3.5, mid - 4.5, row + 3.5, kLegend);
    c.triangle(mid + 10, row, mid + 4.5, row - 3.5, mid + 4.5, row + 3.5, kLegend);
}

// The lamp triangle, apex up, filling the 21 x 19 lamp box: pixel (x, y) of the box belongs to it.
bool in_lamp(int x, int y) { return std::abs(x + 0.5 - 10.5) <= (y + 1) * 10.5 / 19; }
constexpr int kLampWidth = 21, kLampHeight = 19;

// The unlit lamp window on the face: the lamp's own triangle in a dark tint, framed.
void lamp_window(Canvas& c, int x, int y, Rgb unlit) {
    for (int j = -1; j <= kLampHeight; ++j)
        for (int i = -1; i <= kLampWidth; ++i) {
            auto in = [](int a, int b) {
                return a >= 0 && b >= 0 && a < kLampWidth && b < kLampHeight && in_lamp(a, b);
            };
            if (in(i, j))
                c.set(x + i, y + j, unlit);
            else if (in(i - 1, j) || in(i + 1, j) || in(i, j - 1) || in(i, j + 1))
                c.set(x + i, y + j, kLampFrame);
        }
}

void legend(Canvas& c, int cx, int y, std::string_view text) { draw_text_centred(c, cx, y, text, 2, kLegend); }

}  // namespace

// Korst face, 746 x 328. Top row: ALT button, ALT.A knob, STAB button under its lamp, HDG knob, IAS button, V/S
// knob; bottom row: CR.HT knob, F/TDN button, HOV/HT knob, NAV, APP and G/S buttons under the CTL bracket with the
// navigation lamp over APP. Legends stand under their controls (the pressed keycap overlay is the same for every
// button, so a legend on the keycap would vanish while it is pressed).
Canvas korst_afcp_face() {
    Canvas c = panel(746, 328, 14, 5);
    const int top_legends = 134, bottom_legends = 256;

    struct Button {
        Rect r;
        std::string_view label;
        int legend_row;
    };
    const Button buttons[] = {
        {{85, 78, 74, 48}, "ALT", top_legends},      {{489, 78, 74, 48}, "IAS", top_legends},
        {{302, 85, 40, 40}, "STAB", top_legends},    {{184, 199, 74, 48}, "F/TDN", bottom_legends},
        {{385, 199, 74, 48}, "NAV", bottom_legends}, {{489, 199, 74, 48}, "APP", bottom_legends},
        {{594, 199, 74, 48}, "G/S", bottom_legends},
    };
    for (const Button& b : buttons) {
        keycap(c, b.r, false);
        legend(c, b.r.centre_x(), b.legend_row, b.label);
    }

    struct Knob {
        int x, y;
        std::string_view label;
        int legend_row;
    };
    const Knob knobs[] = {
        {190, 74, "ALT.A", top_legends},    {382, 74, "HDG", top_legends},        {607, 74, "V/S", top_legends},
        {95, 195, "CR.HT", bottom_legends}, {293, 195, "HOV/HT", bottom_legends},
    };
    for (const Knob& k : knobs) {
        knob_shadow(c, k.x, k.y, 54);
        knob(c, k.x, k.y, 54, 0);
        knob_arrows(c, k.x, k.y, 54);
        legend(c, k.x + 27, k.legend_row, k.label);
    }

    lamp_window(c, 312, 58, kStabLampOff);

    // CTL bracket over NAV, APP and G/S, open under the navigation lamp.
    const int bracket_row = 180, left = 390, right = 662, lamp_x = 516;
    const int ctl_centre = (left + lamp_x) / 2, ctl_half = text_width("CTL", 2) / 2 + 4;
    c.fill(left, bracket_row, ctl_centre - ctl_half - left, 2, kLegend);
    c.fill(ctl_centre + ctl_half, bracket_row, lamp_x - 6 - ctl_centre - ctl_half, 2, kLegend);
    c.fill(lamp_x + kLampWidth + 6, bracket_row, right - lamp_x - kLampWidth - 4, 2, kLegend);
    c.fill(left, bracket_row, 2, 13, kLegend);
    c.fill(right, bracket_row, 2, 13, kLegend);
    legend(c, ctl_centre, bracket_row - 6, "CTL");
    lamp_window(c, lamp_x, 170, kNavLampOff);
    return c;
}

// Brevane face, 640 x 143: six autopilot knobs (push on the upper half, arrows below), four knobs that act on the
// simulator (left half down, right half up), and ALT, F/TDN, NAVD CPL and FND CPL buttons. This face has no
// overlays, so the large keycaps carry their own legends.
Canvas brevane_afcp_face() {
    Canvas c = panel(640, 143, 8, 3);
    const int top_legends = 14, bottom_legends = 77;

    struct Knob {
        int x, y;
        std::string_view label;
        int legend_x, legend_row;
    };
    const Knob knobs[] = {
        {42, 34, "IAS", 60, top_legends},
        {115, 34, "HDG", 133, top_legends},
        {187, 34, "VS", 205, top_legends},
        {259, 34, "ALT.A", 277, top_legends},
        {416, 34, "CR.HT", 434, top_legends},
        {489, 34, "BARO", 507, top_legends},
        {561, 34, "UPLIM", 579, top_legends},
        {489, 95, "CRS", 507, bottom_legends},
        {561, 95, "DH", 579, bottom_legends},
        // Between the ALT and F/TDN keycaps there is no room for a legend, so it starts right of them.
        {416, 95, "HT/HOV", 413 + text_width("HT/HOV", 2) / 2, bottom_legends},
    };
    for (const Knob& k : knobs) {
        knob_shadow(c, k.x, k.y, 36);
        knob(c, k.x, k.y, 36, 0);
        cap_arrows(c, k.x, k.y, 36);
        legend(c, k.legend_x, k.legend_row, k.label);
    }

    const Rect alt{337, 29, 74, 48}, tdn{337, 90, 74, 48}, fnd{259, 90, 74, 48}, navd{114, 90, 36, 30};
    for (Rect r : {alt, tdn, fnd, navd}) keycap(c, r, false);
    legend(c, alt.centre_x(), alt.y + 17, "ALT");
    legend(c, tdn.centre_x(), tdn.y + 17, "F/TDN");
    legend(c, fnd.centre_x(), fnd.y + 8, "FND");
    legend(c, fnd.centre_x(), fnd.y + 26, "CPL");
    legend(c, navd.centre_x(), bottom_legends - 2, "NAVD CPL");
    return c;
}

Canvas lamp(Rgb lit) {
    Canvas c(kLampWidth, kLampHeight, kBlack);
    for (int y = 0; y < kLampHeight; ++y)
        for (int x = 0; x < kLampWidth; ++x)
            if (in_lamp(x, y)) c.set(x, y, lit);
    return c;
}

Canvas turned_knob(double degrees_clockwise) {
    Canvas c(54, 54, kBlack);
    knob(c, 0, 0, 54, degrees_clockwise);
    return c;
}

Canvas pressed_button() {
    Canvas c(74, 48);
    keycap(c, {0, 0, 74, 48}, true);
    return c;
}

}  // namespace art
