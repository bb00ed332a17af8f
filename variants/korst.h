// The Korst helicopter's panel: korstpanel.dll.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/area_table.h"
#include "layout/bitmaps.h"

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

    // Its rows of the bitmap manifest; the roots of the seven 32 mm gauges and of "Annunciator-T".
    static constexpr bitmap::Module bitmaps = bitmap::Module::korst;
    static constexpr int32_t select_gauge_root_bitmap = bitmap::in(bitmaps, "select_root").id;
    static constexpr int32_t annunciator_t_root_bitmap = bitmap::in(bitmaps, "annunciator_t_root").id;

    // "Annunciator-T" text background from the gauge's parameter string.
    static constexpr bool annunciator_t_colour_from_parameter = true;

    // AFCP face with lamps, pressed buttons and turned knobs.
    static constexpr bool afcp_has_feedback_images = true;

    // "AFCP" mouse areas, in list order. Each knob: a push area over its upper half, two arrows under it.
    static constexpr size_t afcp_area_count = 22;
    static constexpr layout::AreaRow afcp_areas[] = {
        layout::push_area(302, 85, 40, 40, "STAB"),
        layout::push_area(95, 195, 54, 27, "CRHT"),
        layout::decrease_area(95, 222, 27, 27, "CRHT_DOWN"),
        layout::increase_area(122, 222, 27, 27, "CRHT_UP"),
        layout::push_area(293, 195, 54, 27, "HOV"),
        layout::decrease_area(293, 222, 27, 27, "HOV_DOWN"),
        layout::increase_area(320, 222, 27, 27, "HOV_UP"),
        layout::push_area(382, 74, 54, 27, "HDG"),
        layout::decrease_area(382, 101, 27, 27, "HDG_LEFT"),
        layout::increase_area(409, 101, 27, 27, "HDG_RIGHT"),
        layout::push_area(190, 74, 54, 27, "ALTA"),
        layout::decrease_area(190, 101, 27, 27, "ALTA_DECREASE"),
        layout::increase_area(217, 101, 27, 27, "ALTA_INCREASE"),
        layout::push_area(609, 74, 54, 27, "VS"),
        layout::decrease_area(609, 101, 27, 27, "VS_DECREASE"),
        layout::increase_area(636, 101, 27, 27, "VS_INCREASE"),
        layout::push_area(385, 199, 74, 48, "NAV"),
        layout::push_area(184, 199, 74, 48, "TDN"),
        layout::push_area(489, 199, 74, 48, "APP"),
        layout::push_area(594, 199, 74, 48, "GS"),
        layout::push_area(489, 78, 74, 48, "IAS"),
        layout::push_area(85, 78, 74, 48, "ALT"),
    };
};

}  // namespace afcp::variants
