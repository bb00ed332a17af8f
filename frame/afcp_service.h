// The "AFCP" gauge's service callback: attach on the first update, sample and keep the STAB bits on later
// ones, release on disconnect.
#pragma once

#include <cstdint>

#include "frame/abi.h"
#include "frame/host.h"
#include "modes/state_block.h"

namespace afcp {

void AFCP_STDCALL afcp_service(GaugeHeader* gauge, int32_t service, uint32_t ignored);

// The per-update step on the mode words, given the four samples just taken.
void per_update_step(StateBlock& block, double supply_level, double enable_switch);

}  // namespace afcp
