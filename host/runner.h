// The scenario runner: plays a scenario on a panel, or checks first that all of it can be played. Each step goes
// to its instruction's `play` and `check` (host/instructions.h).
#pragma once

#include <string>
#include <vector>

#include "host/panel.h"
#include "host/scenario.h"

namespace host_core {

// What a front hears while a scenario plays. `snapshot` is called at every snapshot step, `log` (when set) with
// one line for each click, command, capture, flight with `until`, held expect and key event.
struct PlayHooks {
    virtual ~PlayHooks() = default;
    virtual void snapshot(const SnapshotStep& step) = 0;
    virtual void log(const std::string&) {}
    // After every host frame of a `fly`.
    virtual void flown_frame() {}
};

// Plays a scenario on a panel. Throws a ScenarioError naming the step that failed: of kind `flight` for what the
// flight showed (a failed `expect`, with what was expected and what was found; an `until` not met), of kind
// `scenario` for anything else; what was played before it stays.
void play(Panel& panel, const Scenario& scenario, PlayHooks& hooks);

// Throws the ScenarioError that playing the scenario on the panel as it stands would throw at the first step
// that cannot be played: a click on no mouse area, a command or capture before the engine has the table or the
// block (the first update attaches), a command the engine was not given, a variable the flight gives. So a host
// that must play all of a scenario or nothing can check it first. Before the module has registered its commands,
// names are checked against `commands` (the module's table, where the host knows it).
void check_playable(const Panel& panel, const Scenario& scenario, const std::vector<std::string>& commands);

}  // namespace host_core
