// The host core that the preview and the pages play a panel with: scenarios refused before anything of them is
// played, the drawing steps the element trees give, a parameter set while the panel runs, and the limits on
// scenario values and lengths.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "host/panel.h"
#include "host/runner.h"
#include "tests/scenarios/bitmap_sizes.h"
#include "variants/variant.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

using host_core::DrawStep;

class HostCore : public ::testing::Test {
protected:
    HostCore() {
        afcp::module = afcp::ModuleState{};
        zolm_test_reset();
    }
    host_core::Scenario parse(const std::string& text) { return host_core::parse_scenario("", text, panel.gauges()); }
    // The message of the refusal of a scenario that is checked before it is played, or "" if it is playable.
    std::string refusal(const std::string& text) {
        try {
            host_core::check_playable(panel, parse(text), {"ALT", "STAB"});
        } catch (const host_core::ScenarioError& e) {
            return e.what();
        }
        return "";
    }
    void play(const std::string& text) {
        struct : host_core::PlayHooks {
            void snapshot(const host_core::SnapshotStep&) override {}
        } hooks;
        host_core::play(panel, parse(text), hooks);
    }
    const DrawStep* step_of(int gauge, int bitmap_id) {
        for (const DrawStep& s : panel.gauge(gauge).steps)
            if (s.kind == DrawStep::image_step && s.bitmap_id == bitmap_id) return &s;
        return nullptr;
    }

    test_support::BitmapSizes sizes;
    host_core::Panel panel{ImportTable, Linkage, sizes};
};

TEST_F(HostCore, AScenarioIsRefusedAtTheFirstStepThatCannotBePlayed) {
    EXPECT_EQ(refusal("command ALT"), std::string("line 1: the engine has no commands yet: the AFCP gauge registers ") +
                                          "them on its first update");
    EXPECT_EQ(refusal("set airspeed 95\ncapture"),
              "line 2: the engine has no state block yet: the AFCP gauge attaches on its first update");
    // Before the module registers, names are checked against the module's own table.
    EXPECT_EQ(refusal("update\ncommand FROB"), "line 2: unknown command 'FROB'");
    EXPECT_EQ(refusal("update\ncommand ALT\ncapture"), "");
    play("set airspeed 95\nset radar_height 300\nupdate 2\ncommand STAB\nupdate");
    const uint32_t engaged = panel.engaged();
    // Once registered, the engine's table decides (NAV is in it, though not in the list given); a late click on
    // no area refuses the whole scenario.
    EXPECT_EQ(refusal("command NAV\ncommand FROB"), "line 2: unknown command 'FROB'");
    EXPECT_EQ(refusal("command ALT\nupdate\nclick AFCP 1 1"), "line 3: no mouse area of AFCP holds (1, 1)");
    EXPECT_EQ(panel.engaged(), engaged);
}

TEST_F(HostCore, DrawingStepsFollowTheElementTrees) {
    panel.start();
    const DrawStep& face = panel.gauge(afcp::kGaugeAFCP).steps.at(0);
    EXPECT_EQ(face.bitmap_id, 0x1000);
    EXPECT_EQ(face.x, 0);
    EXPECT_EQ(face.width, sizes.size(0x1000).width);
    EXPECT_FALSE(face.black_is_clear);
    EXPECT_EQ(step_of(afcp::kGaugeAFCP, 0x1040), nullptr);  // no button pressed: the selector draws nothing
    play("set airspeed 95\nset radar_height 300\nupdate 2\ncommand ALT\nupdate");
    if constexpr (afcp::Variant::afcp_has_feedback_images) {
        const DrawStep* pressed = step_of(afcp::kGaugeAFCP, 0x1040);
        ASSERT_NE(pressed, nullptr);
        EXPECT_TRUE(pressed->black_is_clear);
        EXPECT_EQ(pressed->width, 74);
    }
    // A tape shows its strip through a window the companion's size, never past the strip's end.
    for (int i = 0; i < 80; ++i) panel.command("GS_FORWARD");
    panel.frame();
    const DrawStep* tape = step_of(afcp::kGaugeGS, 0x2110);
    ASSERT_NE(tape, nullptr);
    EXPECT_EQ(tape->width, 58);
    EXPECT_EQ(tape->height, 178);
    EXPECT_GE(tape->from_y, 0);
    EXPECT_LE(tape->from_y, 782 - 178);
    EXPECT_EQ(panel.gauge(afcp::kGaugeAnnunciator).texts.size(), 6u);
}

TEST_F(HostCore, AParameterSetWhileThePanelRunsIsHeardAtOnce) {
    panel.start();
    panel.set_parameter(afcp::kGaugeAnnunciatorT, "255");
    const uint32_t expected = afcp::Variant::annunciator_t_colour_from_parameter ? 0x000000FFu : 0x00020202u;
    for (const DrawStep& s : panel.gauge(afcp::kGaugeAnnunciatorT).steps)
        if (s.kind == DrawStep::text_step) {
            EXPECT_EQ(s.background_colour, 0x00020202u);  // drawn before the change
        }
    panel.frame();
    int texts = 0;
    for (const DrawStep& s : panel.gauge(afcp::kGaugeAnnunciatorT).steps)
        if (s.kind == DrawStep::text_step) {
            EXPECT_EQ(s.background_colour, expected);
            ++texts;
        }
    EXPECT_EQ(texts, 6);
}

TEST_F(HostCore, ValuesAreFiniteNumbersAndScenariosHaveAFrameLimit) {
    double v = 0;
    for (const char* bad : {"nan", "inf", "-inf", "1e999", " 1", "1 ", "", "0x", "fast"})
        EXPECT_FALSE(host_core::finite_number(bad, v)) << bad;
    EXPECT_TRUE(host_core::finite_number("1e300", v));
    EXPECT_TRUE(host_core::finite_number("-0.5", v));
    EXPECT_EQ(v, -0.5);
    EXPECT_NO_THROW(parse("update 99999\nupdate"));
    EXPECT_THROW(parse("update 100000\nupdate"), host_core::ScenarioError);
}

}  // namespace
