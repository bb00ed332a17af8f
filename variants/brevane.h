// The Brevane helicopter's panel: brevanepanel.dll.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/simulator.h"
#include "layout/area_table.h"
#include "layout/bitmaps.h"

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

    // Its rows of the bitmap manifest; the roots of the seven 32 mm gauges and of "Annunciator-T".
    static constexpr bitmap::Module bitmaps = bitmap::Module::brevane;
    static constexpr int32_t select_gauge_root_bitmap = bitmap::in(bitmaps, "select_root").id;
    static constexpr int32_t annunciator_t_root_bitmap = bitmap::in(bitmaps, "annunciator_t_root").id;

    // "Annunciator-T" keeps its fixed background 0x00020202 whatever the parameter.
    static constexpr bool annunciator_t_colour_from_parameter = false;

    // The AFCP face alone: no lamps, no pressed buttons, no turned knobs.
    static constexpr bool afcp_has_feedback_images = false;

    // "AFCP" mouse areas of the 640 x 143 face, in list order. Knobs: an 18 px push area over the upper half and
    // two 18 x 18 arrows under it. BARO, UPLIM, CRS and DH send simulator key events; FND CPL does nothing.
    static constexpr size_t afcp_area_count = 30;
    static constexpr layout::AreaRow afcp_areas[] = {
        layout::push_area(416, 34, 36, 18, "CRHT"),
        layout::decrease_area(416, 52, 18, 18, "CRHT_DOWN"),
        layout::increase_area(434, 52, 18, 18, "CRHT_UP"),
        layout::push_area(416, 95, 36, 18, "HOV"),
        layout::decrease_area(416, 113, 18, 18, "HOV_DOWN"),
        layout::increase_area(434, 113, 18, 18, "HOV_UP"),
        layout::push_area(115, 34, 36, 18, "HDG"),
        layout::decrease_area(115, 52, 18, 18, "HDG_LEFT"),
        layout::increase_area(133, 52, 18, 18, "HDG_RIGHT"),
        layout::push_area(259, 34, 36, 18, "ALTA"),
        layout::decrease_area(259, 52, 18, 18, "ALTA_DECREASE"),
        layout::increase_area(277, 52, 18, 18, "ALTA_INCREASE"),
        layout::push_area(187, 34, 36, 18, "VS"),
        layout::decrease_area(187, 52, 18, 18, "VS_DECREASE"),
        layout::increase_area(205, 52, 18, 18, "VS_INCREASE"),
        layout::push_area(42, 34, 36, 18, "IAS"),
        layout::decrease_area(42, 52, 18, 18, "IAS_DECREASE"),
        layout::increase_area(60, 52, 18, 18, "IAS_INCREASE"),
        layout::push_area(114, 90, 36, 30, "NAV"),
        layout::push_area(337, 90, 74, 48, "TDN"),
        layout::push_area(337, 29, 74, 48, "ALT"),
        layout::inert_push_area(259, 90, 74, 48),
        layout::key_event_area(489, 34, 18, 36, layout::cursor::decrease, event::baro_knob_left),
        layout::key_event_area(507, 34, 18, 36, layout::cursor::increase, event::baro_knob_right),
        layout::key_event_area(561, 34, 18, 36, layout::cursor::decrease, event::uplim_knob),
        layout::key_event_area(579, 34, 18, 36, layout::cursor::increase, event::uplim_knob),
        layout::key_event_area(489, 95, 18, 36, layout::cursor::decrease, event::crs_knob_left),
        layout::key_event_area(507, 95, 18, 36, layout::cursor::increase, event::crs_knob_right),
        layout::key_event_area(561, 95, 18, 36, layout::cursor::decrease, event::dh_knob_left),
        layout::key_event_area(579, 95, 18, 36, layout::cursor::increase, event::dh_knob_right),
    };
};

}  // namespace afcp::variants
