// The main rotor (Heffley & Mnich, NASA CR-177476, 1988): blade-element thrust with momentum-theory inflow
// dynamics, a first-order tip-path plane (dihedral, pitch-up with speed, the wake switch), hub moments from the
// thrust's tilt, the hinge offset's stiffness and the aerodynamic cross stiffness, torque from induced plus profile
// power; ground effect after Cheeseman & Bennett (ARC R&M 3021, 1955).
#include <algorithm>
#include <cmath>

#include "flight/components.h"
#include "flight/rotor_laws.h"
#include "flight/units.h"

namespace flight {

using units::kPi;

MainRotor::MainRotor(const Parameters& p) {
    const MainRotorParameters& mr = p.main_rotor;
    omega_ = mr.rpm * 2 * kPi / 60;
    radius_ = mr.radius_ft;
    tip_speed_ = omega_ * radius_;
    solidity_ = mr.blades * mr.chord_ft / (kPi * radius_);
    disk_area_ = kPi * radius_ * radius_;
    lift_slope_ = mr.lift_slope;
    twist_ = mr.twist_rad;
    shaft_tilt_ = mr.shaft_tilt_rad;
    hinge_ratio_ = mr.hinge_offset_ft / radius_;
    pitch_flap_ = mr.pitch_flap_coupling;
    thrust_coef_per_rho_ = 0.25 * tip_speed_ * radius_ * mr.lift_slope * mr.blades * mr.chord_ft;
    // Lock number times Omega / 16, per unit density, with the hinge-offset factor (1 + 8/3 e/R):
    // gamma = rho a c R^4 / I_b.
    lock_omega_16_per_rho_ =
        mr.lift_slope * mr.chord_ft * std::pow(radius_, 4) / mr.blade_flap_inertia * omega_ / 16 * (1 + 8.0 / 3.0 * hinge_ratio_);
    // The hub's flapping stiffness from the hinge offset, b/2 * 3/2 I_b e/R Omega^2, ft lbf/rad.
    flap_stiffness_ = mr.blades / 2 * 1.5 * mr.blade_flap_inertia * hinge_ratio_ * omega_ * omega_;
    // Aerodynamic cross stiffness rho a b c R (Omega R)^2 e / 12, per unit density.
    cross_stiffness_per_rho_ = mr.lift_slope * mr.blades * mr.chord_ft * radius_ * tip_speed_ * tip_speed_ *
                               mr.hinge_offset_ft / 12;
    profile_area_ = mr.cd0 * radius_ * mr.blades * mr.chord_ft;  // cd0 b c R, ft^2
    inflow_gain_ = 0.75 * kPi / radius_;
    weight_ = p.weight_lb;
    transition_speed_ = p.transition_speed_fps;
    least_speed_ = p.powertrain.least_modelled_rotor_speed;
    hub_ = body_position(p, mr.hub);
}

double MainRotor::flap_time_constant(double density) const {
    // 1/tau = Omega^2 / G / (1 + (Omega / G)^2), G = gamma Omega / 16 (hinge offset in).
    const double x = omega_ / (density * lock_omega_16_per_rho_);
    return (1 + x * x) / (omega_ * x);
}

MainRotor::AtDensity MainRotor::at_density(double rho) const {
    AtDensity a;
    a.density = rho;
    a.thrust_coef = rho * thrust_coef_per_rho_;
    a.momentum = 1 / (2 * kPi * rho * radius_ * radius_);
    const double g = rho * lock_omega_16_per_rho_;  // gamma Omega / 16
    a.kc = 0.75 * omega_ * hinge_ratio_ / g + pitch_flap_;
    a.itb2 = omega_ / (1 + (omega_ / g) * (omega_ / g));
    a.itb = a.itb2 * omega_ / g;
    a.dl_da1 = rho * cross_stiffness_per_rho_;
    // Dihedral db1/dv = 2 / (Omega R) (8 C_T / (a sigma) + sqrt(C_T / 2)). C_T here is that of the weight (1 g),
    // not of the moment's thrust: with the latter, aft flapping raises the thrust through w_r, which raises da1/du,
    // which flaps the disc further aft; at 100 kt that loop took four fifths of the flapping stiffness and made
    // the pitch diverge, doubling in under a second.
    const double ct = weight_ / (rho * disk_area_ * tip_speed_ * tip_speed_);
    a.db1dv_loading = 2 / tip_speed_ * (8 * ct / (lift_slope_ * solidity_));
    a.db1dv_root = 2 / tip_speed_ * std::sqrt(0.5 * ct);
    a.db1dv = a.db1dv_loading + a.db1dv_root;
    a.profile = 0.5 * rho * (profile_area_ / 4) * tip_speed_;
    return a;
}

MainRotor::Disc MainRotor::disc(const Flow& f, const AtDensity& a, const BladeAngles& blades) const {
    const State& s = f.state;
    const double u = f.air.x(), v = f.air.y(), w = f.air.z();
    Disc d;
    d.n = std::max(s.rotor_speed(), least_speed_);
    d.tip = d.n * tip_speed_;
    d.coef = d.n * a.thrust_coef;
    d.v_adv2 = u * u + v * v;
    d.w_r = w + (s.a1() - shaft_tilt_) * u - s.b1() * v;  // along the tip-path plane's normal
    d.thrust_oge = rotor_laws::thrust(d.coef, d.tip, d.w_r, d.v_adv2, blades.collective, twist_, s.inflow_main());
    return d;
}

double MainRotor::power(const Disc& d, const AtDensity& a, double vi) const {
    return rotor_laws::induced_power(d.thrust_oge, vi, d.w_r) + rotor_laws::profile_power(d.n * a.profile, d.tip, d.v_adv2);
}

double MainRotor::power(const Flow& f, const AtDensity& a, const BladeAngles& blades) const {
    return power(disc(f, a, blades), a, f.state.inflow_main());
}

MainRotor::Result MainRotor::evaluate(const Flow& f, const AtDensity& a, const BladeAngles& blades) const {
    const State& s = f.state;
    const double u = f.air.x(), v = f.air.y();
    const double p = s.rates_body().x(), q = s.rates_body().y();
    const double a1 = s.a1(), b1 = s.b1(), vi = s.inflow_main();
    Result r;
    // The rotor's speed: what follows it linearly (tip speed, thrust and profile coefficients, the tip-path
    // plane's rates), with its square (the hub's stiffnesses) and as the dihedral does (C_T ~ 1/Omega^2).
    const Disc d = disc(f, a, blades);
    const double n = d.n, n2 = n * n, inv_n = 1 / n;
    const double coef = d.coef, itb = n * a.itb, itb2 = n * a.itb2;
    const double db1dv = (a.db1dv_loading * inv_n + a.db1dv_root) * (inv_n * inv_n);
    const double v_adv2 = d.v_adv2, w_r = d.w_r, thrust_oge = d.thrust_oge;

    // Ground effect: T_IGE / T_OGE = 1 / (1 - (R / 4z)^2 / (1 + (V / v_i)^2)), z the hub's height. R / 4z is held
    // at or below 1/2 (z >= R/2), which caps the gain at 4/3 with the aircraft on its skids (hub about R/2 up).
    const double hub_height = f.height - f.below_cg(hub_);
    const double ratio = radius_ / (4 * std::max(hub_height, 0.5 * radius_));
    const double vi_ref = std::max(std::abs(vi), 1.0);
    r.ground_effect = 1.0 / (1.0 - ratio * ratio / (1 + v_adv2 / (vi_ref * vi_ref)));
    r.thrust = r.ground_effect * thrust_oge;

    // The momentum balance sets the induced velocity of the thrust the rotor would make out of ground effect.
    r.d_inflow = rotor_laws::inflow_rate(thrust_oge, inflow_gain_, a.momentum, coef, vi, v_adv2, w_r);

    // Tip-path plane: da1/du = -db1/dv, both growing once the wake leaves the tail plane behind. The wake switch
    // at the transition speed is a steep ramp (+-10 %) rather than a step, so that the trim's Jacobian exists.
    const double wake = std::clamp((std::abs(u) - 0.9 * transition_speed_) / (0.2 * transition_speed_), 0.0, 1.0);
    const double da1du = -db1dv;
    const double a_sum = b1 - blades.lateral + a.kc * a1 + db1dv * v * (1 + wake);
    const double b_sum = a1 + blades.longitudinal - a.kc * b1 + da1du * u * (1 + 2 * wake);
    r.d_a1 = -itb * b_sum - itb2 * a_sum - q;
    r.d_b1 = -itb * a_sum + itb2 * b_sum - p;

    // The thrust along the tilted tip-path plane, at the hub; the hub moments of the hinge offset and the cross
    // stiffness; the reaction torque of a rotor turning anticlockwise seen from above yaws the nose right.
    r.load.force = Eigen::Vector3d(-r.thrust * (a1 - shaft_tilt_), r.thrust * b1, -r.thrust);
    r.load.moment = hub_.cross(r.load.force);
    const double stiffness = n2 * flap_stiffness_, cross = n2 * a.dl_da1;
    r.load.moment.x() += stiffness * b1 + cross * (a1 + blades.longitudinal - pitch_flap_ * b1);
    r.load.moment.y() += stiffness * a1 + cross * (-b1 + blades.lateral - pitch_flap_ * a1);
    // Power: induced (of the thrust out of ground effect, as the momentum balance) plus profile,
    // ~ Omega (Omega^2 R^2 + 3 V^2); its torque yaws the nose right (the rotor turns anticlockwise seen from
    // above). While the rotor's speed changes the shaft reacts I_R dOmega/dt besides (the model's, Helicopter).
    r.load.power = power(d, a, vi);
    r.load.moment.z() += r.load.power * inv_n / omega_;
    return r;
}

}  // namespace flight
