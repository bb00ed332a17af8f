// preview: plays a scenario on a panel module and renders every gauge to PNG.
//   preview.exe [-v] MODULE.dll SCENARIO OUT-FOLDER
// Nothing is written unless the whole scenario plays: a bad line stops the run with its file and line number.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "preview/panel_host.h"
#include "preview/player.h"
#include "host/scenario.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: preview [-v] MODULE.dll SCENARIO OUT-FOLDER\n");
    return 2;
}

// A path as the user gave it: Wine's drive for the Unix root ("Z:/work/...") is dropped again.
std::string shown(const std::string& path) {
    if (path.size() > 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':' && path[2] == '/')
        return path.substr(2);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain "\n" line ends, as the Unix side reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int first = 1;
    const bool verbose = argc > 1 && std::string(argv[1]) == "-v";
    if (verbose) ++first;
    if (argc - first != 3) return usage();
    const std::string module_path = argv[first], scenario_path = argv[first + 1], folder = argv[first + 2];

    std::ifstream in(scenario_path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "preview: cannot read %s\n", shown(scenario_path).c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();

    try {
        preview::PanelHost host(module_path);
        const host_core::Scenario scenario = host_core::parse_scenario(shown(scenario_path), text.str(), host.gauges());
        preview::Player player(host, verbose ? stdout : nullptr);
        try {
            player.play(scenario);
        } catch (const host_core::ScenarioError& e) {
            // What the flight showed (a failed expect, an until not met): the snapshots taken before it are
            // written, to show what went wrong. A fault of the scenario's text writes nothing, wherever it is met.
            if (e.kind == host_core::ScenarioError::Kind::flight && !player.snapshots().empty())
                preview::write_snapshots(player.snapshots(), host, folder);
            std::fprintf(stderr, "preview: %s\n", e.what());
            return 1;
        }
        const int files = preview::write_snapshots(player.snapshots(), host, folder);
        std::printf("preview: %s: %zu snapshots, %d pictures in %s\n", host.module_name().c_str(),
                    player.snapshots().size(), files, shown(folder).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "preview: %s\n", e.what());
        return 1;
    }
    return 0;
}
