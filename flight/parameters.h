// Helicopter parameters: the one place where the numbers of the flight model live.
#pragma once

#include <Eigen/Core>
#include <array>

namespace flight {

// Positions are given the way the airframe drawings give them: fuselage station (FS, inches, growing aft) and
// water line (WL, inches, growing up).
struct Station {
    double fs_in = 0;
    double wl_in = 0;
};

struct MainRotorParameters {
    Station hub;
    double shaft_tilt_rad = 0;      // forward tilt of the shaft
    double hinge_offset_ft = 0;
    double blade_flap_inertia = 0;  // slug ft^2
    double radius_ft = 0;
    double lift_slope = 0;          // per rad
    double rpm = 0;
    double cd0 = 0;                 // blade profile drag coefficient
    double blades = 0;
    double chord_ft = 0;
    double twist_rad = 0;
    double pitch_flap_coupling = 0; // K1
};

struct TailRotorParameters {
    Station hub;
    double radius_ft = 0;
    double lift_slope = 0;
    double chord_ft = 0;
    double rpm = 0;
    double twist_rad = 0;
    double blades = 0;
    double cd0 = 0;                 // blade profile drag coefficient
};

struct FuselageParameters {
    Station pressure_centre;
    double xuu_ft2 = 0, yvv_ft2 = 0, zww_ft2 = 0;  // equivalent flat-plate areas (signed as drag)
};

struct SurfaceParameters {   // horizontal or vertical tail
    Station pressure_centre;
    double uu_ft2 = 0;       // profile (camber) term
    double uw_ft2 = 0;       // circulation lift term (uw for the horizontal tail, uv for the vertical)
    double max_ft2 = 0;      // flat-plate limit once stalled
};

struct ControlRanges {
    double collective_min_deg = 0, collective_max_deg = 0, collective_offset_deg = 0;
    double longitudinal_deg = 0;   // +- travel of longitudinal cyclic
    double lateral_deg = 0;        // +- travel of lateral cyclic
    double tail_pitch_centre_deg = 0, tail_pitch_half_range_deg = 0;
};

struct GearParameters {
    // Skid ends, body axes (x fwd, y right, z down), ft from the CG.
    std::array<Eigen::Vector3d, 4> skids;
    // Hard points of the structure (nose, tail rotor, rotor hub, cabin sides): they only touch the ground in a
    // crash.
    std::array<Eigen::Vector3d, 5> structure;
    double natural_frequency = 0;   // rad/s, whole aircraft bouncing on the four skids
    double damping_ratio = 0;
    double friction = 0;            // Coulomb coefficient, skid on ground
    double friction_speed_fps = 0;  // without a stick point: sliding speed below which friction grows linearly
    double stick_frequency = 0;     // rad/s, aircraft on the ground pushed sideways while the skids stick
    double stroke_ft = 0;           // skid deflection where the structure bottoms out
    double bottom_frequency = 0;    // rad/s, stiff contact of a bottomed skid or a hard point
};

// Beyond these the aircraft does not survive its meeting with the ground.
struct GroundLimits {
    double touchdown_sink_fps = 0;  // descent rate at the first touch of a skid
    double ground_speed_fps = 0;    // ground speed while a skid touches
    double attitude_rad = 0;        // bank or pitch while the aircraft touches the ground
};

// One turboshaft engine's power available at its ratings, at the engine's output shaft (hp).
struct EngineRatings {
    double take_off_hp = 0;                  // both engines running, five minutes
    double max_continuous_hp = 0;            // both engines running, without a time limit
    double one_engine_inoperative_hp = 0;    // the engine left running when the other has failed
};

// The drive: two engines through freewheels into the main transmission, which drives the main rotor and, geared
// to it, the tail rotor; a governor holds the rotor's speed.
struct PowertrainParameters {
    double rotor_inertia = 0;          // slug ft^2: the rotor's polar moment about the shaft
    EngineRatings engine;              // each of the two
    double engine_time_constant_s = 0; // the engines' power follows the governor's demand with this lag
    double governor_damping = 0;       // the damping ratio of the governed rotor speed (sets the governor's gain)
    // Below this fraction of the nominal speed the blade-element laws are held at it: the blades are stalled long
    // before, and the terms that grow as the speed falls (dihedral, the inflow's reach) stay finite.
    double least_modelled_rotor_speed = 0;
};

// What the crew is warned of (Outputs::cautions).
struct PowerCautions {
    double low_rotor = 0;    // rotor speed below this fraction of the nominal
    double high_rotor = 0;   // rotor speed above it
    double over_torque = 0;  // torque above this fraction of the transmission's rating
};

struct Parameters {
    double weight_lb = 0;
    double ix = 0, iy = 0, iz = 0, ixz = 0;   // slug ft^2
    Station cg;
    MainRotorParameters main_rotor;
    TailRotorParameters tail_rotor;
    FuselageParameters fuselage;
    SurfaceParameters horizontal_tail;
    SurfaceParameters vertical_tail;
    double power_loss_hp = 0;          // accessories and transmission
    double rated_power_hp = 0;         // the transmission's rating: 100 % torque at the rotor's nominal speed
    PowertrainParameters powertrain;
    PowerCautions cautions;
    double transition_speed_fps = 0;   // rotor wake leaves the tail plane behind
    double gravity_fps2 = 0;
    ControlRanges controls;
    GearParameters gear;
    GroundLimits ground_limits;
};

const Parameters& default_parameters();

// Body-axis position (ft, from the CG) of a station.
Eigen::Vector3d body_position(const Parameters& p, const Station& s);

}  // namespace flight
