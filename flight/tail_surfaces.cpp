// The horizontal and vertical tails (Heffley & Mnich, NASA CR-177476, 1988): lift linear in the normal speed up
// to the stall (|normal| > 0.3 |u|), a flat plate beyond it; the horizontal tail in the main rotor's triangular
// downwash, the vertical tail in the tail rotor's wake.
#include <algorithm>
#include <cmath>

#include "flight/components.h"

namespace flight {

double surface_force(const SurfaceParameters& s, double density, double u, double normal, double stalled_speed) {
    const double half_rho = 0.5 * density;
    const double au = std::abs(u);
    const double linear = half_rho * (s.uu_ft2 * au * u + s.uw_ft2 * au * normal);
    const double stalled = half_rho * s.max_ft2 * stalled_speed * normal;
    // The two laws blend between 0.25 and 0.35 |u| (the stall at 0.3 |u|), so that the force stays continuous.
    constexpr double kStall = 0.3, kBlend = 0.05;
    const double blend = std::clamp((std::abs(normal) - (kStall - kBlend) * au) / (2 * kBlend * au + 1e-9), 0.0, 1.0);
    return linear + blend * (stalled - linear);
}

HorizontalTail::HorizontalTail(const Parameters& p)
    : surface_(p.horizontal_tail), centre_(body_position(p, p.horizontal_tail.pressure_centre)),
      hub_(body_position(p, p.main_rotor.hub)), radius_(p.main_rotor.radius_ft) {}

Load HorizontalTail::evaluate(const Flow& f) const {
    const State& s = f.state;
    const double u = f.air.x(), v = f.air.y(), w = f.air.z();
    // Where the main rotor's wake, leaving the disc at v_i - w and blown aft at u, meets the tail's height:
    // the downwash there is triangular, 2 v_i at the disc's trailing edge, nothing one radius further aft.
    const double v_dw = std::max(s.inflow_main() - w, 1e-4);
    const double below_hub = centre_.z() - hub_.z(), behind_hub = hub_.x() - centre_.x();
    const double reach = u / v_dw * below_hub - (behind_hub - radius_);
    const double eps = (reach > 0 && reach < radius_) ? 2 * (1 - reach / radius_) : 0.0;
    // The normal speed at the tail: the pitch rate moves it down as the nose goes up.
    const double normal = w - eps * s.inflow_main() - s.rates_body().y() * centre_.x();
    const double stalled_speed = std::sqrt(u * u + v * v + normal * normal);
    return Load::at(centre_, Eigen::Vector3d(0, 0, surface_force(surface_, f.density, u, normal, stalled_speed)));
}

VerticalTail::VerticalTail(const Parameters& p)
    : surface_(p.vertical_tail), centre_(body_position(p, p.vertical_tail.pressure_centre)) {}

Load VerticalTail::evaluate(const Flow& f) const {
    const State& s = f.state;
    const double u = f.air.x();
    const Eigen::Vector3d& w = s.rates_body();
    // The sideways speed at the fin, in the tail rotor's wake and with the body's turning.
    const double normal = f.air.y() + s.inflow_tail() + w.z() * centre_.x() - w.x() * centre_.z();
    // Stalled, the fin sees the speed in its own plane: forward and its normal speed (the sideways speed is that
    // normal speed; counting v again would give sqrt(2) too much force in sideward flight).
    const double stalled_speed = std::sqrt(u * u + normal * normal);
    return Load::at(centre_, Eigen::Vector3d(0, surface_force(surface_, f.density, u, normal, stalled_speed), 0));
}

}  // namespace flight
