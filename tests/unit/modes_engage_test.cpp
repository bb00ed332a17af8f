// The mode engage commands: the engage gate, the cancel-then-arm-then-gate order, every edit of the mode words,
// the feedback countdowns, and the variant differences.
#include <cmath>
#include <limits>
#include <string_view>

#include "tests/unit/modes_fixture.h"

namespace afcp::test {
namespace {

using namespace bits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------------------------------------------
// Every command, with and without a block.

struct CountdownOf {
    std::string_view name;
    Feedback which;
    int8_t value;
};
// The eleven commands with a countdown and the value they store; every other command stores none.
constexpr CountdownOf kCountdowns[] = {
    {"ALT", kFeedbackALT, 5},
    {"IAS", kFeedbackIAS, 5},
    {"TDN", kFeedbackTDN, 5},
    {"NAV", kFeedbackNAV, 5},
    {"APP", kFeedbackAPP, 5},
    {"GS", kFeedbackGS, 5},
    {"ALTA_DECREASE", kFeedbackALTA, -5},
    {"ALTA_INCREASE", kFeedbackALTA, 5},
    {"HDG_LEFT", kFeedbackHDG, -5},
    {"HDG_RIGHT", kFeedbackHDG, 5},
    {"VS_DECREASE", kFeedbackVS, -5},
    {"VS_INCREASE", kFeedbackVS, 5},
    {"CRHT_DOWN", kFeedbackCRHT, -5},
    {"CRHT_UP", kFeedbackCRHT, 5},
    {"HOV_DOWN", kFeedbackHOV, -5},
    {"HOV_UP", kFeedbackHOV, 5},
};

// The commands that act on the simulator alone and send their event without a block.
constexpr std::string_view kWithoutBlock[] = {"ALTA_DECREASE", "ALTA_INCREASE", "HDG_LEFT",     "HDG_RIGHT",
                                              "VS_DECREASE",   "VS_INCREASE",   "IAS_INCREASE", "IAS_DECREASE"};

bool acts_without_block(std::string_view name) {
    for (std::string_view n : kWithoutBlock)
        if (n == name) return true;
    return false;
}

void expect_countdowns_of(std::string_view name) {
    int8_t expected[kFeedbackCount] = {};
    for (const CountdownOf& c : kCountdowns)
        if (c.name == name) expected[c.which] = c.value;
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], expected[i]) << name << " countdown " << i;
}

class EveryCommand : public ModesTest {
protected:
    // A busy block: every command that needs the block would change something in it.
    void busy() {
        words(kStabOn | HOV | HOV_SUB_A | HDG | ALT | IAS | TDN | PANEL | ATT, ALT | LOC | GS | VOR | TDN);
        block->altitude_reference = 5000.0;
        block->radar_height_reference = 500.0;
        block->hover_height_reference = 50.0;
        block->fore_aft_input = 0.3;
        block->lateral_input = -0.3;
        host.set(token::current_altitude, 2450.0);
        host.set(token::heading_bug, 90.0);
        host.set(token::autopilot_altitude, 5000.0);
        host.set(token::autopilot_airspeed, 6400.0);
        host.set(token::nav_source_flag, 0.0);
    }
};

TEST_F(EveryCommand, WithoutABlockOnlyTheSimulatorCommandsActAndTheCountdownsAreStillSet) {
    for (const CommandEntry& e : command_table) {
        SCOPED_TRACE(e.name);
        module = ModuleState{};
        block = attach();
        busy();
        clear_host();
        forget_block();
        const Snapshot before = Snapshot::take(block);
        EXPECT_EQ(press(e.handler), 0);
        const Snapshot after = Snapshot::take(block);
        EXPECT_TRUE(after.same_block(before)) << "the engine's block is not the module's while detached";
        EXPECT_EQ(host.events.empty(), !acts_without_block(e.name));
        if (!acts_without_block(e.name)) {
            EXPECT_TRUE(host.reads.empty());
        }
        expect_countdowns_of(e.name);
        const std::string_view name = e.name;
        EXPECT_EQ(module.fore_aft_speed_setting, name == "GS_FORWARD" ? 1 : name == "GS_BACK" ? -1 : 0);
        EXPECT_EQ(module.lateral_speed_setting, name == "GS_RIGHT" ? 1 : name == "GS_LEFT" ? -1 : 0);
        EXPECT_EQ(zolm_test_guards_intact(), 1);
    }
}

TEST_F(EveryCommand, BeforeTheFirstAttachNothingIsTouched) {
    zolm_test_reset();
    module = ModuleState{};
    for (const CommandEntry& e : command_table) EXPECT_EQ(press(e.handler), 0) << e.name;
    EXPECT_EQ(host.events.size(), std::size(kWithoutBlock));
    EXPECT_EQ(module.block, nullptr);
}

TEST_F(EveryCommand, WithAFailedGateTheCountdownsAreTheSame) {
    for (const CommandEntry& e : command_table) {
        SCOPED_TRACE(e.name);
        module = ModuleState{};
        block = attach();
        busy();
        words(kStabOn | PANEL, 0);
        gate_closed();
        press(e.handler);
        expect_countdowns_of(e.name);
        EXPECT_EQ(zolm_test_guards_intact(), 1) << "nothing past lateral input and nothing in the engine area";
    }
}

