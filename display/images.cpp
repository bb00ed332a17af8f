// The two lamps of the AFCP face and the two ground-speed tapes of the "GS" gauge.
#include "display/display.h"
#include "frame/units.h"

namespace afcp::display {

namespace {

constexpr double shown = 0.0;
constexpr double hidden = -1.0;

// Tape travel per knot, and the offsets that put each tape's zero mark at its pointer.
constexpr double pixels_per_knot = 8.1;
constexpr double fore_aft_zero_offset = 135.0;
constexpr double lateral_zero_offset = 217.0;

// The block that receives the hover speeds: attached, and at least one setting away from 0.
StateBlock* hover_speed_target() {
    if (module.fore_aft_speed_setting == 0 && module.lateral_speed_setting == 0) return nullptr;
    return module.block;
}

}  // namespace

// The yellow triangle shows while STAB is off, and while no block is attached.
double AFCP_STDCALL stab_lamp(ElementHead*) {
    const StateBlock* block = module.block;
    if (block != nullptr && (block->engaged & bits::STAB) != 0) return hidden;
    return shown;
}

// The cyan triangle shows while any navigation mode is armed or engaged.
double AFCP_STDCALL navigation_lamp(ElementHead*) {
    const StateBlock* block = module.block;
    if (block == nullptr) return hidden;
    if ((block->armed & masks::navigation_modes) != 0 || (block->engaged & masks::navigation_modes) != 0) return shown;
    return hidden;
}

// Fore-aft tape: y offset, from 54 (10 kt aft) through 135 (0) to 540 (50 kt forward).
double AFCP_STDCALL fore_aft_marker(ElementHead*) {
    const double knots = module.fore_aft_speed_setting;
    if (StateBlock* block = hover_speed_target(); block != nullptr) {
        block->fore_aft_input = knots * units::knots_to_feet_per_second;
    }
    return fore_aft_zero_offset + pixels_per_knot * knots;
}

// Lateral tape: x offset, from 379 (setting -20 kt) through 217 (0) to 55 (+20 kt).
double AFCP_STDCALL lateral_marker(ElementHead*) {
    const double knots = module.lateral_speed_setting;
    if (StateBlock* block = hover_speed_target(); block != nullptr) {
        block->lateral_input = knots * units::knots_to_feet_per_second;
    }
    return lateral_zero_offset - pixels_per_knot * knots;
}

}  // namespace afcp::display
