// Scenarios: plain text, one instruction a line, '#' starts a comment. The instructions, their forms and what
// they do are the table in host/instructions.h. Gauge names are written as the panel shows them ("IAS Select"),
// with or without double quotes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/instructions.h"

namespace host_core {

// A scenario that cannot be read or played: the message names the file and line. Two kinds, since a front keeps
// what was played before a flight's own error and nothing for the other:
// - `scenario`: a fault of the text that can be found before anything is played (an unknown name, a malformed
//   line, an instruction out of order, a value out of range), wherever it is met;
// - `flight`: what the flight showed at the line (a failed `expect`, an `until` that was not met).
struct ScenarioError : std::runtime_error {
    enum class Kind { scenario, flight };
    explicit ScenarioError(const std::string& what, Kind kind = Kind::scenario)
        : std::runtime_error(what), kind(kind) {}
    Kind kind;
};

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
// A number as the messages write it ("%.6g").
std::string number_text(double v);

// Where a message points: "FILE:LINE: ", or "line LINE: " without a file name.
std::string where(const std::string& file, int line);
// A message about a step: "FILE:LINE: what".
std::string step_message(const Scenario& scenario, const Step& step, const std::string& what);

}  // namespace host_core