TEST_F(EveryCommand, TheEngineReachesEveryHandlerByName) {
    words(kStabOn, 0);
    EXPECT_EQ(zolm_test_call("TDN", 1, 2), 0);
    EXPECT_EQ(block->armed, TDN);
    EXPECT_EQ(countdown(kFeedbackTDN), 5);
    EXPECT_EQ(zolm_test_call("GS_FORWARD", 0, 0), 0);
    EXPECT_EQ(module.fore_aft_speed_setting, 1);
    EXPECT_EQ(zolm_test_call("HDG_RIGHT", 0, 0), 0);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::heading_bug_set, 1}}));
}

// ---------------------------------------------------------------------------------------------------------------
// The engage gate.

struct Gated {
    const char* name;
    uint32_t engaged, armed;  // a state in which the command would engage or arm
};

class EngageGate : public ModesTest {};

TEST_F(EngageGate, StrictBoundsAndNaNOnEveryGatedCommand) {
    const Gated gated[] = {
        {"ALT", kStabOn, 0}, {"ALTA", kStabOn, 0}, {"HDG", kStabOn, 0}, {"VS", kStabOn, 0},  {"CRHT", kStabOn, 0},
        {"NAV", kStabOn, 0}, {"APP", kStabOn, 0},  {"GS", kStabOn, 0},  {"IAS", kStabOn, 0},
    };
    struct Samples {
        double airspeed, radar_height;
        bool passes;
    } cases[] = {
        {80.0, 100.0, true},    {40.0, 100.0, false},
        {40.0001, 100.0, true}, {39.9, 100.0, false},
        {80.0, 60.96, false},   {80.0, 60.9601, true},
        {80.0, 0.0, false},     {kNaN, 100.0, false},
        {80.0, kNaN, false},    {kNaN, kNaN, false},
        {40.0, 60.96, false},   {40.0001, 60.9601, true},
        {-80.0, -100.0, false}, {std::numeric_limits<double>::infinity(), 100.0, true},
    };
    host.set(token::current_altitude, 1000.0);
    host.set(token::nav_source_flag, 1.0);
    for (const Gated& g : gated) {
        const CommandHandler handler = [&] {
            for (const CommandEntry& e : command_table)
                if (std::string_view(e.name) == g.name) return e.handler;
            return CommandHandler{};
        }();
        samples(80.0, 100.0);
        words(g.engaged, g.armed);
        press(handler);
        const uint32_t engaged_open = block->engaged, armed_open = block->armed;
        ASSERT_TRUE(engaged_open != g.engaged || armed_open != g.armed) << g.name;
        for (const Samples& c : cases) {
            SCOPED_TRACE(testing::Message() << g.name << " airspeed " << c.airspeed << " radar " << c.radar_height);
            samples(c.airspeed, c.radar_height);
            words(g.engaged, g.armed);
            press(handler);
            EXPECT_EQ(block->engaged, c.passes ? engaged_open : g.engaged);
            EXPECT_EQ(block->armed, c.passes ? armed_open : g.armed);
        }
    }
}

TEST_F(EngageGate, UsesTheSamplesOfTheLastUpdateAndReadsNeitherVariable) {
    update(28.0, 1.0, 40.0, 100.0);
    words(kStabOn);
    clear_host();
    press(commands::HDG);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_TRUE(host.reads.empty());
    update(28.0, 1.0, 41.0, 61.0);
    words(kStabOn);
    clear_host();
    press(commands::HDG);
    EXPECT_EQ(block->engaged, kStabOn | HDG);
    EXPECT_TRUE(host.reads.empty());
}

TEST_F(EngageGate, FailsUntilTheFirstSampling) {
    module = ModuleState{};
    zolm_test_reset();
    block = attach();
    words(kStabOn);
    press(commands::VS);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(block->armed, 0u);
}

// ---------------------------------------------------------------------------------------------------------------
// Cancel before gate, engaged before armed.

class CancelOrder : public ModesTest {};

TEST_F(CancelOrder, EngagedModesCancelWithTheGateClosed) {
    gate_closed();
    const struct {
        CommandHandler handler;
        uint32_t engaged, after;
    } cases[] = {
        {commands::ALT, kStabOn | ALT | VS | HDG, kStabOn | VS | HDG},
        {commands::HDG, kStabOn | HDG | NAV | ALT, kStabOn | NAV | ALT},
        {commands::VS, kStabOn | VS | CRHT, kStabOn | CRHT},
        {commands::CRHT, kStabOn | CRHT | GA, kStabOn | GA},
        {commands::NAV, kStabOn | VOR | LOC | HDG, kStabOn | LOC | HDG},
        {commands::NAV, kStabOn | VOR_AUX | VOR | NAV | LOC, kStabOn | LOC},
        {commands::APP, kStabOn | LOC | VOR, kStabOn | VOR},
        {commands::APP, kStabOn | LOC_AUX, kStabOn},
        {commands::GS, kStabOn | GS | ALT, kStabOn | ALT},
        {commands::GS, kStabOn | GS_AUX | GS, kStabOn},
    };
    for (const auto& c : cases) {
        words(c.engaged | kForeign, ALT | LOC | GS | VOR | IAS);
        press(c.handler);
        EXPECT_EQ(block->engaged, c.after | kForeign);
        EXPECT_EQ(block->armed, ALT | LOC | GS | VOR | IAS) << "an engaged cancel leaves armed alone";
    }
}

