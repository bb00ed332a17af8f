// The step's arithmetic pinned to the last bit: flights through turbulence, an engine failure, a landing and a
// crash, hashed over every state and every instrument reading, against the figures the model gave before its
// step was made cheaper. A change that moves a single rounding anywhere in the step (an evaluation reused where it
// must be made anew, a term cached across a change, a stage fed the wrong attitude) changes the hash; a change of
// the model itself changes it too, and the figures below are then recorded anew with the model's change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "flight/helicopter.h"
#include "flight/trim.h"

namespace flight {
namespace {

struct Hash {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    void add(double v) { bytes(&v, sizeof v); }
    void add(int v) { bytes(&v, sizeof v); }
    void state(const State& s) {
        for (int i = 0; i < State::kSize; ++i) add(s.x[i]);
    }
    void outputs(const Outputs& o) {
        for (double v : {o.airspeed_kt, o.ground_speed_kt, o.altitude_ft, o.radar_height_ft, o.heading_deg,
                         o.pitch_deg, o.bank_deg, o.climb_rate_fpm, o.roll_rate_dps, o.pitch_rate_dps,
                         o.yaw_rate_dps, o.forward_ground_speed_fps, o.right_ground_speed_fps, o.sideslip_deg,
                         o.main_rotor_power_hp, o.tail_rotor_power_hp, o.power_hp, o.torque_percent,
                         o.rotor_speed_percent, o.engine_torque_percent[0], o.engine_torque_percent[1],
                         o.power_available_hp})
            add(v);
        add(o.cautions);
        add((o.on_ground ? 1 : 0) | (o.crashed ? 2 : 0) | (o.engine_running[0] ? 4 : 0) |
            (o.engine_running[1] ? 8 : 0));
        add(static_cast<int>(o.crash_cause));
    }
};

// Cruise at 80 kt in a quartering wind and moderate turbulence, the controls moving every step but for stretches
// held still (where a step starts from the last one's evaluation), a long step split in three, the instruments
// read on two steps of three; one engine fails and runs again.
struct Flight {
    uint64_t states, readings;
};
enum class Reading { never, two_in_three, every_step };
Flight cruise(Reading reading) {
    Environment e;
    e.wind_ned_fps = Eigen::Vector3d(-12, 7, 0);
    TrimTarget t;
    t.airspeed_kt = 80;
    t.altitude_ft = e.ground_elevation_ft + 1500;
    t.heading_deg = 40;
    const TrimResult r = trim(default_parameters(), e, t);
    Helicopter h;
    h.set_state(r.state);
    h.set_turbulence(TurbulenceLevel::moderate, 20240611);
    Hash states, readings;
    for (int i = 0; i < 2400; ++i) {
        Controls c = r.controls;
        if (i % 200 >= 50) {  // 50 steps of 200 held at the trim's
            const double x = 0.01 * i;
            c.collective += 0.02 * std::sin(1.3 * x);
            c.longitudinal += 0.03 * std::sin(0.7 * x + 1);
            c.lateral += 0.03 * std::sin(0.9 * x + 2);
            c.pedals += 0.04 * std::sin(1.1 * x + 3);
        }
        if (i == 900) h.fail_engine(1);
        if (i == 1600) h.restore_engines();
        h.step(c, e, i == 1234 ? 0.05 : 0.01);
        states.state(h.state());
        if (reading == Reading::every_step || (reading == Reading::two_in_three && i % 3 != 0))
            readings.outputs(h.outputs(e));
    }
    return {states.h, readings.h};
}

// A hover set down on its skids with the lever lowered (the gear's stick points), then a touchdown too hard.
uint64_t landings() {
    Environment e;
    TrimTarget t;
    t.still_over_ground = true;
    t.altitude_ft = e.ground_elevation_ft + default_parameters().gear.skids[0].z() + 0.5;
    const TrimResult r = trim(default_parameters(), e, t);
    Hash hash;
    for (const double sink : {2.0, 20.0}) {
        Helicopter h;
        State s = r.state;
        s.position_ned().z() -= 0.4;  // the skids a few inches up
        s.velocity_body().z() = sink;
        h.set_state(s);
        for (int i = 0; i < 500 && !h.crashed(); ++i) {
            Controls c = r.controls;
            c.collective -= 0.0004 * i;
            c.lateral += 0.05 * std::sin(0.05 * i);
            h.step(c, e, 0.01);
            hash.state(h.state());
            hash.outputs(h.outputs(e));
        }
        EXPECT_EQ(h.crash_cause(), sink > 10 ? CrashCause::hard_touchdown : CrashCause::none) << sink;
        EXPECT_TRUE(h.outputs(e).on_ground) << sink;
    }
    return hash.h;
}

TEST(StepDeterminism, FlightsMatchTheRecordedFiguresToTheLastBit) {
    const Flight f = cruise(Reading::two_in_three);
    EXPECT_EQ(f.states, 0x1f317ca5e82a54dcull) << std::hex << f.states;
    EXPECT_EQ(f.readings, 0x9478207879a96585ull) << std::hex << f.readings;
    const uint64_t l = landings();
    EXPECT_EQ(l, 0x2ddfcf7fc74392e5ull) << std::hex << l;
}

TEST(StepDeterminism, ReadingTheInstrumentsChangesNothingOfTheFlight) {
    const uint64_t states = cruise(Reading::two_in_three).states;
    EXPECT_EQ(cruise(Reading::never).states, states);
    EXPECT_EQ(cruise(Reading::every_step).states, states);
}

}  // namespace
}  // namespace flight
