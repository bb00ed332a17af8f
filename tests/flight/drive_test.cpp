// The drive: the rotor's speed against the engines and the rotors' load, the governor, the freewheels, the
// engines' ratings and their failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/units.h"

namespace flight {
namespace {

using units::kFtLbsPerHp;

TrimResult level(double kt, double altitude_ft = 1500) {
    TrimTarget t;
    t.airspeed_kt = kt;
    t.altitude_ft = altitude_ft;
    return trim(default_parameters(), Environment{}, t);
}

// A trimmed helicopter flown with its trim's controls.
struct Flying {
    explicit Flying(double kt, double altitude_ft = 1500) : r(level(kt, altitude_ft)) { h.set_state(r.state); }
    void fly(double seconds, const Controls& c) {
        for (int i = 0; i < std::lround(seconds / 0.01); ++i) h.step(c, e, 0.01);
    }
    void fly(double seconds) { fly(seconds, r.controls); }
    Outputs out() const { return h.outputs(e); }
    TrimResult r;
    Helicopter h;
    Environment e;
};

// The trim holds the rotor at its speed, the engines sharing the load alike: nothing changes the rotor's speed.
TEST(Drive, TrimmedTheEnginesShareTheLoadAndTheRotorSpeedIsSteady) {
    const TrimResult r = level(80);
    ASSERT_TRUE(r.converged);
    const Helicopter h;
    const Helicopter::Evaluation ev = h.evaluate(r.state, r.controls, Environment{});
    EXPECT_EQ(r.state.rotor_speed(), 1.0);
    EXPECT_EQ(r.state.engine_power(0), r.state.engine_power(1));
    EXPECT_NEAR(r.state.engine_power(0) + r.state.engine_power(1), ev.power / kFtLbsPerHp, 1e-9);
    EXPECT_NEAR(ev.derivative.rotor_speed(), 0, 1e-12);
    EXPECT_NEAR(ev.derivative.engine_power(0), 0, 1e-9);
}

// A torque step: the engines give 100 hp more than the rotors take; dOmega/dt = dQ / I_R, here
// 100 x 550 / (923 x 40.32^2) = 0.0366 of the nominal speed a second at 100 %, and 1/n times as much at n.
TEST(Drive, ATorqueStepAcceleratesTheRotorAsItsInertiaSays) {
    const TrimResult r = level(60);
    const Helicopter h;
    const Parameters& p = default_parameters();
    const double omega = p.main_rotor.rpm * 2 * units::kPi / 60;
    for (const double n : {1.0, 0.9}) {
        State s = r.state;
        s.rotor_speed() = n;
        const double load = h.evaluate(s, r.controls, Environment{}).power;
        s.engine_power(0) = load / kFtLbsPerHp / 2 + 50;
        s.engine_power(1) = load / kFtLbsPerHp / 2 + 50;
        const double expected = 100 * kFtLbsPerHp / (p.powertrain.rotor_inertia * omega * omega * n);
        EXPECT_NEAR(h.evaluate(s, r.controls, Environment{}).derivative.rotor_speed(), expected, 1e-9) << n;
        EXPECT_NEAR(expected, 0.0366 / n, 0.0005);
    }
}

// One engine fails in the cruise: its power dies away with the engine's lag (a third left after one time
// constant) while the other, asked for the whole load at once, rises with the same lag: the rotor barely moves.
// A step of the load (the collective up) droops the rotor by the engines' lag, and the governor brings it back.
TEST(Drive, TheGovernorHoldsTheRotorWithTheEnginesLag) {
    Flying f(80);
    const double share = f.h.state().engine_power(1);
    f.h.fail_engine(0);
    const double tau = default_parameters().powertrain.engine_time_constant_s;
    double lowest = 1;
    for (int i = 0; i < std::lround(tau / 0.01); ++i) {
        f.fly(0.01);
        lowest = std::min(lowest, f.h.state().rotor_speed());
    }
    EXPECT_NEAR(f.h.state().engine_power(0) / share, std::exp(-1.0), 0.02) << "a first-order lag";
    for (int i = 0; i < 1000; ++i) {
        f.fly(0.01);
        lowest = std::min(lowest, f.h.state().rotor_speed());
    }
    EXPECT_GT(lowest, 0.999);
    EXPECT_NEAR(f.h.state().rotor_speed(), 1.0, 0.002) << "at 100 % after 10 s";
    EXPECT_NEAR(f.h.state().engine_power(1), 2 * share, 3);
    const Outputs o = f.out();
    EXPECT_FALSE(o.engine_running[0]);
    EXPECT_TRUE(o.engine_running[1]);
    EXPECT_NEAR(o.engine_torque_percent[1], 2 * o.torque_percent, 1) << "twice its share";
    EXPECT_EQ(o.power_available_hp, default_parameters().powertrain.engine.one_engine_inoperative_hp);

    Flying g(80);
    Controls up = g.r.controls;
    up.collective += 0.05;
    lowest = 1;
    for (int i = 0; i < 1000; ++i) {
        g.fly(0.01, up);
        lowest = std::min(lowest, g.h.state().rotor_speed());
    }
    EXPECT_LT(lowest, 0.995) << "the engines' lag";
    EXPECT_GT(lowest, 0.95);
    EXPECT_NEAR(g.h.state().rotor_speed(), 1.0, 0.002) << "back at 100 % within 10 s";
}

// With one engine out the other gives at most its one-engine rating, however much the collective asks; with
// both running each gives at most its take-off rating. Past it the rotor droops.
TEST(Drive, EachEngineIsLimitedToItsRating) {
    const EngineRatings& rating = default_parameters().powertrain.engine;
    Flying one(80), two(80);
    one.h.fail_engine(1);
    Controls up = one.r.controls;
    up.collective = 0.8;
    double most_one = 0, most_two = 0;
    for (int i = 0; i < 1500; ++i) {
        one.fly(0.01, up);
        two.fly(0.01, up);
        most_one = std::max(most_one, one.h.state().engine_power(0));
        most_two = std::max({most_two, two.h.state().engine_power(0), two.h.state().engine_power(1)});
    }
    EXPECT_LE(most_one, rating.one_engine_inoperative_hp + 1e-9);
    EXPECT_GT(most_one, rating.one_engine_inoperative_hp - 0.5) << "reached it";
    EXPECT_LE(most_two, rating.take_off_hp + 1e-9);
    EXPECT_LT(one.h.state().engine_power(1), 0.01);
    EXPECT_LE(two.h.state().engine_power(0), rating.take_off_hp + 1e-9);
    EXPECT_NEAR(two.h.state().engine_power(0), two.h.state().engine_power(1), 1e-9);
    EXPECT_LT(one.h.state().rotor_speed(), 0.95);
    EXPECT_NE(one.out().cautions & Outputs::kLowRotor, 0);
    EXPECT_EQ(two.out().power_available_hp, 2 * rating.take_off_hp);
}

// Autorotation: the lever down in a fast descent, the air drives the rotor; the governor idles the engines and
// the freewheels keep them from braking it: no engine gives less than nothing, and the rotor overspeeds freely.
// With both engines failed the same.
TEST(Drive, TheFreewheelNeverLetsAnEngineBrakeTheRotor) {
    for (const bool failed : {false, true}) {
        SCOPED_TRACE(failed);
        Flying f(100, 6000);
        if (failed) f.h.fail_engine(0), f.h.fail_engine(1);
        Controls down = f.r.controls;
        down.collective = 0;
        down.longitudinal = f.r.controls.longitudinal - 0.25;  // nose down: faster, and the rotor driven harder
        double highest = 0, least_power = 1e9;
        for (int i = 0; i < 1000; ++i) {
            f.fly(0.01, down);
            ASSERT_GE(f.h.state().engine_power(0), 0.0) << i;
            ASSERT_GE(f.h.state().engine_power(1), 0.0) << i;
            highest = std::max(highest, f.h.state().rotor_speed());
            if (i > 500) least_power = std::min(least_power, f.h.state().engine_power(0));
        }
        ASSERT_FALSE(f.h.crashed());
        EXPECT_GT(highest, 1.005) << "not held back";
        if (failed) {
            EXPECT_LT(least_power, 0.01);
        }
        EXPECT_LT(f.out().climb_rate_fpm, -1000);
    }
}

// The governor's demand with the air driving the rotor (the load below nothing, the rotor fast) is below
// nothing; the engines are asked for nothing and give nothing through the freewheels, however their power stands.
TEST(Drive, TheGovernorIdlesTheEnginesWhenTheAirDrivesTheRotor) {
    const Helicopter h;
    const Powertrain& drive = h.powertrain();
    const std::array<bool, 2> both = {true, true};
    EXPECT_LT(drive.governor().demand(1.05, -20), 0);
    const auto asked = drive.demands(1.05, -20, both);
    EXPECT_EQ(asked[0], 0.0);
    EXPECT_EQ(asked[1], 0.0);
    State s;
    s.rotor_speed() = 1.05;
    s.engine_power(0) = -30;  // no engine gives this; the freewheel passes nothing of it
    s.engine_power(1) = 0;
    const Powertrain::Result r = drive.evaluate(s, -20 * kFtLbsPerHp, both);
    EXPECT_EQ(r.delivered[0], 0.0);
    EXPECT_EQ(r.delivered_total, 0.0);
    EXPECT_GT(r.d_rotor_speed, 0) << "the air speeds the rotor up, nothing holds it back";
    // Shared alike up to the rating: 1,500 hp asked of two engines gives each its take-off rating.
    const auto full = drive.demands(1.0, 1500, both);
    EXPECT_EQ(full[0], default_parameters().powertrain.engine.take_off_hp);
    EXPECT_EQ(full[1], full[0]);
    EXPECT_EQ(drive.demands(1.0, 1500, {false, false})[0], 0.0);
}

// A placement with an engine failed gives its share to the engine that runs; restored, both share again; a
// rotor speed that is no number is placed at 100 %.
TEST(Drive, FailuresAreKeptThroughPlacementsAndRestored) {
    Flying f(80);
    const double total = f.h.state().engine_power(0) + f.h.state().engine_power(1);
    f.h.fail_engine(2);  // no such engine: nothing fails
    f.h.fail_engine(-1);
    EXPECT_TRUE(f.h.engine_running(0) && f.h.engine_running(1));
    EXPECT_FALSE(f.h.engine_running(2));
    f.h.fail_engine(1);
    EXPECT_TRUE(f.h.engine_running(0));
    EXPECT_FALSE(f.h.engine_running(1));
    f.h.set_state(f.r.state);
    EXPECT_NEAR(f.h.state().engine_power(0), total, 1e-9);
    EXPECT_EQ(f.h.state().engine_power(1), 0.0);
    f.fly(5);
    EXPECT_NEAR(f.h.state().rotor_speed(), 1.0, 0.003) << "placed governed";
    f.h.restore_engines();
    f.fly(10);
    EXPECT_NEAR(f.h.state().engine_power(0), f.h.state().engine_power(1), 2);
    State bad = f.r.state;
    bad.rotor_speed() = std::nan("");
    f.h.set_state(bad);
    EXPECT_EQ(f.h.state().rotor_speed(), 1.0);
}

}  // namespace
}  // namespace flight
