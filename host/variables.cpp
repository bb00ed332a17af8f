#include "host/variables.h"

#include <charconv>
#include <cstdio>

#include "engine/aircraft_link.h"
#include "flight/parameters.h"
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
    {"torque", flight_token::torque, "percent", S::derived, 0, false, nullptr},  // variable_note: the rating
    {"rotor_speed", air::rotor_speed, "percent", S::derived, 0, false, "of the main rotor's nominal speed"},
    {"engine_1_torque", flight_token::engine_1_torque, "percent", S::derived, 0, false,
     "of the engine's share, half the transmission's rating"},
    {"engine_2_torque", flight_token::engine_2_torque, "percent", S::derived, 0, false, "as engine_1_torque"},
    {"engines_out", air::engines_out, "count", S::derived, 0, false, "engines failed (fail engine, restore)"},
    {"power_available", air::power_available, "horsepower", S::derived, 0, false,
     "the running engines' together at their ratings"},
    {"power_cautions", flight_token::power_cautions, "bits", S::derived, 0, false, nullptr},  // variable_note
    {"crashed", flight_token::crashed, "0 or 1", S::derived, 0, false, "1: the flight ended on the ground"},
    {"crash_cause", flight_token::crash_cause, "code", S::derived, 0, false,
     "1 hard touchdown, 2 fast on the ground, 3 bank or pitch, 4 main rotor, 5 tail rotor, 6 airframe"},
    {"heading_bug", tok::heading_bug, "degrees", S::reference, 0, true, ""},
    {"autopilot_altitude", tok::autopilot_altitude, "feet", S::reference, 0, false, "the altitude ALT.A captures"},
    {"autopilot_airspeed", tok::autopilot_airspeed, "1/64 knot", S::reference, 0, false, "80 kt is 5120"},
    {"vertical_speed", tok::vertical_speed, "feet per minute", S::reference, 0, false, "the V/S reference"},
    {"selected_course", tok::selected_course, "degrees", S::kept, 0, true, "the pilot's course for VOR"},
    {"force_trim_release", air::force_trim_release, "0 or 1", S::kept, 0, false,
     "1 while the cyclic's force-trim release is held (the page's key T): STAB takes the attitude flown, as while "
     "the hand moves the stick"},
    {"decision_height", air::decision_height, "feet", S::kept, 200, false, "radar height of the decision-height alert"},
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

std::string variable_note(const Variable& v) {
    if (v.note != nullptr) return v.note;
    const flight::Parameters& p = flight::default_parameters();
    char text[128] = "";
    if (v.token == flight_token::torque)
        std::snprintf(text, sizeof text, "of the transmission's %.0f hp rating", p.rated_power_hp);
    if (v.token == flight_token::power_cautions)
        std::snprintf(text, sizeof text, "1 low rotor (below %.0f %%), 2 high rotor (above %.0f %%), 4 over-torque (above %.0f %%)",
                      100 * p.cautions.low_rotor, 100 * p.cautions.high_rotor, 100 * p.cautions.over_torque);
    return text;
}

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
