// The modes the engine flies, one table: a row per mode with its bit, the axes it holds and its priority on each,
// its capture rule and its limits; beside each row its law (its start state, its target on each axis it holds,
// and the state it keeps). At every step the engine flies each axis by the law of the highest-priority engaged
// mode that holds it (engine/autopilot.cpp). A new mode is its bit (modes/state_block.h), a law type below with
// its row, its place in `ModeLaws`, and its tests; the compiler checks the rest.
#pragma once

#include <array>
#include <cstdint>
#include <tuple>
#include <utility>

#include "engine/aircraft_link.h"
#include "engine/gains.h"
#include "engine/pid.h"
#include "engine/sensors.h"
#include "modes/state_block.h"

namespace autopilot {

using aircraft_link::Axis;
constexpr int kAxes = aircraft_link::axis_count;

// The limits a mode can sit at (the engine's caution names them).
// `travel`: the control the mode drives is at its stop.
// rotor: the collective given back to the pilot for the rotor (both engines out or the rotor speed low).
enum class Limit : int32_t { none = 0, pitch = 1, bank = 2, climb = 3, power = 4, travel = 5, rotor = 6 };
const char* limit_name(Limit limit);  // "none", "pitch", "bank", ..., "travel", "rotor" (zolm_test.h)

// How a mode comes to be engaged.
enum class Capture {
    panel,             // engaged by the panel's command
    altitude_acquire,  // armed ALT: flying toward the selected altitude, inside the climb's lead
    localizer,         // armed LOC: the localizer received, inside kLocalizerCaptureDots
    vor,               // armed VOR: away from the station, inside kVorCaptureDots
    glide_slope,       // armed GS: after the localizer, the glide slope received, inside kGlideSlopeCaptureDots
    transition_down,   // armed TDN: in forward flight above kTransitionDownLowestKt
    go_around,         // the panel's GO_AROUND leaves V/S and IAS with the presets: G/A in place of V/S
};

struct ModeRow {
    const char* name;  // the bit's name
    uint32_t bit;
    std::array<int, kAxes> priority;  // on each axis (collective, pitch, roll, pedals); 0: not held
    bool hover;                       // flies the hover envelope (bank 10 deg, pitch 10 deg)
    double climb_limit_fpm;           // the climb and descent it may command, each way (0: holds no collective)
    Capture capture;
    uint32_t replaces;    // a capture: the engaged bits it takes the place of
    uint32_t armed_with;  // a capture: the armed bits cleared with it
    const char* holds;    // what it holds, in words (the README's table)
    const char* capture_text;

