// The stand-in engine's capture step: armed targets become engaged modes in place of their group's mode.
#include <gtest/gtest.h>

#include "engine/modes.h"
#include "engine/zolm_test.h"

namespace afcp::test {
namespace {

using namespace bits;

class EngineCapture : public ::testing::Test {
protected:
    void SetUp() override {
        zolm_test_reset();
        block = zolm_attach(nullptr, nullptr);
        ASSERT_NE(block, nullptr);
    }
    void TearDown() override { zolm_test_reset(); }
    StateBlock* block = nullptr;
};

TEST_F(EngineCapture, VerticalTargetReplacesTheVerticalModeAndKeepsTheRest) {
    block->engaged = PANEL | STAB | VS | IAS | HDG;
    block->armed = ALT | HDG;  // HDG: a request, not a target
    EXPECT_EQ(zolm_test_capture(), ALT);
    EXPECT_EQ(block->engaged, PANEL | STAB | ALT | IAS | HDG);
    EXPECT_EQ(block->armed, HDG);
}

TEST_F(EngineCapture, LateralTargetReplacesTheLateralModeAndTransitionDownJoinsIt) {
    block->engaged = HDG | ALT;
    block->armed = LOC | GS | TDN;
    EXPECT_EQ(zolm_test_capture(), LOC | GS | TDN);
    EXPECT_EQ(block->engaged, LOC | GS | TDN);
    EXPECT_EQ(block->armed, 0u);

    block->engaged = NAV;
    block->armed = VOR;
    EXPECT_EQ(zolm_test_capture(), VOR);
    EXPECT_EQ(block->engaged, VOR);
}

TEST_F(EngineCapture, NothingArmedOrNoBlockChangesNothing) {
    block->engaged = ALT | HDG;
    block->armed = IAS | VS;
    EXPECT_EQ(zolm_test_capture(), 0u);
    EXPECT_EQ(block->engaged, ALT | HDG);
    EXPECT_EQ(block->armed, IAS | VS);
    zolm_release();
    EXPECT_EQ(zolm_test_capture(), 0u);
}

TEST_F(EngineCapture, StatusReadsNothingHeldBeforeAnyStep) {
    ZolmCaution caution{123, 4};
    zolm_caution(&caution);
    EXPECT_EQ(caution.mode, 0u);
    EXPECT_EQ(caution.limit, 0);
    ZolmAxis axes[4] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    zolm_test_axes(axes);
    for (const ZolmAxis& a : axes) EXPECT_EQ(a.mode, 0u);
    EXPECT_EQ(zolm_test_integrals_inside(), 1);
    zolm_caution(nullptr);  // a host without room for it reads nothing
    zolm_test_axes(nullptr);
}

TEST_F(EngineCapture, BitWithoutARowCapturesAloneAndAttFliesNoAxis) {
    EXPECT_EQ(autopilot::row_of(LAT_SPARE3), nullptr);
    block->engaged = HDG | ALT;
    block->armed = LAT_SPARE3 | VS;
    autopilot::capture_mode(*block, LAT_SPARE3);  // replaces nothing, takes only itself
    EXPECT_EQ(block->engaged, HDG | ALT | LAT_SPARE3);
    EXPECT_EQ(block->armed, VS);
    autopilot::law::Att att;
    const autopilot::Sensors s{};
    const autopilot::Context c{*block, s, 0.01};
    att.take(aircraft_link::pitch_axis, c, 3);
    EXPECT_EQ(att.target(aircraft_link::pitch_axis, c).value, 0);
}

}  // namespace
}  // namespace afcp::test
