// The web page's side of the host core: the module and the engine are linked in, the bitmaps are embedded as
// PNG files (/bitmaps/<id>.png), which the page decodes. The page's script calls the functions below;
// each answers a JSON text (an object with "error" when the call is refused) that stays valid until the next
// call.
#include <emscripten/emscripten.h>

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO_FAILURE_STRINGS
#include <stb_image.h>

#include "flight/parameters.h"
#include "flight/world.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "host/instructions.h"
#include "host/json.h"
#include "host/mode_names.h"
#include "host/panel.h"
#include "host/runner.h"
#include "host/scenario.h"
#include "host/simulator.h"
#include "host/trainer.h"
#include "host/variables.h"
#include "layout/area_table.h"
#include "modes/command_table.h"
#include "variants/variant.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

using host_core::DrawStep;
using host_core::Panel;

// The module's bitmaps, as the build embedded them (/bitmaps/<id in hex>.png). The core needs their sizes, which
// the PNG headers give; the page decodes the files itself (the browser's decoder, off the page's thread).
class EmbeddedBitmaps : public host_core::BitmapSource {
public:
    static constexpr const char* kFolder = "/bitmaps";

    Size size(int id) override {
        if (auto it = sizes_.find(id); it != sizes_.end()) return it->second;
        int w = 0, h = 0, channels = 0;
        if (stbi_info(path(id).c_str(), &w, &h, &channels) == 0)
            throw std::runtime_error("the module has no bitmap " + path(id));
        return sizes_[id] = Size{w, h};
    }
    // The PNG file's bytes; empty when the module has no such bitmap.
    const std::vector<uint8_t>& file(int id) {
        std::vector<uint8_t>& bytes = files_[id];
        if (bytes.empty()) {
            if (std::FILE* f = std::fopen(path(id).c_str(), "rb")) {
                uint8_t chunk[4096];
                for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
                std::fclose(f);
            }
        }
        return bytes;
    }
    // Every bitmap the build embedded, by id.
    static std::vector<int> ids() {
        std::vector<int> out;
        if (DIR* d = opendir(kFolder)) {
            while (const dirent* e = readdir(d)) {
                unsigned id = 0;
                char rest[8] = {};
                if (std::sscanf(e->d_name, "%X.%7s", &id, rest) == 2 && std::strcmp(rest, "png") == 0)
                    out.push_back(static_cast<int>(id));
            }
            closedir(d);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    static std::string path(int id) {
        char text[32];
        std::snprintf(text, sizeof text, "%s/%X.png", kFolder, static_cast<unsigned>(id));
        return text;
    }
    std::map<int, Size> sizes_;
    std::map<int, std::vector<uint8_t>> files_;
};

using host_core::Json;

EmbeddedBitmaps bitmaps;
std::unique_ptr<Panel> panel;
std::string answer;
host_core::Trace trace;  // the flight as the strip chart draws it, fed at every host frame flown

// The names of the module's command table, which the engine receives on the first update.
const std::vector<std::string>& module_commands() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const afcp::CommandEntry& e : afcp::command_table)
            out.emplace_back(e.name, strnlen(e.name, sizeof e.name));
        return out;
    }();
    return names;
}

const char* reply(const Json& j) {
    answer = j.text();
    return answer.c_str();
}

const char* refuse(const std::string& what) {
    Json j;
    j.open('{').key("error").str(what).close('}');
    return reply(j);
}

const char* ok() {
    Json j;
    j.open('{').key("ok").boolean(true).close('}');
    return reply(j);
}

// Runs an action of the page; a refusal becomes {"error": ...}.
template <typename Action>
const char* guarded(Action action) {
    if (!panel) return refuse("the panel is not open");
    try {
        return action();
    } catch (const std::exception& e) {
        return refuse(e.what());
    }
}

int gauge_slot(int gauge) {
    if (gauge < 0 || gauge >= static_cast<int>(panel->gauges().size()))
        throw std::runtime_error("no gauge " + std::to_string(gauge));
    return gauge;
}

void write_words(Json& j) {
    j.key("engaged").num(panel->engaged()).key("armed").num(panel->armed()).key("attached").boolean(panel->attached());
    const host_core::References r = panel->references();
    j.key("references").open('{');
    j.key("altitude").num(r.altitude).key("radar_height").num(r.radar_height).key("hover_height").num(r.hover_height);
    j.key("fore_aft").num(r.fore_aft).key("lateral").num(r.lateral).close('}');
}

}  // namespace

