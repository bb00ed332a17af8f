// What the engine reads of the aircraft and the simulator at each step, every value in the engine's units
// (converted once, where it is read: engine/zolm.cpp).
#pragma once

namespace autopilot {

struct Sensors {
    double airspeed_kt, radar_height_ft, altitude_ft, heading_deg, pitch_deg, bank_deg, climb_fpm;
    double ground_speed_kt, forward_ground_speed_kt, lateral_ground_speed_kt;
    double roll_rate_dps, pitch_rate_dps, yaw_rate_dps, sideslip_deg, rotor_power_hp;
    // The drive: rotor speed (percent; 0 is no reading), engines failed, power available (hp; 0 is no reading).
    double rotor_speed_pct, engines_out, power_available_hp;
    double heading_bug_deg, selected_altitude_ft, autopilot_airspeed_kt, vertical_speed_fpm;
    double selected_course_deg, gps_track_rad;
    int receiver_flags;
    bool force_trim_release;  // the cyclic's, held
    double localizer_dots, glide_slope_dots, threshold_nm, vor_dots, vor_nm;
    double pilot[4];  // collective, pitch, roll, pedals (aircraft_link::Axis)
    double placements;
};

}  // namespace autopilot
