// Tests of the helicopter flight model and its trim.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "flight/atmosphere.h"
#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/units.h"

namespace flight {
namespace {

constexpr double kDeg = flight::units::kRadiansPerDegree;

const Parameters& P() { return default_parameters(); }

TrimResult level(double kt, double altitude = 1500, const Environment& e = Environment{}, double climb = 0) {
    TrimTarget t;
    t.airspeed_kt = kt;
    t.altitude_ft = altitude;
    t.climb_fpm = climb;
    t.heading_deg = 30;
    return trim(P(), e, t);
}

bool finite(const State& s) {
    return s.x.allFinite();
}

double power_hp(const TrimResult& r, const Environment& e = Environment{}) {
    Helicopter h;
    h.set_state(r.state);
    h.step(r.controls, e, 1e-9);  // records the controls; the state moves by nothing measurable
    return h.outputs(e).power_hp;
}

// ---- Derived rotor figures and the atmosphere -------------------------------------------------------------

TEST(Rotor, DerivedFiguresMatchTheDataSet) {
    const Helicopter h;
    const MainRotor& d = h.main_rotor();
    const double rho0 = isa(0).density;
    EXPECT_NEAR(d.solidity(), 0.078, 0.001);
    EXPECT_NEAR(d.tip_speed(), 726, 1);
    const double disk_loading = P().weight_lb / d.disk_area();
    EXPECT_NEAR(disk_loading, 5.3, 0.05);
    EXPECT_NEAR(std::sqrt(disk_loading / (2 * rho0)), 33, 0.5);  // momentum theory hover inflow
    EXPECT_NEAR(P().weight_lb / (rho0 * d.disk_area() * d.tip_speed() * d.tip_speed()), 0.0042, 0.0001);
    EXPECT_NEAR(d.flap_time_constant(rho0), 0.06, 0.002);
}

TEST(Atmosphere, StandardValuesAndClamps) {
    EXPECT_NEAR(isa(0).density, 0.0023769, 1e-7);
    EXPECT_NEAR(isa(0).temperature, 518.67, 1e-9);
    EXPECT_NEAR(isa(10000).density, 0.0017556, 2e-6);   // ISA table, 10,000 ft
    EXPECT_NEAR(isa(36089).temperature, 389.97, 0.01);
    EXPECT_NEAR(isa(50000).density, 0.0003618, 1e-6);  // ISA table, 50,000 ft (isothermal layer)
    EXPECT_EQ(isa(1e9).density, isa(65000).density);
    EXPECT_EQ(isa(std::nan("")).density, isa(0).density);
}

// ---- Trim -------------------------------------------------------------------------------------------------

void expect_controls_inside(const Controls& c) {
    EXPECT_GT(c.collective, 0.0);
    EXPECT_LT(c.collective, 1.0);
    for (double x : {c.longitudinal, c.lateral, c.pedals}) {
        EXPECT_GT(x, -1.0);
        EXPECT_LT(x, 1.0);
    }
}

TEST(Trim, ConvergesAcrossTheSpeedRangeWithSensibleAttitudes) {
    double previous_pitch = 1e9;
    for (double kt : {0.0, 40.0, 80.0, 120.0}) {
        SCOPED_TRACE(kt);
        const TrimResult r = level(kt);
        ASSERT_TRUE(r.converged) << r.residual;
        expect_controls_inside(r.controls);
        const double pitch = r.state.euler().y() / kDeg, bank = r.state.euler().x() / kDeg;
        EXPECT_LT(pitch, previous_pitch);  // nose lower with speed
        EXPECT_LT(std::abs(bank), 5.0);
        EXPECT_GT(pitch, -8.0);
        previous_pitch = pitch;
        // The trimmed state holds the asked flight: airspeed along the heading, no sideslip, level.
        Helicopter h;
        h.set_state(r.state);
        const Outputs o = h.outputs(Environment{});
        EXPECT_NEAR(o.airspeed_kt, kt, 1e-6);
        EXPECT_NEAR(o.heading_deg, 30, 1e-9);
        EXPECT_NEAR(o.climb_rate_fpm, 0, 1e-6);
        EXPECT_NEAR(o.altitude_ft, 1500, 1e-9);
        if (kt > 0) {
            EXPECT_NEAR(o.sideslip_deg, 0, 0.1);  // roll and pitch together leave a trace
        }
    }
    const double hover_pitch = level(0).state.euler().y() / kDeg;
    EXPECT_GT(hover_pitch, 1.0);
    EXPECT_LT(hover_pitch, 8.0);
}

TEST(Trim, HoverInWindHoldsStillOverTheGroundNoseIntoWind) {
    Environment e;
    e.wind_ned_fps = Eigen::Vector3d(-20 * flight::units::kFeetPerSecondPerKnot, 0, 0);  // 20 kt from the north
    TrimTarget t;
    t.still_over_ground = true;
    t.altitude_ft = 1500;
    t.heading_deg = 0;
    t.north_ft = 100;
    t.east_ft = -50;
    const TrimResult r = trim(P(), e, t);
    ASSERT_TRUE(r.converged) << r.residual;
    expect_controls_inside(r.controls);
    Helicopter h;
    h.set_state(r.state);
    const Outputs o = h.outputs(e);
    EXPECT_NEAR(o.ground_speed_kt, 0, 1e-9);
    EXPECT_NEAR(o.airspeed_kt, 20, 1e-6);
    EXPECT_DOUBLE_EQ(r.state.position_ned().x(), 100);
    EXPECT_DOUBLE_EQ(r.state.position_ned().y(), -50);
    // Headwind: less power than a still-air hover.
    EXPECT_LT(power_hp(r, e), power_hp(level(0)));
}

TEST(Trim, ClimbAt80KnotsTakesMoreCollectiveAndPower) {
    const TrimResult lvl = level(80), climb = level(80, 1500, Environment{}, 1000);
    ASSERT_TRUE(climb.converged) << climb.residual;
    expect_controls_inside(climb.controls);
    Helicopter h;
    h.set_state(climb.state);
    EXPECT_NEAR(h.outputs(Environment{}).climb_rate_fpm, 1000, 1e-6);
    EXPECT_GT(climb.controls.collective, lvl.controls.collective + 0.02);
    // 1000 ft/min lifts 5401 lb by 16.7 ft/s: about 164 hp more.
    EXPECT_NEAR(power_hp(climb) - power_hp(lvl), 164, 40);
}

TEST(Trim, PowerBucket) {
    const double hover = power_hp(level(0)), p60 = power_hp(level(60)), p80 = power_hp(level(80)),
                 p120 = power_hp(level(120));
    EXPECT_GT(hover, p60);
    EXPECT_GT(hover, p80);
    EXPECT_LT(std::min(p60, p80), p120);
    EXPECT_GT(hover, 350);  // induced (~320 hp ideal) plus profile
    EXPECT_LT(hover, 700);
}

TEST(Trim, ReportsFailureOutsideTheEnvelope) {
    const TrimResult r = level(250);  // far beyond what the cyclic can hold
    EXPECT_FALSE(r.converged);
    EXPECT_TRUE(finite(r.state));
}

// Thin air: more blade pitch and more induced power, partly paid back in profile power (cd0 is held constant,
// so the total rises only a little).
TEST(Trim, ThinAirTakesMoreCollectiveAndPower) {
    const TrimResult low = level(0, 1000), high = level(0, 9000);
    ASSERT_TRUE(high.converged);
    EXPECT_GT(high.controls.collective, low.controls.collective + 0.05);
    EXPECT_GT(high.state.inflow_main(), low.state.inflow_main() * 1.1);
    EXPECT_GT(power_hp(high), power_hp(low));
}

// Cheeseman & Bennett's gain: 4/3 at the cap (hub R/2 above the ground), fading with height and with speed.
TEST(GroundEffect, GainCappedNearTheGroundAndFadingWithHeightAndSpeed) {
    const Environment e;
    const Helicopter h;
    auto gain = [&](double hub_height, double speed) {
        State s;
        s.position_ned().z() = -(e.ground_elevation_ft + hub_height + h.main_rotor().hub().z());
        s.velocity_body().x() = speed;
        s.inflow_main() = 33;
        return h.evaluate(s, Controls{0.5, 0, 0, 0}, e).ground_effect;
    };
    const double radius = P().main_rotor.radius_ft;
    EXPECT_NEAR(gain(0.5 * radius, 0), 4.0 / 3.0, 1e-12);
    EXPECT_NEAR(gain(0.1 * radius, 0), 4.0 / 3.0, 1e-12);  // held at the cap below R/2
    EXPECT_NEAR(gain(radius, 0), 1.0 / (1.0 - 1.0 / 16.0), 1e-12);
    EXPECT_LT(gain(4 * radius, 0), 1.005);
    EXPECT_GT(gain(4 * radius, 0), 1.0);
    EXPECT_LT(gain(radius, 100), 1.0 + 0.1 * (gain(radius, 0) - 1.0));  // 100 ft/s: ~3 inflows, gain ~1/10
}

TEST(Trim, HoverInGroundEffectNeedsLessCollective) {
    const double ground = Environment{}.ground_elevation_ft;
    const TrimResult high = level(0, ground + 200), low = level(0, ground + 8);  // skids 3.5 ft up
    ASSERT_TRUE(high.converged);
    ASSERT_TRUE(low.converged);
    EXPECT_LT(low.controls.collective, high.controls.collective - 0.02);
    EXPECT_LT(power_hp(low), power_hp(high));
}

// ---- Flying ------------------------------------------------------------------------------------------------

TEST(Flight, TrimmedStateHoldsForASecondHandsOff) {
    for (double kt : {0.0, 40.0, 80.0, 120.0}) {
        SCOPED_TRACE(kt);
        const TrimResult r = level(kt);
        Helicopter h;
        h.set_state(r.state);
        for (int i = 0; i < 100; ++i) h.step(r.controls, Environment{}, 0.01);
        const State& s = h.state();
        EXPECT_LT((s.velocity_body() - r.state.velocity_body()).norm(), 0.5);
        EXPECT_LT(s.rates_body().norm(), 0.5 * kDeg);
        EXPECT_LT((s.euler() - r.state.euler()).norm(), 0.5 * kDeg);
    }
}

// At cruise the aircraft is close to neutral in pitch: a gust leaves it to the slow phugoid, not to a divergence.
TEST(Flight, CruiseRidesOutAVerticalGust) {
    for (double kt : {80.0, 100.0, 120.0}) {
        SCOPED_TRACE(kt);
        const TrimResult r = level(kt);
        State s = r.state;
        s.velocity_body().z() += 3;  // 3 ft/s updraft
        Helicopter h;
        h.set_state(s);
        double worst = 0;
        for (int i = 0; i < 500; ++i) {
            h.step(r.controls, Environment{}, 0.01);
            worst = std::max(worst, std::abs(h.state().euler().y() - r.state.euler().y()));
        }
        EXPECT_LT(worst, 5 * kDeg);
    }
}

// The autopilot's sign conventions: a small step of each control from hover trim.
TEST(Flight, ControlSignsFromHover) {
    const TrimResult r = level(0);
    auto respond = [&](Controls c) {
        Helicopter h;
        h.set_state(r.state);
        for (int i = 0; i < 50; ++i) h.step(c, Environment{}, 0.01);
        return h.outputs(Environment{});
    };
    Controls c = r.controls;
    c.collective += 0.05;
    EXPECT_GT(respond(c).climb_rate_fpm, 100);
    c = r.controls;
    c.collective -= 0.05;
    EXPECT_LT(respond(c).climb_rate_fpm, -100);
    c = r.controls;
    c.longitudinal += 0.05;
    EXPECT_GT(respond(c).pitch_rate_dps, 1);
    c = r.controls;
    c.longitudinal -= 0.05;
    EXPECT_LT(respond(c).pitch_rate_dps, -1);
    c = r.controls;
    c.lateral += 0.05;
    EXPECT_GT(respond(c).roll_rate_dps, 1);
    c = r.controls;
    c.lateral -= 0.05;
    EXPECT_LT(respond(c).roll_rate_dps, -1);
    c = r.controls;
    c.pedals += 0.05;
    EXPECT_GT(respond(c).yaw_rate_dps, 1);
    c = r.controls;
    c.pedals -= 0.05;
    EXPECT_LT(respond(c).yaw_rate_dps, -1);
}

TEST(Flight, ControlsAreClampedAndNaNReadsZero) {
    const TrimResult r = level(80);
    Helicopter a, b;
    a.set_state(r.state);
    b.set_state(r.state);
    a.step({5, -7, 3, -2}, Environment{}, 0.01);
    b.step({1, -1, 1, -1}, Environment{}, 0.01);
    EXPECT_EQ(a.state().x, b.state().x);
    a.step({std::nan(""), std::nan(""), 0.2, std::nan("")}, Environment{}, 0.01);
    b.step({0, 0, 0.2, 0}, Environment{}, 0.01);
    EXPECT_EQ(a.state().x, b.state().x);
}

TEST(Flight, LongAndBadTimeStepsAreSafe) {
    const TrimResult r = level(80);
    Helicopter a, b;
    a.set_state(r.state);
    b.set_state(r.state);
    a.step(r.controls, Environment{}, 0.04);                    // split into two RK4 steps of 0.02 s
    for (int i = 0; i < 2; ++i) b.step(r.controls, Environment{}, 0.02);
    EXPECT_EQ(a.state().x, b.state().x);
    for (double dt : {0.0, -1.0, std::nan(""), HUGE_VAL}) a.step(r.controls, Environment{}, dt);
    EXPECT_EQ(a.state().x, b.state().x);
}

TEST(Flight, Deterministic) {
    auto fly = [] {
        Helicopter h;
        h.set_state(level(60).state);
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> d(-1, 1);
        Environment e;
        e.wind_ned_fps = Eigen::Vector3d(10, -5, 0);
        for (int i = 0; i < 3000; ++i) h.step({0.35 + 0.05 * d(rng), 0.05 * d(rng), 0.05 * d(rng), 0.05 * d(rng)}, e, 0.01);
        return h.state();
    };
    const State a = fly(), b = fly();
    EXPECT_EQ(a.x, b.x);
}

// ---- On the ground ---------------------------------------------------------------------------------------

TEST(Ground, RestsWithoutSinkingOrBouncingAndLiftsOff) {
    Environment e;
    e.ground_elevation_ft = 1200;
    const TrimResult g = on_ground(P(), e, 270, 40, -60);
    EXPECT_TRUE(g.converged) << g.residual;
    Helicopter h;
    h.set_state(g.state);
    const Outputs o0 = h.outputs(e);
    EXPECT_TRUE(o0.on_ground);
    EXPECT_EQ(o0.radar_height_ft, 0.0);
    EXPECT_NEAR(o0.heading_deg, 270, 0.5);
    EXPECT_NEAR(g.state.position_ned().x(), 40, 0.5);
    EXPECT_NEAR(g.state.position_ned().y(), -60, 0.5);
    EXPECT_GT(o0.altitude_ft, e.ground_elevation_ft + 2.0);  // CG above the ground on compressed skids
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 3000; ++i) {
        h.step(Controls{}, e, 0.01);
        const double alt = h.outputs(e).altitude_ft;
        lo = std::min(lo, alt);
        hi = std::max(hi, alt);
    }
    EXPECT_LT(hi - lo, 0.02);
    const Outputs o1 = h.outputs(e);
    EXPECT_TRUE(o1.on_ground);
    EXPECT_NEAR(o1.heading_deg, o0.heading_deg, 0.5);
    EXPECT_LT((h.state().position_ned() - g.state.position_ned()).head<2>().norm(), 0.5);

