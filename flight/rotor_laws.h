// The laws both rotors share: Heffley & Mnich, "Minimum-Complexity Helicopter Simulation Math Model", NASA
// CR-177476 (1988), the main rotor's thrust and inflow.
#pragma once

#include <cmath>

namespace flight::rotor_laws {

// Blade-element thrust: T = (w_b - v_i) rho a b c R (Omega R) / 4, with the blade's equivalent inflow
// w_b = w_r + 2/3 Omega R (theta0 + 3/4 twist) + V_adv^2 / (Omega R) (theta0 + twist / 2).
// `coef` is rho a b c R (Omega R) / 4, w_r the speed along the disc's normal (down +), v_adv2 the square of the
// speed in the disc's plane.
inline double thrust(double coef, double tip_speed, double w_r, double v_adv2, double pitch, double twist,
                     double inflow) {
    const double w_b = w_r + (2.0 / 3.0) * tip_speed * (pitch + 0.75 * twist) +
                       v_adv2 / tip_speed * (pitch + 0.5 * twist);
    return (w_b - inflow) * coef;
}

// Induced-velocity dynamics of momentum theory: dv_i/dt = 3/4 pi / R (T / (2 pi rho R^2) - v_i sqrt(V_adv^2 +
// (w_r - v_i)^2)); gain = 3/4 pi / R, momentum = 1 / (2 pi rho R^2), coef = dT/d(w_b - v_i).
// The inflow's own rate, gain (coef momentum + speed), grows with the speed through the disc: at high speed the
// small tail rotor's inflow settles faster than a 100 Hz RK4 step can follow, so its approach is slowed to
// kMaxInflowRate there, which leaves the settled inflow where it was.
constexpr double kMaxInflowRate = 150.0;  // 1/s: h * rate = 1.5 at 100 Hz, inside RK4's stable 2.78
inline double inflow_rate(double thrust, double gain, double momentum, double coef, double inflow, double v_adv2,
                          double w_r) {
    const double w = w_r - inflow;
    const double speed = std::sqrt(v_adv2 + w * w);
    const double rate = gain * (coef * momentum + speed);
    const double slow = rate > kMaxInflowRate ? kMaxInflowRate / rate : 1.0;
    return slow * gain * (thrust * momentum - inflow * speed);
}

// Induced power T (v_i - w_r): the work of the induced flow, and through w_r the propulsive and climb work.
inline double induced_power(double thrust, double inflow, double w_r) { return thrust * (inflow - w_r); }

// Profile power 1/2 rho (cd0 b c R / 4) Omega R ((Omega R)^2 + 3 V_adv^2), as `profile` (V_tip^2 + 3 V_adv^2).
inline double profile_power(double profile, double tip_speed, double v_adv2) {
    return profile * (tip_speed * tip_speed + 3 * v_adv2);
}

}  // namespace flight::rotor_laws
