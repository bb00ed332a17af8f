// The fuselage (Heffley & Mnich, NASA CR-177476, 1988): quadratic drag of the equivalent flat-plate areas along
// each body axis, the vertical one in the main rotor's downwash, at the fuselage's centre of pressure. Its drag
// costs no power of its own here: the rotor pays for it through the propulsive work in its induced power.
#include <cmath>

#include "flight/components.h"

namespace flight {

Fuselage::Fuselage(const Parameters& p)
    : xuu_(p.fuselage.xuu_ft2), yvv_(p.fuselage.yvv_ft2), zww_(p.fuselage.zww_ft2),
      centre_(body_position(p, p.fuselage.pressure_centre)) {}

Load Fuselage::evaluate(const Flow& f) const {
    const double half_rho = 0.5 * f.density;
    const double u = f.air.x(), v = f.air.y();
    const double w = f.air.z() - f.state.inflow_main();  // the downwash on it
    return Load::at(centre_, half_rho * Eigen::Vector3d(xuu_ * std::abs(u) * u, yvv_ * std::abs(v) * v, zww_ * std::abs(w) * w));
}

}  // namespace flight
