// Helicopter flight model: six-degree-of-freedom rigid body with a minimum-complexity rotor (after Heffley &
// Mnich, NASA CR-177476, 1988), ground effect, skid gear, ISA and a steady wind.
#pragma once

#include <Eigen/Core>
#include <array>

#include "flight/parameters.h"

namespace flight {

struct Controls {            // the blades' inputs as fractions of their travel
    double collective = 0;   // 0..1, 0 = lever down
    double longitudinal = 0; // -1..1, + = stick aft (nose up)
    double lateral = 0;      // -1..1, + = stick right (right wing down)
    double pedals = 0;       // -1..1, + = right pedal (nose right)
};

struct Environment {
    double ground_elevation_ft = 500;                         // flat terrain
    Eigen::Vector3d wind_ned_fps = Eigen::Vector3d::Zero();  // air mass velocity, north/east/down, ft/s
};

struct State {               // 16 states
    Eigen::Vector3d velocity_body = Eigen::Vector3d::Zero();  // u, v, w ft/s (x fwd, y right, z down)
    Eigen::Vector3d rates_body = Eigen::Vector3d::Zero();     // p, q, r rad/s
    Eigen::Vector3d euler = Eigen::Vector3d::Zero();          // roll phi, pitch theta, yaw psi (rad)
    Eigen::Vector3d position_ned = Eigen::Vector3d::Zero();   // ft; altitude = -z
    double a1 = 0, b1 = 0;                    // tip-path-plane tilt, rad (a1 aft, b1 right)
    double inflow_main = 0, inflow_tail = 0;  // induced velocities ft/s
};

struct Outputs {             // what the cockpit instruments read, derived from a state
    double airspeed_kt, ground_speed_kt, altitude_ft /* of the CG, MSL */, radar_height_ft /* skids above ground, 0 on the ground */;
    double heading_deg /* 0..360 */, pitch_deg /* nose up + */, bank_deg /* right + */;
    double climb_rate_fpm, roll_rate_dps, pitch_rate_dps, yaw_rate_dps;
    double forward_ground_speed_fps, right_ground_speed_fps;  // ground velocity along the heading and to its right
    double main_rotor_power_hp, sideslip_deg;
    bool on_ground;
};

class Helicopter {
public:
    explicit Helicopter(const Parameters& p = default_parameters());

    // Advances by dt with fixed-step RK4 (steps longer than 0.02 s are split into equal RK4 steps of at most
    // 0.02 s; a non-positive or non-finite dt does nothing, one longer than 20 s advances 20 s). Controls are
    // clamped to their ranges, NaN reads 0.
    void step(const Controls& c, const Environment& e, double dt);
    const State& state() const { return state_; }
    // Non-finite entries of s are read as 0.
    void set_state(const State& s);
    // Instruments for the current state; the power is that of the controls of the last step.
    Outputs outputs(const Environment& e) const;
    State derivative(const State& s, const Controls& c, const Environment& e) const;

    // Blade angles (rad) of a control set after clamping: collective, longitudinal cyclic (+ tilts the disc
    // forward), lateral cyclic (+ tilts it right), tail-rotor collective.
    struct BladeAngles {
        double collective, longitudinal, lateral, tail;
    };
    BladeAngles blade_angles(const Controls& c) const;
    static Controls sanitize(const Controls& c);

    // Quantities of the model that tests and trim look at.
    struct Derived {
        double mass;               // slug
        double omega;              // main rotor rad/s
        double tip_speed;          // ft/s
        double solidity;
        double disk_area;          // ft^2
        double thrust_coef;        // thrust per (ft/s of blade-relative inflow) per unit density
        double lock_omega_16;      // gamma * Omega / 16 per unit density, with the hinge-offset correction
        double flap_stiffness;     // ft lbf/rad
        double flap_cross_stiffness;  // ft lbf/rad per unit density
        double profile_area;       // cd0 b c R, ft^2
        double tail_omega, tail_tip_speed, tail_thrust_coef, tail_disk_area;
        Eigen::Vector3d r_main, r_tail, r_fuselage, r_htail, r_vtail;  // body positions, ft
        Eigen::Matrix3d inertia, inertia_inv;
        double gear_k, gear_c, bottom_k, bottom_c;  // per contact point
        double stick_k, stick_c;                     // per skid end, along the ground
        double gear_reach;                           // farthest contact point from the CG, ft
        double inv_mass, inflow_gain, tail_inflow_gain;
        double flap_time_constant(double density) const;
    };
    const Derived& derived() const { return d_; }

    // Forces and diagnostic values of one evaluation.
    struct Diagnostics {
        double thrust_main = 0, thrust_tail = 0;
        double main_rotor_power_ftlbs = 0;
        double ground_effect = 1;
        bool on_ground = false;
    };
    // Where each skid end holds to the ground by static friction: kept from step to step, cleared by
    // set_state. Without it (derivative()) friction is a steep viscous law up to its Coulomb limit.
    struct GearMemory {
        std::array<Eigen::Vector2d, 4> anchor = {Eigen::Vector2d::Zero(), Eigen::Vector2d::Zero(),
                                                 Eigen::Vector2d::Zero(), Eigen::Vector2d::Zero()};
        std::array<bool, 4> stuck{};
    };
    State evaluate(const State& s, const Controls& c, const Environment& e, Diagnostics* diag,
                   const GearMemory* gear = nullptr) const;

private:
    // Terms that depend on the air density only, computed once per step.
    struct AirTerms {
        double rho, kc, itb, itb2, dl_da1, coef, tail_coef, momentum, tail_momentum, db1dv, profile;
    };
    AirTerms air_terms(double altitude_ft) const;
    State evaluate(const State& s, const Controls& c, const Environment& e, const AirTerms& air,
                   Diagnostics* diag, const GearMemory* gear) const;
    Parameters p_;
    Derived d_;
    State state_;
    Controls last_controls_;
    GearMemory gear_;
    void update_gear_memory(const Environment& e);
    double contact_normal(double depth, double rate, bool skid) const;
    void rk4(const Controls& c, const Environment& e, double dt);
};

}  // namespace flight