    constexpr bool holds_axis(Axis a) const { return priority[a] > 0; }
    constexpr double bank_limit_deg() const { return hover ? gains::kBankLimitHoverDeg : gains::kBankLimitDeg; }
    constexpr double pitch_limit_deg() const { return hover ? gains::kPitchLimitSlowDeg : gains::kPitchLimitDeg; }
};

// What a law sees at a step.
struct Context {
    afcp::StateBlock& block;
    const Sensors& s;
    double dt;
    uint32_t from = 0;  // in `take`: the bit of the mode that flew the axis until now, 0 for none
};

// A law's command for one axis: collective, the climb rate (ft/min); pitch and roll, the attitude (deg); pedals,
// the heading (deg), or turn coordination (the sideslip held at zero).
struct Command {
    double value = 0;
    bool coordinate = false;
};

// ---- helpers every law shares ----------------------------------------------------------------------------------
double wrap_180(double deg);  // the one angle wrap: -180 <= result < 180
// The ground track, degrees; the heading below kGroundTrackLeastKt.
double ground_track(const Sensors& s);
// The height the hover and the transitions fly: the reference, never below the least hover height (nor NaN).
double hover_height(const afcp::StateBlock& b);

// ---- the laws ----------------------------------------------------------------------------------------------------
// Each has `row`, `start` (it is engaged: its start state), `take` (an axis passes to it: `present` is the
// command flown until now, so that taking over moves nothing), `target`, and `each_loop` (calls its argument with
// every loop the law keeps, for the check that every integrator stays inside its limit).
namespace law {
using namespace afcp::bits;
namespace masks = afcp::masks;
constexpr int kCol = Axis::collective, kPit = Axis::pitch_axis, kRol = Axis::roll_axis, kPed = Axis::pedals_axis;
using P = std::array<int, kAxes>;

// A speed flown on the pitch attitude: a target that moves toward `wanted` at a bounded rate, and a PI loop (too
// fast is nose up).
struct SpeedOnPitch {
    explicit SpeedOnPitch(const PidGains& g) : loop(g) {}
    Pid loop;
    double target_kt = 0;
    void take(double present_pitch, double speed_kt) {
        target_kt = speed_kt;
        loop.hand_over(present_pitch, 0, 0);
    }
    double fly(double speed_kt, double wanted_kt, double rate_kt_s, double limit_deg, double dt);
};

struct Hov {
    static constexpr ModeRow row{"HOV",
                                 HOV,
                                 P{0, 90, 90, 90},
                                 true,
                                 0,
                                 Capture::panel,
                                 0,
                                 0,
                                 "ground speed at the GS gauge's settings; from above hover speeds it slows along the "
                                 "heading at 1.5 kt/s, then holds the point where it came to rest (back to it at 3 kt "
                                 "at most)",
                                 "engaged by the panel, or by the engine at the end of TDN"};
    SpeedOnPitch fore{gains::kHoverSpeedPitchLoop};
    Pid lateral{gains::kHoverSpeedBankLoop};
    Pid position{gains::kHoverPositionLoop};
    double lateral_target_kt = 0;
    double x_ft = 0, y_ft = 0;  // off the point of rest, along and across the heading
    bool at_rest_x = false, at_rest_y = false;
    double heading_deg = 0;
    void start(const Context& c);
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(fore.loop);
        f(lateral);
    }
};

struct Tdn {
    static constexpr ModeRow row{"TDN",
                                 TDN,
                                 P{90, 80, 40, 0},
                                 true,
                                 gains::kTransitionDownMaxDescentFpm,
                                 Capture::transition_down,
                                 0,
                                 0,
                                 "slows along its heading and descends to the hover height together (the descent "
                                 "dies away with the speed, 300 ft/min at most below 20 kt airspeed), the bank "
                                 "stopping any sideways drift",
                                 "armed: above 20 kt; under 5 kt and within 15 ft of the hover height the engine "
                                 "calls the panel's HOV"};
    SpeedOnPitch fore{gains::kSpeedPitchLoop};
    Pid heading_loop{gains::kHeadingBankLoop};
    Pid drift{gains::kHoverSpeedBankLoop};
    double start_kt = 0, start_height_ft = 0, decel_kt_s = 0, heading_deg = 0;
    void start(const Context& c);
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(fore.loop);
        f(heading_loop);
        f(drift);
    }
};

// A climb or an acceleration flown on a heading held from the start: the speed on the pitch, the heading on the
// bank (TUP and G/A).
struct SpeedOnHeading {
    SpeedOnPitch fore{gains::kSpeedPitchLoop};
    Pid heading_loop{gains::kHeadingBankLoop};
    double heading_deg = 0;
    void take(Axis a, const Context& c, double present);
    double bank(const Context& c, double limit_deg);
    template <typename F>
    void each_loop(F&& f) const {
        f(fore.loop);
        f(heading_loop);
    }
};

struct Tup : SpeedOnHeading {
    static constexpr ModeRow row{"TUP",
                                 TUP,
                                 P{80, 70, 30, 0},
                                 true,
                                 gains::kTransitionUpClimbFpm,
                                 Capture::panel,
                                 0,
                                 0,
                                 "accelerates at 1.5 kt/s to 70 kt, climbing at 500 ft/min, on its heading",
                                 "the panel's TDN in the hover"};
    void start(const Context& c);
    Command target(Axis a, const Context& c);
};

