// The scenario language's instructions, one table: each instruction is a type of its own fields with its name, its
// form, what it does, whether it starts the panel, and how it is read (`parse`), checked before anything is played
// (`check`) and played (`play`). A step is the variant of those types; the parser, the pre-flight check, the player,
// the usage text and the README's table all go through `Instruction`, so a new instruction is one type here, its
// three functions in instructions.cpp, and its place in the variant below (the compiler then asks for the rest).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "host/simulator.h"

namespace host_core {

class Panel;
struct PlayHooks;
struct GaugeShape;

// What a line gives its instruction's `parse`: the line's words, the gauges, and what the scenario has done so far.
struct ParseContext {
    const std::string& file;  // as the messages name it
    const std::vector<std::string>& words;
    const std::vector<GaugeShape>& gauges;
    int line;
    // Totals of the scenario so far, for its limits.
    int64_t& frames;
    double& flown;
    bool started;  // an instruction that starts the panel came before this line
    std::vector<std::pair<std::string, int>>& snapshots;
    // Throws the ScenarioError for this line.
    [[noreturn]] void fail(const std::string& what) const;
    // The gauge a name gives (case aside), or -1; the error naming the gauges there are.
    int find_gauge(const std::string& name) const;
    [[noreturn]] void unknown_gauge(const std::string& name) const;
};

// What the pre-flight check knows while it walks the scenario, as playing it would leave the panel.
struct CheckContext {
    const std::string& file;
    const Panel& panel;
    const std::vector<std::string>& commands;  // the module's command names, where the host knows them
    bool attached, registered, has_afcp_service;
    int line;
    [[noreturn]] void fail(const std::string& what) const;
};

// What `play` acts on; `said` is the line the player logs for the step ("" for none).
struct PlayContext {
    const std::string& file;
    Panel& panel;
    PlayHooks& hooks;
    int line;
    std::string said;
    // Throws what the flight showed at this line (ScenarioError::Kind::flight).
    [[noreturn]] void fail_flight(const std::string& what) const;
};

// ---- The instructions ------------------------------------------------------------------------------------------

struct SetStep {
    static constexpr const char* name = "set";
    static constexpr const char* form = "set VARIABLE VALUE";
    static constexpr const char* meaning = "a simulator variable, by name or token number";
    static constexpr bool starts_panel = false;
    int32_t token = 0;
    double value = 0;
    static SetStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct UpdateStep {
    static constexpr const char* name = "update";
    static constexpr const char* form = "update [N]";
    static constexpr const char* meaning = "N host frames (default 1)";
    static constexpr bool starts_panel = true;
    int count = 1;
    static UpdateStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct ClickStep {
    static constexpr const char* name = "click";
    static constexpr const char* form = "click GAUGE X Y";
    static constexpr const char* meaning = "a click at a pixel of a gauge";
    static constexpr bool starts_panel = true;
    int gauge = -1, x = 0, y = 0;
    static ClickStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct CommandStep {
    static constexpr const char* name = "command";
    static constexpr const char* form = "command NAME [N]";
    static constexpr const char* meaning = "a panel command called by name through the engine, N times (default 1)";
    static constexpr bool starts_panel = true;
    std::string command;
    int count = 1;
    static CommandStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct CaptureStep {
    static constexpr const char* name = "capture";
    static constexpr const char* form = "capture";
    static constexpr const char* meaning = "the engine captures the armed modes";
    static constexpr bool starts_panel = true;
    static CaptureStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct ParameterStep {
    static constexpr const char* name = "parameter";
    static constexpr const char* form = "parameter GAUGE TEXT";
    static constexpr const char* meaning = "a gauge's parameter string, before the panel starts";
    static constexpr bool starts_panel = false;
    int gauge = -1;
    std::string text;
    static ParameterStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct SnapshotStep {
    static constexpr const char* name = "snapshot";
    static constexpr const char* form = "snapshot NAME";
    static constexpr const char* meaning = "every gauge as drawn now, under NAME";
    static constexpr bool starts_panel = true;
    std::string snapshot;
    static SnapshotStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct SituationStep {
    static constexpr const char* name = "situation";
    static constexpr const char* form = "situation ground|hover|cruise|approach";
    static constexpr const char* meaning = "the aircraft placed, trimmed";
    static constexpr bool starts_panel = false;
    Situation which = Situation::ground;
    static SituationStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct FlyStep {
    static constexpr const char* name = "fly";
    static constexpr const char* form = "fly SECONDS [until VARIABLE below|above VALUE | until crashed]";
    static constexpr const char* meaning =
        "simulated time: the engine and the physics at 100 Hz, a host frame every 1/18 s; with `until`, stopping "
        "as soon as the variable is past VALUE, or at a crash (not there in time stops the run); any other fly "
        "stops the run at a crash, with its cause";
    static constexpr bool starts_panel = true;
    double seconds = 0;
    int32_t until_token = 0;
    int until_sense = 0;  // -1 below, +1 above, 0 without `until` or until crashed
    double until_value = 0;
    bool until_crashed = false;
    static FlyStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct WindStep {
    static constexpr const char* name = "wind";
    static constexpr const char* form = "wind DIRECTION SPEED";
    static constexpr const char* meaning = "a steady wind from DIRECTION degrees at SPEED knots (0 to 100)";
    static constexpr bool starts_panel = false;
    double direction = 0, speed = 0;
    static WindStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct TurbulenceStep {
    static constexpr const char* name = "turbulence";
    static constexpr const char* form = "turbulence off|light|moderate|severe [SEED]";
    static constexpr const char* meaning = "Dryden turbulence at that level, from SEED (0 without one): the same seed flies the same flight";
    static constexpr bool starts_panel = false;
    int level = 0;  // 0 off .. 3 severe
    uint64_t seed = 0;
    static TurbulenceStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct ControlStep {
    static constexpr const char* name = "control";
    static constexpr const char* form = "control collective|pitch|roll|pedals VALUE";
    static constexpr const char* meaning =
        "the pilot's controls: collective 0 to 1, the others -1 to 1 (aft, right, right pedal +), held until changed";
    static constexpr bool starts_panel = false;
    ControlAxis axis = ControlAxis::collective;
    double value = 0;
    static ControlStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct FailStep {
    static constexpr const char* name = "fail";
    static constexpr const char* form = "fail engine 1|2|both";
    static constexpr const char* meaning =
        "an engine fails (its power dies away in about a second; the other goes to its one-engine rating), or both; "
        "kept through placements until restore";
    static constexpr bool starts_panel = false;
    int engine = 0;  // 1, 2, or 0 for both
    static FailStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

struct RestoreStep {
    static constexpr const char* name = "restore";
    static constexpr const char* form = "restore";
    static constexpr const char* meaning = "every failed engine runs again, its governor taking the rotor back to 100 %";
    static constexpr bool starts_panel = false;
    static RestoreStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

// What an `expect` line checks:
//   expect VARIABLE VALUE TOLERANCE              |value - VALUE| <= TOLERANCE (circular ones the short way round)
//   expect within VARIABLE LOW HIGH              LOW <= value <= HIGH all through the last fly
//   expect steady VARIABLE TOLERANCE             within TOLERANCE of where it started, all through the last fly
//   expect reference NAME VALUE TOLERANCE        a reference of the state block: altitude, radar_height,
//                                                hover_height, fore_aft, lateral
//   expect [not] engaged|armed MODE...           each MODE (the mode bits' names: HDG, ALT, ...) is [not] set
//   expect crashed CAUSE                         the flight ended on the ground for CAUSE (hard_touchdown, ...)
enum class Expectation { value, within, steady, reference, engaged, armed, not_engaged, not_armed, crashed };

struct ExpectStep {
    static constexpr const char* name = "expect";
    static constexpr const char* form =
        "expect VARIABLE VALUE TOLERANCE | within VARIABLE LOW HIGH | steady VARIABLE TOLERANCE | reference NAME "
        "VALUE TOLERANCE | [not] engaged|armed MODE... | crashed CAUSE";
    static constexpr const char* meaning = "a check; a failed one stops the run at its line";
    static constexpr bool starts_panel = false;
    Expectation kind = Expectation::value;
    int32_t token = 0;      // the variable
    int reference = 0;      // the reference's index, kReferenceNames; crashed: the cause (flight::CrashCause)
    double a = 0, b = 0;    // VALUE and TOLERANCE, or LOW and HIGH
    uint32_t modes = 0;     // engaged, armed
    static ExpectStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
    // "" when it holds on the panel as it stands, else what was expected and what was found.
    std::string verdict(const Panel& panel) const;
};

struct CautionStep {
    static constexpr const char* name = "caution";
    static constexpr const char* form = "caution MODE LIMIT | caution none";
    static constexpr const char* meaning =
        "a check of the engine's caution now: MODE (a mode bit's name) has sat at LIMIT (pitch, bank, climb, power "
        "or travel: its control at a stop) for more than 2 s, or has let go of the collective for the rotor "
        "(rotor), or no mode has; a failed one stops the run at its line";
    static constexpr bool starts_panel = false;
    uint32_t mode = 0;  // 0: none
    int32_t limit = 0;
    static CautionStep parse(const ParseContext& c);
    void check(CheckContext& c) const;
    void play(PlayContext& c) const;
};

// The instruction table, in the order the usage text names them.
using Instruction = std::variant<SetStep, UpdateStep, ClickStep, CommandStep, CaptureStep, ParameterStep, SnapshotStep,
                                 SituationStep, FlyStep, WindStep, TurbulenceStep, ControlStep, FailStep,
                                 RestoreStep, ExpectStep, CautionStep>;

struct Step {
    int line = 0;
    Instruction what;
};

// An instruction's row, for usage texts and the README.
struct InstructionRow {
    const char* name;
    const char* form;
    const char* meaning;
    bool starts_panel;
};

namespace detail {
template <size_t... I>
constexpr auto rows(std::index_sequence<I...>) {
    return std::array<InstructionRow, sizeof...(I)>{InstructionRow{
        std::variant_alternative_t<I, Instruction>::name, std::variant_alternative_t<I, Instruction>::form,
        std::variant_alternative_t<I, Instruction>::meaning, std::variant_alternative_t<I, Instruction>::starts_panel}...};
}
}  // namespace detail
inline constexpr auto kInstructions = detail::rows(std::make_index_sequence<std::variant_size_v<Instruction>>{});

// The instruction a line's first word names, read from the line; throws the line's ScenarioError for an unknown
// word (naming the instructions there are) or a malformed line.
Instruction parse_instruction(const ParseContext& c);
// "set, update, ... or expect".
std::string instruction_list();

}  // namespace host_core
