// The ground (the skid gear at rest and in touchdowns, the crash limits) and the air (Dryden turbulence, a wind
// that eases in).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/turbulence.h"
#include "flight/units.h"

namespace flight {
namespace {

constexpr double kDeg = units::kRadiansPerDegree;
constexpr double kKnot = units::kFeetPerSecondPerKnot;
const Parameters& P() { return default_parameters(); }

// The aircraft with its skids `gap` ft above the ground, level, at the hover's controls in ground effect,
// moving at `forward` ft/s and sinking at `sink` ft/s.
struct Touchdown {
    Environment e;
    Helicopter h;
    Controls c;
    Touchdown(double sink, double forward = 0, double gap = 0.05, double bank_deg = 0) {
        TrimTarget t;
        t.still_over_ground = forward == 0;
        t.airspeed_kt = forward / kKnot;
        t.altitude_ft = e.ground_elevation_ft + P().gear.skids[0].z() + 0.5;
        const TrimResult r = trim(P(), e, t);
        c = r.controls;
        State s = r.state;
        s.euler().x() = bank_deg * kDeg;
        const Eigen::Matrix3d e2b = earth_to_body(s.euler());
        double lowest = 0;  // the lowest skid end below the CG
        for (const auto& pt : P().gear.skids) lowest = std::max(lowest, e2b.col(2).dot(pt));
        s.position_ned().z() = -(e.ground_elevation_ft + lowest + gap);
        s.velocity_body() = e2b * Eigen::Vector3d(forward, 0, sink);
        h.set_state(s);
    }
    // Flies `seconds`, lever down once on the ground; the highest the skids rose after the first touch.
    double fly(double seconds) {
        double highest = 0;
        bool touched = false;
        for (int i = 0; i < static_cast<int>(seconds * 100); ++i) {
            const Outputs o = h.outputs(e);
            touched = touched || o.on_ground;
            if (touched) {
                highest = std::max(highest, o.radar_height_ft);
                c.collective = std::max(0.0, c.collective - 0.01);  // the lever down over a second
            }
            h.step(c, e, 0.01);
        }
        return highest;
    }
};

TEST(Ground, RestsOnSkidsDeflectedInchesAndNeverSinks) {
    Environment e;
    const TrimResult g = on_ground(P(), e, 90, 0, 0);
    ASSERT_TRUE(g.converged) << g.residual;
    Helicopter h;
    h.set_state(g.state);
    const double cg_height = -g.state.position_ned().z() - e.ground_elevation_ft;
    const double deflection = P().gear.skids[0].z() - cg_height;
    EXPECT_GT(deflection * 12, 1.0);  // inches, not a foot
    EXPECT_LT(deflection * 12, 2.5);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 6000; ++i) {
        h.step(Controls{}, e, 0.01);
        lo = std::min(lo, h.state().position_ned().z());
        hi = std::max(hi, h.state().position_ned().z());
    }
    EXPECT_LT(hi - lo, 0.001);
    EXPECT_FALSE(h.crashed());
    EXPECT_TRUE(h.outputs(e).on_ground);
}

TEST(Ground, GentleTouchdownsSettleWithoutABounce) {
    for (double fpm : {60.0, 150.0, 290.0, 500.0}) {
        SCOPED_TRACE(fpm);
        Touchdown t(fpm / 60);
        const double bounce = t.fly(5);
        EXPECT_FALSE(t.h.crashed()) << crash_cause_name(t.h.crash_cause());
        EXPECT_LT(bounce, 0.1);
        EXPECT_LT(t.h.state().velocity_body().norm(), 0.05);
        EXPECT_TRUE(t.h.outputs(t.e).on_ground);
    }
}

TEST(Ground, RunOnLandingSlidesToAStop) {
    Touchdown t(3, 12 * kKnot);
    const double bounce = t.fly(10);
    EXPECT_FALSE(t.h.crashed()) << crash_cause_name(t.h.crash_cause());
    EXPECT_LT(bounce, 0.1);
    EXPECT_LT(t.h.outputs(t.e).ground_speed_kt, 0.1);
}

TEST(Ground, BeyondTheLimitsTheFlightEndsWithItsCause) {
    {
        Touchdown t(700.0 / 60);  // faster than 600 ft/min
        t.fly(2);
        EXPECT_EQ(t.h.crash_cause(), CrashCause::hard_touchdown);
    }
    {
        Touchdown t(2, 40 * kKnot);  // on the skids at 40 kt
        t.fly(2);
        EXPECT_EQ(t.h.crash_cause(), CrashCause::fast_on_ground);
    }
    {
        Touchdown t(2, 0, 0.05, 31);  // a skid down with 31 deg of bank (the disc still clear)
        t.fly(2);
        EXPECT_EQ(t.h.crash_cause(), CrashCause::attitude_on_ground);
    }
    {
        // 60 deg of bank, the skids 6 ft clear: the disc's low side reaches 15.6 ft below the hub, which is
        // 13.8 ft up.
        Touchdown t(0, 0, 6, 60);
        t.fly(0.1);
        EXPECT_EQ(t.h.crash_cause(), CrashCause::rotor_strike);
    }
    {
        State s;  // nose down into the ground: the nose's hard point
        s.position_ned().z() = -(Environment{}.ground_elevation_ft + 4);  // the hub 8.5 ft up, the disc clear
        s.euler().y() = -25 * kDeg;
        s.a1() = P().main_rotor.shaft_tilt_rad;  // the disc square to the mast
        Helicopter h;
        h.set_state(s);
        h.step(Controls{}, Environment{}, 0.01);
        EXPECT_EQ(h.crash_cause(), CrashCause::airframe_strike);
    }
}

TEST(Ground, ACrashedAircraftStaysWherePlacedAnewClearsIt) {
    Touchdown t(900.0 / 60);
    t.fly(1);
    ASSERT_TRUE(t.h.crashed());
    const State at_rest = t.h.state();
    EXPECT_EQ(at_rest.velocity_body().norm(), 0.0);
    t.h.step(Controls{1, 0, 0, 0}, t.e, 1.0);
    EXPECT_EQ(t.h.state().x, at_rest.x);
    const Outputs o = t.h.outputs(t.e);
    EXPECT_TRUE(o.crashed);
    EXPECT_EQ(o.crash_cause, CrashCause::hard_touchdown);
    EXPECT_STREQ(crash_cause_name(o.crash_cause), "hard_touchdown");
    t.h.set_state(at_rest);
    EXPECT_FALSE(t.h.crashed());
}

// ---- Power and torque ----------------------------------------------------------------------------------------

TEST(Power, BothRotorsAndTheLossMakeThePowerAndTheTorque) {
    TrimTarget t;
    t.altitude_ft = 1500;
    const TrimResult r = trim(P(), Environment{}, t);
    Helicopter h;
    h.set_state(r.state);
    h.step(r.controls, Environment{}, 1e-9);
    const Outputs o = h.outputs(Environment{});
    EXPECT_GT(o.tail_rotor_power_hp, 20);  // the tail rotor balances some 8,000 ft lbf of torque in the hover
    EXPECT_LT(o.tail_rotor_power_hp, 120);
    EXPECT_NEAR(o.power_hp, o.main_rotor_power_hp + o.tail_rotor_power_hp + P().power_loss_hp, 1e-6);
    EXPECT_NEAR(o.torque_percent, 100 * o.power_hp / P().rated_power_hp, 1e-9);
}

// ---- Turbulence ----------------------------------------------------------------------------------------------

// MIL-F-8785C's low-altitude forms worked by hand: at 100 ft, 0.177 + 0.000823 h = 0.2593, so sigma_u / sigma_w
// = 0.2593^-0.4 = 1.7158 and L_u = 100 / 0.2593^1.2 = 505.17 ft; light is W20 = 15 kt, sigma_w = 2.532 ft/s.
TEST(Turbulence, DrydenFiguresAgainstHeight) {
    const DrydenFigures light100 = dryden_figures(TurbulenceLevel::light, 100);
    EXPECT_NEAR(light100.sigma_w, 1.5 * kKnot, 1e-9);
    EXPECT_NEAR(light100.sigma_u / light100.sigma_w, 1.7158, 1e-4);
    EXPECT_NEAR(light100.sigma_v, light100.sigma_u, 1e-12);
    EXPECT_NEAR(light100.length_u, 505.17, 0.01);
    EXPECT_NEAR(light100.length_w, 100, 1e-12);
    const DrydenFigures severe1000 = dryden_figures(TurbulenceLevel::severe, 1000);
    EXPECT_NEAR(severe1000.sigma_u, 4.5 * kKnot, 1e-9);  // x = 1 at 1,000 ft
    EXPECT_NEAR(severe1000.length_u, 1000, 1e-9);
    const DrydenFigures moderate3000 = dryden_figures(TurbulenceLevel::moderate, 3000);  // the table, 2000..3750
    EXPECT_NEAR(moderate3000.sigma_w, 6.9 + (3000 - 2000) / 1750.0 * (7.4 - 6.9), 1e-9);
    EXPECT_NEAR(moderate3000.length_u, 1750, 1e-9);
    EXPECT_NEAR(moderate3000.length_w, 875, 1e-9);
    const DrydenFigures between = dryden_figures(TurbulenceLevel::moderate, 1500);
    EXPECT_NEAR(between.sigma_w, 0.5 * (3 * kKnot + 6.9), 1e-9);
    EXPECT_EQ(dryden_figures(TurbulenceLevel::off, 500).sigma_u, 0.0);
    EXPECT_EQ(dryden_figures(TurbulenceLevel::light, 1).length_w, 10.0);  // the forms' floor
}

TEST(Turbulence, TenMinutesHoldTheDrydenIntensities) {
    for (auto [level, height, speed] : {std::tuple{TurbulenceLevel::moderate, 1000.0, 169.0},
                                        std::tuple{TurbulenceLevel::light, 200.0, 100.0},
                                        std::tuple{TurbulenceLevel::severe, 5000.0, 169.0}}) {
        SCOPED_TRACE(height);
        Turbulence t;
        t.set(level, 42);
        Eigen::Vector3d sum = Eigen::Vector3d::Zero(), sq = Eigen::Vector3d::Zero();
        const int n = 60000;  // 10 simulated minutes at 100 Hz
        for (int i = 0; i < n; ++i) {
            t.advance(0.01, speed, height);
            sum += t.gust();
            sq += t.gust().cwiseProduct(t.gust());
        }
        const Eigen::Vector3d mean = sum / n;
        const Eigen::Vector3d sigma = (sq / n - mean.cwiseProduct(mean)).cwiseSqrt();
        const DrydenFigures d = dryden_figures(level, height);
        EXPECT_NEAR(sigma.x() / d.sigma_u, 1.0, 0.2);
        EXPECT_NEAR(sigma.y() / d.sigma_v, 1.0, 0.2);
        EXPECT_NEAR(sigma.z() / d.sigma_w, 1.0, 0.2);
    }
}

TEST(Turbulence, OneSeedOneFlightBitForBit) {
    auto fly = [](uint64_t seed) {
        TrimTarget target;
        target.airspeed_kt = 80;
        target.altitude_ft = 1500;
        const TrimResult r = trim(P(), Environment{}, target);
        Helicopter h;
        h.set_turbulence(TurbulenceLevel::moderate, seed);
        h.set_state(r.state);
        for (int i = 0; i < 3000; ++i) h.step(r.controls, Environment{}, 0.01);
        return h.state().x;
    };
    EXPECT_EQ(fly(7), fly(7));
    EXPECT_NE(fly(7), fly(8));
}

TEST(Turbulence, NoiseIsPortableAndNormal) {
    Noise a(1), b(1);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(a.next(), b.next());
    // splitmix64's first output from seed 0 (the reference implementation's).
    EXPECT_EQ(Noise(0).next(), 0xE220A8397B1DCDAFull);
    Noise n(3);
    double sum = 0, sq = 0, lo = 0, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        const double g = n.gaussian();
        sum += g;
        sq += g * g;
        lo = std::min(lo, g);
        hi = std::max(hi, g);
    }
    EXPECT_NEAR(sum / 1e5, 0, 0.02);
    EXPECT_NEAR(sq / 1e5, 1, 0.02);
    EXPECT_GT(hi, 3.0);
    EXPECT_LT(lo, -3.0);
}

