// The flight-test trim of the aircraft whose parameter set flight/parameters.cpp holds: the steady level-flight
// points flown for Heffley & Mnich, "Minimum-Complexity Helicopter Simulation Math Model", NASA CR-177476
// (1988), as the public validation data of that model tabulate them (forward speed converted from m/s at
// 1 m/s = 1.944 kt). The model's trim is held to their trend (tests/flight, bench/trim_sweep.cpp).
#pragma once

namespace flight {

struct ReferenceTrimPoint {
    double speed_kt;         // forward, rearward negative
    double pitch_deg;        // nose up +
    double collective_rad;   // the blade's root collective pitch, the collective offset included
};

inline constexpr ReferenceTrimPoint kReferenceTrim[] = {
    {-10, 4.3, 0.206}, {0, 5.1, 0.213},  {10, 4.3, 0.204}, {20, 3.6, 0.206}, {30, 5.4, 0.182}, {37, 2.2, 0.168},
    {44, 2.0, 0.168},  {54, 3.1, 0.163}, {67, 0.4, 0.172}, {78, 3.4, 0.177}, {87, 0.3, 0.180}, {95, -2.0, 0.192},
};

}  // namespace flight
