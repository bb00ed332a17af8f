// The helicopter's components, after the minimum-complexity model of Heffley & Mnich, "Minimum-Complexity
// Helicopter Simulation Math Model", NASA CR-177476 (1988): each turns the shared state and air data of one
// evaluation (a Flow) into its forces and moments about the centre of gravity, and the shaft power it draws.
// The model (flight/helicopter.cpp) sums them and integrates the rigid body.
//
// Units: feet, slugs, pounds force, seconds, radians, everywhere inside; stations (inches) become body positions
// (feet from the CG) once, in the constructors, and the controls become blade angles once (Helicopter).
#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <array>

#include "flight/parameters.h"
#include "flight/state.h"

namespace flight {

// The attitude: the Euler angles (roll phi, pitch theta, yaw psi), their sines and cosines, and the earth-to-body
// rotation of the yaw-pitch-roll sequence built from them: the one direction-cosine matrix. Its transpose takes
// body vectors to north-east-down; its third column is the earth's down in body axes.
struct Attitude {
    Eigen::Vector3d angles, sin, cos;
    Eigen::Matrix3d earth_to_body;
    static Attitude of(const Eigen::Vector3d& euler) {
        Attitude a;
        a.set(euler);
        return a;
    }
    // The attitude at angles close to these (an integration step away), from these sines and cosines by the
    // angle-addition formulas with the series of the small difference (exact to the last bits below 0.05 rad),
    // so that a step takes its trigonometry once; farther away, as of().
    Attitude near(const Eigen::Vector3d& euler) const {
        Attitude a;
        near(euler, a);
        return a;
    }
    // The same, made in place: `out` (not this attitude) becomes the attitude at the angles.
    void set(const Eigen::Vector3d& euler);
    void near(const Eigen::Vector3d& euler, Attitude& out) const;
};
Eigen::Matrix3d earth_to_body(const Eigen::Vector3d& euler);
// A rotation's inverse, its transpose, copied element by element (the same numbers as Eigen's transpose; GCC's
// flow analysis takes the copy from a transposed expression for a read of an unset matrix in some builds).
inline Eigen::Matrix3d transposed(const Eigen::Matrix3d& m) {
    Eigen::Matrix3d t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t(i, j) = m(j, i);
    return t;
}

// What one component gives: body axes, about the CG.
struct Load {
    Eigen::Vector3d force = Eigen::Vector3d::Zero();   // lbf
    Eigen::Vector3d moment = Eigen::Vector3d::Zero();  // ft lbf
    double power = 0;                                   // ft lbf/s taken from the rotor shaft
    Load& operator+=(const Load& o) {
        force += o.force;
        moment += o.moment;
        power += o.power;
        return *this;
    }
    // A force at a body point (ft from the CG), and the moment it makes about the CG.
    static Load at(const Eigen::Vector3d& point, const Eigen::Vector3d& force) {
        Load l;
        l.force = force;
        l.moment = point.cross(force);
        return l;
    }
};

// The blades' angles (rad): main-rotor collective, longitudinal cyclic (+ tilts the disc forward), lateral
// cyclic (+ tilts it right), tail-rotor collective.
struct BladeAngles {
    double collective = 0, longitudinal = 0, lateral = 0, tail = 0;
};

// What every component sees of one evaluation.
struct Flow {
    const State& state;
    const Eigen::Matrix3d& earth_to_body;
    Eigen::Vector3d air;  // the aircraft's velocity relative to the air at the CG, body axes (wind and gusts out)
    double density;       // slug/ft^3
    double height;        // the CG above the ground, ft
    // The earth's down in body axes, and how far below the CG a body point lies (ft).
    Eigen::Vector3d down() const { return earth_to_body.col(2); }
    double below_cg(const Eigen::Vector3d& point) const { return down().dot(point); }
};

// ---- Main rotor: blade-element thrust, inflow dynamics, tip-path-plane flapping, hub moments, ground effect --
class MainRotor {
public:
    explicit MainRotor(const Parameters& p);

    // The terms that depend on the air density alone (computed once a step).
    struct AtDensity {
        double density;
        double thrust_coef;    // dT / d(w_b - v_i), lbf per ft/s: rho a b c R (Omega R) / 4
        double momentum;       // 1 / (2 pi rho R^2)
        double kc;             // flapping's aerodynamic coupling, with the pitch-flap coupling K1
        double itb, itb2;      // the tip-path plane's direct and cross response, 1/s
        double dl_da1;         // the aerodynamic cross stiffness of the hub, ft lbf/rad
        double db1dv;          // dihedral: lateral flapping per ft/s of sideways speed
        // db1dv's two terms at the nominal speed, 2/(Omega R) 8 C_T / (a sigma) and 2/(Omega R) sqrt(C_T / 2):
        // with C_T of the weight ~ 1/Omega^2 they scale as 1/n^3 and 1/n^2.
        double db1dv_loading, db1dv_root;
        double profile;        // profile power per (tip speed^2 + 3 V_adv^2), ft lbf/s per ft^2/s^2
    };
    AtDensity at_density(double density) const;

