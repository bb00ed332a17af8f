// Mouse-area lists of the eleven gauges: a parent record, the areas in order, the parent end and the list end.
// Areas name their command; the handler comes from the command table.
#include "layout/area_table.h"
#include "layout/layout.h"
#include "modes/command_table.h"

namespace afcp::layout {

int32_t AFCP_STDCALL inert_handler(int32_t, int32_t) { return 0; }

namespace {

consteval MouseArea frame_record(MouseRecordType type) {
    MouseArea a{};
    a.type = type;
    a.cursor = cursor::none;
    return a;
}

consteval MouseArea area_record(const AreaRow& area) {
    MouseArea a{};
    a.type = kArea;
    a.x = area.x;
    a.y = area.y;
    a.width = area.width;
    a.height = area.height;
    a.cursor = area.cursor;
    a.mouse_flags = area.mouse_flags;
    a.key_event = area.key_event;
    a.handler = area.command != nullptr ? command(area.command) : area.key_event == 0 ? inert_handler : nullptr;
    return a;
}

// A gauge's list from its rows, which the compiler counts against the gauge's number of areas.
template <size_t areas, size_t rows_given>
consteval MouseList<areas> mouse_list(const AreaRow (&rows)[rows_given]) {
    static_assert(rows_given == areas, "a gauge's mouse-area rows are as many as its areas");
    MouseList<areas> list{};
    list[0] = frame_record(kParent);
    for (size_t i = 0; i < rows_given; ++i) list[i + 1] = area_record(rows[i]);
    list[areas + 1] = frame_record(kParentEnd);
    list[areas + 2] = frame_record(kListEnd);
    return list;
}

consteval MouseList<0> empty_list() {
    return {frame_record(kParent), frame_record(kParentEnd), frame_record(kListEnd)};
}

// The 32 mm gauges cover their whole 32 x 32 face.
constexpr AreaRow ias_select_areas[] = {increase_area(0, 0, 32, 16, "IAS_INCREASE"),
                                        decrease_area(0, 16, 32, 16, "IAS_DECREASE")};
constexpr AreaRow alt_select_areas[] = {increase_area(0, 0, 32, 16, "ALT_INCREASE"),
                                        decrease_area(0, 16, 32, 16, "ALT_DECREASE")};
constexpr AreaRow alt_vs_select_areas[] = {increase_area(0, 0, 32, 16, "ALT_VS_INCREASE"),
                                           decrease_area(0, 16, 32, 16, "ALT_VS_DECREASE")};
// A cross of four 12 x 12 arrows (up, down, left, right) around an 8 x 8 centre; neighbouring arrows share a
// 2 x 2 corner.
constexpr AreaRow ap_trim_areas[] = {
    increase_area(10, 0, 12, 12, "TRIM_UP"),
    decrease_area(10, 20, 12, 12, "TRIM_DOWN"),
    decrease_area(0, 10, 12, 12, "TRIM_LEFT"),
    increase_area(20, 10, 12, 12, "TRIM_RIGHT"),
    {12, 12, 8, 8, cursor::push, mouse_flags::step, "TRIM_CENTER", 0},
};
constexpr AreaRow high_modes_areas[] = {push_area(0, 0, 32, 32, "FD_DISENGAGE")};
constexpr AreaRow go_around_areas[] = {push_area(0, 0, 32, 32, "GO_AROUND")};
constexpr AreaRow stab_areas[] = {push_area(0, 0, 32, 32, "STAB")};
// Each window of the ground-speed face in three parts: the middle resets, the ends step.
constexpr AreaRow gs_areas[] = {
    push_area(145, 100, 58, 58, "GS_RESET_FB"),   decrease_area(145, 158, 58, 60, "GS_BACK"),
    increase_area(145, 40, 58, 60, "GS_FORWARD"), push_area(391, 101, 58, 58, "GS_RESET_LR"),
    decrease_area(331, 101, 60, 58, "GS_LEFT"),   increase_area(449, 101, 60, 58, "GS_RIGHT"),
};

}  // namespace

#define AFCP_MOUSE_LIST(gauge, rows) \
    constinit MouseList<area_count::gauge> gauge##_mouse = mouse_list<area_count::gauge>(rows)
AFCP_MOUSE_LIST(afcp, Variant::afcp_areas);
AFCP_MOUSE_LIST(ias_select, ias_select_areas);
AFCP_MOUSE_LIST(alt_select, alt_select_areas);
AFCP_MOUSE_LIST(alt_vs_select, alt_vs_select_areas);
AFCP_MOUSE_LIST(ap_trim, ap_trim_areas);
AFCP_MOUSE_LIST(high_modes, high_modes_areas);
AFCP_MOUSE_LIST(go_around, go_around_areas);
AFCP_MOUSE_LIST(stab, stab_areas);
AFCP_MOUSE_LIST(gs, gs_areas);
#undef AFCP_MOUSE_LIST
constinit MouseList<area_count::annunciator> annunciator_mouse = empty_list();
constinit MouseList<area_count::annunciator_t> annunciator_t_mouse = empty_list();

}  // namespace afcp::layout
