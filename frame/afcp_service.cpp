#include "frame/afcp_service.h"

#include "frame/call_out.h"
#include "frame/engine.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "modes/command_table.h"
#include "variants/variant.h"

namespace afcp {

ModuleState module;

void per_update_step(StateBlock& block, double supply_level, double enable_switch) {
    // `engaged` is edited in a local and stored once: a store followed at once by a load of both words would
    // stall the load until the store has left.
    uint32_t engaged = block.engaged | masks::per_update_marks;
    // Plain double comparisons: exactly 10.0 keeps STAB, and so does a NaN in either sample.
    const bool power_lost = enable_switch == 0.0 || supply_level < 10.0;
    if constexpr (Variant::power_drop_clears_all) {
        if (power_lost) engaged = bits::PANEL;
    } else {
        if (power_lost) engaged &= ~bits::STAB;
    }
    if constexpr (Variant::stab_follows_modes) {
        if ((engaged & masks::mode_bits) != 0 || (block.armed & bits::TDN) != 0) {
            engaged |= masks::stab_set;
        } else {
            engaged &= ~masks::stab_set;
            block.armed = 0;
        }
    } else {
        if ((engaged & bits::STAB) != 0) {
            engaged |= masks::stab_axes;
        } else {
            engaged &= ~masks::stab_axes;
            block.armed = 0;
        }
    }
    block.engaged = engaged;
}

void AFCP_STDCALL afcp_service(GaugeHeader* gauge, int32_t service, uint32_t) {
    switch (service) {
    case kDisconnect:
        call_out(&zolm_release);
        module.block = nullptr;
        return;
    case kUpdate:
        if (module.block == nullptr) {
            // A null header has no parameter string to pass on.
            module.block =
                call_out(&zolm_attach, gauge != nullptr ? gauge->parameter_string : nullptr, ImportTable.services);
            call_out(&zolm_register_commands, command_table, command_count);
            return;
        }
        read_variable(module.supply_sample);
        read_variable(module.enable_sample);
        read_variable(module.airspeed_sample);
        read_variable(module.radar_height_sample);
        per_update_step(*module.block, module.supply_sample.value, module.enable_sample.value);
        return;
    default:
        return;
    }
}

}  // namespace afcp
