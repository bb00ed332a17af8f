// Every variable of the host's simulator, in one table: the panel's (frame/simulator.h), the aircraft's and the
// navigation receivers' (engine/aircraft_link.h). The simulator, the scenario language, the page and the tests
// take names, tokens, units and defaults from here; the README's table is checked against it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace host_core {

// What the flight model gives besides the variables the engine reads (engine/aircraft_link.h): the torque, each
// engine's, the power cautions, and whether and why the flight ended on the ground.
namespace flight_token {
constexpr int32_t torque = 3040;       // percent of the transmission's rating
constexpr int32_t crashed = 3041;      // 0, or 1 once the aircraft has crashed
constexpr int32_t crash_cause = 3042;  // flight::CrashCause: 0 none, 1 hard touchdown, ...
constexpr int32_t engine_1_torque = 3043;  // percent of the engine's share (half) of the transmission's rating
constexpr int32_t engine_2_torque = 3044;
constexpr int32_t power_cautions = 3045;   // flight::Outputs::cautions: 1 low rotor, 2 high rotor, 4 over-torque
}  // namespace flight_token

// Where a variable's value comes from.
enum class Source {
    kept,       // the simulator keeps what is set
    reference,  // an autopilot reference: set, and moved by the panel's key events
    aircraft,   // the flight model, while it flies; `set` repositions the aircraft, trimmed
    derived,    // the flight model, while it flies; read only then
    world,      // the navigation world, while the aircraft flies; read only then
    pilot,      // the pilot's controls (`control`); the engine may hand its share over to them
};

struct Variable {
    const char* name;  // as scenarios and the page write it
    int32_t token;
    const char* unit;
    Source source;
    double initial;  // before any set
    bool circular;   // degrees on the circle: compared the short way round
    const char* note;
};

std::span<const Variable> variables();

// A note that the table cannot hold as a literal (the torque's rating, from the flight model's parameters), or
// the row's own note.
std::string variable_note(const Variable& v);

// The variable of a name, or null.
const Variable* variable_named(std::string_view name);
// The variable of a token, or null for a token outside the table.
const Variable* variable_of(int32_t token);

// The token of a variable given by name or as a decimal token number; false if it is neither.
bool find_variable(std::string_view name_or_token, int32_t& token);

// "aircraft", "world", ...: for messages and the README.
const char* source_name(Source s);

}  // namespace host_core
