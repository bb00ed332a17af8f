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
using flight::units::kFeetPerSecondPerKnot;
using flight::units::kRadiansPerDegree;

constexpr Axis kCollective = Axis::collective, kPitch = Axis::pitch_axis, kRoll = Axis::roll_axis,
               kPedals = Axis::pedals_axis;
// The outer loops of the cascade are bounded by the inner loop's stops, fed back, not by a range of their own.
constexpr Range kNoRange{-1e9, 1e9};

double move_toward(double from, double to, double step) { return from + std::clamp(to - from, -step, step); }
bool has(uint32_t word, uint32_t bits) { return (word & bits) != 0; }

// The readings that are numbers (the pilot's controls besides).
// clang-format off
constexpr double Sensors::*kReadings[] = {
    &Sensors::airspeed_kt,             &Sensors::radar_height_ft,         &Sensors::altitude_ft,
    &Sensors::heading_deg,             &Sensors::pitch_deg,               &Sensors::bank_deg,
    &Sensors::climb_fpm,               &Sensors::ground_speed_kt,         &Sensors::forward_ground_speed_kt,
    &Sensors::lateral_ground_speed_kt, &Sensors::roll_rate_dps,           &Sensors::pitch_rate_dps,
    &Sensors::yaw_rate_dps,            &Sensors::sideslip_deg,            &Sensors::rotor_power_hp,
    &Sensors::rotor_speed_pct,         &Sensors::engines_out,             &Sensors::power_available_hp,
    &Sensors::heading_bug_deg,         &Sensors::selected_altitude_ft,    &Sensors::autopilot_airspeed_kt,
    &Sensors::vertical_speed_fpm,      &Sensors::selected_course_deg,     &Sensors::gps_track_rad,
    &Sensors::localizer_dots,          &Sensors::glide_slope_dots,        &Sensors::threshold_nm,
    &Sensors::vor_dots,                &Sensors::vor_nm,                  &Sensors::placements,
};
// clang-format on
// Every double of Sensors is listed: besides the readings and the pilot's four controls there are only the
// receiver flags, the force-trim release and padding.
static_assert(sizeof(Sensors) - sizeof(int) - (std::size(kReadings) + 4) * sizeof(double) < sizeof(double));

// The room a control leaves the engine's share: its travel (collective 0..1, the others -1..1) less the pilot's
// lever (a reading past a stop taken at the stop, so that the bounds never cross), within the authority.
Range room(Axis a, double pilot) {
    const double low = a == kCollective ? 0.0 : -1.0;
    const double authority = a == kCollective ? kCollectiveAuthority
                             : a == kPedals   ? kPedalAuthority
                                              : kCyclicAuthority;
    const double lever = std::clamp(pilot, low, 1.0);
    return {std::max(-authority, low - lever), std::min(authority, 1.0 - lever)};
}
// The control at a stop, as the inner loop last drove it: fed back to the loops before it.
Stops stops(double share, Range r) { return {share >= r.high - kStopMargin, share <= r.low + kStopMargin}; }

template <size_t... I, class F>
void each_row(ModeLaws& laws, std::index_sequence<I...>, F&& f) {
    (f(I, std::get<I>(laws)), ...);
}
template <class F>
void each_row(ModeLaws& laws, F&& f) {
    each_row(laws, std::make_index_sequence<kModeCount>{}, f);
}

}  // namespace

void Autopilot::reset() { *this = Autopilot{}; }

// ---- 1. the sensors ----------------------------------------------------------------------------------------------

Sensors Autopilot::finite(const Sensors& reading) {
    Sensors s = reading;
    for (double Sensors::*r : kReadings)
        if (!std::isfinite(s.*r)) s.*r = last_finite_.*r;
    for (int i = 0; i < kAxes; ++i)
        if (!std::isfinite(s.pilot[i])) s.pilot[i] = last_finite_.pilot[i];
    last_finite_ = s;
    return s;
}

