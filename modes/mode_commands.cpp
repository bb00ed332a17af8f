// The fourteen mode engage commands. A mode button first cancels what is engaged, then what is armed, and only
// then tries the engage gate. The six button commands set their feedback countdown on every path.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "frame/services.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "modes/commands.h"
#include "modes/edits.h"

namespace afcp::commands {

using namespace edits;

namespace {

// The nav receiver flag byte: the lowest-addressed byte of the record's value field (read by brevanepanel only).
[[maybe_unused]] uint8_t flag_byte(const ModuleVariable& record) {
    uint8_t flags = 0;
    std::memcpy(&flags, reinterpret_cast<const unsigned char*>(&record) + offsetof(ModuleVariable, value), 1);
    return flags;
}

constexpr uint8_t receiver_localizer = 0x80;
constexpr uint8_t receiver_glide_slope = 0x40;

// The current altitude rounded to the nearest 100 ft, for the autopilot altitude: whole feet through the
// saturating conversion (NaN reads as 0), and clamped to the 0..99900 ft the autopilot altitude can hold, so
// that a negative altitude sends 0 instead of a wrapped unsigned quotient.
uint32_t rounded_autopilot_altitude(double current_altitude) {
    const int64_t feet = whole(current_altitude + 50.0);
    return parameter(clamp(feet / 100 * 100, 0, autopilot_altitude_max));
}

// The current altitude rounded to the nearest 100 ft, for the altitude reference: worked in doubles, so that
// every reading keeps its size (1e12 ft stores 1e12); only a NaN reading stores 0 ft rather than NaN.
double rounded_altitude_reference(double current_altitude) {
    const double hundreds = std::floor(current_altitude * 0.01 + 0.5);
    return std::isnan(hundreds) ? 0.0 : hundreds * 100.0;
}

}  // namespace

int32_t AFCP_STDCALL STAB(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr) return 0;
    block->engaged ^= bits::STAB;
    block->armed |= bits::ATT;
    if ((block->engaged & bits::STAB) == 0) {
        clear_all_modes(block->engaged);
        clear_all_modes(block->armed);
    }
    return 0;
}

int32_t AFCP_STDCALL ALT(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        if ((block->engaged & bits::ALT) != 0) {
            block->engaged &= ~bits::ALT;
        } else if (gate_passes()) {
            block->altitude_reference = rounded_altitude_reference(read_fresh(token::current_altitude));
            engage_vertical(*block, bits::ALT);
            stab_with_mode(*block);
        }
    }
    feedback(kFeedbackALT, pressed);
    return 0;
}

int32_t AFCP_STDCALL ALTA(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr) return 0;
    if ((block->armed & bits::ALT) != 0) {
        block->armed &= ~bits::ALT;
    } else if (gate_passes()) {
        send_event(event::autopilot_altitude_set, rounded_autopilot_altitude(read_fresh(token::current_altitude)));
        arm_vertical(*block, bits::ALT);
    }
    return 0;
}

int32_t AFCP_STDCALL HDG(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr) return 0;
    if ((block->engaged & bits::HDG) != 0) {
        block->engaged &= ~bits::HDG;
    } else if (gate_passes()) {
        engage_heading(*block, bits::HDG);
        stab_with_mode(*block);
        block->armed |= bits::HDG;
    }
    return 0;
}

int32_t AFCP_STDCALL IAS(int32_t, int32_t) {
    if (StateBlock* const block = module.block; block != nullptr) {
        // The gate decides between toggling and clearing; there is no cancel branch before it.
        if (gate_passes()) {
            block->engaged ^= bits::IAS;
        } else {
            block->engaged &= ~bits::IAS;
        }
        if ((block->engaged & bits::IAS) != 0) {
            stab_with_mode(*block);
            block->armed |= bits::IAS;
        }
    }
    feedback(kFeedbackIAS, pressed);
    return 0;
}

namespace {

// VS and CRHT: cancel when engaged, otherwise engage through the gate with a request in `armed`.
void vertical_mode_button(uint32_t bit) {
    StateBlock* const block = module.block;
    if (block == nullptr) return;
    if ((block->engaged & bit) != 0) {
        block->engaged &= ~bit;
    } else if (gate_passes()) {
        engage_vertical(*block, bit);
        stab_with_mode(*block);
        block->armed |= bit;
    }
}

}  // namespace

int32_t AFCP_STDCALL VS(int32_t, int32_t) {
    vertical_mode_button(bits::VS);
    return 0;
}

int32_t AFCP_STDCALL CRHT(int32_t, int32_t) {
    vertical_mode_button(bits::CRHT);
    return 0;
}

