// The sixteen reference-value commands. The simulator's references (autopilot altitude, heading bug, airspeed,
// vertical speed) move by key events and need no block; the block's references (altitude, radar height, hover
// height) move in place. The ten knob commands set their countdown on every path, with or without a block.
#include "frame/services.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "modes/commands.h"
#include "modes/edits.h"

namespace afcp::commands {

using namespace edits;

namespace {

constexpr int64_t autopilot_altitude_step = 100;  // feet
constexpr double radar_height_step = 10.0;
constexpr double radar_height_knob_min = 10.0;
constexpr double radar_height_knob_max = 1500.0;
constexpr double radar_height_rocker_ceiling = 3000.0;  // ALT/VS rocker: increase only below
constexpr double radar_height_rocker_floor = 9.99;      // ALT/VS rocker: decrease only above
constexpr int64_t hover_height_fine_limit = 20;         // 1-ft steps up to here, 10-ft steps above
constexpr int64_t hover_height_max = 300;

// The autopilot altitude moved by one step and held within 0..99900 ft at both ends.
void step_autopilot_altitude(int64_t step) {
    const int64_t feet = whole(read_fresh(token::autopilot_altitude)) + step;
    send_event(event::autopilot_altitude_set, parameter(clamp(feet, 0, autopilot_altitude_max)));
}

void step_heading_bug(int64_t step) {
    const int64_t degrees = whole(read_fresh(token::heading_bug)) + step;
    send_event(event::heading_bug_set, parameter(wrap_heading(degrees)));
}

// Whole knots (integer division toward zero), moved by one knot, then clamped to 40..160.
void step_airspeed(int64_t step) {
    const int64_t knots = whole(read_fresh(token::autopilot_airspeed)) / units::airspeed_read_per_knot + step;
    const int64_t held = clamp(knots, units::airspeed_min, units::airspeed_max);
    send_event(event::autopilot_airspeed_set, parameter(held * units::airspeed_sent_per_knot));
}

void raise_altitude_reference(StateBlock& block) {
    if (block.altitude_reference < units::altitude_ceiling) block.altitude_reference += units::altitude_step;
}

void lower_altitude_reference(StateBlock& block) {
    if (block.altitude_reference > units::altitude_rocker_floor) block.altitude_reference -= units::altitude_step;
}

}  // namespace

int32_t AFCP_STDCALL ALTA_INCREASE(int32_t, int32_t) {
    step_autopilot_altitude(+autopilot_altitude_step);
    feedback(kFeedbackALTA, pressed);
    return 0;
}

int32_t AFCP_STDCALL ALTA_DECREASE(int32_t, int32_t) {
    step_autopilot_altitude(-autopilot_altitude_step);
    feedback(kFeedbackALTA, turned_down);
    return 0;
}

int32_t AFCP_STDCALL HDG_RIGHT(int32_t, int32_t) {
    step_heading_bug(+units::heading_step);
    feedback(kFeedbackHDG, pressed);
    return 0;
}

int32_t AFCP_STDCALL HDG_LEFT(int32_t, int32_t) {
    step_heading_bug(-units::heading_step);
    feedback(kFeedbackHDG, turned_down);
    return 0;
}

int32_t AFCP_STDCALL VS_INCREASE(int32_t, int32_t) {
    send_event(event::vertical_speed_up, 0);
    feedback(kFeedbackVS, pressed);
    return 0;
}

int32_t AFCP_STDCALL VS_DECREASE(int32_t, int32_t) {
    send_event(event::vertical_speed_down, 0);
    feedback(kFeedbackVS, turned_down);
    return 0;
}

// The radar height knob steps first and clamps after, each side at its own limit only.
int32_t AFCP_STDCALL CRHT_UP(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        block->radar_height_reference += radar_height_step;
        if (block->radar_height_reference > radar_height_knob_max)
            block->radar_height_reference = radar_height_knob_max;
    }
    feedback(kFeedbackCRHT, pressed);
    return 0;
}

int32_t AFCP_STDCALL CRHT_DOWN(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        block->radar_height_reference -= radar_height_step;
        if (block->radar_height_reference < radar_height_knob_min)
            block->radar_height_reference = radar_height_knob_min;
    }
    feedback(kFeedbackCRHT, turned_down);
    return 0;
}

// Hover height in whole feet: 1-ft steps up to 20 ft, above that snapped to multiples of 10.
int32_t AFCP_STDCALL HOV_UP(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        int64_t feet = whole(block->hover_height_reference) + 1;
        if (feet > hover_height_fine_limit) feet = feet + 9 - (feet + 9) % 10;
        if (feet > hover_height_max) feet = hover_height_max;
        block->hover_height_reference = static_cast<double>(feet);
    }
    feedback(kFeedbackHOV, pressed);
    return 0;
}

int32_t AFCP_STDCALL HOV_DOWN(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        int64_t feet = whole(block->hover_height_reference) - 1;
        if (feet > hover_height_fine_limit) feet -= feet % 10;
        if (feet < 0) feet = 0;
        block->hover_height_reference = static_cast<double>(feet);
    }
    feedback(kFeedbackHOV, turned_down);
    return 0;
}

int32_t AFCP_STDCALL IAS_INCREASE(int32_t, int32_t) {
    step_airspeed(+units::airspeed_step);
    return 0;
}

int32_t AFCP_STDCALL IAS_DECREASE(int32_t, int32_t) {
    step_airspeed(-units::airspeed_step);
    return 0;
}

int32_t AFCP_STDCALL ALT_INCREASE(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) raise_altitude_reference(*block);
    return 0;
}

int32_t AFCP_STDCALL ALT_DECREASE(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) lower_altitude_reference(*block);
    return 0;
}

// The ALT/VS rocker acts only while IAS is engaged, on the first of ALT, VS, CRHT that is engaged.
int32_t AFCP_STDCALL ALT_VS_INCREASE(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr || (block->engaged & bits::IAS) == 0) return 0;
    if ((block->engaged & bits::ALT) != 0) {
        raise_altitude_reference(*block);
    } else if ((block->engaged & bits::VS) != 0) {
        send_event(event::vertical_speed_up, 0);
    } else if ((block->engaged & bits::CRHT) != 0) {
        if (block->radar_height_reference < radar_height_rocker_ceiling)
            block->radar_height_reference += radar_height_step;
    }
    return 0;
}

int32_t AFCP_STDCALL ALT_VS_DECREASE(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr || (block->engaged & bits::IAS) == 0) return 0;
    if ((block->engaged & bits::ALT) != 0) {
        lower_altitude_reference(*block);
    } else if ((block->engaged & bits::VS) != 0) {
        send_event(event::vertical_speed_down, 0);
    } else if ((block->engaged & bits::CRHT) != 0) {
        if (block->radar_height_reference > radar_height_rocker_floor)
            block->radar_height_reference -= radar_height_step;
    }
    return 0;
}

}  // namespace afcp::commands
