// Checks the generated bitmaps against the gauge layouts, reading the files as the resource compiler takes them
// (the resources the built modules carry are the DLL file check's, tests/dll):
//   artcheck <art folder>   (artgen wrote korst/XXXX.bmp and brevane/XXXX.bmp into it)
// The positions below come from the gauges' element and mouse-area lists, not from the generator, so a control
// drawn off its areas, a window a pixel too small or a tape mark off the pointer fails here.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "art/kit/bitmap_file.h"
#include "layout/bitmaps.h"

namespace {

using art::BitmapFile;
using art::Canvas;
using art::Rgb;

int failures = 0;

void fail(const std::string& what) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++failures;
}
void expect(bool ok, const std::string& what) {
    if (!ok) fail(what);
}

struct Rect {
    int x, y, w, h;
};

bool bright(Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; }
// Lettering of any colour on the dark tapes and plate.
bool lit(Rgb c) { return std::max({c.r, c.g, c.b}) > 150; }
// Lettering in a colour, not white or grey.
bool tinted(Rgb c) { return lit(c) && std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 60; }

std::string hex(int id) {
    char s[8];
    std::snprintf(s, sizeof s, "%04X", id);
    return s;
}

// --- Inventory: ids, sizes, depths, palettes -------------------------------------------------------------------

struct Expected {
    int id, width, height, depth;
};

// The files the generators draw: every row of the bitmap manifest that the module carries.
std::vector<Expected> drawn(afcp::bitmap::Module m) {
    std::vector<Expected> out;
    for (const afcp::bitmap::Entry& e : afcp::bitmap::manifest)
        if (afcp::bitmap::carried_by(e, m)) out.push_back({e.id, e.width, e.height, e.depth});
    return out;
}

using Module = std::map<int, BitmapFile>;

Module load(const std::filesystem::path& folder, const std::vector<Expected>& expected) {
    Module m;
    std::set<std::string> wanted;
    for (const Expected& e : expected) {
        std::string name = hex(e.id) + ".bmp";
        wanted.insert(name);
        BitmapFile f = art::read_bmp((folder / name).string());
        std::string where = folder.filename().string() + "/" + name;
        if (!f.error.empty()) {
            fail(f.error);
            continue;
        }
        expect(f.width == e.width && f.height == e.height && f.depth == e.depth,
               where + ": size or depth is " + std::to_string(f.width) + "x" + std::to_string(f.height) + "x" +
                   std::to_string(f.depth));
        if (f.depth == 8) expect(f.palette_entries == 256, where + ": palette is not 256 entries");
        m.emplace(e.id, std::move(f));
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp")
            expect(wanted.count(entry.path().filename().string()) == 1,
                   folder.filename().string() + ": unexpected bitmap " + entry.path().filename().string());
    return m;
}

const Canvas* picture(const Module& m, int id) {
    auto it = m.find(id);
    return it == m.end() ? nullptr : &it->second.pixels;
}

bool all_of(const Canvas& c, Rect r, Rgb colour) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (c.at(x, y) != colour) return false;
    return true;
}

bool same(const Canvas& a, const Canvas& b) { return a.pixels() == b.pixels(); }

// --- Plain pictures and the pictures both modules share ---------------------------------------------------------

