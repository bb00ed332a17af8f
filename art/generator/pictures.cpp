#include "art/generator/pictures.h"

#include <algorithm>

#include "variants/variant.h"

namespace art {

namespace {

// The companions of the tapes: the windows the host shows them through, plain (1,1,1).
constexpr int kForeAftWindowWidth = 58, kForeAftWindowHeight = 178, kLateralWindowWidth = 178,
              kLateralWindowHeight = 57;
// The plain black roots of "Annunciator-T" and of the seven 32 mm gauges.
constexpr int kGlassWidth = 614, kGlassHeight = 132, kSelectSize = 32;

}  // namespace

std::vector<Picture> pictures() {
    std::vector<Picture> p = afcp_pictures();
    p.push_back({bitmap::annunciator_bezel, 24, annunciator_bezel()});
    p.push_back({uint16_t(afcp::Variant::annunciator_t_root_bitmap), 24, Canvas(kGlassWidth, kGlassHeight, kBlack)});
    p.push_back({uint16_t(afcp::Variant::select_gauge_root_bitmap), 8, Canvas(kSelectSize, kSelectSize, kBlack)});
    p.push_back({bitmap::ground_speed_face, 24, ground_speed_face()});
    p.push_back({bitmap::fore_aft_tape, 24, fore_aft_tape()});
    p.push_back({bitmap::fore_aft_tape + 1, 8, Canvas(kForeAftWindowWidth, kForeAftWindowHeight, kWindow)});
    p.push_back({bitmap::lateral_tape, 24, lateral_tape()});
    p.push_back({bitmap::lateral_tape + 1, 8, Canvas(kLateralWindowWidth, kLateralWindowHeight, kWindow)});
    std::sort(p.begin(), p.end(), [](const Picture& a, const Picture& b) { return a.id < b.id; });
    return p;
}

}  // namespace art
