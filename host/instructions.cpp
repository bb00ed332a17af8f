// Each instruction's parse, pre-flight check and play (the table is host/instructions.h).
#include "host/instructions.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/zolm_test.h"
#include "flight/helicopter.h"
#include "flight/turbulence.h"
#include "host/mode_names.h"
#include "host/panel.h"
#include "host/runner.h"
#include "host/scenario.h"
#include "host/variables.h"

namespace host_core {

namespace {

std::string join(const std::vector<std::string>& words, size_t first, size_t last) {
    std::string s;
    for (size_t i = first; i < last; ++i) s += (i > first ? " " : "") + words[i];
    return s;
}

bool number(const std::string& word, int& out) {
    const char* end = word.data() + word.size();
    auto [at, error] = std::from_chars(word.data(), end, out);
    return error == std::errc() && at == end && !word.empty();
}

bool snapshot_name(const std::string& name) {
    if (name.empty() || name[0] == '.' || name[0] == '-') return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') return false;
    return true;
}

// A variable named by a scenario, or the line's error.
int32_t variable_token(const ParseContext& c, const std::string& name) {
    int32_t token = 0;
    if (!find_variable(name, token)) c.fail("unknown variable '" + name + "'");
    return token;
}

std::string variable_name(int32_t token) {
    const Variable* v = variable_of(token);
    return v != nullptr ? v->name : std::to_string(token);
}

std::string mode_list(uint32_t bits) {
    std::string text;
    for (const ModeBit& b : mode_bits)
        if ((bits & b.bit) != 0) text += (text.empty() ? "" : " ") + std::string(b.name);
    return text.empty() ? "none" : text;
}

}  // namespace

// ---- set VARIABLE VALUE ------------------------------------------------------------------------------------------

SetStep SetStep::parse(const ParseContext& c) {
    if (c.words.size() != 3) c.fail("expected 'set VARIABLE VALUE'");
    SetStep s;
    s.token = variable_token(c, c.words[1]);
    if (!finite_number(c.words[2], s.value))
        c.fail("expected 'set VARIABLE VALUE' with a finite number, not '" + c.words[2] + "'");
    return s;
}

void SetStep::check(CheckContext& c) const {
    if (const Variable* v = variable_of(token);
        v != nullptr && c.panel.simulator().flying() && (v->source == Source::derived || v->source == Source::world))
        c.fail(std::string("'") + v->name + "' comes from the flight while the aircraft flies");
}

void SetStep::play(PlayContext& c) const { c.panel.simulator().set(token, value); }

// ---- update [N] --------------------------------------------------------------------------------------------------

UpdateStep UpdateStep::parse(const ParseContext& c) {
    UpdateStep s;
    const auto& w = c.words;
    if (w.size() > 2 || (w.size() == 2 && (!number(w[1], s.count) || s.count < 1 || s.count > kMostFrames)))
        c.fail("expected 'update' or 'update N' with N from 1 to " + std::to_string(kMostFrames));
    c.frames += s.count;
    if (c.frames > kMostFrames) c.fail("the scenario plays more than " + std::to_string(kMostFrames) + " frames in all");
    return s;
}

// The engine hands out a block at every attach that it is not told to refuse, and the first update attaches.
void UpdateStep::check(CheckContext& c) const {
    c.attached = c.attached || c.has_afcp_service;
    c.registered = c.registered || c.has_afcp_service;
}

void UpdateStep::play(PlayContext& c) const {
    for (int i = 0; i < count; ++i) c.panel.frame();
}

// ---- click GAUGE X Y ---------------------------------------------------------------------------------------------

ClickStep ClickStep::parse(const ParseContext& c) {
    ClickStep s;
    const auto& w = c.words;
    const size_t n = w.size();
    if (n < 4 || !number(w[n - 2], s.x) || !number(w[n - 1], s.y)) c.fail("expected 'click GAUGE X Y'");
    const std::string name = join(w, 1, n - 2);
    s.gauge = c.find_gauge(name);
    if (s.gauge < 0) c.unknown_gauge(name);
    const GaugeShape& g = c.gauges[static_cast<size_t>(s.gauge)];
    if (s.x < 0 || s.y < 0 || s.x >= g.width || s.y >= g.height)
        c.fail("(" + std::to_string(s.x) + ", " + std::to_string(s.y) + ") lies outside " + g.name + " (" +
               std::to_string(g.width) + " x " + std::to_string(g.height) + ")");
    return s;
}

void ClickStep::check(CheckContext& c) const {
    if (c.panel.area_at(gauge, x, y) == nullptr)
        c.fail(no_area(c.panel.gauges()[static_cast<size_t>(gauge)].name, x, y));
}

void ClickStep::play(PlayContext& c) const {
    c.said = "click " + c.panel.gauges()[static_cast<size_t>(gauge)].name + " " + std::to_string(x) + " " +
             std::to_string(y) + ": " + c.panel.click(gauge, x, y);
}

// ---- command NAME [N] --------------------------------------------------------------------------------------------

CommandStep CommandStep::parse(const ParseContext& c) {
    CommandStep s;
    const auto& w = c.words;
    if (w.size() < 2 || w.size() > 3 || (w.size() == 3 && (!number(w[2], s.count) || s.count < 1 || s.count > kMostRepeats)))
        c.fail("expected 'command NAME' or 'command NAME N' with N from 1 to " + std::to_string(kMostRepeats));
    s.command = w[1];
    return s;
}

void CommandStep::check(CheckContext& c) const {
    if (!c.registered) c.fail(kNoCommandsYet);
    if (!command_known(command, c.commands)) c.fail("unknown command '" + command + "'");
}

void CommandStep::play(PlayContext& c) const {
    for (int i = 0; i < count; ++i) c.panel.command(command);
    c.said = "command " + command + (count > 1 ? " x" + std::to_string(count) : "");
}

// ---- capture -----------------------------------------------------------------------------------------------------

CaptureStep CaptureStep::parse(const ParseContext& c) {
    if (c.words.size() != 1) c.fail("expected 'capture' alone");
    return {};
}

void CaptureStep::check(CheckContext& c) const {
    if (!c.attached) c.fail(kNoBlockYet);
}

void CaptureStep::play(PlayContext& c) const { c.said = "captured " + c.panel.capture(); }

// ---- parameter GAUGE TEXT ----------------------------------------------------------------------------------------

// The gauge is the longest run of words after 'parameter' that names one; the rest is the text.
ParameterStep ParameterStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    if (w.size() < 3) c.fail("expected 'parameter GAUGE TEXT'");
    ParameterStep s;
    size_t text_from = 0;
    for (size_t end = w.size() - 1; end >= 2 && s.gauge < 0; --end) {
        s.gauge = c.find_gauge(join(w, 1, end));
        text_from = end;
    }
    if (s.gauge < 0) c.unknown_gauge(w[1]);
    if (c.started) {
        std::string starting;
        for (const InstructionRow& r : kInstructions)
            if (r.starts_panel) starting += (starting.empty() ? "" : ", ") + std::string(r.name);
        c.fail("'parameter' comes before the panel starts: before the first " + starting);
    }
    s.text = join(w, text_from, w.size());
    return s;
}

