#include "host/runner.h"

#include <stdexcept>

#include "engine/zolm_test.h"

namespace host_core {

void PlayContext::fail_flight(const std::string& what) const {
    throw ScenarioError(where(file, line) + what, ScenarioError::Kind::flight);
}

void CheckContext::fail(const std::string& what) const { throw ScenarioError(where(file, line) + what); }

void play(Panel& panel, const Scenario& scenario, PlayHooks& hooks) {
    for (const Step& s : scenario.steps) {
        const size_t events_before = panel.simulator().events().size();
        PlayContext c{scenario.file, panel, hooks, s.line, {}};
        try {
            std::visit([&c](const auto& instruction) { instruction.play(c); }, s.what);
        } catch (const ScenarioError&) {
            throw;
        } catch (const std::exception& e) {
            throw ScenarioError(step_message(scenario, s, e.what()));
        }
        if (!c.said.empty()) hooks.log(step_message(scenario, s, c.said));
        const std::vector<SentEvent>& events = panel.simulator().events();
        for (size_t i = events_before; i < events.size(); ++i)
            hooks.log(step_message(scenario, s, "sent " + describe_event(events[i])));
    }
}

void check_playable(const Panel& panel, const Scenario& scenario, const std::vector<std::string>& commands) {
    bool has_afcp_service = false;
    for (int slot = 0; slot < static_cast<int>(panel.gauges().size()); ++slot)
        has_afcp_service = has_afcp_service || panel.gauge(slot).header->service_callback != nullptr;
    CheckContext c{scenario.file, panel, commands, panel.attached(), zolm_test_table() != nullptr, has_afcp_service, 0};
    for (const Step& s : scenario.steps) {
        c.line = s.line;
        std::visit([&c](const auto& instruction) { instruction.check(c); }, s.what);
    }
}

}  // namespace host_core
