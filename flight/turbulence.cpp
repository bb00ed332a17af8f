#include "flight/turbulence.h"

#include <algorithm>
#include <cmath>

#include "flight/units.h"

namespace flight {

namespace {

constexpr const char* kLevelNames[] = {"off", "light", "moderate", "severe"};
static_assert(std::size(kLevelNames) == kTurbulenceLevels);

// Below 1,000 ft (MIL-F-8785C 3.7.2.3, low altitude): L_w = h, L_u = L_v = h / (0.177 + 0.000823 h)^1.2;
// sigma_w = 0.1 W20, sigma_u = sigma_v = sigma_w / (0.177 + 0.000823 h)^0.4, with the wind at 20 ft W20 of 15,
// 30 and 45 kt for light, moderate and severe. h is held at 10 ft or more (the forms' own floor).
constexpr double kLowAltitudeFt = 1000, kMediumAltitudeFt = 2000, kLowestHeightFt = 10;
constexpr double kWind20Kt[] = {0, 15, 30, 45};
// From 2,000 ft (3.7.2.1, medium and high altitude): L_u = L_v = 2 L_w = 1,750 ft and sigma_u = sigma_v =
// sigma_w from the probability of exceedance against the height (MIL-F-8785C figure 7 / MIL-HDBK-1797: light
// 10^-2, moderate 10^-3, severe 10^-5), tabulated here at these heights and linear between them; between 1,000
// and 2,000 ft, linear between the two forms.
constexpr double kMediumLengthFt = 1750;
constexpr double kTableHeightFt[] = {2000, 3750, 7500, 15000, 25000, 35000, 45000, 55000, 65000, 75000, 80000};
constexpr double kTableSigmaFps[3][std::size(kTableHeightFt)] = {
    {3.6, 3.3, 1.6, 0, 0, 0, 0, 0, 0, 0, 0},                     // light
    {6.9, 7.4, 6.7, 4.6, 2.7, 0.4, 0, 0, 0, 0, 0},               // moderate
    {13.0, 16.0, 15.1, 11.6, 9.7, 8.1, 8.2, 7.9, 4.9, 3.2, 2.1},  // severe
};

// The frozen field passes at the airspeed; below this speed the eddies are taken to pass at it (about the
// severe gusts' own rms), so that a hover in calm air still feels them change.
constexpr double kLeastPassingSpeedFps = 10;

// The power x^(-0.4) and x^(-1.2) of the low-altitude forms, without a library call: x^0.4 = (x^2)^(1/5), by
// Newton's method on y^5 = x^2 from a start above the root (x lies in 0.177..1: the root in 0.5..1).
double fifth_root(double x) {
    double y = 1.0;
    for (int i = 0; i < 8; ++i) {
        const double y2 = y * y, y4 = y2 * y2;
        y -= (y4 * y - x) / (5 * y4);
    }
    return y;
}

DrydenFigures low(TurbulenceLevel level, double h) {
    const double x = 0.177 + 0.000823 * h;
    const double x04 = fifth_root(x * x);  // x^0.4
    const double x12 = x04 * x04 * x04;    // x^1.2
    const double sigma_w = 0.1 * kWind20Kt[static_cast<int>(level)] * units::kFeetPerSecondPerKnot;
    return {sigma_w / x04, sigma_w / x04, sigma_w, h / x12, h / x12, h};
}

DrydenFigures medium(TurbulenceLevel level, double h) {
    const auto& row = kTableSigmaFps[static_cast<int>(level) - 1];
    constexpr size_t n = std::size(kTableHeightFt);
    double sigma = row[n - 1];
    if (h <= kTableHeightFt[0]) {
        sigma = row[0];
    } else {
        for (size_t i = 1; i < n; ++i)
            if (h <= kTableHeightFt[i]) {
                const double t = (h - kTableHeightFt[i - 1]) / (kTableHeightFt[i] - kTableHeightFt[i - 1]);
                sigma = row[i - 1] + t * (row[i] - row[i - 1]);
                break;
            }
    }
    return {sigma, sigma, sigma, kMediumLengthFt, kMediumLengthFt, kMediumLengthFt / 2};
}

}  // namespace

const char* turbulence_level_name(TurbulenceLevel l) { return kLevelNames[static_cast<int>(l)]; }

DrydenFigures dryden_figures(TurbulenceLevel level, double height_ft) {
    if (level == TurbulenceLevel::off) return {0, 0, 0, kMediumLengthFt, kMediumLengthFt, kMediumLengthFt / 2};
    const double h = std::isfinite(height_ft) ? std::max(height_ft, kLowestHeightFt) : kLowestHeightFt;
    if (h <= kLowAltitudeFt) return low(level, h);
    if (h >= kMediumAltitudeFt) return medium(level, h);
    const DrydenFigures a = low(level, kLowAltitudeFt), b = medium(level, kMediumAltitudeFt);
    const double t = (h - kLowAltitudeFt) / (kMediumAltitudeFt - kLowAltitudeFt);
    auto mix = [t](double x, double y) { return x + t * (y - x); };
    return {mix(a.sigma_u, b.sigma_u),   mix(a.sigma_v, b.sigma_v),   mix(a.sigma_w, b.sigma_w),
            mix(a.length_u, b.length_u), mix(a.length_v, b.length_v), mix(a.length_w, b.length_w)};
}

uint64_t Noise::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Noise::uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

double Noise::gaussian() {
    // The sum of four uniforms has mean 2 and variance 1/3.
    const double sum = uniform() + uniform() + uniform() + uniform();
    constexpr double kSqrt3 = 1.7320508075688772;
    return (sum - 2.0) * kSqrt3;
}

void Turbulence::set(TurbulenceLevel level, uint64_t seed) {
    level_ = level;
    noise_ = Noise(seed);
    first_.setZero();
    second_.setZero();
    gust_.setZero();
}

void Turbulence::advance(double h, double airspeed_fps, double height_ft) {
    if (level_ == TurbulenceLevel::off) return;
    const DrydenFigures d = dryden_figures(level_, height_ft);
    const double speed = std::isfinite(airspeed_fps) ? std::max(airspeed_fps, kLeastPassingSpeedFps) : kLeastPassingSpeedFps;
    const double lengths[3] = {d.length_u, d.length_v, d.length_w};
    const double sigmas[3] = {d.sigma_u, d.sigma_v, d.sigma_w};
    constexpr double kSqrt3 = 1.7320508075688772;
    for (int i = 0; i < 3; ++i) {
        // A lag of time constant T = L / V, discrete: y' = a y + sqrt(1 - a^2) n keeps y at unit variance; the
        // pole a = 1 / (1 + h / T) (no exponential, so that it is the same everywhere).
        const double a = 1.0 / (1.0 + h * speed / lengths[i]);
        const double c = std::sqrt(1 - a * a);
        const double y1 = first_[i];
        first_[i] = a * y1 + c * noise_.gaussian();
        if (i == 0) {
            // u: sigma sqrt(2 L / (pi V)) / (1 + T s): the first-order lag itself.
            gust_[0] = sigmas[0] * first_[0];
            continue;
        }
        // v and w: sigma sqrt(L / (pi V)) (1 + sqrt3 T s) / (1 + T s)^2. A second lag of the first gives y2, and
        // T y2' = y1 - y2, so the lead makes sqrt3 y1 + (1 - sqrt3) y2; scaled by its stationary variance (the
        // covariances of the two lags: P11 = 1, P12 = a b / (1 - a^2), P22 = (2 a b P12 + b^2) / (1 - a^2)).
        double& y2 = second_[i - 1];
        const double b = 1 - a;
        y2 = a * y2 + b * y1;
        const double p12 = a * b / (1 - a * a), p22 = (2 * a * b * p12 + b * b) / (1 - a * a);
        constexpr double k1 = kSqrt3, k2 = 1 - kSqrt3;
        const double variance = k1 * k1 + 2 * k1 * k2 * p12 + k2 * k2 * p22;
        gust_[i] = sigmas[i] * (k1 * first_[i] + k2 * y2) / std::sqrt(variance);
    }
}

}  // namespace flight
