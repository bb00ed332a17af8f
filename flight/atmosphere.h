// Standard atmosphere, imperial units.
#pragma once

#include <algorithm>
#include <cmath>

#include "flight/units.h"

namespace flight {

struct Air {
    double density;      // slug/ft^3
    double temperature;  // deg Rankine
};

// International Standard Atmosphere (ICAO Doc 7488, ISO 2533): sea level 518.67 R and 0.0023769 slug/ft^3,
// lapse 0.00356616 R/ft up to the tropopause at 36,089 ft, isothermal above. Altitude is clamped to
// -2,000..65,000 ft so that a wild state never takes a power of a negative temperature.
inline Air isa(double altitude_ft) {
    constexpr double t0 = 518.67, rho0 = 0.0023769, lapse = 0.00356616, r_air = 1716.49;
    constexpr double g = units::kStandardGravityFps2;
    constexpr double tropopause = 36089.0;
    constexpr double exponent = g / (lapse * r_air) - 1.0;  // 4.2559
    double h = std::isfinite(altitude_ft) ? std::clamp(altitude_ft, -2000.0, 65000.0) : 0.0;
    double ht = std::min(h, tropopause);
    double t = t0 - lapse * ht;
    double rho = rho0 * std::pow(t / t0, exponent);
    if (h > tropopause) rho *= std::exp(-g * (h - tropopause) / (r_air * t));
    return {rho, t};
}

}  // namespace flight