int32_t AFCP_STDCALL TDN(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block != nullptr && !stab_ax1_missing(*block)) {
        if ((block->engaged & bits::HOV) != 0) {
            clear_all_modes(block->engaged);
            block->engaged |= bits::TUP;
        } else if ((block->engaged & bits::TUP) != 0) {
            block->engaged &= ~bits::TUP;
        } else if ((block->engaged & bits::TDN) != 0) {
            block->engaged &= ~bits::TDN;
        } else if ((block->armed & bits::TDN) != 0) {
            block->armed &= ~bits::TDN;
        } else if ((block->armed & masks::tdn_arm_blockers) == 0) {
            stab_with_mode(*block);
            block->armed |= bits::TDN;
        }
    }
    feedback(kFeedbackTDN, pressed);
    return 0;
}

int32_t AFCP_STDCALL HOV(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr || stab_ax1_missing(*block)) return 0;
    if ((block->engaged & bits::HOV) != 0) {
        block->engaged &= ~(bits::HOV | bits::HOV_SUB_B | bits::HOV_SUB_A | bits::HHT);
        return 0;
    }
    // Tested before the modes are cleared: a hover entered from an engaged transition down requests no HHT.
    if ((block->engaged & bits::TDN) == 0) block->armed |= bits::HHT;
    clear_all_modes(block->engaged);
    block->engaged |= bits::HOV | bits::HOV_SUB_A;
    stab_with_mode(*block);
    block->armed |= masks::hover_requests;
    if constexpr (Variant::hov_engages_hht_always) {
        block->engaged |= bits::HHT;
    } else if ((block->engaged & bits::STAB_AX3) != 0) {
        block->engaged |= bits::HHT;
    }
    return 0;
}

int32_t AFCP_STDCALL NAV(int32_t, int32_t) {
    constexpr uint32_t nav_bits = bits::VOR | bits::VOR_AUX | bits::NAV;
    if (StateBlock* const block = module.block; block != nullptr) {
        if ((block->engaged & nav_bits) != 0) {
            block->engaged &= ~nav_bits;
        } else if ((block->armed & nav_bits) != 0) {
            block->armed &= ~nav_bits;
        } else if (gate_passes()) {
            ModuleVariable record{};
            record.token = token::nav_source_flag;
            read_variable(record);
            const double source = record.value;
            if (source == 0.0) {
                uint32_t arm = bits::VOR;
                if constexpr (Variant::nav_reads_receiver_flags) {
                    // The same record, only its token changed.
                    record.token = token::nav_receiver_flags;
                    read_variable(record);
                    const uint8_t flags = flag_byte(record);
                    if ((flags & receiver_localizer) != 0) {
                        arm = (flags & receiver_glide_slope) != 0 ? bits::LOC | bits::GS : bits::LOC;
                    }
                }
                arm_lateral(*block, arm);
            } else {
                block->armed &= masks::vertical_arms;
                engage_heading(*block, bits::NAV);
            }
        }
    }
    feedback(kFeedbackNAV, pressed);
    return 0;
}

int32_t AFCP_STDCALL APP(int32_t, int32_t) {
    constexpr uint32_t localizer = bits::LOC | bits::LOC_AUX;
    if (StateBlock* const block = module.block; block != nullptr) {
        if ((block->engaged & localizer) != 0) {
            block->engaged &= ~localizer;
        } else if ((block->armed & localizer) != 0) {
            block->armed &= ~localizer;
        } else if (gate_passes()) {
            arm_lateral(*block, bits::LOC);
        }
    }
    feedback(kFeedbackAPP, pressed);
    return 0;
}

int32_t AFCP_STDCALL GS(int32_t, int32_t) {
    constexpr uint32_t glide_slope = bits::GS | bits::GS_AUX;
    if (StateBlock* const block = module.block; block != nullptr) {
        if ((block->engaged & glide_slope) != 0) {
            block->engaged &= ~glide_slope;
        } else if ((block->armed & glide_slope) != 0) {
            block->armed &= ~glide_slope;
        } else if (gate_passes()) {
            arm_vertical(*block, bits::GS);
        }
    }
    feedback(kFeedbackGS, pressed);
    return 0;
}

int32_t AFCP_STDCALL GO_AROUND(int32_t, int32_t) {
    constexpr uint32_t go_around_airspeed = 75 * units::airspeed_sent_per_knot;
    StateBlock* const block = module.block;
    if (block == nullptr) return 0;
    send_event(event::first_go_around_preset, go_around_preset::first);
    send_event(event::second_go_around_preset, go_around_preset::second);
    send_event(event::autopilot_airspeed_set, go_around_airspeed);
    block->armed = 0;
    block->engaged = (block->engaged & masks::go_around_keep) | bits::IAS | bits::VS;
    return 0;
}

int32_t AFCP_STDCALL FD_DISENGAGE(int32_t, int32_t) {
    StateBlock* const block = module.block;
    if (block == nullptr) return 0;
    clear_all_modes(block->engaged);
    block->armed = 0;
    return 0;
}

}  // namespace afcp::commands
