// Plays a scenario on a panel host and keeps the snapshots it takes; writes them out as PNG files, each with a
// JSON file of what the panel held at that moment.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "art/kit/canvas.h"
#include "host/scenario.h"
#include "preview/panel_host.h"

namespace preview {

using host_core::Scenario;
using host_core::ScenarioError;
using host_core::Step;

struct Snapshot {
    std::string name;
    std::vector<art::Canvas> gauges;  // in gauge-table order
    art::Canvas sheet;                // every gauge on one picture, with its name
    std::string state;                // the mode words, references, key events and every gauge's texts, as JSON
};

class Player {
public:
    // `log`, when given, receives one line for each click, command, capture and key event.
    explicit Player(PanelHost& host, std::FILE* log = nullptr) : host_(host), log_(log) {}

    // Plays every step, then disconnects the panel. Throws a ScenarioError naming the step that failed.
    void play(const Scenario& scenario);

    const std::vector<Snapshot>& snapshots() const { return snapshots_; }
    // The snapshot of that name; throws std::out_of_range if there is none.
    const Snapshot& snapshot(const std::string& name) const;
    // A gauge of a snapshot, by the gauge's name.
    const art::Canvas& picture(const std::string& snapshot, const std::string& gauge) const;

private:
    PanelHost& host_;
    std::FILE* log_;
    std::vector<Snapshot> snapshots_;
};

// The file name of a gauge's picture: "<snapshot>-<gauge>.png", the gauge's name with '-' for every character
// that is not a letter or a digit ("ALT/VS Select" gives "ALT-VS-Select").
std::string picture_file(const std::string& snapshot, const std::string& gauge);

// Writes every snapshot into `folder` (made if missing): one PNG per gauge and the contact sheet
// "<snapshot>-<module>.png". Returns the number of files written; throws std::runtime_error on failure.
int write_snapshots(const std::vector<Snapshot>& snapshots, const PanelHost& host, const std::string& folder);

}  // namespace preview
