#include "flight/trim.h"

#include <Eigen/LU>
#include <algorithm>
#include <cmath>

#include "flight/reference_trim.h"
#include "flight/units.h"

namespace flight {

namespace {

using namespace units;

using Vec = Eigen::Matrix<double, 10, 1>;
using Mat = Eigen::Matrix<double, 10, 10>;

// Unknowns: collective, longitudinal, lateral, pedals, pitch, roll, a1, b1, main and tail inflow.
struct Problem {
    const Helicopter& heli;
    const Environment& env;
    Eigen::Vector3d ground_velocity_ned;
    double heading;
    Eigen::Vector3d position;
    double g;

    // The state of the unknowns, the drive governed steady at it.
    State state_of(const Vec& x) const { return heli.governed(plain_state_of(x), controls_of(x), env); }
    State plain_state_of(const Vec& x) const {
        State s;
        s.euler() = Eigen::Vector3d(x[5], x[4], heading);
        s.velocity_body() = earth_to_body(s.euler()) * ground_velocity_ned;
        s.position_ned() = position;
        s.a1() = x[6];
        s.b1() = x[7];
        s.inflow_main() = x[8];
        s.inflow_tail() = x[9];
        return s;
    }
    static Controls controls_of(const Vec& x) { return {x[0], x[1], x[2], x[3]}; }

