#include "engine/modes.h"

#include <algorithm>
#include <cmath>

#include "engine/zolm_test.h"

namespace autopilot {

using namespace gains;
using flight::units::kFeetPerNauticalMile;
using flight::units::kFeetPerSecondPerKnot;
using flight::units::kRadiansPerDegree;

namespace {
double limit(double x, double bound) { return std::clamp(x, -bound, bound); }
double move_toward(double from, double to, double step) { return from + std::clamp(to - from, -step, step); }
constexpr Range symmetric(double bound) { return {-bound, bound}; }
constexpr Range kUnlimited{-1e9, 1e9};
}  // namespace

const char* limit_name(Limit l) {
    const auto i = static_cast<int32_t>(l);
    return i >= 0 && i < zolm_limit_count ? zolm_limit_names[i] : zolm_limit_names[0];
}

double wrap_180(double deg) { return deg - 360.0 * std::floor((deg + 180.0) / 360.0); }

double ground_track(const Sensors& s) {
    if (s.ground_speed_kt < kGroundTrackLeastKt) return s.heading_deg;
    return s.heading_deg + std::atan2(s.lateral_ground_speed_kt, s.forward_ground_speed_kt) / kRadiansPerDegree;
}

double hover_height(const afcp::StateBlock& b) {
    return b.hover_height_reference >= kLeastHoverHeightFt ? b.hover_height_reference : kLeastHoverHeightFt;
}

const ModeRow* row_of(uint32_t bit) {
    for (const ModeRow& r : kModeRows)
        if (r.bit == bit) return &r;
    return nullptr;
}

void capture_mode(afcp::StateBlock& b, uint32_t bit) {
    const ModeRow* r = row_of(bit);
    const uint32_t replaces = r != nullptr ? r->replaces : 0, with = r != nullptr ? r->armed_with : 0;
    b.engaged = (b.engaged & ~replaces) | bit;
    b.armed &= ~(bit | with);
}

uint32_t capture_armed_targets(afcp::StateBlock& b) {
    using namespace afcp::bits;
    uint32_t captured = 0;
    for (uint32_t bit : {ALT, GS, LOC, VOR, TDN}) {
        if ((b.armed & bit) == 0) continue;
        capture_mode(b, bit);
        captured |= bit;
    }
    return captured;
}

namespace law {

double SpeedOnPitch::fly(double speed_kt, double wanted_kt, double rate_kt_s, double limit_deg, double dt) {
    target_kt = move_toward(target_kt, wanted_kt, rate_kt_s * dt);
    return loop.update(speed_kt - target_kt, 0, dt, symmetric(limit_deg));
}

// ---- HOV ----
void Hov::start(const Context& c) {
    x_ft = y_ft = 0;
    at_rest_x = at_rest_y = false;
    heading_deg = c.s.heading_deg;
    fore.target_kt = c.s.forward_ground_speed_kt;
    lateral_target_kt = c.s.lateral_ground_speed_kt;
}

void Hov::take(Axis a, const Context& c, double present) {
    if (a == kPit) fore.take(present, c.s.forward_ground_speed_kt);
    if (a == kRol) {
        lateral_target_kt = c.s.lateral_ground_speed_kt;
        lateral.hand_over(present, 0, 0);
    }
}

namespace {
// One hover axis: the speed target runs down to the setting; at zero, the point of rest is held, flown back to
// at kHoverReturnLimitKt at most. Returns the speed to fly.
double hover_speed(double input_fps, double speed_kt, double& target_kt, double& off_ft, bool& at_rest,
                   const Pid& position, double dt) {
    const double wanted = std::fabs(input_fps) > kHoverSettingDeadbandFps ? input_fps / kFeetPerSecondPerKnot : 0.0;
    target_kt = move_toward(target_kt, wanted, kHoverDecelKtPerS * dt);
    const bool resting = wanted == 0.0 && target_kt == 0.0;
    if (!resting || !at_rest) off_ft = 0;
    at_rest = resting;
    if (resting) off_ft += speed_kt * kFeetPerSecondPerKnot * dt;
    return target_kt - limit(position.gains().kp * off_ft, kHoverReturnLimitKt);
}
}  // namespace

Command Hov::target(Axis a, const Context& c) {
    const Sensors& s = c.s;
    if (a == kPit) {
        const double wanted = hover_speed(c.block.fore_aft_input, s.forward_ground_speed_kt, fore.target_kt, x_ft,
                                          at_rest_x, position, c.dt);
        return {fore.loop.update(s.forward_ground_speed_kt - wanted, 0, c.dt, symmetric(row.pitch_limit_deg()))};
    }
    if (a == kRol) {
        const double wanted = hover_speed(c.block.lateral_input, s.lateral_ground_speed_kt, lateral_target_kt, y_ft,
                                          at_rest_y, position, c.dt);
        return {lateral.update(wanted - s.lateral_ground_speed_kt, 0, c.dt, symmetric(row.bank_limit_deg()))};
    }
    return {heading_deg};
}

// ---- TDN ----
namespace {
// The height a transition down loses from `speed_kt` to the hover, in feet per foot-per-second of its full descent
// rate and knot-per-second of deceleration: the integral of the descent profile (full above
// kTransitionDownSlowingKt, falling linearly to zero at the hover) over the speed.
double descent_profile(double speed_kt) {
    const double v1 = kTransitionDownSlowingKt;
    return speed_kt <= v1 ? speed_kt * speed_kt / (2 * v1) : speed_kt - v1 / 2;
}
}  // namespace

void Tdn::start(const Context& c) {
    start_kt = std::max(c.s.forward_ground_speed_kt, 1.0);
    start_height_ft = c.s.radar_height_ft;
    heading_deg = c.s.heading_deg;
    fore.target_kt = c.s.forward_ground_speed_kt;
    // The height to lose is planned against the speed: the descent is at its limit above kTransitionDownSlowingKt
    // and dies away with the speed below it; the deceleration is the most that keeps the descent inside its limit.
    const double to_lose = std::max(0.0, start_height_ft - hover_height(c.block));
    const double most = (kTransitionDownMaxDescentFpm - kClimbLoopOvershootFpm) / 60.0 * descent_profile(start_kt) /
                        std::max(to_lose, 1e-9);
    decel_kt_s = std::min(kTransitionDownDecelKtPerS, most);
}

void Tdn::take(Axis a, const Context& c, double present) {
    if (a == kPit) fore.take(present, c.s.forward_ground_speed_kt);
    if (a == kRol) {
        heading_loop.hand_over(present, wrap_180(heading_deg - c.s.heading_deg), 0);
        drift.reset();
    }
}

Command Tdn::target(Axis a, const Context& c) {
    const Sensors& s = c.s;
    if (a == kPit) return {fore.fly(s.forward_ground_speed_kt, 0, decel_kt_s, row.pitch_limit_deg(), c.dt)};
    if (a == kRol) {
        const double bound = row.bank_limit_deg();
        return {heading_loop.update(wrap_180(heading_deg - s.heading_deg), 0, c.dt, symmetric(bound)) +
                drift.update(-s.lateral_ground_speed_kt, 0, c.dt, symmetric(bound))};
    }
    // Collective: the planned height for the speed target, and its rate.
    const double floor = hover_height(c.block);
    const double to_lose = std::max(0.0, start_height_ft - floor);
    const double v = std::clamp(fore.target_kt, 0.0, start_kt);
    const double wanted = floor + to_lose * descent_profile(v) / descent_profile(start_kt);
    const double planned =
        -to_lose * decel_kt_s * std::min(v / kTransitionDownSlowingKt, 1.0) / descent_profile(start_kt) * 60.0;
    const double descent =
        (s.airspeed_kt < kVortexRingAirspeedKt ? kVortexRingDescentFpm : kTransitionDownMaxDescentFpm) -
        kClimbLoopOvershootFpm;
    return {std::clamp(planned + (wanted - s.radar_height_ft) * kRadarHeightHold.kp, -descent, kTransitionUpClimbFpm)};
}

// ---- TUP and G/A ----
void SpeedOnHeading::take(Axis a, const Context& c, double present) {
    if (a == kPit) fore.take(present, c.s.airspeed_kt);
    if (a == kRol) heading_loop.hand_over(present, wrap_180(heading_deg - c.s.heading_deg), 0);
}

double SpeedOnHeading::bank(const Context& c, double limit_deg) {
    return heading_loop.update(wrap_180(heading_deg - c.s.heading_deg), 0, c.dt, symmetric(limit_deg));
}

void Tup::start(const Context& c) {
    heading_deg = c.s.heading_deg;
    fore.target_kt = c.s.airspeed_kt;
}

Command Tup::target(Axis a, const Context& c) {
    if (a == kPit)
        return {fore.fly(c.s.airspeed_kt, kTransitionUpSpeedKt, kTransitionUpAccelKtPerS, row.pitch_limit_deg(), c.dt)};
    if (a == kRol) return {bank(c, row.bank_limit_deg())};
    return {kTransitionUpClimbFpm};
}

void Ga::start(const Context& c) { heading_deg = c.s.heading_deg; }

Command Ga::target(Axis a, const Context& c) {
    if (a == kPit)
        return {fore.fly(c.s.airspeed_kt, std::clamp(c.s.autopilot_airspeed_kt, kIasLowestKt, kIasHighestKt),
                         kAirspeedSlewKtPerS, row.pitch_limit_deg(), c.dt)};
    if (a == kRol) return {bank(c, row.bank_limit_deg())};
    return {limit(c.s.vertical_speed_fpm, row.climb_limit_fpm)};
}

// ---- the vertical modes ----
Command Alt::target(Axis, const Context& c) {
    return {hold.update(c.block.altitude_reference - c.s.altitude_ft, 0, c.dt, symmetric(row.climb_limit_fpm))};
}

Command Vs::target(Axis, const Context& c) { return {limit(c.s.vertical_speed_fpm, row.climb_limit_fpm)}; }

Command Crht::target(Axis, const Context& c) {
    return {hold.update(c.block.radar_height_reference - c.s.radar_height_ft, 0, c.dt, symmetric(row.climb_limit_fpm))};
}

Command Hht::target(Axis, const Context& c) {
    const bool hovering = (c.block.engaged & HOV) != 0;
    return {hold.update(hover_height(c.block) - c.s.radar_height_ft, 0, c.dt,
                        symmetric(hovering ? kHoverHeightLimitFpm : row.climb_limit_fpm))};
}

Command Gs::target(Axis, const Context& c) {
    const Sensors& s = c.s;
    // The path's own descent for the ground speed, and the height off the path flown away in a time constant.
    const double path = -s.ground_speed_kt * kFpmPerKnotPerRadian * std::tan(kGlideSlopeDeg * kRadiansPerDegree);
    const double to_antenna =
        std::max(s.threshold_nm * kFeetPerNauticalMile + kGlideSlopePastThresholdFt, kGlideSlopeLeastDistanceFt);
    const double above_ft = to_antenna * std::tan(s.glide_slope_dots * kGlideSlopeFullScaleDeg / 2 * kRadiansPerDegree);
    return {path + hold.update(-above_ft, 0, c.dt, kUnlimited)};
}

// ---- IAS ----
void Ias::take(Axis, const Context& c, double present) { fore.take(present, c.s.airspeed_kt); }

Command Ias::target(Axis, const Context& c) {
    const double wanted = std::clamp(c.s.autopilot_airspeed_kt, kIasLowestKt, kIasHighestKt);
    return {fore.fly(c.s.airspeed_kt, wanted, kAirspeedSlewKtPerS, row.pitch_limit_deg(), c.dt)};
}

// ---- the course modes ----
double CourseLaw::bank(double course_deg, double cross_ft, const Sensors& s, double limit_deg, double dt) {
    const double in = intercept.update(cross_ft, 0, dt, symmetric(kInterceptLimitDeg));
    return track.update(wrap_180(course_deg - in - ground_track(s)), 0, dt, symmetric(limit_deg));
}

Command Loc::target(Axis, const Context& c) {
    const Sensors& s = c.s;
    const double to_antenna = s.threshold_nm * kFeetPerNauticalMile + kLocalizerBeyondThresholdFt;
    const double cross = to_antenna * std::tan(s.localizer_dots * kLocalizerFullScaleDeg / 2 * kRadiansPerDegree);
    return {course.bank(s.selected_course_deg, cross, s, row.bank_limit_deg(), c.dt)};
}

Command Vor::target(Axis, const Context& c) {
    const Sensors& s = c.s;
    const double cross =
        s.vor_nm * kFeetPerNauticalMile * std::sin(s.vor_dots * kVorFullScaleDeg / 2 * kRadiansPerDegree);
    return {course.bank(s.selected_course_deg, cross, s, row.bank_limit_deg(), c.dt)};
}

void Nav::take(Axis, const Context& c, double present) {
    track.hand_over(present, wrap_180(c.s.gps_track_rad / kRadiansPerDegree - ground_track(c.s)), 0);
}

Command Nav::target(Axis, const Context& c) {
    const double error = wrap_180(c.s.gps_track_rad / kRadiansPerDegree - ground_track(c.s));
    return {track.update(error, 0, c.dt, symmetric(row.bank_limit_deg()))};
}

void Hdg::take(Axis, const Context& c, double present) {
    bank.hand_over(present, wrap_180(c.s.heading_bug_deg - c.s.heading_deg), 0);
}

Command Hdg::target(Axis, const Context& c) {
    return {bank.update(wrap_180(c.s.heading_bug_deg - c.s.heading_deg), 0, c.dt, symmetric(row.bank_limit_deg()))};
}

// ---- STAB ----
void Stab::take(Axis a, const Context& c, double present) {
    if (a == kPed) {
        heading_deg = c.s.heading_deg;
        return;
    }
    // A lateral mode that lets go leaves the wings level.
    attitude_deg[a] = a == kRol && (c.from & (masks::lateral_group | GA)) != 0 ? 0.0 : present;
}

Command Stab::target(Axis a, const Context& c) {
    if (a == kPed) {
        const bool coordinate = c.s.airspeed_kt > kCoordinatedAboveKt;
        if (coordinate || sync_s[a] > 0) heading_deg = c.s.heading_deg;
        return {heading_deg, coordinate};
    }
    // The pilot's hand on the stick: the attitude held follows the aircraft.
    if (sync_s[a] > 0) attitude_deg[a] = a == kPit ? c.s.pitch_deg : c.s.bank_deg;
    return {attitude_deg[a]};
}

}  // namespace law
}  // namespace autopilot
