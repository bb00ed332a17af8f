// The drive (flight/components.h): the rotor's speed against the engines' power and the rotors' load, the governor
// that holds it, the engines' lag and ratings, and the freewheels.
#include <algorithm>

#include "flight/components.h"
#include "flight/units.h"

namespace flight {

using units::kFtLbsPerHp;

Governor::Governor(const PowertrainParameters& p, double nominal_omega) {
    // K = E / (4 tau zeta^2), E = I_R Omega_0^2 in hp s.
    const double energy_hp_s = p.rotor_inertia * nominal_omega * nominal_omega / kFtLbsPerHp;
    gain_hp_ = energy_hp_s / (4 * p.engine_time_constant_s * p.governor_damping * p.governor_damping);
}

Powertrain::Powertrain(const Parameters& p, double nominal_omega)
    : engine_(p.powertrain), governor_(p.powertrain, nominal_omega),
      energy_(p.powertrain.rotor_inertia * nominal_omega * nominal_omega),
      least_speed_(p.powertrain.least_modelled_rotor_speed) {}

std::array<double, State::kEngineCount> Powertrain::demands(double rotor_speed, double load_hp,
                                                            const std::array<bool, State::kEngineCount>& running) const {
    const int count = running_count(running);
    std::array<double, State::kEngineCount> d{};
    if (count == 0) return d;
    // Shared alike: each engine asked for its part, within what it has (never below nothing: the freewheel).
    const double each = governor_.demand(rotor_speed, load_hp) / count;
    for (int i = 0; i < State::kEngineCount; ++i)
        if (running[static_cast<size_t>(i)])
            d[static_cast<size_t>(i)] = std::clamp(each, 0.0, engine_.available(count == State::kEngineCount));
    return d;
}

double Powertrain::available(const std::array<bool, State::kEngineCount>& running) const {
    const int count = running_count(running);
    return count * (count == 0 ? 0.0 : engine_.available(count == State::kEngineCount));
}

Powertrain::Result Powertrain::evaluate(const State& s, double load,
                                        const std::array<bool, State::kEngineCount>& running) const {
    Result r;
    const double n = s.rotor_speed();
    const auto demand = demands(n, load / kFtLbsPerHp, running);
    for (size_t i = 0; i < State::kEngineCount; ++i) {
        const double p = s.engine_power(static_cast<int>(i));
        r.d_power[i] = engine_.rate(p, demand[i]);
        r.delivered[i] = Freewheel::transmitted(p);
        r.delivered_total += r.delivered[i];
    }
    // I_R Omega_0^2 n dn/dt = P_engines - P_load (the speed held off zero, where the laws end).
    r.d_rotor_speed = (r.delivered_total * kFtLbsPerHp - load) / (energy_ * std::max(n, least_speed_));
    return r;
}

}  // namespace flight
