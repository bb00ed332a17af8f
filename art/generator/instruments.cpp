// The annunciator bezel, the ground-speed face and its two tapes: the same in both modules.
//
// The bezel's screen lies under the annunciator's text boxes, the face's windows are the unions of the GS
// gauge's mouse areas, and each tape is drawn from the readings of its own marker callback at every setting the
// areas reach (controls.h). The host shows a tape through its window at the callback's offset, so the setting
// the pointer marks (window row, or column, h / 2) is the tape line offset + h / 2: there the mark of each
// multiple of 5 knots is drawn, 3 px thick when the offset is whole, 2 px when it falls between two pixels, so
// the pointer meets every mark whether the host truncates or rounds the offset. Beyond the scale's ends the
// tapes are hatched.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "art/generator/controls.h"
#include "art/generator/paint.h"
#include "art/generator/pictures.h"

namespace art {

namespace {

constexpr double kLegendSize = 14, kTapeNumberSize = 16;
constexpr int kHatchGap = 20;  // plain tape between the last mark and the hatching
constexpr Colour kMark{0.95, 0.95, 0.93};

// What a tape's settings mean, said alike by the face and the tape: the legend at the window's end the setting
// moves towards, and beside every number of that sense on the tape its letter, in the legend's colour. The
// tapes move the other way round from their legends (the forward numbers pass below the pointer), so the
// numbers say their sense themselves.
struct Sense {
    std::string_view legend, letter;
    Colour colour;
};
struct Senses {
    Sense positive, negative;  // of the setting: forward and aft, right and left
};
constexpr Senses kForeAftSenses{{"FWD", "F", {0.47, 0.85, 1.0}}, {"AFT", "A", {1.0, 0.73, 0.27}}};
constexpr Senses kLateralSenses{{"R", "R", {0.45, 0.92, 0.50}}, {"L", "L", {1.0, 0.45, 0.42}}};

// A raised frame `width` px wide around a recess: a bevelled metal lip, lit from the upper left.
void frame(cairo_t* cr, Rect r, double width) {
    cairo_save(cr);
    const Rect o{r.x - width, r.y - width, r.w + 2 * width, r.h + 2 * width};
    drop_shadow(cr, o, 4, 3, 0.55);
    rounded_rectangle(cr, o, 5);
    fill_gradient(cr, o.x, o.y, o.x + o.w * 0.25, o.bottom(),
                  {{0, {0.40, 0.41, 0.43}}, {0.5, {0.26, 0.27, 0.285}}, {1, {0.16, 0.165, 0.175}}});
    rounded_rectangle(cr, {o.x + 0.75, o.y + 0.75, o.w - 1.5, o.h - 1.5}, 4.5);
    set_colour(cr, grey(200), 0.25);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A recess `depth` px deep around `r`: its walls dark above and left, catching light below and right.
void recess(cairo_t* cr, Rect r, double depth) {
    cairo_save(cr);
    const Rect o{r.x - depth, r.y - depth, r.w + 2 * depth, r.h + 2 * depth};
    rounded_rectangle(cr, {o.x - 1.5, o.y - 1.5, o.w + 3, o.h + 3}, 3);
    set_colour(cr, grey(0), 0.45);
    cairo_fill(cr);
    rounded_rectangle(cr, o, 2);
    fill_gradient(cr, o.x, o.y, o.right(), o.bottom(), {{0, {0.045, 0.047, 0.05}}, {1, {0.26, 0.27, 0.285}}});
    cairo_restore(cr);
}

// No pixel but those of the windows may be the windows' plain colour.
void keep_window_colour(Canvas& c, const std::vector<Rect>& windows) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            bool inside = false;
            for (const Rect& w : windows) inside = inside || (x >= w.x && x < w.right() && y >= w.y && y < w.bottom());
            if (!inside && c.at(x, y) == kWindow) c.set(x, y, {2, 2, 2});
        }
}

// A pointer aimed at pixel line `line` of a window side: a white arrow ending in a one-pixel needle, so that
// the pointer marks exactly one line. (x, y) is the needle's tip pixel, (dx, dy) the way the arrow points.
void pointer(cairo_t* cr, int x, int y, int dx, int dy) {
    cairo_save(cr);
    const double tx = x + 0.5 - dx * 2.0, ty = y + 0.5 - dy * 2.0;  // the arrow's tip, behind the needle
    const double bx = tx - dx * 10, by = ty - dy * 10;              // the middle of its base
    for (int pass = 0; pass < 2; ++pass) {
        const double s = pass == 0 ? 0.9 : 0;
        cairo_move_to(cr, tx + s * 0.5, ty + s);
        cairo_line_to(cr, bx - dy * 6 + s * 0.5, by - dx * 6 + s);
        cairo_line_to(cr, bx + dy * 6 + s * 0.5, by + dx * 6 + s);
        cairo_close_path(cr);
        set_colour(cr, pass == 0 ? grey(0) : kMark, pass == 0 ? 0.6 : 1.0);
        cairo_fill(cr);
    }
    // The needle: two whole pixels on the line, from the tip back to the arrow.
    cairo_rectangle(cr, dx != 0 ? std::min(x, x - dx) : x, dy != 0 ? std::min(y, y - dy) : y, dx != 0 ? 2 : 1,
                    dy != 0 ? 2 : 1);
    set_colour(cr, kMark);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The tape's lines that show a reading at the pointer: the first and the count.
struct MarkLines {
    int first, count;
};
MarkLines mark_lines(double line) {
    const double whole = std::floor(line);
    return line == whole ? MarkLines{int(whole) - 1, 3} : MarkLines{int(whole), 2};
}

// A tape: along its length `length`, across it `across`; drawn lengthwise down the page and turned for the
// lateral one.
Canvas tape(const TapeScale& s, const Senses& senses, int across, int length, bool vertical) {
    const int pointer = int((vertical ? s.window.h : s.window.w) / 2);
    Painting p(vertical ? across : length, vertical ? length : across);
    cairo_t* cr = p.cr();
    if (!vertical) {
        // Draw in tape coordinates: x across, y along.
        cairo_matrix_t m{0, 1, 1, 0, 0, 0};
        cairo_set_matrix(cr, &m);
    }
    // A drum: darker towards the edges.
    cairo_rectangle(cr, 0, 0, across, length);
    fill_gradient(cr, 0, 0, across, 0,
                  {{0, {0.055, 0.055, 0.06}}, {0.5, {0.125, 0.125, 0.13}}, {1, {0.055, 0.055, 0.06}}});
    p.grain({0, 0, double(p.width()), double(p.height())}, 3, vertical ? 0x7a9e : 0x1a7e);

    const double first = s.readings.front().offset + pointer, last = s.readings.back().offset + pointer;
    const double low = std::min(first, last) - kHatchGap, high = std::max(first, last) + kHatchGap + 2;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, across, low);
    cairo_rectangle(cr, 0, high, across, length - high);
    cairo_clip(cr);
    cairo_set_line_width(cr, 4);
    for (double d = -across; d < length + across; d += 12) {
        cairo_move_to(cr, 0, d);
        cairo_line_to(cr, across, d + across);
    }
    set_colour(cr, grey(138));
    cairo_stroke(cr);
    cairo_restore(cr);

    for (const Reading& r : s.readings) {
        if (r.knots % 5 != 0) continue;
        const bool major = r.knots % 10 == 0;
        const MarkLines m = mark_lines(r.offset + pointer);
        const double reach = major ? 12 : 7;
        cairo_rectangle(cr, 0, m.first, reach, m.count);
        cairo_rectangle(cr, across - reach, m.first, reach, m.count);
        set_colour(cr, kMark);
        cairo_fill(cr);
        if (!major) continue;
        const Sense* sense = r.knots > 0 ? &senses.positive : r.knots < 0 ? &senses.negative : nullptr;
        const std::string number = std::to_string(std::abs(r.knots)) + std::string(sense ? sense->letter : "");
        const Colour colour = sense ? sense->colour : kMark;
        const double mid = m.first + m.count / 2.0;
        if (vertical) {
            letter(cr, number, across / 2.0, mid, kTapeNumberSize, colour);
        } else {
            // Upright numbers on the turned tape.
            cairo_save(cr);
            cairo_identity_matrix(cr);
            letter(cr, number, mid, across / 2.0, kTapeNumberSize, colour);
            cairo_restore(cr);
        }
    }
    return p.canvas();
}

}  // namespace