TEST_F(CancelOrder, ArmedModesCancelWithTheGateClosedAfterTheEngagedOnes) {
    gate_closed();
    const struct {
        CommandHandler handler;
        uint32_t armed, after;
    } cases[] = {
        {commands::ALTA, ALT | GS | LOC, GS | LOC}, {commands::NAV, VOR | LOC | ALT, LOC | ALT},
        {commands::NAV, NAV | VOR_AUX | GS, GS},    {commands::APP, LOC | LOC_AUX | VOR, VOR},
        {commands::APP, LOC_AUX | ALT, ALT},        {commands::GS, GS | GS_AUX | ALT, ALT},
        {commands::GS, GS_AUX | LOC, LOC},
    };
    for (const auto& c : cases) {
        words(kStabOn | HDG, c.armed);
        press(c.handler);
        EXPECT_EQ(block->engaged, kStabOn | HDG);
        EXPECT_EQ(block->armed, c.after);
    }
}

TEST_F(CancelOrder, EngagedIsCancelledFirstThenArmedThenTheModeArmsAgain) {
    host.set(token::nav_source_flag, 0.0);
    // APP: LOC both engaged and armed.
    words(kStabOn | LOC, LOC | ALT);
    press(commands::APP);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(block->armed, LOC | ALT);
    press(commands::APP);
    EXPECT_EQ(block->armed, ALT);
    press(commands::APP);
    EXPECT_EQ(block->armed, LOC | ALT);
    // GS.
    words(kStabOn | GS, GS | VOR);
    press(commands::GS);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(block->armed, GS | VOR);
    press(commands::GS);
    EXPECT_EQ(block->armed, VOR);
    press(commands::GS);
    EXPECT_EQ(block->armed, GS | VOR);
    // NAV: NAV engaged and VOR armed.
    words(kStabOn | NAV, VOR | GS);
    clear_host();
    press(commands::NAV);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(block->armed, VOR | GS);
    press(commands::NAV);
    EXPECT_EQ(block->armed, GS);
    EXPECT_TRUE(host.reads.empty()) << "the source flag is read only after the gate";
    press(commands::NAV);
    EXPECT_EQ(block->armed, GS | VOR);
    EXPECT_EQ(host.reads.front(), token::nav_source_flag);
    // ALTA: only `armed` counts; an engaged ALT does not cancel it.
    words(kStabOn | ALT, ALT);
    clear_host();
    press(commands::ALTA);
    EXPECT_EQ(block->engaged, kStabOn | ALT);
    EXPECT_EQ(block->armed, 0u);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(CancelOrder, WithTheGateClosedAndNothingToCancelNothingChanges) {
    gate_closed();
    for (CommandHandler h : {commands::ALT, commands::ALTA, commands::HDG, commands::VS, commands::CRHT, commands::NAV,
                             commands::APP, commands::GS, commands::IAS}) {
        words(kStabOn | kForeign | HOV | HOV_SUB_A, TDN | ATT);
        press(h);
        EXPECT_EQ(block->engaged, kStabOn | kForeign | HOV | HOV_SUB_A);
        EXPECT_EQ(block->armed, TDN | ATT);
    }
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.reads.empty());
}

// ---------------------------------------------------------------------------------------------------------------
// STAB.

class Stab : public ModesTest {};

TEST_F(Stab, OnTogglesAndRequestsAttitude) {
    words(PANEL | HDG | kForeign, LOC);
    press(commands::STAB);
    EXPECT_EQ(block->engaged, PANEL | HDG | kForeign | STAB);
    EXPECT_EQ(block->armed, LOC | ATT);
}

TEST_F(Stab, OffClearsAllModesInBothWordsAndKeepsThePersistentBits) {
    words(0xFFFFFFFFu, 0xFFFFFFFFu);
    press(commands::STAB);
    EXPECT_EQ(block->engaged, 0xFBE00000u) << "STAB off, axes, ATT and bits 27..31 stay";
    EXPECT_EQ(block->armed, 0xFBF00000u);
    words(kStabOn | ALT | HOV_SUB_A | HDG, ALT | TDN);
    press(commands::STAB);
    EXPECT_EQ(block->engaged, kStabOn & ~STAB);
    EXPECT_EQ(block->armed, ATT);
}

