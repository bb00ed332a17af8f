// Lamps, pressed buttons, turned knobs and the ground-speed tapes.
#include <vector>

#include "display/display.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

using namespace bits;
using namespace display;

std::vector<double> values(ValueCallback callback, int calls) {
    std::vector<double> out;
    for (int i = 0; i < calls; ++i) out.push_back(callback(nullptr));
    return out;
}

class FeedbackImages : public ModuleTest {};

TEST_F(FeedbackImages, EachButtonShowsItsOwnPressForFiveUpdates) {
    const ValueCallback buttons[] = {&button_image<kFeedbackALT>, &button_image<kFeedbackTDN>,
                                     &button_image<kFeedbackNAV>, &button_image<kFeedbackAPP>,
                                     &button_image<kFeedbackGS>,  &button_image<kFeedbackIAS>};
    const std::vector<double> press = {0, 0, 0, 0, 0, -1, -1};
    for (int b = 0; b < 6; ++b) {
        module.countdown[b] = 5;  // no block attached: the press still shows
        for (int other = 0; other < 6; ++other) EXPECT_EQ(buttons[other](nullptr), other == b ? 0.0 : -1.0) << b;
        EXPECT_EQ(values(buttons[b], 6), (std::vector<double>{0, 0, 0, 0, -1, -1}));
    }
    module.countdown[kFeedbackALT] = 5;
    values(buttons[0], 3);
    module.countdown[kFeedbackALT] = 5;
    EXPECT_EQ(values(buttons[0], 7), press) << "a new press restarts the count";
}

TEST_F(FeedbackImages, KnobsShowTheSideTurnedAndReverseAtOnce) {
    const ValueCallback knobs[] = {&knob_image<kFeedbackCRHT>, &knob_image<kFeedbackALTA>, &knob_image<kFeedbackHOV>,
                                   &knob_image<kFeedbackHDG>, &knob_image<kFeedbackVS>};
    for (int k = 0; k < 5; ++k) {
        const int slot = kFeedbackCRHT + k;
        module.countdown[slot] = -5;
        EXPECT_EQ(values(knobs[k], 6), (std::vector<double>{0, 0, 0, 0, 0, -1})) << "knob " << k;
        module.countdown[slot] = 5;
        EXPECT_EQ(values(knobs[k], 6), (std::vector<double>{1, 1, 1, 1, 1, -1}));
        module.countdown[slot] = -5;
        values(knobs[k], 2);
        module.countdown[slot] = 5;
        EXPECT_EQ(values(knobs[k], 7), (std::vector<double>{1, 1, 1, 1, 1, -1, -1}));
        EXPECT_EQ(int{module.countdown[slot]}, 0);
    }
}

class Lamps : public ModuleTest {};

TEST_F(Lamps, StabLampShowsWhileStabIsOffOrNoBlock) {
    EXPECT_EQ(stab_lamp(nullptr), 0.0);
    StateBlock* block = attach();
    for (uint32_t engaged : {0u, masks::stab_axes | PANEL, ~STAB}) {
        block->engaged = engaged;
        EXPECT_EQ(stab_lamp(nullptr), 0.0) << engaged;
    }
    block->engaged = STAB;
    EXPECT_EQ(stab_lamp(nullptr), -1.0);
    // After an update with ALT engaged: STAB stays off in korstpanel, follows the mode in brevanepanel.
    block->engaged = ALT;
    update();
    if constexpr (Variant::stab_follows_modes) {
        EXPECT_EQ(stab_lamp(nullptr), -1.0);
    } else {
        EXPECT_EQ(stab_lamp(nullptr), 0.0);
    }
}

TEST_F(Lamps, NavigationLampFollowsEveryNavigationBitInEitherWord) {
    EXPECT_EQ(navigation_lamp(nullptr), -1.0);
    StateBlock* block = attach();
    block->engaged = ~masks::navigation_modes;
    block->armed = ~masks::navigation_modes;
    EXPECT_EQ(navigation_lamp(nullptr), -1.0);
    for (uint32_t bit = 1; bit != 0; bit <<= 1) {
        if ((bit & masks::navigation_modes) == 0) continue;
        block->engaged = bit;
        block->armed = 0;
        EXPECT_EQ(navigation_lamp(nullptr), 0.0) << bit;
        block->engaged = HDG;
        block->armed = bit;
        EXPECT_EQ(navigation_lamp(nullptr), 0.0) << bit;
    }
}

class Markers : public ModuleTest {};

TEST_F(Markers, OffsetsAtTheEndsOfTheSettingRanges) {
    // No block attached: offsets only. The ends lie inside the tapes' ranges 0..604 and 0..445.
    const int fore_aft_settings[] = {-10, 0, 50}, lateral_settings[] = {-20, 0, 20};
    const double fore_aft[] = {54, 135, 540}, lateral[] = {379, 217, 55};
    for (int i = 0; i < 3; ++i) {
        module.fore_aft_speed_setting = fore_aft_settings[i];
        module.lateral_speed_setting = lateral_settings[i];
        EXPECT_DOUBLE_EQ(fore_aft_marker(nullptr), fore_aft[i]);
        EXPECT_DOUBLE_EQ(lateral_marker(nullptr), lateral[i]);
    }
}

TEST_F(Markers, SettingsReachTheBlockOnlyWhileOneIsNotZero) {
    StateBlock* block = attach();
    block->fore_aft_input = 0.15;
    block->lateral_input = -0.15;
    EXPECT_EQ(fore_aft_marker(nullptr), 135.0);
    EXPECT_EQ(lateral_marker(nullptr), 217.0);
    EXPECT_EQ(block->fore_aft_input, 0.15) << "a beep-trim step stays while both settings are 0";
    EXPECT_EQ(block->lateral_input, -0.15);

    module.fore_aft_speed_setting = 50;
    EXPECT_DOUBLE_EQ(fore_aft_marker(nullptr), 540.0);
    EXPECT_DOUBLE_EQ(block->fore_aft_input, 84.3905);
    EXPECT_EQ(lateral_marker(nullptr), 217.0);
    EXPECT_EQ(block->lateral_input, 0.0);

    module.fore_aft_speed_setting = 0;
    module.lateral_speed_setting = -20;
    EXPECT_DOUBLE_EQ(lateral_marker(nullptr), 379.0);
    EXPECT_DOUBLE_EQ(block->lateral_input, -33.7562);
    EXPECT_EQ(fore_aft_marker(nullptr), 135.0);
    EXPECT_EQ(block->fore_aft_input, 0.0);
    EXPECT_EQ(zolm_test_guards_intact(), 1);
}

}  // namespace
}  // namespace afcp::test