void check_plain(const Module& korst, const Module& brevane) {
    const Rgb black{0, 0, 0}, window{1, 1, 1};
    for (const auto& [m, module, which] : {std::tuple{&korst, "korst", afcp::bitmap::Module::korst},
                                           std::tuple{&brevane, "brevane", afcp::bitmap::Module::brevane}})
        for (const afcp::bitmap::Entry& e : afcp::bitmap::manifest) {
            const bool plain = e.drawer == afcp::bitmap::Drawer::black || e.drawer == afcp::bitmap::Drawer::window;
            if (!plain || !afcp::bitmap::carried_by(e, which)) continue;
            const Rgb colour = e.drawer == afcp::bitmap::Drawer::black ? black : window;
            if (const Canvas* c = picture(*m, e.id))
                expect(all_of(*c, {0, 0, c->width(), c->height()}, colour),
                       std::string(module) + "/" + hex(e.id) + " is not plain");
        }

    const std::pair<int, int> shared[] = {{0x1050, 0x1050}, {0x2100, 0x2100}, {0x2110, 0x2110}, {0x2111, 0x2111},
                                          {0x2120, 0x2120}, {0x2121, 0x2121}, {0x1060, 0x1055}, {0x1100, 0x1060}};
    for (auto [b, k] : shared)
        if (picture(brevane, b) && picture(korst, k))
            expect(same(*picture(brevane, b), *picture(korst, k)),
                   "brevane/" + hex(b) + " is not the picture of korst/" + hex(k));

    // Pure black belongs to the black roots and the empty parts of the overlays (knob corners, lamp surrounds),
    // never to an opaque picture.
    for (const auto& [m, module, ids] : {std::tuple{&korst, "korst", std::vector{0x1000, 0x1040, 0x1050, 0x2100}},
                                         std::tuple{&brevane, "brevane", std::vector{0x1000}}})
        for (int id : ids)
            if (const Canvas* c = picture(*m, id))
                for (Rgb p : c->pixels())
                    if (p == black) {
                        fail(std::string(module) + "/" + hex(id) + " has pure black pixels");
                        break;
                    }
}

// --- Ground-speed face and tapes --------------------------------------------------------------------------------

// The face's plain (1,1,1) windows, under the unions of the GS mouse areas. The GS tree shows each tape at the
// window's top-left corner at the size of the tape's window picture: the fore-aft one fills its window, the
// lateral one (178 x 57) leaves the window's bottom row plain, as the layout gives it.
constexpr Rect kForeAftWindow{145, 40, 58, 178}, kLateralWindow{331, 101, 178, 58};
constexpr Rect kForeAftShown{145, 40, 58, 178}, kLateralShown{331, 101, 178, 57};

// The one row (or column) a pointer's tip marks: the bright pixels nearest the window, scanning outwards.
// Returns -1 when there is no pointer or its tip is not a single pixel.
int pointer_tip(const Canvas& c, bool vertical_window, int from, int step, int span_from, int span_to) {
    for (int line = from; line != from + step * 24; line += step) {
        std::vector<int> hits;
        for (int s = span_from; s < span_to; ++s)
            if (bright(vertical_window ? c.at(line, s) : c.at(s, line))) hits.push_back(s);
        if (!hits.empty()) return hits.size() == 1 ? hits[0] : -1;
    }
    return -1;
}

// Host readings of a fractional offset: truncated and rounded.
std::vector<int> readings(double offset) { return {int(std::floor(offset)), int(std::lround(offset))}; }

bool row_has_two_colours(const Canvas& c, int y) {
    for (int x = 1; x < c.width(); ++x)
        if (c.at(x, y) != c.at(0, y)) return true;
    return false;
}
bool column_has_two_colours(const Canvas& c, int x) {
    for (int y = 1; y < c.height(); ++y)
        if (c.at(x, y) != c.at(x, 0)) return true;
    return false;
}