TEST_F(Stab, TheAxesFollowAtTheNextUpdate) {
    words(PANEL | ATT, 0);
    press(commands::STAB);
    EXPECT_EQ(block->engaged & STAB_AX1, 0u);
    update();
    if constexpr (Variant::stab_follows_modes) {
        EXPECT_EQ(block->engaged, PANEL | ATT) << "no mode engaged: STAB lasts until the next update";
    } else {
        EXPECT_EQ(block->engaged, PANEL | ATT | kStabOn);
        press(commands::STAB);
        EXPECT_EQ(block->engaged & STAB_AX1, STAB_AX1) << "the axes stay until the next update";
        update();
        EXPECT_EQ(block->engaged, PANEL | ATT);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// ALT and ALTA.

class Alt : public ModesTest {};

TEST_F(Alt, EngageClearsTheVerticalGroupAndSeedsTheReferenceRoundedToHundreds) {
    host.set(token::current_altitude, 2449.9);
    words(0xFFFFFFFFu & ~(ALT | kStabOn), ALT | LOC);
    block->altitude_reference = 777.0;
    press(commands::ALT);
    // Everything but the vertical group (0x0008CF00) stays; ALT is set.
    const uint32_t expected = 0xFE0730FFu | ALT | (Variant::engage_sets_stab ? kStabOn : 0u);
    EXPECT_EQ(block->engaged, expected);
    EXPECT_EQ(block->armed, ALT | LOC) << "an armed ALT.A stays armed";
    EXPECT_EQ(block->altitude_reference, 2400.0);
    EXPECT_EQ(host.reads, (std::vector<int32_t>{token::current_altitude}));
    EXPECT_EQ(host.read_zeroed, (std::vector<bool>{true}));
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(countdown(kFeedbackALT), 5);
}

TEST_F(Alt, RoundingOfTheSeed) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    // The seed is worked in doubles: counts of hundreds beyond the int32 range keep their value, only NaN
    // stores 0.
    const struct {
        double altitude, reference;
    } cases[] = {
        {2449.9, 2400.0},
        {2450.0, 2500.0},
        {0.0, 0.0},
        {49.9, 0.0},
        {50.0, 100.0},
        {-50.0, 0.0},
        {-51.0, -100.0},
        {-1350.0, -1300.0},
        {-1351.0, -1400.0},
        {123456.0, 123500.0},
        {kNaN, 0.0},
        {-kNaN, 0.0},
        {214748364750.0, 214748364800.0},    // 2^31 hundreds
        {-214748364950.0, -214748364900.0},  // one hundred below -2^31 hundreds
        {1e12, 1e12},
        {-1e12, -1e12},
        {kInf, kInf},
        {-kInf, -kInf},
    };
    for (const auto& c : cases) {
        words(kStabOn);
        host.set(token::current_altitude, c.altitude);
        press(commands::ALT);
        EXPECT_EQ(block->altitude_reference, c.reference) << c.altitude;
    }
}

TEST_F(Alt, CancelLeavesTheReferenceAndReadsNothing) {
    words(kStabOn | ALT | VS, 0);
    block->altitude_reference = 1234.0;
    press(commands::ALT);
    EXPECT_EQ(block->engaged, kStabOn | VS);
    EXPECT_EQ(block->altitude_reference, 1234.0);
    EXPECT_TRUE(host.reads.empty());
    EXPECT_EQ(countdown(kFeedbackALT), 5);
}

TEST_F(Alt, AltaArmsWithTheLateralArmsKeptAndSendsTheRoundedAltitudeFirst) {
    host.set(token::current_altitude, 2450.0);
    words(kStabOn | HDG, 0xFFFFFFFFu & ~ALT);
    EventSpy spy(host, block);
    press(commands::ALTA);
    EXPECT_EQ(block->armed, 0x000000FEu | ALT) << "only the lateral arms 0xFE stay";
    EXPECT_EQ(block->engaged, kStabOn | HDG);
    ASSERT_EQ(spy.seen.size(), 1u);
    EXPECT_EQ(spy.seen[0].event, event::autopilot_altitude_set);
    EXPECT_EQ(spy.seen[0].parameter, 2500u);
    EXPECT_EQ(spy.seen[0].armed, 0xFFFFFFFFu & ~ALT) << "the event goes out before the block is edited";
    EXPECT_EQ(host.read_zeroed, (std::vector<bool>{true}));
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0) << "ALTA has no countdown";
}

TEST_F(Alt, AltaSendsTheNearestHundredWithinTheAutopilotAltitudeRange) {
    const struct {
        double altitude;
        uint32_t sent;
    } cases[] = {
        {-1350.0, 0}, {2449.9, 2400},   {2450.0, 2500},   {0.0, 0},
        {49.9, 0},    {50.0, 100},      {-49.0, 0},       {-50.0, 0},
        {-51.0, 0},   {99949.9, 99900}, {99950.0, 99900}, {150000.0, 99900},
        {kNaN, 0},    {1e12, 99900},    {-1e12, 0},       {-std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& c : cases) {
        words(kStabOn, 0);
        clear_host();
        host.set(token::current_altitude, c.altitude);
        press(commands::ALTA);
        EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::autopilot_altitude_set, c.sent}})) << c.altitude;
        EXPECT_EQ(block->armed, ALT);
    }
}

