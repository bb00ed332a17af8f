// The engine's control laws and mode logic: what the engine does with the state block at every simulator step.
//
// How the work is divided (as in a three-cue helicopter AFCS):
//   pitch   cyclic: rate damping (STAB) and attitude hold (ATT); IAS, hover fore-aft speed, the transitions and
//           the go-around's airspeed move the pitch attitude reference;
//   roll    cyclic: the same; HDG, NAV, VOR, LOC and hover lateral speed move the bank reference;
//   pedals: yaw damping; heading hold in hover and at low speed, turn coordination above it;
//   collective: the vertical modes (ALT, V/S, CR.HT, HHT, G/S, G/A, the transitions) through a climb-rate loop.
// The engine's share of each control adds to the pilot's. An axis that no engaged mode holds is handed back to
// the pilot's lever (the share moves into it), so letting go moves nothing; with STAB off nothing is held.
#pragma once

#include <cstdint>

#include "modes/state_block.h"

namespace autopilot {

// What the engine reads of the aircraft and the simulator at each step.
struct Sensors {
    double airspeed_kt, radar_height_ft, altitude_ft, heading_deg, pitch_deg, bank_deg, climb_fpm;
    double ground_speed_kt, forward_ground_speed_kt, lateral_ground_speed_kt;
    double roll_rate_dps, pitch_rate_dps, yaw_rate_dps, sideslip_deg, rotor_power_hp;
    double heading_bug_deg, selected_altitude_ft, autopilot_airspeed_kt, vertical_speed_fpm;
    double selected_course_deg, gps_track_rad;
    int receiver_flags;
    double localizer_dots, glide_slope_dots, threshold_nm, vor_dots, vor_nm;
    double pilot[4];  // collective, pitch, roll, pedals
    double placements;
};

// What the engine does at a step besides editing the block.
struct Actions {
    bool held[4];          // the axes the engine holds now; their shares follow
    double share[4];
    uint32_t release;      // the axes let go at this step (bits 1 << axis): hand the share to the pilot
    const char* command;   // a panel command to call by name, or null
    bool set_airspeed;     // send the autopilot airspeed as `airspeed_kt`
    double airspeed_kt;
};

class Autopilot {
public:
    void reset();
    // One step of `dt` seconds. A reading that is not a finite number counts as its last finite value.
    Actions step(afcp::StateBlock& block, const Sensors& s, double dt);

private:
    struct Axis {
        double reference = 0;  // attitude, heading or climb rate, by axis
        double integral = 0;
        double share = 0;
        double sync = 0;  // seconds the reference keeps following the aircraft after the pilot's hand
        bool held = false;
    };
    // The readings with each one that is not a finite number replaced by its last finite value.
    Sensors finite(const Sensors& reading);
    // `reference_read_kt`: the autopilot airspeed as read, before any replacement.
    void take_requests(afcp::StateBlock& b, const Sensors& s, double reference_read_kt, Actions& a);
    void start_modes(uint32_t started, const Sensors& s);
    bool go_around_commanded(const afcp::StateBlock& b, const Sensors& s) const;
    void capture(afcp::StateBlock& b, const Sensors& s, bool go_around, Actions& a);
    double vertical_target(const afcp::StateBlock& b, const Sensors& s, bool& holds, double dt);
    bool pitch_target(const afcp::StateBlock& b, const Sensors& s, double dt, double& theta);
    bool roll_target(const afcp::StateBlock& b, const Sensors& s, double dt, double& phi);
    double course_bank(double course_deg, double cross_ft, const Sensors& s, double dt);

    Axis axis_[4];
    Sensors last_finite_{};
    bool started_ = false;
    double placements_ = -1;
    double last_pilot_[4] = {};
    // Outer loops' memories.
    double speed_integral_ = 0, lateral_integral_ = 0, course_integral_ = 0;
    uint32_t speed_loop_owner_ = 0;  // the mode flying the speed loop (IAS and G/A as one), 0 when none
    bool lateral_loop_on_ = false, course_loop_on_ = false;
    double hover_x_ft_ = 0, hover_y_ft_ = 0;  // off the hover point, along and across the heading
    double hover_heading_deg_ = 0;
    double speed_target_kt_ = 0;      // IAS: the slewing target
    double transition_speed_kt_ = 0;  // the transitions' speed target
    double transition_start_kt_ = 0, transition_start_height_ft_ = 0;
    double ga_heading_deg_ = 0;
    bool heading_hold_on_ = false;
    uint32_t last_engaged_ = 0;
};

}  // namespace autopilot
