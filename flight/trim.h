// Trim: the controls and attitude that hold a steady flight condition, and the aircraft at rest on its gear.
#pragma once

#include "flight/helicopter.h"

namespace flight {

struct TrimTarget {
    double airspeed_kt = 0;          // along the heading, relative to the air mass
    double heading_deg = 0;
    double altitude_ft = 0;          // CG, MSL
    double climb_fpm = 0;
    bool still_over_ground = false;  // hover: ground velocity zero (apart from the climb) whatever the wind
    double north_ft = 0, east_ft = 0;
};

struct TrimResult {
    State state;
    Controls controls;
    bool converged;
    // trim: largest scaled derivative left (accelerations in g, angular ones in rad/s^2, rotor states);
    // on_ground: largest speed (ft/s, rad/s) or drift over the last second of settling (ft, rad).
    double residual;
};

TrimResult trim(const Parameters&, const Environment&, const TrimTarget&);

// Resting on the gear, rotor turning, collective down, cyclic and pedals centred, settled.
TrimResult on_ground(const Parameters&, const Environment&, double heading_deg, double north_ft, double east_ft);

// The published aircraft trimmed in level flight at an airspeed, 1,000 ft above the ground in the standard
// atmosphere, as the flight test was flown (flight/reference_trim.h), and what its outputs read there.
struct LevelTrim {
    bool converged;
    double pitch_deg, collective_rad, power_hp, torque_percent;
};
LevelTrim level_trim(double airspeed_kt);

// The model against the flight test's points from the hover up: the RMS and the largest of the differences.
struct FlightTestFit {
    double pitch_rms_deg, pitch_worst_deg, collective_rms_rad, collective_worst_rad;
};
FlightTestFit flight_test_fit();

}  // namespace flight
