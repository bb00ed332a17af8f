// What the trainer page shows of a flying panel: the aircraft as the instruments read it, with the references of
// the modes that hold them; a trace of the flight for the strip chart (samples and the moments a mode engaged,
// was armed, was captured or dropped); and why a press of a mode button changed nothing.
#pragma once

#include <cstdint>
#include <string>
#include <deque>

#include "flight/helicopter.h"
#include "host/panel.h"

namespace host_core {

// The torque limit the flight model names: its 100 % (flight::Parameters::rated_power_hp) is the transmission's
// take-off rating. It names no continuous limit.
constexpr double kTakeOffTorquePercent = 100;

// A crash's cause in a pilot's words, as a caption ("Hard touchdown"); the flight model's own text
// (flight::crash_cause_text) says what limit was passed.
const char* crash_caption(flight::CrashCause cause);
// The engine's caution as the trainer's caution line reads it ("HOV at its bank limit"); "" for none.
std::string caution_caption(uint32_t mode, int32_t limit);

// The aircraft in the instruments' units (feet, knots, degrees, feet per minute). A reference is NaN while no
// engaged mode holds it; the localizer and glide-slope deviations are NaN while not received.
struct Reading {
    double time;
    double airspeed, altitude, radar_height, heading, track, pitch, bank, climb_rate, ground_speed;
    double north, east, localizer, glide_slope, threshold_distance;
    double torque, rotor_speed;  // percent of the rating, percent of the rotor's nominal speed (the model's)
    double engine_torque[2];     // each engine's, percent of its share (half) of the rating
    int engines_out;             // engines failed: 0, 1 or 2
    int power_cautions;          // flight::Outputs::cautions: 1 low rotor, 2 high rotor, 4 over-torque
    int crash_cause;             // flight::CrashCause: 0 while the flight has not crashed
    uint32_t caution_mode;       // the engine's caution: the mode at a limit (0: none), and the limit
    int32_t caution_limit;
    struct {
        double airspeed, altitude, selected_altitude, vertical_speed, radar_height, heading_bug, course, heading;
    } refs;
    uint32_t engaged, armed;
};
Reading read_aircraft(const Panel& panel);

// Drops every mode as a pilot would: STAB pressed off (pressed on and off again where modes are engaged without
// it), which clears both mode words but for the marks the engine keeps. Nothing to do before the panel has
// registered its commands.
void drop_modes(Panel& panel);
// A fresh start where the aircraft now is, as a new situation gives it: every mode dropped, and the block's heights
// started afresh, as a block the engine has just handed out holds them, but for the hover height of an aircraft
// placed in a hover, which is that hover's own. So a hover flown before leaves nothing behind for the next TDN.
void start_afresh(Panel& panel);

// Mode names for a line of text: the modes a pilot selects ("ALT HDG IAS"), without the axes and marks the
// engine keeps; "" for none.
std::string pilot_modes(uint32_t word);
// The targets an armed word holds ("ALT LOC"), without the requests the engine takes.
std::string armed_modes(uint32_t word);

struct TraceMark {
    enum Kind { engaged, armed, captured, dropped } kind;
    double time;
    std::string modes;
};

// Records the flight at every host frame: a reading each kSamplePeriod simulated seconds, and a mark whenever the
// pilot's modes change. What was recorded is taken (and forgotten) by the page; at most kMostPending of each wait,
// the oldest dropped first, so that a page that never takes cannot grow it without end.
class Trace {
public:
    static constexpr double kSamplePeriod = 0.25;
    static constexpr size_t kMostPending = 2048;

    void frame(const Panel& panel);
    void record(const Reading& reading);
    // Forgets what is pending and starts anew (a new situation); frame() does it by itself when the simulated
    // time goes back (the aircraft placed anew).
    void restart();
    // Whether the trace started anew since the last call: whoever draws it forgets what it drew.
    bool take_restarted();
    std::deque<Reading>& samples() { return samples_; }
    std::deque<TraceMark>& marks() { return marks_; }

private:
    void mark(TraceMark::Kind kind, double time, uint32_t bits);
    std::deque<Reading> samples_;
    std::deque<TraceMark> marks_;
    double next_sample_ = 0, last_time_ = 0;
    bool restarted_ = true;  // a new trace is a new start
    uint32_t engaged_ = 0, armed_ = 0;
    bool started_ = false;
};

// Why a press of the mode command `command` did nothing a pilot would see, from what the host can see: the
// block not attached, the engage gate with the airspeed and radar height it sampled, the first STAB axis missing
// (where the module needs it for TDN and HOV), the modes that keep TDN from arming, or a mode engaged while STAB
// is off, which the engine does not fly; on a module whose STAB follows the modes, a STAB or an arm that lasts
// only until its next update. "" when the press did what it says, or `command` is no mode command.
// `sampled_airspeed` (knots) and `sampled_radar_height` (metres) are what the module sampled at its last update,
// which its engage gate tests; the rules are the module's own (its variant's).
struct ModuleFacts {
    double sampled_airspeed, sampled_radar_height;
    bool tdn_hov_need_stab_ax1;
    bool stab_follows_modes;  // STAB is on only while a mode is engaged or TDN armed, as is any arm
};
std::string why_nothing_happened(const Panel& panel, const std::string& command, uint32_t engaged_before,
                                 uint32_t armed_before, const ModuleFacts& module);

}  // namespace host_core
