// Our autopilot engine library. It owns the state block (allocated on attach, freed on release), keeps the
// registered command table so that a command can be called by name, and at every simulator step flies what is
// engaged (engine/autopilot.h), reaching the aircraft through the panel services it was given at attach. For
// tests and tools it also counts the calls it receives and offers the controls of zolm_test.h.
#define ZOLM_BUILDING 1
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/aircraft_link.h"
#include "engine/autopilot.h"
#include "engine/gains.h"
#include "engine/zolm_test.h"
#include "frame/services.h"
#include "frame/simulator.h"
#include "frame/units.h"

namespace {

constexpr uint8_t kEngineAreaFill = 0x5A;

struct Engine {
    afcp::StateBlock* block = nullptr;
    const afcp::CommandEntry* table = nullptr;
    int32_t fail_attach = 0;
    ZolmCounts counts = {};
    char parameter[256] = {};
    int32_t parameter_null = 1;
    void* const* services = nullptr;
    char call_on_register[40] = {};  // a command the next registration calls, as an engine may
    autopilot::Autopilot autopilot;
    bool holding = false;  // some axis is held: let go of it when the block goes
};
Engine engine;

uint8_t* guard_area(afcp::StateBlock* block) { return reinterpret_cast<uint8_t*>(block) + sizeof(afcp::StateBlock); }

}  // namespace

namespace {

double read_aircraft(int32_t token) {
    afcp::ModuleVariable variable{};
    variable.token = token;
    afcp::call_out(reinterpret_cast<afcp::ReadVariableService>(engine.services[afcp::service::read_variable]),
                   &variable);
    return variable.value;
}

void send_out(uint32_t event, int32_t parameter) {
    afcp::call_out(reinterpret_cast<afcp::SendEventService>(engine.services[afcp::service::send_event]), event,
                   static_cast<uint32_t>(parameter));
}

autopilot::Sensors read_sensors() {
    namespace tok = afcp::token;
    namespace air = aircraft_link::token;
    autopilot::Sensors s{};
    s.airspeed_kt = read_aircraft(tok::airspeed);
    s.radar_height_ft = read_aircraft(tok::radar_height) * flight::units::kFeetPerMetre;
    s.altitude_ft = read_aircraft(tok::current_altitude);
    s.heading_deg = read_aircraft(air::heading);
    s.pitch_deg = read_aircraft(air::pitch);
    s.bank_deg = read_aircraft(air::bank);
    s.climb_fpm = read_aircraft(air::climb_rate);
    s.ground_speed_kt = read_aircraft(air::ground_speed);
    s.forward_ground_speed_kt = read_aircraft(air::forward_ground_speed);
    s.lateral_ground_speed_kt = read_aircraft(air::lateral_ground_speed);
    s.roll_rate_dps = read_aircraft(air::roll_rate);
    s.pitch_rate_dps = read_aircraft(air::pitch_rate);
    s.yaw_rate_dps = read_aircraft(air::yaw_rate);
    s.sideslip_deg = read_aircraft(air::sideslip);
    s.rotor_power_hp = read_aircraft(air::rotor_power);
    s.rotor_speed_pct = read_aircraft(air::rotor_speed);
    s.engines_out = read_aircraft(air::engines_out);
    s.power_available_hp = read_aircraft(air::power_available);
    s.heading_bug_deg = read_aircraft(tok::heading_bug);
    s.selected_altitude_ft = read_aircraft(tok::autopilot_altitude);
    s.autopilot_airspeed_kt = read_aircraft(tok::autopilot_airspeed) * afcp::units::knots_per_airspeed_read;
    s.vertical_speed_fpm = read_aircraft(tok::vertical_speed);
    s.selected_course_deg = read_aircraft(tok::selected_course);
    s.gps_track_rad = read_aircraft(tok::navigation_track);
    afcp::ModuleVariable flags{};
    flags.token = tok::nav_receiver_flags;
    afcp::call_out(reinterpret_cast<afcp::ReadVariableService>(engine.services[afcp::service::read_variable]), &flags);
    uint8_t flag_byte = 0;
    std::memcpy(&flag_byte, &flags.value, 1);  // the low byte of the value holds the flags
    s.receiver_flags = flag_byte;
    s.localizer_dots = read_aircraft(air::localizer_deviation);
    s.glide_slope_dots = read_aircraft(air::glide_slope_deviation);
    s.threshold_nm = read_aircraft(air::threshold_distance);
    s.vor_dots = read_aircraft(air::vor_deviation);
    s.vor_nm = read_aircraft(air::vor_distance);
    s.pilot[0] = read_aircraft(air::pilot_collective);
    s.pilot[1] = read_aircraft(air::pilot_pitch);
    s.pilot[2] = read_aircraft(air::pilot_roll);
    s.pilot[3] = read_aircraft(air::pilot_pedals);
    s.force_trim_release = read_aircraft(air::force_trim_release) != 0;
    s.placements = read_aircraft(air::placements);
    return s;
}

// Every double the engine sends goes through here: NaN gives 0, anything else is clamped to a 32-bit word.
int32_t word_of(double v) { return afcp::to_int32(v); }

}  // namespace

