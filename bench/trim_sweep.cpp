// The model's level-flight trim against the flight test: `make trim-sweep` prints the trim from the hover to
// 100 kt every 10 kt at 1,000 ft above the ground (pitch, collective blade pitch, power, torque), then the model
// at each flight-test speed from the hover to 95 kt beside the flight test's figures, with the RMS and the
// largest differences.
#include <cstdio>

#include "flight/helicopter.h"
#include "flight/reference_trim.h"
#include "flight/trim.h"
#include "flight/units.h"

using namespace flight;

int main() {
    std::printf("Level trim at 1,000 ft above the ground (ISA, %.0f lb)\n", default_parameters().weight_lb);
    std::printf("  speed kt  pitch deg  collective rad  power hp  torque %%\n");
    for (int kt = 0; kt <= 100; kt += 10) {
        const LevelTrim p = level_trim(kt);
        std::printf("  %8d  %9.2f  %14.4f  %8.0f  %8.1f%s\n", kt, p.pitch_deg, p.collective_rad, p.power_hp,
                    p.torque_percent, p.converged ? "" : "  (not converged)");
    }
    std::printf("\nAgainst the flight test (NASA CR-177476), hover to 95 kt\n");
    std::printf("  speed kt  pitch deg: model  test   diff  collective rad: model   test    diff\n");
    for (const ReferenceTrimPoint& ref : kReferenceTrim) {
        if (ref.speed_kt < 0) continue;
        const LevelTrim p = level_trim(ref.speed_kt);
        std::printf("  %8.0f             %6.2f %6.1f %6.2f                 %6.4f %6.3f %7.4f\n", ref.speed_kt,
                    p.pitch_deg, ref.pitch_deg, p.pitch_deg - ref.pitch_deg, p.collective_rad, ref.collective_rad,
                    p.collective_rad - ref.collective_rad);
    }
    const FlightTestFit fit = flight_test_fit();
    std::printf("  pitch: RMS %.2f deg, worst %.2f deg (aim 1 and 2); collective: RMS %.4f rad, worst %.4f rad "
                "(aim 0.010 and 0.015)\n",
                fit.pitch_rms_deg, fit.pitch_worst_deg, fit.collective_rms_rad, fit.collective_worst_rad);
    return 0;
}
