// The simulator's placement of the aircraft: the situations a scenario or the page starts from, a start from the
// variables as set, a place a recorded flight was at, each trimmed by the flight model (flight/trim.h).
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/aircraft_link.h"
#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/units.h"
#include "flight/world.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "host/simulator.h"

namespace host_core {

namespace tok = afcp::token;
namespace air = aircraft_link::token;

namespace {

using flight::units::kFeetPerMetre;

// The situations (what a scenario's `situation` places): the pad at the airport's reference point.
constexpr double kHoverHeightFt = 50;
constexpr double kCruiseAltitudeFt = 2000, kCruiseAirspeedKt = 100, kCruiseHeadingDeg = 360;
constexpr double kApproachDistanceNm = 8, kApproachAltitudeFt = 2500, kApproachAirspeedKt = 100;
// Where the aircraft may be placed: the trim needs a flight the model can hold.
constexpr double kHighestPlacedAirspeedKt = 150;
constexpr double kHighestPlacedAltitudeFt = 15000;

}  // namespace

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

void Simulator::make_helicopter() {
    if (helicopter_) return;
    helicopter_ = std::make_unique<flight::Helicopter>();
    helicopter_->set_turbulence(static_cast<flight::TurbulenceLevel>(turbulence_level_), turbulence_seed_);
    for (int i = 0; i < 2; ++i)
        if (engine_failed_[static_cast<size_t>(i)]) helicopter_->fail_engine(i);
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
    for (int axis = 0; axis < 4; ++axis) pilot_slot(axis) = controls[axis];
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
    slot(tok::autopilot_airspeed) = std::round(airspeed) * afcp::units::airspeed_read_per_knot;
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

}  // namespace host_core