extern "C" {

afcp::StateBlock* ZOLM_CALL zolm_attach(const char* parameter, void* const* services) {
    ++engine.counts.attach_calls;
    engine.parameter_null = parameter == nullptr;
    engine.parameter[0] = '\0';
    if (parameter != nullptr) std::strncat(engine.parameter, parameter, sizeof engine.parameter - 1);
    engine.services = services;
    if (engine.fail_attach != 0) return nullptr;
    if (engine.block == nullptr) {
        void* memory = std::calloc(1, sizeof(afcp::StateBlock) + zolm_guard_bytes);
        if (memory == nullptr) return nullptr;
        engine.block = static_cast<afcp::StateBlock*>(memory);
        std::memset(engine.block->engine_area, kEngineAreaFill, sizeof engine.block->engine_area);
        std::memset(guard_area(engine.block), zolm_guard_fill, zolm_guard_bytes);
    }
    return engine.block;
}

void ZOLM_CALL zolm_register_commands(const afcp::CommandEntry* table, int32_t count) {
    ++engine.counts.register_calls;
    engine.counts.last_register_count = count;
    engine.table = table;
    if (engine.call_on_register[0] != '\0') {
        char name[sizeof engine.call_on_register];
        std::memcpy(name, engine.call_on_register, sizeof name);
        engine.call_on_register[0] = '\0';
        zolm_test_call(name, 0, 0);
    }
}

void ZOLM_CALL zolm_release() {
    ++engine.counts.release_calls;
    std::free(engine.block);
    engine.block = nullptr;
}

void AFCP_STDCALL zolm_test_fail_attach(int32_t fail) { engine.fail_attach = fail; }

void AFCP_STDCALL zolm_test_call_on_register(const char* name) {
    engine.call_on_register[0] = '\0';
    if (name != nullptr) std::strncat(engine.call_on_register, name, sizeof engine.call_on_register - 1);
}

void AFCP_STDCALL zolm_test_counts(ZolmCounts* counts) { *counts = engine.counts; }

void AFCP_STDCALL zolm_test_reset() {
    std::free(engine.block);
    engine = Engine{};
}

afcp::StateBlock* AFCP_STDCALL zolm_test_block() { return engine.block; }

void AFCP_STDCALL zolm_step(int32_t microseconds) {
    if (engine.services == nullptr) return;
    if (engine.block == nullptr || microseconds <= 0) {
        if (engine.holding) send_out(aircraft_link::event::autopilot_release, aircraft_link::all_axes);
        engine.holding = false;
        return;
    }
    const autopilot::Sensors s = read_sensors();
    const autopilot::Actions a = engine.autopilot.step(*engine.block, s, microseconds * 1e-6);
    if (a.set_airspeed)
        send_out(afcp::event::autopilot_airspeed_set, word_of(a.airspeed_kt * afcp::units::airspeed_sent_per_knot));
    engine.holding = false;
    for (int axis = 0; axis < aircraft_link::axis_count; ++axis) {
        if (!a.held[axis]) continue;
        engine.holding = true;
        send_out(aircraft_link::axis_event(axis), word_of(a.share[axis] * aircraft_link::kControlScale));
    }
    if (a.release != 0) send_out(aircraft_link::event::autopilot_release, static_cast<int32_t>(a.release));
    if (a.command != nullptr) zolm_test_call(a.command, 0, 0);
}

const afcp::CommandEntry* AFCP_STDCALL zolm_test_table() { return engine.table; }

const char* AFCP_STDCALL zolm_test_last_parameter(int32_t* was_null) {
    if (was_null != nullptr) *was_null = engine.parameter_null;
    return engine.parameter;
}

void* const* AFCP_STDCALL zolm_test_last_services() { return engine.services; }

int32_t AFCP_STDCALL zolm_test_call(const char* name, int32_t a, int32_t b) {
    if (engine.table == nullptr) return -1;
    for (int32_t i = 0; i < engine.counts.last_register_count; ++i) {
        const afcp::CommandEntry& entry = engine.table[i];
        if (std::strncmp(entry.name, name, sizeof entry.name) == 0) return entry.handler(a, b);
    }
    return -1;
}

int32_t AFCP_STDCALL zolm_test_guards_intact() {
    if (engine.block == nullptr) return 1;
    for (uint8_t byte : engine.block->engine_area)
        if (byte != kEngineAreaFill) return 0;
    const uint8_t* guard = guard_area(engine.block);
    for (int i = 0; i < zolm_guard_bytes; ++i)
        if (guard[i] != zolm_guard_fill) return 0;
    return 1;
}

uint32_t AFCP_STDCALL zolm_test_capture() {
    if (engine.block == nullptr) return 0;
    return autopilot::capture_armed_targets(*engine.block);
}

void AFCP_STDCALL zolm_caution(ZolmCaution* caution) {
    if (caution == nullptr) return;
    const autopilot::Caution c = engine.autopilot.caution();
    caution->mode = c.mode;
    caution->limit = static_cast<int32_t>(c.limit);
}

void AFCP_STDCALL zolm_test_axes(ZolmAxis* axes) {
    if (axes == nullptr) return;
    for (int i = 0; i < aircraft_link::axis_count; ++i) {
        const autopilot::AxisState a = engine.autopilot.axis(static_cast<aircraft_link::Axis>(i));
        axes[i] = {a.mode, a.command, a.limit};
    }
}

int32_t AFCP_STDCALL zolm_test_integrals_inside() {
    return static_cast<int32_t>(engine.autopilot.integrals_inside_limits());
}

}  // extern "C"