// Annunciator bezel: a deep dark screen under the six text boxes, faint dividers between the columns.
Canvas annunciator_bezel(int width, int height) {
    Painting p(width, height);
    cairo_t* cr = p.cr();
    plate(p, 0.25, 0.19, 18, 6.5, 0xbe2e1);
    const std::vector<Rect> boxes = annunciator_boxes();
    Rect screen = boxes.front();
    for (const Rect& b : boxes) {
        const double x = std::min(screen.x, b.x), y = std::min(screen.y, b.y);
        screen = {x, y, std::max(screen.right(), b.right()) - x, std::max(screen.bottom(), b.bottom()) - y};
    }
    screen = {screen.x - 16, screen.y - 14, screen.w + 32, screen.h + 28};
    frame(cr, {screen.x - 6, screen.y - 6, screen.w + 12, screen.h + 12}, 7);
    recess(cr, screen, 6);
    cairo_rectangle(cr, screen.x, screen.y, screen.w, screen.h);
    fill_gradient(cr, screen.x, screen.y, screen.x + screen.w * 0.3, screen.bottom(),
                  {{0, {0.055, 0.065, 0.06}}, {0.45, {0.025, 0.03, 0.028}}, {1, {0.035, 0.04, 0.038}}});
    // Dividers halfway between neighbouring columns of boxes.
    cairo_set_line_width(cr, 1);
    for (const Rect& a : boxes)
        for (const Rect& b : boxes)
            if (b.x > a.right() && a.y == b.y && a.y == boxes.back().y) {
                bool nearest = true;
                for (const Rect& c : boxes) nearest = nearest && !(c.x > a.right() && c.x < b.x);
                if (!nearest) continue;
                const double x = std::floor((a.right() + b.x) / 2) + 0.5;
                cairo_move_to(cr, x, screen.y + 12);
                cairo_line_to(cr, x, screen.bottom() - 12);
                set_colour(cr, {0.10, 0.12, 0.11});
                cairo_stroke(cr);
            }
    // The glass's edge catches a thin line of light.
    cairo_rectangle(cr, screen.x + 0.5, screen.y + 0.5, screen.w - 1, screen.h - 1);
    set_colour(cr, grey(120), 0.25);
    cairo_stroke(cr);
    // What the rows show: the engaged modes above, the armed ones below.
    const double upper = boxes.back().centre_y(), lower = boxes.front().centre_y();
    const double margin = (screen.x - 13) / 2;
    engrave(cr, "ENG", margin, std::min(upper, lower), 11);
    engrave(cr, "ARM", margin, std::max(upper, lower), 11);
    engrave(cr, "AFCP MODES", p.width() / 2.0, screen.bottom() + 6 + 7 + 12, 12);
    return p.canvas();
}

