// The bitmap resource ids of both modules, written once: the element trees, the variants, the resource scripts
// (layout/*.rc) and the artwork take them from here. The ids are plain #defines so that the resource compiler
// reads them too; it defines RC_INVOKED and skips the C++ names at the end.
//
// The host draws image n of an image selector from the selector's bitmap id + n, and the window of a moving
// image is its strip's id + 1.
#pragma once

// Both modules.
#define AFCP_BITMAP_AFCP_FACE 0x1000
#define AFCP_BITMAP_ANNUNCIATOR_BEZEL 0x1050
#define AFCP_BITMAP_GS_FACE 0x2100
#define AFCP_BITMAP_FORE_AFT_TAPE 0x2110
#define AFCP_BITMAP_FORE_AFT_WINDOW (AFCP_BITMAP_FORE_AFT_TAPE + 1)
#define AFCP_BITMAP_LATERAL_TAPE 0x2120
#define AFCP_BITMAP_LATERAL_WINDOW (AFCP_BITMAP_LATERAL_TAPE + 1)

// korstpanel's lamps and feedback images.
#define AFCP_BITMAP_STAB_LAMP 0x1010
#define AFCP_BITMAP_NAVIGATION_LAMP 0x1020
#define AFCP_BITMAP_KNOB_COUNTER_CLOCKWISE 0x1030
#define AFCP_BITMAP_KNOB_CLOCKWISE (AFCP_BITMAP_KNOB_COUNTER_CLOCKWISE + 1)
#define AFCP_BITMAP_PRESSED_BUTTON 0x1040

// The two pure black roots, whose ids differ between the modules: that of "Annunciator-T" (614 x 132) and that
// of the seven 32 mm gauges (32 x 32).
#define AFCP_BITMAP_KORST_ANNUNCIATOR_T_ROOT 0x1055
#define AFCP_BITMAP_KORST_SELECT_ROOT 0x1060
#define AFCP_BITMAP_BREVANE_ANNUNCIATOR_T_ROOT 0x1060
#define AFCP_BITMAP_BREVANE_SELECT_ROOT 0x1100

#ifndef RC_INVOKED
#include <cstdint>

namespace afcp::bitmap {
constexpr int32_t afcp_face = AFCP_BITMAP_AFCP_FACE;
constexpr int32_t annunciator_bezel = AFCP_BITMAP_ANNUNCIATOR_BEZEL;
constexpr int32_t gs_face = AFCP_BITMAP_GS_FACE;
constexpr int32_t fore_aft_tape = AFCP_BITMAP_FORE_AFT_TAPE;
constexpr int32_t lateral_tape = AFCP_BITMAP_LATERAL_TAPE;
constexpr int32_t stab_lamp = AFCP_BITMAP_STAB_LAMP;
constexpr int32_t navigation_lamp = AFCP_BITMAP_NAVIGATION_LAMP;
constexpr int32_t turned_knob = AFCP_BITMAP_KNOB_COUNTER_CLOCKWISE;  // image 0; image 1 turned clockwise
constexpr int32_t pressed_button = AFCP_BITMAP_PRESSED_BUTTON;
constexpr int32_t korst_annunciator_t_root = AFCP_BITMAP_KORST_ANNUNCIATOR_T_ROOT;
constexpr int32_t korst_select_root = AFCP_BITMAP_KORST_SELECT_ROOT;
constexpr int32_t brevane_annunciator_t_root = AFCP_BITMAP_BREVANE_ANNUNCIATOR_T_ROOT;
constexpr int32_t brevane_select_root = AFCP_BITMAP_BREVANE_SELECT_ROOT;
}  // namespace afcp::bitmap
#endif