struct Ga : SpeedOnHeading {
    static constexpr ModeRow row{"GA",
                                 GA,
                                 P{70, 60, 20, 0},
                                 false,
                                 gains::kVerticalSpeedLimitFpm,
                                 Capture::go_around,
                                 masks::vertical_group,
                                 0,
                                 "the go-around presets (500 ft/min, 75 kt) on the heading it started",
                                 "in place of V/S when the panel's GO_AROUND leaves V/S and IAS with the presets"};
    void start(const Context& c);
    Command target(Axis a, const Context& c);
};

// A law whose one loop turns a height error into the climb it commands (ALT, CRHT, HHT, GS): the loop starts
// afresh when the mode is engaged.
struct HeightLoop {
    explicit HeightLoop(const PidGains& g) : hold(g) {}
    Pid hold;
    void start(const Context&) { hold.reset(); }
    void take(Axis, const Context&, double) {}
    template <typename F>
    void each_loop(F&& f) const {
        f(hold);
    }
};

struct Alt : HeightLoop {
    static constexpr ModeRow row{"ALT",
                                 ALT,
                                 P{60, 0, 0, 0},
                                 false,
                                 gains::kAltitudeHoldLimitFpm,
                                 Capture::altitude_acquire,
                                 masks::vertical_group,
                                 0,
                                 "the altitude reference: climb = error / 5 s",
                                 "armed (ALT.A): flying toward the selected altitude at 100 ft/min or more, within "
                                 "25 ft or 6 s of the climb (or across it); the reference = the selected altitude"};
    Alt() : HeightLoop(gains::kAltitudeHold) {}
    double last_error_ft = 0;  // the altitude acquire's distance at the last step, 0 when none
    Command target(Axis a, const Context& c);
};

struct Vs {
    static constexpr ModeRow row{"VS",
                                 VS,
                                 P{50, 0, 0, 0},
                                 false,
                                 gains::kVerticalSpeedLimitFpm,
                                 Capture::panel,
                                 0,
                                 0,
                                 "the simulator's vertical speed reference",
                                 "engaged by the panel"};
    void start(const Context&) {}
    void take(Axis, const Context&, double) {}
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&&) const {}
};

struct Crht : HeightLoop {
    static constexpr ModeRow row{"CRHT",
                                 CRHT,
                                 P{40, 0, 0, 0},
                                 false,
                                 gains::kRadarHeightLimitFpm,
                                 Capture::panel,
                                 0,
                                 0,
                                 "the radar height reference (taken from the radar height at the request)",
                                 "engaged by the panel"};
    Crht() : HeightLoop(gains::kRadarHeightHold) {}
    Command target(Axis a, const Context& c);
};

struct Hht : HeightLoop {
    static constexpr ModeRow row{"HHT",
                                 HHT,
                                 P{30, 0, 0, 0},
                                 false,
                                 gains::kRadarHeightLimitFpm,
                                 Capture::panel,
                                 0,
                                 0,
                                 "the hover height reference (500 ft/min at most in the hover; never below 10 ft)",
                                 "engaged by the panel"};
    Hht() : HeightLoop(gains::kRadarHeightHold) {}
    Command target(Axis a, const Context& c);
};

struct Gs : HeightLoop {
    static constexpr ModeRow row{"GS",
                                 GS,
                                 P{20, 0, 0, 0},
                                 false,
                                 gains::kVerticalSpeedLimitFpm,
                                 Capture::glide_slope,
                                 masks::vertical_group,
                                 GS_AUX,
                                 "the glide path: the path's descent for the ground speed plus the height off it; at "
                                 "the 200 ft decision height it levels off in ALT",
                                 "armed: within 1/3 dot, after the localizer"};
    Gs() : HeightLoop(gains::kAltitudeHold) {}  // on the height off the path
    Command target(Axis a, const Context& c);
};