// Ground-speed face: the two windows sunk in the plate, pointers at their sides, FWD and AFT, L and R.
Canvas ground_speed_face(int width, int height) {
    Painting p(width, height);
    cairo_t* cr = p.cr();
    plate(p, 0.215, 0.165, 16, 6.5, 0x95fa);
    const std::vector<Rect> windows = ground_speed_windows();
    const TapeScale fore = fore_aft_scale(), lateral = lateral_scale();
    for (const Rect& w : windows) frame(cr, {w.x - 5, w.y - 5, w.w + 10, w.h + 10}, 3);
    for (const Rect& w : windows) recess(cr, w, 5);
    for (const Rect& w : windows) {
        cairo_rectangle(cr, w.x, w.y, w.w, w.h);
        set_colour(cr, rgb(kWindow));
        cairo_fill(cr);
    }
    const Rect f = fore.window, l = lateral.window;
    const int row = int(f.y + f.h / 2), column = int(l.x + l.w / 2), clear = 8;
    pointer(cr, int(f.x) - clear, row, 1, 0);
    pointer(cr, int(f.right()) - 1 + clear, row, -1, 0);
    pointer(cr, column, int(l.y) - clear, 0, 1);
    pointer(cr, column, int(l.bottom()) - 1 + clear, 0, -1);

    // Each legend at the end of its window that the setting's areas move it towards.
    const Sense &above = fore.increase_first ? kForeAftSenses.positive : kForeAftSenses.negative,
                &below = fore.increase_first ? kForeAftSenses.negative : kForeAftSenses.positive,
                &left = lateral.increase_first ? kLateralSenses.positive : kLateralSenses.negative,
                &right = lateral.increase_first ? kLateralSenses.negative : kLateralSenses.positive;
    engrave(cr, above.legend, f.centre_x(), f.y - 20, kLegendSize, above.colour);
    engrave(cr, below.legend, f.centre_x(), f.bottom() + 20, kLegendSize, below.colour);
    engrave(cr, left.legend, l.x - 26, l.centre_y(), kLegendSize, left.colour);
    engrave(cr, right.legend, l.right() + 26, l.centre_y(), kLegendSize, right.colour);
    const double label_x = (l.right() + p.width()) / 2 + 10;
    engrave(cr, "GND SPEED", label_x, l.centre_y() - 10, kLegendSize);
    engrave(cr, "KT", label_x, l.centre_y() + 10, kLegendSize);
    Canvas c = p.canvas();
    keep_window_colour(c, windows);
    return c;
}

// The fore-aft tape runs down the page, the lateral one across it.
Canvas fore_aft_tape(int width, int height) { return tape(fore_aft_scale(), kForeAftSenses, width, height, true); }
Canvas lateral_tape(int width, int height) { return tape(lateral_scale(), kLateralSenses, height, width, false); }

}  // namespace art
