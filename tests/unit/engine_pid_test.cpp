// The engine's one loop type: anti-windup at the output's limits and at the control's stops, unwinding, the
// integrator limit, the bumpless hand-over and reset.
#include <gtest/gtest.h>

#include "engine/pid.h"

namespace autopilot {
namespace {

constexpr double kDt = 0.01;
constexpr PidGains kGains{0.5, 1.0, 0.1, 0.8};  // kp, ki, kd, integrator limit
constexpr Range kOut{-1, 1};

// Runs `steps` steps of a constant error and rate.
double run(Pid& p, double error, int steps, Range out = kOut, Stops stops = {}, double rate = 0) {
    double u = 0;
    for (int i = 0; i < steps; ++i) u = p.update(error, rate, kDt, out, stops);
    return u;
}

TEST(Pid, ProportionalIntegralAndDerivativeOnTheMeasurement) {
    Pid p(kGains);
    // One step: kp e + ki e dt - kd rate.
    EXPECT_DOUBLE_EQ(p.update(0.4, 2.0, kDt, kOut), 0.5 * 0.4 + 1.0 * 0.4 * kDt - 0.1 * 2.0);
    EXPECT_DOUBLE_EQ(p.integral(), 0.4 * kDt);
    EXPECT_EQ(p.saturated(), 0);
}

TEST(Pid, IntegratorStopsAtTheOutputLimitAndUnwindsWhenTheErrorTurns) {
    Pid p(kGains);
    const Range out{-1, 0.3};
    EXPECT_DOUBLE_EQ(run(p, 0.5, 500, out), 0.3);
    EXPECT_EQ(p.saturated(), 1);
    // It wound only until the output met the limit: kp e + i = 0.3, so i is 0.05 (to within a step).
    EXPECT_NEAR(p.integral(), 0.3 - 0.5 * 0.5, 1.0 * 0.5 * kDt + 1e-12);
    const double wound = p.integral();
    // The error changes sign: the integrator unwinds at once, from where it stopped.
    p.update(-0.1, 0, kDt, out);
    EXPECT_LT(p.integral(), wound);
    EXPECT_EQ(p.saturated(), 0);
}

TEST(Pid, IntegratorStopsWhileTheControlIsAtItsStopOnlyThatWay) {
    Pid p(kGains);
    run(p, 0.2, 10);
    const double before = p.integral();
    run(p, 0.2, 100, kOut, Stops{true, false});  // the control can go no higher
    EXPECT_DOUBLE_EQ(p.integral(), before);
    run(p, -0.2, 10, kOut, Stops{true, false});  // the other way it may
    EXPECT_LT(p.integral(), before);
    const double low = p.integral();
    run(p, -0.2, 100, kOut, Stops{false, true});
    EXPECT_DOUBLE_EQ(p.integral(), low);
}

TEST(Pid, IntegratorLimitHoldsWhateverTheOutputRange) {
    Pid p(kGains);
    run(p, 0.1, 100000, Range{-100, 100});
    EXPECT_DOUBLE_EQ(p.integral(), 0.8);
    EXPECT_TRUE(p.integral_inside_limit());
    run(p, -0.1, 100000, Range{-100, 100});
    EXPECT_DOUBLE_EQ(p.integral(), -0.8);
}

TEST(Pid, HandOverIsBumplessAndResetForgets) {
    Pid p(kGains);
    const double error = 0.3, rate = -0.5;
    p.hand_over(0.42, error, rate);
    EXPECT_DOUBLE_EQ(p.output(), 0.42);
    // The next step with the same error and rate moves the output only by its own integration.
    EXPECT_NEAR(p.update(error, rate, kDt, kOut), 0.42 + 1.0 * error * kDt, 1e-12);
    // A hand-over beyond the integrator's limit takes what the limit allows.
    p.hand_over(5, 0, 0);
    EXPECT_DOUBLE_EQ(p.integral(), 0.8);
    p.reset();
    EXPECT_EQ(p.integral(), 0);
    EXPECT_EQ(p.output(), 0);
    EXPECT_DOUBLE_EQ(p.update(0.2, 0, 0, kOut), 0.1);  // proportional alone
}

TEST(Pid, CrossedRangeIsTakenAtItsMiddleAndNeverGivesNan) {
    Pid p(kGains);
    EXPECT_DOUBLE_EQ(p.update(1, 0, kDt, Range{0.4, 0.2}), 0.3);
    EXPECT_DOUBLE_EQ(p.update(-1, 0, kDt, Range{0.4, 0.2}), 0.3);
}

}  // namespace
}  // namespace autopilot
