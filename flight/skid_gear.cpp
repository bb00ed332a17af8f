// The skid gear: a spring and damper along the vertical at each skid end, stiffening once the skid's stroke is
// used; the hard points of the structure with the stiff law alone; Coulomb friction along the ground, held by
// an elastic-plastic stick point at each skid end so that a helicopter at rest does not creep.
#include <algorithm>
#include <cmath>

#include "flight/components.h"

namespace flight {

SkidGear::SkidGear(const Parameters& p, double mass) : p_(p.gear), gravity_(p.gravity_fps2) {
    // Per contact point: the four skid ends share the whole aircraft's bounce at the natural frequency.
    const double n = kSkids;
    k_ = mass * p_.natural_frequency * p_.natural_frequency / n;
    c_ = 2 * p_.damping_ratio * mass * p_.natural_frequency / n;
    bottom_k_ = mass * p_.bottom_frequency * p_.bottom_frequency / n;
    bottom_c_ = 2 * mass * p_.bottom_frequency / n;  // critically damped
    stick_k_ = mass * p_.stick_frequency * p_.stick_frequency / n;
    stick_c_ = 2 * mass * p_.stick_frequency / n;
    reach_ = 0;
    for (const auto& pt : p_.skids) reach_ = std::max(reach_, pt.norm());
    for (const auto& pt : p_.structure) reach_ = std::max(reach_, pt.norm());
}

double SkidGear::static_deflection() const {
    // The weight on four springs of m w^2 / 4 each: g / w^2.
    return gravity_ / (p_.natural_frequency * p_.natural_frequency);
}

double SkidGear::normal_force(double depth, double rate, bool skid) const {
    double normal = 0;
    if (skid) normal += k_ * depth + c_ * rate;
    const double bottomed = skid ? depth - p_.stroke_ft : depth;
    if (bottomed > 0) normal += bottom_k_ * bottomed + bottom_c_ * rate;
    return std::max(normal, 0.0);  // the ground pushes, never pulls
}

SkidGear::Result SkidGear::evaluate(const Flow& f, double ground_down, const Memory* memory) const {
    Result r;
    if (f.height >= reach_) return r;
    const State& s = f.state;
    const Eigen::Matrix3d& e2b = f.earth_to_body;
    int hard_point = -1;
    auto touch = [&](const Eigen::Vector3d& point, int skid) {
        const double depth = s.position_ned().z() + f.below_cg(point) - ground_down;  // > 0 below the ground
        if (!(depth > 0)) return;
        (skid >= 0 ? r.skid_contact : r.structure_contact) = true;
        if (skid < 0 && r.structure_struck < 0) r.structure_struck = hard_point;
        const Eigen::Vector3d pv = e2b.transpose() * (s.velocity_body() + s.rates_body().cross(point));
        const double normal = normal_force(depth, pv.z(), skid >= 0);
        const double limit = p_.friction * normal;
        Eigen::Vector2d along;
        if (memory && skid >= 0 && memory->stuck[skid]) {
            const Eigen::Vector2d spot = s.position_ned().head<2>() + (e2b.transpose() * point).head<2>();
            along = -stick_k_ * (spot - memory->anchor[skid]) - stick_c_ * pv.head<2>();
            const double size = along.norm();
            if (size > limit) along *= limit / size;
        } else {
            const double slip = pv.head<2>().norm();
            along = -limit / std::max(slip, p_.friction_speed_fps) * pv.head<2>();
        }
        r.load += Load::at(point, e2b * Eigen::Vector3d(along.x(), along.y(), -normal));
    };
    for (int i = 0; i < kSkids; ++i) touch(p_.skids[i], i);
    for (const auto& pt : p_.structure) {
        ++hard_point;
        touch(pt, -1);
    }
    return r;
}

void SkidGear::update(const State& s, const Eigen::Matrix3d& e2b, double ground_down, Memory& m) const {
    if (s.position_ned().z() - ground_down < -reach_) {  // no skid end can reach the ground
        m.stuck.fill(false);
        return;
    }
    const Eigen::Matrix3d b2e = transposed(e2b);
    const Eigen::Vector3d vel_ned = b2e * s.velocity_body();
    for (int i = 0; i < kSkids; ++i) {
        const Eigen::Vector3d& point = p_.skids[i];
        const Eigen::Vector3d offset = b2e * point;
        const double depth = s.position_ned().z() + offset.z() - ground_down;
        if (!(depth > 0)) {
            m.stuck[i] = false;
            continue;
        }
        const Eigen::Vector2d spot = s.position_ned().head<2>() + offset.head<2>();
        if (!m.stuck[i]) {
            m.stuck[i] = true;
            m.anchor[i] = spot;
            continue;
        }
        const double rate = (vel_ned + b2e * s.rates_body().cross(point)).z();
        const double limit = p_.friction * normal_force(depth, rate, true);
        const Eigen::Vector2d stretch = spot - m.anchor[i];
        const double pull = stick_k_ * stretch.norm();
        if (pull > limit) m.anchor[i] = spot - stretch * (limit / pull);
    }
}

}  // namespace flight