// Width of the bright label around a point of the tape's middle (0 when there is none).
int label_width(const Canvas& c, int cx, int cy, int half_w, int half_h) {
    int left = 1 << 20, right = -1;
    for (int y = cy - half_h; y <= cy + half_h; ++y)
        for (int x = cx - half_w; x <= cx + half_w; ++x)
            if (c.inside(x, y) && lit(c.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right < 0 ? 0 : right - left + 1;
}

void check_ground_speed(const Module& korst) {
    const Canvas* face = picture(korst, 0x2100);
    const Canvas* fore = picture(korst, 0x2110);
    const Canvas* lateral = picture(korst, 0x2120);
    if (!face || !fore || !lateral) return;
    const Rgb window{1, 1, 1};

    for (Rect w : {kForeAftWindow, kLateralWindow}) {
        expect(all_of(*face, w, window), "2100: a tape window is not plain (1,1,1) over its whole rectangle");
        bool ring_clear = true;
        for (int x = w.x - 1; x <= w.x + w.w; ++x)
            ring_clear = ring_clear && face->at(x, w.y - 1) != window && face->at(x, w.y + w.h) != window;
        for (int y = w.y - 1; y <= w.y + w.h; ++y)
            ring_clear = ring_clear && face->at(w.x - 1, y) != window && face->at(w.x + w.w, y) != window;
        expect(ring_clear, "2100: a tape window is larger than the layout gives it");
    }

    // Pointer row of the fore-aft window, from the arrows at both sides; pointer column of the lateral one.
    const Rect f = kForeAftWindow, l = kLateralWindow;
    int left = pointer_tip(*face, true, f.x - 1, -1, f.y, f.y + f.h);
    int right = pointer_tip(*face, true, f.x + f.w, 1, f.y, f.y + f.h);
    int top = pointer_tip(*face, false, l.y - 1, -1, l.x, l.x + l.w);
    int bottom = pointer_tip(*face, false, l.y + l.h, 1, l.x, l.x + l.w);
    expect(left >= 0 && left == right, "2100: the fore-aft pointers do not mark one row");
    expect(top >= 0 && top == bottom, "2100: the lateral pointers do not mark one column");
    if (left < 0 || left != right || top < 0 || top != bottom) return;
    const int pointer_row = left - f.y, pointer_column = top - l.x;

    // At every setting the pointer must meet a mark exactly when the setting is a multiple of 5 knots.
    for (int knots = -10; knots <= 50; ++knots)
        for (int offset : readings(135 + 8.1 * knots)) {
            int row = offset + pointer_row;
            bool mark = bright(fore->at(0, row)) && bright(fore->at(fore->width() - 1, row));
            bool none = !bright(fore->at(0, row)) && !bright(fore->at(fore->width() - 1, row));
            expect(knots % 5 == 0 ? mark : none, "2110: pointer at " + std::to_string(knots) + " kt (offset " +
                                                     std::to_string(offset) + ") is " + (mark ? "" : "not ") +
                                                     "on a mark");
        }
    for (int knots = -20; knots <= 20; ++knots)
        for (int offset : readings(217 - 8.1 * knots)) {
            int column = offset + pointer_column;
            bool mark = bright(lateral->at(column, 0)) && bright(lateral->at(column, lateral->height() - 1));
            bool none = !bright(lateral->at(column, 0)) && !bright(lateral->at(column, lateral->height() - 1));
            expect(knots % 5 == 0 ? mark : none, "2120: pointer at " + std::to_string(knots) + " kt (offset " +
                                                     std::to_string(offset) + ") is " + (mark ? "" : "not ") +
                                                     "on a mark");
        }

    // Labels on the 10-knot marks only: "0" at zero, two digits elsewhere; none on the 5-knot marks.
    for (int knots = -10; knots <= 50; knots += 5) {
        int width = label_width(*fore, fore->width() / 2, int(135 + 8.1 * knots) + pointer_row, 15, 4);
        bool ok = knots % 10 ? width == 0 : knots == 0 ? width > 0 && width < 14 : width >= 14;
        expect(ok, "2110: label at " + std::to_string(knots) + " kt is wrong (width " + std::to_string(width) + ")");
    }
    for (int knots = -20; knots <= 20; knots += 5) {
        int width = label_width(*lateral, int(217 - 8.1 * knots) + pointer_column, lateral->height() / 2, 16, 4);
        bool ok = knots % 10 ? width == 0 : knots == 0 ? width > 0 && width < 14 : width >= 14;
        expect(ok, "2120: label at " + std::to_string(knots) + " kt is wrong (width " + std::to_string(width) + ")");
    }

    // At the ends of the settings the window shows hatching beyond the scale, and stays on the tape.
    expect(540 + f.h <= fore->height() && 379 + l.w <= lateral->width(), "tapes are too short for their ranges");
    for (int y = 54; y < 54 + 40; ++y) expect(row_has_two_colours(*fore, y), "2110: top end is not hatched");
    for (int y = 540 + f.h - 40; y < 540 + f.h; ++y)
        expect(row_has_two_colours(*fore, y), "2110: bottom end is not hatched");
    for (int x = 55; x < 55 + 40; ++x) expect(column_has_two_colours(*lateral, x), "2120: left end is not hatched");
    for (int x = 379 + l.w - 40; x < 379 + l.w; ++x)
        expect(column_has_two_colours(*lateral, x), "2120: right end is not hatched");
}

// The "GS" face as the host shows it: each tape's strip at the offset of a setting, through a window the size of
// its window picture, at the element's position. Offsets as the host may read them (truncated or rounded).
struct Shown {
    int knots;
    Canvas gauge;
};
std::vector<Shown> gauge_at_every_setting(const Module& m, bool fore_aft) {
    const Canvas *face = picture(m, 0x2100), *strip = picture(m, fore_aft ? 0x2110 : 0x2120),
                 *window = picture(m, fore_aft ? 0x2111 : 0x2121);
    std::vector<Shown> out;
    if (!face || !strip || !window) return out;
    const Rect at = fore_aft ? kForeAftShown : kLateralShown;
    for (int knots = fore_aft ? -10 : -20; knots <= (fore_aft ? 50 : 20); ++knots)
        for (int offset : readings(fore_aft ? 135 + 8.1 * knots : 217 - 8.1 * knots)) {
            Canvas g = *face;
            for (int y = 0; y < window->height(); ++y)
                for (int x = 0; x < window->width(); ++x)
                    g.set(at.x + x, at.y + y, fore_aft ? strip->at(x, y + offset) : strip->at(x + offset, y));
            out.push_back({knots, std::move(g)});
        }
    return out;
}

// At no setting does the face's plain window fill show on the gauge, but for the lateral window's bottom row
// that the layout leaves under its 57-row tape: the tapes cover the rest of their windows.
void check_no_plain_fill_shows(const Module& korst) {
    const Rgb window{1, 1, 1};
    auto inside = [](Rect r, int x, int y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; };
    for (bool fore_aft : {true, false}) {
        int shown = 0;
        for (const Shown& s : gauge_at_every_setting(korst, fore_aft)) {
            ++shown;
            const Rect other = fore_aft ? kLateralWindow : kForeAftWindow;  // the other tape is not drawn here
            const Rect lateral_bottom_row{kLateralWindow.x, kLateralShown.y + kLateralShown.h, kLateralWindow.w,
                                          kLateralWindow.h - kLateralShown.h};
            bool clear = true;
            for (int y = 0; y < s.gauge.height() && clear; ++y)
                for (int x = 0; x < s.gauge.width() && clear; ++x)
                    clear = inside(other, x, y) || inside(lateral_bottom_row, x, y) || s.gauge.at(x, y) != window;
            expect(clear, std::string(fore_aft ? "fore-aft" : "lateral") + " tape at " + std::to_string(s.knots) +
                              " kt: plain window fill shows beside the tape");
        }
        expect(shown > 0, "no tape to show");
    }
}

// The mean of the tinted pixels of a rectangle, and how many there are.
struct Tint {
    double r = 0, g = 0, b = 0;
    int count = 0;
};
Tint tint(const Canvas& c, Rect r) {
    Tint t;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (c.inside(x, y) && tinted(c.at(x, y))) {
                t.r += c.at(x, y).r, t.g += c.at(x, y).g, t.b += c.at(x, y).b;
                ++t.count;
            }
    if (t.count > 0) t.r /= t.count, t.g /= t.count, t.b /= t.count;
    return t;
}
double distance(const Tint& a, const Tint& b) { return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b); }

// The tapes read the way the face's legends say: at a setting of either sign, the number under the pointer is
// coloured as the legend at the end of the window that the setting's areas move towards (GS_FORWARD is the
// upper part of the fore-aft window, GS_RIGHT the right part of the lateral one), and not as the other.
void check_tapes_read_right(const Module& korst) {
    const Canvas* face = picture(korst, 0x2100);
    if (!face) return;
    const Rect f = kForeAftWindow, l = kLateralWindow;
    const int row = pointer_tip(*face, true, f.x - 1, -1, f.y, f.y + f.h);
    const int column = pointer_tip(*face, false, l.y - 1, -1, l.x, l.x + l.w);
    if (row < 0 || column < 0) return fail("2100: no pointers to read the tapes at");
    const Tint fwd = tint(*face, {f.x - 20, f.y - 30, f.w + 40, 20}),
               aft = tint(*face, {f.x - 20, f.y + f.h + 10, f.w + 40, 20});
    const Tint left = tint(*face, {l.x - 40, l.y, 30, l.h}), right = tint(*face, {l.x + l.w + 10, l.y, 30, l.h});
    for (const Tint* t : {&fwd, &aft, &left, &right}) expect(t->count > 10, "2100: a legend carries no colour");
    expect(distance(fwd, aft) > 80 && distance(left, right) > 80,
           "2100: opposite legends are not told apart by colour");
    for (bool fore_aft : {true, false}) {
        int read = 0;
        for (const Shown& s : gauge_at_every_setting(korst, fore_aft)) {
            if (s.knots == 0 || s.knots % 10 != 0) continue;
            const Rect under =
                fore_aft ? Rect{f.x + 13, row - 6, f.w - 26, 13} : Rect{column - 16, l.y + 13, 33, l.h - 26};
            const Tint label = tint(s.gauge, under);
            const Tint& towards = fore_aft ? (s.knots > 0 ? fwd : aft) : (s.knots > 0 ? right : left);
            const Tint& away = fore_aft ? (s.knots > 0 ? aft : fwd) : (s.knots > 0 ? left : right);
            const bool ok = label.count > 10 && distance(label, towards) < distance(label, away);
            expect(ok, std::string(fore_aft ? "2110" : "2120") + ": at " + std::to_string(s.knots) +
                           " kt the number under the pointer does not read " +
                           (fore_aft ? (s.knots > 0 ? "forward" : "aft") : (s.knots > 0 ? "right" : "left")));
            ++read;
        }
        expect(read >= 4, "too few settings read");
    }
}

// --- Annunciator bezel -------------------------------------------------------------------------------------------

void check_annunciator(const Module& korst) {
    const Canvas* c = picture(korst, 0x1050);
    if (!c) return;
    const Rect boxes[] = {{72, 56, 198, 64},  {315, 56, 126, 64},  {486, 56, 198, 64},
                          {72, 120, 198, 64}, {315, 120, 126, 64}, {486, 120, 198, 64}};
    for (Rect b : boxes)
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) {
                Rgb p = c->at(x, y);
                if (std::max({p.r, p.g, p.b}) >= 40) {
                    fail("1050: text box at (" + std::to_string(b.x) + "," + std::to_string(b.y) +
                         ") is not on the dark screen");
                    y = b.y + b.h;
                    break;
                }
            }
}

