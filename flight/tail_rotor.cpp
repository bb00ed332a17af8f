// The tail rotor (Heffley & Mnich, NASA CR-177476, 1988): the main rotor's thrust and inflow law on a disc
// normal to the body's y axis, thrust to the right; its side force and the moments of that force about the CG,
// and the power it draws from the transmission (induced plus profile, as the main rotor's).
#include <algorithm>
#include <cmath>

#include "flight/components.h"
#include "flight/rotor_laws.h"
#include "flight/units.h"

namespace flight {

using units::kPi;

TailRotor::TailRotor(const Parameters& p) {
    const TailRotorParameters& tr = p.tail_rotor;
    radius_ = tr.radius_ft;
    tip_speed_ = tr.rpm * 2 * kPi / 60 * radius_;
    twist_ = tr.twist_rad;
    inflow_gain_ = 0.75 * kPi / radius_;
    thrust_coef_per_rho_ = 0.25 * tip_speed_ * radius_ * tr.lift_slope * tr.blades * tr.chord_ft;
    profile_area_ = tr.cd0 * radius_ * tr.blades * tr.chord_ft;
    least_speed_ = p.powertrain.least_modelled_rotor_speed;
    hub_ = body_position(p, tr.hub);
}

TailRotor::AtDensity TailRotor::at_density(double rho) const {
    return {rho * thrust_coef_per_rho_, 1 / (2 * kPi * rho * radius_ * radius_), 0.5 * rho * (profile_area_ / 4) * tip_speed_};
}

TailRotor::Disc TailRotor::disc(const Flow& f, const AtDensity& a, double pitch) const {
    // The air at the hub: the CG's plus the body's turning (omega x r).
    const Eigen::Vector3d local = f.air + f.state.rates_body().cross(hub_);
    Disc d;
    d.v_adv2 = local.x() * local.x() + local.z() * local.z();
    d.v_r = -local.y();  // along the disc's normal, the thrust's way (left) +
    // Geared to the main rotor: its tip speed and coefficients follow the main rotor's speed.
    d.n = std::max(f.state.rotor_speed(), least_speed_);
    d.tip = d.n * tip_speed_;
    d.coef = d.n * a.thrust_coef;
    d.thrust = rotor_laws::thrust(d.coef, d.tip, d.v_r, d.v_adv2, pitch, twist_, f.state.inflow_tail());
    return d;
}

double TailRotor::power(const Disc& d, const AtDensity& a, double inflow) const {
    return rotor_laws::induced_power(d.thrust, inflow, d.v_r) + rotor_laws::profile_power(d.n * a.profile, d.tip, d.v_adv2);
}

double TailRotor::power(const Flow& f, const AtDensity& a, double pitch) const {
    return power(disc(f, a, pitch), a, f.state.inflow_tail());
}

TailRotor::Result TailRotor::evaluate(const Flow& f, const AtDensity& a, double pitch) const {
    const Disc d = disc(f, a, pitch);
    Result r;
    r.thrust = d.thrust;
    r.d_inflow = rotor_laws::inflow_rate(r.thrust, inflow_gain_, a.momentum, d.coef, f.state.inflow_tail(), d.v_adv2, d.v_r);
    r.load = Load::at(hub_, Eigen::Vector3d(0, r.thrust, 0));
    r.load.power = power(d, a, f.state.inflow_tail());
    return r;
}

}  // namespace flight
