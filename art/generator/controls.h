// Where the controls, lamps, windows and text boxes of the gauges are, read from the module's own records: the
// AFCP area rows of the variant, the element trees and the mouse-area lists the host reads. The artwork takes
// every position from here, so a picture cannot disagree with the records that place it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "art/generator/paint.h"

namespace art {

enum class ControlKind { button, knob };

// A control of the AFCP face: a button (one push area) or a knob (a push area over its decrease and increase
// areas, or a decrease and an increase area side by side).
struct Control {
    ControlKind kind;
    Rect block;        // the union of its areas
    std::string name;  // its first area's command, "#<event>" for a key event, "" for an area that does nothing
};

// The AFCP face's controls, in the order of the area rows.
std::vector<Control> afcp_controls();

// Where the AFCP tree draws image `bitmap` (a w x h picture): one box per element that shows it.
std::vector<Rect> afcp_images(int32_t bitmap, int w, int h);

// The text boxes of the "Annunciator" gauge.
std::vector<Rect> annunciator_boxes();

// The windows of the "GS" face: each the union of the mouse areas that step, reset and step back its setting.
std::vector<Rect> ground_speed_windows();

// A tape's scale: the offset its marker callback gives at every setting the face's areas can reach, in knots
// (one step of a setting is one knot), lowest first.
struct Reading {
    int knots;
    double offset;
};
struct TapeScale {
    std::vector<Reading> readings;
    Rect window;
    bool increase_first;  // the area that raises the setting lies above (left of) the window's middle
};
TapeScale fore_aft_scale();
TapeScale lateral_scale();

}  // namespace art
