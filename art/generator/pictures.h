// Every picture of one module (the variant this generator is built for), drawn where the module's records put
// the controls, windows and boxes.
#pragma once

#include <cstdint>
#include <vector>

#include "art/kit/canvas.h"

namespace art {

// The module's bitmaps, by resource id.
namespace bitmap {
constexpr uint16_t afcp_face = 0x1000, stab_lamp = 0x1010, navigation_lamp = 0x1020, turned_knob = 0x1030,
                   pressed_button = 0x1040, annunciator_bezel = 0x1050, ground_speed_face = 0x2100,
                   fore_aft_tape = 0x2110, lateral_tape = 0x2120;
}  // namespace bitmap

struct Picture {
    uint16_t id;               // bitmap resource id
    int depth;                 // 8 (256-entry palette) or 24
    Canvas canvas;             // as drawn
    std::vector<Rgb> plain{};  // colours that must stay exact (and only where drawn) in an 8-bit palette
};

// The module's bitmaps in id order.
std::vector<Picture> pictures();

// The AFCP face and its overlays (faces.cpp): the face first, then the lamps, turned knobs and pressed button
// the variant draws over it.
std::vector<Picture> afcp_pictures();

// The annunciator bezel, the ground-speed face and its tapes (instruments.cpp), the same in both modules.
Canvas annunciator_bezel();
Canvas ground_speed_face();
Canvas fore_aft_tape();
Canvas lateral_tape();

}  // namespace art
