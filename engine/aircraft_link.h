// What our simulator offers an autopilot engine besides the variables the panel reads (frame/simulator.h): the
// aircraft's attitude, rates and speeds, the navigation receivers, the pilot's controls, and the events through
// which the engine moves the controls. The engine reaches all of it through the panel services it is given at
// attach (read variable, send event), as an engine in a cockpit would; the host's simulator answers them.
#pragma once

#include <cstdint>

namespace aircraft_link {

// The receivers' flags in the nav receiver flag byte (frame/simulator.h, token 46): set while the beam is received.
namespace receiver {
constexpr int localizer = 0x80;
constexpr int glide_slope = 0x40;
}  // namespace receiver

// Variables of our simulator, read with the read-variable service (values are doubles).
namespace token {
constexpr int32_t heading = 3001;                // degrees true, 0..360
constexpr int32_t pitch = 3002;                  // degrees, nose up +
constexpr int32_t bank = 3003;                   // degrees, right wing down +
constexpr int32_t climb_rate = 3004;             // feet per minute
constexpr int32_t ground_speed = 3005;           // knots
constexpr int32_t localizer_deviation = 3006;    // dots, 2 full scale, + right of the course
constexpr int32_t glide_slope_deviation = 3007;  // dots, 2 full scale, + above the path
constexpr int32_t threshold_distance = 3008;     // nautical miles
constexpr int32_t roll_rate = 3010;              // degrees per second, body axes
constexpr int32_t pitch_rate = 3011;
constexpr int32_t yaw_rate = 3012;
constexpr int32_t forward_ground_speed = 3013;  // knots along the heading
constexpr int32_t lateral_ground_speed = 3014;  // knots to the right of the heading
constexpr int32_t vor_deviation = 3015;         // dots, 2 full scale (10 degrees), + right of the selected course
constexpr int32_t vor_distance = 3016;          // nautical miles
constexpr int32_t localizer_course = 3017;      // degrees true, the runway's
constexpr int32_t sideslip = 3018;              // degrees, wind from the right +
constexpr int32_t rotor_power = 3019;           // horsepower the rotors take, with the transmission's loss
constexpr int32_t decision_height = 3050;       // feet of radar height, the DH knob's (0 to 2,500)
// The drive: the main rotor's speed (percent of nominal; 0 is no reading), how many engines have failed (as
// each engine's control unit reports its own failure: a count, so that a simulator that does not answer reads
// none), and the power the running engines have together at their ratings (horsepower; 0 is no reading).
constexpr int32_t rotor_speed = 3025;
constexpr int32_t engines_out = 3026;
constexpr int32_t power_available = 3027;
// How many times the simulator has placed the aircraft (a new flight, a situation, a reposition): an engine
// starts its loops afresh when it changes.
constexpr int32_t placements = 3030;
// Where the aircraft is: feet north and east of the airport's reference point (the helicopter pad).
constexpr int32_t north = 3031;
constexpr int32_t east = 3032;
// The pilot's controls: collective 0 (down) to 1, the others -1 to 1 (stick aft, stick right, right pedal +).
constexpr int32_t pilot_collective = 3020;
constexpr int32_t pilot_pitch = 3021;
constexpr int32_t pilot_roll = 3022;
constexpr int32_t pilot_pedals = 3023;
// 1 while the pilot holds the cyclic's force-trim release: the attitude hold follows the aircraft while it is
// held (and a second after), as while the hand moves the stick.
constexpr int32_t force_trim_release = 3060;
}  // namespace token

// The engine's events: each sets the autopilot's share of one control, added to the pilot's (its parameter is
// the share in 1/kControlScale of the control's travel, as a signed 32-bit word); the release event hands the
// engine's share of every control whose bit is in the parameter over to the pilot's lever, as a trim actuator
// leaves the lever where it drove it, so that letting go of an axis moves nothing.
namespace event {
constexpr uint32_t autopilot_collective = 70001;
constexpr uint32_t autopilot_pitch = 70002;
constexpr uint32_t autopilot_roll = 70003;
constexpr uint32_t autopilot_pedals = 70004;
constexpr uint32_t autopilot_release = 70005;
}  // namespace event

// The axes, in the order of the events above; the release event's bits are 1 << axis.
enum Axis : int { collective = 0, pitch_axis = 1, roll_axis = 2, pedals_axis = 3, axis_count = 4 };
constexpr uint32_t axis_event(int axis) { return event::autopilot_collective + static_cast<uint32_t>(axis); }
constexpr uint32_t all_axes = (1u << axis_count) - 1;

// The aircraft's engines (the count `engines_out` is read against).
constexpr int kEngineCount = 2;

// A control share as an event parameter: 1/100000 of the travel.
constexpr double kControlScale = 100000.0;

}  // namespace aircraft_link