void ParameterStep::check(CheckContext&) const {}

void ParameterStep::play(PlayContext& c) const { c.panel.set_parameter(gauge, text); }

// ---- snapshot NAME -----------------------------------------------------------------------------------------------

SnapshotStep SnapshotStep::parse(const ParseContext& c) {
    if (c.words.size() != 2) c.fail("expected 'snapshot NAME'");
    const std::string& name = c.words[1];
    if (!snapshot_name(name)) c.fail("a snapshot name is letters, digits, '-', '_' and '.', not '" + name + "'");
    for (const auto& [taken, line] : c.snapshots)
        if (taken == name) c.fail("snapshot '" + name + "' is already taken on line " + std::to_string(line));
    c.snapshots.emplace_back(name, c.line);
    SnapshotStep s;
    s.snapshot = name;
    return s;
}

void SnapshotStep::check(CheckContext&) const {}

void SnapshotStep::play(PlayContext& c) const {
    c.panel.start();
    c.hooks.snapshot(*this);
}

// ---- situation NAME ----------------------------------------------------------------------------------------------

SituationStep SituationStep::parse(const ParseContext& c) {
    SituationStep s;
    if (c.words.size() != 2 || !situation_named(c.words[1], s.which)) {
        const auto names = situation_names();
        std::string forms;
        for (size_t i = 0; i < names.size(); ++i)
            forms += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + std::string("'situation ") + names[i] + "'";
        c.fail("expected " + forms);
    }
    return s;
}

