// The one control loop of the engine: a PI(D) with named gains, an integrator limit, output limits given at each
// step, reset, and a bumpless hand-over. Every loop of the engine is one of these: the attitude and rate loops
// of each axis (a cascade: attitude error -> rate command -> control share), the climb-rate loop of the
// collective, and the mode laws' outer loops (speed, height, heading, course).
//
// Anti-windup is conditional integration: the integrator does not move further in a direction in which the
// output is already at its limit, nor in which the control it drives (further down the cascade) is at its stop.
// The stops are fed back from the control, as PX4's multicopter rate controller takes the mixer's saturation
// flags (PX4-Autopilot, src/lib/rate_control/rate_control.cpp, RateControl::updateIntegral: no further
// integration of a positive error while saturated positive, and the same for negative). Integration the other
// way is always allowed, so the integrator unwinds as soon as the error changes sign.
#pragma once

#include <algorithm>
#include <cmath>

namespace autopilot {

struct PidGains {
    double kp;              // output per unit of error
    double ki;              // output per unit of error second
    double kd;              // output per unit of the measured rate (derivative on the measurement), subtracted
    double integral_limit;  // the integrator's share of the output, each way
};

// The output's limits at this step.
struct Range {
    double low, high;
};

// Where the control this loop drives can move no further (fed back from further down the cascade).
struct Stops {
    bool high = false, low = false;
};

class Pid {
public:
    constexpr explicit Pid(const PidGains& gains) : gains_(gains) {}

    // One step: `error` is target - measured, `rate` the measured quantity's rate. Returns the output, inside
    // `out` (a range whose ends cross is taken at its middle).
    double update(double error, double rate, double dt, Range out, Stops stops = {}) {
        if (out.high < out.low) out.low = out.high = (out.low + out.high) / 2;
        const double before = unlimited(error, rate);
        const bool up_blocked = stops.high || before >= out.high;
        const bool down_blocked = stops.low || before <= out.low;
        const double step = gains_.ki * error * dt;
        if (!(step > 0 && up_blocked) && !(step < 0 && down_blocked))
            integral_ = std::clamp(integral_ + step, -gains_.integral_limit, gains_.integral_limit);
        const double raw = unlimited(error, rate);
        saturated_ = raw >= out.high ? 1 : raw <= out.low ? -1 : 0;
        output_ = std::clamp(raw, out.low, out.high);
        return output_;
    }
    // Forgets everything: the next output is the proportional and derivative parts alone.
    void reset() {
        integral_ = output_ = 0;
        saturated_ = 0;
    }
    // Takes over an output from whatever drove it until now: the integrator is set so that this step's error and
    // rate give `output` (as far as the integrator limit allows), so that taking over moves nothing.
    void hand_over(double output, double error, double rate) {
        integral_ =
            std::clamp(output - gains_.kp * error + gains_.kd * rate, -gains_.integral_limit, gains_.integral_limit);
        output_ = output;
        saturated_ = 0;
    }

    double integral() const { return integral_; }
    double output() const { return output_; }
    // +1 while the output is held at its upper limit, -1 at its lower, 0 inside.
    int saturated() const { return saturated_; }
    const PidGains& gains() const { return gains_; }
    bool integral_inside_limit() const { return std::fabs(integral_) <= gains_.integral_limit; }

private:
    double unlimited(double error, double rate) const { return gains_.kp * error + integral_ - gains_.kd * rate; }

    PidGains gains_;
    double integral_ = 0, output_ = 0;
    int saturated_ = 0;
};

}  // namespace autopilot
