// Scenarios: plain text, one instruction a line, '#' starts a comment.
//
//   set VARIABLE VALUE         a simulator variable, by name or token number
//   update [N]                 N host frames (default 1)
//   click GAUGE X Y            a click at a pixel of a gauge
//   command NAME [N]           a panel command called by name through the engine, N times (1 without N)
//   capture                    the engine captures the armed modes
//   parameter GAUGE TEXT       a gauge's parameter string (before the panel starts)
//   snapshot NAME              every gauge to NAME-<gauge>.png, and the contact sheet
//   situation NAME             the aircraft placed, trimmed: ground, hover, cruise or approach
//   fly SECONDS                simulated time: physics and engine at 100 Hz, host frames at 18 Hz
//   fly SECONDS until VARIABLE below|above VALUE
//                              the same, stopping as soon as the variable is past VALUE; not past it within
//                              SECONDS stops the run, as a failed expect does
//   fly SECONDS until crashed  the same, stopping at the crash; no crash within SECONDS stops the run. Every other
//                              fly stops the run at a crash, with its cause
//   wind DIRECTION SPEED       a steady wind from DIRECTION (degrees) at SPEED (knots)
//   turbulence off|light|moderate|severe [SEED]
//                              Dryden turbulence, from SEED (0 without one)
//   control AXIS VALUE         the pilot's collective (0 to 1), pitch, roll or pedals (-1 to 1)
//   expect ...                 a check; a failed one stops the run at its line (see Expectation)
//
// Gauge names are written as the panel shows them ("IAS Select"), with or without double quotes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host_core {

// A scenario that cannot be read or played: the message names the file and line.
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Instruction { set, update, click, command, capture, parameter, snapshot, situation, fly, wind, control, expect, turbulence };

// What an `expect` line checks:
//   expect VARIABLE VALUE TOLERANCE              |value - VALUE| <= TOLERANCE (circular ones the short way round)
//   expect within VARIABLE LOW HIGH              LOW <= value <= HIGH all through the last fly
//   expect steady VARIABLE TOLERANCE             within TOLERANCE of where it started, all through the last fly
//   expect reference NAME VALUE TOLERANCE        a reference of the state block: altitude, radar_height,
//                                                hover_height, fore_aft, lateral
//   expect [not] engaged|armed MODE...           each MODE (the mode bits' names: HDG, ALT, ...) is [not] set
//   expect crashed CAUSE                         the flight ended on the ground for CAUSE (hard_touchdown, ...)
enum class Expectation { value, within, steady, reference, engaged, armed, not_engaged, not_armed, crashed };

struct Step {
    Instruction instruction = Instruction::set;
    int line = 0;
    int32_t token = 0;  // set
    double value = 0;   // set
    int count = 0;      // update
    int gauge = -1;     // click, parameter: slot in the gauge table
    int x = 0, y = 0;   // click
    std::string text;   // command name, parameter text, snapshot name; expect: the reference's name
    // situation, control: the index of the name (Situation, ControlAxis); wind: direction; fly: seconds, and
    // for `until` the variable's token, -1 below or +1 above (0: no until, kUntilCrashed: until crashed) and the
    // value; turbulence: the level (0 off .. 3 severe) in `which`, the seed in `seed`;
    // expect crashed: the cause (flight::CrashCause) in `which`;
    // expect: the kind, the value (or LOW) and the tolerance (or HIGH), the modes' bits
    int which = 0;
    double a = 0, b = 0;
    Expectation expectation = Expectation::value;
    uint32_t modes = 0;
    uint64_t seed = 0;  // turbulence
};

// `fly ... until crashed`: Step::which.
constexpr int kUntilCrashed = 2;

// What the parser needs to know of a gauge: its name and the size of its picture.
struct GaugeShape {
    std::string name;
    int width, height;
};

struct Scenario {
    std::string file;  // as the messages name it
    std::vector<Step> steps;
};

// The most host frames a scenario plays, in one 'update' and in all; the most simulated seconds it flies.
constexpr int kMostFrames = 100000;
constexpr double kMostFlightSeconds = 3600;
// The most times one `command` line repeats its command.
constexpr int kMostRepeats = 1000;

// Reads a whole scenario, or throws a ScenarioError "FILE:LINE: what was expected" ("line LINE: ..." when the
// scenario has no file name, as one typed into the web page).
Scenario parse_scenario(const std::string& file, std::string_view text, const std::vector<GaugeShape>& gauges);

// The state block's references by the names `expect reference` gives them, in the block's order.
inline constexpr const char* kReferenceNames[] = {"altitude", "radar_height", "hover_height", "fore_aft", "lateral"};
bool reference_index(const std::string& name, int& index);

// The strongest wind a scenario may set, knots.
constexpr double kMostWindKt = 100;

// A variable's value as a scenario writes it: a finite decimal number, all of the word.
bool finite_number(const std::string& word, double& out);

// Where a message points: "FILE:LINE: ", or "line LINE: " without a file name.
std::string where(const std::string& file, int line);
// A message about a step: "FILE:LINE: what".
std::string step_message(const Scenario& scenario, const Step& step, const std::string& what);

}  // namespace host_core
