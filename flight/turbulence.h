// Dryden turbulence (MIL-F-8785C, 3.7.2, and MIL-HDBK-1797): gust velocities as white noise through the Dryden
// forms, with scale lengths and intensities that depend on the height above the ground and the level (light,
// moderate, severe). Seeded and computed with IEEE arithmetic alone (+, -, *, / and sqrt, which are correctly
// rounded everywhere, no library function), so that one seed gives the same gusts, bit for bit, on every machine.
#pragma once

#include <Eigen/Core>
#include <cstdint>

namespace flight {

enum class TurbulenceLevel : int { off = 0, light, moderate, severe };
constexpr int kTurbulenceLevels = 4;
const char* turbulence_level_name(TurbulenceLevel l);  // "off", "light", "moderate", "severe"

// The Dryden figures at a height: intensities (rms gust, ft/s) and scale lengths (ft) along the three axes.
struct DrydenFigures {
    double sigma_u, sigma_v, sigma_w;
    double length_u, length_v, length_w;
};
DrydenFigures dryden_figures(TurbulenceLevel level, double height_ft);

// A portable generator: splitmix64 (Steele, Lea & Flood, "Fast splittable pseudorandom number generators",
// OOPSLA 2014), its normal deviates from the sum of four uniforms (bounded at +-3.46, which turbulence never
// misses; std::normal_distribution differs between standard libraries).
class Noise {
public:
    explicit Noise(uint64_t seed = 0) : state_(seed) {}
    uint64_t next();
    double uniform();   // [0, 1)
    double gaussian();  // mean 0, variance 1

private:
    uint64_t state_;
};

class Turbulence {
public:
    void set(TurbulenceLevel level, uint64_t seed);
    TurbulenceLevel level() const { return level_; }
    // Advances the gusts by h seconds at an airspeed (ft/s) and a height above the ground (ft); the gusts are
    // body-axis velocities of the air (ft/s).
    void advance(double h, double airspeed_fps, double height_ft);
    const Eigen::Vector3d& gust() const { return gust_; }

private:
    TurbulenceLevel level_ = TurbulenceLevel::off;
    Noise noise_;
    // Per axis: the first lag's state (unit variance) and, for v and w, the second lag's.
    Eigen::Vector3d first_ = Eigen::Vector3d::Zero();
    Eigen::Vector2d second_ = Eigen::Vector2d::Zero();
    Eigen::Vector3d gust_ = Eigen::Vector3d::Zero();
};

}  // namespace flight
