#include "art/generator/pictures.h"

#include <cstdio>
#include <cstdlib>

namespace art {

namespace {

[[noreturn]] void unexpected(const char* what, int32_t id) {
    std::fprintf(stderr, "artgen: %04X: %s\n", unsigned(id), what);
    std::exit(2);
}

// What a row's drawer makes of it; the AFCP face's pictures are drawn together, since they share pixels.
Picture draw(const bitmap::Entry& row, std::vector<Picture>& face) {
    using bitmap::Drawer;
    switch (row.drawer) {
    case Drawer::afcp_face:
    case Drawer::lamp:
    case Drawer::turned_knob:
    case Drawer::pressed_button:
        for (auto p = face.begin(); p != face.end(); ++p)
            if (p->id == row.id) {
                Picture found = std::move(*p);
                face.erase(p);
                found.depth = row.depth;
                return found;
            }
        unexpected("the face's pictures lack it", row.id);
    case Drawer::annunciator_bezel:
        return {row.id, row.depth, annunciator_bezel(row.width, row.height)};
    case Drawer::gs_face:
        return {row.id, row.depth, ground_speed_face(row.width, row.height)};
    case Drawer::fore_aft_tape:
        return {row.id, row.depth, fore_aft_tape(row.width, row.height)};
    case Drawer::lateral_tape:
        return {row.id, row.depth, lateral_tape(row.width, row.height)};
    case Drawer::window:
        return {row.id, row.depth, Canvas(row.width, row.height, kWindow)};
    case Drawer::black:
        return {row.id, row.depth, Canvas(row.width, row.height, kBlack)};
    }
    unexpected("no drawer", row.id);
}

}  // namespace

std::vector<Picture> pictures() {
    std::vector<Picture> face = afcp_pictures();
    std::vector<Picture> p;
    for (const bitmap::Entry& row : bitmap::manifest) {
        if (!bitmap::carried_by(row, afcp::Variant::bitmaps)) continue;
        Picture picture = draw(row, face);
        if (picture.canvas.width() != row.width || picture.canvas.height() != row.height)
            unexpected("drawn at another size than the manifest's", row.id);
        if (picture.depth != row.depth) unexpected("drawn at another depth than the manifest's", row.id);
        p.push_back(std::move(picture));
    }
    if (!face.empty()) unexpected("a picture of the face has no row in the manifest", face.front().id);
    return p;
}

}  // namespace art
