// The reference-value commands: every clamp, wrap and snap, the countdowns, and what each does without a block.
#include <cmath>
#include <limits>

#include "tests/unit/modes_fixture.h"

namespace afcp::test {
namespace {

using namespace bits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class SimulatorReference : public ModesTest {
protected:
    // Reads `value` from `token`, presses, and returns the one event sent.
    SentEvent sent(CommandHandler handler, int32_t token, double value) {
        host.set(token, value);
        clear_host();
        press(handler);
        EXPECT_EQ(host.reads, (std::vector<int32_t>{token}));
        EXPECT_EQ(host.read_zeroed, (std::vector<bool>{true}));
        EXPECT_EQ(host.events.size(), 1u);
        return host.events.empty() ? SentEvent{} : host.events.front();
    }
};

TEST_F(SimulatorReference, AutopilotAltitudeStepsAndClamps) {
    const struct {
        CommandHandler handler;
        double value;
        uint32_t feet;
    } cases[] = {
        {commands::ALTA_INCREASE, 99900.0, 99900}, {commands::ALTA_INCREASE, 99850.0, 99900},
        {commands::ALTA_INCREASE, 99799.9, 99899}, {commands::ALTA_INCREASE, 250.5, 350},
        {commands::ALTA_INCREASE, 0.0, 100},       {commands::ALTA_INCREASE, kNaN, 100},
        {commands::ALTA_INCREASE, 1e12, 99900},    {commands::ALTA_INCREASE, -500.0, 0},
        {commands::ALTA_INCREASE, -1e12, 0},       {commands::ALTA_DECREASE, 60.0, 0},
        {commands::ALTA_DECREASE, 0.0, 0},         {commands::ALTA_DECREASE, 100.9, 0},
        {commands::ALTA_DECREASE, 199.0, 99},      {commands::ALTA_DECREASE, 5000.0, 4900},
        {commands::ALTA_DECREASE, kNaN, 0},        {commands::ALTA_DECREASE, 200000.0, 99900},
        {commands::ALTA_DECREASE, -1e12, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sent(c.handler, token::autopilot_altitude, c.value),
                  (SentEvent{event::autopilot_altitude_set, c.feet}))
            << c.value;
    }
}

TEST_F(SimulatorReference, HeadingBugWrapsAtBothEnds) {
    const struct {
        CommandHandler handler;
        double value;
        uint32_t degrees;
    } cases[] = {
        {commands::HDG_RIGHT, 359.0, 0},  {commands::HDG_RIGHT, 359.7, 0},   {commands::HDG_RIGHT, 358.9, 359},
        {commands::HDG_RIGHT, 0.0, 1},    {commands::HDG_RIGHT, kNaN, 1},    {commands::HDG_RIGHT, 360.0, 0},
        {commands::HDG_RIGHT, -1.0, 0},   {commands::HDG_RIGHT, -10.0, 359}, {commands::HDG_RIGHT, 1e12, 0},
        {commands::HDG_LEFT, 0.0, 359},   {commands::HDG_LEFT, 0.5, 359},    {commands::HDG_LEFT, 1.0, 0},
        {commands::HDG_LEFT, 359.7, 358}, {commands::HDG_LEFT, kNaN, 359},   {commands::HDG_LEFT, 361.0, 0},
        {commands::HDG_LEFT, -1e12, 359},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sent(c.handler, token::heading_bug, c.value), (SentEvent{event::heading_bug_set, c.degrees}))
            << c.value;
    }
}

TEST_F(SimulatorReference, AirspeedSnapsToWholeKnotsThenClamps) {
    const struct {
        CommandHandler handler;
        double value;   // 1/64 knot
        uint32_t sent;  // 1/128 knot
    } cases[] = {
        {commands::IAS_INCREASE, 10240.0, 20480}, {commands::IAS_INCREASE, 1920.0, 5120},
        {commands::IAS_INCREASE, 6463.0, 12928},  {commands::IAS_INCREASE, 10175.0, 20352},
        {commands::IAS_INCREASE, 10176.0, 20480}, {commands::IAS_INCREASE, kNaN, 5120},
        {commands::IAS_INCREASE, 1e12, 20480},    {commands::IAS_INCREASE, -64.0, 5120},
        {commands::IAS_DECREASE, 10880.0, 20480}, {commands::IAS_DECREASE, 2656.0, 5120},
        {commands::IAS_DECREASE, 2560.0, 5120},   {commands::IAS_DECREASE, 2623.9, 5120},
        {commands::IAS_DECREASE, 2624.0, 5120},   {commands::IAS_DECREASE, 2688.0, 5248},
        {commands::IAS_DECREASE, 2752.0, 5376},   {commands::IAS_DECREASE, 6400.0, 12672},
        {commands::IAS_DECREASE, -1e12, 5120},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sent(c.handler, token::autopilot_airspeed, c.value),
                  (SentEvent{event::autopilot_airspeed_set, c.sent}))
            << c.value;
    }
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0) << "no countdown for the IAS select";
}

