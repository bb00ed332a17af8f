#include "host/variables.h"

#include <charconv>

#include "engine/aircraft_link.h"
#include "frame/simulator.h"

namespace host_core {

namespace {

namespace tok = afcp::token;
namespace air = aircraft_link::token;
using S = Source;

constexpr Variable kVariables[] = {
    {"supply_level", tok::supply_level, "volts", S::kept, 28, false, "below 10 drops STAB"},
    {"enable_switch", tok::enable_switch, "0 or not", S::kept, 1, false, "0 drops STAB"},
    {"airspeed", tok::airspeed, "knots", S::aircraft, 0, false, "the engage gate needs more than 40"},
    {"radar_height", tok::radar_height, "metres", S::aircraft, 0, false, "the engage gate needs more than 60.96"},
    {"current_altitude", tok::current_altitude, "feet", S::aircraft, 0, false, "above sea level"},
    {"heading", air::heading, "degrees", S::aircraft, 0, true, "true heading"},
    {"pitch", air::pitch, "degrees", S::derived, 0, false, "nose up +"},
    {"bank", air::bank, "degrees", S::derived, 0, false, "right wing down +"},
    {"climb_rate", air::climb_rate, "feet per minute", S::derived, 0, false, "the aircraft's"},
    {"ground_speed", air::ground_speed, "knots", S::derived, 0, false, ""},
    {"forward_ground_speed", air::forward_ground_speed, "knots", S::derived, 0, false, "along the heading"},
    {"lateral_ground_speed", air::lateral_ground_speed, "knots", S::derived, 0, false, "to the right of the heading"},
    {"roll_rate", air::roll_rate, "degrees per second", S::derived, 0, false, "body axes, right +"},
    {"pitch_rate", air::pitch_rate, "degrees per second", S::derived, 0, false, "body axes, nose up +"},
    {"yaw_rate", air::yaw_rate, "degrees per second", S::derived, 0, false, "body axes, nose right +"},
    {"sideslip", air::sideslip, "degrees", S::derived, 0, false, "air from the right +"},
    {"rotor_power", air::rotor_power, "horsepower", S::derived, 0, false,
     "both rotors and the transmission and accessory loss"},
    {"torque", flight_token::torque, "percent", S::derived, 0, false, "of the transmission's 1100 hp rating"},
    {"crashed", flight_token::crashed, "0 or 1", S::derived, 0, false, "1: the flight ended on the ground"},
    {"crash_cause", flight_token::crash_cause, "code", S::derived, 0, false,
     "1 hard touchdown, 2 fast on the ground, 3 bank or pitch, 4 main rotor, 5 tail rotor, 6 airframe"},
    {"heading_bug", tok::heading_bug, "degrees", S::reference, 0, true, ""},
    {"autopilot_altitude", tok::autopilot_altitude, "feet", S::reference, 0, false, "the altitude ALT.A captures"},
    {"autopilot_airspeed", tok::autopilot_airspeed, "1/64 knot", S::reference, 0, false, "80 kt is 5120"},
    {"vertical_speed", tok::vertical_speed, "feet per minute", S::reference, 0, false, "the V/S reference"},
    {"selected_course", tok::selected_course, "degrees", S::kept, 0, true, "the pilot's course for VOR"},
    {"force_trim_release", air::force_trim_release, "0 or 1", S::kept, 0, false,
     "1 while the cyclic's force-trim release is held: STAB takes the attitude flown"},
    {"decision_height", air::decision_height, "feet", S::kept, 200, false, "radar height of the DH alert; DH knob"},
    {"nav_source_flag", tok::nav_source_flag, "0 or not", S::kept, 0, false, "0: VOR/ILS receiver, else GPS"},
    {"navigation_track", tok::navigation_track, "radians", S::world, 0, false, "GPS desired track: direct to the VOR"},
    {"nav_receiver_flags", tok::nav_receiver_flags, "flag byte", S::world, 0, false,
     "128 localizer, 64 glide slope received"},
    {"localizer_deviation", air::localizer_deviation, "dots", S::world, 0, false, "2 full scale, + right of course"},
    {"glide_slope_deviation", air::glide_slope_deviation, "dots", S::world, 0, false, "2 full scale, + above path"},
    {"localizer_course", air::localizer_course, "degrees", S::world, 0, true, "the runway's course"},
    {"threshold_distance", air::threshold_distance, "nautical miles", S::world, 0, false, "to the runway threshold"},
    {"vor_deviation", air::vor_deviation, "dots", S::world, 0, false, "2 full scale (10 deg), + right of course"},
    {"vor_distance", air::vor_distance, "nautical miles", S::world, 0, false, "to the VOR"},
    {"north", air::north, "feet", S::derived, 0, false, "north of the pad"},
    {"east", air::east, "feet", S::derived, 0, false, "east of the pad"},
    {"placements", air::placements, "count", S::derived, 0, false, "times the aircraft was placed"},
    {"collective", air::pilot_collective, "0 to 1", S::pilot, 0, false, "the pilot's lever, up +"},
    {"pitch_control", air::pilot_pitch, "-1 to 1", S::pilot, 0, false, "the pilot's cyclic, aft (nose up) +"},
    {"roll_control", air::pilot_roll, "-1 to 1", S::pilot, 0, false, "the pilot's cyclic, right +"},
    {"pedals", air::pilot_pedals, "-1 to 1", S::pilot, 0, false, "the pilot's pedals, right +"},
};

constexpr const char* kSourceNames[] = {"kept", "reference", "aircraft", "derived", "world", "pilot"};
static_assert(std::size(kSourceNames) == static_cast<size_t>(Source::pilot) + 1);

}  // namespace

std::span<const Variable> variables() { return kVariables; }

const Variable* variable_named(std::string_view name) {
    for (const Variable& v : kVariables)
        if (name == v.name) return &v;
    return nullptr;
}

const Variable* variable_of(int32_t token) {
    for (const Variable& v : kVariables)
        if (v.token == token) return &v;
    return nullptr;
}

bool find_variable(std::string_view name_or_token, int32_t& token) {
    if (const Variable* v = variable_named(name_or_token)) {
        token = v->token;
        return true;
    }
    const char* end = name_or_token.data() + name_or_token.size();
    auto [at, error] = std::from_chars(name_or_token.data(), end, token);
    return error == std::errc() && at == end && !name_or_token.empty();
}

const char* source_name(Source s) { return kSourceNames[static_cast<size_t>(s)]; }

}  // namespace host_core
