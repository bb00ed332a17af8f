// Element callbacks of the cockpit displays: the six annunciator texts, the two lamps, the pressed-button and
// turned-knob images and the two ground-speed tape markers.
#pragma once

#include "frame/abi.h"
#include "frame/host.h"
#include "frame/module_state.h"

namespace afcp::display {

// Annunciator texts: each writes its element's text and returns 0.0.
double AFCP_STDCALL upper_left_text(TextElement* element);
double AFCP_STDCALL upper_centre_text(TextElement* element);
double AFCP_STDCALL upper_right_text(TextElement* element);
double AFCP_STDCALL lower_left_text(TextElement* element);
double AFCP_STDCALL lower_centre_text(TextElement* element);
double AFCP_STDCALL lower_right_text(TextElement* element);

// Lamps: -1 draws nothing, 0 draws the triangle.
double AFCP_STDCALL stab_lamp(ElementHead* element);
double AFCP_STDCALL navigation_lamp(ElementHead* element);

// A pressed button shows while its countdown runs down from 5: 0 (pressed) or -1 (released).
template <Feedback countdown>
double AFCP_STDCALL button_image(ElementHead*) {
    int8_t& c = module.countdown[countdown];
    if (c > 0) {
        --c;
        return 0.0;
    }
    return -1.0;
}

// A turned knob: 0 turned counter-clockwise (decrease side), 1 clockwise (increase side), -1 at rest.
template <Feedback countdown>
double AFCP_STDCALL knob_image(ElementHead*) {
    int8_t& c = module.countdown[countdown];
    if (c < 0) {
        ++c;
        return 0.0;
    }
    if (c > 0) {
        --c;
        return 1.0;
    }
    return -1.0;
}

// Ground-speed tapes: offsets in pixels; while a setting is not 0 they also write the settings into the block
// as hover speeds in feet per second.
double AFCP_STDCALL fore_aft_marker(ElementHead* element);
double AFCP_STDCALL lateral_marker(ElementHead* element);

}  // namespace afcp::display
