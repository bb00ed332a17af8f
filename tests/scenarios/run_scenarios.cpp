// Plays flying scenarios natively: the module, our engine and the host core linked together, as the page plays
// them. Each file is played on a fresh panel; a failed `expect` stops that file at its line.
//   run_scenarios [-v] FILE...        exit status 1 if any file fails
// -v prints the aircraft once a simulated second, and the state each file ends in to the last bit ("end=").
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "host/panel.h"
#include "host/runner.h"
#include "host/scenario.h"
#include "host/variables.h"
#include "tests/scenarios/bitmap_sizes.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

struct Hooks : host_core::PlayHooks {
    bool verbose = false;
    host_core::Panel* panel = nullptr;
    int frames = 0;
    // With -v, the aircraft once a simulated second.
    void flown_frame() override {
        if (verbose && ++frames % 18 == 0) print("t=%6.1f", " %s=%.4g");
    }
    // The aircraft: the time and every name with its value, in the formats given.
    void print(const char* time_format, const char* value_format) const {
        const host_core::Simulator& sim = panel->simulator();
        static const char* const names[] = {"airspeed", "current_altitude", "radar_height", "heading", "pitch", "bank",
                                            "climb_rate", "forward_ground_speed", "lateral_ground_speed",
                                            "localizer_deviation", "glide_slope_deviation", "collective",
                                            "pitch_control", "roll_control", "pedals", "rotor_speed", "torque",
                                            "engine_1_torque", "engine_2_torque"};
        std::printf("  ");
        std::printf(time_format, sim.time());
        for (const char* n : names) {
            int32_t token = 0;
            host_core::find_variable(n, token);
            std::printf(value_format, n, sim.get(token));
        }
        const std::array<double, 4> c = sim.effective_controls();
        std::printf(" eff=%.3f,%.3f,%.3f,%.3f e=%08x a=%08x\n", c[0], c[1], c[2], c[3], panel->engaged(), panel->armed());
    }
    void snapshot(const host_core::SnapshotStep&) override {}
    void log(const std::string& line) override {
        if (verbose) std::printf("  %s\n", line.c_str());
    }
};

bool play_file(const std::string& path, bool verbose) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("FAIL %s: cannot read it\n", path.c_str());
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    afcp::module = afcp::ModuleState{};
    zolm_test_reset();
    test_support::BitmapSizes sizes;
    try {
        host_core::Panel panel(ImportTable, Linkage, sizes);
        const host_core::Scenario scenario = host_core::parse_scenario(path, text.str(), panel.gauges());
        Hooks hooks;
        hooks.verbose = verbose;
        hooks.panel = &panel;
        host_core::play(panel, scenario, hooks);
        // The state the file ends in, to the last bit, for comparing a flight across builds.
        if (verbose) hooks.print("end=%.17g", " %s=%.17g");
        std::printf("pass %s (%.0f s flown)\n", path.c_str(), panel.simulator().time());
        return true;
    } catch (const std::exception& e) {
        std::printf("FAIL %s\n", e.what());
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool verbose = false;
    int passed = 0, failed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-v") {
            verbose = true;
            continue;
        }
        (play_file(arg, verbose) ? passed : failed) += 1;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