    // Lever above the hover setting: it leaves the ground and climbs.
    const TrimResult hover = level(0, e.ground_elevation_ft + 8, e);
    Controls up = hover.controls;
    up.collective += 0.1;
    for (int i = 0; i < 300; ++i) h.step(up, e, 0.01);
    const Outputs o2 = h.outputs(e);
    EXPECT_FALSE(o2.on_ground);
    EXPECT_GT(o2.radar_height_ft, 3);
    EXPECT_GT(o2.climb_rate_fpm, 200);
}

TEST(Ground, HardLandingIsHeldAboveTheTerrain) {
    Environment e;
    for (double sink : {20.0, 60.0}) {
        SCOPED_TRACE(sink);
        State s;
        s.position_ned() = Eigen::Vector3d(0, 0, -(e.ground_elevation_ft + 10));
        s.velocity_body() = Eigen::Vector3d(30, 0, sink);
        s.inflow_main() = 30;
        Helicopter h;
        h.set_state(s);
        double lowest = 1e9;
        for (int i = 0; i < 500; ++i) {
            h.step(Controls{}, e, 0.01);
            lowest = std::min(lowest, h.outputs(e).altitude_ft);
        }
        EXPECT_GT(lowest, e.ground_elevation_ft);
        EXPECT_TRUE(h.outputs(e).on_ground);
        EXPECT_LT(h.state().velocity_body().norm(), 2.0);
    }
}

// ---- Robustness --------------------------------------------------------------------------------------------

TEST(Robustness, RandomControlsForAMinuteStayFiniteAndAboveGround) {
    Environment e;
    e.wind_ned_fps = Eigen::Vector3d(15, 10, 0);
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> d(-1.5, 1.5);
        Helicopter h;
        h.set_state(level(60, e.ground_elevation_ft + 300, e).state);
        Controls c;
        for (int i = 0; i < 6000; ++i) {
            if (i % 25 == 0) c = {d(rng) + 0.5, d(rng), d(rng), d(rng)};
            h.step(c, e, 0.01);
            ASSERT_TRUE(finite(h.state())) << i;
            ASSERT_GE(h.outputs(e).altitude_ft, e.ground_elevation_ft) << i;
        }
    }
}

