// Helicopter flight model: a six-degree-of-freedom rigid body carrying the components of the minimum-complexity
// model of Heffley & Mnich (NASA CR-177476, 1988) (flight/components.h), with ground effect, a skid gear that can
// be landed on and crashed into, ISA, a wind that eases in, and Dryden turbulence (flight/turbulence.h).
#pragma once

#include <Eigen/Core>

#include "flight/components.h"
#include "flight/parameters.h"
#include "flight/state.h"
#include "flight/turbulence.h"

namespace flight {

struct Controls {            // the blades' inputs as fractions of their travel
    double collective = 0;   // 0..1, 0 = lever down
    double longitudinal = 0; // -1..1, + = stick aft (nose up)
    double lateral = 0;      // -1..1, + = stick right (right wing down)
    double pedals = 0;       // -1..1, + = right pedal (nose right)
    bool operator==(const Controls&) const = default;
};

struct Environment {
    double ground_elevation_ft = 500;                         // flat terrain
    Eigen::Vector3d wind_ned_fps = Eigen::Vector3d::Zero();  // air mass velocity, north/east/down, ft/s
};

// Why a flight ended on the ground (the limits: Parameters::ground_limits).
enum class CrashCause : int {
    none = 0,
    hard_touchdown,      // a skid touched down faster than the touchdown limit
    fast_on_ground,      // on the skids faster than the ground-speed limit
    attitude_on_ground,  // banked or pitched past the attitude limit while touching the ground
    rotor_strike,        // the main rotor's disc met the ground
    tail_rotor_strike,   // the tail rotor met the ground
    airframe_strike,     // another hard point of the structure met the ground
};
constexpr int kCrashCauses = static_cast<int>(CrashCause::airframe_strike) + 1;
const char* crash_cause_name(CrashCause c);  // "hard_touchdown", ...
const char* crash_cause_text(CrashCause c);  // "touched down too hard", ...

struct Outputs {             // what the cockpit instruments read, derived from one evaluation
    double airspeed_kt, ground_speed_kt, altitude_ft /* of the CG, MSL */, radar_height_ft /* skids above ground, 0 on the ground */;
    double heading_deg /* 0..360 */, pitch_deg /* nose up + */, bank_deg /* right + */;
    double climb_rate_fpm, roll_rate_dps, pitch_rate_dps, yaw_rate_dps;
    double forward_ground_speed_fps, right_ground_speed_fps;  // ground velocity along the heading and to its right
    double sideslip_deg;
    // Shaft power: the main rotor's, the tail rotor's, and all of it with the transmission and accessory loss;
    // that power's torque at the rotor's speed in percent of the transmission's rating (its torque at 100 %).
    double main_rotor_power_hp, tail_rotor_power_hp, power_hp, torque_percent;
    // The rotor's speed (percent of nominal); each engine's torque in percent of its share of the transmission's
    // rating (half of it: in a twin's even sharing both read the transmission's torque); whether it runs; the
    // engines' power available together at their ratings (hp).
    double rotor_speed_percent;
    std::array<double, State::kEngineCount> engine_torque_percent;
    std::array<bool, State::kEngineCount> engine_running;
    double power_available_hp;
    // The crew's cautions (Parameters::cautions): bits of kLowRotor, kHighRotor, kOverTorque.
    int cautions;
    static constexpr int kLowRotor = 1, kHighRotor = 2, kOverTorque = 4;
    bool on_ground;
    bool crashed;
    CrashCause crash_cause;
};

class Helicopter {
public:
    explicit Helicopter(const Parameters& p = default_parameters());

    // Advances by dt with fixed-step RK4 (steps longer than 0.02 s are split into equal RK4 steps of at most
    // 0.02 s; a non-positive or non-finite dt does nothing, one longer than 20 s advances 20 s). Controls are
    // clamped to their ranges, NaN reads 0. A crashed aircraft stays where it came to rest.
    void step(const Controls& c, const Environment& e, double dt);
    const State& state() const { return state_; }
    // Places the aircraft: non-finite entries of s read 0; the crash is cleared, the wind is felt at once.
    void set_state(const State& s);
    // Instruments: from the evaluation of the current state that the next step starts from (made with the last
    // step's controls; e is read only when nothing was evaluated since set_state).
    Outputs outputs(const Environment& e) const;

    bool crashed() const { return cause_ != CrashCause::none; }

    // Engine failures: engine 0 or 1 fails (its power dies away with the engine's lag; any other number fails
    // nothing), or every engine runs again (each from the power it still gives). Kept through set_state.
    void fail_engine(int engine);
    void restore_engines();
    bool engine_running(int engine) const {
        return engine >= 0 && engine < State::kEngineCount && running_[static_cast<size_t>(engine)];
    }
    const std::array<bool, State::kEngineCount>& engines_running() const { return running_; }
    // The state as the governor holds it steady: the rotor at its nominal speed and the running engines
    // delivering the load at the state and controls, shared (a trim's and a placement's engines).
    State governed(const State& s, const Controls& c, const Environment& e) const;
    CrashCause crash_cause() const { return cause_; }