TEST_F(SimulatorReference, VerticalSpeedSendsWithoutReading) {
    press(commands::VS_INCREASE);
    EXPECT_EQ(countdown(kFeedbackVS), 5);
    press(commands::VS_DECREASE);
    EXPECT_EQ(countdown(kFeedbackVS), -5);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::vertical_speed_up, 0}, {event::vertical_speed_down, 0}}));
    EXPECT_TRUE(host.reads.empty());
}

TEST_F(SimulatorReference, KnobCountdownsTakeTheSideOfTheTurn) {
    const struct {
        CommandHandler handler;
        Feedback which;
        int8_t value;
    } cases[] = {
        {commands::ALTA_INCREASE, kFeedbackALTA, 5}, {commands::ALTA_DECREASE, kFeedbackALTA, -5},
        {commands::HDG_RIGHT, kFeedbackHDG, 5},      {commands::HDG_LEFT, kFeedbackHDG, -5},
        {commands::VS_INCREASE, kFeedbackVS, 5},     {commands::VS_DECREASE, kFeedbackVS, -5},
        {commands::CRHT_UP, kFeedbackCRHT, 5},       {commands::CRHT_DOWN, kFeedbackCRHT, -5},
        {commands::HOV_UP, kFeedbackHOV, 5},         {commands::HOV_DOWN, kFeedbackHOV, -5},
    };
    for (bool attached : {true, false}) {
        for (const auto& c : cases) {
            module.countdown[c.which] = 0;
            if (!attached) forget_block();
            press(c.handler);
            EXPECT_EQ(countdown(c.which), c.value) << c.which << (attached ? "" : " without block");
            EXPECT_EQ(module.countdown[kFeedbackALT], 0) << "no other countdown";
        }
    }
    // The byte of a decrease is 0xFB.
    EXPECT_EQ(static_cast<uint8_t>(countdown(kFeedbackHOV)), 0xFBu);
}

TEST_F(SimulatorReference, WorkWithoutABlock) {
    forget_block();
    host.set(token::heading_bug, 359.0);
    host.set(token::autopilot_altitude, 1000.0);
    host.set(token::autopilot_airspeed, 6400.0);
    for (CommandHandler h :
         {commands::HDG_RIGHT, commands::ALTA_DECREASE, commands::IAS_INCREASE, commands::VS_DECREASE})
        press(h);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::heading_bug_set, 0},
                                                   {event::autopilot_altitude_set, 900},
                                                   {event::autopilot_airspeed_set, 12928},
                                                   {event::vertical_speed_down, 0}}));
}

// ---------------------------------------------------------------------------------------------------------------
// References in the block.

class BlockReference : public ModesTest {
protected:
    double after(CommandHandler handler, double& field, double value) {
        field = value;
        press(handler);
        return field;
    }
};

