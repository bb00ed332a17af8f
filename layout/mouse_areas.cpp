// Mouse-area lists of the eleven gauges: a parent record, the areas in order, the parent end and the list end.
#include "layout/layout.h"
#include "modes/command_table.h"
#include "variants/variant.h"

namespace afcp::layout {

namespace {

constexpr MouseArea frame_record(MouseRecordType type) {
    MouseArea a{};
    a.type = type;
    a.cursor = -1;
    return a;
}
constexpr MouseArea parent = frame_record(kParent);
constexpr MouseArea parent_end = frame_record(kParentEnd);
constexpr MouseArea list_end = frame_record(kListEnd);

}  // namespace

MouseArea afcp_mouse[] = {parent, parent_end, list_end};
MouseArea ias_select_mouse[] = {parent, parent_end, list_end};
MouseArea alt_select_mouse[] = {parent, parent_end, list_end};
MouseArea alt_vs_select_mouse[] = {parent, parent_end, list_end};
MouseArea ap_trim_mouse[] = {parent, parent_end, list_end};
MouseArea high_modes_mouse[] = {parent, parent_end, list_end};
MouseArea go_around_mouse[] = {parent, parent_end, list_end};
MouseArea stab_mouse[] = {parent, parent_end, list_end};
MouseArea annunciator_mouse[] = {parent, parent_end, list_end};
MouseArea annunciator_t_mouse[] = {parent, parent_end, list_end};
MouseArea gs_mouse[] = {parent, parent_end, list_end};

}  // namespace afcp::layout
