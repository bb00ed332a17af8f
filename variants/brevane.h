// The Brevane helicopter's panel: brevanepanel.dll.
#pragma once

#include <cstdint>

namespace afcp::variants {

struct Brevane {
    static constexpr const char* module_name = "brevanepanel";

    // Per-update step: a power drop leaves only PANEL; STAB is on exactly while a mode is engaged or TDN armed.
    static constexpr bool power_drop_clears_all = true;
    static constexpr bool stab_follows_modes = true;

    // Mode commands.
    static constexpr bool engage_sets_stab = true;
    static constexpr bool tdn_hov_need_stab_ax1 = false;
    static constexpr bool hov_engages_hht_always = true;
    static constexpr bool nav_reads_receiver_flags = true;  // NAV with source flag 0 reads the receiver flags

    // Root bitmaps: the seven 32 mm gauges and "Annunciator-T".
    static constexpr int32_t select_gauge_root_bitmap = 0x1100;
    static constexpr int32_t annunciator_t_root_bitmap = 0x1060;

    // "Annunciator-T" keeps its fixed background 0x00020202 whatever the parameter.
    static constexpr bool annunciator_t_colour_from_parameter = false;

    // The AFCP face alone: no lamps, no pressed buttons, no turned knobs.
    static constexpr bool afcp_has_feedback_images = false;
};

}  // namespace afcp::variants
