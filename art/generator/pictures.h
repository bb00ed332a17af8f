// Every picture of one module (the variant this generator is built for), drawn where the module's records put
// the controls, windows and boxes.
#pragma once

#include <cstdint>
#include <vector>

#include "art/kit/canvas.h"
#include "layout/bitmap_ids.h"

namespace art {

// The module's bitmaps, by resource id, as the module's records name them.
namespace bitmap {
constexpr uint16_t afcp_face = afcp::bitmap::afcp_face, stab_lamp = afcp::bitmap::stab_lamp,
                   navigation_lamp = afcp::bitmap::navigation_lamp, turned_knob = afcp::bitmap::turned_knob,
                   pressed_button = afcp::bitmap::pressed_button, annunciator_bezel = afcp::bitmap::annunciator_bezel,
                   ground_speed_face = afcp::bitmap::gs_face, fore_aft_tape = afcp::bitmap::fore_aft_tape,
                   lateral_tape = afcp::bitmap::lateral_tape;
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