TEST_F(Alt, AnArmMadeWithoutStabGoesAtTheNextUpdate) {
    words(PANEL | ATT, 0);
    press(commands::ALTA);
    EXPECT_EQ(block->armed, ALT);
    update();
    EXPECT_EQ(block->armed, 0u);
}

// ---------------------------------------------------------------------------------------------------------------
// HDG, VS, CRHT.

class HeadingAndVertical : public ModesTest {};

TEST_F(HeadingAndVertical, HdgClearsTheLateralGroupOnly) {
    words(0xFFFFFFFFu & ~(HDG | kStabOn), TDN | GS);
    press(commands::HDG);
    // Heading keep mask 0xFBF8DF00: the vertical group, IAS and the persistent bits stay.
    EXPECT_EQ(block->engaged, (0xFE0FFFFEu & 0xFBF8DF00u) | HDG | (Variant::engage_sets_stab ? kStabOn : 0u));
    EXPECT_EQ(block->armed, TDN | GS | HDG);
}

TEST_F(HeadingAndVertical, HdgWhileHoveringKeepsHht) {
    words(kStabOn | HOV | HOV_SUB_A | HOV_SUB_B | TUP | TDN | HHT | IAS | ALT, 0);
    press(commands::HDG);
    EXPECT_EQ(block->engaged, kStabOn | HHT | IAS | ALT | HDG);
    EXPECT_EQ(block->armed, HDG);
}

TEST_F(HeadingAndVertical, VsAndCrhtClearTheVerticalGroupAndRequestTheirBit) {
    for (uint32_t bit : {VS, CRHT}) {
        words(0xFFFFFFFFu & ~(bit | kStabOn), LOC);
        block->radar_height_reference = 333.0;
        press(bit == VS ? commands::VS : commands::CRHT);
        EXPECT_EQ(block->engaged, 0xFE0730FFu | bit | (Variant::engage_sets_stab ? kStabOn : 0u));
        EXPECT_EQ(block->armed, LOC | bit);
        EXPECT_EQ(block->radar_height_reference, 333.0) << "CRHT engage sets no reference";
    }
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.reads.empty());
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0);
}

TEST_F(HeadingAndVertical, EachVerticalEngageDropsTheOthers) {
    host.set(token::current_altitude, 500.0);
    words(kStabOn | ALT | GA | HHT);
    press(commands::VS);
    EXPECT_EQ(block->engaged, kStabOn | VS);
    press(commands::CRHT);
    EXPECT_EQ(block->engaged, kStabOn | CRHT);
    press(commands::ALT);
    EXPECT_EQ(block->engaged, kStabOn | ALT);
}

