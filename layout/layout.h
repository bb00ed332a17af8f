// Every gauge's element list and mouse-area list, as static records the host reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frame/abi.h"
#include "frame/host.h"
#include "variants/variant.h"

namespace afcp::layout {

// A mouse-area list: the parent record, the areas, the parent end and the list end.
template <size_t areas>
using MouseList = std::array<MouseArea, areas + 3>;

constexpr size_t afcp_area_count = std::size(Variant::afcp_areas);

#define AFCP_GAUGE_LISTS(gauge, areas)       \
    extern ElementHead* gauge##_elements[2]; \
    extern MouseList<areas> gauge##_mouse
AFCP_GAUGE_LISTS(afcp, afcp_area_count);
AFCP_GAUGE_LISTS(ias_select, 2);
AFCP_GAUGE_LISTS(alt_select, 2);
AFCP_GAUGE_LISTS(alt_vs_select, 2);
AFCP_GAUGE_LISTS(ap_trim, 5);
AFCP_GAUGE_LISTS(high_modes, 1);
AFCP_GAUGE_LISTS(go_around, 1);
AFCP_GAUGE_LISTS(stab, 1);
AFCP_GAUGE_LISTS(annunciator, 0);
AFCP_GAUGE_LISTS(annunciator_t, 0);
AFCP_GAUGE_LISTS(gs, 6);
#undef AFCP_GAUGE_LISTS

// The handler of an area that does nothing (not a named command).
int32_t AFCP_STDCALL inert_handler(int32_t, int32_t);

// The text background the module holds for "Annunciator-T".
constexpr uint32_t annunciator_t_background = 0x00020202;

}  // namespace afcp::layout