void SituationStep::check(CheckContext&) const {}

void SituationStep::play(PlayContext& c) const { c.panel.simulator().situation(which); }

// ---- fly SECONDS [until VARIABLE below|above VALUE] --------------------------------------------------------------

FlyStep FlyStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    const std::string usage = "expected 'fly SECONDS', 'fly SECONDS until VARIABLE below|above VALUE' or 'fly "
                              "SECONDS until crashed', with a number of seconds above 0";
    FlyStep s;
    s.until_crashed = w.size() == 4 && w[2] == "until" && w[3] == "crashed";
    if ((w.size() != 2 && w.size() != 6 && !s.until_crashed) || !finite_number(w[1], s.seconds) || s.seconds <= 0)
        c.fail(usage);
    if (w.size() == 6) {
        if (w[2] != "until" || (w[4] != "below" && w[4] != "above")) c.fail(usage);
        s.until_token = variable_token(c, w[3]);
        if (!finite_number(w[5], s.until_value)) c.fail(usage);
        s.until_sense = w[4] == "below" ? -1 : 1;
    }
    c.flown += s.seconds;
    if (c.flown > kMostFlightSeconds)
        c.fail("the scenario flies more than " + std::to_string(static_cast<int>(kMostFlightSeconds)) +
               " simulated seconds in all");
    return s;
}

// A flight attaches as an update does.
void FlyStep::check(CheckContext& c) const {
    c.attached = c.attached || c.has_afcp_service;
    c.registered = c.registered || c.has_afcp_service;
}

// A crash stops the run at the line with its cause, unless the line flies until one.
void FlyStep::play(PlayContext& c) const {
    Panel& panel = c.panel;
    Simulator& sim = panel.simulator();
    auto each_frame = [&c] { c.hooks.flown_frame(); };
    if (sim.crashed()) c.fail_flight("the aircraft has " + sim.crash_description() + "; a situation or a set places it anew");
    if (until_crashed) {
        const double flown = panel.fly(seconds, each_frame, [&] { return sim.crashed(); });
        if (!sim.crashed()) c.fail_flight("expected a crash within " + number_text(seconds) + " s, found none");
        c.said = "flew " + number_text(flown) + " s until " + sim.crash_description();
        return;
    }
    if (until_sense == 0) {
        panel.fly(seconds, each_frame, [&] { return sim.crashed(); });
        if (sim.crashed()) c.fail_flight(sim.crash_description());
        return;
    }
    const std::string name = variable_name(until_token);
    const std::string sense = until_sense < 0 ? " below " : " above ";
    auto past = [&] {
        const double v = sim.get(until_token);
        return until_sense < 0 ? v < until_value : v > until_value;
    };
    const double flown = panel.fly(seconds, each_frame, [&] { return past() || sim.crashed(); });
    if (sim.crashed()) c.fail_flight(sim.crash_description());
    if (!past())
        c.fail_flight("expected " + name + sense + number_text(until_value) + " within " + number_text(seconds) +
                      " s, found " + number_text(sim.get(until_token)) + " after " + number_text(flown) +
                      " s flown");
    c.said = "flew " + number_text(flown) + " s until " + name + sense + number_text(until_value);
}

// ---- wind DIRECTION SPEED ----------------------------------------------------------------------------------------

WindStep WindStep::parse(const ParseContext& c) {
    WindStep s;
    const auto& w = c.words;
    if (w.size() != 3 || !finite_number(w[1], s.direction) || !finite_number(w[2], s.speed))
        c.fail("expected 'wind DIRECTION SPEED' (degrees the wind comes from, knots)");
    if (s.direction < 0 || s.direction > 360 || s.speed < 0 || s.speed > kMostWindKt)
        c.fail("a wind comes from 0 to 360 degrees at 0 to " + std::to_string(static_cast<int>(kMostWindKt)) + " knots");
    return s;
}

void WindStep::check(CheckContext&) const {}

void WindStep::play(PlayContext& c) const { c.panel.simulator().wind(direction, speed); }

