// The autopilot engine library, imported by ordinal: 1 attach, 5 register commands, 3 release.
#pragma once

#include <cstdint>

#include "frame/abi.h"
#include "frame/host.h"
#include "modes/state_block.h"

namespace afcp {

// One named command as the engine receives it: 40 bytes of zero-padded name, then the handler.
struct CommandEntry {
    char name[40];
    CommandHandler handler;
};
#if AFCP_HOST_LAYOUT
static_assert(sizeof(CommandEntry) == 44);
#endif

}  // namespace afcp

extern "C" {
afcp::StateBlock* AFCP_STDCALL zolm_attach(const char* parameter, void* const* services);
void AFCP_STDCALL zolm_register_commands(const afcp::CommandEntry* table, int32_t count);
void AFCP_STDCALL zolm_release();
}