// --- AFCP faces: every control under its mouse areas ------------------------------------------------------------

// A button's keycap fills its area: outline on all four edges, none just outside.
void check_button(const Canvas& face, Rgb outline, Rect r, const std::string& what) {
    auto at = [&face](int x, int y) { return face.inside(x, y) ? face.at(x, y) : Rgb{255, 0, 255}; };
    bool edges = true, outside = true;
    for (int x = r.x; x < r.x + r.w; ++x) {
        edges = edges && at(x, r.y) == outline && at(x, r.y + r.h - 1) == outline;
        outside = outside && at(x, r.y - 1) != outline && at(x, r.y + r.h) != outline;
    }
    for (int y = r.y; y < r.y + r.h; ++y) {
        edges = edges && at(r.x, y) == outline && at(r.x + r.w - 1, y) == outline;
        outside = outside && at(r.x - 1, y) != outline && at(r.x + r.w, y) != outline;
    }
    expect(edges && outside, what + " does not fill its area");
}

// A knob's disc: its outline ring on the block's middle row and column, measured from the block's edges.
struct Disc {
    int left, right, top, bottom;  // first outline pixel from each edge, -1 when missing
};
Disc disc_in(const Canvas& c, int x, int y, int size, Rgb outline) {
    Disc d{-1, -1, -1, -1};
    const int mid = size / 2;
    for (int i = 0; i < size && d.left < 0; ++i)
        if (c.at(x + i, y + mid) == outline) d.left = i;
    for (int i = 0; i < size && d.right < 0; ++i)
        if (c.at(x + size - 1 - i, y + mid) == outline) d.right = i;
    for (int i = 0; i < size && d.top < 0; ++i)
        if (c.at(x + mid, y + i) == outline) d.top = i;
    for (int i = 0; i < size && d.bottom < 0; ++i)
        if (c.at(x + mid, y + size - 1 - i) == outline) d.bottom = i;
    return d;
}

