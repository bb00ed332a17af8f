// The flight model at the edges of what it is given: air data that is no number, a tumbling aircraft, a rotor
// all but stopped, engines that do not exist, the receivers at their stops, the trim asked for the impossible,
// and skids dragged beyond their friction. Each must give numbers that mean what they say, never a NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "flight/atmosphere.h"
#include "flight/helicopter.h"
#include "flight/trim.h"
#include "flight/turbulence.h"
#include "flight/units.h"
#include "flight/world.h"

namespace flight {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDeg = units::kRadiansPerDegree;

bool finite(const Outputs& o) {
    for (double x : {o.airspeed_kt, o.altitude_ft, o.radar_height_ft, o.heading_deg, o.pitch_deg, o.bank_deg,
                     o.climb_rate_fpm, o.sideslip_deg, o.power_hp, o.torque_percent, o.rotor_speed_percent})
        if (!std::isfinite(x)) return false;
    return true;
}

TrimResult cruise(const Environment& e, double kt = 80) {
    TrimTarget t;
    t.airspeed_kt = kt;
    t.altitude_ft = e.ground_elevation_ft + 1000;
    return trim(default_parameters(), e, t);
}

TEST(Edges, AirThatIsNoNumberIsStillAir) {
    EXPECT_EQ(isa(-1e6).density, isa(-2000).density) << "the lowest altitude modelled";
    Environment still, broken;
    broken.wind_ned_fps = Eigen::Vector3d(kNaN, 0, 0);
    const TrimResult a = cruise(still), b = cruise(broken);
    ASSERT_TRUE(b.converged);
    EXPECT_EQ(a.controls.collective, b.controls.collective) << "a wind that is no number trims as none";
    Helicopter h;
    h.set_state(b.state);
    for (int i = 0; i < 200; ++i) h.step(b.controls, broken, 0.01);
    EXPECT_TRUE(finite(h.outputs(broken)));
    EXPECT_NEAR(h.outputs(broken).airspeed_kt, 80, 1);

    Turbulence t;
    t.set(TurbulenceLevel::severe, 7);
    for (int i = 0; i < 100; ++i) t.advance(0.01, i % 2 ? kNaN : HUGE_VAL, i % 3 ? kNaN : -HUGE_VAL);
    EXPECT_TRUE(t.gust().allFinite());
    EXPECT_GT(t.gust().norm(), 0.0) << "the gusts still blow, at the lowest height and speed modelled";
}

// Over the top of a loop the pitch stays within +-90 deg: the roll and the heading carry over by half a turn,
// and the heading the instruments show stays in 0..360.
TEST(Edges, ATumblingAircraftKeepsItsAnglesInRange) {
    const Environment e;
    for (const double way : {1.0, -1.0}) {  // up through the vertical, and down through it
        State s = cruise(e).state;
        s.euler() = Eigen::Vector3d(0.2, way * 89.9 * kDeg, 350 * kDeg);
        s.rates_body() = Eigen::Vector3d(0, way * 1.0, 0);
        Helicopter h;
        h.set_state(s);
        bool carried_over = false;
        for (int i = 0; i < 50; ++i) {
            h.step({}, e, 0.01);
            const auto euler = h.state().euler();
            ASSERT_LE(std::abs(euler.y()), units::kPi / 2) << i;
            ASSERT_LE(std::abs(euler.x()), units::kPi) << i;
            ASSERT_GE(euler.z(), 0.0) << i;
            ASSERT_LT(euler.z(), 2 * units::kPi) << i;
            carried_over = carried_over || std::abs(euler.x()) > units::kPi / 2;
            const Outputs o = h.outputs(e);
            ASSERT_TRUE(finite(o)) << i;
            ASSERT_LT(o.heading_deg, 360.0) << i;
        }
        EXPECT_TRUE(carried_over) << "the vertical was passed, " << way;
    }
}

// A rotor all but stopped (both engines out long since, on the ground or not): the loads that divide by its
// speed are taken at the least speed modelled, so that nothing becomes infinite.
TEST(Edges, ARotorAllButStoppedGivesFiniteLoads) {
    const Environment e;
    for (const double speed : {0.0, 0.05, 0.29}) {
        State s = cruise(e).state;
        s.rotor_speed() = speed;
        s.engine_power(0) = s.engine_power(1) = 0;
        Helicopter h;
        h.fail_engine(0);
        h.fail_engine(1);
        const Helicopter::Evaluation ev = h.evaluate(s, {0.5, 0, 0, 0}, e);
        EXPECT_TRUE(ev.derivative.x.allFinite()) << speed;
        EXPECT_LE(ev.derivative.rotor_speed(), 0.0) << speed << ": no engine drives it";
        h.set_state(s);
        for (int i = 0; i < 100; ++i) h.step({0.5, 0, 0, 0}, e, 0.01);
        EXPECT_TRUE(finite(h.outputs(e))) << speed;
        EXPECT_GE(h.state().rotor_speed(), 0.0) << speed << ": a stopped rotor does not turn back";
    }
}

TEST(Edges, AnEngineThatDoesNotExistFailsNothing) {
    Helicopter h;
    for (const int engine : {-1, 2, 99}) h.fail_engine(engine);
    EXPECT_TRUE(h.engine_running(0));
    EXPECT_TRUE(h.engine_running(1));
    EXPECT_FALSE(h.engine_running(2));
    EXPECT_FALSE(h.engine_running(-1));
}

// The needles pin at 2.5 dots far off their centre lines; over the VOR the needle has no direction to show and
// stands centred; close to the localizer's antenna its course is no wider than its widest, 2.5 deg each side.
TEST(Edges, ReceiversAtTheirStopsAndOverTheStation) {
    const World& w = airport();
    Receivers rx(w);
    double n = 0, e = 0;
    on_final(w, 5, n, e);
    const double c = w.runway.course_deg * kDeg;
    const double right_n = -std::sin(c), right_e = std::cos(c);
    const Reception far_right = rx.receive(n + right_n * 20000, e + right_e * 20000, 1000, 0);
    EXPECT_EQ(far_right.localizer_dots, receivers::kNeedleStop);
    const Reception low = rx.receive(n, e, w.runway.elevation_ft - 500, 0);
    EXPECT_EQ(low.glide_slope_dots, -receivers::kNeedleStop);
    const Reception over = rx.receive(w.vor_north_ft, w.vor_east_ft, 3000, 90);
    EXPECT_EQ(over.vor_dots, 0.0);
    const Reception abeam = rx.receive(w.vor_north_ft + 30000, w.vor_east_ft, 3000, 90);
    EXPECT_EQ(std::abs(abeam.vor_dots), receivers::kNeedleStop) << "90 deg off the selected course";
}

// Asked for what the aircraft cannot do, the trim says so and still hands back controls inside their travel and
// an attitude inside what its search allows.
TEST(Edges, AnImpossibleTrimStaysInsideTheControls) {
    const Environment e;
    for (const double climb : {-20000.0, 20000.0}) {
        TrimTarget t;
        t.airspeed_kt = 60;
        t.altitude_ft = e.ground_elevation_ft + 3000;
        t.climb_fpm = climb;
        const TrimResult r = trim(default_parameters(), e, t);
        EXPECT_FALSE(r.converged) << climb;
        EXPECT_TRUE(r.state.x.allFinite()) << climb;
        EXPECT_GE(r.controls.collective, 0.0) << climb;
        EXPECT_LE(r.controls.collective, 1.0) << climb;
        EXPECT_LE(std::abs(r.state.euler().x()), 0.6 + 1e-12) << climb;
        EXPECT_LE(std::abs(r.state.euler().y()), 0.6 + 1e-12) << climb;
    }
}

// On its skids, pushed sideways harder than friction holds: the skids slide, and the sliding force never passes
// the Coulomb limit (the weight times 0.5), so that the aircraft slows no faster than 0.5 g.
TEST(Edges, SkidsPushedPastTheirFrictionSlideAtTheCoulombLimit) {
    const Environment e;
    const TrimResult rest = on_ground(default_parameters(), e, 0, 0, 0);
    ASSERT_TRUE(rest.converged);
    State s = rest.state;
    s.velocity_body().y() = 20;  // ft/s sideways, beyond what the stick points hold
    Helicopter h;
    h.set_state(s);
    double slowest = 20;
    for (int i = 0; i < 50; ++i) {
        const double before = h.state().velocity_body().y();
        h.step({}, e, 0.01);
        if (h.crashed()) break;
        const double deceleration = (before - h.state().velocity_body().y()) / 0.01;
        EXPECT_LE(deceleration, default_parameters().gear.friction * default_parameters().gravity_fps2 * 1.1) << i;
        slowest = std::min(slowest, h.state().velocity_body().y());
    }
    EXPECT_LT(slowest, 20.0) << "friction slows it";
}

}  // namespace
}  // namespace flight
