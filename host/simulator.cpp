// The simulator's variable store (what the panel and the engine read and set, the pilot's controls, each
// variable's extent over a flight) and the flight that fills it from the flight model and the navigation world.
// The placement of the aircraft is in host/placement.cpp, the key events in host/events.cpp.
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
namespace air = aircraft_link::token;

namespace {

using flight::units::kFeetPerMetre;
using flight::units::kFeetPerSecondPerKnot;


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

double& Simulator::pilot_slot(int axis) { return slot(kPilotTokens[axis]); }

void Simulator::read(afcp::ModuleVariable& variable) const {
    const double value = get(variable.token);
    if (variable.token == tok::nav_receiver_flags) {
        const int64_t flags = afcp::to_int32(value);
        std::memcpy(&variable.value, &flags, sizeof flags);
    } else {
        variable.value = value;
    }
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

void Simulator::fail_engine(int engine) {
    for (int i = 0; i < 2; ++i)
        if (engine == 0 || engine == i + 1) {
            engine_failed_[static_cast<size_t>(i)] = true;
            if (helicopter_) helicopter_->fail_engine(i);
        }
    slot(air::engines_out) = engines_out();
    if (flying_) refresh();
}

void Simulator::restore_engines() {
    engine_failed_ = {};
    if (helicopter_) helicopter_->restore_engines();
    slot(air::engines_out) = 0;
    if (flying_) refresh();
}

int Simulator::engines_out() const {
    return static_cast<int>(std::count(engine_failed_.begin(), engine_failed_.end(), true));
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
    slot(air::rotor_speed) = o.rotor_speed_percent;
    slot(host_core::flight_token::engine_1_torque) = o.engine_torque_percent[0];
    slot(host_core::flight_token::engine_2_torque) = o.engine_torque_percent[1];
    slot(air::engines_out) = engines_out();
    slot(air::power_available) = o.power_available_hp;
    slot(host_core::flight_token::power_cautions) = o.cautions;
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
        receivers_.receive(s.position_ned().x(), s.position_ned().y(), o.altitude_ft, get(tok::selected_course));
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
    extent_sources_.clear();
    for (const Variable& v : variables()) {
        const double value = get(v.token);
        extents_.push_back({value, value, value, value});
        extent_sources_.push_back({&slot(v.token), v.circular});  // every variable has its slot from the start
    }
}

void Simulator::record_extents() {
    for (size_t i = 0; i < extents_.size(); ++i) {
        Extent& e = extents_[i];
        double value = *extent_sources_[i].value;
        if (extent_sources_[i].circular) value = e.last + wrap_180(value - e.last);  // unwrapped
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

}  // namespace host_core
