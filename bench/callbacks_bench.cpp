// What each callback costs beside its floor, the least work it cannot avoid: the per-update step beside four bare
// variable reads, each annunciator text beside a bare snprintf of the same format and value into a buffer of the
// same size, each command beside a bare read-modify-write of the block (with the variable it reads and the event
// it sends), and the image, lamp and marker callbacks beside their own body written inline.
//
// The host calls everything through pointers, and so do these loops. Where a callback changes the state it
// reads, both loops put the same starting state back before each call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/ratio_reporter.h"
#include "display/display.h"
#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "modes/command_table.h"
#include "tests/stub/stub_host.h"
#include "variants/variant.h"

namespace afcp::bench {

namespace {

using benchmark::ClobberMemory;
using benchmark::DoNotOptimize;
using namespace bits;

constexpr uint32_t stab_on = masks::stab_set | masks::per_update_marks;

// A freshly loaded module, attached to the stand-in engine, with samples that pass the engage gate.
StateBlock& attached(uint32_t engaged, uint32_t armed = 0) {
    module = ModuleState{};
    zolm_test_reset();
    stub::install();
    stub::set(token::supply_level, 28.0);
    stub::set(token::enable_switch, 1.0);
    stub::set(token::airspeed, 80.0);
    stub::set(token::radar_height, 100.0);
    stub::set(token::current_altitude, 1234.0);
    stub::set(token::heading_bug, 90.0);
    stub::set(token::autopilot_altitude, 2000.0);
    stub::set(token::autopilot_airspeed, 5120.0);
    GaugeHeader& afcp = gauge_headers[kGaugeAFCP];
    afcp.service_callback(&afcp, kUpdate, 0);  // attaches
    afcp.service_callback(&afcp, kUpdate, 0);  // samples
    StateBlock& block = *module.block;
    block.engaged = engaged;
    block.armed = armed;
    block.altitude_reference = 1500.0;
    block.radar_height_reference = 500.0;
    block.hover_height_reference = 5.0;
    return block;
}

// Stops a benchmark whose callback did not do what it is measured doing, so that no row times the wrong path.
void expect(benchmark::State& state, bool done, const char* what) {
    if (!done) state.SkipWithError(what);
}

// A pointer the compiler cannot see through, as the host's pointers are.
template <typename Fn>
Fn opaque(Fn fn) {
    DoNotOptimize(fn);
    return fn;
}

// --- Per-update step ---------------------------------------------------------------------------------------

// ALT and HDG engaged under STAB: the usual state while flying.
constexpr uint32_t flying = stab_on | ALT | HDG;

void update(benchmark::State& state) {
    attached(flying);
    GaugeHeader* afcp = &gauge_headers[kGaugeAFCP];
    const GaugeServiceCallback service = opaque(afcp->service_callback);
    for (auto _ : state) service(afcp, kUpdate, 0);
}

void update_floor(benchmark::State& state) {
    attached(flying);
    for (auto _ : state) {
        read_variable(module.supply_sample);
        read_variable(module.enable_sample);
        read_variable(module.airspeed_sample);
        read_variable(module.radar_height_sample);
    }
}

// --- Annunciator texts --------------------------------------------------------------------------------------

// The host lends a buffer of the element's maximum length and the zero.
constexpr int wide = 11;
constexpr int narrow = 7;

struct TextCase {
    TextCallback callback;
    int max_length;
    uint32_t engaged;
    uint32_t armed;
    double sources[3];
    const char* format;  // the floor's
    double value;        // the floor's
    const char* shows;   // what both print
};

void text(benchmark::State& state, const TextCase& c) {
    attached(c.engaged, c.armed);
    char buffer[wide + 1] = {};
    TextElement element{};
    element.max_length = c.max_length;
    for (int i = 0; i < 3; ++i) element.source[i].value = c.sources[i];
    element.text_buffer = buffer;
    const TextCallback callback = opaque(c.callback);
    for (auto _ : state) {
        callback(&element);
        ClobberMemory();
    }
    expect(state, std::strcmp(buffer, c.shows) == 0, "the callback printed another text");
}

void text_floor(benchmark::State& state, const TextCase& c) {
    char buffer[wide + 1] = {};
    const size_t size = static_cast<size_t>(c.max_length) + 1;
    const char* format = c.format;
    double value = c.value;
    for (auto _ : state) {
        DoNotOptimize(format);
        DoNotOptimize(value);
        std::snprintf(buffer, size, format, value);
        ClobberMemory();
    }
    expect(state, std::strcmp(buffer, c.shows) == 0, "the floor printed another text");
}

// The lower-centre text shows words only: its floor prints the word through "%s".
void word_floor(benchmark::State& state, const char* word) {
    char buffer[narrow + 1] = {};
    for (auto _ : state) {
        DoNotOptimize(word);
        std::snprintf(buffer, sizeof buffer, "%s", word);
        ClobberMemory();
    }
    expect(state, std::strcmp(buffer, word) == 0, "the floor printed another text");
}

const TextCase upper_left = {
    display::upper_left_text, wide, stab_on | IAS | ALT, 0, {0, 0, 0}, "ALT %5.f", 1500.0, "ALT  1500"};
const TextCase upper_centre = {
    display::upper_centre_text, narrow, stab_on | HDG, 0, {275, 0, 0}, "HDG %3.f", 275.0, "HDG 275"};
const TextCase upper_right = {
    display::upper_right_text, wide, stab_on | IAS, 0, {0, 0, 5120}, "IAS %3.f", 80.0, "IAS  80"};
const TextCase lower_left = {
    display::lower_left_text, wide, stab_on | IAS, ALT, {2000, 0, 0}, "ALT.A %5.f", 2000.0, "ALT.A  2000"};
const TextCase lower_right = {
    display::lower_right_text, wide, stab_on | HDG, ALT, {2000, 0, 0}, "ALT.A %5.f", 2000.0, "ALT.A  2000"};
const TextCase lower_centre = {display::lower_centre_text, narrow, stab_on, LOC, {0, 0, 0}, "%s", 0.0, "LOC"};

// --- Commands ------------------------------------------------------------------------------------------------

CommandHandler handler(const char* name) {
    for (const CommandEntry& e : command_table)
        if (std::strcmp(e.name, name) == 0) return opaque(e.handler);
    return nullptr;
}

// Mode engage through the gate: HDG from ALT under STAB.
constexpr uint32_t before_hdg = stab_on | ALT;

void hdg_engage(benchmark::State& state) {
    StateBlock& block = attached(before_hdg);
    const CommandHandler hdg = handler("HDG");
    for (auto _ : state) {
        block.engaged = before_hdg;
        block.armed = 0;
        ClobberMemory();
        hdg(0, 0);
    }
    expect(state, block.engaged == (stab_on | HDG | ALT) && block.armed == HDG, "HDG did not engage");
}

void hdg_engage_floor(benchmark::State& state) {
    StateBlock& block = attached(before_hdg);
    for (auto _ : state) {
        block.engaged = before_hdg;
        block.armed = 0;
        ClobberMemory();
        StateBlock* b = module.block;
        b->engaged = (b->engaged & masks::heading_keep) | HDG;
        ClobberMemory();
    }
}

// Mode engage that reads a variable: ALT from V/S under STAB, the current altitude read fresh.
constexpr uint32_t before_alt = stab_on | VS;

void alt_engage(benchmark::State& state) {
    StateBlock& block = attached(before_alt);
    const CommandHandler alt = handler("ALT");
    for (auto _ : state) {
        block.engaged = before_alt;
        ClobberMemory();
        alt(0, 0);
    }
    expect(state, block.engaged == (stab_on | ALT) && block.altitude_reference == 1200.0, "ALT did not engage");
}

void alt_engage_floor(benchmark::State& state) {
    StateBlock& block = attached(before_alt);
    for (auto _ : state) {
        block.engaged = before_alt;
        ClobberMemory();
        DoNotOptimize(read_fresh(token::current_altitude));
        StateBlock* b = module.block;
        b->engaged = (b->engaged & ~masks::vertical_group) | ALT;
        ClobberMemory();
    }
}

// Reference step on the simulator: HDG_RIGHT reads the bug and sends it one degree on.
void hdg_right(benchmark::State& state) {
    attached(stab_on);
    const CommandHandler right = handler("HDG_RIGHT");
    for (auto _ : state) right(0, 0);
    expect(state, stub::counts.last_event == event::heading_bug_set && stub::counts.last_parameter == 91,
           "HDG_RIGHT did not send 91");
}

void hdg_right_floor(benchmark::State& state) {
    attached(stab_on);
    for (auto _ : state) {
        const double bug = read_fresh(token::heading_bug);
        send_event(event::heading_bug_set, static_cast<uint32_t>(to_int32(bug) + 1));
        module.countdown[kFeedbackHDG] = 5;
        ClobberMemory();
    }
}

// Reference step in the block: CRHT_UP from 500 ft.
void crht_up(benchmark::State& state) {
    StateBlock& block = attached(stab_on);
    const CommandHandler up = handler("CRHT_UP");
    for (auto _ : state) {
        block.radar_height_reference = 500.0;
        ClobberMemory();
        up(0, 0);
    }
    expect(state, block.radar_height_reference == 510.0, "CRHT_UP did not step");
}

void crht_up_floor(benchmark::State& state) {
    StateBlock& block = attached(stab_on);
    for (auto _ : state) {
        block.radar_height_reference = 500.0;
        ClobberMemory();
        module.block->radar_height_reference += 10.0;
        module.countdown[kFeedbackCRHT] = 5;
        ClobberMemory();
    }
}

// Trim in beep-trim state (no IAS, no hover, no lone V/S or ALT): a stored step and ATT requested.
void trim_up(benchmark::State& state) {
    StateBlock& block = attached(stab_on);
    const CommandHandler up = handler("TRIM_UP");
    for (auto _ : state) up(0, 0);
    expect(state, block.fore_aft_input == 0.15 && block.armed == ATT, "TRIM_UP stored no beep-trim step");
}

void trim_up_floor(benchmark::State& state) {
    attached(stab_on);
    for (auto _ : state) {
        StateBlock* b = module.block;
        b->fore_aft_input = 0.15;
        b->armed |= ATT;
        ClobberMemory();
    }
}

// Ground speed: GS_FORWARD from 0 kt.
void gs_forward(benchmark::State& state) {
    attached(stab_on);
    const CommandHandler forward = handler("GS_FORWARD");
    for (auto _ : state) {
        module.fore_aft_speed_setting = 0;
        ClobberMemory();
        forward(0, 0);
    }
    expect(state, module.fore_aft_speed_setting == 1, "GS_FORWARD did not step");
}

void gs_forward_floor(benchmark::State& state) {
    attached(stab_on);
    for (auto _ : state) {
        module.fore_aft_speed_setting = 0;
        ClobberMemory();
        module.fore_aft_speed_setting += 1;
        ClobberMemory();
    }
}

// The call alone: a handler that does nothing, called through its pointer as the host and the engine call every
// command. Beside the same floor as GS_FORWARD, it shows how much of a command's ratio the call itself takes.
int32_t AFCP_STDCALL empty_handler(int32_t, int32_t) { return 0; }

void empty_call(benchmark::State& state) {
    attached(stab_on);
    const CommandHandler empty = opaque(&empty_handler);
    for (auto _ : state) {
        module.fore_aft_speed_setting = 0;
        ClobberMemory();
        empty(0, 0);
    }
}

// --- Lamps, images and markers ---------------------------------------------------------------------------

void value_callback(benchmark::State& state, ValueCallback callback, int8_t* countdown, int8_t start) {
    ElementHead element{};
    const ValueCallback call = opaque(callback);
    for (auto _ : state) {
        if (countdown != nullptr) *countdown = start;
        ClobberMemory();
        DoNotOptimize(call(&element));
    }
}

void stab_lamp(benchmark::State& state) {
    attached(stab_on);
    value_callback(state, display::stab_lamp, nullptr, 0);
}

void stab_lamp_floor(benchmark::State& state) {
    attached(stab_on);
    for (auto _ : state) {
        ClobberMemory();
        const StateBlock* b = module.block;
        DoNotOptimize(b != nullptr && (b->engaged & STAB) != 0 ? -1.0 : 0.0);
    }
}

void navigation_lamp(benchmark::State& state) {
    attached(stab_on | HDG, LOC);
    value_callback(state, display::navigation_lamp, nullptr, 0);
}

void navigation_lamp_floor(benchmark::State& state) {
    attached(stab_on | HDG, LOC);
    for (auto _ : state) {
        ClobberMemory();
        const StateBlock* b = module.block;
        DoNotOptimize(b != nullptr && ((b->armed | b->engaged) & masks::navigation_modes) != 0 ? 0.0 : -1.0);
    }
}

// A pressed button counting down from 5, and a knob turned down counting up from -5.
void button_image(benchmark::State& state) {
    attached(stab_on);
    value_callback(state, display::button_image<kFeedbackALT>, &module.countdown[kFeedbackALT], 5);
}

void button_image_floor(benchmark::State& state) {
    attached(stab_on);
    int8_t& c = module.countdown[kFeedbackALT];
    for (auto _ : state) {
        c = 5;
        ClobberMemory();
        DoNotOptimize(c > 0 ? (--c, 0.0) : -1.0);
    }
}

void knob_image(benchmark::State& state) {
    attached(stab_on);
    value_callback(state, display::knob_image<kFeedbackHDG>, &module.countdown[kFeedbackHDG], -5);
}

void knob_image_floor(benchmark::State& state) {
    attached(stab_on);
    int8_t& c = module.countdown[kFeedbackHDG];
    for (auto _ : state) {
        c = -5;
        ClobberMemory();
        DoNotOptimize(c < 0 ? (++c, 0.0) : c > 0 ? (--c, 1.0) : -1.0);
    }
}

// Both settings away from 0, so the markers also write the hover speeds into the block.
void markers(int32_t fore_aft, int32_t lateral) {
    attached(stab_on | HOV | HOV_SUB_A);
    module.fore_aft_speed_setting = fore_aft;
    module.lateral_speed_setting = lateral;
}

void fore_aft_marker(benchmark::State& state) {
    markers(10, -5);
    value_callback(state, display::fore_aft_marker, nullptr, 0);
}

void fore_aft_marker_floor(benchmark::State& state) {
    markers(10, -5);
    for (auto _ : state) {
        ClobberMemory();
        const double knots = module.fore_aft_speed_setting;
        module.block->fore_aft_input = knots * afcp::units::knots_to_feet_per_second;
        DoNotOptimize(135.0 + 8.1 * knots);
    }
}

void lateral_marker(benchmark::State& state) {
    markers(10, -5);
    value_callback(state, display::lateral_marker, nullptr, 0);
}

void lateral_marker_floor(benchmark::State& state) {
    markers(10, -5);
    for (auto _ : state) {
        ClobberMemory();
        const double knots = module.lateral_speed_setting;
        module.block->lateral_input = knots * afcp::units::knots_to_feet_per_second;
        DoNotOptimize(217.0 - 8.1 * knots);
    }
}

// --- Registration ------------------------------------------------------------------------------------------

constexpr double update_mark = 1.5;
constexpr double text_mark = 1.3;
constexpr double command_mark = 3.0;
constexpr double no_mark = 0.0;
constexpr const char* call_alone = "(the call alone: an empty handler)";

template <typename Callback, typename Floor>
void pair(RatioReporter& reporter, const std::string& name, double mark, Callback callback, Floor floor) {
    benchmark::RegisterBenchmark(name.c_str(), callback);
    benchmark::RegisterBenchmark((name + floor_suffix).c_str(), floor);
    reporter.expect(name, mark);
}

void text_pair(RatioReporter& reporter, const std::string& name, const TextCase& c) {
    pair(
        reporter, name, text_mark, [&c](benchmark::State& s) { text(s, c); },
        [&c](benchmark::State& s) { text_floor(s, c); });
}

void register_all(RatioReporter& reporter) {
    pair(reporter, "update (AFCP service, attached)", update_mark, update, update_floor);

    text_pair(reporter, "upper_left_text \"ALT %5.f\"", upper_left);
    text_pair(reporter, "upper_centre_text \"HDG %3.f\"", upper_centre);
    text_pair(reporter, "upper_right_text \"IAS %3.f\"", upper_right);
    text_pair(reporter, "lower_left_text \"ALT.A %5.f\"", lower_left);
    text_pair(reporter, "lower_right_text \"ALT.A %5.f\"", lower_right);
    pair(
        reporter, "lower_centre_text \"LOC\"", text_mark, [](benchmark::State& s) { text(s, lower_centre); },
        [](benchmark::State& s) { word_floor(s, "LOC"); });

    pair(reporter, "HDG (engage through the gate)", command_mark, hdg_engage, hdg_engage_floor);
    pair(reporter, "ALT (engage, reads altitude)", command_mark, alt_engage, alt_engage_floor);
    pair(reporter, "HDG_RIGHT (read and send)", command_mark, hdg_right, hdg_right_floor);
    pair(reporter, "CRHT_UP", command_mark, crht_up, crht_up_floor);
    pair(reporter, "TRIM_UP (beep trim)", command_mark, trim_up, trim_up_floor);
    pair(reporter, "GS_FORWARD", command_mark, gs_forward, gs_forward_floor);
    pair(reporter, call_alone, no_mark, empty_call, gs_forward_floor);
    reporter.call_alone(call_alone);

    if constexpr (Variant::afcp_has_feedback_images) {
        pair(reporter, "stab_lamp", no_mark, stab_lamp, stab_lamp_floor);
        pair(reporter, "navigation_lamp", no_mark, navigation_lamp, navigation_lamp_floor);
        pair(reporter, "button_image (ALT, pressed)", no_mark, button_image, button_image_floor);
        pair(reporter, "knob_image (HDG, turned down)", no_mark, knob_image, knob_image_floor);
    }
    pair(reporter, "fore_aft_marker", no_mark, fore_aft_marker, fore_aft_marker_floor);
    pair(reporter, "lateral_marker", no_mark, lateral_marker, lateral_marker_floor);
}

}  // namespace

}  // namespace afcp::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    afcp::bench::RatioReporter reporter(std::string(afcp::Variant::module_name));
    afcp::bench::register_all(reporter);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    zolm_test_reset();
    return reporter.failed() ? 1 : 0;
}
