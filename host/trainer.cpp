#include "host/trainer.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>

#include "engine/aircraft_link.h"
#include "flight/units.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "host/mode_names.h"
#include "host/variables.h"
#include "modes/state_block.h"

namespace host_core {

namespace {

namespace tok = afcp::token;
namespace air = aircraft_link::token;
using namespace afcp::bits;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
// Below this ground speed the track is not shown: it swings with every gust.
constexpr double kLeastTrackSpeedKt = 2.0;

// The modes a pilot selects, as opposed to the axes and marks the engine keeps beside them.
constexpr uint32_t kPilotModes = HDG | LOC | VOR | NAV | VS | ALT | GS | IAS | HOV | CRHT | HHT | TUP | TDN | GA | STAB;
// What the armed word holds besides the engine's requests: the targets it captures.
constexpr uint32_t kArmedModes = afcp::masks::lateral_arms | afcp::masks::vertical_arms | TDN;

double wrap360(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

constexpr const char* kCrashCaptions[] = {"",
                                          "Hard touchdown",
                                          "Too fast on the ground",
                                          "Rolled or pitched over on the ground",
                                          "Main rotor struck the ground",
                                          "Tail rotor struck the ground",
                                          "Airframe struck the ground"};
static_assert(std::size(kCrashCaptions) == flight::kCrashCauses);

}  // namespace

const char* crash_caption(flight::CrashCause cause) {
    const int i = static_cast<int>(cause);
    return i >= 0 && i < flight::kCrashCauses ? kCrashCaptions[i] : "";
}

std::string caution_caption(uint32_t mode, int32_t limit) {
    if (mode == 0) return "";
    // The limit in a pilot's words, by the engine's numbers (zolm_limit_names).
    static const char* const words[] = {"at a limit", "at its pitch limit", "at its bank limit",
                                        "at its climb limit", "at the power limit", "at a control's stop",
                                        "off the collective for the rotor: engage it anew once the power is back"};
    static_assert(std::size(words) == zolm_limit_count, "a word for every limit");
    const int32_t l = limit > 0 && limit < zolm_limit_count ? limit : 0;
    return pilot_modes(mode) + " " + words[l];
}

Reading read_aircraft(const Panel& panel) {
    const Simulator& sim = panel.simulator();
    Reading r{};
    r.time = sim.time();
    r.airspeed = sim.get(tok::airspeed);
    r.altitude = sim.get(tok::current_altitude);
    r.radar_height = sim.get(tok::radar_height) * flight::units::kFeetPerMetre;
    r.heading = wrap360(sim.get(air::heading));
    r.pitch = sim.get(air::pitch);
    r.bank = sim.get(air::bank);
    r.climb_rate = sim.get(air::climb_rate);
    r.ground_speed = sim.get(air::ground_speed);
    const double forward = sim.get(air::forward_ground_speed), lateral = sim.get(air::lateral_ground_speed);
    r.track = r.ground_speed >= kLeastTrackSpeedKt
                  ? wrap360(r.heading + std::atan2(lateral, forward) * flight::units::kDegreesPerRadian)
                  : kNone;
    r.north = sim.get(air::north);
    r.east = sim.get(air::east);
    const int flags = static_cast<int>(sim.get(tok::nav_receiver_flags));
    r.localizer = (flags & aircraft_link::receiver::localizer) != 0 ? sim.get(air::localizer_deviation) : kNone;
    r.glide_slope = (flags & aircraft_link::receiver::glide_slope) != 0 ? sim.get(air::glide_slope_deviation) : kNone;
    r.threshold_distance = sim.get(air::threshold_distance);
    r.torque = sim.get(flight_token::torque);
    r.rotor_speed = sim.get(aircraft_link::token::rotor_speed);
    r.engine_torque[0] = sim.get(flight_token::engine_1_torque);
    r.engine_torque[1] = sim.get(flight_token::engine_2_torque);
    r.engines_out = static_cast<int>(sim.get(aircraft_link::token::engines_out));
    r.power_cautions = static_cast<int>(sim.get(flight_token::power_cautions));
    r.crash_cause = sim.crashed() ? static_cast<int>(sim.get(flight_token::crash_cause)) : 0;
    const ZolmCaution caution = panel.caution();
    r.caution_mode = caution.mode;
    r.caution_limit = caution.limit;

    r.engaged = panel.engaged();
    r.armed = panel.armed();
    const References block = panel.references();
    const uint32_t on = r.engaged;
    r.refs.selected_altitude = sim.get(tok::autopilot_altitude);
    r.refs.heading_bug = wrap360(sim.get(tok::heading_bug));
    r.refs.course = wrap360(sim.get(tok::selected_course));
    r.refs.airspeed = (on & IAS) != 0 ? sim.get(tok::autopilot_airspeed) * afcp::units::knots_per_airspeed_read : kNone;
    r.refs.altitude = (on & ALT) != 0 ? block.altitude : kNone;
    r.refs.vertical_speed = (on & VS) != 0 ? sim.get(tok::vertical_speed) : kNone;
    r.refs.radar_height = (on & CRHT) != 0 ? block.radar_height : (on & (HHT | HOV)) != 0 ? block.hover_height : kNone;
    r.refs.heading = (on & HDG) != 0 ? r.refs.heading_bug : kNone;
    return r;
}

void drop_modes(Panel& panel) {
    if (!panel.attached()) return;  // the commands come with the block
    for (int press = 0; press < 2 && ((panel.engaged() & (kPilotModes | kArmedModes)) != 0 ||
                                      (panel.armed() & kArmedModes) != 0);
         ++press)
        panel.command("STAB");
}

void start_afresh(Panel& panel) {
    drop_modes(panel);
    const Reading r = read_aircraft(panel);
    const bool hovering = r.radar_height >= kOnGroundBelowFt && r.ground_speed < kHoverBelowKt;
    panel.restart_references(0, 0, hovering ? std::round(r.radar_height) : 0);
}

std::string armed_modes(uint32_t word) { return pilot_modes(word & kArmedModes); }

std::string pilot_modes(uint32_t word) {
    std::string text;
    for (const ModeBit& b : mode_bits)
        if ((word & b.bit & kPilotModes) != 0) text += (text.empty() ? "" : " ") + std::string(b.name);
    return text;
}

void Trace::restart() {
    samples_.clear();
    marks_.clear();
    next_sample_ = 0;
    last_time_ = 0;
    started_ = false;
    restarted_ = true;
}

bool Trace::take_restarted() {
    const bool was = restarted_;
    restarted_ = false;
    return was;
}

void Trace::mark(TraceMark::Kind kind, double time, uint32_t bits) {
    if (bits == 0) return;
    if (marks_.size() >= kMostPending) marks_.pop_front();
    marks_.push_back({kind, time, pilot_modes(bits)});
}

void Trace::frame(const Panel& panel) { record(read_aircraft(panel)); }

void Trace::record(const Reading& r) {
    if (started_ && r.time + 1e-9 < last_time_) {  // the aircraft was placed anew: a new flight
        restart();
        restarted_ = true;
    }
    last_time_ = r.time;
    if (r.time + 1e-9 >= next_sample_) {
        if (samples_.size() >= kMostPending) samples_.pop_front();
        samples_.push_back(r);
        // On the period's schedule, so that host frames of another period do not stretch it.
        next_sample_ = std::max(next_sample_ + kSamplePeriod, r.time);
    }
    const uint32_t engaged = r.engaged & kPilotModes, armed = r.armed & kArmedModes & kPilotModes;
    if (started_) {
        const uint32_t came = engaged & ~engaged_;
        const uint32_t captured = came & armed_ & ~armed;  // armed before, engaged now
        mark(TraceMark::captured, r.time, captured);
        mark(TraceMark::engaged, r.time, came & ~captured);
        mark(TraceMark::armed, r.time, armed & ~armed_);
        mark(TraceMark::dropped, r.time, engaged_ & ~engaged);
    }
    engaged_ = engaged;
    armed_ = armed;
    started_ = true;
}

std::string why_nothing_happened(const Panel& panel, const std::string& command, uint32_t engaged_before,
                                 uint32_t armed_before, const ModuleFacts& module) {
    // The mode commands that the engage gate guards, and those that need the first STAB axis where the module
    // says so.
    static const char* const kGated[] = {"ALT", "ALTA", "HDG", "IAS", "VS", "CRHT", "NAV", "APP", "GS"};
    static const char* const kNeedStab[] = {"TDN", "HOV"};
    bool gated = false, needs_stab = false;
    for (const char* name : kGated) gated = gated || command == name;
    for (const char* name : kNeedStab) needs_stab = needs_stab || command == name;
    // Where STAB follows the modes, the module's update takes back a STAB or an arm pressed with no mode on.
    if (module.stab_follows_modes && panel.attached()) {
        const bool mode_on = (panel.engaged() & afcp::masks::mode_bits) != 0 || (panel.armed() & TDN) != 0;
        if (command == "STAB" && !mode_on)
            return "STAB on this panel follows the modes: it is on while a mode is engaged or F/TDN is armed, and "
                   "goes at the next update otherwise. Engage a mode (ALT, HDG, VS, IAS, CR.HT or HT/HOV) instead";
        const uint32_t new_arms = panel.armed() & ~armed_before;
        if (new_arms != 0 && !mode_on)
            return command + " armed " + armed_modes(new_arms) +
                   ", but on this panel an arm lasts only while a mode is engaged: it goes at the next update. "
                   "Engage a mode first (ALT, VS, IAS or HDG)";
        // Taken, and STAB came with it: "press STAB" does not apply here.
        if (panel.engaged() != engaged_before || panel.armed() != armed_before) return "";
    }
    if (!gated && !needs_stab) return "";
    if (!panel.attached())
        return command + " did nothing: the AFCP gauge is not attached to the engine's block yet (it attaches at "
                         "its first update)";
    if (panel.engaged() != engaged_before || panel.armed() != armed_before) {
        // Taken, but flown only under STAB.
        if ((panel.engaged() & STAB) == 0 && (panel.engaged() & ~engaged_before & kPilotModes) != 0)
            return command + " engaged, but the engine flies no mode while STAB is off: press STAB";
        return "";
    }

    if (needs_stab) {
        if (module.tdn_hov_need_stab_ax1 && (engaged_before & STAB_AX1) == 0)
            return command + " did nothing: it needs STAB first (the first STAB axis is not engaged)";
        if (command == "TDN" && (armed_before & afcp::masks::tdn_arm_blockers) != 0)
            return "TDN did nothing: it cannot arm while " + armed_modes(armed_before & afcp::masks::tdn_arm_blockers) +
                   " is armed";
        return "";
    }
    const double airspeed = module.sampled_airspeed, radar = module.sampled_radar_height;
    const bool slow = !(airspeed > afcp::units::gate_airspeed), low = !(radar > afcp::units::gate_radar_height);
    if (!slow && !low) return "";
    // The gate's limits as written (40, 60.96), what was sampled to a tenth.
    auto shown = [](double v, const char* format) {
        char text[32];
        std::snprintf(text, sizeof text, format, v);
        return std::string(text);
    };
    auto limit = [&](double v) { return shown(v, "%g"); };
    auto number = [&](double v) { return shown(v, "%.1f"); };
    std::string why = command + " did nothing: the engage gate needs an airspeed above " +
                      limit(afcp::units::gate_airspeed) + " kt and a radar height above " +
                      limit(afcp::units::gate_radar_height) + " m; ";
    why += "it sampled ";
    if (slow) why += "an airspeed of " + number(airspeed) + " kt";
    if (slow && low) why += " and ";
    if (low) why += "a radar height of " + number(radar) + " m";
    why += " at its last update";
    return why;
}

}  // namespace host_core
