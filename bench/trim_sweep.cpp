// The model's level-flight trim against the flight test: `make trim-sweep` prints the trim from the hover to
// 100 kt every 10 kt at 1,000 ft above the ground (pitch, collective blade pitch, power, torque), then the model
// at each flight-test speed from the hover to 95 kt beside the flight test's figures, with the RMS and the
// largest differences.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flight/helicopter.h"
#include "flight/reference_trim.h"
#include "flight/trim.h"
#include "flight/units.h"

namespace {

using namespace flight;

struct Point {
    bool converged;
    double pitch_deg, collective_rad, power_hp, torque_percent;
};

Point trimmed(double kt) {
    const Environment e;
    TrimTarget t;
    t.airspeed_kt = kt;
    t.altitude_ft = e.ground_elevation_ft + 1000;
    const TrimResult r = trim(default_parameters(), e, t);
    Helicopter h;
    h.set_state(r.state);
    h.step(r.controls, e, 1e-9);  // records the controls
    const Outputs o = h.outputs(e);
    return {r.converged, o.pitch_deg, h.blade_angles(r.controls).collective, o.power_hp, o.torque_percent};
}

}  // namespace

int main() {
    std::printf("Level trim at 1,000 ft above the ground (ISA, %.0f lb)\n", default_parameters().weight_lb);
    std::printf("  speed kt  pitch deg  collective rad  power hp  torque %%\n");
    for (int kt = 0; kt <= 100; kt += 10) {
        const Point p = trimmed(kt);
        std::printf("  %8d  %9.2f  %14.4f  %8.0f  %8.1f%s\n", kt, p.pitch_deg, p.collective_rad, p.power_hp,
                    p.torque_percent, p.converged ? "" : "  (not converged)");
    }
    std::printf("\nAgainst the flight test (NASA CR-177476), hover to 95 kt\n");
    std::printf("  speed kt  pitch deg: model  test   diff  collective rad: model   test    diff\n");
    double sum_p = 0, sum_c = 0, worst_p = 0, worst_c = 0;
    int n = 0;
    for (const ReferenceTrimPoint& ref : kReferenceTrim) {
        if (ref.speed_kt < 0) continue;
        const Point p = trimmed(ref.speed_kt);
        const double dp = p.pitch_deg - ref.pitch_deg, dc = p.collective_rad - ref.collective_rad;
        std::printf("  %8.0f             %6.2f %6.1f %6.2f                 %6.4f %6.3f %7.4f\n", ref.speed_kt,
                    p.pitch_deg, ref.pitch_deg, dp, p.collective_rad, ref.collective_rad, dc);
        sum_p += dp * dp;
        sum_c += dc * dc;
        worst_p = std::max(worst_p, std::abs(dp));
        worst_c = std::max(worst_c, std::abs(dc));
        ++n;
    }
    std::printf("  pitch: RMS %.2f deg, worst %.2f deg (aim 1 and 2); collective: RMS %.4f rad, worst %.4f rad "
                "(aim 0.010 and 0.015)\n",
                std::sqrt(sum_p / n), worst_p, std::sqrt(sum_c / n), worst_c);
    return 0;
}