TEST_F(BlockReference, HoverHeightUpAndDown) {
    double& h = block->hover_height_reference;
    const struct {
        double from, up, down;
    } cases[] = {
        {0.0, 1.0, 0.0},
        {1.0, 2.0, 0.0},
        {19.0, 20.0, 18.0},
        {20.0, 30.0, 19.0},
        {21.0, 30.0, 20.0},
        {25.0, 30.0, 20.0},
        {25.7, 30.0, 20.0},
        {29.0, 30.0, 20.0},
        {30.0, 40.0, 20.0},
        {31.0, 40.0, 30.0},
        {39.9, 40.0, 30.0},
        {295.0, 300.0, 290.0},
        {299.0, 300.0, 290.0},
        {300.0, 300.0, 290.0},
        {20.9, 30.0, 19.0},
        {0.9, 1.0, 0.0},
        {kNaN, 1.0, 0.0},
        {-5.0, -4.0, 0.0},
        {400.0, 300.0, 390.0},
        {1e12, 300.0, 2147483640.0},
        {-1e12, -2147483647.0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(after(commands::HOV_UP, h, c.from), c.up) << "HOV_UP from " << c.from;
        EXPECT_EQ(after(commands::HOV_DOWN, h, c.from), c.down) << "HOV_DOWN from " << c.from;
    }
    // From 0 the whole range up and back down: 0..20 in 1-ft steps, 30..300 in 10-ft steps.
    h = 0.0;
    std::vector<double> up, down;
    for (int i = 0; i < 50; ++i) {
        press(commands::HOV_UP);
        up.push_back(h);
    }
    for (int i = 0; i < 50; ++i) {
        press(commands::HOV_DOWN);
        down.push_back(h);
    }
    std::vector<double> expected_up, expected_down;
    for (int f = 1; f <= 20; ++f) expected_up.push_back(f);
    for (int f = 30; f <= 300; f += 10) expected_up.push_back(f);
    while (expected_up.size() < 50) expected_up.push_back(300.0);
    for (int f = 290; f >= 20; f -= 10) expected_down.push_back(f);
    for (int f = 19; f >= 0; --f) expected_down.push_back(f);
    while (expected_down.size() < 50) expected_down.push_back(0.0);
    EXPECT_EQ(up, expected_up);
    EXPECT_EQ(down, expected_down);
}

TEST_F(BlockReference, RadarHeightKnobClampsEachSideAtItsOwnLimit) {
    double& r = block->radar_height_reference;
    EXPECT_EQ(after(commands::CRHT_UP, r, 1495.0), 1500.0);
    EXPECT_EQ(after(commands::CRHT_UP, r, 1500.0), 1500.0);
    EXPECT_EQ(after(commands::CRHT_UP, r, 1490.0), 1500.0);
    EXPECT_EQ(after(commands::CRHT_UP, r, 1489.5), 1499.5);
    EXPECT_EQ(after(commands::CRHT_UP, r, 1600.0), 1500.0);
    EXPECT_EQ(after(commands::CRHT_UP, r, 15.0), 25.0) << "the remainder is kept";
    EXPECT_EQ(after(commands::CRHT_UP, r, -100.0), -90.0);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, 15.0), 10.0);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, 10.0), 10.0);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, 20.0), 10.0);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, 20.5), 10.5);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, 1600.0), 1590.0);
    EXPECT_EQ(after(commands::CRHT_DOWN, r, -100.0), 10.0);
    EXPECT_EQ(countdown(kFeedbackCRHT), -5);
}

// The two rockers lower the altitude reference while it is above 99.9 ft, the fore-aft beep trim while it is at
// least 100 ft: between the floors only the rockers act, and at either floor each keeps its own rule.
TEST_F(BlockReference, RockersAndBeepTrimKeepTheirOwnAltitudeFloors) {
    const struct {
        double start;
        bool rockers_lower, trim_lowers;
    } cases[] = {{99.9, false, false}, {99.95, true, false}, {100.0, true, true}, {99.89, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        const auto lowered = [&](CommandHandler handler, uint32_t engaged) {
            words(engaged, 0);
            block->altitude_reference = c.start;
            press(handler);
            return block->altitude_reference != c.start;
        };
        EXPECT_EQ(lowered(commands::ALT_DECREASE, 0), c.rockers_lower);
        EXPECT_EQ(lowered(commands::ALT_VS_DECREASE, IAS | ALT), c.rockers_lower);
        EXPECT_EQ(lowered(commands::TRIM_DOWN, ALT), c.trim_lowers);
    }
}

TEST_F(BlockReference, AltitudeSelectStopsAtItsLimitsWithoutRounding) {
    double& a = block->altitude_reference;
    EXPECT_EQ(after(commands::ALT_INCREASE, a, 29950.0), 30050.0);
    EXPECT_EQ(after(commands::ALT_INCREASE, a, 30000.0), 30000.0);
    EXPECT_EQ(after(commands::ALT_INCREASE, a, 29999.5), 30099.5);
    EXPECT_EQ(after(commands::ALT_INCREASE, a, 0.0), 100.0);
    EXPECT_EQ(after(commands::ALT_INCREASE, a, -150.0), -50.0);
    EXPECT_EQ(after(commands::ALT_DECREASE, a, 100.0), 0.0);
    EXPECT_EQ(after(commands::ALT_DECREASE, a, 0.0), 0.0);
    EXPECT_EQ(after(commands::ALT_DECREASE, a, 99.9), 99.9);
    EXPECT_EQ(after(commands::ALT_DECREASE, a, 99.91), 99.91 - 100.0);
    EXPECT_EQ(after(commands::ALT_DECREASE, a, 99900.0), 99800.0);
    a = 0.0;
    for (int i = 0; i < 400; ++i) press(commands::ALT_INCREASE);
    EXPECT_EQ(a, 30000.0);
    for (int i = 0; i < 400; ++i) press(commands::ALT_DECREASE);
    EXPECT_EQ(a, 0.0);
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0) << "the ALT select has no countdown";
    EXPECT_TRUE(host.events.empty());
}

