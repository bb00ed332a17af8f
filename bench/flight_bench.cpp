// Simulated seconds per wall-clock second, measured side by side in one run: the physics and the engine alone
// (the engine's step and an RK4 step at 100 Hz, the panel attached but no host frames), and the same with the
// panel's host frames at 18 Hz (every gauge updated and drawn into steps). Cruise with STAB, ALT and HDG engaged.
#include <chrono>
#include <cstdio>

#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "host/panel.h"
#include "tests/scenarios/bitmap_sizes.h"
#include "variants/variant.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

constexpr double kSimulated = 600;  // seconds flown by each row, per round
constexpr int kRounds = 5;

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Simulated seconds per wall-clock second of one round.
double round_of(bool with_panel) {
    afcp::module = afcp::ModuleState{};
    zolm_test_reset();
    test_support::BitmapSizes sizes;
    host_core::Panel panel(ImportTable, Linkage, sizes);
    panel.simulator().situation(host_core::Situation::cruise);
    panel.frame();
    panel.frame();
    for (const char* c : {"STAB", "ALT", "HDG"}) panel.command(c);
    panel.frame();
    const auto start = std::chrono::steady_clock::now();
    if (with_panel) {
        panel.fly(kSimulated);
    } else {
        const int steps = static_cast<int>(kSimulated * host_core::kStepsPerSecond);
        for (int i = 0; i < steps; ++i) {
            zolm_step(static_cast<int32_t>(host_core::kStepSeconds * 1e6));
            panel.simulator().step();
        }
    }
    return kSimulated / seconds_since(start);
}

}  // namespace

int main() {
    double alone[kRounds], panel[kRounds];
    for (int r = 0; r < kRounds; ++r) {  // interleaved, so that a burst of load elsewhere hits both rows
        alone[r] = round_of(false);
        panel[r] = round_of(true);
    }
    auto median = [](double* v) {
        for (int i = 0; i < kRounds; ++i)
            for (int j = i + 1; j < kRounds; ++j)
                if (v[j] < v[i]) std::swap(v[i], v[j]);
        return v[kRounds / 2];
    };
    const double a = median(alone), p = median(panel);
    std::printf("%s, native: physics and engine %.0fx real time; with the panel at 18 Hz %.0fx (%.2f of the first)\n",
                afcp::Variant::module_name, a, p, p / a);
    return 0;
}