struct Ias {
    static constexpr ModeRow row{"IAS",
                                 IAS,
                                 P{0, 50, 0, 0},
                                 false,
                                 0,
                                 Capture::panel,
                                 0,
                                 0,
                                 "the autopilot airspeed, reached at 1.5 kt/s (a reference outside 40 to 160 kt is "
                                 "replaced with the present airspeed)",
                                 "engaged by the panel"};
    SpeedOnPitch fore{gains::kSpeedPitchLoop};
    void start(const Context&) {}
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(fore.loop);
    }
};

// The course modes: the intercept from the distance off the course, then the track.
struct CourseLaw {
    Pid intercept{gains::kInterceptLoop};
    Pid track{gains::kTrackBankLoop};
    void reset() {
        intercept.reset();
        track.reset();
    }
    double bank(double course_deg, double cross_ft, const Sensors& s, double limit_deg, double dt);
};

struct Loc {
    static constexpr ModeRow row{"LOC",
                                 LOC,
                                 P{0, 0, 80, 0},
                                 false,
                                 0,
                                 Capture::localizer,
                                 masks::lateral_group,
                                 LOC_AUX,
                                 "the localizer: intercept 0.02 deg per ft off it (30 deg at most), an "
                                 "integral for the wind",
                                 "armed: within 1.5 dots, the localizer received"};
    CourseLaw course;
    void start(const Context&) { course.reset(); }
    void take(Axis, const Context&, double present) { course.track.hand_over(present, 0, 0); }
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(course.intercept);
        f(course.track);
    }
};

struct Vor {
    static constexpr ModeRow row{"VOR",
                                 VOR,
                                 P{0, 0, 70, 0},
                                 false,
                                 0,
                                 Capture::vor,
                                 masks::lateral_group,
                                 VOR_AUX,
                                 "the selected course through the VOR, as LOC",
                                 "armed: within 1.5 dots, away from "
                                 "the station"};
    CourseLaw course;
    void start(const Context&) { course.reset(); }
    void take(Axis, const Context&, double present) { course.track.hand_over(present, 0, 0); }
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(course.intercept);
        f(course.track);
    }
};

struct Nav {
    static constexpr ModeRow row{
        "NAV", NAV, P{0, 0, 60, 0}, false, 0, Capture::panel, 0, 0, "the GPS's desired track", "engaged by the panel"};
    Pid track{gains::kTrackBankLoop};
    void start(const Context&) { track.reset(); }
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(track);
    }
};

struct Hdg {
    static constexpr ModeRow row{"HDG",
                                 HDG,
                                 P{0, 0, 50, 0},
                                 false,
                                 0,
                                 Capture::panel,
                                 0,
                                 0,
                                 "the heading bug: 1.5 deg of bank per deg, and an integral for the steady error",
                                 "engaged by the panel"};
    Pid bank{gains::kHeadingBankLoop};
    void start(const Context&) { bank.reset(); }
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&& f) const {
        f(bank);
    }
};

// STAB: the attitude the pilot leaves on the cyclic (it follows the aircraft while a stick moves and
// kPilotSyncSeconds after; a lateral mode that lets go leaves the wings level), and on the pedals the turn
// coordinated above kCoordinatedAboveKt, the heading held below.
struct Stab {
    static constexpr ModeRow row{"STAB",
                                 STAB,
                                 P{0, 10, 10, 10},
                                 false,
                                 0,
                                 Capture::panel,
                                 0,
                                 0,
                                 "damps the rates and holds the attitude the pilot leaves (it follows the aircraft "
                                 "while a stick moves and 1 s after); on the pedals, sideslip zero above 40 kt, the "
                                 "heading below",
                                 "engaged by the panel"};
    double attitude_deg[kAxes] = {};  // pitch and roll held
    double sync_s[kAxes] = {};        // the pilot's hand on the pitch, roll and pedals
    double heading_deg = 0;
    void start(const Context&) {}
    void take(Axis a, const Context& c, double present);
    Command target(Axis a, const Context& c);
    template <typename F>
    void each_loop(F&&) const {}
};