    struct Result {
        Load load;
        double thrust = 0;         // along the disc's normal, lbf (ground effect in)
        double ground_effect = 1;  // T_IGE / T_OGE
        double d_a1 = 0, d_b1 = 0, d_inflow = 0;
    };
    // At the rotor speed the state holds: the tip speed, the thrust's and the profile's coefficients and the
    // tip-path plane's rates follow it, the Lock-number terms with Omega, the hub's stiffnesses with Omega^2.
    Result evaluate(const Flow& f, const AtDensity& a, const BladeAngles& blades) const;
    // The shaft power alone, as evaluate() gives it (ft lbf/s): what the instruments read between steps.
    double power(const Flow& f, const AtDensity& a, const BladeAngles& blades) const;

    // Figures of the rotor at its nominal speed that trim, the tests and the crash checks read.
    double omega() const { return omega_; }
    double tip_speed() const { return tip_speed_; }
    double radius() const { return radius_; }
    double solidity() const { return solidity_; }
    double disk_area() const { return disk_area_; }
    const Eigen::Vector3d& hub() const { return hub_; }
    double flap_time_constant(double density) const;  // the tip-path plane's lag, s

private:
    // What the thrust and the power share: the rotor's speed (held off zero), the tip speed, the thrust's
    // coefficient, the flow across and through the disc, the thrust out of ground effect.
    struct Disc {
        double n, tip, coef, v_adv2, w_r, thrust_oge;
    };
    Disc disc(const Flow& f, const AtDensity& a, const BladeAngles& blades) const;
    double power(const Disc& d, const AtDensity& a, double inflow) const;
    double omega_, tip_speed_, radius_, solidity_, disk_area_, lift_slope_;
    double twist_, shaft_tilt_, hinge_ratio_, pitch_flap_;
    double thrust_coef_per_rho_, lock_omega_16_per_rho_, flap_stiffness_, cross_stiffness_per_rho_;
    double profile_area_, inflow_gain_, weight_, transition_speed_, least_speed_;
    Eigen::Vector3d hub_;
};

// ---- Tail rotor: the same thrust and inflow law, its disc normal to the body's y axis, thrust to the right ----
class TailRotor {
public:
    explicit TailRotor(const Parameters& p);
    struct AtDensity {
        double thrust_coef, momentum, profile;
    };
    AtDensity at_density(double density) const;
    struct Result {
        Load load;
        double thrust = 0, d_inflow = 0;
    };
    // Geared to the main rotor: at the state's rotor speed.
    Result evaluate(const Flow& f, const AtDensity& a, double pitch) const;
    double power(const Flow& f, const AtDensity& a, double pitch) const;  // evaluate()'s power alone
    double tip_speed() const { return tip_speed_; }
    const Eigen::Vector3d& hub() const { return hub_; }

private:
    // As the main rotor's: the speed, the tip speed, the coefficient, the flow across and through the disc at
    // its hub, the thrust.
    struct Disc {
        double n, tip, coef, v_adv2, v_r, thrust;
    };
    Disc disc(const Flow& f, const AtDensity& a, double pitch) const;
    double power(const Disc& d, const AtDensity& a, double inflow) const;
    double tip_speed_, radius_, twist_, inflow_gain_, thrust_coef_per_rho_, profile_area_, least_speed_;
    Eigen::Vector3d hub_;
};

// ---- Fuselage: quadratic drag of equivalent flat plates, in the main rotor's downwash ----------------------------
class Fuselage {
public:
    explicit Fuselage(const Parameters& p);
    Load evaluate(const Flow& f) const;

private:
    double xuu_, yvv_, zww_;
    Eigen::Vector3d centre_;
};

// ---- Tail surfaces: linear lift up to the stall, a flat plate beyond -----------------------------------------
// The law both surfaces share: the force along the surface's normal for forward speed u and normal speed n,
// stalled at |n| > 0.3 |u| with the speed `stalled_speed`.
double surface_force(const SurfaceParameters& s, double density, double u, double normal, double stalled_speed);

class HorizontalTail {
public:
    explicit HorizontalTail(const Parameters& p);
    Load evaluate(const Flow& f) const;

private:
    SurfaceParameters surface_;
    Eigen::Vector3d centre_, hub_;
    double radius_;
};

class VerticalTail {
public:
    explicit VerticalTail(const Parameters& p);
    Load evaluate(const Flow& f) const;

private:
    SurfaceParameters surface_;
    Eigen::Vector3d centre_;
};

// ---- The drive: two engines, a governor, the freewheels, the rotor's inertia ----------------------------------
// The rotor's speed is a state: I_R dOmega/dt = Q_engines - Q_main - Q_tail - Q_loss, the tail rotor geared to the
// main rotor and every torque referred to the main rotor's shaft; with the speed n as a fraction of the nominal
// Omega_0 this is I_R Omega_0^2 n dn/dt = P_engines - P_load.

// One turboshaft engine: its power follows the demand with a first-order lag, up to its power available at the
// rating that applies; a failed engine's power dies away with the same lag.
class Engine {
public:
    explicit Engine(const PowertrainParameters& p) : ratings_(p.engine), time_constant_(p.engine_time_constant_s) {}
    // hp available: the take-off rating, or the one-engine-inoperative rating while the other engine has failed.
    double available(bool other_running) const {
        return other_running ? ratings_.take_off_hp : ratings_.one_engine_inoperative_hp;
    }
    // dP/dt (hp/s) of an engine delivering `power` asked for `demand`.
    double rate(double power, double demand) const { return (demand - power) / time_constant_; }
    const EngineRatings& ratings() const { return ratings_; }

private:
    EngineRatings ratings_;
    double time_constant_;
};

// The governor: the power the engines are asked for to hold the rotor at its nominal speed: the rotor's load
// anticipated, plus the speed's error at a gain that damps the governed speed at the damping ratio asked for.
// With the engine lag tau and the rotor's energy measure E = I_R Omega_0^2, tau E x'' + E x' + K x = 0, so
// K = E / (4 tau zeta^2).
class Governor {
public:
    explicit Governor(const PowertrainParameters& p, double nominal_omega);
    double demand(double rotor_speed, double load_hp) const { return load_hp + gain_hp_ * (1 - rotor_speed); }
    double gain_hp() const { return gain_hp_; }

private:
    double gain_hp_;  // hp asked per unit of speed below the nominal
};

// The freewheel: an engine drives the rotor and never the other way, so an engine whose power falls short of
// nothing (a failed one, or one the governor idles while the air drives the rotor) neither brakes it nor is
// driven.
struct Freewheel {
    static double transmitted(double engine_power) { return engine_power > 0 ? engine_power : 0.0; }
};

class Powertrain {
public:
    Powertrain(const Parameters& p, double nominal_omega);
    struct Result {
        double d_rotor_speed = 0;                      // 1/s
        std::array<double, State::kEngineCount> d_power{};  // hp/s
        std::array<double, State::kEngineCount> delivered{};  // hp through each freewheel
        double delivered_total = 0;                    // hp
    };
    // `load` is what the rotors and the transmission take at the state (ft lbf/s), `running` which engines run.
    Result evaluate(const State& s, double load, const std::array<bool, State::kEngineCount>& running) const;
    // The power each engine is asked for: the governor's demand shared among the running engines, each up to its
    // power available; a failed engine is asked for nothing.
    std::array<double, State::kEngineCount> demands(double rotor_speed, double load_hp,
                                                    const std::array<bool, State::kEngineCount>& running) const;
    // The engines' power available together (hp), each at the rating that applies.
    double available(const std::array<bool, State::kEngineCount>& running) const;
    static int running_count(const std::array<bool, State::kEngineCount>& running) {
        int n = 0;
        for (bool r : running) n += r ? 1 : 0;
        return n;
    }
    const Engine& engine() const { return engine_; }
    const Governor& governor() const { return governor_; }
    double energy() const { return energy_; }  // I_R Omega_0^2, ft lbf

private:
    Engine engine_;  // both engines are alike
    Governor governor_;
    double energy_;
    double least_speed_;
};

// ---- Gravity --------------------------------------------------------------------------------------------------
class Gravity {
public:
    explicit Gravity(const Parameters& p) : weight_(p.weight_lb) {}
    Load evaluate(const Flow& f) const {
        Load l;
        l.force = weight_ * f.down();
        return l;
    }

private:
    double weight_;
};

// ---- Skid gear: a spring and damper at each skid end, Coulomb friction, hard points of the structure --------
class SkidGear {
public:
    static constexpr int kSkids = 4;
    // Where each skid end holds to the ground by static friction, kept from step to step (an elastic-plastic
    // contact): without it, friction is a steep viscous law up to its Coulomb limit.
    struct Memory {
        std::array<Eigen::Vector2d, kSkids> anchor = {Eigen::Vector2d::Zero(), Eigen::Vector2d::Zero(),
                                                      Eigen::Vector2d::Zero(), Eigen::Vector2d::Zero()};
        std::array<bool, kSkids> stuck{};
    };
    SkidGear(const Parameters& p, double mass);

    struct Result {
        Load load;
        bool skid_contact = false;       // a skid end touches
        bool structure_contact = false;  // a hard point of the structure touches
        int structure_struck = -1;       // the first hard point that touches (GearParameters::structure)
    };
    Result evaluate(const Flow& f, double ground_down, const Memory* memory) const;
    // After a step: a skid end that touches sticks where it is, and is dragged along once its spring pulls
    // harder than the Coulomb limit.
    void update(const State& s, const Eigen::Matrix3d& earth_to_body, double ground_down, Memory& memory) const;

    double static_deflection() const;  // ft, under the whole weight
    const GearParameters& parameters() const { return p_; }
    double reach() const { return reach_; }  // the contact point farthest from the CG, ft

private:
    double normal_force(double depth, double rate, bool skid) const;
    GearParameters p_;
    double gravity_, k_, c_, bottom_k_, bottom_c_, stick_k_, stick_c_, reach_;
};

}  // namespace flight
