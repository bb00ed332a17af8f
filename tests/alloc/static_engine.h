// An engine for the allocation test that allocates nothing itself: its block is static, so that every
// allocation the test sees is the module's.
#pragma once

#include <cstdint>

#include "frame/engine.h"

namespace afcp::alloc::engine {

struct Record {
    StateBlock block;
    bool fail_attach;  // the next attaches return null while set
    uint64_t attach_calls;
    uint64_t register_calls;
    uint64_t release_calls;
    const CommandEntry* table;
    int32_t count;
};
extern Record record;

}  // namespace afcp::alloc::engine