// ---- turbulence off|light|moderate|severe [SEED] -----------------------------------------------------------------

TurbulenceStep TurbulenceStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    const std::string usage =
        "expected 'turbulence off|light|moderate|severe' or 'turbulence LEVEL SEED' with a SEED from 0 to 4294967295";
    if (w.size() < 2 || w.size() > 3) c.fail(usage);
    TurbulenceStep s;
    s.level = -1;
    for (int i = 0; i < flight::kTurbulenceLevels; ++i)
        if (w[1] == flight::turbulence_level_name(static_cast<flight::TurbulenceLevel>(i))) s.level = i;
    if (s.level < 0) c.fail(usage);
    if (w.size() == 3) {
        uint32_t seed = 0;
        const char* end = w[2].data() + w[2].size();
        auto [at, error] = std::from_chars(w[2].data(), end, seed);
        if (error != std::errc() || at != end) c.fail(usage);
        s.seed = seed;
    }
    return s;
}

void TurbulenceStep::check(CheckContext&) const {}

void TurbulenceStep::play(PlayContext& c) const { c.panel.simulator().turbulence(level, seed); }

// ---- control AXIS VALUE ------------------------------------------------------------------------------------------

ControlStep ControlStep::parse(const ParseContext& c) {
    ControlStep s;
    const auto& w = c.words;
    if (w.size() != 3 || !control_named(w[1], s.axis) || !finite_number(w[2], s.value)) {
        std::string names;
        for (const char* n : control_names()) names += (names.empty() ? "" : "|") + std::string(n);
        c.fail("expected 'control " + names + " VALUE'");
    }
    const double low = control_low(s.axis);
    if (s.value < low || s.value > 1.0) {
        char from[16];
        std::snprintf(from, sizeof from, "%g", low);
        c.fail("control " + w[1] + " takes " + from + " to 1, not " + w[2]);
    }
    return s;
}

void ControlStep::check(CheckContext&) const {}

void ControlStep::play(PlayContext& c) const { c.panel.simulator().control(axis, value); }

// ---- fail engine 1|2|both, restore -------------------------------------------------------------------------------

FailStep FailStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    FailStep s;
    if (w.size() != 3 || w[1] != "engine" || (w[2] != "1" && w[2] != "2" && w[2] != "both"))
        c.fail("expected 'fail engine 1', 'fail engine 2' or 'fail engine both'");
    s.engine = w[2] == "both" ? 0 : w[2] == "1" ? 1 : 2;
    return s;
}

void FailStep::check(CheckContext&) const {}

void FailStep::play(PlayContext& c) const { c.panel.simulator().fail_engine(engine); }

RestoreStep RestoreStep::parse(const ParseContext& c) {
    if (c.words.size() != 1) c.fail("expected 'restore' alone: it restores every engine");
    return {};
}

void RestoreStep::check(CheckContext&) const {}

void RestoreStep::play(PlayContext& c) const { c.panel.simulator().restore_engines(); }

// ---- expect ... --------------------------------------------------------------------------------------------------

