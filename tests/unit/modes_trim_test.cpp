// Beep trim (the case order of both axes), trim centring and the ground-speed settings.
#include <cmath>
#include <limits>

#include "tests/unit/modes_fixture.h"

namespace afcp::test {
namespace {

using namespace bits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ForeAftBeep : public ModesTest {
protected:
    void SetUp() override {
        ModesTest::SetUp();
        block->altitude_reference = 1000.0;
        block->fore_aft_input = 0.5;
        block->lateral_input = -0.5;
    }
    // Neither the altitude nor the inputs nor `armed` changed, and nothing was sent.
    void expect_untouched(uint32_t armed = 0) {
        EXPECT_EQ(block->altitude_reference, 1000.0);
        EXPECT_EQ(block->fore_aft_input, 0.5);
        EXPECT_EQ(block->lateral_input, -0.5);
        EXPECT_EQ(block->armed, armed);
    }
};

TEST_F(ForeAftBeep, IasMovesTheAirspeedReferenceByOneKnotUnclamped) {
    const struct {
        CommandHandler handler;
        double value;  // 1/64 knot
        bool sends;
        uint32_t sent;  // 1/128 knot
    } cases[] = {
        {commands::TRIM_UP, 10240.0, false, 0},    {commands::TRIM_UP, 10239.5, true, 20606},
        {commands::TRIM_UP, 10208.0, true, 20544}, {commands::TRIM_UP, 0.0, true, 128},
        {commands::TRIM_UP, kNaN, false, 0},       {commands::TRIM_UP, 1e12, false, 0},
        {commands::TRIM_UP, 100.7, true, 328},     {commands::TRIM_DOWN, 2560.0, false, 0},
        {commands::TRIM_DOWN, 2560.5, true, 4992}, {commands::TRIM_DOWN, 6400.0, true, 12672},
        {commands::TRIM_DOWN, kNaN, false, 0},     {commands::TRIM_DOWN, 1e12, true, 0xFFFFFF7Eu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        words(IAS | ALT | HOV | HOV_SUB_A, 0);
        host.set(token::autopilot_airspeed, c.value);
        clear_host();
        press(c.handler);
        EXPECT_EQ(host.reads, (std::vector<int32_t>{token::autopilot_airspeed}));
        if (c.sends) {
            EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::autopilot_airspeed_set, c.sent}}));
        } else {
            EXPECT_TRUE(host.events.empty()) << "at the limit nothing is sent, and no later case is tried";
        }
        expect_untouched();
    }
}

TEST_F(ForeAftBeep, HoverWithASubModeNudgesTheForeAftSpeed) {
    for (uint32_t engaged :
         {HOV | HOV_SUB_A, HOV | HOV_SUB_B, HOV | HOV_SUB_A | HOV_SUB_B | LOC | VS, HOV | HOV_SUB_B | ALT | kStabOn}) {
        words(engaged, 0);
        block->fore_aft_input = 1.0;
        press(commands::TRIM_UP);
        EXPECT_EQ(block->fore_aft_input, 1.0 + 0.1) << std::hex << engaged;
        press(commands::TRIM_DOWN);
        press(commands::TRIM_DOWN);
        EXPECT_EQ(block->fore_aft_input, 1.0 + 0.1 - 0.1 - 0.1);
        EXPECT_EQ(block->armed, 0u);
        EXPECT_EQ(block->altitude_reference, 1000.0);
    }
    EXPECT_TRUE(host.events.empty());
}

TEST_F(ForeAftBeep, VsAloneInTheVerticalGroupSendsVerticalSpeed) {
    words(VS | HOV | HDG | kStabOn, 0);
    press(commands::TRIM_UP);
    press(commands::TRIM_DOWN);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::vertical_speed_up, 0}, {event::vertical_speed_down, 0}}));
    expect_untouched();
}

