#include "tests/alloc/static_engine.h"

namespace afcp::alloc::engine {
Record record = {};
}

using afcp::alloc::engine::record;

extern "C" {

afcp::StateBlock* AFCP_STDCALL zolm_attach(const char*, void* const*) {
    ++record.attach_calls;
    return record.fail_attach ? nullptr : &record.block;
}

void AFCP_STDCALL zolm_register_commands(const afcp::CommandEntry* table, int32_t count) {
    ++record.register_calls;
    record.table = table;
    record.count = count;
}

void AFCP_STDCALL zolm_release() { ++record.release_calls; }

}  // extern "C"