    Vec residual(const Vec& x) const {
        const State d = heli.derivative(state_of(x), controls_of(x), env);
        Vec r;
        r << d.velocity_body() / g, d.rates_body(), d.a1(), d.b1(), d.inflow_main() / 100, d.inflow_tail() / 100;
        return r;
    }
};

void clamp_controls(Vec& x) {
    x[0] = std::clamp(x[0], 0.0, 1.0);
    for (int i = 1; i < 4; ++i) x[i] = std::clamp(x[i], -1.0, 1.0);
    x[4] = std::clamp(x[4], -0.6, 0.6);  // attitude kept within +-35 deg while searching
    x[5] = std::clamp(x[5], -0.6, 0.6);
}

}  // namespace

TrimResult trim(const Parameters& params, const Environment& env, const TrimTarget& t) {
    const Helicopter heli(params);
    const double heading = t.heading_deg * kRadiansPerDegree;
    const Eigen::Vector3d wind = env.wind_ned_fps.allFinite() ? env.wind_ned_fps : Eigen::Vector3d::Zero();
    const double climb = t.climb_fpm / 60.0;
    Eigen::Vector3d ground;
    if (t.still_over_ground) {
        ground = Eigen::Vector3d(0, 0, -climb);
    } else {
        const double v = t.airspeed_kt * kFeetPerSecondPerKnot;
        ground = Eigen::Vector3d(v * std::cos(heading), v * std::sin(heading), -climb) + wind;
    }
    Problem prob{heli, env, ground, heading, Eigen::Vector3d(t.north_ft, t.east_ft, -t.altitude_ft),
                 params.gravity_fps2};

    Vec x;
    x << 0.5, 0, 0, -0.4, 0, 0, params.main_rotor.shaft_tilt_rad, 0, 30, 40;
    Vec r = prob.residual(x);
    double norm = r.lpNorm<Eigen::Infinity>();
    Vec step_size;
    step_size << 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-4, 1e-4;
    // Newton with a central-difference Jacobian and a halving line search on the largest residual.
    for (int iter = 0; iter < 60 && norm > 1e-10; ++iter) {
        Mat jac;
        for (int j = 0; j < 10; ++j) {
            Vec xp = x, xm = x;
            xp[j] += step_size[j];
            xm[j] -= step_size[j];
            jac.col(j) = (prob.residual(xp) - prob.residual(xm)) / (2 * step_size[j]);
        }
        const Vec dx = jac.fullPivLu().solve(r);
        if (!dx.allFinite()) break;
        double lambda = 1.0;
        bool improved = false;
        for (int k = 0; k < 20; ++k, lambda *= 0.5) {
            Vec xn = x - lambda * dx;
            clamp_controls(xn);
            const Vec rn = prob.residual(xn);
            const double nn = rn.lpNorm<Eigen::Infinity>();
            if (nn < norm) {
                x = xn;
                r = rn;
                norm = nn;
                improved = true;
                break;
            }
        }
        if (!improved) break;
    }
    TrimResult res;
    res.state = prob.state_of(x);
    res.controls = Problem::controls_of(x);
    res.residual = norm;
    res.converged = norm < 1e-6;
    return res;
}

TrimResult on_ground(const Parameters& params, const Environment& env, double heading_deg, double north_ft,
                     double east_ft) {
    Helicopter heli(params);
    const double heading = std::fmod(std::fmod(heading_deg, 360.0) + 360.0, 360.0) * kRadiansPerDegree;
    // Place the skids at their static compression under the full weight, then let the aircraft settle with
    // the rotor turning, lever down: 20 s is some fifty times the gear's slowest time constant. The result
    // is the state as it stands, not an exact equilibrium: the rotor's inflow and flapping are settled too.
    double skid_depth = 0;
    for (const auto& pt : params.gear.skids) skid_depth = std::max(skid_depth, pt.z());
    const double sag = heli.gear().static_deflection();
    State s;
    s.euler() = Eigen::Vector3d(0, 0, heading);
    s.position_ned() = Eigen::Vector3d(north_ft, east_ft, -(env.ground_elevation_ft + skid_depth - sag));
    s.a1() = params.main_rotor.shaft_tilt_rad;
    const Controls rest{};
    heli.set_state(heli.governed(s, rest, env));
    for (int i = 0; i < 2000; ++i) heli.step(rest, env, 0.01);
    // Settled: what moved over one more second, in ft/s and rad/s.
    const State before = heli.state();
    for (int i = 0; i < 100; ++i) heli.step(rest, env, 0.01);
    TrimResult res;
    res.state = heli.state();
    res.controls = rest;
    res.residual = std::max({(res.state.position_ned() - before.position_ned()).lpNorm<Eigen::Infinity>(),
                             (res.state.euler() - before.euler()).lpNorm<Eigen::Infinity>(),
                             res.state.velocity_body().lpNorm<Eigen::Infinity>(),
                             res.state.rates_body().lpNorm<Eigen::Infinity>()});
    res.converged = res.residual < 1e-3;
    return res;
}

LevelTrim level_trim(double airspeed_kt) {
    const Environment e;
    TrimTarget t;
    t.airspeed_kt = airspeed_kt;
    t.altitude_ft = e.ground_elevation_ft + 1000;
    const TrimResult r = trim(default_parameters(), e, t);
    Helicopter h;
    h.set_state(r.state);
    h.step(r.controls, e, 1e-9);  // records the controls
    const Outputs o = h.outputs(e);
    return {r.converged, o.pitch_deg, h.blade_angles(r.controls).collective, o.power_hp, o.torque_percent};
}

FlightTestFit flight_test_fit() {
    double sum_p = 0, sum_c = 0;
    FlightTestFit fit{0, 0, 0, 0};
    int n = 0;
    for (const ReferenceTrimPoint& ref : kReferenceTrim) {
        if (ref.speed_kt < 0) continue;
        const LevelTrim p = level_trim(ref.speed_kt);
        const double dp = p.pitch_deg - ref.pitch_deg, dc = p.collective_rad - ref.collective_rad;
        sum_p += dp * dp;
        sum_c += dc * dc;
        fit.pitch_worst_deg = std::max(fit.pitch_worst_deg, std::abs(dp));
        fit.collective_worst_rad = std::max(fit.collective_worst_rad, std::abs(dc));
        ++n;
    }
    fit.pitch_rms_deg = std::sqrt(sum_p / n);
    fit.collective_rms_rad = std::sqrt(sum_c / n);
    return fit;
}

}  // namespace flight
