#include "engine/autopilot.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/aircraft_link.h"
#include "engine/gains.h"

namespace autopilot {

namespace {

using namespace afcp::bits;
namespace masks = afcp::masks;
using namespace gains;

using namespace flight::units;
constexpr double kG = 32.174;  // ft/s^2
constexpr int kCollective = 0, kPitch = 1, kRoll = 2, kPedals = 3;

double wrap_180(double deg) { return deg - 360.0 * std::floor((deg + 180.0) / 360.0); }
double limit(double x, double bound) { return std::clamp(x, -bound, bound); }
double move_toward(double from, double to, double step) { return from + std::clamp(to - from, -step, step); }
bool has(uint32_t word, uint32_t bits) { return (word & bits) != 0; }

// The ground track, degrees; the heading when hardly moving.
double ground_track(const Sensors& s) {
    if (s.ground_speed_kt < 5) return s.heading_deg;
    return s.heading_deg + std::atan2(s.lateral_ground_speed_kt, s.forward_ground_speed_kt) / kRadiansPerDegree;
}

bool in_hover(uint32_t engaged) { return has(engaged, HOV); }
// The height the hover and the transitions fly: the reference, never below the least hover height (nor NaN).
double hover_height(const afcp::StateBlock& b) {
    return b.hover_height_reference >= kLeastHoverHeightFt ? b.hover_height_reference : kLeastHoverHeightFt;
}

// The readings that are numbers (the pilot's controls besides).
// clang-format off
constexpr double Sensors::*kReadings[] = {
    &Sensors::airspeed_kt,             &Sensors::radar_height_ft,         &Sensors::altitude_ft,
    &Sensors::heading_deg,             &Sensors::pitch_deg,               &Sensors::bank_deg,
    &Sensors::climb_fpm,               &Sensors::ground_speed_kt,         &Sensors::forward_ground_speed_kt,
    &Sensors::lateral_ground_speed_kt, &Sensors::roll_rate_dps,           &Sensors::pitch_rate_dps,
    &Sensors::yaw_rate_dps,            &Sensors::sideslip_deg,            &Sensors::rotor_power_hp,
    &Sensors::heading_bug_deg,         &Sensors::selected_altitude_ft,    &Sensors::autopilot_airspeed_kt,
    &Sensors::vertical_speed_fpm,      &Sensors::selected_course_deg,     &Sensors::gps_track_rad,
    &Sensors::localizer_dots,          &Sensors::glide_slope_dots,        &Sensors::threshold_nm,
    &Sensors::vor_dots,                &Sensors::vor_nm,                  &Sensors::placements,
};
// clang-format on
// Every double of Sensors is listed: besides the readings and the pilot's four controls there are only the
// receiver flags and padding.
static_assert(sizeof(Sensors) - sizeof(int) - (std::size(kReadings) + 4) * sizeof(double) < sizeof(double));

}  // namespace

void Autopilot::reset() { *this = Autopilot{}; }

void Autopilot::take_requests(afcp::StateBlock& b, const Sensors& s, double reference_read_kt, Actions& a) {
    const uint32_t requests = b.armed & (HDG | VS | IAS | CRHT | HHT | HOV_SUB_B | STAB_AX1 | STAB_AX3 | ATT);
    if (requests == 0) return;
    if (has(requests, HDG) && in_hover(b.engaged)) hover_heading_deg_ = s.heading_deg;
    if (has(requests, IAS) && !(reference_read_kt >= kIasLowestKt && reference_read_kt <= kIasHighestKt)) {
        // A reference the aircraft should not fly, or none read: the engine flies the present airspeed instead.
        a.set_airspeed = true;
        a.airspeed_kt = std::clamp(std::round(s.airspeed_kt), kIasLowestKt, kIasHighestKt);
    }
    if (has(requests, CRHT)) b.radar_height_reference = std::round(s.radar_height_ft);
    if (has(requests, HHT)) b.hover_height_reference = std::round(s.radar_height_ft);
    if (has(requests, ATT) && !in_hover(b.engaged)) {
        // Beep trim: a step of the attitude references, forward (nose down) and right +.
        if (std::fabs(b.fore_aft_input) <= kLargestBeep + 1e-9) {
            axis_[kPitch].reference -= b.fore_aft_input * kBeepDegreesPerUnit;
            b.fore_aft_input = 0;
        }
        if (std::fabs(b.lateral_input) <= kLargestBeep + 1e-9) {
            axis_[kRoll].reference += b.lateral_input * kBeepDegreesPerUnit;
            b.lateral_input = 0;
        }
    }
    b.armed &= ~requests;
}

// The go-around: the panel's GO_AROUND leaves V/S and IAS engaged together, nothing armed, and the presets in the
// references; the engine flies it as G/A in place of V/S. Looked for before any request is taken, since a mode
// button beside V/S (IAS) also engages its mode but leaves its request armed.
bool Autopilot::go_around_commanded(const afcp::StateBlock& b, const Sensors& s) const {
    const uint32_t go_around = VS | IAS;
    return (b.engaged & go_around) == go_around && (last_engaged_ & go_around) != go_around && b.armed == 0 &&
           std::fabs(s.vertical_speed_fpm - 500) < 1 && std::fabs(s.autopilot_airspeed_kt - 75) < 0.5;
}

void Autopilot::capture(afcp::StateBlock& b, const Sensors& s, bool go_around, Actions& a) {
    // Altitude acquire: inside the distance the present climb covers in the capture lead, or inside the band.
    if (has(b.armed, ALT)) {
        const double error = s.selected_altitude_ft - s.altitude_ft;
        const double lead = std::fabs(s.climb_fpm) / 60.0 * kAltitudeCaptureLead;
        if (std::fabs(error) <= kAltitudeCaptureBandFt || (error * s.climb_fpm > 0 && std::fabs(error) <= lead)) {
            b.altitude_reference = s.selected_altitude_ft;
            b.engaged = (b.engaged & ~masks::vertical_group) | ALT;
            b.armed &= ~ALT;
        }
    }
    if (has(b.armed, LOC) && has(static_cast<uint32_t>(s.receiver_flags), aircraft_link::receiver::localizer) &&
        std::fabs(s.localizer_dots) <= kLocalizerCaptureDots) {
        b.engaged = (b.engaged & masks::heading_keep) | LOC;
        b.armed &= ~(LOC | LOC_AUX);
    }
    if (has(b.armed, VOR) && s.vor_nm > 0.5 && std::fabs(s.vor_dots) <= kVorCaptureDots) {
        b.engaged = (b.engaged & masks::heading_keep) | VOR;
        b.armed &= ~(VOR | VOR_AUX);
    }
    if (has(b.armed, GS) && has(b.engaged, LOC) && has(static_cast<uint32_t>(s.receiver_flags), aircraft_link::receiver::glide_slope) &&
        std::fabs(s.glide_slope_dots) <= kGlideSlopeCaptureDots) {
        b.engaged = (b.engaged & ~masks::vertical_group) | GS;
        b.armed &= ~(GS | GS_AUX);
    }
    if (has(b.armed, TDN) && !in_hover(b.engaged) && s.airspeed_kt > kTransitionDownLowestKt) {
        b.engaged |= TDN;
        b.armed &= ~TDN;
    }
    if (go_around) {
        b.engaged = (b.engaged & ~masks::vertical_group) | GA;
        ga_heading_deg_ = s.heading_deg;  // a new go-around from one flown already too
    }
    // A transition down ends in the hover, as the panel's HOV makes it.
    if (has(b.engaged, TDN) && s.ground_speed_kt < kHoverEntryKt &&
        std::fabs(s.radar_height_ft - hover_height(b)) < kHoverEntryBandFt)
        a.command = "HOV";
}

double Autopilot::vertical_target(const afcp::StateBlock& b, const Sensors& s, bool& holds, double dt) {
    holds = true;
    const uint32_t e = b.engaged;
    auto height_hold = [](double error_ft, double time_constant, double bound) {
        return limit(error_ft / time_constant * 60.0, bound);
    };
    if (in_hover(e)) {
        holds = has(e, HHT);
        return height_hold(hover_height(b) - s.radar_height_ft, kRadarHeightTimeConstant,
                           kTransitionDownMaxDescentFpm);
    }
    if (has(e, TDN)) {
        // Down as the speed comes off, so that the hover height and the hover arrive together.
        const double share_left = transition_start_kt_ > 1 ? transition_speed_kt_ / transition_start_kt_ : 0.0;
        const double wanted = hover_height(b) + std::max(0.0, transition_start_height_ft_ - hover_height(b)) * share_left;
        return std::clamp((wanted - s.radar_height_ft) / kRadarHeightTimeConstant * 60.0, -kTransitionDownMaxDescentFpm,
                          kTransitionUpClimbFpm);
    }
    if (has(e, TUP)) return kTransitionUpClimbFpm;
    if (has(e, GA)) return limit(s.vertical_speed_fpm, kVerticalSpeedLimitFpm);
    if (has(e, ALT))
        return height_hold(b.altitude_reference - s.altitude_ft, kAltitudeTimeConstant, kAltitudeHoldLimitFpm);
    if (has(e, VS)) return limit(s.vertical_speed_fpm, kVerticalSpeedLimitFpm);
    if (has(e, CRHT))
        return height_hold(b.radar_height_reference - s.radar_height_ft, kRadarHeightTimeConstant,
                           kRadarHeightLimitFpm);
    if (has(e, HHT))
        return height_hold(hover_height(b) - s.radar_height_ft, kRadarHeightTimeConstant, kRadarHeightLimitFpm);
    if (has(e, GS)) {
        // The path's own descent for the ground speed, and the height off the path flown away in a time constant.
        const double path = -s.ground_speed_kt * kFpmPerKnotPerRadian * std::tan(kGlideSlopeDeg * kRadiansPerDegree);
        const double to_antenna = std::max(s.threshold_nm * kFeetPerNauticalMile + kGlideSlopePastThresholdFt, 500.0);
        const double above = to_antenna * std::tan(s.glide_slope_dots * kGlideSlopeFullScaleDeg / 2 * kRadiansPerDegree);
        return limit(path - above / kAltitudeTimeConstant * 60.0, kVerticalSpeedLimitFpm);
    }
    (void)dt;
    holds = false;
    return 0;
}

bool Autopilot::pitch_target(const afcp::StateBlock& b, const Sensors& s, double dt, double& theta) {
    const uint32_t e = b.engaged;
    // The speed loops: a PI on the speed error into the pitch attitude, too fast is nose up. `owner` is the mode
    // that flies it now (IAS and G/A are one); each mode's target starts afresh when the loop passes to it.
    auto speed_loop = [&](uint32_t owner, double error_kt, double gain, double integral_gain) {
        if (speed_loop_owner_ == 0) speed_integral_ = s.pitch_deg;
        speed_loop_owner_ = owner;
        speed_integral_ = limit(speed_integral_ + integral_gain * error_kt * dt, kPitchLimitDeg);
        return limit(speed_integral_ + gain * error_kt, kPitchLimitDeg);
    };
    if (in_hover(e)) {
        const double wanted = b.fore_aft_input / kFeetPerSecondPerKnot;
        hover_x_ft_ = std::fabs(wanted) > 0.05 ? 0.0 : hover_x_ft_ + s.forward_ground_speed_kt * kFeetPerSecondPerKnot * dt;
        const double error = s.forward_ground_speed_kt - wanted + kHoverPositionGain / kHoverSpeedPitchGain * hover_x_ft_;
        theta = speed_loop(HOV, error, kHoverSpeedPitchGain, kHoverSpeedIntegralGain);
        return true;
    }
    if (has(e, TDN)) {
        transition_speed_kt_ = std::max(0.0, transition_speed_kt_ - kTransitionDownDecelKtPerS * dt);
        theta = speed_loop(TDN, s.forward_ground_speed_kt - transition_speed_kt_, kSpeedPitchGain,
                           kSpeedPitchIntegralGain);
        return true;
    }
    if (has(e, TUP)) {
        transition_speed_kt_ = std::min(kTransitionUpSpeedKt, transition_speed_kt_ + kTransitionUpAccelKtPerS * dt);
        theta = speed_loop(TUP, s.airspeed_kt - transition_speed_kt_, kSpeedPitchGain, kSpeedPitchIntegralGain);
        return true;
    }
    if (has(e, IAS | GA)) {
        // The target slews to the reference at a comfortable acceleration, from the airspeed at engagement.
        const double wanted = std::clamp(s.autopilot_airspeed_kt, kIasLowestKt, kIasHighestKt);
        if (speed_loop_owner_ != (IAS | GA)) speed_target_kt_ = s.airspeed_kt;
        speed_target_kt_ = move_toward(speed_target_kt_, wanted, kAirspeedSlewKtPerS * dt);
        theta = speed_loop(IAS | GA, s.airspeed_kt - speed_target_kt_, kSpeedPitchGain, kSpeedPitchIntegralGain);
        return true;
    }
    speed_loop_owner_ = 0;
    return false;
}

double Autopilot::course_bank(double course_deg, double cross_ft, const Sensors& s, double dt) {
    if (!course_loop_on_) course_integral_ = 0;
    course_loop_on_ = true;
    course_integral_ = limit(course_integral_ + kCourseIntegralGain * cross_ft * dt, kInterceptLimitDeg / 2);
    const double intercept = limit(kInterceptDegPerFt * cross_ft + course_integral_, kInterceptLimitDeg);
    const double track_error = wrap_180(course_deg - intercept - ground_track(s));
    return limit(kTrackBankGain * track_error, kBankLimitDeg);
}

bool Autopilot::roll_target(const afcp::StateBlock& b, const Sensors& s, double dt, double& phi) {
    const uint32_t e = b.engaged;
    if (!has(e, LOC | VOR)) course_loop_on_ = false;
    if (in_hover(e)) {
        const double wanted = b.lateral_input / kFeetPerSecondPerKnot;
        hover_y_ft_ = std::fabs(wanted) > 0.05 ? 0.0 : hover_y_ft_ + s.lateral_ground_speed_kt * kFeetPerSecondPerKnot * dt;
        const double error = s.lateral_ground_speed_kt - wanted + kHoverPositionGain / kHoverSpeedBankGain * hover_y_ft_;
        if (!lateral_loop_on_) lateral_integral_ = s.bank_deg;
        lateral_loop_on_ = true;
        lateral_integral_ = limit(lateral_integral_ - kHoverLateralIntegralGain * error * dt, kBankLimitHoverDeg);
        phi = limit(lateral_integral_ - kHoverSpeedBankGain * error, kBankLimitHoverDeg);
        return true;
    }
    lateral_loop_on_ = false;
    if (has(e, LOC)) {
        const double to_antenna = s.threshold_nm * kFeetPerNauticalMile + kLocalizerBeyondThresholdFt;
        const double cross = to_antenna * std::tan(s.localizer_dots * kLocalizerFullScaleDeg / 2 * kRadiansPerDegree);
        phi = course_bank(s.selected_course_deg, cross, s, dt);
        return true;
    }
    if (has(e, VOR)) {
        const double cross = s.vor_nm * kFeetPerNauticalMile * std::sin(s.vor_dots * kVorFullScaleDeg / 2 * kRadiansPerDegree);
        phi = course_bank(s.selected_course_deg, cross, s, dt);
        return true;
    }
    if (has(e, NAV)) {
        phi = limit(kTrackBankGain * wrap_180(s.gps_track_rad / kRadiansPerDegree - ground_track(s)), kBankLimitDeg);
        return true;
    }
    if (has(e, HDG)) {
        phi = limit(kHeadingBankGain * wrap_180(s.heading_bug_deg - s.heading_deg), kBankLimitDeg);
        return true;
    }
    if (has(e, TDN | TUP | GA)) {
        double bank = kHeadingBankGain * wrap_180(ga_heading_deg_ - s.heading_deg);
        // Slowing down, the aircraft drifts sideways unless the bank stops it, as in the hover.
        if (has(e, TDN)) bank -= kHoverSpeedBankGain * s.lateral_ground_speed_kt;
        phi = limit(bank, kBankLimitHoverDeg);
        return true;
    }
    return false;
}

// What a mode takes from the aircraft as it starts.
void Autopilot::start_modes(uint32_t started, const Sensors& s) {
    if (has(started, TDN)) {
        transition_speed_kt_ = transition_start_kt_ = s.forward_ground_speed_kt;
        transition_start_height_ft_ = s.radar_height_ft;
    }
    if (has(started, TUP)) transition_speed_kt_ = s.airspeed_kt;
    if (has(started, TDN | TUP | GA)) ga_heading_deg_ = s.heading_deg;
    if (has(started, HOV)) {
        hover_x_ft_ = hover_y_ft_ = 0;
        hover_heading_deg_ = s.heading_deg;
    }
}

Sensors Autopilot::finite(const Sensors& reading) {
    Sensors s = reading;
    for (double Sensors::*r : kReadings)
        if (!std::isfinite(s.*r)) s.*r = last_finite_.*r;
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(s.pilot[i])) s.pilot[i] = last_finite_.pilot[i];
    last_finite_ = s;
    return s;
}

