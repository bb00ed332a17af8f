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
constexpr int32_t autopilot_airspeed = 145;  // 1/64 knot
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
constexpr uint32_t autopilot_airspeed_set = 66083;  // 1/128 knot
constexpr uint32_t first_go_around_preset = 66036;
constexpr uint32_t second_go_around_preset = 66037;
}  // namespace event

}  // namespace afcp
