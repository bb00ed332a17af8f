// Every picture of one module (the variant this generator is built for), drawn where the module's records put
// the controls, windows and boxes, at the sizes and depths of the bitmap manifest (layout/bitmaps.inc).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "art/kit/canvas.h"
#include "layout/bitmaps.h"
#include "variants/variant.h"

namespace art {

namespace bitmap = afcp::bitmap;

// This module's row of the manifest for `name`.
consteval const bitmap::Entry& manifest_row(std::string_view name) { return bitmap::in(afcp::Variant::bitmaps, name); }

struct Picture {
    int32_t id;                // bitmap resource id
    int depth;                 // 8 (256-entry palette) or 24, as the manifest gives it
    Canvas canvas;             // as drawn
    std::vector<Rgb> plain{};  // colours that must stay exact (and only where drawn) in an 8-bit palette
};

// The module's bitmaps in the manifest's order (id order), each checked against its row.
std::vector<Picture> pictures();

// The AFCP face and its overlays (faces.cpp): the face first, then the lamps, turned knobs and pressed button
// the variant draws over it, by id; pictures() gives them their depths.
std::vector<Picture> afcp_pictures();

// The annunciator bezel, the ground-speed face and its tapes (instruments.cpp), the same in both modules, at the
// sizes given.
Canvas annunciator_bezel(int width, int height);
Canvas ground_speed_face(int width, int height);
Canvas fore_aft_tape(int width, int height);
Canvas lateral_tape(int width, int height);

}  // namespace art
