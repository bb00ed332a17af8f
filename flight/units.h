// The units the flight side works in, and their conversions: written once for the flight model, the world, our
// engine and the host's simulator. (The module keeps its own, rounded as the annunciators show them:
// frame/units.h.)
#pragma once

namespace flight::units {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kFeetPerMetre = 1.0 / 0.3048;      // the international foot
constexpr double kFeetPerNauticalMile = 6076.12;    // 1852 m
constexpr double kFeetPerSecondPerKnot = kFeetPerNauticalMile / 3600.0;
constexpr double kFtLbsPerHp = 550.0;  // ft lbf/s per horsepower
constexpr double kStandardGravityFps2 = 32.174;  // 9.80665 m/s^2 (ISO 80000-3)

}  // namespace flight::units
