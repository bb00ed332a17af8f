#include "flight/helicopter.h"

#include <Eigen/LU>
#include <algorithm>
#include <cmath>

#include "flight/atmosphere.h"
#include "flight/units.h"

namespace flight {

namespace {

using namespace units;
constexpr double kMaxStep = 0.02;
// A wind that changes reaches the aircraft over a second or two: a first-order lag of this time constant
// (95 % in 1.5 s), as a gust front takes time to pass an aircraft.
constexpr double kWindLagSeconds = 0.5;

constexpr const char* kCauseNames[] = {"none", "hard_touchdown", "fast_on_ground", "attitude_on_ground",
                                       "rotor_strike", "tail_rotor_strike", "airframe_strike"};
constexpr const char* kCauseTexts[] = {"no crash",
                                       "touched down faster than 600 ft/min",
                                       "on the ground faster than 30 kt",
                                       "banked or pitched past 30 deg on the ground",
                                       "the main rotor struck the ground",
                                       "the tail rotor struck the ground",
                                       "the airframe struck the ground"};
static_assert(std::size(kCauseNames) == kCrashCauses && std::size(kCauseTexts) == kCrashCauses);

// The hard points of GearParameters::structure whose strike has its own cause.
constexpr int kTailRotorHubPoint = 1, kMainRotorHubPoint = 2;

double finite_or_zero(double x) { return std::isfinite(x) ? x : 0.0; }

double wrap_two_pi(double a) {
    if (a >= 0 && a < 2 * kPi) return a;
    a = std::fmod(a, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    return a;
}

double wrap_pi(double a) {
    if (a > -kPi && a <= kPi) return a;
    return wrap_two_pi(a + kPi) - kPi;
}

// Keeps pitch within +-90 deg (a loop carries roll and yaw over by half a turn) and the angles in range, so
// that a tumbling aircraft never winds its Euler angles up.
void normalise_euler(State& s) {
    auto e = s.euler();
    double theta = wrap_pi(e.y());
    if (theta > kPi / 2 || theta < -kPi / 2) {
        theta = (theta > 0 ? kPi : -kPi) - theta;
        e.x() += kPi;
        e.z() += kPi;
    }
    e.y() = theta;
    e.x() = wrap_pi(e.x());
    e.z() = wrap_two_pi(e.z());
}

}  // namespace

const char* crash_cause_name(CrashCause c) { return kCauseNames[static_cast<int>(c)]; }
const char* crash_cause_text(CrashCause c) { return kCauseTexts[static_cast<int>(c)]; }

namespace {

void build_rotation(Attitude& a) {
    const double sf = a.sin.x(), cf = a.cos.x(), st = a.sin.y(), ct = a.cos.y(), sp = a.sin.z(), cp = a.cos.z();
    a.earth_to_body << ct * cp, ct * sp, -st,
        sf * st * cp - cf * sp, sf * st * sp + cf * cp, sf * ct,
        cf * st * cp + sf * sp, cf * st * sp - sf * cp, cf * ct;
}

}  // namespace

void Attitude::set(const Eigen::Vector3d& euler) {
    angles = euler;
    for (int i = 0; i < 3; ++i) {
        sin[i] = std::sin(euler[i]);
        cos[i] = std::cos(euler[i]);
    }
    build_rotation(*this);
}

void Attitude::near(const Eigen::Vector3d& euler, Attitude& a) const {
    constexpr double kNear = 0.05;  // rad: the series' ninth-order remainder is below 1e-17 there
    const Eigen::Vector3d d = euler - angles;
    if (!(d.lpNorm<Eigen::Infinity>() < kNear)) return a.set(euler);
    a.angles = euler;
    // Taylor's series to the x^7 and x^8 terms, in Horner's form with the reciprocals of the factorials' ratios.
    constexpr double k6 = 1.0 / 6, k20 = 1.0 / 20, k42 = 1.0 / 42, k2 = 1.0 / 2, k12 = 1.0 / 12, k30 = 1.0 / 30,
                     k56 = 1.0 / 56;
    for (int i = 0; i < 3; ++i) {
        const double x = d[i], x2 = x * x;
        const double sd = x * (1 - x2 * k6 * (1 - x2 * k20 * (1 - x2 * k42)));
        const double cd = 1 - x2 * k2 * (1 - x2 * k12 * (1 - x2 * k30 * (1 - x2 * k56)));
        a.sin[i] = sin[i] * cd + cos[i] * sd;
        a.cos[i] = cos[i] * cd - sin[i] * sd;
    }
    build_rotation(a);
}

Eigen::Matrix3d earth_to_body(const Eigen::Vector3d& euler) { return Attitude::of(euler).earth_to_body; }

Helicopter::Helicopter(const Parameters& p)
    : p_(p), mass_(p.weight_lb / p.gravity_fps2), main_rotor_(p), tail_rotor_(p), fuselage_(p), horizontal_tail_(p),
      vertical_tail_(p), gear_(p, mass_), gravity_(p), powertrain_(p, main_rotor_.omega()) {
    inertia_ << p.ix, 0, -p.ixz, 0, p.iy, 0, -p.ixz, 0, p.iz;
    inertia_inv_ = inertia_.inverse();
}

Controls Helicopter::sanitize(const Controls& c) {
    Controls r;
    r.collective = std::clamp(finite_or_zero(c.collective), 0.0, 1.0);
    r.longitudinal = std::clamp(finite_or_zero(c.longitudinal), -1.0, 1.0);
    r.lateral = std::clamp(finite_or_zero(c.lateral), -1.0, 1.0);
    r.pedals = std::clamp(finite_or_zero(c.pedals), -1.0, 1.0);
    return r;
}

BladeAngles Helicopter::blade_angles(const Controls& in) const {
    const Controls c = sanitize(in);
    const auto& r = p_.controls;
    BladeAngles b;
    b.collective = (r.collective_offset_deg + r.collective_min_deg +
                    c.collective * (r.collective_max_deg - r.collective_min_deg)) * kRadiansPerDegree;
    b.longitudinal = -c.longitudinal * r.longitudinal_deg * kRadiansPerDegree;  // aft stick tilts the disc aft
    b.lateral = c.lateral * r.lateral_deg * kRadiansPerDegree;
    // Right pedal: less tail-rotor thrust.
    b.tail = (r.tail_pitch_centre_deg - c.pedals * r.tail_pitch_half_range_deg) * kRadiansPerDegree;
    return b;
}

Helicopter::Air Helicopter::air_at(const State& s, const Eigen::Vector3d& wind, const Eigen::Vector3d& gust) const {
    // The density at the altitude of the step's start: 10 ms of climb change it by nothing.
    const double rho = isa(-s.position_ned().z()).density;
    Air a;
    a.main = main_rotor_.at_density(rho);
    a.tail = tail_rotor_.at_density(rho);
    a.wind_ned = wind.allFinite() ? wind : Eigen::Vector3d::Zero();
    a.gust_body = gust;
    return a;
}

Helicopter::Air Helicopter::still_air(const State& s, const Environment& e) const {
    return air_at(s, e.wind_ned_fps, Eigen::Vector3d::Zero());
}

Helicopter::Evaluation Helicopter::evaluate(const State& s, const Controls& c, const Environment& env, const Air& air,
                                            const SkidGear::Memory* memory) const {
    Evaluation ev;
    ev.attitude.set(s.euler());
    evaluate_into(ev, s, blade_angles(c), -finite_or_zero(env.ground_elevation_ft), air, memory, Depth::full);
    return ev;
}

void Helicopter::evaluate_into(Evaluation& ev, const State& s, const BladeAngles& blades, double ground_down,
                               const Air& air, const SkidGear::Memory* memory, Depth depth) const {
    const Attitude& attitude = ev.attitude;
    const Eigen::Matrix3d& e2b = ev.attitude.earth_to_body;
    ev.air = s.velocity_body() - e2b.lazyProduct(air.wind_ned) - air.gust_body;
    const Flow flow{s, e2b, ev.air, air.main.density, ground_down - s.position_ned().z()};

    const SkidGear::Result gear = gear_.evaluate(flow, ground_down, memory);
    ev.gear = gear.load;
    ev.skid_contact = gear.skid_contact;
    ev.structure_contact = gear.structure_contact;
    ev.structure_struck = gear.structure_struck;

    // The rotors: the instruments read their power alone.
    if (depth == Depth::instruments) {
        ev.main_rotor.power = main_rotor_.power(flow, air.main, blades);
        ev.tail_rotor.power = tail_rotor_.power(flow, air.tail, blades.tail);
    } else {
        const MainRotor::Result main = main_rotor_.evaluate(flow, air.main, blades);
        const TailRotor::Result tail = tail_rotor_.evaluate(flow, air.tail, blades.tail);
        ev.main_rotor = main.load;
        ev.tail_rotor = tail.load;
        ev.thrust_main = main.thrust;
        ev.thrust_tail = tail.thrust;
        ev.ground_effect = main.ground_effect;
        State& d = ev.derivative;
        d.a1() = main.d_a1;
        d.b1() = main.d_b1;
        d.inflow_main() = main.d_inflow;
        d.inflow_tail() = tail.d_inflow;
    }
    // The drive: the rotors' load with the transmission's and accessories' loss (a torque: its power follows the
    // speed), against the engines. Besides the main rotor's own torque the shaft reacts the rotor's angular
    // acceleration, I_R dOmega/dt = (P_engines - P_load) / Omega, on the airframe: all of it, the engines' torque
    // less what the tail rotor and the loss take; with the engines gone the nose swings left.
    const double n = s.rotor_speed();
    const double loss = p_.power_loss_hp * kFtLbsPerHp * n;
    ev.power = ev.main_rotor.power + ev.tail_rotor.power + loss;
    ev.drive = powertrain_.evaluate(s, ev.power, running_);
    if (depth == Depth::instruments) return;
    ev.main_rotor.moment.z() += (ev.drive.delivered_total * kFtLbsPerHp - ev.power) /
                                (main_rotor_.omega() * std::max(n, p_.powertrain.least_modelled_rotor_speed));

    ev.fuselage = fuselage_.evaluate(flow);
    ev.horizontal_tail = horizontal_tail_.evaluate(flow);
    ev.vertical_tail = vertical_tail_.evaluate(flow);
    ev.gravity = gravity_.evaluate(flow);
    Load total = ev.main_rotor;
    for (const Load* l : {&ev.tail_rotor, &ev.fuselage, &ev.horizontal_tail, &ev.vertical_tail, &ev.gear, &ev.gravity})
        total += *l;

    // The rigid body: Newton and Euler in body axes, the Euler angles' kinematics, the position in the earth's axes.
    const auto vel = s.velocity_body();
    const Eigen::Vector3d w = s.rates_body();
    State& d = ev.derivative;
    d.velocity_body() = total.force / mass_ - w.cross(vel);
    d.rates_body() = inertia_inv_.lazyProduct(total.moment - w.cross(inertia_.lazyProduct(w)));
    const double sf = attitude.sin.x(), cf = attitude.cos.x(), st = attitude.sin.y();
    double ct = attitude.cos.y();
    if (std::abs(ct) < 1e-6) ct = ct < 0 ? -1e-6 : 1e-6;  // singular at +-90 deg of pitch: held off zero
    const double qr = w.y() * sf + w.z() * cf;
    d.euler() = Eigen::Vector3d(w.x() + st / ct * qr, w.y() * cf - w.z() * sf, qr / ct);
    d.position_ned() = e2b.transpose().lazyProduct(vel);
    d.rotor_speed() = ev.drive.d_rotor_speed;
    for (int i = 0; i < State::kEngineCount; ++i) d.engine_power(i) = ev.drive.d_power[static_cast<size_t>(i)];
}

State Helicopter::governed(const State& s, const Controls& c, const Environment& e) const {
    State g = s;
    g.rotor_speed() = 1;
    const auto shares = powertrain_.demands(1, evaluate(g, c, e).power / kFtLbsPerHp, running_);
    for (int i = 0; i < State::kEngineCount; ++i) g.engine_power(i) = shares[static_cast<size_t>(i)];
    return g;
}

void Helicopter::fail_engine(int engine) {
    if (engine < 0 || engine >= State::kEngineCount) return;  // no such engine
    running_[static_cast<size_t>(engine)] = false;
    evaluated_ = false;
}

void Helicopter::restore_engines() {
    running_.fill(true);
    evaluated_ = false;
}

void Helicopter::set_state(const State& s) {
    const double n = s.rotor_speed();
    state_.x = s.x.unaryExpr([](double v) { return finite_or_zero(v); });
    state_.rotor_speed() = std::isfinite(n) ? std::max(n, 0.0) : 1.0;  // a speed that is no number: the nominal
    // A failed engine delivers nothing: its share goes to the engine that runs, within what it has.
    const int count = Powertrain::running_count(running_);
    if (count < State::kEngineCount) {
        double total = 0;
        for (int i = 0; i < State::kEngineCount; ++i) total += std::max(state_.engine_power(i), 0.0);
        for (int i = 0; i < State::kEngineCount; ++i)
            state_.engine_power(i) =
                running_[static_cast<size_t>(i)] ? std::min(total, powertrain_.engine().available(false)) : 0.0;
    }
    memory_ = SkidGear::Memory{};
    cause_ = CrashCause::none;
    air_known_ = false;
    evaluated_ = false;
}

void Helicopter::set_turbulence(TurbulenceLevel level, uint64_t seed) { turbulence_.set(level, seed); }

void Helicopter::feel_air(const Environment& e, double h, const Eigen::Matrix3d& e2b) {
    const Eigen::Vector3d target = e.wind_ned_fps.allFinite() ? e.wind_ned_fps : Eigen::Vector3d::Zero();
    const double height = -state_.position_ned().z() - finite_or_zero(e.ground_elevation_ft);
    const double airspeed = (state_.velocity_body() - e2b.lazyProduct(air_.wind_ned)).norm();
    turbulence_.advance(h, airspeed, height);
    const Eigen::Vector3d wind = air_.wind_ned + (target - air_.wind_ned) * (h / (kWindLagSeconds + h));
    air_ = air_at(state_, wind, turbulence_.gust());
}

void Helicopter::judge_ground(const State& before, const Eigen::Matrix3d& e2b_before, bool touched_before) {
    const Evaluation& ev = evaluation_;
    const GroundLimits& lim = p_.ground_limits;
    const State& s = state_;
    const double height = -s.position_ned().z() - finite_or_zero(evaluated_elevation_);
    if (!ev.skid_contact && !ev.structure_contact && height > main_rotor_.hub().norm() + main_rotor_.radius())
        return;  // nothing reaches the ground
    CrashCause cause = CrashCause::none;
    const Eigen::Matrix3d b2e_before = transposed(e2b_before);
    const Eigen::Matrix3d b2e = transposed(ev.attitude.earth_to_body);
    const Eigen::Vector3d vel_ned = b2e * s.velocity_body();
    // The main rotor's disc: its lowest tip lies R sin(tilt) below the hub, the tilt that of the tip-path plane's
    // normal from the vertical.
    const Eigen::Vector3d normal_body =
        Eigen::Vector3d(-(s.a1() - p_.main_rotor.shaft_tilt_rad), s.b1(), -1.0).normalized();
    const double up = -(b2e * normal_body).z();
    const double hub_down = s.position_ned().z() + (b2e * main_rotor_.hub()).z();
    const double lowest_tip_down = hub_down + main_rotor_.radius() * std::sqrt(std::max(0.0, 1 - up * up));
    const double ground_down = -finite_or_zero(evaluated_elevation_);
    const bool touching = ev.skid_contact || ev.structure_contact;
    if (ev.skid_contact && !touched_before && (b2e_before * before.velocity_body()).z() > lim.touchdown_sink_fps) {
        cause = CrashCause::hard_touchdown;
    } else if (lowest_tip_down > ground_down || ev.structure_struck == kMainRotorHubPoint) {
        cause = CrashCause::rotor_strike;
    } else if (ev.structure_struck == kTailRotorHubPoint) {
        cause = CrashCause::tail_rotor_strike;
    } else if (ev.structure_contact) {
        cause = CrashCause::airframe_strike;
    } else if (touching && (std::abs(s.euler().x()) > lim.attitude_rad || std::abs(s.euler().y()) > lim.attitude_rad)) {
        cause = CrashCause::attitude_on_ground;
    } else if (ev.skid_contact && vel_ned.head<2>().norm() > lim.ground_speed_fps) {
        cause = CrashCause::fast_on_ground;
    }
    if (cause == CrashCause::none) return;
    // The flight ends here: the aircraft comes to rest where it struck.
    cause_ = cause;
    state_.velocity_body().setZero();
    state_.rates_body().setZero();
    evaluate_into(evaluation_, state_, blade_angles(evaluated_controls_), -evaluated_elevation_, air_, &memory_,
                  Depth::instruments);
    evaluated_fully_ = false;
}

void Helicopter::rk4(const Controls& c, const Environment& e, double h) {
    const double elevation = finite_or_zero(e.ground_elevation_ft);
    if (!air_known_) {  // placed: the wind is felt at once, as the placement was trimmed in it
        air_ = air_at(state_, e.wind_ned_fps, turbulence_.gust());
        air_known_ = true;
    }
    const BladeAngles blades = blade_angles(c);
    const double ground_down = -elevation;
    if (!evaluated_ || !(evaluated_controls_ == c) || evaluated_elevation_ != elevation) {
        evaluation_.attitude.set(state_.euler());
        evaluate_into(evaluation_, state_, blades, ground_down, air_, &memory_, Depth::full);
    } else if (!evaluated_fully_) {  // the last step's instruments' part: completed with the same controls
        evaluate_into(evaluation_, state_, blades, ground_down, air_, &memory_, Depth::full);
    }
    const State s = state_;
    const bool touched_before = evaluation_.skid_contact;
    const Attitude start = evaluation_.attitude;
    const SkidGear::Memory* m = &memory_;
    const State::Vector& k1 = evaluation_.derivative.x;
    // Each stage's attitude is built where its evaluation keeps it.
    State t;
    t.x = s.x + h / 2 * k1;
    start.near(t.euler(), stage_.attitude);
    evaluate_into(stage_, t, blades, ground_down, air_, m, Depth::full);
    const State::Vector k2 = stage_.derivative.x;
    t.x = s.x + h / 2 * k2;
    start.near(t.euler(), stage_.attitude);
    evaluate_into(stage_, t, blades, ground_down, air_, m, Depth::full);
    const State::Vector k3 = stage_.derivative.x;
    t.x = s.x + h * k3;
    start.near(t.euler(), stage_.attitude);
    evaluate_into(stage_, t, blades, ground_down, air_, m, Depth::full);
    const State::Vector& k4 = stage_.derivative.x;
    state_.x = s.x + h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    normalise_euler(state_);
    state_.rotor_speed() = std::max(state_.rotor_speed(), 0.0);  // a stopped rotor does not turn back
    // A step that left the finite numbers is refused: the aircraft keeps its last sound state, at rest relative
    // to its own axes. (Not reached within the flight envelope; a guard for set_state abuse.)
    if (!state_.x.allFinite()) {
        state_ = s;
        state_.rates_body().setZero();
    }
    // The evaluation the instruments read, and the one the next step starts from if its controls are these: the
    // instruments' part now, the rest when such a step comes (the engine moves the controls nearly every step).
    // k1 is spent: the new attitude goes where it kept the start's.
    start.near(state_.euler(), evaluation_.attitude);
    const Eigen::Matrix3d& now = evaluation_.attitude.earth_to_body;
    gear_.update(state_, now, -elevation, memory_);
    feel_air(e, h, now);
    evaluate_into(evaluation_, state_, blades, ground_down, air_, &memory_, Depth::instruments);
    evaluated_ = true;
    evaluated_fully_ = false;
    evaluated_controls_ = c;
    evaluated_elevation_ = elevation;
    judge_ground(s, start.earth_to_body, touched_before);
}

void Helicopter::step(const Controls& in, const Environment& e, double dt) {
    if (!(dt > 0) || !std::isfinite(dt)) return;
    const Controls c = sanitize(in);
    last_controls_ = c;
    if (crashed()) return;
    dt = std::min(dt, 1000 * kMaxStep);  // a stalled caller's catch-up is cut at 20 s
    const int n = static_cast<int>(std::ceil(dt / kMaxStep));
    const double h = dt / n;
    for (int i = 0; i < n && !crashed(); ++i) rk4(c, e, h);
}

Outputs Helicopter::outputs(const Environment& e) const {
    if (evaluated_) return read(evaluation_, evaluated_elevation_);
    const double elevation = finite_or_zero(e.ground_elevation_ft);
    Evaluation ev;
    ev.attitude.set(state_.euler());
    evaluate_into(ev, state_, blade_angles(last_controls_), -elevation, still_air(state_, e), &memory_,
                  Depth::instruments);
    return read(ev, elevation);
}

Outputs Helicopter::read(const Evaluation& ev, double elevation) const {
    const State& s = state_;
    const Eigen::Matrix3d b2e = transposed(ev.attitude.earth_to_body);
    const Eigen::Vector3d vel_ned = b2e.lazyProduct(s.velocity_body());
    Outputs o;
    o.airspeed_kt = ev.air.norm() / kFeetPerSecondPerKnot;
    o.ground_speed_kt = vel_ned.head<2>().norm() / kFeetPerSecondPerKnot;
    o.altitude_ft = -s.position_ned().z();
    double lowest = 1e300;
    for (const auto& pt : p_.gear.skids) lowest = std::min(lowest, -(s.position_ned().z() + b2e.row(2).dot(pt)));
    o.radar_height_ft = std::max(lowest - elevation, 0.0);
    o.heading_deg = wrap_two_pi(s.euler().z()) * kDegreesPerRadian;
    if (o.heading_deg >= 360.0) o.heading_deg = 0.0;
    o.pitch_deg = s.euler().y() * kDegreesPerRadian;
    o.bank_deg = s.euler().x() * kDegreesPerRadian;
    o.climb_rate_fpm = -vel_ned.z() * 60;
    o.roll_rate_dps = s.rates_body().x() * kDegreesPerRadian;
    o.pitch_rate_dps = s.rates_body().y() * kDegreesPerRadian;
    o.yaw_rate_dps = s.rates_body().z() * kDegreesPerRadian;
    const double ch = ev.attitude.cos.z(), sh = ev.attitude.sin.z();
    o.forward_ground_speed_fps = vel_ned.x() * ch + vel_ned.y() * sh;
    o.right_ground_speed_fps = -vel_ned.x() * sh + vel_ned.y() * ch;
    o.sideslip_deg = std::atan2(ev.air.y(), std::hypot(ev.air.x(), ev.air.z())) * kDegreesPerRadian;
    o.main_rotor_power_hp = ev.main_rotor.power / kFtLbsPerHp;
    o.tail_rotor_power_hp = ev.tail_rotor.power / kFtLbsPerHp;
    o.power_hp = ev.power / kFtLbsPerHp;
    const double n = std::max(s.rotor_speed(), p_.powertrain.least_modelled_rotor_speed);
    o.torque_percent = 100.0 * o.power_hp / p_.rated_power_hp / n;
    o.rotor_speed_percent = 100.0 * s.rotor_speed();
    for (size_t i = 0; i < State::kEngineCount; ++i) {
        o.engine_torque_percent[i] = 100.0 * ev.drive.delivered[i] / (p_.rated_power_hp / State::kEngineCount) / n;
        o.engine_running[i] = running_[i];
    }
    o.power_available_hp = powertrain_.available(running_);
    const PowerCautions& warn = p_.cautions;
    o.cautions = (s.rotor_speed() < warn.low_rotor ? Outputs::kLowRotor : 0) |
                 (s.rotor_speed() > warn.high_rotor ? Outputs::kHighRotor : 0) |
                 (o.torque_percent > 100.0 * warn.over_torque ? Outputs::kOverTorque : 0);
    o.on_ground = ev.skid_contact || ev.structure_contact;
    o.crashed = crashed();
    o.crash_cause = cause_;
    return o;
}

}  // namespace flight
