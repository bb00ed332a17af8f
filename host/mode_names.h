// The mode bits by the names the state block gives them, lowest bit first, for hosts that show the words.
#pragma once

#include <cstdint>

#include "modes/state_block.h"

namespace host_core {

struct ModeBit {
    uint32_t bit;
    const char* name;
};

inline constexpr ModeBit mode_bits[] = {
    {afcp::bits::HDG, "HDG"},
    {afcp::bits::LOC, "LOC"},
    {afcp::bits::LOC_AUX, "LOC_AUX"},
    {afcp::bits::LAT_SPARE3, "LAT_SPARE3"},
    {afcp::bits::LAT_SPARE4, "LAT_SPARE4"},
    {afcp::bits::VOR, "VOR"},
    {afcp::bits::VOR_AUX, "VOR_AUX"},
    {afcp::bits::NAV, "NAV"},
    {afcp::bits::VS, "VS"},
    {afcp::bits::ALT, "ALT"},
    {afcp::bits::GS, "GS"},
    {afcp::bits::GS_AUX, "GS_AUX"},
    {afcp::bits::IAS, "IAS"},
    {afcp::bits::HOV, "HOV"},
    {afcp::bits::CRHT, "CRHT"},
    {afcp::bits::HHT, "HHT"},
    {afcp::bits::HOV_SUB_B, "HOV_SUB_B"},
    {afcp::bits::TUP, "TUP"},
    {afcp::bits::TDN, "TDN"},
    {afcp::bits::GA, "GA"},
    {afcp::bits::STAB, "STAB"},
    {afcp::bits::STAB_AX1, "STAB_AX1"},
    {afcp::bits::STAB_AX2, "STAB_AX2"},
    {afcp::bits::STAB_AX3, "STAB_AX3"},
    {afcp::bits::STAB_AX4, "STAB_AX4"},
    {afcp::bits::ATT, "ATT"},
    {afcp::bits::HOV_SUB_A, "HOV_SUB_A"},
    {afcp::bits::PANEL, "PANEL"},
};

}  // namespace host_core