TEST(Wind, AChangeOfWindEasesInOverASecondOrTwo) {
    TrimTarget target;
    target.airspeed_kt = 80;
    target.altitude_ft = 1500;
    const TrimResult r = trim(P(), Environment{}, target);
    Helicopter h;
    h.set_state(r.state);
    Environment e;
    h.step(r.controls, e, 0.01);  // the calm air felt
    e.wind_ned_fps = Eigen::Vector3d(-20 * kKnot, 0, 0);  // a 20 kt headwind from the north, at once
    std::vector<double> airspeed;
    for (int i = 0; i < 300; ++i) {
        h.step(r.controls, e, 0.01);
        airspeed.push_back(h.outputs(e).airspeed_kt);
    }
    const double start = 80, felt_01 = airspeed[9] - start, felt_05 = airspeed[49] - start;
    EXPECT_GT(felt_01, 0.5);   // after 0.1 s some of the 20 kt ...
    EXPECT_LT(felt_01, 5.0);   // ... but far from all of it
    EXPECT_GT(felt_05, 8.0);
    EXPECT_LT(felt_05, 16.0);
    const Eigen::Vector3d felt = h.state().velocity_body() - earth_to_body(h.state().euler()) * e.wind_ned_fps;
    EXPECT_NEAR((felt.norm() - (h.outputs(e).airspeed_kt * kKnot)), 0, 0.3);  // all of it after 3 s
}

}  // namespace
}  // namespace flight
