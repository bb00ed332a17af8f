// The preview's simulator: the variables the panel reads, by token, and the key events it sends, applied to
// those variables so that a command's effect shows on the next read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host.h"

namespace host_core {

// A simulator variable that a scenario may name.
struct NamedVariable {
    const char* name;
    int32_t token;
    const char* unit;
};

// The variables of the panel, in the order the documentation lists them.
const std::vector<NamedVariable>& named_variables();

// The token of a variable given by name or as a decimal token number; false if it is neither.
bool find_variable(std::string_view name_or_token, int32_t& token);

struct SentEvent {
    uint32_t event;
    uint32_t parameter;
};

class Simulator {
public:
    // Powered: supply level 28, enable switch 1; every other variable reads 0.
    Simulator();

    double get(int32_t token) const;
    void set(int32_t token, double value);

    // Fills a module variable record as the host's read service does. The flag variable (token 46) is an integer
    // whose low byte holds the flags; every other value is a double.
    void read(afcp::ModuleVariable& variable) const;

    // Applies a key event: heading bug set (degrees), autopilot altitude set (feet), autopilot airspeed set
    // (1/128 kt, kept in 1/64 kt), vertical speed up and down (100 ft/min steps). Other events change nothing.
    // Every event is recorded.
    void send(uint32_t event, uint32_t parameter);
    const std::vector<SentEvent>& events() const { return events_; }

private:
    std::map<int32_t, double> values_;
    std::vector<SentEvent> events_;
};

// "heading bug set (66042) 95": an event's name where the panel knows it, for the run's log.
std::string describe_event(const SentEvent& e);

}  // namespace host_core