extern "C" {

// Opens the panel: the gauges, the simulator's variables, the mode bits and the cursor kinds the page needs.
EMSCRIPTEN_KEEPALIVE const char* panel_open() {
    try {
        panel = std::make_unique<Panel>(ImportTable, Linkage, bitmaps);
        panel->start();
    } catch (const std::exception& e) {
        panel.reset();
        return refuse(e.what());
    }
    Json j;
    j.open('{').key("module").str(afcp::Variant::module_name);
    j.key("gauges").open('[');
    for (const host_core::GaugeShape& g : panel->gauges())
        j.open('{').key("name").str(g.name).key("width").num(g.width).key("height").num(g.height).close('}');
    j.close(']').key("variables").open('[');
    for (const host_core::Variable& v : host_core::variables())
        j.open('{').key("name").str(v.name).key("token").num(v.token).key("unit").str(v.unit).key("source")
            .str(host_core::source_name(v.source)).close('}');
    j.close(']').key("bits").open('[');
    for (const host_core::ModeBit& b : host_core::mode_bits) j.open('[').num(b.bit).str(b.name).close(']');
    j.close(']').key("cursors").open('{');
    j.key("push").num(afcp::layout::cursor::push);
    j.key("increase").num(afcp::layout::cursor::increase);
    j.key("decrease").num(afcp::layout::cursor::decrease).close('}');
    j.key("most_frames").num(host_core::kMostFrames);
    // The host's clock, which the page keeps in step with: the physics and the engine's step, the host frame, the
    // longest flight a scenario may fly, and the trace's sampling.
    j.key("time").open('{');
    j.key("steps_per_second").num(host_core::kStepsPerSecond).key("step_seconds").num(host_core::kStepSeconds);
    j.key("frame_seconds").num(host_core::kFrameSeconds).key("most_flight_seconds").num(host_core::kMostFlightSeconds);
    j.key("sample_seconds").num(host_core::Trace::kSamplePeriod).close('}');
    // The text elements' format bits the page draws by: the module's own (centred, vertically centred) and the
    // two other Windows alignment bits, which the page honours too.
    constexpr uint32_t kTextRight = 0x2, kTextBottom = 0x8;
    // The AFCP face's controls: what each of its areas reaches (a command, or nothing), so that the page names
    // only what this module's face has; and the variant's rules the page's texts explain.
    j.key("afcp_commands").open('[');
    for (const afcp::layout::AreaRow& row : afcp::Variant::afcp_areas)
        if (row.command != nullptr) j.str(row.command);
    j.close(']');
    // The AFCP's areas as laid out, for the page's keys: which knob halves sit side by side.
    j.key("afcp_areas").open('[');
    for (const afcp::layout::AreaRow& row : afcp::Variant::afcp_areas)
        j.open('[').num(row.x).num(row.y).num(row.width).num(row.height).num(row.cursor).close(']');
    j.close(']');
    j.key("rules").open('{');
    j.key("stab_follows_modes").boolean(afcp::Variant::stab_follows_modes);
    j.key("tdn_hov_need_stab_ax1").boolean(afcp::Variant::tdn_hov_need_stab_ax1);
    j.key("nav_reads_receiver_flags").boolean(afcp::Variant::nav_reads_receiver_flags).close('}');
    j.key("text_flags").open('{');
    j.key("centred").num(afcp::text_format::centred).key("right").num(kTextRight);
    j.key("vertically_centred").num(afcp::text_format::vertically_centred).key("bottom").num(kTextBottom).close('}');
    j.key("bitmaps").open('[');
    for (int id : EmbeddedBitmaps::ids()) j.num(id);
    j.close(']');
    const flight::World& w = flight::airport();
    j.key("world").open('{');
    j.key("pad").open('{').key("north").num(0).key("east").num(0).close('}');
    j.key("runway").open('{').key("threshold_north").num(w.runway.threshold_north_ft).key("threshold_east")
        .num(w.runway.threshold_east_ft).key("course").num(w.runway.course_deg).key("length").num(w.runway.length_ft)
        .close('}');
    j.key("localizer_course").num(w.runway.course_deg);
    j.key("vor").open('{').key("north").num(w.vor_north_ft).key("east").num(w.vor_east_ft).close('}');
    j.key("elevation").num(w.elevation_ft).close('}');
    // The power gauges' marks, and a crash's causes in the order of the crash_cause variable: the name the
    // scenario language uses, the caption a pilot reads, and what limit was passed.
    // The rotor-speed range and the over-torque the flight model warns of (percent), and the torque of both
    // engines at their maximum continuous rating: above it the engines run on their time-limited take-off power.
    const flight::Parameters& parameters = flight::default_parameters();
    const flight::PowerCautions& cautions = parameters.cautions;
    const double continuous_torque = 100.0 * flight::State::kEngineCount *
                                     parameters.powertrain.engine.max_continuous_hp / parameters.rated_power_hp;
    j.key("power").open('{').key("take_off_torque").num(host_core::kTakeOffTorquePercent)
        .key("continuous_torque").num(continuous_torque)
        .key("low_rotor").num(100 * cautions.low_rotor).key("high_rotor").num(100 * cautions.high_rotor)
        .key("over_torque").num(100 * cautions.over_torque);
    // The bits of the reading's power_cautions.
    j.key("caution_bits").open('{').key("low_rotor").num(flight::Outputs::kLowRotor)
        .key("high_rotor").num(flight::Outputs::kHighRotor).key("over_torque").num(flight::Outputs::kOverTorque)
        .close('}').close('}');
    j.key("crash_causes").open('[');
    for (int i = 0; i < flight::kCrashCauses; ++i) {
        const auto cause = static_cast<flight::CrashCause>(i);
        j.open('{').key("name").str(flight::crash_cause_name(cause)).key("caption").str(host_core::crash_caption(cause))
            .key("detail").str(flight::crash_cause_text(cause)).close('}');
    }
    j.close(']');
    // The scenario language's instructions, as the scenario box's help names them.
    j.key("instructions").open('[');
    for (const host_core::InstructionRow& row : host_core::kInstructions)
        j.open('{').key("name").str(row.name).key("form").str(row.form).close('}');
    j.close(']');
    j.key("turbulence_levels").open('[');
    for (int i = 0; i < flight::kTurbulenceLevels; ++i)
        j.str(flight::turbulence_level_name(static_cast<flight::TurbulenceLevel>(i)));
    j.close(']');
    j.key("situations").open('[');
    for (const char* name : host_core::situation_names()) j.str(name);
    j.close(']').key("controls").open('[');
    for (size_t axis = 0; axis < host_core::control_names().size(); ++axis)
        j.open('{').key("name").str(host_core::control_names()[axis]).key("low")
            .num(host_core::control_low(static_cast<host_core::ControlAxis>(axis))).key("high").num(1).close('}');
    j.close(']');
    j.close('}');
    return reply(j);
}

// A bitmap's PNG file and its length in bytes; null for an id the module has no bitmap of.
EMSCRIPTEN_KEEPALIVE const uint8_t* panel_bitmap_file(int id, int* length) {
    const std::vector<uint8_t>& bytes = bitmaps.file(id);
    *length = static_cast<int>(bytes.size());
    return bytes.empty() ? nullptr : bytes.data();
}

// Everything the page shows: each gauge's drawing steps and texts (null for a gauge drawn as in the last view,
// when `changed_only`), the mode words, the references, and the key events sent from `events_from` on.
EMSCRIPTEN_KEEPALIVE const char* panel_view(int events_from, int changed_only) {
    return guarded([&] {
        static std::vector<std::vector<DrawStep>> last_sent;  // each gauge's steps as the last view sent them
        static uint64_t last_drawings = ~uint64_t{0};
        last_sent.resize(panel->gauges().size());
        // Nothing drawn since the last view: every gauge as it was.
        const bool none_drawn = changed_only != 0 && panel->drawings() == last_drawings;
        last_drawings = panel->drawings();
        Json j;
        j.open('{').key("gauges").open('[');
        for (size_t slot = 0; slot < panel->gauges().size(); ++slot) {
            const host_core::GaugeState& g = panel->gauge(static_cast<int>(slot));
            if (none_drawn || (changed_only != 0 && g.steps == last_sent[slot])) {
                j.raw("null");
                continue;
            }
            last_sent[slot] = g.steps;
            Json steps;
            steps.open('[');
            for (const DrawStep& s : g.steps) {
                steps.open('[');
                if (s.kind == DrawStep::image_step) {
                    steps.num(0).num(s.x).num(s.y).num(s.width).num(s.height).num(s.bitmap_id).num(s.from_x);
                    steps.num(s.from_y).num(s.black_is_clear ? 1 : 0);
                } else {
                    steps.num(1).num(s.x).num(s.y).num(s.width).num(s.height).num(s.text_colour);
                    steps.num(s.background_colour).num(s.format_flags).num(s.font_height).num(s.font_width);
                    steps.num(s.font_weight).str(s.text);
                }
                steps.close(']');
            }
            steps.close(']');
            j.open('{').key("steps").raw(steps.text()).key("texts").open('[');
            for (const std::string& t : g.texts) j.str(t);
            j.close(']').close('}');
        }
        j.close(']');
        write_words(j);
        const auto& events = panel->simulator().events();
        j.key("event_count").num(static_cast<double>(events.size())).key("events").open('[');
        for (size_t i = events_from < 0 ? 0 : static_cast<size_t>(events_from); i < events.size(); ++i)
            j.open('[')
                .num(events[i].event)
                .num(events[i].parameter)
                .str(host_core::describe_event(events[i]))
                .close(']');
        j.close(']').close('}');
        return reply(j);
    });
}

// The variables' current values, in the order of panel_open's list.
EMSCRIPTEN_KEEPALIVE const char* panel_variables() {
    return guarded([&] {
        Json j;
        j.open('[');
        for (const host_core::Variable& v : host_core::variables()) j.num(panel->simulator().get(v.token));
        j.close(']');
        return reply(j);
    });
}

// A variable by name or token number; the value as typed. Only a finite number is taken.
EMSCRIPTEN_KEEPALIVE const char* panel_set(const char* name, const char* value) {
    return guarded([&] {
        int32_t token = 0;
        if (!host_core::find_variable(name, token)) return refuse("unknown variable '" + std::string(name) + "'");
        double v = 0;
        if (!host_core::finite_number(value, v))
            return refuse("a variable's value is a finite number, not '" + std::string(value) + "'");
        panel->simulator().set(token, v);
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_update(int frames) {
    return guarded([&] {
        if (frames < 1 || frames > host_core::kMostFrames)
            return refuse("update takes 1 to " + std::to_string(host_core::kMostFrames) + " frames");
        for (int i = 0; i < frames; ++i) panel->frame();
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_click(int gauge, int x, int y) {
    return guarded([&] {
        const host_core::GaugeShape& g = panel->gauges().at(static_cast<size_t>(gauge_slot(gauge)));
        if (x < 0 || y < 0 || x >= g.width || y >= g.height)
            return refuse("(" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside " + g.name + " (" +
                          std::to_string(g.width) + " x " + std::to_string(g.height) + ")");
        const std::string reached = panel->click(gauge, x, y);
        Json j;
        j.open('{').key("reached").str(reached).close('}');
        return reply(j);
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_words() {
    return guarded([&] {
        Json j;
        j.open('{');
        write_words(j);
        j.close('}');
        return reply(j);
    });
}

// The texts of a gauge's text elements as last drawn, in element-tree order.
EMSCRIPTEN_KEEPALIVE const char* panel_texts(int gauge) {
    return guarded([&] {
        Json j;
        j.open('[');
        for (const std::string& t : panel->gauge(gauge_slot(gauge)).texts) j.str(t);
        j.close(']');
        return reply(j);
    });
}

// The cursor kind of the area under a pixel, or 0 where there is none.
EMSCRIPTEN_KEEPALIVE int panel_cursor(int gauge, int x, int y) {
    if (!panel || gauge < 0 || gauge >= static_cast<int>(panel->gauges().size())) return 0;
    const afcp::MouseArea* a = panel->area_at(gauge, x, y);
    return a != nullptr ? a->cursor : 0;
}

EMSCRIPTEN_KEEPALIVE const char* panel_command(const char* name) {
    return guarded([&] {
        panel->command(name);
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_capture() {
    return guarded([&] {
        Json j;
        j.open('{').key("captured").str(panel->capture()).close('}');
        return reply(j);
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_parameter(int gauge, const char* text) {
    return guarded([&] {
        panel->set_parameter(gauge_slot(gauge), text);
        return ok();
    });
}

}  // extern "C"

namespace {

// The aircraft as the instruments read it, the members of an object: feet, knots, degrees; null where a mode
// holds no reference or a receiver receives nothing.
void write_reading(Json& j, const host_core::Reading& r) {
    const std::pair<const char*, double> fields[] = {
        {"time", r.time}, {"airspeed", r.airspeed}, {"altitude", r.altitude}, {"radar_height", r.radar_height},
        {"heading", r.heading}, {"track", r.track}, {"pitch", r.pitch}, {"bank", r.bank},
        {"climb_rate", r.climb_rate}, {"ground_speed", r.ground_speed}, {"north", r.north}, {"east", r.east},
        {"localizer", r.localizer}, {"glide_slope", r.glide_slope}, {"threshold_distance", r.threshold_distance},
        {"torque", r.torque}, {"rotor_speed", r.rotor_speed}, {"engine_1_torque", r.engine_torque[0]},
        {"engine_2_torque", r.engine_torque[1]}};
    for (auto [name, value] : fields) j.key(name).num(value);  // null where not a number
    j.key("engines_out").num(r.engines_out).key("power_cautions").num(r.power_cautions);
    j.key("crash_cause").num(r.crash_cause);
    j.key("caution").str(host_core::caution_caption(r.caution_mode, r.caution_limit));
    j.key("refs").open('{');
    const std::pair<const char*, double> refs[] = {
        {"airspeed", r.refs.airspeed}, {"altitude", r.refs.altitude},
        {"selected_altitude", r.refs.selected_altitude}, {"vertical_speed", r.refs.vertical_speed},
        {"radar_height", r.refs.radar_height}, {"heading", r.refs.heading}, {"heading_bug", r.refs.heading_bug},
        {"course", r.refs.course}};
    for (auto [name, value] : refs) j.key(name).num(value);
    j.close('}');
    j.key("modes").str(host_core::pilot_modes(r.engaged)).key("armed").str(host_core::armed_modes(r.armed));
    j.key("engaged_word").num(r.engaged).key("armed_word").num(r.armed);
}

// Plays a scenario on the live panel, or nothing of it when a line is refused. Answers the log lines and the
// snapshots taken. Every host frame flown feeds the trace.
const char* play_text(const char* text, bool one_instruction) {
    return guarded([&] {
        try {
            const host_core::Scenario scenario = host_core::parse_scenario("", text, panel->gauges());
            if (one_instruction && scenario.steps.size() != 1)
                return refuse("expected one instruction, not " + std::to_string(scenario.steps.size()));
            struct Hooks : host_core::PlayHooks {
                Json log_lines, snapshots;
                Hooks() {
                    log_lines.open('[');
                    snapshots.open('[');
                }
                void snapshot(const host_core::SnapshotStep& s) override { snapshots.str(s.snapshot); }
                void log(const std::string& line) override { log_lines.str(line); }
                void flown_frame() override { trace.frame(*panel); }
            } hooks;
            host_core::check_playable(*panel, scenario, module_commands());
            host_core::play(*panel, scenario, hooks);
            hooks.log_lines.close(']');
            hooks.snapshots.close(']');
            Json j;
            j.open('{').key("log").raw(hooks.log_lines.text()).key("snapshots").raw(hooks.snapshots.text()).close('}');
            return reply(j);
        } catch (const host_core::ScenarioError& e) {
            // One instruction of the page's own: its message without the line number.
            const std::string where = host_core::where("", 1);
            const std::string what = e.what();
            if (one_instruction && what.rfind(where, 0) == 0) return refuse(what.substr(where.size()));
            throw;
        }
    });
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* panel_run(const char* text) { return play_text(text, false); }

// One instruction of the scenario language, for the page's own calls (situation, fly, wind, control): checked as
// a scenario's line is, refused with the bare reason.
EMSCRIPTEN_KEEPALIVE const char* panel_instruction(const char* text) { return play_text(text, true); }

// The aircraft as the instruments read it (feet, knots, degrees; null where a mode holds no reference or a
// receiver receives nothing), the pilot's modes, and the controls: the pilot's and what the blades get.
EMSCRIPTEN_KEEPALIVE const char* panel_reading() {
    return guarded([&] {
        const host_core::Reading r = host_core::read_aircraft(*panel);
        Json j;
        j.open('{');
        write_reading(j, r);
        const host_core::Simulator& sim = panel->simulator();
        j.key("flying").boolean(sim.flying());
        j.key("turbulence").open('{').key("level").str(flight::turbulence_level_name(
            static_cast<flight::TurbulenceLevel>(sim.turbulence_level()))).key("seed")
            .num(static_cast<double>(sim.turbulence_seed())).close('}');
        j.key("controls").open('[');
        for (const host_core::Variable& v : host_core::variables())
            if (v.source == host_core::Source::pilot) j.num(sim.get(v.token));
        j.close(']').key("blades").open('[');
        for (double c : sim.effective_controls()) j.num(c);
        j.close(']').close('}');
        return reply(j);
    });
}

// What the flight recorded since the last call: samples (readings, as panel_reading writes them) and marks [kind,
// time, modes]; "restarted" when a new flight began.
EMSCRIPTEN_KEEPALIVE const char* panel_trace() {
    return guarded([&] {
        static const char* const kKinds[] = {"engaged", "armed", "captured", "dropped"};
        Json j;
        j.open('{').key("restarted").boolean(trace.take_restarted()).key("samples").open('[');
        for (const host_core::Reading& r : trace.samples()) {
            j.open('{');
            write_reading(j, r);
            j.close('}');
        }
        j.close(']').key("marks").open('[');
        for (const host_core::TraceMark& m : trace.marks())
            j.open('[').str(kKinds[m.kind]).num(m.time).str(m.modes).close(']');
        j.close(']').close('}');
        trace.samples().clear();
        trace.marks().clear();
        return reply(j);
    });
}

// For the benchmark: the engine and the physics alone for `seconds`, without the panel's frames. Answers the
// seconds flown: fewer at a crash, where the flight stops (a crashed aircraft at rest costs next to nothing, and
// would pass for a fast flight).
EMSCRIPTEN_KEEPALIVE double panel_fly_alone(double seconds) {
    if (!panel || !(seconds > 0 && seconds <= host_core::kMostFlightSeconds)) return 0;
    host_core::Simulator& sim = panel->simulator();
    sim.start_flight();
    const long steps = std::lround(seconds * host_core::kStepsPerSecond);
    long flown = 0;
    while (flown < steps && !sim.crashed()) {
        panel->step();
        ++flown;
    }
    return static_cast<double>(flown) * host_core::kStepSeconds;
}

// Places the aircraft where a recorded flight was at a moment (feet, knots, degrees as a reading gives them),
// trimmed there, and starts the flight: a flight replayed, flown on from that moment.
EMSCRIPTEN_KEEPALIVE const char* panel_place(double airspeed, double altitude, double heading, double north,
                                             double east, double radar_height) {
    return guarded([&] {
        panel->simulator().place(airspeed, altitude, heading, north, east, radar_height);
        return ok();
    });
}

// A fresh start where the aircraft is (a new situation): every mode dropped, as a pilot would drop them (STAB
// off), and the block's heights started afresh.
EMSCRIPTEN_KEEPALIVE const char* panel_drop_modes() {
    return guarded([&] {
        host_core::start_afresh(*panel);
        return ok();
    });
}

}  // extern "C"

extern "C" {

// Why a press of a mode command did nothing a pilot would see; "" when it did.
EMSCRIPTEN_KEEPALIVE const char* panel_why(const char* command, double engaged_before, double armed_before) {
    return guarded([&] {
        Json j;
        const host_core::ModuleFacts facts{afcp::module.airspeed_sample.value, afcp::module.radar_height_sample.value,
                                           afcp::Variant::tdn_hov_need_stab_ax1, afcp::Variant::stab_follows_modes};
        const uint32_t engaged = static_cast<uint32_t>(engaged_before), armed = static_cast<uint32_t>(armed_before);
        j.open('{').key("why").str(host_core::why_nothing_happened(*panel, command, engaged, armed, facts)).close('}');
        return reply(j);
    });
}

}  // extern "C"
