#include "flight/helicopter.h"

#include <Eigen/Geometry>
#include <Eigen/LU>
#include <algorithm>
#include <cmath>

#include "flight/units.h"
#include "flight/atmosphere.h"

namespace flight {

namespace {

using namespace units;
constexpr double kFtLbsPerHp = 550.0;
constexpr double kMaxStep = 0.02;

double finite_or_zero(double x) { return std::isfinite(x) ? x : 0.0; }

struct Trig {
    double sf, cf, st, ct, sp, cp;
    explicit Trig(const Eigen::Vector3d& euler)
        : sf(std::sin(euler.x())), cf(std::cos(euler.x())), st(std::sin(euler.y())), ct(std::cos(euler.y())),
          sp(std::sin(euler.z())), cp(std::cos(euler.z())) {}
};

// Earth-to-body rotation of the yaw-pitch-roll sequence.
Eigen::Matrix3d earth_to_body(const Trig& t) {
    const double sf = t.sf, cf = t.cf, st = t.st, ct = t.ct, sp = t.sp, cp = t.cp;
    Eigen::Matrix3d m;
    m << ct * cp, ct * sp, -st,
        sf * st * cp - cf * sp, sf * st * sp + cf * cp, sf * ct,
        cf * st * cp + sf * sp, cf * st * sp - sf * cp, cf * ct;
    return m;
}

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
void normalise_euler(Eigen::Vector3d& e) {
    double theta = wrap_pi(e.y());
    if (theta > kPi / 2) {
        theta = kPi - theta;
        e.x() += kPi;
        e.z() += kPi;
    } else if (theta < -kPi / 2) {
        theta = -kPi - theta;
        e.x() += kPi;
        e.z() += kPi;
    }
    e.y() = theta;
    e.x() = wrap_pi(e.x());
    e.z() = wrap_two_pi(e.z());
}

State add(const State& s, const State& d, double h) {
    State r;
    r.velocity_body = s.velocity_body + h * d.velocity_body;
    r.rates_body = s.rates_body + h * d.rates_body;
    r.euler = s.euler + h * d.euler;
    r.position_ned = s.position_ned + h * d.position_ned;
    r.a1 = s.a1 + h * d.a1;
    r.b1 = s.b1 + h * d.b1;
    r.inflow_main = s.inflow_main + h * d.inflow_main;
    r.inflow_tail = s.inflow_tail + h * d.inflow_tail;
    return r;
}

bool finite(const State& s) {
    return s.velocity_body.allFinite() && s.rates_body.allFinite() && s.euler.allFinite() &&
           s.position_ned.allFinite() && std::isfinite(s.a1) && std::isfinite(s.b1) &&
           std::isfinite(s.inflow_main) && std::isfinite(s.inflow_tail);
}

// Induced-velocity dynamics of momentum theory, as used by Heffley & Mnich (NASA CR-177476, 1988):
// dvi/dt = 3/4 pi / R * (T / (2 pi rho R^2) - vi * sqrt(V_adv^2 + (w_r - vi)^2)).
// Here gain = 3/4 pi / R, momentum = 1 / (2 pi rho R^2), coef = dT/d(w_b - v_i). At high speed the small tail
// rotor's inflow settles faster than a 100 Hz RK4 step can follow (its rate grows with the speed through the
// disc); its approach is then slowed to kMaxInflowRate, which leaves the settled inflow where it was.
constexpr double kMaxInflowRate = 150.0;  // 1/s: h * rate = 1.5 at 100 Hz, inside RK4's stable 2.78
double inflow_rate(double thrust, double gain, double momentum, double coef, double vi, double v_adv2, double w_r) {
    const double w = w_r - vi;
    const double speed = std::sqrt(v_adv2 + w * w);
    const double rate = gain * (coef * momentum + speed);  // -d(dvi/dt)/dvi, near enough
    const double slow = rate > kMaxInflowRate ? kMaxInflowRate / rate : 1.0;
    return slow * gain * (thrust * momentum - vi * speed);
}

// Blade-element thrust of Heffley & Mnich (NASA CR-177476, 1988):
// T = (w_b - v_i) rho a b c R (Omega R) / 4,
// w_b = w_r + 2/3 Omega R (theta0 + 3/4 twist) + V_adv^2 / (Omega R) (theta0 + twist / 2).
double blade_element_thrust(double coef_rho, double tip_speed, double w_r, double v_adv2, double pitch,
                            double twist, double vi) {
    const double w_b = w_r + (2.0 / 3.0) * tip_speed * (pitch + 0.75 * twist) +
                       v_adv2 / tip_speed * (pitch + 0.5 * twist);
    return (w_b - vi) * coef_rho;
}

}  // namespace

double Helicopter::Derived::flap_time_constant(double density) const {
    // Tip-path-plane lag 1/tau = Omega^2 / G / (1 + (Omega / G)^2), G = gamma Omega / 16 with the hinge-offset
    // factor (1 + 8/3 e/R): Heffley & Mnich, NASA CR-177476 (1988).
    const double g = density * lock_omega_16;
    const double x = omega / g;
    return (1 + x * x) / (omega * x);
}

Helicopter::Helicopter(const Parameters& p) : p_(p) {
    const auto& mr = p.main_rotor;
    const auto& tr = p.tail_rotor;
    d_.mass = p.weight_lb / p.gravity_fps2;
    d_.inv_mass = 1 / d_.mass;
    d_.omega = mr.rpm * 2 * kPi / 60;
    d_.tip_speed = d_.omega * mr.radius_ft;
    d_.solidity = mr.blades * mr.chord_ft / (kPi * mr.radius_ft);
    d_.disk_area = kPi * mr.radius_ft * mr.radius_ft;
    d_.thrust_coef = 0.25 * d_.tip_speed * mr.radius_ft * mr.lift_slope * mr.blades * mr.chord_ft;
    // Lock number times Omega / 16, over density: gamma = rho a c R^4 / I_b (Heffley & Mnich).
    d_.lock_omega_16 = mr.lift_slope * mr.chord_ft * std::pow(mr.radius_ft, 4) / mr.blade_flap_inertia *
                       d_.omega / 16 * (1 + 8.0 / 3.0 * mr.hinge_offset_ft / mr.radius_ft);
    // Hub moment stiffness from the hinge offset, b/2 * 3/2 I_b e/R Omega^2 (Heffley & Mnich).
    d_.flap_stiffness = mr.blades / 2 * 1.5 * mr.blade_flap_inertia * mr.hinge_offset_ft / mr.radius_ft *
                        d_.omega * d_.omega;
    // Aerodynamic cross stiffness, rho a b c R (Omega R)^2 e / 12 (Heffley & Mnich), over density.
    d_.flap_cross_stiffness = 0.5 * mr.lift_slope * mr.blades * mr.chord_ft * mr.radius_ft * d_.tip_speed *
                              d_.tip_speed * mr.hinge_offset_ft / 6;
    d_.profile_area = mr.cd0 * mr.radius_ft * mr.blades * mr.chord_ft;
    d_.tail_omega = tr.rpm * 2 * kPi / 60;
    d_.tail_tip_speed = d_.tail_omega * tr.radius_ft;
    d_.tail_thrust_coef = 0.25 * d_.tail_tip_speed * tr.radius_ft * tr.lift_slope * tr.blades * tr.chord_ft;
    d_.tail_disk_area = kPi * tr.radius_ft * tr.radius_ft;
    d_.inflow_gain = 0.75 * kPi / mr.radius_ft;
    d_.tail_inflow_gain = 0.75 * kPi / tr.radius_ft;
    d_.r_main = body_position(p, mr.hub);
    d_.r_tail = body_position(p, tr.hub);
    d_.r_fuselage = body_position(p, p.fuselage.pressure_centre);
    d_.r_htail = body_position(p, p.horizontal_tail.pressure_centre);
    d_.r_vtail = body_position(p, p.vertical_tail.pressure_centre);
    d_.inertia << p.ix, 0, -p.ixz, 0, p.iy, 0, -p.ixz, 0, p.iz;
    d_.inertia_inv = d_.inertia.inverse();
    const auto& g = p.gear;
    const double n = static_cast<double>(g.skids.size());
    d_.gear_k = d_.mass * g.natural_frequency * g.natural_frequency / n;
    d_.gear_c = 2 * g.damping_ratio * d_.mass * g.natural_frequency / n;
    d_.bottom_k = d_.mass * g.bottom_frequency * g.bottom_frequency / n;
    d_.bottom_c = 2 * d_.mass * g.bottom_frequency / n;
    d_.gear_reach = 0;
    for (const auto& pt : g.skids) d_.gear_reach = std::max(d_.gear_reach, pt.norm());
    for (const auto& pt : g.structure) d_.gear_reach = std::max(d_.gear_reach, pt.norm());
    d_.stick_k = d_.mass * g.stick_frequency * g.stick_frequency / n;
    d_.stick_c = 2 * d_.mass * g.stick_frequency / n;
}

Controls Helicopter::sanitize(const Controls& c) {
    Controls r;
    r.collective = std::clamp(finite_or_zero(c.collective), 0.0, 1.0);
    r.longitudinal = std::clamp(finite_or_zero(c.longitudinal), -1.0, 1.0);
    r.lateral = std::clamp(finite_or_zero(c.lateral), -1.0, 1.0);
    r.pedals = std::clamp(finite_or_zero(c.pedals), -1.0, 1.0);
    return r;
}

Helicopter::BladeAngles Helicopter::blade_angles(const Controls& in) const {
    const Controls c = sanitize(in);
    const auto& r = p_.controls;
    BladeAngles b;
    b.collective = (r.collective_offset_deg + r.collective_min_deg +
                    c.collective * (r.collective_max_deg - r.collective_min_deg)) * kRadiansPerDegree;
    b.longitudinal = -c.longitudinal * r.longitudinal_deg * kRadiansPerDegree;  // aft stick tilts the disc aft
    b.lateral = c.lateral * r.lateral_deg * kRadiansPerDegree;
    b.tail = (r.tail_pitch_centre_deg - c.pedals * r.tail_pitch_half_range_deg) * kRadiansPerDegree;  // right pedal: less thrust
    return b;
}

double Helicopter::contact_normal(double depth, double rate, bool skid) const {
    double normal = 0;
    if (skid) normal += d_.gear_k * depth + d_.gear_c * rate;
    const double bottomed = skid ? depth - p_.gear.stroke_ft : depth;
    if (bottomed > 0) normal += d_.bottom_k * bottomed + d_.bottom_c * rate;
    return std::max(normal, 0.0);  // the ground pushes, never pulls
}

Helicopter::AirTerms Helicopter::air_terms(double altitude_ft) const {
    const auto& mr = p_.main_rotor;
    const auto& tr = p_.tail_rotor;
    AirTerms a;
    a.rho = isa(altitude_ft).density;
    // Flapping coefficients (Heffley & Mnich, NASA CR-177476, 1988): G = gamma Omega / 16, aerodynamic
    // coupling KC, direct and cross tip-path-plane response.
    const double omega = d_.omega;
    const double gq = a.rho * d_.lock_omega_16;
    a.kc = 0.75 * omega * mr.hinge_offset_ft / mr.radius_ft / gq + mr.pitch_flap_coupling;
    a.itb2 = omega / (1 + (omega / gq) * (omega / gq));
    a.itb = a.itb2 * omega / gq;
    a.dl_da1 = a.rho * d_.flap_cross_stiffness;
    a.coef = a.rho * d_.thrust_coef;
    a.tail_coef = a.rho * d_.tail_thrust_coef;
    a.momentum = 1 / (2 * kPi * a.rho * mr.radius_ft * mr.radius_ft);
    a.tail_momentum = 1 / (2 * kPi * a.rho * tr.radius_ft * tr.radius_ft);
    const double inv_ct = 1 / (a.rho * d_.disk_area * d_.tip_speed * d_.tip_speed);
    const double ct = p_.weight_lb * inv_ct;  // see the tip-path-plane dihedral in evaluate()
    a.db1dv = 2 / d_.tip_speed * (8 * ct / (mr.lift_slope * d_.solidity) + std::sqrt(0.5 * ct));
    a.profile = 0.5 * a.rho * (d_.profile_area / 4) * d_.tip_speed;
    return a;
}

State Helicopter::evaluate(const State& s, const Controls& c, const Environment& env, Diagnostics* diag,
                           const GearMemory* memory) const {
    return evaluate(s, c, env, air_terms(-s.position_ned.z()), diag, memory);
}

State Helicopter::evaluate(const State& s, const Controls& c, const Environment& env, const AirTerms& air_k,
                           Diagnostics* diag, const GearMemory* memory) const {
    const auto& mr = p_.main_rotor;
    const auto& tr = p_.tail_rotor;
    const BladeAngles blade = blade_angles(c);

    const Trig trig(s.euler);
    const Eigen::Matrix3d e2b = earth_to_body(trig);
    const Eigen::Vector3d& vel = s.velocity_body;
    const Eigen::Vector3d& w = s.rates_body;
    const double p = w.x(), q = w.y(), r = w.z();
    Eigen::Vector3d air = vel;  // velocity relative to the air mass, body axes
    if (env.wind_ned_fps.allFinite() && !env.wind_ned_fps.isZero(0.0)) air -= e2b.lazyProduct(env.wind_ned_fps);
    const double u = air.x(), v = air.y(), wz = air.z();
    const double elevation = finite_or_zero(env.ground_elevation_ft);
    const double rho = air_k.rho;

    Eigen::Vector3d force = p_.weight_lb * e2b.col(2);
    Eigen::Vector3d moment = Eigen::Vector3d::Zero();

    // ---- Main rotor -----------------------------------------------------------------------------------
    const double omega = d_.omega;
    const double kc = air_k.kc, itb2 = air_k.itb2, itb = air_k.itb, dl_da1 = air_k.dl_da1;

    const double v_adv2 = u * u + v * v;
    const double w_r = wz + (s.a1 - mr.shaft_tilt_rad) * u - s.b1 * v;  // normal to the tip-path plane
    const double coef = air_k.coef;
    const double thrust_oge = blade_element_thrust(coef, d_.tip_speed, w_r, v_adv2, blade.collective,
                                                   mr.twist_rad, s.inflow_main);

    // Ground effect, Cheeseman & Bennett (ARC R&M 3021, 1955): T_IGE / T_OGE = 1 / (1 - (R/4z)^2 / (1 +
    // (V/v_i)^2)), z the hub height. R/4z is held at or below 1/2 (z >= R/2), which caps the gain at 4/3
    // with the aircraft on its skids (hub about R/2 up).
    const double height = -s.position_ned.z() - elevation;  // CG above the ground
    const double hub_height = height - e2b.col(2).dot(d_.r_main);
    const double ratio = mr.radius_ft / (4 * std::max(hub_height, 0.5 * mr.radius_ft));
    const double vi_ref = std::max(std::abs(s.inflow_main), 1.0);
    const double ge = 1.0 / (1.0 - ratio * ratio / (1 + v_adv2 / (vi_ref * vi_ref)));
    const double thrust = ge * thrust_oge;

    State dot;
    // The momentum balance sets the induced velocity of the thrust the rotor would make out of ground effect.
    dot.inflow_main = inflow_rate(thrust_oge, d_.inflow_gain, air_k.momentum, coef, s.inflow_main, v_adv2, w_r);

    // Power: induced plus profile (1 + 3 mu^2) (Heffley & Mnich). The propulsive and climb work is in the
    // induced term through w_r.
    const double induced_power = thrust_oge * (s.inflow_main - w_r);
    const double profile_power = air_k.profile * (d_.tip_speed * d_.tip_speed + 3 * v_adv2);
    const double rotor_power = induced_power + profile_power;

    // Tip-path-plane dihedral and pitch-up with speed (Heffley & Mnich): db1/dv = 2 / (Omega R) (8 C_T /
    // (a sigma) + sqrt(C_T / 2)), da1/du = -db1/dv; both grow once the wake leaves the tail behind. The wake
    // switch at the transition speed is a steep ramp (+-10 %) rather than a step, so the trim Jacobian exists.
    // C_T here is that of the weight (1 g), not of the moment's thrust: with the latter, aft flapping raises
    // the thrust through w_r, which raises da1/du, which flaps the disc further aft; at 100 kt that loop took
    // four fifths of the flapping stiffness and made the pitch diverge, doubling in under a second.
    const double db1dv = air_k.db1dv;
    const double da1du = -db1dv;
    const double vt = p_.transition_speed_fps;
    const double wake = std::clamp((std::abs(u) - 0.9 * vt) / (0.2 * vt), 0.0, 1.0);
    const double a_sum = s.b1 - blade.lateral + kc * s.a1 + db1dv * v * (1 + wake);
    const double b_sum = s.a1 + blade.longitudinal - kc * s.b1 + da1du * u * (1 + 2 * wake);
    dot.a1 = -itb * b_sum - itb2 * a_sum - q;
    dot.b1 = -itb * a_sum + itb2 * b_sum - p;

    // Rotor force along the tilted tip-path plane, at the hub.
    const Eigen::Vector3d f_main(-thrust * (s.a1 - mr.shaft_tilt_rad), thrust * s.b1, -thrust);
    force += f_main;
    moment += d_.r_main.cross(f_main);
    // Hub moments of the hinge offset and the aerodynamic cross stiffness (Heffley & Mnich); the reaction
    // torque of a rotor turning anticlockwise seen from above yaws the nose right.
    moment.x() += d_.flap_stiffness * s.b1 + dl_da1 * (s.a1 + blade.longitudinal - mr.pitch_flap_coupling * s.b1);
    moment.y() += d_.flap_stiffness * s.a1 + dl_da1 * (-s.b1 + blade.lateral - mr.pitch_flap_coupling * s.a1);
    moment.z() += rotor_power / omega;

    // ---- Tail rotor (same law, disc normal to y, thrust to the right) -------------------------------------
    const Eigen::Vector3d rt = d_.r_tail;
    const double tail_w = wz - q * rt.x() + p * rt.y();   // local velocity at the tail hub, rigid body
    const double tail_u = u + q * rt.z() - r * rt.y();
    const double tail_v = v + r * rt.x() - p * rt.z();
    const double tv_adv2 = tail_u * tail_u + tail_w * tail_w;
    const double v_r = -tail_v;
    const double tcoef = air_k.tail_coef;
    const double thrust_tail =
        blade_element_thrust(tcoef, d_.tail_tip_speed, v_r, tv_adv2, blade.tail, tr.twist_rad, s.inflow_tail);
    dot.inflow_tail = inflow_rate(thrust_tail, d_.tail_inflow_gain, air_k.tail_momentum, tcoef, s.inflow_tail, tv_adv2, v_r);
    const Eigen::Vector3d f_tail(0, thrust_tail, 0);
    force += f_tail;
    moment += rt.cross(f_tail);

    // ---- Fuselage: quadratic drag, the rotor downwash on it (Heffley & Mnich) ------------------------------
    const double half_rho = 0.5 * rho;
    const double w_fus = wz - s.inflow_main;
    const Eigen::Vector3d f_fus(half_rho * p_.fuselage.xuu_ft2 * std::abs(u) * u,
                                half_rho * p_.fuselage.yvv_ft2 * std::abs(v) * v,
                                half_rho * p_.fuselage.zww_ft2 * std::abs(w_fus) * w_fus);
    force += f_fus;
    moment += d_.r_fuselage.cross(f_fus);

    // Linear lift up to the stall, flat plate beyond (|normal velocity| > 0.3 |u|) (Heffley & Mnich). The
    // two laws are blended between 0.25 and 0.35 |u| so that the force stays continuous.
    auto surface = [&](const SurfaceParameters& sp, double normal) {
        const double au = std::abs(u);
        const double linear = half_rho * (sp.uu_ft2 * au * u + sp.uw_ft2 * au * normal);
        const double total = std::sqrt(u * u + v * v + normal * normal);
        const double stalled = half_rho * sp.max_ft2 * total * normal;
        const double blend = std::clamp((std::abs(normal) - 0.25 * au) / (0.1 * au + 1e-9), 0.0, 1.0);
        return linear + blend * (stalled - linear);
    };

    // ---- Horizontal tail: triangular downwash of the main rotor wake (Heffley & Mnich) ---------------------
    {
        const double h_mr = -d_.r_main.z(), h_ht = -d_.r_htail.z();
        const double aft_mr = -d_.r_main.x(), aft_ht = -d_.r_htail.x();
        const double v_dw = std::max(s.inflow_main - wz, 1e-4);
        const double d_dw = u / v_dw * (h_mr - h_ht) - (aft_ht - aft_mr - mr.radius_ft);
        const double eps = (d_dw > 0 && d_dw < mr.radius_ft) ? 2 * (1 - d_dw / mr.radius_ft) : 0.0;
        const double w_ht = wz - eps * s.inflow_main - q * d_.r_htail.x();
        const Eigen::Vector3d f(0, 0, surface(p_.horizontal_tail, w_ht));
        force += f;
        moment += d_.r_htail.cross(f);
    }
    // ---- Vertical tail, in the tail-rotor wake (Heffley & Mnich) -------------------------------------------
    {
        const double v_vt = v + s.inflow_tail + r * d_.r_vtail.x() - p * d_.r_vtail.z();
        const Eigen::Vector3d f(0, surface(p_.vertical_tail, v_vt), 0);
        force += f;
        moment += d_.r_vtail.cross(f);
    }

    // ---- Landing gear --------------------------------------------------------------------------------------
    // Each skid end: spring and damper along the vertical, stiffening once the stroke is used; each hard point
    // of the structure: the stiff law only. Coulomb friction along the ground: a stuck skid end is held to
    // its spot by a stiff spring-damper up to the Coulomb limit; otherwise friction grows linearly up to the
    // limit below a small slip speed.
    bool contact = false;
    const Eigen::Matrix3d b2e = e2b.transpose();
    const Eigen::Vector3d vel_ned = b2e.lazyProduct(vel);
    const auto& gear = p_.gear;
    auto touch = [&](const Eigen::Vector3d& point, int skid) {
        const double depth = s.position_ned.z() + e2b.col(2).dot(point) + elevation;  // > 0 below the ground
        if (!(depth > 0)) return;
        contact = true;
        const Eigen::Vector3d pv = vel_ned + b2e.lazyProduct(w.cross(point));
        const double normal = contact_normal(depth, pv.z(), skid >= 0);
        const double limit = gear.friction * normal;
        Eigen::Vector2d along;
        if (memory && skid >= 0 && memory->stuck[skid]) {
            const Eigen::Vector2d spot = s.position_ned.head<2>() + b2e.lazyProduct(point).head<2>();
            along = -d_.stick_k * (spot - memory->anchor[skid]) - d_.stick_c * pv.head<2>();
            const double size = along.norm();
            if (size > limit) along *= limit / size;
        } else {
            const double slip = std::sqrt(pv.x() * pv.x() + pv.y() * pv.y());
            along = -limit / std::max(slip, gear.friction_speed_fps) * pv.head<2>();
        }
        const Eigen::Vector3d f = e2b.lazyProduct(Eigen::Vector3d(along.x(), along.y(), -normal));
        force += f;
        moment += point.cross(f);
    };
    if (height < d_.gear_reach) {
        for (int i = 0; i < 4; ++i) touch(gear.skids[i], i);
        for (const auto& pt : gear.structure) touch(pt, -1);
    }

    // ---- Rigid body -----------------------------------------------------------------------------------------
    dot.velocity_body = force * d_.inv_mass - w.cross(vel);
    const Eigen::Vector3d spin = d_.inertia.lazyProduct(w);
    dot.rates_body = d_.inertia_inv.lazyProduct(Eigen::Vector3d(moment - w.cross(spin)));
    const double sf = trig.sf, cf = trig.cf, st = trig.st;
    double ct_ = trig.ct;
    // Euler kinematics are singular at +-90 deg pitch; the cosine is held off zero there.
    if (std::abs(ct_) < 1e-6) ct_ = ct_ < 0 ? -1e-6 : 1e-6;
    const double qr = q * sf + r * cf;
    dot.euler = Eigen::Vector3d(p + st / ct_ * qr, q * cf - r * sf, qr / ct_);
    dot.position_ned = vel_ned;

    if (diag) {
        diag->thrust_main = thrust;
        diag->thrust_tail = thrust_tail;
        diag->main_rotor_power_ftlbs = rotor_power;
        diag->ground_effect = ge;
        diag->on_ground = contact;
    }
    return dot;
}

State Helicopter::derivative(const State& s, const Controls& c, const Environment& e) const {
    return evaluate(s, c, e, nullptr);
}

void Helicopter::set_state(const State& s) {
    State r = s;
    for (Eigen::Vector3d* v : {&r.velocity_body, &r.rates_body, &r.euler, &r.position_ned})
        for (int i = 0; i < 3; ++i) (*v)[i] = finite_or_zero((*v)[i]);
    r.a1 = finite_or_zero(r.a1);
    r.b1 = finite_or_zero(r.b1);
    r.inflow_main = finite_or_zero(r.inflow_main);
    r.inflow_tail = finite_or_zero(r.inflow_tail);
    state_ = r;
    gear_ = GearMemory{};
}

void Helicopter::update_gear_memory(const Environment& e) {
    // Elastic-plastic friction: a skid end that touches sticks where it is; once its spring pulls harder than
    // the Coulomb limit the stick point is dragged along, so the skid slides with the limit force.
    const State& s = state_;
    const Eigen::Matrix3d e2b = earth_to_body(Trig(s.euler));
    const Eigen::Matrix3d b2e = e2b.transpose();
    const double elevation = finite_or_zero(e.ground_elevation_ft);
    const Eigen::Vector3d vel_ned = b2e * s.velocity_body;
    for (int i = 0; i < 4; ++i) {
        const Eigen::Vector3d& point = p_.gear.skids[i];
        const Eigen::Vector3d offset = b2e * point;
        const double depth = s.position_ned.z() + offset.z() + elevation;
        if (!(depth > 0)) {
            gear_.stuck[i] = false;
            continue;
        }
        const Eigen::Vector2d spot = s.position_ned.head<2>() + offset.head<2>();
        if (!gear_.stuck[i]) {
            gear_.stuck[i] = true;
            gear_.anchor[i] = spot;
            continue;
        }
        const double rate = (vel_ned + b2e * s.rates_body.cross(point)).z();
        const double limit = p_.gear.friction * contact_normal(depth, rate, true);
        const Eigen::Vector2d stretch = spot - gear_.anchor[i];
        const double pull = d_.stick_k * stretch.norm();
        if (pull > limit) gear_.anchor[i] = spot - stretch * (limit / pull);
    }
}

void Helicopter::rk4(const Controls& c, const Environment& e, double h) {
    const State& s = state_;
    const GearMemory* m = &gear_;
    // The air is taken at the altitude of the step's start: 10 ms of climb change its density by nothing.
    const AirTerms a = air_terms(-s.position_ned.z());
    const State k1 = evaluate(s, c, e, a, nullptr, m);
    const State k2 = evaluate(add(s, k1, h / 2), c, e, a, nullptr, m);
    const State k3 = evaluate(add(s, k2, h / 2), c, e, a, nullptr, m);
    const State k4 = evaluate(add(s, k3, h), c, e, a, nullptr, m);
    State n = s;
    n.velocity_body += h / 6 * (k1.velocity_body + 2 * k2.velocity_body + 2 * k3.velocity_body + k4.velocity_body);
    n.rates_body += h / 6 * (k1.rates_body + 2 * k2.rates_body + 2 * k3.rates_body + k4.rates_body);
    n.euler += h / 6 * (k1.euler + 2 * k2.euler + 2 * k3.euler + k4.euler);
    n.position_ned += h / 6 * (k1.position_ned + 2 * k2.position_ned + 2 * k3.position_ned + k4.position_ned);
    n.a1 += h / 6 * (k1.a1 + 2 * k2.a1 + 2 * k3.a1 + k4.a1);
    n.b1 += h / 6 * (k1.b1 + 2 * k2.b1 + 2 * k3.b1 + k4.b1);
    n.inflow_main += h / 6 * (k1.inflow_main + 2 * k2.inflow_main + 2 * k3.inflow_main + k4.inflow_main);
    n.inflow_tail += h / 6 * (k1.inflow_tail + 2 * k2.inflow_tail + 2 * k3.inflow_tail + k4.inflow_tail);
    normalise_euler(n.euler);
    // A step that left the finite numbers is refused: the aircraft keeps its last sound state, at rest
    // relative to its own axes. (Not reached within the flight envelope; a guard for set_state abuse.)
    if (!finite(n)) {
        n = s;
        n.rates_body.setZero();
    }
    state_ = n;
    update_gear_memory(e);
}

void Helicopter::step(const Controls& in, const Environment& e, double dt) {
    if (!(dt > 0) || !std::isfinite(dt)) return;
    const Controls c = sanitize(in);
    last_controls_ = c;
    dt = std::min(dt, 1000 * kMaxStep);  // a stalled caller's catch-up is cut at 20 s
    const int n = static_cast<int>(std::ceil(dt / kMaxStep));
    const double h = dt / n;
    for (int i = 0; i < n; ++i) rk4(c, e, h);
}

Outputs Helicopter::outputs(const Environment& e) const {
    Diagnostics diag;
    evaluate(state_, last_controls_, e, &diag, &gear_);
    const State& s = state_;
    const Eigen::Matrix3d e2b = earth_to_body(Trig(s.euler));
    const Eigen::Matrix3d b2e = e2b.transpose();
    const Eigen::Vector3d wind = e.wind_ned_fps.allFinite() ? e.wind_ned_fps : Eigen::Vector3d::Zero();
    const Eigen::Vector3d air = s.velocity_body - e2b * wind;
    const Eigen::Vector3d vel_ned = b2e * s.velocity_body;
    const double elevation = finite_or_zero(e.ground_elevation_ft);
    Outputs o;
    o.airspeed_kt = air.norm() / kFeetPerSecondPerKnot;
    o.ground_speed_kt = std::hypot(vel_ned.x(), vel_ned.y()) / kFeetPerSecondPerKnot;
    o.altitude_ft = -s.position_ned.z();
    double lowest = 1e300;
    for (const auto& pt : p_.gear.skids) lowest = std::min(lowest, -(s.position_ned.z() + (b2e * pt).z()));
    o.radar_height_ft = std::max(lowest - elevation, 0.0);
    o.heading_deg = wrap_two_pi(s.euler.z()) / kRadiansPerDegree;
    if (o.heading_deg >= 360.0) o.heading_deg = 0.0;
    o.pitch_deg = s.euler.y() / kRadiansPerDegree;
    o.bank_deg = s.euler.x() / kRadiansPerDegree;
    o.climb_rate_fpm = -vel_ned.z() * 60;
    o.roll_rate_dps = s.rates_body.x() / kRadiansPerDegree;
    o.pitch_rate_dps = s.rates_body.y() / kRadiansPerDegree;
    o.yaw_rate_dps = s.rates_body.z() / kRadiansPerDegree;
    const double ch = std::cos(s.euler.z()), sh = std::sin(s.euler.z());
    o.forward_ground_speed_fps = vel_ned.x() * ch + vel_ned.y() * sh;
    o.right_ground_speed_fps = -vel_ned.x() * sh + vel_ned.y() * ch;
    o.main_rotor_power_hp = diag.main_rotor_power_ftlbs / kFtLbsPerHp;
    o.sideslip_deg = std::atan2(air.y(), std::hypot(air.x(), air.z())) / kRadiansPerDegree;
    o.on_ground = diag.on_ground;
    return o;
}

}  // namespace flight