    // Turbulence from the next step on (a level and a seed; the same seed flies the same gusts).
    void set_turbulence(TurbulenceLevel level, uint64_t seed);
    const Turbulence& turbulence() const { return turbulence_; }

    // The air the components see at a state: the density's terms, the wind as felt and the gusts (body axes).
    struct Air {
        MainRotor::AtDensity main;
        TailRotor::AtDensity tail;
        Eigen::Vector3d wind_ned = Eigen::Vector3d::Zero();
        Eigen::Vector3d gust_body = Eigen::Vector3d::Zero();
    };
    Air still_air(const State& s, const Environment& e) const;  // no gusts, the wind as set

    // One evaluation of the model: each component's load and what the instruments read of it.
    struct Evaluation {
        State derivative;  // the state's rates of change, in the state's own fields
        Attitude attitude;  // of the state evaluated
        Eigen::Vector3d air = Eigen::Vector3d::Zero();  // velocity relative to the air at the CG, body axes
        Load main_rotor, tail_rotor, fuselage, horizontal_tail, vertical_tail, gear, gravity;
        double thrust_main = 0, thrust_tail = 0, ground_effect = 1;
        double power = 0;  // ft lbf/s: both rotors and the transmission and accessory loss
        Powertrain::Result drive;
        bool skid_contact = false, structure_contact = false;
        int structure_struck = -1;  // the first hard point (GearParameters::structure) below the ground
    };
    Evaluation evaluate(const State& s, const Controls& c, const Environment& e, const Air& air,
                        const SkidGear::Memory* memory = nullptr) const;
    Evaluation evaluate(const State& s, const Controls& c, const Environment& e) const {
        return evaluate(s, c, e, still_air(s, e));
    }
    // The state's rates of change in still air, without the gear's stick points (trim's residual).
    State derivative(const State& s, const Controls& c, const Environment& e) const {
        return evaluate(s, c, e).derivative;
    }

    BladeAngles blade_angles(const Controls& c) const;
    static Controls sanitize(const Controls& c);

    const Parameters& parameters() const { return p_; }
    double mass() const { return mass_; }
    const MainRotor& main_rotor() const { return main_rotor_; }
    const TailRotor& tail_rotor() const { return tail_rotor_; }
    const Powertrain& powertrain() const { return powertrain_; }
    const SkidGear& gear() const { return gear_; }

private:
    void rk4(const Controls& c, const Environment& e, double h);
    // The air for the next step: wind eased in, gusts advanced.
    void feel_air(const Environment& e, double h, const Eigen::Matrix3d& earth_to_body);
    void judge_ground(const State& before, const Eigen::Matrix3d& earth_to_body_before, bool touched_before);
    // How much of an evaluation to make: all of it, or what the instruments and the ground's judgement read (the
    // air, the attitude, the rotors' power, the drive, the contacts), leaving the components' loads, the thrusts
    // and the state's rates as they were until a step starts from it.
    enum class Depth { full, instruments };
    // An evaluation made in place at the attitude it holds, from the blades' angles and the ground's depth below
    // the datum (ft, down +), so that the stages of a step share them and build no evaluation of their own.
    void evaluate_into(Evaluation& ev, const State& s, const BladeAngles& blades, double ground_down, const Air& air,
                       const SkidGear::Memory* memory, Depth depth) const;
    Outputs read(const Evaluation& ev, double elevation) const;  // the instruments of an evaluation
    Air air_at(const State& s, const Eigen::Vector3d& wind, const Eigen::Vector3d& gust) const;

    Parameters p_;
    double mass_;
    Eigen::Matrix3d inertia_, inertia_inv_;
    MainRotor main_rotor_;
    TailRotor tail_rotor_;
    Fuselage fuselage_;
    HorizontalTail horizontal_tail_;
    VerticalTail vertical_tail_;
    SkidGear gear_;
    Gravity gravity_;
    Powertrain powertrain_;
    Turbulence turbulence_;
    std::array<bool, State::kEngineCount> running_ = {true, true};

    State state_;
    SkidGear::Memory memory_;
    Controls last_controls_;
    CrashCause cause_ = CrashCause::none;
    // The air of the current state and its evaluation with the last controls: the next step's first stage.
    bool air_known_ = false;
    Air air_;
    bool evaluated_ = false;
    bool evaluated_fully_ = false;  // evaluation_ holds the state's rates, not only the instruments' part
    Controls evaluated_controls_;
    double evaluated_elevation_ = 0;
    Evaluation evaluation_;
    Evaluation stage_;  // the evaluation of a step's inner stages, made anew in place by each
};

}  // namespace flight