TEST_F(BlockReference, AltVsRockerActsOnlyWithIasAndOnTheFirstEngagedMode) {
    StateBlock& b = *block;
    b.altitude_reference = 1000.0;
    b.radar_height_reference = 500.0;
    // Without IAS nothing happens, whatever is engaged.
    words(kStabOn | ALT | VS | CRHT);
    press(commands::ALT_VS_INCREASE);
    press(commands::ALT_VS_DECREASE);
    EXPECT_EQ(b.altitude_reference, 1000.0);
    EXPECT_EQ(b.radar_height_reference, 500.0);
    EXPECT_TRUE(host.events.empty());
    // ALT first.
    words(IAS | ALT | VS | CRHT);
    press(commands::ALT_VS_INCREASE);
    EXPECT_EQ(b.altitude_reference, 1100.0);
    press(commands::ALT_VS_DECREASE);
    press(commands::ALT_VS_DECREASE);
    EXPECT_EQ(b.altitude_reference, 900.0);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(b.radar_height_reference, 500.0);
    // Then VS.
    words(IAS | VS | CRHT);
    press(commands::ALT_VS_INCREASE);
    press(commands::ALT_VS_DECREASE);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::vertical_speed_up, 0}, {event::vertical_speed_down, 0}}));
    EXPECT_EQ(b.radar_height_reference, 500.0);
    // Then CRHT, with its own limits.
    words(IAS | CRHT);
    EXPECT_EQ(after(commands::ALT_VS_INCREASE, b.radar_height_reference, 1500.0), 1510.0);
    EXPECT_EQ(after(commands::ALT_VS_INCREASE, b.radar_height_reference, 2995.0), 3005.0);
    EXPECT_EQ(after(commands::ALT_VS_INCREASE, b.radar_height_reference, 3000.0), 3000.0);
    EXPECT_EQ(after(commands::ALT_VS_DECREASE, b.radar_height_reference, 10.0), 0.0);
    EXPECT_EQ(after(commands::ALT_VS_DECREASE, b.radar_height_reference, 9.99), 9.99);
    EXPECT_EQ(after(commands::ALT_VS_DECREASE, b.radar_height_reference, 9.995), 9.995 - 10.0);
    EXPECT_EQ(after(commands::ALT_VS_DECREASE, b.radar_height_reference, 15.0), 5.0);
    // ALT limits as the ALT select.
    words(IAS | ALT);
    EXPECT_EQ(after(commands::ALT_VS_INCREASE, b.altitude_reference, 30000.0), 30000.0);
    EXPECT_EQ(after(commands::ALT_VS_DECREASE, b.altitude_reference, 99.9), 99.9);
    // IAS with none of the three.
    words(IAS | HOV | HHT | GS);
    b.altitude_reference = 1000.0;
    b.radar_height_reference = 500.0;
    clear_host();
    press(commands::ALT_VS_INCREASE);
    EXPECT_EQ(b.altitude_reference, 1000.0);
    EXPECT_EQ(b.radar_height_reference, 500.0);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(b.engaged, IAS | HOV | HHT | GS);
}

TEST_F(BlockReference, NothingMovesWithoutABlock) {
    words(IAS | VS, 0);
    block->altitude_reference = 1000.0;
    block->radar_height_reference = 500.0;
    block->hover_height_reference = 50.0;
    const Snapshot before = Snapshot::take(block);
    forget_block();
    for (CommandHandler h :
         {commands::CRHT_UP, commands::CRHT_DOWN, commands::HOV_UP, commands::HOV_DOWN, commands::ALT_INCREASE,
          commands::ALT_DECREASE, commands::ALT_VS_INCREASE, commands::ALT_VS_DECREASE})
        EXPECT_EQ(press(h), 0);
    EXPECT_TRUE(Snapshot::take(block).same_block(before));
    EXPECT_TRUE(host.events.empty()) << "the rocker's VS events need the block";
    EXPECT_TRUE(host.reads.empty());
    EXPECT_EQ(countdown(kFeedbackCRHT), -5);
    EXPECT_EQ(countdown(kFeedbackHOV), -5);
}

TEST_F(BlockReference, OnlyTheirOwnFieldChanges) {
    words(IAS | CRHT | kForeign, ATT);
    block->altitude_reference = 1000.0;
    block->radar_height_reference = 500.0;
    block->hover_height_reference = 50.0;
    block->fore_aft_input = 0.25;
    block->lateral_input = -0.25;
    press(commands::CRHT_UP);
    press(commands::HOV_DOWN);
    press(commands::ALT_INCREASE);
    press(commands::ALT_VS_DECREASE);
    EXPECT_EQ(block->engaged, IAS | CRHT | kForeign);
    EXPECT_EQ(block->armed, ATT);
    EXPECT_EQ(block->altitude_reference, 1100.0);
    EXPECT_EQ(block->radar_height_reference, 500.0);
    EXPECT_EQ(block->hover_height_reference, 40.0);
    EXPECT_EQ(block->fore_aft_input, 0.25);
    EXPECT_EQ(block->lateral_input, -0.25);
    EXPECT_EQ(zolm_test_guards_intact(), 1);
}

}  // namespace
}  // namespace afcp::test
