// The preview host on the real modules under Wine: scenarios played, pictures checked where they matter (lamps,
// pressed buttons and turned knobs, tape offsets, annunciator boxes), clicks and key events reaching the
// simulator, and scenarios that cannot be played.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "preview/panel_host.h"
#include "preview/player.h"
#include "tests/conformance/check.h"
#include "tests/preview/run_cases.h"

namespace {

using art::Canvas;
using art::Rgb;
using preview::PanelHost;
using preview::Player;

using preview_tests::services;

// A module played through a scenario, its snapshots kept.
struct Run {
    PanelHost host;
    Player player;
    Run(const char* module, const std::string& scenario) : host(module, services), player(host) {
        player.play(host_core::parse_scenario("test.txt", scenario, host.gauges()));
    }
    const Canvas& picture(const std::string& snapshot, const std::string& gauge) const {
        return player.picture(snapshot, gauge);
    }
};

struct Box {
    int x, y, w, h;
};

int count(const Canvas& c, Box b, const std::function<bool(Rgb)>& test) {
    int n = 0;
    for (int y = b.y; y < b.y + b.h; ++y)
        for (int x = b.x; x < b.x + b.w; ++x) n += test(c.at(x, y)) ? 1 : 0;
    return n;
}

// Whether box `b` of `c` shows `source` from (sx, sy) on, pixel for pixel.
bool shows(const Canvas& c, Box b, const Canvas& source, int sx = 0, int sy = 0) {
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
            if (!(c.at(b.x + x, b.y + y) == source.at(sx + x, sy + y))) return false;
    return true;
}

// CHECK_STR on a std::string result, kept alive for the comparison.
#define CHECK_TEXT(text, expected)                     \
    do {                                               \
        const std::string check_text_value = (text);   \
        CHECK_STR(check_text_value.c_str(), expected); \
    } while (0)

bool yellow(Rgb p) { return p.r > 200 && p.g > 150 && p.b < 100; }

// Enough speed and height for the engage gate, then attach and one sampling update.
const std::string flying =
    "set airspeed 95\nset radar_height 300\nset current_altitude 1480\nset heading_bug 90\n"
    "set autopilot_airspeed 5120\nupdate 2\n";

std::string message_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

// "p3": written step by step, which keeps GCC 12 from a false -Wrestrict alarm on "p" + std::to_string(3).
std::string numbered(const char* stem, int n) {
    std::string name = stem;
    name += std::to_string(n);
    return name;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

CONFORMANCE_CASE(stab_lamp_is_lit_while_stab_is_off) {
    const Box lamp{312, 58, 21, 19};
    Run run("korstpanel.dll", "snapshot detached\n" + flying +
                                  "snapshot off\nclick AFCP 320 100\nupdate\nsnapshot on\n"
                                  "click Stab 0 31\nupdate\nsnapshot off-again\n");
    const Canvas face = run.host.bitmap_pixels(0x1000);
    CHECK(count(run.picture("detached", "AFCP"), lamp, yellow) > 100);
    CHECK(count(run.picture("off", "AFCP"), lamp, yellow) > 100);
    CHECK(shows(run.picture("on", "AFCP"), lamp, face, lamp.x, lamp.y));
    CHECK(count(run.picture("off-again", "AFCP"), lamp, yellow) > 100);
    // Only the triangle is drawn: the lamp bitmap's black surround leaves the face as it is.
    CHECK(run.picture("off", "AFCP").at(lamp.x, lamp.y) == face.at(lamp.x, lamp.y));
}

CONFORMANCE_CASE(a_press_shows_for_five_updates_and_a_turn_in_its_direction) {
    const Box alt_button{85, 78, 74, 48}, alta_knob{190, 74, 54, 54};
    std::string scenario = flying + "click AFCP 85 78\nclick AFCP 190 127\nsnapshot p0\n";
    for (int i = 1; i <= 6; ++i) scenario += "update\nsnapshot " + numbered("p", i) + "\n";
    scenario += "click AFCP 243 127\nupdate\nsnapshot turned-up\n";
    Run run("korstpanel.dll", scenario);
    const Canvas face = run.host.bitmap_pixels(0x1000), pressed = run.host.bitmap_pixels(0x1040);
    const Canvas down = run.host.bitmap_pixels(0x1030), up = run.host.bitmap_pixels(0x1031);
    // The host draws a press on its next frame, shows it for five, then the face again.
    CHECK(shows(run.picture("p0", "AFCP"), alt_button, face, alt_button.x, alt_button.y));
    for (int i = 1; i <= 5; ++i) CHECK(shows(run.picture(numbered("p", i), "AFCP"), alt_button, pressed));
    CHECK(shows(run.picture("p6", "AFCP"), alt_button, face, alt_button.x, alt_button.y));
    // The knob: the counter-clockwise picture for a decrease, the clockwise one for an increase; its black
    // corners leave the face.
    const Canvas& turned_down = run.picture("p1", "AFCP");
    CHECK(shows(turned_down, {alta_knob.x + 12, alta_knob.y + 12, 30, 30}, down, 12, 12));
    CHECK(turned_down.at(alta_knob.x, alta_knob.y) == face.at(alta_knob.x, alta_knob.y));
    CHECK(shows(run.picture("p6", "AFCP"), alta_knob, face, alta_knob.x, alta_knob.y));
    CHECK(shows(run.picture("turned-up", "AFCP"), {alta_knob.x + 12, alta_knob.y + 12, 30, 30}, up, 12, 12));
}

CONFORMANCE_CASE(tapes_stand_at_the_offset_of_their_setting) {
    const Box fore_aft_window{145, 40, 58, 178}, lateral_window{331, 101, 178, 57};
    std::string scenario = flying + "snapshot centred\n";
    for (int i = 0; i < 4; ++i) scenario += "click GS 150 40\n";   // forward, from the window's top edge
    for (int i = 0; i < 3; ++i) scenario += "click GS 390 158\n";  // left, to its right edge
    scenario +=
        "update\nsnapshot moved\n"
        "click GS 150 100\nclick GS 391 101\nclick GS 150 99\nclick GS 449 101\nupdate\nsnapshot edges\n";
    Run run("korstpanel.dll", scenario);
    const Canvas fore_aft = run.host.bitmap_pixels(0x2110), lateral = run.host.bitmap_pixels(0x2120);
    CHECK(shows(run.picture("centred", "GS"), fore_aft_window, fore_aft, 0, 135));
    CHECK(shows(run.picture("centred", "GS"), lateral_window, lateral, 217, 0));
    // Forward 4 kt: 135 + 32.4, drawn at the nearest pixel, 167; left 3 kt: 217 + 24.3, drawn at 241.
    CHECK(shows(run.picture("moved", "GS"), fore_aft_window, fore_aft, 0, 167));
    CHECK(shows(run.picture("moved", "GS"), lateral_window, lateral, 241, 0));
    // y 100 and x 391 reset; y 99 steps forward and x 449 right: 143.1 and 208.9.
    CHECK(shows(run.picture("edges", "GS"), fore_aft_window, fore_aft, 0, 143));
    CHECK(shows(run.picture("edges", "GS"), lateral_window, lateral, 209, 0));
}

namespace {

// The six text boxes of an annunciator, row by row: upper-left, upper-centre, upper-right, then the lower row.
std::vector<Box> text_boxes(const int columns[3], const int rows[2]) {
    const int widths[3] = {198, 126, 198};
    std::vector<Box> boxes;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) boxes.push_back({columns[c], rows[r], widths[c], 64});
    return boxes;
}

// Which boxes show text: each one with pixels other than its background, the others all background.
std::string shown_boxes(const Canvas& c, const std::vector<Box>& boxes, Rgb background) {
    std::string shown;
    for (const Box& b : boxes) {
        const int ink = count(c, b, [&](Rgb p) { return !(p == background); });
        shown += ink > 40 ? 'X' : ink == 0 ? '.' : '?';
    }
    return shown;
}

// ALT and HDG engaged, ALT.A armed, then the engine captures ALT.A: the annunciators of one module.
void check_annunciators(const char* module, const std::string& clicks, Rgb t_background) {
    Run run(module, "parameter Annunciator-T 255\n" + flying + clicks + "update\nsnapshot armed\n" +
                        "capture\nupdate\nsnapshot captured\n");
    const int columns[3] = {72, 315, 486}, rows[2] = {56, 120};
    const int t_columns[3] = {2, 244, 414}, t_rows[2] = {2, 66};
    const std::vector<Box> boxes = text_boxes(columns, rows), t_boxes = text_boxes(t_columns, t_rows);
    CHECK_TEXT(shown_boxes(run.picture("armed", "Annunciator"), boxes, {0, 0, 0}), ".XX..X");
    CHECK_TEXT(shown_boxes(run.picture("armed", "Annunciator-T"), t_boxes, t_background), ".XX..X");
    CHECK_TEXT(shown_boxes(run.picture("captured", "Annunciator"), boxes, {0, 0, 0}), ".XX...");
    CHECK_TEXT(shown_boxes(run.picture("captured", "Annunciator-T"), t_boxes, t_background), ".XX...");
}

}  // namespace

CONFORMANCE_CASE(annunciators_show_text_exactly_where_a_mode_is) {
    // Korst: STAB on (arms last only while it is), ALT button, HDG push, ALT.A push; Annunciator-T takes its
    // background from the parameter.
    check_annunciators("korstpanel.dll",
                       "click AFCP 320 100\nupdate\nclick AFCP 100 100\nclick AFCP 400 80\nclick AFCP 200 80\n",
                       {255, 0, 0});
    // Brevane: its own face; Annunciator-T keeps its background whatever the parameter.
    check_annunciators("brevanepanel.dll", "click AFCP 370 50\nclick AFCP 130 40\nclick AFCP 275 40\n", {2, 2, 2});
}

CONFORMANCE_CASE(commands_move_the_simulator_references_for_the_next_read) {
    {
        Run run("korstpanel.dll", flying +
                                      "click AFCP 409 101\nclick AFCP 662 127\nclick AFCP 217 101\n"
                                      "click IAS Select 0 15\ncommand HDG_RIGHT\n");
        host_core::Simulator& sim = run.host.simulator();
        CHECK_EQ(sim.get(107), 92);        // heading bug: two steps right
        CHECK_EQ(sim.get(120), 100);       // vertical speed: one step up
        CHECK_EQ(sim.get(109), 100);       // autopilot altitude: one step from 0
        CHECK_EQ(sim.get(145), 81 * 64);   // autopilot airspeed: 80 kt + 1, kept in 1/64 kt
        CHECK_EQ(sim.events().size(), 5);  // and each of them recorded
    }

    // A key-event area sends its event and calls nothing.
    Run brevane("brevanepanel.dll", flying + "click AFCP 524 69\nclick AFCP 260 90\n");
    CHECK_EQ(brevane.host.simulator().events().size(), 1);
    CHECK_EQ(brevane.host.simulator().events()[0].event, 65883);
}

CONFORMANCE_CASE(scenario_lines_that_cannot_be_read_name_their_line) {
    PanelHost host("korstpanel.dll", services);
    auto error = [&](const std::string& text) {
        return message_of([&] { host_core::parse_scenario("bad.txt", text, host.gauges()); });
    };
    CHECK_TEXT(error("# fine\n\nclick AFCP 100\n"), "bad.txt:3: expected 'click GAUGE X Y'");
    CHECK(contains(error("click Nope 1 2\n"), "bad.txt:1: unknown gauge 'Nope' (gauges: AFCP, IAS Select,"));
    CHECK_TEXT(error("set wind 5\n"), "bad.txt:1: unknown variable 'wind'");
    CHECK(contains(error("set airspeed fast\n"), "bad.txt:1: expected 'set VARIABLE VALUE' with a finite number"));
    CHECK(contains(error("set airspeed nan\n"), "bad.txt:1: expected 'set VARIABLE VALUE' with a finite number"));
    CHECK(contains(error("set airspeed 1e999\n"), "with a finite number, not '1e999'"));
    CHECK(contains(error("update 0\n"), "bad.txt:1: expected 'update' or 'update N'"));
    CHECK(contains(error("update 60000\nupdate 40001\n"), "bad.txt:2: the scenario plays more than 100000 frames"));
    CHECK(contains(error("frobnicate\n"), "bad.txt:1: unknown instruction 'frobnicate'"));
    CHECK(contains(error("click AFCP 746 0\n"), "bad.txt:1: (746, 0) lies outside AFCP (746 x 328)"));
    CHECK(contains(error("update\nparameter AFCP x\n"), "bad.txt:2: 'parameter' comes before the panel starts"));
    CHECK(contains(error("snapshot a\nsnapshot a\n"), "bad.txt:2: snapshot 'a' is already taken on line 1"));
    CHECK(contains(error("snapshot a/b\n"), "bad.txt:1: a snapshot name is"));
    CHECK(contains(error("parameter \"AFCP x\n"), "bad.txt:1: a double quote is not closed"));

    // Names with blanks, quoted or not, in any case; the text of a parameter is the rest of the line.
    const host_core::Scenario s = host_core::parse_scenario(
        "good.txt",
        "parameter High Modes Disengage two words\nparameter Annunciator-T \"  -1\"\nset 108 2.5\n"
        "click \"IAS Select\" 31 31 # lower right\nclick ias select 0 0\nclick AFCP 745 327\n",
        host.gauges());
    CHECK_EQ(s.steps.size(), 6);
    if (s.steps.size() != 6) return;
    using host_core::ClickStep, host_core::ParameterStep, host_core::SetStep;
    CHECK_EQ(std::get<ParameterStep>(s.steps[0].what).gauge, 5);
    CHECK_STR(std::get<ParameterStep>(s.steps[0].what).text.c_str(), "two words");
    CHECK_STR(std::get<ParameterStep>(s.steps[1].what).text.c_str(), "  -1");
    CHECK_EQ(std::get<SetStep>(s.steps[2].what).token, 108);
    CHECK_EQ(std::get<ClickStep>(s.steps[3].what).gauge, 1);
    CHECK_EQ(std::get<ClickStep>(s.steps[4].what).gauge, 1);
}

CONFORMANCE_CASE(steps_that_cannot_be_played_name_their_line) {
    auto error = [](const std::string& text) { return message_of([&] { Run run("korstpanel.dll", text); }); };
    CHECK_TEXT(error("command ALT\n"),
               "test.txt:1: the engine has no commands yet: the AFCP gauge registers them on its first update");
    CHECK_TEXT(error("update\ncommand NOPE\n"), "test.txt:2: unknown command 'NOPE'");
    CHECK_TEXT(error("capture\n"),
               "test.txt:1: the engine has no state block yet: the AFCP gauge attaches on its first update");
    CHECK_TEXT(error("\nclick AFCP 5 5\n"), "test.txt:2: no mouse area of AFCP holds (5, 5)");
    CHECK(contains(message_of([] { PanelHost host("missing.dll"); }), "cannot load missing.dll"));
}
