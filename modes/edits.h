// The vocabulary the command handlers share: the engage gate, the edits of the two mode words, the feedback
// countdowns and the few integer steps and clamps of the simulator's references.
#pragma once

#include <cstdint>

#include "frame/abi.h"
#include "frame/module_state.h"
#include "frame/units.h"
#include "modes/state_block.h"
#include "variants/variant.h"

namespace afcp::edits {

// The engage gate on the samples of the last update: airspeed above 40 kt and radar height above 60.96 m, both
// strict double comparisons, so that a NaN in either sample fails.
inline bool gate_passes() {
    const double airspeed = module.airspeed_sample.value;
    const double radar_height = module.radar_height_sample.value;
    return airspeed > units::gate_airspeed && radar_height > units::gate_radar_height;
}

// Feedback countdowns: +5 for a button or a knob's increase side, -5 for a knob's decrease side.
constexpr int8_t pressed = 5;
constexpr int8_t turned_down = -5;
inline void feedback(Feedback countdown, int8_t value) { module.countdown[countdown] = value; }

// Clear all modes: every mode bit goes, the persistent bits stay.
inline void clear_all_modes(uint32_t& word) { word &= masks::persistent_bits; }

// Engage a vertical mode: the vertical group goes, then the bit is set.
inline void engage_vertical(StateBlock& block, uint32_t bit) {
    block.engaged = (block.engaged & ~masks::vertical_group) | bit;
}

// Engage a heading-type mode (HDG, NAV): the lateral group goes, the vertical group, IAS and the rest stay.
inline void engage_heading(StateBlock& block, uint32_t bit) {
    block.engaged = (block.engaged & masks::heading_keep) | bit;
}

// Arm a vertical mode (ALTA, GS): only the lateral arms are kept.
inline void arm_vertical(StateBlock& block, uint32_t bit) { block.armed = (block.armed & masks::lateral_arms) | bit; }

// Arm a lateral mode (APP, NAV to VOR): only the vertical arms are kept.
inline void arm_lateral(StateBlock& block, uint32_t bit) { block.armed = (block.armed & masks::vertical_arms) | bit; }

// Brevane: engaging ALT, HDG, VS, CRHT, IAS or HOV, and arming TDN, turn the STAB set on at once.
inline void stab_with_mode(StateBlock& block) {
    if constexpr (Variant::engage_sets_stab) block.engaged |= masks::stab_set;
}

// Korst: TDN and HOV do nothing while the first STAB axis is not engaged.
inline bool stab_ax1_missing(const StateBlock& block) {
    if constexpr (Variant::tdn_hov_need_stab_ax1) {
        return (block.engaged & bits::STAB_AX1) == 0;
    } else {
        return false;
    }
}

// A simulator reference read as whole units: truncated toward zero through the saturating conversion, so that
// NaN reads as 0 and nothing out of range is undefined; widened so that a step at the int32 limits cannot
// overflow.
inline int64_t whole(double value) { return to_int32(value); }

constexpr int64_t clamp(int64_t value, int64_t low, int64_t high) {
    return value < low ? low : value > high ? high : value;
}

// Whole degrees wrap at both ends: above 359 becomes 0, below 0 becomes 359.
constexpr int64_t wrap_heading(int64_t degrees) { return degrees > 359 ? 0 : degrees < 0 ? 359 : degrees; }

// The autopilot altitude the simulator holds, in feet.
constexpr int64_t autopilot_altitude_max = 99900;

// Event parameters are 32-bit words; negative values travel in two's complement.
constexpr uint32_t parameter(int64_t value) { return static_cast<uint32_t>(value); }

}  // namespace afcp::edits
