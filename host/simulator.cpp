#include "host/simulator.h"

#include <charconv>
#include <cstring>

#include "frame/abi.h"
#include "frame/simulator.h"

namespace host_core {

namespace tok = afcp::token;
namespace ev = afcp::event;

const std::vector<NamedVariable>& named_variables() {
    static const std::vector<NamedVariable> variables = {
        {"supply_level", tok::supply_level, "volts; below 10 drops STAB"},
        {"enable_switch", tok::enable_switch, "0 drops STAB"},
        {"airspeed", tok::airspeed, "knots"},
        {"radar_height", tok::radar_height, "metres"},
        {"current_altitude", tok::current_altitude, "feet"},
        {"heading_bug", tok::heading_bug, "degrees"},
        {"autopilot_altitude", tok::autopilot_altitude, "feet"},
        {"autopilot_airspeed", tok::autopilot_airspeed, "1/64 knot"},
        {"vertical_speed", tok::vertical_speed, "feet per minute"},
        {"selected_course", tok::selected_course, "degrees"},
        {"navigation_track", tok::navigation_track, "radians"},
        {"nav_source_flag", tok::nav_source_flag, "0 or not"},
        {"nav_receiver_flags", tok::nav_receiver_flags, "flag byte"},
    };
    return variables;
}

bool find_variable(std::string_view name_or_token, int32_t& token) {
    for (const NamedVariable& v : named_variables())
        if (name_or_token == v.name) {
            token = v.token;
            return true;
        }
    const char* end = name_or_token.data() + name_or_token.size();
    auto [at, error] = std::from_chars(name_or_token.data(), end, token);
    return error == std::errc() && at == end && !name_or_token.empty();
}

Simulator::Simulator() {
    values_[tok::supply_level] = 28.0;
    values_[tok::enable_switch] = 1.0;
}

double Simulator::get(int32_t token) const {
    auto it = values_.find(token);
    return it == values_.end() ? 0.0 : it->second;
}

void Simulator::set(int32_t token, double value) { values_[token] = value; }

void Simulator::read(afcp::ModuleVariable& variable) const {
    const double value = get(variable.token);
    if (variable.token == tok::nav_receiver_flags) {
        const int64_t flags = afcp::to_int32(value);
        std::memcpy(&variable.value, &flags, sizeof flags);
    } else {
        variable.value = value;
    }
}

void Simulator::send(uint32_t event, uint32_t parameter) {
    events_.push_back({event, parameter});
    const double signed_parameter = static_cast<int32_t>(parameter);
    switch (event) {
    case ev::heading_bug_set:
        set(tok::heading_bug, signed_parameter);
        break;
    case ev::autopilot_altitude_set:
        set(tok::autopilot_altitude, signed_parameter);
        break;
    case ev::autopilot_airspeed_set:
        set(tok::autopilot_airspeed, signed_parameter * 0.5);
        break;
    case ev::vertical_speed_up:
        set(tok::vertical_speed, get(tok::vertical_speed) + 100.0);
        break;
    case ev::vertical_speed_down:
        set(tok::vertical_speed, get(tok::vertical_speed) - 100.0);
        break;
    default:
        break;
    }
}

std::string describe_event(const SentEvent& e) {
    const char* name = nullptr;
    switch (e.event) {
    case ev::vertical_speed_up:
        name = "vertical speed up";
        break;
    case ev::vertical_speed_down:
        name = "vertical speed down";
        break;
    case ev::heading_bug_set:
        name = "heading bug set";
        break;
    case ev::autopilot_altitude_set:
        name = "autopilot altitude set";
        break;
    case ev::autopilot_airspeed_set:
        name = "autopilot airspeed set";
        break;
    case ev::first_go_around_preset:
        name = "first go-around preset";
        break;
    case ev::second_go_around_preset:
        name = "second go-around preset";
        break;
    case ev::baro_knob_left:
        name = "BARO knob left";
        break;
    case ev::baro_knob_right:
        name = "BARO knob right";
        break;
    case ev::uplim_knob:
        name = "UPLIM knob";
        break;
    case ev::crs_knob_left:
        name = "CRS knob left";
        break;
    case ev::crs_knob_right:
        name = "CRS knob right";
        break;
    case ev::dh_knob_left:
        name = "DH knob left";
        break;
    case ev::dh_knob_right:
        name = "DH knob right";
        break;
    default:
        break;
    }
    std::string text =
        name != nullptr ? std::string(name) + " (" + std::to_string(e.event) + ")" : "event " + std::to_string(e.event);
    return text + " " + std::to_string(static_cast<int32_t>(e.parameter));
}

}  // namespace host_core
