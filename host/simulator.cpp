#include "host/simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "engine/aircraft_link.h"
#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/units.h"
#include "flight/world.h"
#include "frame/abi.h"
#include "frame/simulator.h"
#include "frame/units.h"

namespace host_core {

namespace tok = afcp::token;
namespace ev = afcp::event;
namespace air = aircraft_link::token;

namespace {

using flight::units::kFeetPerMetre;
using flight::units::kFeetPerSecondPerKnot;
// The autopilot airspeed variable counts 1/64 kt, its set event 1/128 kt.
constexpr double kAutopilotAirspeedUnit = afcp::units::airspeed_read_per_knot;
constexpr double kAirspeedEventUnit = afcp::units::airspeed_sent_per_knot;
constexpr double kVerticalSpeedStep = 100.0;           // ft/min per vertical speed up or down
// The CRS knob turns the selected course a degree a click; the DH knob the decision height 10 ft a click, up to
// 2,500 ft (radio altimeters read to about 2,500 ft).
constexpr double kCourseStepDeg = 1.0;
constexpr double kDecisionHeightStepFt = 10.0;
constexpr double kHighestDecisionHeightFt = 2500.0;

// The situations (what a scenario's `situation` places): the pad at the airport's reference point.
constexpr double kHoverHeightFt = 50;
constexpr double kCruiseAltitudeFt = 2000, kCruiseAirspeedKt = 100, kCruiseHeadingDeg = 360;
constexpr double kApproachDistanceNm = 8, kApproachAltitudeFt = 2500, kApproachAirspeedKt = 100;
// Where the aircraft may be placed: the trim needs a flight the model can hold.
constexpr double kHighestPlacedAirspeedKt = 150;
constexpr double kHighestPlacedAltitudeFt = 15000;

double wrap_180(double deg) { return deg - 360.0 * std::floor((deg + 180.0) / 360.0); }

}  // namespace

namespace {

// The enumerator whose name (in the enumeration's order) is `name`.
template <typename Enum, size_t N>
bool named(const char* const (&names)[N], const std::string& name, Enum& out) {
    for (size_t i = 0; i < N; ++i)
        if (name == names[i]) {
            out = static_cast<Enum>(i);
            return true;
        }
    return false;
}

constexpr const char* kSituationNames[] = {"ground", "hover", "cruise", "approach"};
constexpr const char* kControlNames[] = {"collective", "pitch", "roll", "pedals"};
static_assert(static_cast<int>(Situation::approach) + 1 == std::size(kSituationNames));
static_assert(static_cast<int>(ControlAxis::pedals) + 1 == std::size(kControlNames));

}  // namespace

bool situation_named(const std::string& name, Situation& out) { return named(kSituationNames, name, out); }
bool control_named(const std::string& name, ControlAxis& out) { return named(kControlNames, name, out); }
std::span<const char* const> situation_names() { return kSituationNames; }
std::span<const char* const> control_names() { return kControlNames; }
double control_low(ControlAxis axis) { return axis == ControlAxis::collective ? 0.0 : -1.0; }

namespace {
constexpr int32_t kPilotTokens[4] = {air::pilot_collective, air::pilot_pitch, air::pilot_roll, air::pilot_pedals};
double control_low(int axis) { return control_low(static_cast<ControlAxis>(axis)); }
}  // namespace

Simulator::Simulator() : environment_(std::make_unique<flight::Environment>()) {
    index_.fill(-1);
    for (const Variable& v : variables()) {
        if (v.token >= 0 && v.token < kIndexedTokens) {
            index_[static_cast<size_t>(v.token)] = static_cast<int16_t>(table_.size());
            table_.push_back(v.initial);
        } else {
            others_[v.token] = v.initial;
        }
    }
    environment_->ground_elevation_ft = flight::airport().elevation_ft;
}

Simulator::~Simulator() = default;

double& Simulator::slot(int32_t token) {
    if (token >= 0 && token < kIndexedTokens && index_[static_cast<size_t>(token)] >= 0)
        return table_[static_cast<size_t>(index_[static_cast<size_t>(token)])];
    return others_[token];
}

double Simulator::get(int32_t token) const {
    if (token >= 0 && token < kIndexedTokens && index_[static_cast<size_t>(token)] >= 0)
        return table_[static_cast<size_t>(index_[static_cast<size_t>(token)])];
    auto it = others_.find(token);
    return it == others_.end() ? 0.0 : it->second;
}

void Simulator::set(int32_t token, double value) {
    const Variable* v = variable_of(token);
    if (!flying_ || v == nullptr || v->source == Source::kept || v->source == Source::reference) {
        slot(token) = value;
        return;
    }
    switch (v->source) {
    case Source::aircraft: {
        const flight::State& s = helicopter_->state();
        double airspeed = get(tok::airspeed), altitude = get(tok::current_altitude), heading = get(air::heading);
        if (token == tok::airspeed) airspeed = value;
        if (token == tok::current_altitude) altitude = value;
        if (token == air::heading) heading = value;
        if (token == tok::radar_height)
            altitude += (value - get(tok::radar_height)) * kFeetPerMetre;  // the CG moves as the skids do
        check_placement(airspeed, altitude);
        place_trimmed(airspeed, altitude, heading, s.position_ned().x(), s.position_ned().y(), airspeed < kHoverBelowKt);
        return;
    }
    case Source::pilot:
        for (int axis = 0; axis < 4; ++axis)
            if (kPilotTokens[axis] == token) control(static_cast<ControlAxis>(axis), value);
        return;
    default:
        throw std::runtime_error(std::string("'") + v->name + "' comes from the " +
                                 (v->source == Source::world ? "navigation world" : "flight") +
                                 " while the aircraft flies; set airspeed, current_altitude, radar_height or "
                                 "heading to place the aircraft");
    }
}

void Simulator::check_placement(double airspeed_kt, double altitude_ft) {
    if (!(airspeed_kt >= 0 && airspeed_kt <= kHighestPlacedAirspeedKt))
        throw std::runtime_error("the aircraft is placed at 0 to " + std::to_string(int(kHighestPlacedAirspeedKt)) +
                                 " kt");
    const double elevation = flight::airport().elevation_ft;
    if (!(altitude_ft >= elevation && altitude_ft <= kHighestPlacedAltitudeFt))
        throw std::runtime_error("the aircraft is placed between the ground (" + std::to_string(int(elevation)) +
                                 " ft) and " + std::to_string(int(kHighestPlacedAltitudeFt)) + " ft");
}

void Simulator::place(double airspeed_kt, double altitude_ft, double heading_deg, double north_ft, double east_ft,
                      double radar_height_ft) {
    check_placement(airspeed_kt, altitude_ft);
    if (!std::isfinite(heading_deg) || !std::isfinite(north_ft) || !std::isfinite(east_ft))
        throw std::runtime_error("the aircraft is placed at a finite heading and position");
    const bool still = airspeed_kt < kHoverBelowKt;
    if (still && !(radar_height_ft >= kOnGroundBelowFt))
        place_on_ground(heading_deg, north_ft, east_ft);
    else
        place_trimmed(airspeed_kt, altitude_ft, heading_deg, north_ft, east_ft, still);
}

void Simulator::read(afcp::ModuleVariable& variable) const {
    const double value = get(variable.token);
    if (variable.token == tok::nav_receiver_flags) {
        const int64_t flags = afcp::to_int32(value);
        std::memcpy(&variable.value, &flags, sizeof flags);
    } else {
        variable.value = value;
    }
}

// The key events the simulator knows: each with its name for the logs and what it does to the variables (null:
// only logged). The panel's knobs that turn references the module does not keep send the last six.
const Simulator::EventRow Simulator::kEvents[] = {
    {ev::vertical_speed_up, "vertical speed up",
     [](Simulator& s, double) { s.set(tok::vertical_speed, s.get(tok::vertical_speed) + kVerticalSpeedStep); }},
    {ev::vertical_speed_down, "vertical speed down",
     [](Simulator& s, double) { s.set(tok::vertical_speed, s.get(tok::vertical_speed) - kVerticalSpeedStep); }},
    {ev::heading_bug_set, "heading bug set", [](Simulator& s, double p) { s.set(tok::heading_bug, p); }},
    {ev::autopilot_altitude_set, "autopilot altitude set",
     [](Simulator& s, double p) { s.set(tok::autopilot_altitude, p); }},
    {ev::autopilot_airspeed_set, "autopilot airspeed set",
     [](Simulator& s, double p) { s.set(tok::autopilot_airspeed, p * kAutopilotAirspeedUnit / kAirspeedEventUnit); }},
    // The go-around's vertical speed (ft/min) and airspeed (knots).
    {ev::first_go_around_preset, "first go-around preset",
     [](Simulator& s, double p) { s.set(tok::vertical_speed, p); }},
    {ev::second_go_around_preset, "second go-around preset",
     [](Simulator& s, double p) { s.set(tok::autopilot_airspeed, p * kAutopilotAirspeedUnit); }},
    {ev::baro_knob_left, "BARO knob left", nullptr},
    {ev::baro_knob_right, "BARO knob right", nullptr},
    {ev::uplim_knob, "UPLIM knob", nullptr},
    {ev::crs_knob_left, "CRS knob left", [](Simulator& s, double) { s.turn_course(-kCourseStepDeg); }},
    {ev::crs_knob_right, "CRS knob right", [](Simulator& s, double) { s.turn_course(kCourseStepDeg); }},
    {ev::dh_knob_left, "DH knob left", [](Simulator& s, double) { s.turn_decision_height(-kDecisionHeightStepFt); }},
    {ev::dh_knob_right, "DH knob right", [](Simulator& s, double) { s.turn_decision_height(kDecisionHeightStepFt); }},
};

const Simulator::EventRow* Simulator::event_row(uint32_t event) {
    for (const EventRow& row : kEvents)
        if (row.event == event) return &row;
    return nullptr;
}

void Simulator::turn_course(double degrees) {
    const double course = std::fmod(get(tok::selected_course) + degrees, 360.0);
    set(tok::selected_course, course < 0 ? course + 360.0 : course);
}

void Simulator::turn_decision_height(double feet) {
    set(aircraft_link::token::decision_height,
        std::clamp(get(aircraft_link::token::decision_height) + feet, 0.0, kHighestDecisionHeightFt));
}

void Simulator::send(uint32_t event, uint32_t parameter) {
    const double signed_parameter = static_cast<int32_t>(parameter);
    if (event >= aircraft_link::event::autopilot_collective &&
        event < aircraft_link::event::autopilot_collective + aircraft_link::axis_count) {
        const int axis = static_cast<int>(event - aircraft_link::event::autopilot_collective);
        const double share = signed_parameter / aircraft_link::kControlScale;
        autopilot_share_[static_cast<size_t>(axis)] = std::clamp(share, -1.0, 1.0);
        return;
    }
    if (event == aircraft_link::event::autopilot_release) {
        for (int axis = 0; axis < 4; ++axis) {
            if ((parameter & (1u << axis)) == 0) continue;
            double& pilot = slot(kPilotTokens[axis]);
            pilot = std::clamp(pilot + autopilot_share_[static_cast<size_t>(axis)], control_low(axis), 1.0);
            autopilot_share_[static_cast<size_t>(axis)] = 0;
        }
        return;
    }
    events_.push_back({event, parameter});
    if (const EventRow* row = event_row(event); row != nullptr && row->effect != nullptr) row->effect(*this, signed_parameter);
}

// ---- flight ----

void Simulator::wind(double from_deg, double speed_kt) {
    wind_from_deg_ = from_deg;
    wind_kt_ = speed_kt;
    const double to = (from_deg + 180.0) * flight::units::kRadiansPerDegree;
    const double v = speed_kt * kFeetPerSecondPerKnot;
    environment_->wind_ned_fps = Eigen::Vector3d(v * std::cos(to), v * std::sin(to), 0.0);
    if (flying_) refresh();
}

void Simulator::turbulence(int level, uint64_t seed) {
    turbulence_level_ = std::clamp(level, 0, flight::kTurbulenceLevels - 1);
    turbulence_seed_ = seed;
    if (helicopter_) helicopter_->set_turbulence(static_cast<flight::TurbulenceLevel>(turbulence_level_), seed);
}

bool Simulator::crashed() const { return helicopter_ && helicopter_->crashed(); }

std::string Simulator::crash_description() const {
    if (!crashed()) return "";
    char text[160];
    std::snprintf(text, sizeof text, "crashed: %s (%s) at %.1f s", flight::crash_cause_text(helicopter_->crash_cause()),
                  flight::crash_cause_name(helicopter_->crash_cause()), time_);
    return text;
}

void Simulator::refresh_power_and_ground(const flight::Outputs& o) {
    slot(air::rotor_power) = o.power_hp;
    slot(host_core::flight_token::torque) = o.torque_percent;
    slot(host_core::flight_token::crashed) = o.crashed ? 1 : 0;
    slot(host_core::flight_token::crash_cause) = static_cast<int>(o.crash_cause);
}

void Simulator::control(ControlAxis axis, double value) {
    const int a = static_cast<int>(axis);
    slot(kPilotTokens[a]) = std::clamp(value, control_low(a), 1.0);
}

std::array<double, 4> Simulator::effective_controls() const {
    std::array<double, 4> c{};
    for (int axis = 0; axis < 4; ++axis)
        c[static_cast<size_t>(axis)] = std::clamp(get(kPilotTokens[axis]) + autopilot_share_[static_cast<size_t>(axis)],
                                                  control_low(axis), 1.0);
    return c;
}

void Simulator::make_helicopter() {
    if (helicopter_) return;
    helicopter_ = std::make_unique<flight::Helicopter>();
    helicopter_->set_turbulence(static_cast<flight::TurbulenceLevel>(turbulence_level_), turbulence_seed_);
}

void Simulator::place_trimmed(double airspeed_kt, double altitude_ft, double heading_deg, double north_ft,
                              double east_ft, bool still_over_ground) {
    make_helicopter();
    flight::TrimTarget target;
    target.airspeed_kt = airspeed_kt;
    target.heading_deg = heading_deg;
    target.altitude_ft = altitude_ft;
    target.still_over_ground = still_over_ground;
    target.north_ft = north_ft;
    target.east_ft = east_ft;
    flight::TrimResult trim = flight::trim(flight::default_parameters(), *environment_, target);
    // Never below the ground: a target too low for the aircraft stands it on its skids.
    helicopter_->set_state(trim.state);
    if (helicopter_->outputs(*environment_).radar_height_ft < 0 || !trim.converged) {
        place_on_ground(heading_deg, north_ft, east_ft);
        return;
    }
    take_placement(trim);
}

void Simulator::place_on_ground(double heading_deg, double north_ft, double east_ft) {
    make_helicopter();
    take_placement(flight::on_ground(flight::default_parameters(), *environment_, heading_deg, north_ft, east_ft));
}

void Simulator::take_placement(const flight::TrimResult& placed) {
    helicopter_->set_state(placed.state);
    const double controls[4] = {placed.controls.collective, placed.controls.longitudinal, placed.controls.lateral,
                                placed.controls.pedals};
    for (int axis = 0; axis < 4; ++axis) slot(kPilotTokens[axis]) = controls[axis];
    autopilot_share_ = {};
    flying_ = true;
    time_ = 0;
    ++placements_;
    refresh();
}

void Simulator::situation(Situation s) {
    const flight::World& w = flight::airport();
    double heading = kCruiseHeadingDeg, airspeed = 0, north = 0, east = 0;
    switch (s) {
    case Situation::ground:
        place_on_ground(heading, north, east);
        break;
    case Situation::hover: {
        // Trimmed at the CG altitude that puts the skids at the hover height.
        place_trimmed(0, w.elevation_ft + kHoverHeightFt, heading, north, east, true);
        const double off = kHoverHeightFt - helicopter_->outputs(*environment_).radar_height_ft;
        place_trimmed(0, w.elevation_ft + kHoverHeightFt + off, heading, north, east, true);
        break;
    }
    case Situation::cruise:
        airspeed = kCruiseAirspeedKt;
        place_trimmed(airspeed, kCruiseAltitudeFt, heading, north, east, false);
        break;
    case Situation::approach:
        airspeed = kApproachAirspeedKt;
        heading = w.runway.course_deg;
        flight::on_final(w, kApproachDistanceNm, north, east);
        place_trimmed(airspeed, kApproachAltitudeFt, heading, north, east, false);
        slot(tok::selected_course) = w.runway.course_deg;
        slot(tok::nav_source_flag) = 0;
        break;
    }
    // The references to match: heading bug, autopilot altitude and airspeed, no vertical speed.
    slot(tok::heading_bug) = std::fmod(std::round(get(air::heading)) + 360.0, 360.0);
    slot(tok::autopilot_altitude) = std::round(get(tok::current_altitude));
    slot(tok::autopilot_airspeed) = std::round(airspeed) * kAutopilotAirspeedUnit;
    slot(tok::vertical_speed) = 0;
    refresh();
}

void Simulator::start_flight() {
    if (flying_) return;
    const double elevation = flight::airport().elevation_ft;
    const double airspeed = std::max(0.0, get(tok::airspeed));
    const double radar_ft = std::max(0.0, get(tok::radar_height) * kFeetPerMetre);
    const double set_altitude = get(tok::current_altitude);
    const double heading = get(air::heading);
    const double highest = kHighestPlacedAltitudeFt - elevation;
    // The altitude as set, where it lies above the ground; otherwise the radar height as set.
    const double height = std::min(set_altitude > elevation ? set_altitude - elevation : radar_ft, highest);
    if (height < kOnGroundBelowFt && airspeed < kHoverBelowKt) {
        place_on_ground(heading, 0, 0);
        return;
    }
    place_trimmed(std::min(airspeed, kHighestPlacedAirspeedKt), elevation + height, heading, 0, 0,
                  airspeed < kHoverBelowKt);
}

void Simulator::step() {
    if (!flying_) start_flight();
    const std::array<double, 4> c = effective_controls();
    flight::Controls controls;
    controls.collective = c[0];
    controls.longitudinal = c[1];
    controls.lateral = c[2];
    controls.pedals = c[3];
    helicopter_->step(controls, *environment_, kStepSeconds);
    time_ += kStepSeconds;
    refresh();
    record_extents();
}

void Simulator::refresh() {
    const flight::Outputs o = helicopter_->outputs(*environment_);
    const flight::State& s = helicopter_->state();
    slot(tok::airspeed) = o.airspeed_kt;
    slot(tok::radar_height) = o.radar_height_ft / kFeetPerMetre;
    slot(tok::current_altitude) = o.altitude_ft;
    slot(air::heading) = o.heading_deg;
    slot(air::pitch) = o.pitch_deg;
    slot(air::bank) = o.bank_deg;
    slot(air::climb_rate) = o.climb_rate_fpm;
    slot(air::ground_speed) = o.ground_speed_kt;
    slot(air::forward_ground_speed) = o.forward_ground_speed_fps / kFeetPerSecondPerKnot;
    slot(air::lateral_ground_speed) = o.right_ground_speed_fps / kFeetPerSecondPerKnot;
    slot(air::roll_rate) = o.roll_rate_dps;
    slot(air::pitch_rate) = o.pitch_rate_dps;
    slot(air::yaw_rate) = o.yaw_rate_dps;
    slot(air::sideslip) = o.sideslip_deg;
    refresh_power_and_ground(o);
    slot(air::placements) = placements_;
    slot(air::north) = s.position_ned().x();
    slot(air::east) = s.position_ned().y();

    const flight::World& w = flight::airport();
    const flight::Reception r =
        flight::receive(w, s.position_ned().x(), s.position_ned().y(), o.altitude_ft, get(tok::selected_course));
    slot(tok::nav_receiver_flags) =
        (r.localizer_received ? aircraft_link::receiver::localizer : 0) | (r.glide_slope_received ? aircraft_link::receiver::glide_slope : 0);
    slot(air::localizer_deviation) = r.localizer_dots;
    slot(air::glide_slope_deviation) = r.glide_slope_dots;
    slot(air::localizer_course) = w.runway.course_deg;
    slot(air::threshold_distance) = r.threshold_distance_nm;
    slot(air::vor_deviation) = r.vor_dots;
    slot(air::vor_distance) = r.vor_distance_nm;
    slot(tok::navigation_track) = r.gps_track_rad;
}

void Simulator::begin_extents() {
    extents_.clear();
    for (const Variable& v : variables()) {
        const double value = get(v.token);
        extents_.push_back({value, value, value, value});
    }
}

void Simulator::record_extents() {
    const auto& table = variables();
    for (size_t i = 0; i < extents_.size(); ++i) {
        Extent& e = extents_[i];
        double value = get(table[i].token);
        if (table[i].circular) value = e.last + wrap_180(value - e.last);  // unwrapped
        e.low = std::min(e.low, value);
        e.high = std::max(e.high, value);
        e.last = value;
    }
}

bool Simulator::extent(int32_t token, Extent& out) const {
    const auto& table = variables();
    for (size_t i = 0; i < extents_.size(); ++i)
        if (table[i].token == token) {
            out = extents_[i];
            return true;
        }
    return false;
}

std::string describe_event(const SentEvent& e) {
    const Simulator::EventRow* row = Simulator::event_row(e.event);
    std::string text = row != nullptr ? std::string(row->name) + " (" + std::to_string(e.event) + ")"
                                      : "event " + std::to_string(e.event);
    return text + " " + std::to_string(static_cast<int32_t>(e.parameter));
}

}  // namespace host_core
