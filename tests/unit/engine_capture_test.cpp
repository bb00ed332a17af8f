// The stand-in engine's capture step: armed targets become engaged modes in place of their group's mode.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace afcp::test
