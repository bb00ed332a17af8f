// Every picture of the two modules, drawn from the layout of their gauges.
#pragma once

#include <cstdint>
#include <vector>

#include "layout/art/canvas.h"

namespace art {

struct Picture {
    uint16_t id;  // bitmap resource id
    int depth;    // 8 (256-entry palette) or 24
    Canvas canvas;
};

// The 14 bitmaps of korstpanel and the 9 of brevanepanel, in id order.
std::vector<Picture> korst_pictures();
std::vector<Picture> brevane_pictures();

// The pictures, one function each (afcp_face.cpp, instruments.cpp).
Canvas korst_afcp_face();
Canvas brevane_afcp_face();
Canvas lamp(Rgb lit);
Canvas turned_knob(double degrees_clockwise);
Canvas pressed_button();
Canvas annunciator_bezel();
Canvas ground_speed_face();
Canvas fore_aft_tape();
Canvas lateral_tape();

}  // namespace art
