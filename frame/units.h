// The units the panel converts between, and the limits and steps that more than one file of commands or
// displays uses. Each factor is written here once. Where the rounding of a literal is what the engine and the
// annunciators see (1.68781, 57.29578), the constant carries that literal, not a value computed more finely.
#pragma once

#include <cstdint>

namespace afcp::units {

// ---- Conversions --------------------------------------------------------------------------------------------

// The autopilot airspeed variable reads in 1/64 knot; the airspeed set event takes 1/128 knot.
constexpr int64_t airspeed_read_per_knot = 64;
constexpr int64_t airspeed_sent_per_knot = 128;
// One unit read is this many units sent.
constexpr int64_t airspeed_sent_per_read = airspeed_sent_per_knot / airspeed_read_per_knot;
static_assert(airspeed_sent_per_read * airspeed_read_per_knot == airspeed_sent_per_knot);
// Knots in one unit read (exact: a power of two).
constexpr double knots_per_airspeed_read = 1.0 / airspeed_read_per_knot;

// Hover speeds go to the engine in feet per second.
constexpr double knots_to_feet_per_second = 1.68781;

// The navigation track variable is in radians; the annunciator shows degrees.
constexpr double radians_to_degrees = 57.29578;

// The radar height sample is in metres; the panel's heights are written in feet.
constexpr double metres_per_foot = 0.3048;

// ---- The engage gate ------------------------------------------------------------------------------------------

// A mode engages only above both, strictly: sampled airspeed (knots) and sampled radar height (metres, 200 ft).
constexpr double gate_airspeed = 40.0;
constexpr double gate_radar_height = 60.96;
static_assert(gate_radar_height == 200 * metres_per_foot);

// Below this radar height (metres, 100 ft) an engaged glide slope shows as level-height.
constexpr double level_height_below = 30.48;
static_assert(level_height_below == 100 * metres_per_foot);

// ---- References the panel steps -------------------------------------------------------------------------------

// The altitude reference in the state block (feet): one step, and raised only while below the ceiling.
constexpr double altitude_step = 100.0;
constexpr double altitude_ceiling = 30000.0;
// Its two floors differ on purpose, and each is the behaviour of its own controls. The ALT rocker and the
// ALT/VS rocker lower the reference only while it is above 99.9 ft; the fore-aft beep trim only while it is at
// or above 100.0 ft. A reference between them (99.95 ft) is lowered by a rocker and kept by the trim.
constexpr double altitude_rocker_floor = 99.9;  // lowered while reference > this
constexpr double altitude_trim_floor = 100.0;   // lowered while reference >= this

// The heading bug moves by one whole degree, by knob or by lateral beep trim, and wraps at 0 and 359.
constexpr int64_t heading_step = 1;

// The autopilot airspeed reference (knots): one knot per step, held within these by the IAS selector; the
// fore-aft beep trim moves it only while strictly inside them.
constexpr int64_t airspeed_step = 1;
constexpr int64_t airspeed_min = 40;
constexpr int64_t airspeed_max = 160;

}  // namespace afcp::units
