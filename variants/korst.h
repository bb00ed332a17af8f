// The Korst helicopter's panel: korstpanel.dll.
#pragma once

#include <cstdint>

namespace afcp::variants {

struct Korst {
    static constexpr const char* module_name = "korstpanel";

    // Per-update step: a power drop clears STAB alone; the STAB axes follow STAB.
    static constexpr bool power_drop_clears_all = false;
    static constexpr bool stab_follows_modes = false;

    // Mode commands.
    static constexpr bool engage_sets_stab = false;          // ALT, HDG, VS, CRHT, IAS, HOV engage and TDN arm
    static constexpr bool tdn_hov_need_stab_ax1 = true;      // TDN and HOV stop while STAB_AX1 is clear
    static constexpr bool hov_engages_hht_always = false;    // HHT only while STAB_AX3 is engaged
    static constexpr bool nav_reads_receiver_flags = false;  // NAV with source flag 0 arms VOR

    // Root bitmaps: the seven 32 mm gauges and "Annunciator-T".
    static constexpr int32_t select_gauge_root_bitmap = 0x1060;
    static constexpr int32_t annunciator_t_root_bitmap = 0x1055;

    // "Annunciator-T" text background from the gauge's parameter string.
    static constexpr bool annunciator_t_colour_from_parameter = true;

    // AFCP face with lamps, pressed buttons and turned knobs.
    static constexpr bool afcp_has_feedback_images = true;
};

}  // namespace afcp::variants