ExpectStep ExpectStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    const std::string usage =
        "expected 'expect VARIABLE VALUE TOLERANCE', 'expect within VARIABLE LOW HIGH', 'expect steady "
        "VARIABLE TOLERANCE', 'expect reference NAME VALUE TOLERANCE' or 'expect [not] engaged|armed MODE...'";
    if (w.size() < 2) c.fail(usage);
    ExpectStep s;
    size_t at = 1;
    const bool negated = w[at] == "not";
    if (negated) ++at;
    if (at < w.size() && (w[at] == "engaged" || w[at] == "armed")) {
        const bool engaged = w[at] == "engaged";
        if (at + 1 >= w.size()) c.fail(usage);
        for (size_t i = at + 1; i < w.size(); ++i) {
            const ModeBit* m = nullptr;
            for (const ModeBit& b : mode_bits)
                if (w[i] == b.name) m = &b;
            if (m == nullptr)
                c.fail("unknown mode '" + w[i] + "' (modes: HDG, LOC, VOR, NAV, VS, ALT, GS, IAS, "
                       "HOV, CRHT, HHT, TUP, TDN, GA, STAB, ATT and the other bits' names)");
            s.modes |= m->bit;
        }
        s.kind = engaged ? (negated ? Expectation::not_engaged : Expectation::engaged)
                         : (negated ? Expectation::not_armed : Expectation::armed);
        return s;
    }
    if (w.size() == 3 && w[1] == "crashed") {
        s.kind = Expectation::crashed;
        s.reference = -1;
        for (int i = 1; i < flight::kCrashCauses; ++i)
            if (w[2] == flight::crash_cause_name(static_cast<flight::CrashCause>(i))) s.reference = i;
        if (s.reference < 0) {
            std::string causes;
            for (int i = 1; i < flight::kCrashCauses; ++i)
                causes += (i > 1 ? ", " : "") + std::string(flight::crash_cause_name(static_cast<flight::CrashCause>(i)));
            c.fail("unknown crash cause '" + w[2] + "' (" + causes + ")");
        }
        return s;
    }
    if (w.size() == 4 && w[1] == "steady") {
        s.kind = Expectation::steady;
        s.token = variable_token(c, w[2]);
        if (!finite_number(w[3], s.b) || s.b < 0) c.fail("expected 'expect steady VARIABLE TOLERANCE'");
        return s;
    }
    if (negated || w.size() != 4 + (w[1] == "within" || w[1] == "reference" ? 1u : 0u)) c.fail(usage);
    size_t first = 1;
    if (w[1] == "within") {
        s.kind = Expectation::within;
        first = 2;
    } else if (w[1] == "reference") {
        s.kind = Expectation::reference;
        first = 2;
        if (!reference_index(w[2], s.reference))
            c.fail("unknown reference '" + w[2] + "' (altitude, radar_height, hover_height, fore_aft, lateral)");
    }
    if (s.kind != Expectation::reference) s.token = variable_token(c, w[first]);
    if (!finite_number(w[first + 1], s.a) || !finite_number(w[first + 2], s.b)) c.fail(usage + " with finite numbers");
    const Variable* variable = variable_of(s.token);
    const bool arc = variable != nullptr && variable->circular;  // LOW clockwise to HIGH, across north too
    if (s.kind == Expectation::within ? (s.b < s.a && !arc) : s.b < 0)
        c.fail(s.kind == Expectation::within ? "LOW is above HIGH" : "a tolerance is not negative");
    return s;
}

void ExpectStep::check(CheckContext&) const {}

void ExpectStep::play(PlayContext& c) const {
    if (const std::string failed = verdict(c.panel); !failed.empty()) c.fail_flight(failed);
    c.said = "expect: held";
}

