// The simulator's key events: one table of the events it knows, each with its name for the logs and what it does
// to the variables, and the engine's control events, which move its share of the controls.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/aircraft_link.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "host/simulator.h"

namespace host_core {

namespace tok = afcp::token;
namespace ev = afcp::event;

namespace {

// The autopilot airspeed variable counts 1/64 kt, its set event 1/128 kt.
constexpr double kAutopilotAirspeedUnit = afcp::units::airspeed_read_per_knot;
constexpr double kAirspeedEventUnit = afcp::units::airspeed_sent_per_knot;
constexpr double kVerticalSpeedStep = 100.0;           // ft/min per vertical speed up or down
// The CRS knob turns the selected course a degree a click; the DH knob the decision height 10 ft a click, up to
// 2,500 ft (radio altimeters read to about 2,500 ft).
constexpr double kCourseStepDeg = 1.0;
constexpr double kDecisionHeightStepFt = 10.0;
constexpr double kHighestDecisionHeightFt = 2500.0;

}  // namespace

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
            double& pilot = pilot_slot(axis);
            pilot = std::clamp(pilot + autopilot_share_[static_cast<size_t>(axis)],
                               control_low(static_cast<ControlAxis>(axis)), 1.0);
            autopilot_share_[static_cast<size_t>(axis)] = 0;
        }
        return;
    }
    events_.push_back({event, parameter});
    if (const EventRow* row = event_row(event); row != nullptr && row->effect != nullptr) row->effect(*this, signed_parameter);
}

std::string describe_event(const SentEvent& e) {
    const Simulator::EventRow* row = Simulator::event_row(e.event);
    std::string text = row != nullptr ? std::string(row->name) + " (" + std::to_string(e.event) + ")"
                                      : "event " + std::to_string(e.event);
    return text + " " + std::to_string(static_cast<int32_t>(e.parameter));
}

}  // namespace host_core
