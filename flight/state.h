// The helicopter's state: one Eigen vector, its fields reached by name. The field list below is the only place
// that says which entries of the vector hold what; the integrator, set_state's mending and the tests work on the
// whole vector.
#pragma once

#include <Eigen/Core>

namespace flight {

struct State {
    // Where each field starts in the vector, and its size.
    enum Field : int {
        kVelocity = 0,   // u, v, w: body axes (x forward, y right, z down), ft/s, relative to the earth
        kRates = 3,      // p, q, r: body rates, rad/s
        kEuler = 6,      // roll phi, pitch theta, yaw psi, rad
        kPosition = 9,   // north, east, down, ft; altitude = -down
        kFlapping = 12,  // a1 (tip-path plane tilted aft), b1 (tilted right), rad
        kInflow = 14,    // induced velocity of the main rotor, then of the tail rotor, ft/s
        kRotorSpeed = 16,  // the main rotor's speed as a fraction of its nominal (1 = 100 %); the tail rotor is geared
        kEngines = 17,     // the power each of the two engines delivers to the freewheel, hp
        kSize = 19,
    };
    static constexpr int kEngineCount = 2;
    using Vector = Eigen::Matrix<double, kSize, 1>;
    // A state starts with the rotor at its nominal speed and the engines delivering nothing.
    Vector x = initial();
    static Vector initial() {
        Vector v = Vector::Zero();
        v[kRotorSpeed] = 1;
        return v;
    }

    auto velocity_body() { return x.segment<3>(kVelocity); }
    auto velocity_body() const { return x.segment<3>(kVelocity); }
    auto rates_body() { return x.segment<3>(kRates); }
    auto rates_body() const { return x.segment<3>(kRates); }
    auto euler() { return x.segment<3>(kEuler); }
    auto euler() const { return x.segment<3>(kEuler); }
    auto position_ned() { return x.segment<3>(kPosition); }
    auto position_ned() const { return x.segment<3>(kPosition); }
    double& a1() { return x[kFlapping]; }
    double a1() const { return x[kFlapping]; }
    double& b1() { return x[kFlapping + 1]; }
    double b1() const { return x[kFlapping + 1]; }
    double& inflow_main() { return x[kInflow]; }
    double inflow_main() const { return x[kInflow]; }
    double& inflow_tail() { return x[kInflow + 1]; }
    double inflow_tail() const { return x[kInflow + 1]; }
    double& rotor_speed() { return x[kRotorSpeed]; }
    double rotor_speed() const { return x[kRotorSpeed]; }
    double& engine_power(int i) { return x[kEngines + i]; }
    double engine_power(int i) const { return x[kEngines + i]; }
};

}  // namespace flight