TEST(Robustness, TailRotorInflowStaysSmoothInAFastDive) {
    // 200 kt through the tail disc: its inflow settles faster than the step; it must not ring.
    TrimResult r = level(120);
    r.state.velocity_body() *= 340.0 / r.state.velocity_body().norm();
    Helicopter h;
    h.set_state(r.state);
    double previous = h.state().inflow_tail(), previous_change = 0;
    int reversals = 0;
    for (int i = 0; i < 50; ++i) {
        h.step(r.controls, Environment{}, 0.01);
        const double change = h.state().inflow_tail() - previous;
        if (i > 0 && change * previous_change < 0 && std::abs(change) > 0.5) ++reversals;
        previous = h.state().inflow_tail();
        previous_change = change;
        ASSERT_TRUE(finite(h.state()));
    }
    EXPECT_LT(reversals, 3);
    EXPECT_LT(std::abs(h.state().inflow_tail()), 100);
}

TEST(Robustness, WildStatesStayFinite) {
    const Environment e;
    State s;
    s.velocity_body() = Eigen::Vector3d(600, -300, 400);
    s.rates_body() = Eigen::Vector3d(8, -6, 10);
    s.euler() = Eigen::Vector3d(3, 1.5707963, -7);
    s.position_ned() = Eigen::Vector3d(0, 0, -3000);
    s.a1() = 1;
    s.b1() = -1;
    s.inflow_main() = -200;
    s.inflow_tail() = 300;
    Helicopter h;
    h.set_state(s);
    for (int i = 0; i < 3000; ++i) {
        h.step({1, 1, -1, 1}, e, 0.01);
        ASSERT_TRUE(finite(h.state())) << i;
    }
    EXPECT_LE(std::abs(h.state().euler().y()), 1.5707963268);

    State bad;
    bad.velocity_body().x() = std::nan("");
    bad.position_ned().z() = -1000;
    bad.inflow_main() = HUGE_VAL;
    h.set_state(bad);
    EXPECT_TRUE(finite(h.state()));
    EXPECT_EQ(h.state().velocity_body().x(), 0.0);
}

// Not a test: the speed figure of the integrator, in flight (back to trim every second) and on the ground.
TEST(Speed, StepsPerSecond) {
    auto now = [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
    const TrimResult r = level(80);
    Helicopter h;
    const Environment e;
    const int n = 200000;
    double t0 = now();
    for (int i = 0; i < n; ++i) {
        if (i % 100 == 0) h.set_state(r.state);
        h.step(r.controls, e, 0.01);
    }
    const double flying = now() - t0;
    const TrimResult g = on_ground(P(), e, 0, 0, 0);
    h.set_state(g.state);
    t0 = now();
    for (int i = 0; i < n; ++i) h.step(Controls{}, e, 0.01);
    const double resting = now() - t0;
    std::printf("RK4 steps at 100 Hz per second: %.0f in flight, %.0f on the ground\n", n / flying, n / resting);
    EXPECT_TRUE(finite(h.state()));
}

}  // namespace
}  // namespace flight
