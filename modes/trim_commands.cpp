// Beep trim, trim centring and the two hover ground-speed settings. A beep means what the engaged modes make
// it mean; when nothing claims it, it is stored as a fixed step for the engine with ATT requested in `armed`.
// No countdowns here.
#include "frame/services.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "modes/commands.h"
#include "modes/edits.h"

namespace afcp::commands {

using namespace edits;

namespace {

constexpr double beep_step = 0.15;         // stored, not added
constexpr double hover_speed_nudge = 0.1;  // added, without limit
// The airspeed limits in the variable's units, and one step in the event's (frame/units.h).
constexpr double airspeed_upper = double(units::airspeed_max * units::airspeed_read_per_knot);
constexpr double airspeed_lower = double(units::airspeed_min * units::airspeed_read_per_knot);
constexpr int64_t one_step_sent = units::airspeed_step * units::airspeed_sent_per_knot;
constexpr int32_t fore_aft_min = -10;
constexpr int32_t fore_aft_max = 50;
constexpr int32_t lateral_min = -20;
constexpr int32_t lateral_max = 20;

// Up or right, down or left.
enum class Sense { positive, negative };

// The fore-aft beep: the first case that applies decides. One instance per sense, each inside its command.
template <Sense sense>
void fore_aft_beep() {
    StateBlock* const block = module.block;
    if (block == nullptr) return;
    constexpr bool up = sense == Sense::positive;
    const uint32_t engaged = block->engaged;
    const uint32_t vertical = engaged & masks::vertical_group;
    if ((engaged & bits::IAS) != 0) {
        // The airspeed reference moved by one knot in the event's units, neither snapped nor clamped.
        const double v = read_fresh(token::autopilot_airspeed);
        if (up ? v < airspeed_upper : v > airspeed_lower) {
            const int64_t sent = units::airspeed_sent_per_read * whole(v) + (up ? one_step_sent : -one_step_sent);
            send_event(event::autopilot_airspeed_set, parameter(sent));
        }
    } else if ((engaged & bits::HOV) != 0 && (engaged & (bits::HOV_SUB_A | bits::HOV_SUB_B)) != 0) {
        block->fore_aft_input += up ? hover_speed_nudge : -hover_speed_nudge;
    } else if (vertical == bits::VS) {
        send_event(up ? event::vertical_speed_up : event::vertical_speed_down, 0);
    } else if (vertical == bits::ALT) {
        if (up) {
            if (block->altitude_reference < units::altitude_ceiling) block->altitude_reference += units::altitude_step;
        } else {
            if (block->altitude_reference >= units::altitude_trim_floor)
                block->altitude_reference -= units::altitude_step;
        }
    } else {
        block->fore_aft_input = up ? beep_step : -beep_step;
        block->armed |= bits::ATT;
    }
}

// A single radio or heading mode: exactly one of HDG and the lateral arms, nothing else of the lateral group.
constexpr uint32_t heading_modes = bits::HDG | masks::lateral_arms;
constexpr bool single_heading_mode(uint32_t lateral) {
    return lateral != 0 && (lateral & ~heading_modes) == 0 && (lateral & (lateral - 1)) == 0;
}

// The lateral beep, on the exact value of the lateral group in `engaged`; one instance per sense.
template <Sense sense>
void lateral_beep() {
    StateBlock* const block = module.block;
    if (block == nullptr) return;
    constexpr bool right = sense == Sense::positive;
    const uint32_t lateral = block->engaged & masks::lateral_group;
    if (single_heading_mode(lateral)) {
        const int64_t degrees =
            whole(read_fresh(token::heading_bug)) + (right ? units::heading_step : -units::heading_step);
        send_event(event::heading_bug_set, parameter(wrap_heading(degrees)));
    } else if (lateral == masks::hover_with_sub_b || lateral == masks::hover_with_sub_a) {
        block->lateral_input += right ? hover_speed_nudge : -hover_speed_nudge;
    } else {
        block->lateral_input = right ? beep_step : -beep_step;
        block->armed |= bits::ATT;
    }
}

// Each side of a setting is held at its own limit.
void raise_setting(int32_t& setting, int32_t high) { setting = setting < high ? setting + 1 : high; }

void lower_setting(int32_t& setting, int32_t low) { setting = setting > low ? setting - 1 : low; }

}  // namespace

int32_t AFCP_STDCALL TRIM_UP(int32_t, int32_t) {
    fore_aft_beep<Sense::positive>();
    return 0;
}

int32_t AFCP_STDCALL TRIM_DOWN(int32_t, int32_t) {
    fore_aft_beep<Sense::negative>();
    return 0;
}

int32_t AFCP_STDCALL TRIM_RIGHT(int32_t, int32_t) {
    lateral_beep<Sense::positive>();
    return 0;
}

int32_t AFCP_STDCALL TRIM_LEFT(int32_t, int32_t) {
    lateral_beep<Sense::negative>();
    return 0;
}

int32_t AFCP_STDCALL TRIM_CENTER(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        block->fore_aft_input = 0.0;
        block->lateral_input = 0.0;
    }
    return 0;
}

int32_t AFCP_STDCALL GS_FORWARD(int32_t, int32_t) {
    raise_setting(module.fore_aft_speed_setting, fore_aft_max);
    return 0;
}

int32_t AFCP_STDCALL GS_BACK(int32_t, int32_t) {
    lower_setting(module.fore_aft_speed_setting, fore_aft_min);
    return 0;
}

int32_t AFCP_STDCALL GS_RESET_FB(int32_t, int32_t) {
    module.fore_aft_speed_setting = 0;
    return 0;
}

int32_t AFCP_STDCALL GS_RIGHT(int32_t, int32_t) {
    raise_setting(module.lateral_speed_setting, lateral_max);
    return 0;
}

int32_t AFCP_STDCALL GS_LEFT(int32_t, int32_t) {
    lower_setting(module.lateral_speed_setting, lateral_min);
    return 0;
}

int32_t AFCP_STDCALL GS_RESET_LR(int32_t, int32_t) {
    module.lateral_speed_setting = 0;
    return 0;
}

}  // namespace afcp::commands
