// Simulator variables the panel reads and key events it sends, one name each.
#pragma once

#include <cstdint>

namespace afcp {

namespace token {
constexpr int32_t supply_level = 755;
constexpr int32_t enable_switch = 131;
constexpr int32_t airspeed = 61;       // knots
constexpr int32_t radar_height = 614;  // metres
constexpr int32_t current_altitude = 74;
constexpr int32_t heading_bug = 107;
constexpr int32_t autopilot_altitude = 109;
constexpr int32_t autopilot_airspeed = 145;  // units::airspeed_read_per_knot a knot
constexpr int32_t nav_source_flag = 848;
constexpr int32_t nav_receiver_flags = 46;  // flag byte in the low byte of the value
constexpr int32_t vertical_speed = 120;
constexpr int32_t selected_course = 45;
constexpr int32_t navigation_track = 838;  // radians
}  // namespace token

namespace event {
constexpr uint32_t vertical_speed_up = 65894;
constexpr uint32_t vertical_speed_down = 65895;
constexpr uint32_t heading_bug_set = 66042;
constexpr uint32_t autopilot_altitude_set = 66124;
constexpr uint32_t autopilot_airspeed_set = 66083;  // units::airspeed_sent_per_knot a knot
constexpr uint32_t first_go_around_preset = 66036;
constexpr uint32_t second_go_around_preset = 66037;
// The Brevane panel's BARO, UPLIM, CRS and DH knobs send these from their mouse areas, left and right halves
// (both UPLIM halves send the same one); the simulator acts on them, the module never sends them itself.
constexpr uint32_t baro_knob_left = 65884;
constexpr uint32_t baro_knob_right = 65883;
constexpr uint32_t uplim_knob = 65536;
constexpr uint32_t crs_knob_left = 65662;
constexpr uint32_t crs_knob_right = 65663;
constexpr uint32_t dh_knob_left = 66322;
constexpr uint32_t dh_knob_right = 66321;
}  // namespace event

// The parameters of the two go-around preset events; what they stand for is the simulator's.
namespace go_around_preset {
constexpr uint32_t first = 500;
constexpr uint32_t second = 75;
}  // namespace go_around_preset

}  // namespace afcp
