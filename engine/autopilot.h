// The engine's control laws and mode logic: what the engine does with the state block at every simulator step.
//
// How the work is divided (as in a three-cue helicopter AFCS): each axis is flown by the law of the
// highest-priority engaged mode that holds it (the mode table, engine/modes.h), through that axis's inner loops:
//   pitch, roll  cyclic: attitude loop -> rate command -> rate loop -> share (a cascade of engine/pid.h loops);
//   pedals:      heading hold, or turn coordination (sideslip), -> yaw-rate command -> yaw-rate loop -> share;
//   collective:  the climb rate a vertical mode commands -> climb-rate loop -> share, within the power limit.
// Every command passes the envelope first (pitch, bank, climb, the ground) and moves at a bounded rate. The
// engine's share of each control adds to the pilot's. An axis that no engaged mode holds is handed back to the
// pilot's lever (the share moves into it), so letting go moves nothing; with STAB off nothing is held.
#pragma once

#include <cstdint>

#include "engine/modes.h"
#include "engine/pid.h"
#include "engine/sensors.h"
#include "modes/state_block.h"

namespace autopilot {

// What the engine does at a step besides editing the block.
struct Actions {
    bool held[kAxes];  // the axes the engine holds now; their shares follow
    double share[kAxes];
    uint32_t release;     // the axes let go at this step (bits 1 << axis): hand the share to the pilot
    const char* command;  // a panel command to call by name, or null
    bool set_airspeed;    // send the autopilot airspeed as `airspeed_kt`
    double airspeed_kt;
};

// A mode that has sat at one of its limits for more than kCautionAfterSeconds; mode 0 when none.
struct Caution {
    uint32_t mode;
    Limit limit;
};

// What one axis flies now: the mode (0 when the axis is not held or flies the pilot's attitude), the command
// after the envelope (climb ft/min, attitude deg, heading deg) and the limit it was held inside.
struct AxisState {
    uint32_t mode;
    double command;
    double limit;
};

class Autopilot {
public:
    void reset();
    // One step of `dt` seconds. A reading that is not a finite number counts as its last finite value.
    Actions step(afcp::StateBlock& block, const Sensors& s, double dt);
    Caution caution() const;
    AxisState axis(Axis a) const;
    // Every loop's integrator inside its limit.
    bool integrals_inside_limits() const;

private:
    struct AxisLoop {
        int owner = -1;  // the row flying it; -1 exactly while the axis is not held
        bool held = false;
        double reference = 0;  // the command flown after the envelope and the rate limit
        double limit = 0;      // the envelope's bound on it
        double share = 0;
        Limit at = Limit::none;  // the limit the owner sits at, and since when
        double at_s = 0;
    };
    // The pipeline, in its order.
    Sensors finite(const Sensors& reading);
    void place(afcp::StateBlock& b, const Sensors& s);
    void take_requests(afcp::StateBlock& b, const Sensors& s, double reference_read_kt, Actions& a);
    bool go_around_commanded(const afcp::StateBlock& b, const Sensors& s) const;
    void capture(afcp::StateBlock& b, const Sensors& s, bool go_around, Actions& a, Context& c);
    void start_modes(uint32_t started, Context& c);
    void pilot_hands(const Sensors& s, double dt);
    int owner_of(Axis a, uint32_t engaged) const;
    void fly_attitude(Axis a, Context& c);
    void fly_pedals(Context& c);
    void fly_collective(Context& c);
    void output(const Sensors& s, const bool held[kAxes], Actions& a);
    // Both engines out or the rotor speed below kRotorLowPercent; an engine running and the speed back.
    static bool rotor_low(const Sensors& s);
    static bool rotor_recovered(const Sensors& s);

    // The row's law, by index.
    void take(int row, Axis a, Context& c, double present);
    Command target(int row, Axis a, Context& c);

    ModeLaws laws_;
    AxisLoop axis_[kAxes];
    Pid pitch_attitude_{gains::kPitchAttitudeLoop}, pitch_rate_{gains::kPitchRateLoop};
    Pid roll_attitude_{gains::kRollAttitudeLoop}, roll_rate_{gains::kRollRateLoop};
    Pid heading_hold_{gains::kHeadingHoldLoop}, sideslip_{gains::kSideslipLoop}, yaw_rate_{gains::kYawRateLoop};
    Pid climb_{gains::kClimbLoop};
    bool coordinating_ = false;
    double yaw_rate_command_ = 0;
    Sensors last_finite_{};
    bool started_ = false;
    double placements_ = -1;
    double last_pilot_[kAxes] = {};
    uint32_t last_engaged_ = 0;
    bool power_limited_ = false;  // the collective mode flies at the power limit
    bool rotor_low_ = false;   // the collective is the pilot's for the rotor
    uint32_t rotor_released_ = 0;  // the collective mode that let go for the rotor, until it is engaged anew
};

}  // namespace autopilot