Actions Autopilot::step(afcp::StateBlock& b, const Sensors& reading, double dt) {
    Actions a{};
    // A reading that is not a finite number is taken as its last finite value (0 if none was), so that nothing
    // but numbers reaches the references, the integrators and the shares.
    const Sensors s = finite(reading);
    if (!started_ || s.placements != placements_) {
        // A new flight, or the aircraft placed anew: every loop starts from the aircraft as it is.
        reset();
        last_finite_ = s;
        started_ = true;
        placements_ = s.placements;
        axis_[kPitch].reference = s.pitch_deg;
        axis_[kRoll].reference = s.bank_deg;
        axis_[kPedals].reference = s.heading_deg;
        for (int i = 0; i < 4; ++i) last_pilot_[i] = s.pilot[i];
        last_engaged_ = b.engaged;
        start_modes(b.engaged, s);  // the modes engaged fly on from the aircraft as placed
    }
    const bool stab = has(b.engaged, STAB);
    if (stab) {
        const bool go_around = go_around_commanded(b, s);
        take_requests(b, s, reading.autopilot_airspeed_kt, a);
        capture(b, s, go_around, a);
    }
    const uint32_t e = b.engaged;
    start_modes(e & ~last_engaged_, s);
    for (int i = 1; i < 4; ++i) {
        if (std::fabs(s.pilot[i] - last_pilot_[i]) > kPilotMoveThreshold) axis_[i].sync = kPilotSyncSeconds;
        last_pilot_[i] = s.pilot[i];
    }

    bool held[4] = {false, stab, stab, stab};
    if (stab) {
        // Pitch and roll: the attitude references, moved by an upper mode or following the pilot's hand.
        struct Attitude {
            int axis;
            bool moded;
            double target, measured, rate, reference_rate, gain, rate_gain, integral_gain;
        };
        double theta = 0, phi = 0;
        const bool pitch_moded = pitch_target(b, s, dt, theta);
        const bool roll_moded = roll_target(b, s, dt, phi);
        if (!roll_moded && has(last_engaged_, masks::lateral_group | GA) && !has(e, masks::lateral_group | GA))
            axis_[kRoll].reference = 0;  // a lateral mode let go: wings level
        const Attitude attitudes[] = {
            {kPitch, pitch_moded, theta, s.pitch_deg, s.pitch_rate_dps,
             in_hover(e) ? kHoverReferenceRate : kPitchReferenceRate, kPitchAttitudeGain,
             kPitchRateGain, kPitchIntegralGain},
            {kRoll, roll_moded, phi, s.bank_deg, s.roll_rate_dps, in_hover(e) ? kHoverReferenceRate : kRollReferenceRate,
             kRollAttitudeGain, kRollRateGain,
             kRollIntegralGain},
        };
        // The cyclic grows more powerful with speed: the inner loops' gains fall as the dynamic pressure rises.
        const double schedule = 1.0 / (1.0 + std::pow(std::max(s.airspeed_kt, 0.0) / kGainScheduleKt, 2));
        for (const Attitude& t : attitudes) {
            Axis& x = axis_[t.axis];
            const bool following = !t.moded && x.sync > 0;
            if (t.moded)
                x.reference = move_toward(x.reference, t.target, t.reference_rate * dt);
            else if (following)
                x.reference = t.measured;
            x.sync = std::max(0.0, x.sync - dt);
            const double error = x.reference - t.measured;
            // The room the stick leaves to its stops; a reading past a stop is taken at the stop, so that the
            // bounds never cross.
            const double stick = std::clamp(s.pilot[t.axis], -1.0, 1.0);
            const double room_up = 1.0 - stick, room_down = -1.0 - stick;
            const bool stopped = (error > 0 && x.share >= room_up - kStopMargin) ||
                                 (error < 0 && x.share <= room_down + kStopMargin);
            if (!following && !stopped)
                x.integral = limit(x.integral + schedule * t.integral_gain * error * dt, kCyclicAuthority);
            x.share = std::clamp(schedule * (t.gain * error - t.rate_gain * t.rate) + x.integral,
                                 std::max(-kCyclicAuthority, room_down), std::min(kCyclicAuthority, room_up));
        }

        // Pedals: coordinate the turn in forward flight; hold the heading in hover and at low speed.
        Axis& y = axis_[kPedals];
        const bool coordinate = !in_hover(e) && s.airspeed_kt > kCoordinatedAboveKt;
        if (coordinate) {
            const double turn_rate =
                kG * std::tan(s.bank_deg * kRadiansPerDegree) / std::max(s.airspeed_kt * kFeetPerSecondPerKnot, 1.0) / kRadiansPerDegree;
            y.integral = limit(y.integral + kSideslipIntegralGain * s.sideslip_deg * dt, kPedalAuthority);
            y.share = limit(kSideslipGain * s.sideslip_deg + y.integral - kYawRateGain * (s.yaw_rate_dps - turn_rate),
                            kPedalAuthority);
            heading_hold_on_ = false;
        } else {
            if (!heading_hold_on_ || y.sync > 0) y.reference = s.heading_deg;
            if (in_hover(e)) y.reference = hover_heading_deg_;
            heading_hold_on_ = true;
            y.sync = std::max(0.0, y.sync - dt);
            const double error = wrap_180(y.reference - s.heading_deg);
            y.integral = limit(y.integral + kHeadingIntegralGain * error * dt, kPedalAuthority);
            y.share = limit(kHeadingHoldGain * error - kYawRateGain * s.yaw_rate_dps + y.integral, kPedalAuthority);
        }

        // Collective: the climb-rate loop of the vertical mode engaged, within the power limit.
        bool holds = false;
        const double climb = vertical_target(b, s, holds, dt);
        Axis& c = axis_[kCollective];
        if (holds) {
            double error = climb - s.climb_fpm;
            if (s.rotor_power_hp > kPowerLimitHp) error = std::min(error, 0.0);
            c.integral = limit(c.integral + kClimbIntegralGain * error * dt, kCollectiveAuthority);
            c.share = limit(kClimbGain * error + c.integral, kCollectiveAuthority);
            held[kCollective] = true;
        }
    }

    for (int i = 0; i < 4; ++i) {
        Axis& x = axis_[i];
        if (x.held && !held[i]) {
            a.release |= 1u << i;
            x.integral = x.share = 0;
        }
        if (!x.held && held[i]) x.integral = x.share = 0;
        if (!held[i] && i != kCollective) x.reference = i == kPedals ? s.heading_deg : (i == kPitch ? s.pitch_deg : s.bank_deg);
        x.held = held[i];
        a.held[i] = held[i];
        a.share[i] = held[i] ? x.share : 0.0;
    }
    last_engaged_ = b.engaged;
    return a;
}

}  // namespace autopilot