TEST_F(ForeAftBeep, AltAloneInTheVerticalGroupMovesTheAltitudeReference) {
    words(ALT | HOV_SUB_A | HDG, 0);
    press(commands::TRIM_UP);
    EXPECT_EQ(block->altitude_reference, 1100.0);
    block->altitude_reference = 30000.0;
    press(commands::TRIM_UP);
    EXPECT_EQ(block->altitude_reference, 30000.0);
    block->altitude_reference = 29999.0;
    press(commands::TRIM_UP);
    EXPECT_EQ(block->altitude_reference, 30099.0);
    block->altitude_reference = 100.0;
    press(commands::TRIM_DOWN);
    EXPECT_EQ(block->altitude_reference, 0.0);
    block->altitude_reference = 99.95;
    press(commands::TRIM_DOWN);
    EXPECT_EQ(block->altitude_reference, 99.95) << "at least 100 here, not above 99.9";
    block->altitude_reference = 50.0;
    press(commands::TRIM_DOWN);
    EXPECT_EQ(block->altitude_reference, 50.0);
    EXPECT_EQ(block->fore_aft_input, 0.5);
    EXPECT_EQ(block->armed, 0u);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(ForeAftBeep, EverythingElseIsAStoredBeepStep) {
    for (uint32_t engaged : {0u, ALT | GS, ALT | VS, VS | GA, ALT | HHT, VS | GS_AUX, ALT | CRHT, GS, CRHT, HHT, GA,
                             HOV, HOV_SUB_A | HOV_SUB_B, kStabOn | HDG}) {
        SCOPED_TRACE(testing::Message() << std::hex << engaged);
        words(engaged, LOC);
        press(commands::TRIM_UP);
        press(commands::TRIM_UP);
        EXPECT_EQ(block->fore_aft_input, 0.15) << "stored, not added";
        EXPECT_EQ(block->armed, LOC | ATT);
        block->armed = 0;
        press(commands::TRIM_DOWN);
        EXPECT_EQ(block->fore_aft_input, -0.15);
        EXPECT_EQ(block->armed, ATT);
        EXPECT_EQ(block->altitude_reference, 1000.0);
        EXPECT_EQ(block->lateral_input, -0.5);
        EXPECT_EQ(block->engaged, engaged);
    }
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.reads.empty());
}

class LateralBeep : public ModesTest {
protected:
    void SetUp() override {
        ModesTest::SetUp();
        block->fore_aft_input = 0.5;
        block->lateral_input = -0.5;
    }
};

TEST_F(LateralBeep, ASingleRadioOrHeadingModeTurnsTheHeadingBug) {
    for (uint32_t mode : {HDG, LOC, LOC_AUX, LAT_SPARE3, LAT_SPARE4, VOR, VOR_AUX, NAV}) {
        // Bits outside the lateral group do not count.
        words(mode | IAS | ALT | HHT | kStabOn | kForeign, 0);
        host.set(token::heading_bug, 359.0);
        clear_host();
        press(commands::TRIM_RIGHT);
        host.set(token::heading_bug, 0.5);
        press(commands::TRIM_LEFT);
        EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::heading_bug_set, 0}, {event::heading_bug_set, 359}}))
            << std::hex << mode;
        EXPECT_EQ(host.reads, (std::vector<int32_t>{token::heading_bug, token::heading_bug}));
        EXPECT_EQ(block->lateral_input, -0.5);
        EXPECT_EQ(block->armed, 0u);
    }
    words(HDG, 0);
    host.set(token::heading_bug, 180.9);
    clear_host();
    press(commands::TRIM_RIGHT);
    press(commands::TRIM_LEFT);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::heading_bug_set, 181}, {event::heading_bug_set, 179}}));
}

TEST_F(LateralBeep, ExactHoverStatesNudgeTheLateralSpeed) {
    for (uint32_t engaged : {HOV | HOV_SUB_A, HOV | HOV_SUB_B, HOV | HOV_SUB_B | IAS | ALT | HHT | kStabOn}) {
        words(engaged, 0);
        block->lateral_input = 1.0;
        press(commands::TRIM_RIGHT);
        EXPECT_EQ(block->lateral_input, 1.0 + 0.1) << std::hex << engaged;
        press(commands::TRIM_LEFT);
        press(commands::TRIM_LEFT);
        EXPECT_EQ(block->lateral_input, 1.0 + 0.1 - 0.1 - 0.1);
        EXPECT_EQ(block->armed, 0u);
    }
    EXPECT_TRUE(host.events.empty());
}

TEST_F(LateralBeep, EverythingElseIsAStoredBeepStep) {
    for (uint32_t engaged : {0u, HDG | LOC, HOV | HOV_SUB_A | HOV_SUB_B, HOV, HOV | HOV_SUB_A | HDG, TUP, TDN,
                             HOV_SUB_A, HOV_SUB_B, HOV | TUP | HOV_SUB_A, IAS | ALT | kStabOn}) {
        SCOPED_TRACE(testing::Message() << std::hex << engaged);
        words(engaged, GS);
        press(commands::TRIM_RIGHT);
        press(commands::TRIM_RIGHT);
        EXPECT_EQ(block->lateral_input, 0.15);
        EXPECT_EQ(block->armed, GS | ATT);
        block->armed = 0;
        press(commands::TRIM_LEFT);
        EXPECT_EQ(block->lateral_input, -0.15);
        EXPECT_EQ(block->armed, ATT);
        EXPECT_EQ(block->fore_aft_input, 0.5);
        EXPECT_EQ(block->engaged, engaged);
    }
    EXPECT_TRUE(host.events.empty());
}