// A new flight, or the aircraft placed anew: every loop starts from the aircraft as it is, and the modes engaged
// fly on from there.
void Autopilot::place(afcp::StateBlock& b, const Sensors& s) {
    reset();
    last_finite_ = s;
    started_ = true;
    placements_ = s.placements;
    for (int i = 0; i < kAxes; ++i) last_pilot_[i] = s.pilot[i];
    axis_[kPitch].reference = s.pitch_deg;
    axis_[kRoll].reference = s.bank_deg;
    axis_[kPedals].reference = s.heading_deg;
    axis_[kCollective].reference = s.climb_fpm;
    last_engaged_ = b.engaged;
    Context c{b, s, 0};
    start_modes(b.engaged, c);
}

// ---- 2. the requests -----------------------------------------------------------------------------------------

void Autopilot::take_requests(afcp::StateBlock& b, const Sensors& s, double reference_read_kt, Actions& a) {
    const uint32_t requests = b.armed & (HDG | VS | IAS | CRHT | HHT | HOV_SUB_B | STAB_AX1 | STAB_AX3 | ATT);
    if (requests == 0) return;
    if (has(requests, HDG) && has(b.engaged, HOV)) std::get<law::Hov>(laws_).heading_deg = s.heading_deg;
    if (has(requests, IAS) && !(reference_read_kt >= kIasLowestKt && reference_read_kt <= kIasHighestKt)) {
        // A reference the aircraft should not fly, or none read: the engine flies the present airspeed instead.
        a.set_airspeed = true;
        a.airspeed_kt = std::clamp(std::round(s.airspeed_kt), kIasLowestKt, kIasHighestKt);
    }
    if (has(requests, CRHT)) b.radar_height_reference = std::round(s.radar_height_ft);
    if (has(requests, HHT)) b.hover_height_reference = std::round(s.radar_height_ft);
    if (has(requests, ATT) && !has(b.engaged, HOV)) {
        // Beep trim: a step of the attitudes held, forward (nose down) and right +.
        law::Stab& att = std::get<law::Stab>(laws_);
        if (std::fabs(b.fore_aft_input) <= kLargestBeep + 1e-9) {
            att.attitude_deg[kPitch] -= b.fore_aft_input * kBeepDegreesPerUnit;
            b.fore_aft_input = 0;
        }
        if (std::fabs(b.lateral_input) <= kLargestBeep + 1e-9) {
            att.attitude_deg[kRoll] += b.lateral_input * kBeepDegreesPerUnit;
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
           std::fabs(s.vertical_speed_fpm - kGoAroundClimbFpm) < 1 &&
           std::fabs(s.autopilot_airspeed_kt - kGoAroundAirspeedKt) < 0.5;
}

// ---- 3. the captures -----------------------------------------------------------------------------------------

namespace {
// How far from a height a capture starts: what the climb (ft/min) covers in the capture lead, never less than the
// band (the altitude acquire, and the level-off at the decision height).
double capture_lead_ft(double climb_fpm) {
    return std::max(kAltitudeCaptureBandFt, std::fabs(climb_fpm) / 60.0 * kAltitudeCaptureLead);
}
}  // namespace

void Autopilot::capture(afcp::StateBlock& b, const Sensors& s, bool go_around, Actions& a, Context& c) {
    // Altitude acquire: flying toward the selected altitude, inside the distance the climb covers in the capture
    // lead (never less than the band), or across it since the last step. Level inside the band is no capture:
    // ALT.A pressed selects the present altitude, and the pilot then sets the one wanted.
    law::Alt& alt = std::get<law::Alt>(laws_);
    if (has(b.armed, ALT)) {
        const double error = s.selected_altitude_ft - s.altitude_ft;
        const bool toward = error * s.climb_fpm > 0 && std::fabs(s.climb_fpm) >= kAltitudeCaptureLeastClimbFpm;
        const double lead = capture_lead_ft(s.climb_fpm);
        const bool crossed = alt.last_error_ft * error < 0 && std::fabs(s.climb_fpm) >= kAltitudeCaptureLeastClimbFpm;
        if ((toward && std::fabs(error) <= lead) || crossed) {
            b.altitude_reference = s.selected_altitude_ft;
            capture_mode(b, ALT);
        }
        alt.last_error_ft = has(b.armed, ALT) ? error : 0.0;
    } else {
        alt.last_error_ft = 0;
    }
    const uint32_t flags = static_cast<uint32_t>(s.receiver_flags);
    if (has(b.armed, LOC) && has(flags, aircraft_link::receiver::localizer) &&
        std::fabs(s.localizer_dots) <= kLocalizerCaptureDots)
        capture_mode(b, LOC);
    if (has(b.armed, VOR) && s.vor_nm > kVorLeastDistanceNm && std::fabs(s.vor_dots) <= kVorCaptureDots)
        capture_mode(b, VOR);
    if (has(b.armed, GS) && has(b.engaged, LOC) && has(flags, aircraft_link::receiver::glide_slope) &&
        std::fabs(s.glide_slope_dots) <= kGlideSlopeCaptureDots)
        capture_mode(b, GS);
    if (has(b.armed, TDN) && !has(b.engaged, HOV) && s.airspeed_kt > kTransitionDownLowestKt) capture_mode(b, TDN);
    if (go_around) {
        capture_mode(b, GA);
        std::get<law::Ga>(laws_).start(c);  // a new go-around from one flown already too
    }
    // The coupled glide slope ends at the decision height: ALT levels off there, started as the altitude acquire
    // starts, inside the lead of the present descent.
    if (has(b.engaged, GS)) {
        const double above = s.radar_height_ft - kDecisionHeightFt;
        if (above <= capture_lead_ft(std::min(s.climb_fpm, 0.0))) {
            b.altitude_reference = s.altitude_ft - above;
            b.engaged = (b.engaged & ~masks::vertical_group) | ALT;
        }
    }
    // A transition down ends in the hover, as the panel's HOV makes it.
    if (has(b.engaged, TDN) && s.ground_speed_kt < kHoverEntryKt &&
        std::fabs(s.radar_height_ft - hover_height(b)) < kHoverEntryBandFt)
        a.command = "HOV";
}

void Autopilot::start_modes(uint32_t started, Context& c) {
    each_row(laws_, [&](size_t, auto& law) {
        if (has(started, law.row.bit)) law.start(c);
    });
}

void Autopilot::pilot_hands(const Sensors& s, double dt) {
    law::Stab& stab = std::get<law::Stab>(laws_);
    for (int i = kPitch; i < kAxes; ++i) {
        // The cyclic's force-trim release held counts as a hand on the pitch and the roll.
        const bool released = s.force_trim_release && (i == kPitch || i == kRoll);
        const bool moved = released || std::fabs(s.pilot[i] - last_pilot_[i]) > kPilotMoveThreshold;
        stab.sync_s[i] = moved ? kPilotSyncSeconds + dt : std::max(0.0, stab.sync_s[i] - dt);
        last_pilot_[i] = s.pilot[i];
    }
}

// ---- 4. each axis: the highest-priority engaged law --------------------------------------------------------------

int Autopilot::owner_of(Axis a, uint32_t engaged) const {
    int owner = -1, best = 0;
    for (size_t i = 0; i < kModeRows.size(); ++i)
        if (has(engaged, kModeRows[i].bit) && kModeRows[i].priority[a] > best) {
            best = kModeRows[i].priority[a];
            owner = static_cast<int>(i);
        }
    return owner;
}

void Autopilot::take(int row, Axis a, Context& c, double present) {
    each_row(laws_, [&](size_t i, auto& law) {
        if (static_cast<int>(i) == row) law.take(a, c, present);
    });
}

Command Autopilot::target(int row, Axis a, Context& c) {
    Command command;
    each_row(laws_, [&](size_t i, auto& law) {
        if (static_cast<int>(i) == row) command = law.target(a, c);
    });
    return command;
}

// ---- 5. the inner loops, behind the envelope -----------------------------------------------------------------------

void Autopilot::fly_attitude(Axis a, Context& c) {
    const Sensors& s = c.s;
    AxisLoop& x = axis_[a];
    const ModeRow& row = kModeRows[static_cast<size_t>(x.owner)];
    const bool pitch = a == kPitch;
    const double measured = pitch ? s.pitch_deg : s.bank_deg;
    const double rate = pitch ? s.pitch_rate_dps : s.roll_rate_dps;
    const double wanted = target(x.owner, a, c).value;
    x.at = Limit::none;
    const double before = x.reference;
    if (row.bit == STAB) {
        x.reference = wanted;  // the pilot's attitude, as left
        x.limit = 0;
    } else {
        // The envelope: the row's attitude limit, the slow-flight pitch limit, and a bounded rate.
        double bound = pitch ? row.pitch_limit_deg() : row.bank_limit_deg();
        if (pitch && s.airspeed_kt < kSlowFlightKt) bound = std::min(bound, kPitchLimitSlowDeg);
        bound -= kAttitudeOvershootDeg;
        if (std::fabs(wanted) >= bound - 1e-9) x.at = pitch ? Limit::pitch : Limit::bank;
        const double rate_limit = row.hover ? kHoverReferenceRate : pitch ? kPitchReferenceRate : kRollReferenceRate;
        x.reference =
            std::clamp(move_toward(x.reference, std::clamp(wanted, -bound, bound), rate_limit * c.dt), -bound, bound);
        x.limit = bound;
    }
    Pid& attitude = pitch ? pitch_attitude_ : roll_attitude_;
    Pid& rate_loop = pitch ? pitch_rate_ : roll_rate_;
    const Range r = room(a, s.pilot[a]);
    // The rate command: the attitude loop's, and the rate at which an upper mode moves the attitude (fed forward,
    // so that the attitude follows a moving command without lagging it and overshooting where it stops).
    const double moving = row.bit == STAB || c.dt <= 0 ? 0.0 : (x.reference - before) / c.dt;
    const double command = attitude.update(x.reference - measured, 0, c.dt, kNoRange, stops(x.share, r)) + moving;
    x.share = rate_loop.update(command - rate, 0, c.dt, r);
}

void Autopilot::fly_pedals(Context& c) {
    const Sensors& s = c.s;
    AxisLoop& x = axis_[kPedals];
    const Command wanted = target(x.owner, kPedals, c);
    const Range r = room(kPedals, s.pilot[kPedals]);
    const Stops stop = stops(x.share, r);
    x.at = Limit::none;
    x.limit = 0;
    if (wanted.coordinate) {
        // The turn rate of a coordinated turn at this bank and airspeed, and the sideslip flown out.
        const double turn_dps = kGravityFps2 * std::tan(s.bank_deg * kRadiansPerDegree) /
                                std::max(s.airspeed_kt * kFeetPerSecondPerKnot, 1.0) / kRadiansPerDegree;
        if (!coordinating_) sideslip_.hand_over(yaw_rate_command_ - turn_dps, s.sideslip_deg, 0);
        yaw_rate_command_ = turn_dps + sideslip_.update(s.sideslip_deg, 0, c.dt, kNoRange, stop);
        x.reference = s.heading_deg;
    } else {
        const double error = wrap_180(wanted.value - s.heading_deg);
        if (coordinating_) heading_hold_.hand_over(yaw_rate_command_, error, 0);
        yaw_rate_command_ = heading_hold_.update(error, 0, c.dt, kNoRange, stop);
        x.reference = wanted.value;
    }
    coordinating_ = wanted.coordinate;
    x.share = yaw_rate_.update(yaw_rate_command_ - s.yaw_rate_dps, 0, c.dt, r);
}

void Autopilot::fly_collective(Context& c) {
    const Sensors& s = c.s;
    AxisLoop& x = axis_[kCollective];
    const ModeRow& row = kModeRows[static_cast<size_t>(x.owner)];
    double wanted = target(x.owner, kCollective, c).value;
    x.at = Limit::none;
    if (std::fabs(wanted) >= row.climb_limit_fpm - 1e-9) x.at = Limit::climb;
    wanted = std::clamp(wanted, -row.climb_limit_fpm, row.climb_limit_fpm);
    // The ground: a descent is braked toward the least hover height at a bounded vertical deceleration.
    const double above_floor = std::max(0.0, s.radar_height_ft - kLeastHoverHeightFt);
    const double lowest = std::max(-row.climb_limit_fpm, -std::sqrt(2 * kGroundBrakingFps2 * above_floor) * 60.0);
    wanted = std::max(wanted, lowest);
    // At a bounded rate, and inside the envelope at every step (a command taken from an aircraft climbing or
    // sinking beyond the limit starts at the limit).
    x.reference = std::clamp(move_toward(x.reference, wanted, kClimbCommandRate * c.dt), lowest, row.climb_limit_fpm);
    x.limit = row.climb_limit_fpm;
    double error = x.reference - s.climb_fpm;
    const Range r = room(kCollective, s.pilot[kCollective]);
    Stops stop = stops(x.share, r);
    // The power limit: the transmission's, or what the running engines have where that is less (0: no reading).
    const double power_limit =
        s.power_available_hp > 0 ? std::min(kPowerLimitHp, s.power_available_hp) : kPowerLimitHp;
    // At it while the shaft takes more than the limit, or while the rotor droops (the engines at their power
    // available cannot hold it); left only once both are clear of it by a band, so that a mode flying at the
    // limit stays at it rather than leaving and meeting it again each step.
    const double excess_hp = s.rotor_power_hp - power_limit;
    const bool near_limit = excess_hp > -kDroopNearLimitHp;  // a droop far from it is the governor's own lag
    const double droop = s.rotor_speed_pct > 0 && near_limit ? kRotorDroopPercent - s.rotor_speed_pct : -kRotorDroopPercent;
    power_limited_ = power_limited_ ? excess_hp > -kPowerLimitBandHp || droop > -kRotorDroopBandPercent
                                    : excess_hp > 0 || droop > 0;
    if (power_limited_) {
        // At the power limit: no more climb, and a descent by what the power short costs.
        error = std::min(error, -(std::max(excess_hp, 0.0) * kClimbFpmPerHp + std::max(droop, 0.0) * kDroopClimbFpmPerPercent));
        stop.high = true;
        x.at = Limit::power;
    }
    x.share = climb_.update(error, 0, c.dt, r, stop);
}

// ---- 6. the outputs ----------------------------------------------------------------------------------------------

void Autopilot::output(const Sensors& s, const bool held[kAxes], Actions& a) {
    for (int i = 0; i < kAxes; ++i) {
        AxisLoop& x = axis_[i];
        if (x.held != held[i]) {
            // Let go, or taken afresh: the axis's loops start from nothing.
            if (x.held) a.release |= 1u << i;
            x.share = 0;
            if (i == kCollective) climb_.reset(), power_limited_ = false;
            if (i == kPitch) pitch_attitude_.reset(), pitch_rate_.reset();
            if (i == kRoll) roll_attitude_.reset(), roll_rate_.reset();
            if (i == kPedals) heading_hold_.reset(), sideslip_.reset(), yaw_rate_.reset(), yaw_rate_command_ = 0;
        }
        if (!held[i]) {
            // Not held: the command follows the aircraft, so that taking the axis moves nothing.
            x.owner = -1;
            x.at = Limit::none;
            x.at_s = 0;
            x.share = 0;
            x.reference = i == kPedals  ? s.heading_deg
                          : i == kPitch ? s.pitch_deg
                          : i == kRoll  ? s.bank_deg
                                        : s.climb_fpm;
        }
        x.held = held[i];
        a.held[i] = held[i];
        a.share[i] = held[i] ? x.share : 0.0;
    }
}

Actions Autopilot::step(afcp::StateBlock& b, const Sensors& reading, double dt) {
    Actions a{};
    // 1. The sensors: a reading that is not a finite number is taken as its last finite value (0 if none was), so
    // that nothing but numbers reaches the references, the integrators and the shares.
    const Sensors s = finite(reading);
    if (!started_ || s.placements != placements_) place(b, s);
    Context c{b, s, dt};
    const bool stab = has(b.engaged, STAB);
    if (stab) {
        const bool go_around = go_around_commanded(b, s);
        take_requests(b, s, reading.autopilot_airspeed_kt, a);  // 2. the requests
        capture(b, s, go_around, a, c);                         // 3. the captures
    }
    start_modes(b.engaged & ~last_engaged_, c);
    pilot_hands(s, dt);

    // The rotor: with both engines out or the rotor speed low the collective is the pilot's (released below).
    rotor_low_ = rotor_low_ ? !rotor_recovered(s) : rotor_low(s);
    if (!stab) rotor_released_ = 0;

    // 4. and 5. Each axis: the highest-priority engaged law, then the inner loops.
    bool held[kAxes] = {};
    for (int i = 0; i < kAxes && stab; ++i) {
        const Axis ax = static_cast<Axis>(i);
        AxisLoop& x = axis_[i];
        const int owner = owner_of(ax, b.engaged);
        if (ax == kCollective) {
            // A collective mode that let go for the rotor stays let go when the power returns, until the pilot
            // engages a collective mode anew (a practice autorotation recovered low must not climb back to the
            // old altitude by itself): the latch goes with the mode that set it.
            const uint32_t bit = owner < 0 ? 0u : kModeRows[static_cast<size_t>(owner)].bit;
            if (bit != rotor_released_) rotor_released_ = 0;
            if (bit != 0 && rotor_low_) rotor_released_ = bit;
            if (rotor_released_ != 0) continue;
        }
        if (owner < 0) continue;
        held[i] = true;
        if (owner != x.owner) {  // (an axis not held has no owner)
            Context taking{b, s, dt, x.held ? kModeRows[static_cast<size_t>(x.owner)].bit : 0u};
            take(owner, ax, taking, x.reference);
            x.owner = owner;
        }
        const Limit before = x.at;
        if (ax == kCollective)
            fly_collective(c);
        else if (ax == kPedals)
            fly_pedals(c);
        else
            fly_attitude(ax, c);
        // An upper mode that drives its control to a stop cannot hold either.
        const uint32_t bit = kModeRows[static_cast<size_t>(owner)].bit;
        const Stops stop = stops(x.share, room(ax, s.pilot[i]));
        if (x.at == Limit::none && bit != STAB && (stop.high || stop.low)) x.at = Limit::travel;
        x.at_s = x.at == Limit::none ? 0.0 : x.at == before ? x.at_s + dt : dt;
    }
    output(s, held, a);  // 6.
    last_engaged_ = b.engaged;
    return a;
}

// ---- what the engine tells -----------------------------------------------------------------------------------------

bool Autopilot::rotor_low(const Sensors& s) {
    const bool reading = s.rotor_speed_pct > 0;  // 0: the simulator does not give the rotor's speed
    return s.engines_out >= aircraft_link::kEngineCount || (reading && s.rotor_speed_pct < kRotorLowPercent);
}

bool Autopilot::rotor_recovered(const Sensors& s) {
    return s.engines_out < aircraft_link::kEngineCount && !(s.rotor_speed_pct > 0 && s.rotor_speed_pct < kRotorRecoveredPercent);
}

Caution Autopilot::caution() const {
    // A collective mode that has given the collective back for the rotor says so at once.
    if (rotor_released_ != 0) return {rotor_released_, Limit::rotor};
    for (const AxisLoop& x : axis_)
        if (x.held && x.at != Limit::none && x.at_s > kCautionAfterSeconds)
            return {kModeRows[static_cast<size_t>(x.owner)].bit, x.at};
    return {0, Limit::none};
}

AxisState Autopilot::axis(Axis a) const {
    const AxisLoop& x = axis_[a];
    if (!x.held) return {0, 0, 0};
    return {kModeRows[static_cast<size_t>(x.owner)].bit, x.reference, x.limit};
}

bool Autopilot::integrals_inside_limits() const {
    int outside = 0;
    const auto count = [&outside](const Pid& p) { outside += static_cast<int>(!p.integral_inside_limit()); };
    for (const Pid* p : {&pitch_attitude_, &pitch_rate_, &roll_attitude_, &roll_rate_, &heading_hold_, &sideslip_,
                         &yaw_rate_, &climb_})
        count(*p);
    std::apply([&](const auto&... law) { (law.each_loop(count), ...); }, laws_);
    return outside == 0;
}

}  // namespace autopilot
