// Random flights under AddressSanitizer and UBSan: each flight starts in a random situation and plays two
// simulated minutes of random commands, clicks, settings, winds, turbulence, pilot inputs (landings among them),
// engine failures and restores, and sets, in random order; after every piece the aircraft's state must be finite and the aircraft never below
// the ground, and a crash must be one the flight earned: none in the first piece, flown as placed. Once a
// simulated second every axis an upper mode flies must be commanded inside that mode's envelope and every
// integrator of the engine inside its limit.
//   random_flights [FLIGHTS [SEED]]     FLIGHTS from the environment's AFCP_RANDOM_FLIGHTS, else 200
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/aircraft_link.h"
#include "engine/zolm_test.h"
#include "flight/helicopter.h"
#include "flight/units.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "host/panel.h"
#include "host/variables.h"
#include "modes/command_table.h"
#include "tests/scenarios/bitmap_sizes.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

constexpr double kFlightSeconds = 120;
constexpr double kGroundToleranceFt = 0.5;  // the skids may compress the ground this far, never more
constexpr int kFramesPerSecond =
    static_cast<int>(1.0 / host_core::kFrameSeconds + 0.5);  // the host frames, 18 a second

struct Failure {
    std::string what;
};

// Anything a pilot, a tool or a bad script could do to the panel between two pieces of flight.
void disturb(host_core::Panel& panel, std::mt19937& random) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    host_core::Simulator& sim = panel.simulator();
    switch (pick(11)) {
    case 0:
    case 1: {  // a command by name
        const afcp::CommandEntry& c = afcp::command_table[static_cast<size_t>(pick(std::size(afcp::command_table)))];
        try {
            panel.command(std::string(c.name, strnlen(c.name, sizeof c.name)));
        } catch (const std::exception&) {  // before registration
        }
        break;
    }
    case 2: {  // a click anywhere on a gauge
        const int gauge = pick(static_cast<int>(panel.gauges().size()));
        const host_core::GaugeShape& g = panel.gauges()[static_cast<size_t>(gauge)];
        try {
            panel.click(gauge, pick(g.width), pick(g.height));
        } catch (const std::exception&) {  // on no area
        }
        break;
    }
    case 3:  // a wind
        sim.wind(real(0, 360), real(0, 60));
        break;
    case 4:  // the pilot's hands
        sim.control(static_cast<host_core::ControlAxis>(pick(4)), real(-1, 1));
        break;
    case 5: {  // a set of any variable, with a sensible or a wild value
        const auto vars = host_core::variables();
        const host_core::Variable& v = vars[static_cast<size_t>(pick(static_cast<int>(vars.size())))];
        const double wild[] = {-1e9, -1, 0, 1e9, 5, 60000};
        const double value = pick(2) == 0 ? wild[pick(6)] : real(0, 200);
        try {
            sim.set(v.token, value);
        } catch (const std::exception&) {  // refused while flying
        }
        break;
    }
    case 6: {  // a reference the engine flies to
        const int32_t refs[] = {afcp::token::heading_bug, afcp::token::autopilot_altitude,
                                afcp::token::autopilot_airspeed, afcp::token::vertical_speed,
                                afcp::token::selected_course};
        sim.set(refs[pick(5)], real(-3000, 30000));
        break;
    }
    case 7:  // turbulence, any level, any seed
        sim.turbulence(pick(4), static_cast<uint64_t>(random()));
        break;
    case 8: {  // a landing: low over the ground, the lever a little under the hover's
        try {
            sim.set(afcp::token::radar_height, real(1, 6));
        } catch (const std::exception&) {
        }
        const double lever = sim.get(aircraft_link::token::pilot_collective);
        sim.control(host_core::ControlAxis::collective, std::max(0.0, lever - real(0, 0.1)));
        break;
    }
    case 9: {  // an engine fails, or both, or every engine is restored
        const int what = pick(4);
        if (what == 3)
            sim.restore_engines();
        else
            sim.fail_engine(what);  // 0 both, 1 or 2
        break;
    }
    default:  // the power
        sim.set(afcp::token::supply_level, pick(4) == 0 ? 5.0 : 28.0);
        break;
    }
}