std::string ExpectStep::verdict(const Panel& panel) const {
    const Simulator& sim = panel.simulator();
    const Variable* v = variable_of(token);
    const std::string name = variable_name(token);
    switch (kind) {
    case Expectation::value: {
        const double found = sim.get(token);
        const double off = v != nullptr && v->circular ? std::remainder(found - a, 360.0) : found - a;
        if (std::fabs(off) <= b) return "";
        return "expected " + name + " " + number_text(a) + " +- " + number_text(b) + ", found " + number_text(found);
    }
    case Expectation::within: {
        Extent e;
        if (!sim.extent(token, e)) return "expected " + name + " within a fly, but nothing has flown yet";
        double low = a, high = b;
        const bool circular = v != nullptr && v->circular;
        auto shown = [&](double x) { return circular ? x - 360.0 * std::floor(x / 360.0) : x; };
        if (circular) {
            // The arc clockwise from LOW to HIGH, laid on the unwrapped circle nearest to where the fly started.
            const double width = std::fmod(std::fmod(b - a, 360.0) + 360.0, 360.0);
            const double middle = e.start + std::remainder(a + width / 2 - e.start, 360.0);
            low = middle - width / 2;
            high = middle + width / 2;
        }
        if (e.low >= low - 1e-9 && e.high <= high + 1e-9) return "";
        return "expected " + name + " within " + number_text(a) + " to " + number_text(b) +
               " through the last fly, found " + number_text(shown(e.low)) + " to " + number_text(shown(e.high));
    }
    case Expectation::steady: {
        Extent e;
        if (!sim.extent(token, e)) return "expected " + name + " steady through a fly, but nothing has flown yet";
        const double off = std::max(e.high - e.start, e.start - e.low);
        if (off <= b) return "";
        return "expected " + name + " within " + number_text(b) + " of " + number_text(e.start) +
               " through the last fly, found it " + number_text(off) + " off (" + number_text(e.low) + " to " +
               number_text(e.high) + ")";
    }
    case Expectation::reference: {
        const std::string reference_name = kReferenceNames[reference];
        if (!panel.attached()) return "expected reference " + reference_name + ", but the engine has no block yet";
        const References r = panel.references();
        const double values[] = {r.altitude, r.radar_height, r.hover_height, r.fore_aft, r.lateral};
        const double found = values[reference];
        if (std::fabs(found - a) <= b) return "";
        return "expected reference " + reference_name + " " + number_text(a) + " +- " + number_text(b) + ", found " +
               number_text(found);
    }
    case Expectation::crashed: {
        const auto cause = static_cast<flight::CrashCause>(reference);
        if (sim.crashed() && sim.get(flight_token::crash_cause) == reference) return "";
        return std::string("expected crashed: ") + flight::crash_cause_text(cause) + " (" +
               flight::crash_cause_name(cause) + "), found " + (sim.crashed() ? sim.crash_description() : "no crash");
    }
    default: {
        const bool in_engaged = kind == Expectation::engaged || kind == Expectation::not_engaged;
        const bool wanted = kind == Expectation::engaged || kind == Expectation::armed;
        const uint32_t word = in_engaged ? panel.engaged() : panel.armed();
        const uint32_t wrong = wanted ? (modes & ~word) : (modes & word);
        if (wrong == 0) return "";
        return std::string("expected ") + (wanted ? "" : "not ") + (in_engaged ? "engaged " : "armed ") +
               mode_list(modes) + ", found " + (in_engaged ? "engaged " : "armed ") + mode_list(word);
    }
    }
}

// ---- caution ... ------------------------------------------------------------------------------------------------

CautionStep CautionStep::parse(const ParseContext& c) {
    const auto& w = c.words;
    const std::string usage = "expected 'caution MODE LIMIT' or 'caution none'";
    CautionStep s;
    if (w.size() == 2 && w[1] == "none") return s;
    if (w.size() != 3) c.fail(usage);
    for (const ModeBit& b : mode_bits)
        if (w[1] == b.name) s.mode = b.bit;
    if (s.mode == 0) c.fail("unknown mode '" + w[1] + "'");
    for (int32_t i = 1; i < zolm_limit_count; ++i)
        if (w[2] == zolm_limit_names[i]) s.limit = i;
    if (s.limit == 0) c.fail("unknown limit '" + w[2] + "' (pitch, bank, climb, power, travel, rotor)");
    return s;
}

void CautionStep::check(CheckContext&) const {}

void CautionStep::play(PlayContext& c) const {
    const ZolmCaution found = c.panel.caution();
    auto said = [](uint32_t mode, int32_t limit) {
        if (mode == 0) return std::string("none");
        const int32_t l = limit >= 0 && limit < zolm_limit_count ? limit : 0;
        return mode_list(mode) + " " + zolm_limit_names[l];
    };
    if (found.mode != mode || (mode != 0 && found.limit != limit))
        c.fail_flight("expected caution " + said(mode, limit) + ", found " + said(found.mode, found.limit));
    c.said = "caution: " + said(found.mode, found.limit);
}

// ---- The table ---------------------------------------------------------------------------------------------------

namespace {

template <size_t I = 0>
Instruction parse_row(const ParseContext& c) {
    if constexpr (I == std::variant_size_v<Instruction>) {
        c.fail("unknown instruction '" + c.words[0] + "': expected " + instruction_list());
    } else {
        using Row = std::variant_alternative_t<I, Instruction>;
        if (c.words[0] == Row::name) return Row::parse(c);
        return parse_row<I + 1>(c);
    }
}

}  // namespace

Instruction parse_instruction(const ParseContext& c) { return parse_row(c); }

std::string instruction_list() {
    std::string list;
    for (size_t i = 0; i < kInstructions.size(); ++i)
        list += (i == 0 ? "" : i + 1 == kInstructions.size() ? " or " : ", ") + std::string(kInstructions[i].name);
    return list;
}

}  // namespace host_core
