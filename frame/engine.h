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

// The modules declare the three functions __stdcall and call them through call_out() (frame/call_out.h), which
// also serves an engine whose functions leave their arguments on the stack. The stand-in engine can be built
// that way (ZOLM_CDECL) to show it.
#if AFCP_WIN32_X86 && defined(ZOLM_CDECL)
#define ZOLM_CALL __attribute__((cdecl))
#else
#define ZOLM_CALL AFCP_STDCALL
#endif

extern "C" {
afcp::StateBlock* ZOLM_CALL zolm_attach(const char* parameter, void* const* services);
void ZOLM_CALL zolm_register_commands(const afcp::CommandEntry* table, int32_t count);
void ZOLM_CALL zolm_release();
}