TEST_F(HeadingAndVertical, BrevaneEngageTurnsStabOnAtOnce) {
    for (CommandHandler h : {commands::ALT, commands::HDG, commands::VS, commands::CRHT, commands::IAS}) {
        words(PANEL, 0);
        press(h);
        EXPECT_EQ(block->engaged & kStabOn, Variant::engage_sets_stab ? kStabOn : 0u);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// IAS.

class Ias : public ModesTest {};

TEST_F(Ias, GateOpenToggles) {
    words(PANEL | ALT, VS);
    press(commands::IAS);
    EXPECT_EQ(block->engaged, PANEL | ALT | IAS | (Variant::engage_sets_stab ? kStabOn : 0u));
    EXPECT_EQ(block->armed, VS | IAS);
    block->armed = VS | IAS;
    press(commands::IAS);
    EXPECT_EQ(block->engaged & IAS, 0u);
    EXPECT_EQ(block->engaged & ALT, ALT) << "IAS leaves the vertical group alone";
    EXPECT_EQ(block->armed, VS | IAS) << "a cleared IAS writes no request";
    EXPECT_EQ(countdown(kFeedbackIAS), 5);
}

TEST_F(Ias, GateClosedClearsButNeverEngages) {
    gate_closed();
    words(kStabOn | IAS | CRHT, 0);
    press(commands::IAS);
    EXPECT_EQ(block->engaged, kStabOn | CRHT);
    EXPECT_EQ(block->armed, 0u);
    EXPECT_EQ(countdown(kFeedbackIAS), 5);
    module.countdown[kFeedbackIAS] = 0;
    press(commands::IAS);
    EXPECT_EQ(block->engaged, kStabOn | CRHT);
    EXPECT_EQ(block->armed, 0u);
    EXPECT_EQ(countdown(kFeedbackIAS), 5);
}

// ---------------------------------------------------------------------------------------------------------------
// TDN and HOV.

class Transition : public ModesTest {};

TEST_F(Transition, CycleThroughHoverTupAndArmedTdn) {
    gate_closed();  // TDN has no gate
    words(kStabOn | kForeign | HOV | HOV_SUB_A | HOV_SUB_B | HHT | HDG | IAS | ALT, HDG | LOC);
    press(commands::TDN);
    EXPECT_EQ(block->engaged, kStabOn | kForeign | TUP) << "hover: all modes cleared, TUP engaged";
    EXPECT_EQ(block->armed, HDG | LOC);
    block->armed = 0;
    press(commands::TDN);
    EXPECT_EQ(block->engaged, kStabOn | kForeign);
    EXPECT_EQ(block->armed, 0u);
    press(commands::TDN);
    EXPECT_EQ(block->armed, TDN);
    press(commands::TDN);
    EXPECT_EQ(block->armed, 0u);
    EXPECT_EQ(countdown(kFeedbackTDN), 5);
}

TEST_F(Transition, EngagedTransitionsCancelInOrder) {
    words(kStabOn | TUP | TDN, TDN);
    press(commands::TDN);
    EXPECT_EQ(block->engaged, kStabOn | TDN);
    EXPECT_EQ(block->armed, TDN);
    press(commands::TDN);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(block->armed, TDN);
    press(commands::TDN);
    EXPECT_EQ(block->armed, 0u);
    // HOV outranks TUP.
    words(kStabOn | HOV | TUP | TDN, 0);
    press(commands::TDN);
    EXPECT_EQ(block->engaged, kStabOn | TUP);
}

TEST_F(Transition, ArmBlockers) {
    for (uint32_t blocker : {ALT, LOC, LOC_AUX, LAT_SPARE3, LAT_SPARE4, VOR, VOR_AUX, NAV, GS, GS_AUX}) {
        words(kStabOn, blocker | ATT);
        module.countdown[kFeedbackTDN] = 0;
        press(commands::TDN);
        EXPECT_EQ(block->armed, blocker | ATT) << std::hex << blocker;
        EXPECT_EQ(block->engaged, kStabOn);
        EXPECT_EQ(countdown(kFeedbackTDN), 5);
    }
    for (uint32_t harmless : {HDG, VS, IAS, HOV, CRHT, HHT, HOV_SUB_B, TUP, GA, STAB_AX1, ATT, HOV_SUB_A, PANEL}) {
        words(kStabOn, harmless);
        press(commands::TDN);
        EXPECT_EQ(block->armed, harmless | TDN) << std::hex << harmless;
    }
}

TEST_F(Transition, BrevaneArmTurnsStabOn) {
    words(PANEL | STAB_AX1, 0);
    press(commands::TDN);
    EXPECT_EQ(block->armed, TDN);
    EXPECT_EQ(block->engaged, PANEL | STAB_AX1 | (Variant::engage_sets_stab ? kStabOn : 0u));
}

TEST_F(Transition, KorstNeedsTheFirstStabAxis) {
    const uint32_t without_ax1 = PANEL | STAB | STAB_AX2 | STAB_AX3 | STAB_AX4;
    for (uint32_t engaged : {without_ax1 | HOV, without_ax1 | TUP, without_ax1 | TDN, without_ax1}) {
        words(engaged, 0);
        module.countdown[kFeedbackTDN] = 0;
        press(commands::TDN);
        if constexpr (Variant::tdn_hov_need_stab_ax1) {
            EXPECT_EQ(block->engaged, engaged);
            EXPECT_EQ(block->armed, 0u);
        } else {
            EXPECT_TRUE(block->engaged != engaged || block->armed != 0u);
        }
        EXPECT_EQ(countdown(kFeedbackTDN), 5) << "set on the early stop too";
    }
    words(without_ax1, 0);
    press(commands::HOV);
    EXPECT_EQ((block->engaged & HOV) != 0, !Variant::tdn_hov_need_stab_ax1);
    words(without_ax1 | HOV | HOV_SUB_A, 0);
    press(commands::HOV);
    EXPECT_EQ((block->engaged & HOV) != 0, Variant::tdn_hov_need_stab_ax1) << "no cancel either";
}

TEST_F(Transition, KorstWaitsForTheAxesAfterAStabPress) {
    words(PANEL | ATT, 0);
    press(commands::STAB);
    press(commands::TDN);
    press(commands::HOV);
    if constexpr (Variant::tdn_hov_need_stab_ax1) {
        EXPECT_EQ(block->engaged, PANEL | ATT | STAB);
        EXPECT_EQ(block->armed, ATT);
        update();
        press(commands::HOV);
        EXPECT_EQ(block->engaged & (HOV | HOV_SUB_A | HHT), HOV | HOV_SUB_A | HHT);
    } else {
        EXPECT_EQ(block->engaged & (HOV | HOV_SUB_A | HHT), HOV | HOV_SUB_A | HHT);
    }
}

class Hover : public ModesTest {};

TEST_F(Hover, EngageClearsAllModesAndRequests) {
    words(kStabOn | kForeign | ALT | HDG | IAS | VS | GA | NAV | LOC | TUP, ALT | LOC);
    press(commands::HOV);
    EXPECT_EQ(block->engaged, kStabOn | kForeign | HOV | HOV_SUB_A | HHT);
    EXPECT_EQ(block->armed, ALT | LOC | HHT | HDG | HOV_SUB_B | STAB_AX1 | STAB_AX3);
    EXPECT_TRUE(host.events.empty());
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0) << "HOV has no countdown";
}

TEST_F(Hover, HhtNeedsTheThirdAxisInKorstOnly) {
    words(PANEL | STAB | STAB_AX1, 0);
    block->hover_height_reference = 42.0;
    press(commands::HOV);
    if constexpr (Variant::hov_engages_hht_always) {
        EXPECT_EQ(block->engaged, 0x05F02000u | PANEL | HHT);
    } else {
        EXPECT_EQ(block->engaged, PANEL | STAB | STAB_AX1 | HOV | HOV_SUB_A);
    }
    EXPECT_EQ(block->armed, HHT | 0x00A10001u);
    EXPECT_EQ(block->hover_height_reference, 42.0);
}

TEST_F(Hover, FromAnEngagedTransitionDownNoHeightIsRequested) {
    words(kStabOn | TDN | ALT, TDN);
    press(commands::HOV);
    EXPECT_EQ(block->engaged, kStabOn | HOV | HOV_SUB_A | HHT);
    EXPECT_EQ(block->armed, TDN | HDG | HOV_SUB_B | STAB_AX1 | STAB_AX3) << "no HHT request";
}

TEST_F(Hover, CancelClearsTheHoverBitsOnly) {
    words(kStabOn | HOV | HOV_SUB_A | HOV_SUB_B | HHT | IAS | HDG | TUP, HHT);
    press(commands::HOV);
    EXPECT_EQ(block->engaged, kStabOn | IAS | HDG | TUP);
    EXPECT_EQ(block->armed, HHT);
}

TEST_F(Hover, HasNoGate) {
    gate_closed();
    words(kStabOn, 0);
    press(commands::HOV);
    EXPECT_EQ(block->engaged & HOV, HOV);
}

// ---------------------------------------------------------------------------------------------------------------
// NAV, APP, GS.

class Navigation : public ModesTest {};

TEST_F(Navigation, SourceFlagSetEngagesNavAndDropsTheLateralArms) {
    host.set(token::nav_source_flag, 1.0);
    words(0xFFFFFFFFu & ~(VOR | VOR_AUX | NAV), 0xFFFFFFFFu & ~(VOR | VOR_AUX | NAV));
    press(commands::NAV);
    EXPECT_EQ(block->engaged, (0xFFFFFF1Fu & 0xFBF8DF00u) | NAV);
    EXPECT_EQ(block->armed, 0x00000E00u);
    EXPECT_EQ(host.reads, (std::vector<int32_t>{token::nav_source_flag}));
    EXPECT_EQ(host.read_zeroed, (std::vector<bool>{true}));
    words(PANEL, 0);
    press(commands::NAV);
    EXPECT_EQ(block->engaged, PANEL | NAV) << "NAV engage sets no STAB in either module";
}

TEST_F(Navigation, EveryReadOfTheSourceFlagStartsFromAZeroedRecord) {
    host.set(token::nav_source_flag, 2.0);
    ReadSpy spy(host);
    for (int i = 0; i < 2; ++i) {
        words(PANEL, 0);
        press(commands::NAV);
    }
    ASSERT_EQ(spy.handed.size(), 2u);
    for (const ModuleVariable& r : spy.handed) {
        ModuleVariable zeroed{};
        zeroed.token = token::nav_source_flag;
        EXPECT_EQ(std::memcmp(&r, &zeroed, sizeof r), 0);
    }
}

TEST_F(Navigation, SourceFlagReadAsADouble) {
    for (double flag : {1.0, 0.5, -0.5, kNaN, 1e300}) {
        host.set(token::nav_source_flag, flag);
        words(PANEL, 0);
        press(commands::NAV);
        EXPECT_EQ(block->engaged, PANEL | NAV) << flag;
        EXPECT_EQ(block->armed, 0u);
    }
    host.set(token::nav_source_flag, -0.0);
    host.set_raw(token::nav_receiver_flags, 0);
    words(PANEL, 0);
    press(commands::NAV);
    EXPECT_EQ(block->engaged, PANEL);
    EXPECT_EQ(block->armed, VOR) << "-0.0 reads exactly 0";
}

TEST_F(Navigation, SourceFlagZeroArmsVorOrTheReceiverModes) {
    host.set(token::nav_source_flag, 0.0);
    const struct {
        uint64_t raw;
        uint32_t brevane;
    } cases[] = {
        {0xC0, LOC | GS},
        {0x80, LOC},
        {0x40, VOR},
        {0x00, VOR},
        {0xFF, LOC | GS},
        {0x7F, VOR},
        {0xBF, LOC},
        {0x1C0, LOC | GS},
        {0xFFFFFFFFFFFFFF00ull, VOR},
        {0x8000000000000080ull, LOC},
    };
    for (const auto& c : cases) {
        host.set_raw(token::nav_receiver_flags, c.raw);
        words(kStabOn | HDG, 0xFFFFFFFFu & ~(VOR | VOR_AUX | NAV));
        clear_host();
        ReadSpy spy(host);
        press(commands::NAV);
        const uint32_t armed = Variant::nav_reads_receiver_flags ? c.brevane : VOR;
        EXPECT_EQ(block->armed, 0x00000E00u | armed) << std::hex << c.raw;
        EXPECT_EQ(block->engaged, kStabOn | HDG);
        if constexpr (Variant::nav_reads_receiver_flags) {
            EXPECT_EQ(host.reads, (std::vector<int32_t>{token::nav_source_flag, token::nav_receiver_flags}));
            ASSERT_EQ(spy.records.size(), 2u);
            EXPECT_EQ(spy.records[0], spy.records[1]) << "one record for both reads";
            // Only the token changed between the reads: the host's words and the value stay as the first left them.
            const ModuleVariable second = spy.handed[1];
            EXPECT_EQ(second.token, token::nav_receiver_flags);
            EXPECT_EQ(second.host_word1, ReadSpy::kHostMark | 1u);
            EXPECT_EQ(second.host_word4, ReadSpy::kHostMark | 4u);
            EXPECT_EQ(double{second.value}, 0.0);
        } else {
            EXPECT_EQ(host.reads, (std::vector<int32_t>{token::nav_source_flag}));
        }
    }
}

TEST_F(Navigation, ArmsReplaceEachOther) {
    host.set(token::nav_source_flag, 0.0);
    host.set_raw(token::nav_receiver_flags, 0x00);
    // APP with VOR armed: VOR disarmed and LOC armed in one press, the vertical arms kept.
    words(kStabOn, VOR | ALT | GS | GS_AUX | TDN | HDG);
    press(commands::APP);
    EXPECT_EQ(block->armed, LOC | ALT | GS | GS_AUX);
    // NAV with LOC armed: only the vertical arms stay and VOR is armed.
    words(kStabOn, LOC | ALT | TDN | IAS);
    press(commands::NAV);
    EXPECT_EQ(block->armed, VOR | ALT);
    // GS keeps only the lateral arms; ALTA replaces GS and the other way round.
    words(kStabOn, ALT | LOC | HDG | TDN | IAS | 0xFF000000u);
    press(commands::GS);
    EXPECT_EQ(block->armed, GS | LOC);
    press(commands::ALTA);
    EXPECT_EQ(block->armed, ALT | LOC);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_EQ(countdown(kFeedbackAPP), 5);
    EXPECT_EQ(countdown(kFeedbackNAV), 5);
    EXPECT_EQ(countdown(kFeedbackGS), 5);
}

TEST_F(Navigation, ArmsWithoutAModeGoAtTheNextUpdate) {
    host.set(token::nav_source_flag, 0.0);
    words(PANEL | ATT | (Variant::stab_follows_modes ? 0u : kStabOn), 0);
    press(commands::APP);
    press(commands::GS);
    EXPECT_EQ(block->armed, LOC | GS);
    update();
    EXPECT_EQ(block->armed, Variant::stab_follows_modes ? 0u : LOC | GS);
}

// ---------------------------------------------------------------------------------------------------------------
// GO_AROUND and FD_DISENGAGE.

class GoAround : public ModesTest {};

TEST_F(GoAround, SendsThreeEventsThenKeepsTheLateralNavigationModes) {
    gate_closed();
    words(0xFFFFFFFFu, 0xFFFFFFFFu);
    EventSpy spy(host, block);
    press(commands::GO_AROUND);
    EXPECT_EQ(host.events, (std::vector<SentEvent>{{event::first_go_around_preset, 500},
                                                   {event::second_go_around_preset, 75},
                                                   {event::autopilot_airspeed_set, 9600}}));
    for (const EventSpy::Seen& s : spy.seen) {
        EXPECT_EQ(s.engaged, 0xFFFFFFFFu) << "events before edits";
        EXPECT_EQ(s.armed, 0xFFFFFFFFu);
    }
    EXPECT_EQ(block->engaged, 0xFBF011FFu);
    EXPECT_EQ(block->armed, 0u);
}

TEST_F(GoAround, DropsVerticalAndHoverModes) {
    words(kStabOn | HDG | LOC | HOV | HOV_SUB_A | HOV_SUB_B | TUP | TDN | ALT | GA | CRHT | HHT | GS, ALT | TDN);
    press(commands::GO_AROUND);
    EXPECT_EQ(block->engaged, kStabOn | HDG | LOC | IAS | VS);
    EXPECT_EQ(block->armed, 0u);
    for (int i = 0; i < kFeedbackCount; ++i) EXPECT_EQ(module.countdown[i], 0);
}

TEST_F(GoAround, FdDisengageClearsAllModesAndKeepsStab) {
    gate_closed();
    words(0xFFFFFFFFu, 0xFFFFFFFFu);
    press(commands::FD_DISENGAGE);
    EXPECT_EQ(block->engaged, 0xFBF00000u);
    EXPECT_EQ(block->armed, 0u);
    words(kStabOn | ALT | HDG | HOV_SUB_A, TDN);
    press(commands::FD_DISENGAGE);
    EXPECT_EQ(block->engaged, kStabOn);
    EXPECT_TRUE(host.events.empty());
    update();
    EXPECT_EQ(block->engaged & STAB, Variant::stab_follows_modes ? 0u : STAB);
}

}  // namespace
}  // namespace afcp::test