// The knob lies inside the block of its areas, centred on the block of its image (the same block but for the
// V/S knob), and nearly fills it.
void check_knob(const Canvas& face, Rgb outline, Rect areas, int image_x, const std::string& what) {
    const int size = areas.w, shift = areas.x - image_x;
    Disc d = disc_in(face, image_x, areas.y, size, outline);
    bool found = d.left >= 0 && d.right >= 0 && d.top >= 0 && d.bottom >= 0;
    expect(found && d.left == d.right && d.top == d.bottom, what + " is not centred on its block");
    expect(found && d.left >= shift && d.right >= -shift && d.left <= size / 10 && d.top <= size / 10,
           what + " is not inside its areas or does not fill them");
}

struct Lamp {
    int id, x, y;
    bool yellow;
};

void check_korst_face(const Module& korst) {
    const Canvas* face = picture(korst, 0x1000);
    if (!face) return;
    const Rgb outline = face->at(85, 78);  // corner of the ALT button
    const std::pair<Rect, const char*> buttons[] = {
        {{85, 78, 74, 48}, "ALT"},   {{489, 78, 74, 48}, "IAS"},  {{184, 199, 74, 48}, "F/TDN"},
        {{385, 199, 74, 48}, "NAV"}, {{489, 199, 74, 48}, "APP"}, {{594, 199, 74, 48}, "G/S"},
        {{302, 85, 40, 40}, "STAB"},
    };
    for (auto [r, name] : buttons) check_button(*face, outline, r, std::string("korst face: ") + name + " button");
    const std::tuple<Rect, int, const char*> knobs[] = {
        {{190, 74, 54, 54}, 190, "ALT.A"}, {{382, 74, 54, 54}, 382, "HDG"},     {{609, 74, 54, 54}, 607, "V/S"},
        {{95, 195, 54, 54}, 95, "CR.HT"},  {{293, 195, 54, 54}, 293, "HOV/HT"},
    };
    for (auto [areas, image_x, name] : knobs)
        check_knob(*face, outline, areas, image_x, std::string("korst face: ") + name + " knob");

    // The overlays register with the face: the pressed keycap's outline, the turned knobs' disc, the lamps'
    // triangles on the face's unlit windows.
    if (const Canvas* pressed = picture(korst, 0x1040))
        check_button(*pressed, outline, {0, 0, 74, 48}, "1040 pressed keycap");
    Disc rest = disc_in(*face, 190, 74, 54, outline);
    for (int id : {0x1030, 0x1031}) {
        const Canvas* k = picture(korst, id);
        if (!k) continue;
        Disc d = disc_in(*k, 0, 0, 54, outline);
        expect(d.left == rest.left && d.top == rest.top && d.right == rest.right && d.bottom == rest.bottom,
               hex(id) + ": turned knob does not cover the face's knob");
        bool corners_black = true;
        double sum_x = 0;
        int n = 0;
        for (int y = 0; y < 54; ++y)
            for (int x = 0; x < 54; ++x) {
                if (std::hypot(x + 0.5 - 27, y + 0.5 - 27) > 27) corners_black = corners_black && k->at(x, y) == Rgb{};
                if (y < 27 && bright(k->at(x, y))) sum_x += x + 0.5, ++n;
            }
        expect(corners_black, hex(id) + ": corners are not black");
        bool clockwise = id == 0x1031;
        expect(n > 0 && (clockwise ? sum_x / n > 29 : sum_x / n < 25),
               hex(id) + ": index is not turned " + (clockwise ? "clockwise" : "counter-clockwise"));
    }
    for (Lamp lamp : {Lamp{0x1010, 312, 58, true}, Lamp{0x1020, 516, 170, false}}) {
        const Canvas* lit = picture(korst, lamp.id);
        if (!lit) continue;
        std::set<uint32_t> under, beside;
        bool colour_ok = true;
        int count = 0;
        for (int y = 0; y < lit->height(); ++y)
            for (int x = 0; x < lit->width(); ++x) {
                Rgb p = lit->at(x, y), q = face->at(lamp.x + x, lamp.y + y);
                uint32_t key = uint32_t(q.r) << 16 | q.g << 8 | q.b;
                if (p == Rgb{}) {
                    beside.insert(key);
                    continue;
                }
                ++count;
                under.insert(key);
                colour_ok = colour_ok &&
                            (lamp.yellow ? p.r > 200 && p.g > 150 && p.b < 100 : p.r < 100 && p.g > 200 && p.b > 200);
            }
        expect(colour_ok && count > 100,
               hex(lamp.id) + ": lamp is not a " + (lamp.yellow ? "yellow" : "cyan") + " triangle on black");
        expect(under.size() == 1 && beside.count(*under.begin()) == 0,
               hex(lamp.id) + ": the face's lamp window does not match the lamp's triangle");
    }
}