TEST_F(LateralBeep, TheAxesDisagreeOnHoverWithBothSubModes) {
    words(HOV | HOV_SUB_A | HOV_SUB_B, 0);
    block->fore_aft_input = 0.0;
    press(commands::TRIM_RIGHT);
    press(commands::TRIM_UP);
    EXPECT_EQ(block->lateral_input, 0.15);
    EXPECT_EQ(block->armed, ATT);
    EXPECT_EQ(block->fore_aft_input, 0.1);
}

class TrimCentre : public ModesTest {};

TEST_F(TrimCentre, ZeroesBothInputsAndNothingElse) {
    words(kStabOn | HOV | HOV_SUB_A, ATT | HHT);
    block->fore_aft_input = 1.5;
    block->lateral_input = -2.5;
    block->altitude_reference = 700.0;
    module.fore_aft_speed_setting = 3;
    module.lateral_speed_setting = -4;
    press(commands::TRIM_CENTER);
    EXPECT_EQ(block->fore_aft_input, 0.0);
    EXPECT_EQ(block->lateral_input, 0.0);
    EXPECT_EQ(block->armed, ATT | HHT);
    EXPECT_EQ(block->engaged, kStabOn | HOV | HOV_SUB_A);
    EXPECT_EQ(block->altitude_reference, 700.0);
    EXPECT_EQ(module.fore_aft_speed_setting, 3);
    EXPECT_EQ(module.lateral_speed_setting, -4);
}

TEST_F(TrimCentre, TrimCommandsNeedTheBlock) {
    words(IAS | HDG, 0);
    block->fore_aft_input = 1.5;
    block->lateral_input = -2.5;
    const Snapshot before = Snapshot::take(block);
    forget_block();
    for (CommandHandler h :
         {commands::TRIM_UP, commands::TRIM_DOWN, commands::TRIM_LEFT, commands::TRIM_RIGHT, commands::TRIM_CENTER})
        EXPECT_EQ(press(h), 0);
    const Snapshot after = Snapshot::take(block);
    EXPECT_TRUE(after.same_block(before));
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.reads.empty());
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0);
}

class GroundSpeed : public ModesTest {};

TEST_F(GroundSpeed, SettingsStepAndStopAtTheirLimits) {
    for (int i = 0; i < 60; ++i) press(commands::GS_FORWARD);
    EXPECT_EQ(module.fore_aft_speed_setting, 50);
    press(commands::GS_BACK);
    EXPECT_EQ(module.fore_aft_speed_setting, 49);
    press(commands::GS_RESET_FB);
    EXPECT_EQ(module.fore_aft_speed_setting, 0);
    for (int i = 0; i < 15; ++i) press(commands::GS_BACK);
    EXPECT_EQ(module.fore_aft_speed_setting, -10);
    for (int i = 0; i < 25; ++i) press(commands::GS_LEFT);
    EXPECT_EQ(module.lateral_speed_setting, -20);
    for (int i = 0; i < 45; ++i) press(commands::GS_RIGHT);
    EXPECT_EQ(module.lateral_speed_setting, 20);
    EXPECT_EQ(module.fore_aft_speed_setting, -10) << "the axes are independent";
    press(commands::GS_RESET_LR);
    EXPECT_EQ(module.lateral_speed_setting, 0);
    EXPECT_EQ(module.fore_aft_speed_setting, -10);
}

TEST_F(GroundSpeed, WorkWithoutABlockAndWriteNothingElse) {
    words(kStabOn | HOV | HOV_SUB_A, 0);
    block->fore_aft_input = 0.7;
    const Snapshot before = Snapshot::take(block);
    press(commands::GS_FORWARD);
    press(commands::GS_LEFT);
    EXPECT_TRUE(Snapshot::take(block).same_block(before));
    forget_block();
    press(commands::GS_FORWARD);
    press(commands::GS_LEFT);
    EXPECT_EQ(module.fore_aft_speed_setting, 2);
    EXPECT_EQ(module.lateral_speed_setting, -2);
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.reads.empty());
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0);
}

}  // namespace
}  // namespace afcp::test
