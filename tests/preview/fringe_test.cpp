// No dark fringe where the host draws over the Korst face: with a lamp lit, buttons pressed and knobs turned, the
// preview's picture shows the face itself wherever an overlay leaves its pure black pixels undrawn, and every
// drawn pixel on an overlay's edge is at least as light as the face beneath it (less a little for the two
// palettes). An edge blended towards black, as anti-aliasing against a black surround gives, fails here.
#include <string>
#include <vector>

#include "preview/panel_host.h"
#include "preview/player.h"
#include "tests/conformance/check.h"

namespace {

using art::Canvas;
using art::Rgb;

// How much darker than the face an edge pixel may be: the face and the overlays have palettes of their own.
constexpr double kPaletteSlack = 12;

double lightness(Rgb p) { return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b; }

struct Overlay {
    const char* snapshot;
    const char* what;
    int bitmap, x, y;
};

struct Seams {
    int shown = 0;         // drawn pixels that differ from the face: the overlay is there
    int face_changed = 0;  // undrawn pixels (and the ring around the overlay) that do not show the face
    int dark_edges = 0;    // drawn edge pixels darker than the face beneath
};

Seams seams(const Canvas& shown, const Canvas& face, const Canvas& overlay, int ox, int oy) {
    Seams s;
    auto drawn = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < overlay.width() && y < overlay.height() && !(overlay.at(x, y) == Rgb{});
    };
    for (int y = -2; y < overlay.height() + 2; ++y)
        for (int x = -2; x < overlay.width() + 2; ++x) {
            const int fx = ox + x, fy = oy + y;
            if (!face.inside(fx, fy)) continue;
            const Rgb on_panel = shown.at(fx, fy), beneath = face.at(fx, fy);
            if (!drawn(x, y)) {
                s.face_changed += on_panel == beneath ? 0 : 1;
                continue;
            }
            s.shown += on_panel == beneath ? 0 : 1;
            const bool edge = !drawn(x - 1, y) || !drawn(x + 1, y) || !drawn(x, y - 1) || !drawn(x, y + 1);
            if (edge && lightness(on_panel) < lightness(beneath) - kPaletteSlack) ++s.dark_edges;
        }
    return s;
}

CONFORMANCE_CASE(overlays_meet_the_face_without_a_dark_fringe) {
    preview::PanelHost host("korstpanel.dll");
    preview::Player player(host);
    // First STAB off, so its lamp is lit, with ALT pressed, HDG turned right and ALT.A turned left; then STAB on
    // and NAV pressed, which arms a navigation mode: its lamp lights.
    player.play(host_core::parse_scenario("fringe.txt",
                                        "set airspeed 95\nset radar_height 300\nset current_altitude 1480\n"
                                        "update 2\nclick AFCP 100 100\nclick AFCP 420 110\nclick AFCP 200 110\n"
                                        "update\nsnapshot first\nupdate 5\nclick AFCP 320 100\nupdate\n"
                                        "click AFCP 400 220\nupdate\nsnapshot second\n",
                                        host.gauges()));
    const Canvas face = host.bitmap_pixels(0x1000);
    const Overlay overlays[] = {
        {"first", "STAB lamp", 0x1010, 312, 58},         {"first", "ALT pressed", 0x1040, 85, 78},
        {"first", "HDG turned right", 0x1031, 382, 74},  {"first", "ALT.A turned left", 0x1030, 190, 74},
        {"second", "navigation lamp", 0x1020, 516, 170}, {"second", "NAV pressed", 0x1040, 385, 199},
    };
    for (const Overlay& o : overlays) {
        const Seams s = seams(player.picture(o.snapshot, "AFCP"), face, host.bitmap_pixels(o.bitmap), o.x, o.y);
        if (s.shown < 20 || s.face_changed != 0 || s.dark_edges != 0)
            std::printf("%s: %d pixels shown, %d around it not the face, %d dark edge pixels\n", o.what, s.shown,
                        s.face_changed, s.dark_edges);
        CHECK(s.shown >= 20);
        CHECK_EQ(s.face_changed, 0);
        CHECK_EQ(s.dark_edges, 0);
    }
}

// The check itself: an overlay whose rim fades into black, as drawn against a black surround, is caught.
CONFORMANCE_CASE(a_rim_blended_into_black_is_caught) {
    Canvas face(10, 10, Rgb{60, 60, 60}), overlay(10, 10), shown(10, 10, Rgb{60, 60, 60});
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < 8; ++x) {
            const bool rim = x == 2 || x == 7 || y == 2 || y == 7;
            overlay.set(x, y, rim ? Rgb{25, 25, 25} : Rgb{90, 90, 90});
            shown.set(x, y, overlay.at(x, y));
        }
    CHECK_EQ(seams(shown, face, overlay, 0, 0).dark_edges, 20);
    CHECK_EQ(seams(face, face, Canvas(10, 10), 0, 0).face_changed, 0);
}

}  // namespace