void check_brevane_face(const Module& brevane) {
    const Canvas* face = picture(brevane, 0x1000);
    if (!face) return;
    const Rgb outline = face->at(337, 29);  // corner of the ALT button
    const std::pair<Rect, const char*> buttons[] = {
        {{337, 29, 74, 48}, "ALT"},
        {{337, 90, 74, 48}, "F/TDN"},
        {{259, 90, 74, 48}, "FND CPL"},
        {{114, 90, 36, 30}, "NAVD CPL"},
    };
    for (auto [r, name] : buttons) check_button(*face, outline, r, std::string("brevane face: ") + name + " button");
    const std::pair<Rect, const char*> knobs[] = {
        {{42, 34, 36, 36}, "IAS"},    {{115, 34, 36, 36}, "HDG"},   {{187, 34, 36, 36}, "VS"},
        {{259, 34, 36, 36}, "ALT.A"}, {{416, 34, 36, 36}, "CR.HT"}, {{416, 95, 36, 36}, "HT/HOV"},
        {{489, 34, 36, 36}, "BARO"},  {{561, 34, 36, 36}, "UPLIM"}, {{489, 95, 36, 36}, "CRS"},
        {{561, 95, 36, 36}, "DH"},
    };
    for (auto [areas, name] : knobs)
        check_knob(*face, outline, areas, areas.x, std::string("brevane face: ") + name + " knob");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artcheck <art folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    Module korst = load(folder / "korst", drawn(afcp::bitmap::Module::korst));
    Module brevane = load(folder / "brevane", drawn(afcp::bitmap::Module::brevane));
    check_plain(korst, brevane);
    check_ground_speed(korst);
    check_no_plain_fill_shows(korst);
    check_tapes_read_right(korst);
    check_annunciator(korst);
    check_korst_face(korst);
    check_brevane_face(brevane);
    if (failures) {
        std::fprintf(stderr, "artcheck: %d failure(s)\n", failures);
        return 1;
    }
    std::printf("artcheck: %zu + %zu bitmaps as laid out\n", korst.size(), brevane.size());
    return 0;
}