void check(const host_core::Panel& panel, int flight) {
    const host_core::Simulator& sim = panel.simulator();
    for (const host_core::Variable& v : host_core::variables())
        if (!std::isfinite(sim.get(v.token)))
            throw Failure{"flight " + std::to_string(flight) + ": " + v.name + " is not finite"};
    const double radar_ft = sim.get(afcp::token::radar_height) * flight::units::kFeetPerMetre;
    if (radar_ft < -kGroundToleranceFt)
        throw Failure{"flight " + std::to_string(flight) + ": " + std::to_string(radar_ft) + " ft below the ground"};
    const auto c = sim.effective_controls();
    for (double x : c)
        if (!std::isfinite(x)) throw Failure{"flight " + std::to_string(flight) + ": a control is not finite"};
}

// Once a simulated second: the engine's commands inside the envelope of the mode flying each axis (the
// engine's own report of its commands and bounds), and its integrators inside their limits.
void check_envelope(int flight, double time) {
    ZolmAxis axes[aircraft_link::axis_count];
    zolm_test_axes(axes);
    const std::string at = "flight " + std::to_string(flight) + " at " + std::to_string(time) + " s: ";
    for (int i = 0; i < aircraft_link::axis_count; ++i) {
        const ZolmAxis& a = axes[i];
        if (a.mode == 0 || a.limit <= 0) continue;  // not held, or the pilot's attitude and heading
        if (!(std::fabs(a.command) <= a.limit + 1e-9))
            throw Failure{at + "axis " + std::to_string(i) + " commanded " + std::to_string(a.command) +
                          " beyond its mode's " + std::to_string(a.limit)};
    }
    // Each bound itself inside the envelope: attitudes within 15 deg (bank 20), climbs within 1500 ft/min.
    const double most[] = {1500, 15, 20, 0};
    for (int i = 0; i < 3; ++i)
        if (axes[i].limit > most[i]) throw Failure{at + "axis " + std::to_string(i) + " bound beyond the envelope"};
    if (zolm_test_integrals_inside() == 0) throw Failure{at + "an integrator of the engine is beyond its limit"};
}

}  // namespace

int main(int argc, char** argv) {
    const char* env = std::getenv("AFCP_RANDOM_FLIGHTS");
    const int flights = argc > 1 ? std::atoi(argv[1]) : env != nullptr ? std::atoi(env) : 200;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 20261209u;
    std::mt19937 random(seed);
    test_support::BitmapSizes sizes;
    int passed = 0, failed = 0;
    int crashes[flight::kCrashCauses] = {};
    for (int flight = 0; flight < flights; ++flight) {
        afcp::module = afcp::ModuleState{};
        zolm_test_reset();
        try {
            host_core::Panel panel(ImportTable, Linkage, sizes);
            panel.simulator().situation(static_cast<host_core::Situation>(random() % 4));
            panel.frame();
            panel.frame();
            // Flown as placed, no situation crashes.
            double flown = panel.fly(1.0);
            check(panel, flight);
            if (panel.simulator().crashed())
                throw Failure{"flight " + std::to_string(flight) + ": " + panel.simulator().crash_description() +
                              " as placed"};
            while (flown < kFlightSeconds - host_core::kStepSeconds / 2) {
                for (int n = static_cast<int>(random() % 4); n > 0; --n) disturb(panel, random);
                const double piece = 0.5 + (random() % 100) / 10.0;
                int frames = 0;
                flown += panel.fly(std::min(piece, kFlightSeconds - flown), [&] {
                    if (++frames % kFramesPerSecond == 0) check_envelope(flight, panel.simulator().time());
                });
                check(panel, flight);
                if (panel.simulator().crashed()) {  // as the trainer's restart: a situation afresh
                    ++crashes[static_cast<int>(panel.simulator().get(host_core::flight_token::crash_cause))];
                    panel.simulator().situation(static_cast<host_core::Situation>(random() % 4));
                }
            }
            ++passed;
        } catch (const Failure& f) {
            std::printf("FAILED %s (seed %u)\n", f.what.c_str(), seed);
            ++failed;
        }
    }
    std::printf("random flights of %.0f s (seed %u): %d passed, %d failed; crashes, each followed by a situation "
                "afresh:", kFlightSeconds, seed, passed, failed);
    for (int c = 1; c < flight::kCrashCauses; ++c)
        std::printf(" %s %d", flight::crash_cause_name(static_cast<flight::CrashCause>(c)), crashes[c]);
    std::printf("\n");
    return failed == 0 ? 0 : 1;
}
