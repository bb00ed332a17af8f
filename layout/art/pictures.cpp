#include "layout/art/pictures.h"

namespace art {

namespace {

constexpr Rgb kStabLamp{255, 214, 30};  // yellow
constexpr Rgb kNavLamp{40, 230, 240};   // cyan

// The ground-speed face, its two tapes and their window companions: the same in both modules.
void add_ground_speed_pictures(std::vector<Picture>& p) {
    p.push_back({0x2100, 24, ground_speed_face()});
    p.push_back({0x2110, 24, fore_aft_tape()});
    p.push_back({0x2111, 8, Canvas(58, 178, kWindow)});
    p.push_back({0x2120, 24, lateral_tape()});
    p.push_back({0x2121, 8, Canvas(178, 57, kWindow)});
}

}  // namespace

std::vector<Picture> korst_pictures() {
    std::vector<Picture> p;
    p.push_back({0x1000, 8, korst_afcp_face()});
    p.push_back({0x1010, 8, lamp(kStabLamp)});
    p.push_back({0x1020, 8, lamp(kNavLamp)});
    p.push_back({0x1030, 8, turned_knob(-30)});
    p.push_back({0x1031, 8, turned_knob(30)});
    p.push_back({0x1040, 8, pressed_button()});
    p.push_back({0x1050, 24, annunciator_bezel()});
    p.push_back({0x1055, 24, Canvas(614, 132, kBlack)});
    p.push_back({0x1060, 8, Canvas(32, 32, kBlack)});
    add_ground_speed_pictures(p);
    return p;
}

// The Brevane module has its own face; its black roots carry other ids (0x1060 the 614 x 132 one, 0x1100 the
// 32 x 32 one); the annunciator and ground-speed pictures are the same as the Korst ones.
std::vector<Picture> brevane_pictures() {
    std::vector<Picture> p;
    p.push_back({0x1000, 8, brevane_afcp_face()});
    p.push_back({0x1050, 24, annunciator_bezel()});
    p.push_back({0x1060, 24, Canvas(614, 132, kBlack)});
    p.push_back({0x1100, 8, Canvas(32, 32, kBlack)});
    add_ground_speed_pictures(p);
    return p;
}

}  // namespace art
