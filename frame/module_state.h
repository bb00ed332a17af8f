// Module-wide state: the block pointer, the four samples, the feedback countdowns and the ground-speed
// settings. Static for the life of the module; the pointer starts null, everything else at zero.
#pragma once

#include <cstdint>

#include "frame/host.h"
#include "frame/simulator.h"
#include "modes/state_block.h"

namespace afcp {

// One countdown per button or knob whose press the AFCP face shows.
enum Feedback : int {
    kFeedbackALT,
    kFeedbackTDN,
    kFeedbackNAV,
    kFeedbackAPP,
    kFeedbackGS,
    kFeedbackIAS,
    kFeedbackCRHT,
    kFeedbackALTA,
    kFeedbackHOV,
    kFeedbackHDG,
    kFeedbackVS,
    kFeedbackCount
};

constexpr ModuleVariable sample_record(int32_t token) { return ModuleVariable{token, 0, 0, 0.0, 0, 0}; }

struct ModuleState {
    StateBlock* block = nullptr;
    ModuleVariable supply_sample = sample_record(token::supply_level);
    ModuleVariable enable_sample = sample_record(token::enable_switch);
    ModuleVariable airspeed_sample = sample_record(token::airspeed);
    ModuleVariable radar_height_sample = sample_record(token::radar_height);
    int8_t countdown[kFeedbackCount] = {};
    int32_t fore_aft_speed_setting = 0;  // knots, -10..50
    int32_t lateral_speed_setting = 0;   // knots, -20..20
};

extern ModuleState module;

}  // namespace afcp
