// Every gauge's element list and mouse-area list, as static records the host reads.
#pragma once

#include <cstdint>

#include "frame/host.h"

namespace afcp::layout {

#define AFCP_GAUGE_LISTS(gauge)              \
    extern ElementHead* gauge##_elements[2]; \
    extern MouseArea gauge##_mouse[]
AFCP_GAUGE_LISTS(afcp);
AFCP_GAUGE_LISTS(ias_select);
AFCP_GAUGE_LISTS(alt_select);
AFCP_GAUGE_LISTS(alt_vs_select);
AFCP_GAUGE_LISTS(ap_trim);
AFCP_GAUGE_LISTS(high_modes);
AFCP_GAUGE_LISTS(go_around);
AFCP_GAUGE_LISTS(stab);
AFCP_GAUGE_LISTS(annunciator);
AFCP_GAUGE_LISTS(annunciator_t);
AFCP_GAUGE_LISTS(gs);
#undef AFCP_GAUGE_LISTS

// The text background the module holds for "Annunciator-T".
constexpr uint32_t annunciator_t_background = 0x00020202;

}  // namespace afcp::layout
