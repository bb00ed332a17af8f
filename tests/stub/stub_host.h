// A host whose panel services cost next to nothing and allocate nothing: variables answer from a fixed table,
// events and element services are only counted. For the benchmarks (the recording fake host of the unit tests
// pushes into vectors, which would be measured too) and for the allocation test (which must see no allocation
// but the module's own).
#pragma once

#include <cstdint>

#include "frame/host.h"

namespace afcp::stub {

// Tokens below this answer from the table; any other token reads as 0.
constexpr int32_t token_limit = 1024;

// Makes the stub the host's panel services table (ImportTable.services).
void install();

// The value a variable reads as from now on.
void set(int32_t token, double value);
// The raw 8 bytes of a variable's value field (a flag byte lies in the lowest one).
void set_raw(int32_t token, uint64_t bits);

struct Counts {
    uint64_t reads;
    uint64_t events;
    uint64_t element_services;
    uint32_t last_event;
    uint32_t last_parameter;
};
extern Counts counts;

}  // namespace afcp::stub
