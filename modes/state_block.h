// The autopilot state block shared with the engine library: layout, mode bits and the named masks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace afcp {

struct StateBlock {
    uint32_t engaged;
    uint32_t armed;
    uint8_t engine_area[24];  // the engine's; never read or written here
    double altitude_reference;
    double radar_height_reference;
    double hover_height_reference;
    double fore_aft_input;
    double lateral_input;
    // Whatever follows belongs to the engine.
};
static_assert(offsetof(StateBlock, armed) == 4);
static_assert(offsetof(StateBlock, engine_area) == 8);
static_assert(offsetof(StateBlock, altitude_reference) == 32);
static_assert(offsetof(StateBlock, radar_height_reference) == 40);
static_assert(offsetof(StateBlock, hover_height_reference) == 48);
static_assert(offsetof(StateBlock, fore_aft_input) == 56);
static_assert(offsetof(StateBlock, lateral_input) == 64);
static_assert(sizeof(StateBlock) == 72);

// Mode bits: the same positions in `engaged` and `armed`.
namespace bits {
constexpr uint32_t HDG = 0x00000001;
constexpr uint32_t LOC = 0x00000002;
constexpr uint32_t LOC_AUX = 0x00000004;
constexpr uint32_t LAT_SPARE3 = 0x00000008;
constexpr uint32_t LAT_SPARE4 = 0x00000010;
constexpr uint32_t VOR = 0x00000020;
constexpr uint32_t VOR_AUX = 0x00000040;
constexpr uint32_t NAV = 0x00000080;
constexpr uint32_t VS = 0x00000100;
constexpr uint32_t ALT = 0x00000200;
constexpr uint32_t GS = 0x00000400;
constexpr uint32_t GS_AUX = 0x00000800;
constexpr uint32_t IAS = 0x00001000;
constexpr uint32_t HOV = 0x00002000;
constexpr uint32_t CRHT = 0x00004000;
constexpr uint32_t HHT = 0x00008000;
constexpr uint32_t HOV_SUB_B = 0x00010000;
constexpr uint32_t TUP = 0x00020000;
constexpr uint32_t TDN = 0x00040000;
constexpr uint32_t GA = 0x00080000;
constexpr uint32_t STAB = 0x00100000;
constexpr uint32_t STAB_AX1 = 0x00200000;
constexpr uint32_t STAB_AX2 = 0x00400000;
constexpr uint32_t STAB_AX3 = 0x00800000;
constexpr uint32_t STAB_AX4 = 0x01000000;
constexpr uint32_t ATT = 0x02000000;
constexpr uint32_t HOV_SUB_A = 0x04000000;
constexpr uint32_t PANEL = 0x80000000;
}  // namespace bits

// Named masks.
namespace masks {
using namespace bits;
constexpr uint32_t lateral_group =
    HDG | LOC | LOC_AUX | LAT_SPARE3 | LAT_SPARE4 | VOR | VOR_AUX | NAV | HOV | HOV_SUB_B | TUP | TDN | HOV_SUB_A;
constexpr uint32_t vertical_group = VS | ALT | GS | GS_AUX | CRHT | HHT | GA;
constexpr uint32_t navigation_modes = LOC | LOC_AUX | LAT_SPARE3 | LAT_SPARE4 | VOR | VOR_AUX | NAV | GS | GS_AUX;
constexpr uint32_t tdn_arm_blockers = navigation_modes | ALT;
constexpr uint32_t lateral_arms = LOC | LOC_AUX | LAT_SPARE3 | LAT_SPARE4 | VOR | VOR_AUX | NAV;
constexpr uint32_t vertical_arms = ALT | GS | GS_AUX;
constexpr uint32_t mode_bits = 0x000FFFFF | HOV_SUB_A;
constexpr uint32_t persistent_bits = ~mode_bits;
constexpr uint32_t heading_keep = ~lateral_group;
constexpr uint32_t go_around_keep = HDG | lateral_arms | IAS | persistent_bits;
constexpr uint32_t stab_axes = STAB_AX1 | STAB_AX2 | STAB_AX3 | STAB_AX4;
constexpr uint32_t per_update_marks = PANEL | ATT;
constexpr uint32_t stab_set = STAB | stab_axes;
// Every bit that has a name, for tables that list the bits by name.
constexpr uint32_t named_bits = HDG | LOC | LOC_AUX | LAT_SPARE3 | LAT_SPARE4 | VOR | VOR_AUX | NAV | VS | ALT | GS |
                                GS_AUX | IAS | HOV | CRHT | HHT | HOV_SUB_B | TUP | TDN | GA | STAB | STAB_AX1 |
                                STAB_AX2 | STAB_AX3 | STAB_AX4 | ATT | HOV_SUB_A | PANEL;
// Selections of the annunciator texts.
constexpr uint32_t ias_window = IAS | GA;
constexpr uint32_t vertical_window = IAS | HOV | CRHT | GA;
// Requests HOV engage writes into `armed`.
constexpr uint32_t hover_requests = HDG | HOV_SUB_B | STAB_AX1 | STAB_AX3;
// The two exact hover states of the lateral group in which a lateral beep nudges the hover speed.
constexpr uint32_t hover_with_sub_a = HOV | HOV_SUB_A;
constexpr uint32_t hover_with_sub_b = HOV | HOV_SUB_B;
}  // namespace masks

static_assert(masks::lateral_group == 0x040720FF);
static_assert(masks::vertical_group == 0x0008CF00);
static_assert(masks::navigation_modes == 0x00000CFE);
static_assert(masks::tdn_arm_blockers == 0x00000EFE);
static_assert(masks::lateral_arms == 0x000000FE);
static_assert(masks::vertical_arms == 0x00000E00);
static_assert(masks::mode_bits == 0x040FFFFF);
static_assert(masks::persistent_bits == 0xFBF00000);
static_assert(masks::heading_keep == 0xFBF8DF00);
static_assert(masks::go_around_keep == 0xFBF010FF);
static_assert(masks::stab_axes == 0x01E00000);
static_assert(masks::per_update_marks == 0x82000000);
static_assert(masks::stab_set == 0x01F00000);
static_assert(masks::named_bits == 0x87FFFFFF);
static_assert(masks::ias_window == 0x00081000);
static_assert(masks::vertical_window == 0x00087000);
static_assert(masks::hover_requests == 0x00A10001);
static_assert((masks::hover_with_sub_a | masks::stab_set) == 0x05F02000);

}  // namespace afcp