// ATT: the beep-trim requests step the attitude STAB holds by 0.5 deg (forward: nose down); it flies no axis of
// its own.
struct Att {
    static constexpr ModeRow row{"ATT",
                                 ATT,
                                 P{0, 0, 0, 0},
                                 false,
                                 0,
                                 Capture::panel,
                                 0,
                                 0,
                                 "a beep-trim step moves the attitude STAB holds 0.5 deg",
                                 "with STAB, every update"};
    void start(const Context&) {}
    void take(Axis, const Context&, double) {}
    Command target(Axis, const Context&) { return {}; }
    template <typename F>
    void each_loop(F&&) const {}
};

}  // namespace law

// The table, in the order the README lists it.
using ModeLaws = std::tuple<law::Hov, law::Tdn, law::Tup, law::Ga, law::Alt, law::Vs, law::Crht, law::Hht, law::Gs,
                            law::Ias, law::Loc, law::Vor, law::Nav, law::Hdg, law::Att, law::Stab>;
constexpr size_t kModeCount = std::tuple_size_v<ModeLaws>;

namespace detail {
template <size_t... I>
constexpr auto rows(std::index_sequence<I...>) {
    return std::array<ModeRow, sizeof...(I)>{std::tuple_element_t<I, ModeLaws>::row...};
}
}  // namespace detail
inline constexpr auto kModeRows = detail::rows(std::make_index_sequence<kModeCount>{});

// The mode bits the engine flies: every mode bit of the block and the STAB and ATT bits, but for the bits that
// only qualify another mode or are spare (they fly nothing of their own).
namespace bits_flown {
using namespace afcp::bits;
constexpr uint32_t qualifiers = LOC_AUX | LAT_SPARE3 | LAT_SPARE4 | VOR_AUX | GS_AUX | HOV_SUB_B | HOV_SUB_A;
constexpr uint32_t all = (afcp::masks::mode_bits | STAB | ATT) & ~qualifiers;
}  // namespace bits_flown

namespace checks {
constexpr bool one_bit(uint32_t x) { return x != 0 && (x & (x - 1)) == 0; }
constexpr bool every_flown_bit_has_one_row() {
    uint32_t seen = 0;
    for (const ModeRow& r : kModeRows) {
        if (!one_bit(r.bit) || (seen & r.bit) != 0) return false;
        seen |= r.bit;
    }
    return seen == bits_flown::all;
}
constexpr bool no_two_rows_share_an_axis_priority() {
    for (size_t i = 0; i < kModeRows.size(); ++i)
        for (size_t j = i + 1; j < kModeRows.size(); ++j)
            for (int a = 0; a < kAxes; ++a)
                if (kModeRows[i].priority[a] > 0 && kModeRows[i].priority[a] == kModeRows[j].priority[a]) return false;
    return true;
}
constexpr bool collective_rows_have_a_climb_limit() {
    for (const ModeRow& r : kModeRows)
        if (r.holds_axis(Axis::collective) != (r.climb_limit_fpm > 0)) return false;
    return true;
}
constexpr bool captured_rows_say_what_they_replace() {
    for (const ModeRow& r : kModeRows)
        if (r.capture == Capture::panel && (r.replaces | r.armed_with) != 0) return false;
    return true;
}
}  // namespace checks
static_assert(checks::every_flown_bit_has_one_row(), "a mode bit the engine flies has no row, or two");
static_assert(checks::no_two_rows_share_an_axis_priority(), "two rows claim one axis at one priority");
static_assert(checks::collective_rows_have_a_climb_limit(), "a row on the collective needs its climb limit");
static_assert(checks::captured_rows_say_what_they_replace(), "only captured modes replace others");

// The row of a mode bit, or null.
const ModeRow* row_of(uint32_t bit);
// The one capture rule, for the engine and the test capture: `bit` moves from `armed` to `engaged`, in place of
// the engaged bits its row replaces, and takes the armed bits that go with it.
void capture_mode(afcp::StateBlock& block, uint32_t bit);
// Every armed target captured at once, in the order ALT, GS, LOC, VOR, TDN: the test capture. Returns the bits.
uint32_t capture_armed_targets(afcp::StateBlock& block);

}  // namespace autopilot
