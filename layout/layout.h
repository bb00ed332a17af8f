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

// The number of mouse areas of each gauge; every list's rows are counted against it while compiling.
namespace area_count {
constexpr size_t afcp = Variant::afcp_area_count;
constexpr size_t ias_select = 2, alt_select = 2, alt_vs_select = 2, ap_trim = 5;
constexpr size_t high_modes = 1, go_around = 1, stab = 1;
constexpr size_t annunciator = 0, annunciator_t = 0, gs = 6;
}  // namespace area_count

#define AFCP_GAUGE_LISTS(gauge)              \
    extern ElementHead* gauge##_elements[2]; \
    extern MouseList<area_count::gauge> gauge##_mouse
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

// The handler of an area that does nothing (not a named command).
int32_t AFCP_STDCALL inert_handler(int32_t, int32_t);

// The text background the module holds for "Annunciator-T".
constexpr uint32_t annunciator_t_background = 0x00020202;

}  // namespace afcp::layout
