// The sensors the engine's open-loop tests fly in: level at 80 kt, 1000 ft, 500 ft over the ground, heading 090,
// the references where the aircraft is; and still, 50 ft over the ground.
#pragma once

#include "engine/aircraft_link.h"
#include "engine/sensors.h"
#include "flight/units.h"

namespace autopilot::fixture {

constexpr double kDt = 0.01;  // the host's 100 Hz
constexpr const char* kAxisNames[] = {"collective", "pitch", "roll", "pedals"};

inline Sensors cruise() {
    Sensors s{};
    s.airspeed_kt = s.ground_speed_kt = s.forward_ground_speed_kt = s.autopilot_airspeed_kt = 80;
    s.radar_height_ft = 500;
    s.altitude_ft = s.selected_altitude_ft = 1000;
    s.heading_deg = s.heading_bug_deg = s.selected_course_deg = 90;
    s.gps_track_rad = flight::units::kPi / 2;
    s.rotor_power_hp = 600;
    s.threshold_nm = s.vor_nm = 5;
    s.pilot[aircraft_link::collective] = 0.5;
    return s;
}

inline Sensors hover() {
    Sensors s = cruise();
    s.airspeed_kt = s.ground_speed_kt = s.forward_ground_speed_kt = 0;
    s.radar_height_ft = 50;
    return s;
}

}  // namespace autopilot::fixture
