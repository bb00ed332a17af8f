// The engine's mode logic and control laws, open loop, a step or a few at a time: captures, requests, the axes
// it holds and lets go, the references it takes, the signs of its shares and their limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include "engine/autopilot.h"
#include "engine/gains.h"
#include "tests/unit/engine_fixture.h"

namespace afcp::test {
namespace {

using namespace bits;
using autopilot::Actions;
using autopilot::Sensors;
namespace gains = autopilot::gains;

using autopilot::fixture::cruise, autopilot::fixture::hover, autopilot::fixture::kDt, autopilot::fixture::kAxisNames;
using flight::units::kPi;
constexpr int kCollective = aircraft_link::collective, kPitch = aircraft_link::pitch_axis,
              kRoll = aircraft_link::roll_axis, kPedals = aircraft_link::pedals_axis;

// One engine and its block: placed with STAB engaged (one step), then `modes` engaged.
struct Flight {
    explicit Flight(uint32_t modes, const Sensors& sensors = cruise()) : s(sensors) {
        block.engaged = PANEL | STAB;
        block.altitude_reference = s.altitude_ft;
        block.radar_height_reference = s.radar_height_ft;
        block.hover_height_reference = 50;
        fly();
        block.engaged |= modes;
    }
    Actions fly(int steps = 1) {
        Actions a{};
        for (int i = 0; i < steps; ++i) a = ap.step(block, s, kDt);
        return a;
    }
    Actions fly_for(double seconds) { return fly(static_cast<int>(std::lround(seconds / kDt))); }
    autopilot::Autopilot ap;
    StateBlock block{};
    Sensors s;
};

// The largest difference between two flights' shares over `steps` steps; `a`'s last step in `last`.
double largest_difference(Flight& a, Flight& b, int steps, Actions* last = nullptr) {
    double most = 0;
    for (int i = 0; i < steps; ++i) {
        const Actions x = a.fly(), y = b.fly();
        if (last != nullptr) *last = x;
        for (int axis = 0; axis < 4; ++axis) most = std::max(most, std::fabs(x.share[axis] - y.share[axis]));
    }
    return most;
}

// ---- captures ----

TEST(AutopilotCapture, AltitudeAcquireFlyingTowardTheSelectedAltitudeInsideTheClimbsLead) {
    // 1200 ft/min covers 120 ft in the 6 s lead, toward the selected altitude only; never less than the 25 ft
    // band, and only at 100 ft/min or more: level at the selected altitude (ALT.A pressed selects the present
    // one) is no capture.
    const std::tuple<double, double, bool> cases[] = {
        {1975.5, 0.0, false},   {2000.0, 0.0, false},    {2024.5, 0.0, false},    {1980.0, 200.0, true},
        {1980.0, 99.0, false},  {1980.0, -200.0, false}, {1974.5, 200.0, false},  {1870.0, 1200.0, false},
        {1885.0, 1200.0, true}, {2115.0, -1200.0, true}, {1885.0, -1200.0, false}};
    for (const auto& [altitude, climb, captured] : cases) {
        Flight f(VS | HDG);
        f.block.armed = ALT;
        f.s.selected_altitude_ft = 2000;
        f.s.altitude_ft = altitude;
        f.s.climb_fpm = climb;
        f.fly();
        const std::string at = std::to_string(altitude) + " ft at " + std::to_string(climb) + " ft/min";
        EXPECT_EQ(f.block.engaged, PANEL | STAB | HDG | (captured ? ALT : VS)) << at;
        EXPECT_EQ(f.block.armed, captured ? 0u : ALT) << at;
        EXPECT_EQ(f.block.altitude_reference, captured ? 2000.0 : 1000.0) << at;
    }
}

TEST(AutopilotCapture, AltitudeAcquireAcrossTheSelectedAltitudeBetweenTwoSteps) {
    // A reading that jumps across (a fast climb, a coarse step) still captures; hovering about it level does not.
    Flight f(VS | HDG);
    f.block.armed = ALT;
    f.s.selected_altitude_ft = 2000;
    f.s.altitude_ft = 1999;
    f.s.climb_fpm = 0;
    f.fly();
    f.s.altitude_ft = 2001;
    f.fly();
    EXPECT_EQ(f.block.armed, ALT) << "level: no capture";
    f.s.climb_fpm = -300;  // away from it...
    f.fly();
    f.s.altitude_ft = 1990;  // ...and across it
    f.fly();
    EXPECT_EQ(f.block.armed, 0u);
    EXPECT_EQ(f.block.engaged, PANEL | STAB | HDG | ALT);
}

TEST(AutopilotCapture, LocalizerThenGlideSlopeEachOnItsReceiverFlag) {
    Flight f(HDG | ALT);
    f.block.armed = LOC | LOC_AUX | GS;
    const struct {
        int flags;
        double localizer, glide_slope;
        uint32_t engaged, armed;
    } steps[] = {
        {0x40, 0, 0, HDG | ALT, LOC | LOC_AUX | GS},    // no localizer received
        {0xC0, 1.6, 0, HDG | ALT, LOC | LOC_AUX | GS},  // outside 1.5 dots; the glide slope waits for it
        {0x80, -1.4, 0, LOC | ALT, GS},                 // the glide slope not received
        {0xC0, 0, 0.4, LOC | ALT, GS},                  // outside a third of a dot
        {0xC0, 0, -0.3, LOC | GS, 0},
    };
    for (const auto& step : steps) {
        f.s.receiver_flags = step.flags;
        f.s.localizer_dots = step.localizer;
        f.s.glide_slope_dots = step.glide_slope;
        f.fly();
        EXPECT_EQ(f.block.engaged, PANEL | STAB | step.engaged) << &step - steps;
        EXPECT_EQ(f.block.armed, step.armed) << &step - steps;
    }
}

TEST(AutopilotCapture, VorInsideOneAndAHalfDotsAwayFromTheStation) {
    Flight f(NAV | ALT);
    f.block.armed = VOR | VOR_AUX;
    f.s.vor_dots = 1.6;
    f.fly();
    f.s.vor_dots = 0;
    f.s.vor_nm = 0.4;  // over the station the needle means nothing
    f.fly();
    EXPECT_EQ(f.block.armed, VOR | VOR_AUX);
    f.s.vor_nm = 3;
    f.s.vor_dots = -1.4;
    f.fly();
    EXPECT_EQ(f.block.engaged, PANEL | STAB | VOR | ALT);
    EXPECT_EQ(f.block.armed, 0u);
}

TEST(AutopilotCapture, TransitionDownFromAboveTwentyKnotsToThePanelsHover) {
    Flight f(HDG | ALT);
    f.block.armed = TDN;
    f.s.airspeed_kt = 19;
    f.fly();
    EXPECT_EQ(f.block.armed, TDN);
    f.s.airspeed_kt = 21;
    EXPECT_EQ(f.fly().command, nullptr);
    EXPECT_EQ(f.block.engaged, PANEL | STAB | HDG | ALT | TDN);  // joins the lateral mode
    EXPECT_EQ(f.block.armed, 0u);

    // Under 5 kt over the ground and within 15 ft of the hover height, the engine calls the panel's HOV.
    const std::tuple<double, double, bool> cases[] = {
        {4.9, 64.0, true}, {4.9, 36.0, true}, {5.1, 50.0, false}, {4.9, 65.5, false}, {4.9, 34.5, false}};
    for (const auto& [ground_speed, radar_height, hover] : cases) {
        f.s.ground_speed_kt = ground_speed;
        f.s.radar_height_ft = radar_height;
        EXPECT_STREQ(f.fly().command, hover ? "HOV" : nullptr) << ground_speed << " kt, " << radar_height << " ft";
    }
}

// ---- requests, the go-around and the transitions ----

TEST(AutopilotRequests, RequestsAreTakenOnceAndTargetsStayArmed) {
    Flight f(HDG | CRHT | IAS);
    f.s.radar_height_ft = 312.4;
    f.s.selected_altitude_ft = 5000;
    f.s.vor_dots = 2;
    const uint32_t targets = ALT | LOC | GS | VOR;
    f.block.armed = HDG | VS | IAS | CRHT | HHT | HOV_SUB_B | STAB_AX1 | STAB_AX3 | ATT | targets;
    EXPECT_FALSE(f.fly().set_airspeed);  // 80 kt is a reference the engine flies
    EXPECT_EQ(f.block.armed, targets);
    EXPECT_EQ(f.block.radar_height_reference, 312.0);
    EXPECT_EQ(f.block.hover_height_reference, 312.0);
    f.s.radar_height_ft = 400;
    f.fly();
    EXPECT_EQ(f.block.radar_height_reference, 312.0);  // taken at the request, not after
}

TEST(AutopilotRequests, IasReferenceOutsideFortyToOneSixtyKnotsIsReplacedWithThePresentAirspeed) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The airspeed sent, 0 for none.
    const std::tuple<double, double, double> cases[] = {
        {0.0, 92.4, 92.0}, {39.9, 92.4, 92.0}, {160.1, 92.6, 93.0}, {nan, 92.4, 92.0}, {200.0, 20.0, 40.0},
        {40.0, 92.4, 0.0}, {160.0, 92.4, 0.0}, {100.0, 92.4, 0.0},  {nan, nan, 80.0}};  // the airspeed last read
    for (const auto& [reference, airspeed, sent] : cases) {
        Flight f(IAS);
        f.block.armed = IAS;
        f.s.autopilot_airspeed_kt = reference;
        f.s.airspeed_kt = airspeed;
        const Actions a = f.fly();
        EXPECT_EQ(a.set_airspeed ? a.airspeed_kt : 0, sent) << reference;
        EXPECT_FALSE(f.fly().set_airspeed) << "only at the request";
    }
}

TEST(AutopilotRequests, HoverAfterATransitionDownKeepsItsHoverHeight) {
    Sensors s = hover();
    s.radar_height_ft = 60;
    // What the panel's HOV leaves after a transition down: the hover modes and requests, no HHT request.
    Flight f(HOV | HOV_SUB_A | HHT, s);
    f.block.armed = masks::hover_requests;
    const Actions a = f.fly(100);
    EXPECT_EQ(f.block.hover_height_reference, 50.0);
    EXPECT_EQ(f.block.armed, 0u);
    EXPECT_LT(a.share[kCollective], 0) << "down to the hover height";
}

TEST(AutopilotRequests, BeepTrimStepsTheAttitudeHeldAndLeavesHoverSpeeds) {
    Flight f(0);
    f.block.armed = ATT;
    f.block.fore_aft_input = 0.15;  // forward
    f.block.lateral_input = -0.15;  // left
    const Actions a = f.fly(50);
    EXPECT_EQ(f.block.fore_aft_input, 0.0);
    EXPECT_EQ(f.block.lateral_input, 0.0);
    EXPECT_LT(a.share[kPitch], 0);
    EXPECT_LT(a.share[kRoll], 0);

    f.block.armed = ATT;
    f.block.fore_aft_input = 0.3;  // larger than a beep: a hover speed
    f.fly();
    EXPECT_EQ(f.block.fore_aft_input, 0.3);
    Flight h(HOV | HOV_SUB_A, hover());
    h.block.armed = ATT;
    h.block.lateral_input = 0.15;
    h.fly();
    EXPECT_EQ(h.block.lateral_input, 0.15);
}

// Only both presets together make V/S and IAS a go-around: another climb or another airspeed is the pilot's own.
TEST(AutopilotRequests, GoAroundTakesThePlaceOfVerticalSpeedWithThePresets) {
    const struct {
        double fpm, kt;
        bool go_around;
    } cases[] = {{500, 75, true}, {700, 75, false}, {500, 90, false}, {500, 75.4, true}, {500, 75.6, false}};
    for (const auto& k : cases) {
        Flight f(VS | HDG);
        f.fly(5);
        f.block.armed = 0;  // what the panel's GO_AROUND leaves
        f.block.engaged = PANEL | STAB | HDG | IAS | VS;
        f.s.vertical_speed_fpm = k.fpm;
        f.s.autopilot_airspeed_kt = k.kt;
        f.fly();
        EXPECT_EQ(f.block.engaged, PANEL | STAB | HDG | IAS | (k.go_around ? GA : VS)) << k.fpm << " " << k.kt;
    }
}

TEST(AutopilotRequests, IasButtonBesideVerticalSpeedIsNoGoAround) {
    Flight f(VS);
    f.s.vertical_speed_fpm = 500;
    f.s.autopilot_airspeed_kt = 75;
    f.fly(5);
    f.block.engaged |= IAS;  // what the panel's IAS button does
    f.block.armed |= IAS;
    f.fly();
    EXPECT_EQ(f.block.engaged, PANEL | STAB | VS | IAS);
}

TEST(AutopilotRequests, GoAroundFromATransitionDownSlewsFromThePresentAirspeed) {
    Sensors s = cruise();
    s.airspeed_kt = s.ground_speed_kt = s.forward_ground_speed_kt = 60;
    Flight f(TDN, s);
    f.fly(50);
    f.block.armed = 0;
    f.block.engaged = PANEL | STAB | IAS | VS;
    f.s.vertical_speed_fpm = 500;
    f.s.autopilot_airspeed_kt = 75;
    f.fly();
    ASSERT_NE(f.block.engaged & GA, 0u);
    EXPECT_LT(f.fly_for(2).share[kPitch], 0) << "slower than 75 kt: nose down";
}

TEST(AutopilotRequests, TransitionsFlyTheirSpeedsAndHeights) {
    Flight up(TUP, hover());
    Actions a = up.fly_for(3);
    EXPECT_GT(a.share[kCollective], 0) << "climbs away";
    EXPECT_LT(a.share[kPitch], 0) << "accelerates";
    Flight down(TDN);  // from 80 kt at 500 ft to the hover at 50 ft
    a = down.fly_for(10);
    EXPECT_LT(a.share[kCollective], 0) << "descends with the speed";
    EXPECT_GT(a.share[kPitch], 0) << "decelerates";
}

// ---- the axes held and let go ----

TEST(AutopilotAxes, StabOffReleasesEveryHeldAxisOnceThenHoldsNothing) {
    Flight f(ALT);
    Actions a = f.fly(5);
    for (const bool held : a.held) EXPECT_TRUE(held);
    f.block.engaged = PANEL | ALT | HDG | IAS;
    f.block.armed = HHT | ALT;
    f.s.altitude_ft = 900;
    f.s.pitch_rate_dps = 10;
    EXPECT_EQ(f.fly().release, 0xFu);
    for (int i = 0; i < 50; ++i) {
        a = f.fly();
        EXPECT_EQ(a.release, 0u);
        for (int axis = 0; axis < 4; ++axis) EXPECT_TRUE(!a.held[axis] && a.share[axis] == 0) << kAxisNames[axis];
    }
    EXPECT_EQ(f.block.armed, HHT | ALT);  // no request taken, nothing captured
}

TEST(AutopilotAxes, AxisNoModeHoldsIsReleasedOnceAndRetakenFromNothing) {
    Flight f(ALT);
    f.block.altitude_reference = 1100;
    EXPECT_GT(f.fly_for(5).share[kCollective], 0.05);
    f.block.engaged &= ~ALT;
    Actions a = f.fly();
    EXPECT_EQ(a.release, 1u << kCollective);
    EXPECT_EQ(a.share[kCollective], 0.0);
    EXPECT_TRUE(!a.held[kCollective] && a.held[kPitch] && a.held[kRoll] && a.held[kPedals]);
    EXPECT_EQ(f.fly().release, 0u);
    f.block.engaged |= ALT;  // taken again with nothing to correct: the old integral is gone
    f.block.altitude_reference = 1000;
    a = f.fly(2);
    EXPECT_TRUE(a.held[kCollective]);
    EXPECT_EQ(a.share[kCollective], 0.0);
}

TEST(AutopilotAxes, StabHoldsTheAttitudeOfTheMomentItEngages) {
    Sensors s = cruise();
    s.airspeed_kt = 30;  // pedals on the heading
    Flight f(0, s);
    f.block.engaged = PANEL;
    f.s.pitch_deg = 7;
    f.s.bank_deg = -4;
    f.s.heading_deg = 200;
    f.fly(10);
    f.block.engaged = PANEL | STAB;
    const Actions a = f.fly(100);
    for (int axis : {kPitch, kRoll, kPedals}) EXPECT_EQ(a.share[axis], 0.0) << kAxisNames[axis];
}

TEST(AutopilotAxes, PlacementStartsTheLoopsFromTheAircraftAsPlaced) {
    Flight f(0);
    f.s.pitch_deg = 3;
    EXPECT_LT(f.fly_for(5).share[kPitch], -0.05);  // ATT pulls back to level, its integral winding
    f.s.placements = 1;
    EXPECT_EQ(f.fly(2).share[kPitch], 0.0);
}

TEST(AutopilotAxes, PlacementInAModeFliesItFromTheAircraftAsPlaced) {
    Sensors presets = cruise();
    presets.vertical_speed_fpm = 500;
    presets.autopilot_airspeed_kt = 75;
    Flight h(HOV | HOV_SUB_A | HHT, hover()), g(VS | IAS, presets);  // g: the go-around as the panel leaves it
    for (Flight* f : {&h, &g}) {
        f->fly(10);
        f->s.placements = 1;
        f->s.heading_deg = 120;
    }
    EXPECT_NEAR(h.fly(50).share[kPedals], 0, 1e-9) << "the hover holds the heading placed";
    EXPECT_NEAR(g.fly(50).share[kRoll], 0, 1e-9) << "the go-around holds the heading placed";

    // A transition down placed anew at 60 kt, 300 ft starts from there: neither down to the hover height at once
    // nor nose up for a speed target of 0 kt.
    Flight t(TDN);
    t.fly(10);
    t.s.placements = 1;
    t.s.airspeed_kt = t.s.ground_speed_kt = t.s.forward_ground_speed_kt = 60;
    t.s.radar_height_ft = 300;
    const Actions a = t.fly(20);
    // The descent starts at the planned rate through the climb command's rate limit, not down at once.
    EXPECT_GT(a.share[kCollective], -0.05);
    EXPECT_LT(a.share[kPitch], 0.05) << "slowing from the present speed, not nose up for 0 kt at once";
}

TEST(AutopilotAxes, PilotsHandSetsTheAttitudeHeld) {
    Flight f(0);
    for (int k = 1; k <= 50; ++k) {  // the stick eased aft, the nose up to 4 deg
        f.s.pilot[kPitch] = 0.004 * k;
        f.s.pitch_deg = 0.08 * k;
        f.fly();
    }
    EXPECT_EQ(f.fly_for(1.5).share[kPitch], 0.0);  // hands off: 4 deg held, nothing wound
    f.s.pitch_deg = 5;
    EXPECT_LT(f.fly(20).share[kPitch], 0);
}

TEST(AutopilotAxes, ForceTrimReleaseHeldLetsTheCyclicGoThenHoldsTheAttitudeFlown) {
    Flight f(0);
    f.s.force_trim_release = true;  // the hand still: the release alone lets the attitude go
    f.s.pitch_deg = 4;
    f.s.bank_deg = -6;
    const Actions held = f.fly_for(3);
    EXPECT_EQ(held.share[kPitch], 0.0);
    EXPECT_EQ(held.share[kRoll], 0.0);
    f.s.force_trim_release = false;
    EXPECT_EQ(f.fly_for(1.5).share[kPitch], 0.0) << "4 deg held once it is up";
    f.s.pitch_deg = 5;
    EXPECT_LT(f.fly(20).share[kPitch], 0);
    EXPECT_EQ(f.fly(1).share[kRoll], 0.0) << "the bank of -6 deg held";
}

TEST(AutopilotAxes, LateralModeLetGoLevelsTheWings) {
    Flight f(HDG);
    f.s.heading_bug_deg = 150;
    f.s.bank_deg = 20;
    const double turning = f.fly_for(10).share[kRoll];
    f.block.engaged &= ~HDG;
    EXPECT_LT(f.fly().share[kRoll], turning - 0.3);
}

// ---- signs ----

TEST(AutopilotSigns, ErrorsAndRatesAreOpposed) {
    for (const double side : {-1.0, 1.0}) {
        Flight f(ALT), r(0);
        f.s.pitch_deg = f.s.bank_deg = 5 * side;  // nose high, right wing down +
        f.s.altitude_ft = 1000 + 100 * side;      // above the altitude reference +
        Actions a = f.fly(20);
        for (int axis : {kCollective, kPitch, kRoll}) EXPECT_LT(a.share[axis] * side, 0) << kAxisNames[axis] << side;
        r.s.pitch_rate_dps = r.s.roll_rate_dps = r.s.yaw_rate_dps = 10 * side;
        a = r.fly(2);
        for (int axis : {kPitch, kRoll, kPedals}) EXPECT_LT(a.share[axis] * side, 0) << kAxisNames[axis] << side;
    }
}

TEST(AutopilotSigns, RightOfTheCourseRollsLeft) {
    for (const uint32_t mode : {LOC, VOR}) {
        for (const double dots : {1.0, -1.0}) {  // + right of the course
            Flight f(mode);
            f.s.localizer_dots = f.s.vor_dots = dots;
            EXPECT_LT(f.fly_for(2).share[kRoll] * dots, 0) << mode << " " << dots;
        }
    }
}

TEST(AutopilotSigns, HeadingsWrapTheShortWayRound) {
    // 359 -> 001 is +2, as 090 -> 092; at 30 kt the pedals hold the heading taken, through 360 alike.
    for (const double side : {1.0, -1.0}) {
        Sensors across = cruise(), plain = cruise();
        across.airspeed_kt = plain.airspeed_kt = 30;
        across.heading_deg = side > 0 ? 359 : 1;
        across.heading_bug_deg = side > 0 ? 1 : 359;
        plain.heading_bug_deg = 90 + 2 * side;
        Flight a(HDG, across), b(HDG, plain);
        Actions last{};
        EXPECT_EQ(largest_difference(a, b, 100, &last), 0.0);
        EXPECT_GT(last.share[kRoll] * side, 0);
        a.s.heading_deg = across.heading_bug_deg;
        b.s.heading_deg = plain.heading_bug_deg;
        EXPECT_EQ(largest_difference(a, b, 100, &last), 0.0);
        EXPECT_LT(last.share[kPedals] * side, 0) << "back to the heading held";
    }
}

TEST(AutopilotSigns, AboveTheGlidePathTheCollectiveGoesDown) {
    for (const double dots : {0.5, -0.5}) {  // + above the path
        Flight on(LOC | GS), off(LOC | GS);
        off.s.glide_slope_dots = dots;
        const double level = on.fly_for(2).share[kCollective];
        EXPECT_LT((off.fly_for(2).share[kCollective] - level) * dots, -0.01) << dots;
    }
}

TEST(AutopilotSigns, HoverDriftIsOpposed) {
    Flight f(HOV | HOV_SUB_A | HHT, hover());
    f.s.ground_speed_kt = f.s.forward_ground_speed_kt = f.s.lateral_ground_speed_kt = 2;  // forward and right
    const Actions a = f.fly_for(1);
    EXPECT_GT(a.share[kPitch], 0);
    EXPECT_LT(a.share[kRoll], 0);
}

TEST(AutopilotSigns, SlowTransitionDownDriftingRightBanksLeft) {
    Sensors slow = cruise();
    slow.airspeed_kt = slow.ground_speed_kt = 10;
    slow.forward_ground_speed_kt = 0;
    Flight still(TDN, slow), drifting(TDN, slow);
    drifting.s.lateral_ground_speed_kt = 10;
    const Actions a = still.fly_for(1), b = drifting.fly_for(1);
    EXPECT_LT(b.share[kRoll], a.share[kRoll] - 0.01);
}

TEST(AutopilotLimits, HoverNeverFliesBelowTheLeastHoverHeight) {
    // A hover height left at 0 (or not a number) holds the least hover height: level there, climbing below it.
    for (double reference : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
        Sensors there = hover(), below = hover();
        there.radar_height_ft = gains::kLeastHoverHeightFt;
        below.radar_height_ft = gains::kLeastHoverHeightFt - 5;
        Flight level(HOV | HOV_SUB_A | HHT, there), climbing(HOV | HOV_SUB_A | HHT, below);
        level.block.hover_height_reference = climbing.block.hover_height_reference = reference;
        const Actions a = level.fly_for(1), b = climbing.fly_for(1);
        EXPECT_NEAR(a.share[kCollective], 0, 0.01) << reference;
        EXPECT_GT(b.share[kCollective], a.share[kCollective] + 0.005) << reference;
    }
}

TEST(AutopilotSigns, PedalsCoordinateTheTurnAndMeetTheSideslip) {
    Sensors s = cruise();
    s.airspeed_kt = 100;
    s.bank_deg = 20;
    // A coordinated turn's rate, deg/s = 1091 tan(bank) / knots (FAA-H-8083-25, Pilot's Handbook of Aeronautical
    // Knowledge, ch. 4, rate of turn).
    s.yaw_rate_dps = 1091 * std::tan(20 * kPi / 180) / 100;
    Flight f(0, s);
    EXPECT_NEAR(f.fly_for(1).share[kPedals], 0, 1e-3);
    f.s.sideslip_deg = 2;  // air from the right: right pedal
    EXPECT_GT(f.fly(10).share[kPedals], 0.005);
}

// ---- limits ----

// Flights whose only difference is `set`'s value, e.g. past a limit and far past it, fly alike.
TEST(AutopilotLimits, BankClimbAndVerticalSpeedLimitsAtTheirEdges) {
    // The commands after the envelope, at and inside each limit.
    const struct {
        uint32_t mode;
        std::function<void(Flight&)> set;
        int axis;
        double command;
    } cases[] = {
        {HDG, [](Flight& f) { f.s.heading_bug_deg += 90; }, kRoll, gains::kBankLimitDeg - gains::kAttitudeOvershootDeg},
        {HDG, [](Flight& f) { f.s.heading_bug_deg -= 90; }, kRoll,
         -(gains::kBankLimitDeg - gains::kAttitudeOvershootDeg)},
        {ALT, [](Flight& f) { f.block.altitude_reference += 300; }, kCollective, gains::kAltitudeHoldLimitFpm},
        {ALT, [](Flight& f) { f.block.altitude_reference += 50; }, kCollective, 600},  // error / 5 s
        {VS, [](Flight& f) { f.s.vertical_speed_fpm = 3000; }, kCollective, gains::kVerticalSpeedLimitFpm},
        {VS, [](Flight& f) { f.s.vertical_speed_fpm = -1400; }, kCollective, -1400},
        {HHT, [](Flight& f) { f.s.radar_height_ft = 30; }, kCollective, 240},
    };
    for (const auto& c : cases) {
        Flight f(c.mode);
        c.set(f);
        double most = 0;
        for (int i = 0; i < 1500; ++i) {
            f.fly();
            most = std::max(most, std::fabs(f.ap.axis(static_cast<aircraft_link::Axis>(c.axis)).command));
        }
        EXPECT_NEAR(f.ap.axis(static_cast<aircraft_link::Axis>(c.axis)).command, c.command, 1e-6) << &c - cases;
        EXPECT_LE(most, std::fabs(c.command) + 1e-6) << &c - cases;
    }
}

TEST(AutopilotLimits, DescentsAreBrakedAboveTheGround) {
    // V/S at 1500 ft/min down, 60 ft above the ground: no more than the braking curve onto the least hover height.
    Flight f(VS);
    f.s.vertical_speed_fpm = -1500;
    f.s.radar_height_ft = 60;
    f.fly(500);
    const double braked = -std::sqrt(2 * gains::kGroundBrakingFps2 * (60 - gains::kLeastHoverHeightFt)) * 60;
    EXPECT_NEAR(f.ap.axis(aircraft_link::Axis::collective).command, braked, 1e-6);
    f.s.radar_height_ft = 5;  // below it: no descent at all
    f.fly(500);
    EXPECT_GE(f.ap.axis(aircraft_link::Axis::collective).command, 0.0);
}

TEST(AutopilotLimits, PowerLimitStopsTheClimbNotTheDescent) {
    Flight f(ALT);
    f.s.rotor_power_hp = 1150;
    f.block.altitude_reference = 1200;
    for (int i = 0; i < 300; ++i) ASSERT_LE(f.fly().share[kCollective], 0.0) << i;
    f.block.altitude_reference = 800;  // the climb command turns down through its rate limit
    EXPECT_LT(f.fly(300).share[kCollective], 0);
}

TEST(AutopilotLimits, IasTargetSlewsFromThePresentAirspeedAtOneAndAHalfKnotsASecond) {
    Flight steady(IAS);  // at its reference: nothing to do
    EXPECT_EQ(steady.fly_for(3).share[kPitch], 0.0);
    // Toward 100 kt from 80, the target passes 81.5 after one second: until then it flies as toward 81.5.
    Flight far(IAS), near(IAS);
    far.s.autopilot_airspeed_kt = 100;
    near.s.autopilot_airspeed_kt = 81.5;
    EXPECT_LT(largest_difference(far, near, 100), 1e-9);
    far.fly(100);
    EXPECT_LT(far.fly().share[kPitch], near.fly(101).share[kPitch] - 0.01);
}

// Every reading but the receiver flags and the placements, with a range wider than flight gives it.
struct Field {
    const char* name;
    double& (*at)(Sensors&);
    double low, high;
};
// clang-format off
#define AFCP_FIELD(f, low, high) Field{#f, [](Sensors& s) -> double& { return s.f; }, low, high}
const Field kFields[] = {
    AFCP_FIELD(airspeed_kt, -20, 250),           AFCP_FIELD(radar_height_ft, -10, 5000),
    AFCP_FIELD(altitude_ft, -1000, 20000),       AFCP_FIELD(heading_deg, 0, 360),
    AFCP_FIELD(pitch_deg, -90, 90),              AFCP_FIELD(bank_deg, -180, 180),
    AFCP_FIELD(climb_fpm, -6000, 6000),          AFCP_FIELD(ground_speed_kt, 0, 250),
    AFCP_FIELD(forward_ground_speed_kt, -250, 250), AFCP_FIELD(lateral_ground_speed_kt, -250, 250),
    AFCP_FIELD(roll_rate_dps, -200, 200),        AFCP_FIELD(pitch_rate_dps, -200, 200),
    AFCP_FIELD(yaw_rate_dps, -200, 200),         AFCP_FIELD(sideslip_deg, -90, 90),
    AFCP_FIELD(rotor_power_hp, 0, 3000),         AFCP_FIELD(heading_bug_deg, 0, 360),
    AFCP_FIELD(selected_altitude_ft, -1000, 20000), AFCP_FIELD(autopilot_airspeed_kt, -10, 300),
    AFCP_FIELD(vertical_speed_fpm, -6000, 6000), AFCP_FIELD(selected_course_deg, 0, 360),
    AFCP_FIELD(gps_track_rad, -7, 7),            AFCP_FIELD(localizer_dots, -3, 3),
    AFCP_FIELD(glide_slope_dots, -3, 3),         AFCP_FIELD(threshold_nm, 0, 50),
    AFCP_FIELD(vor_dots, -3, 3),                 AFCP_FIELD(vor_nm, 0, 100),
    AFCP_FIELD(pilot[0], 0, 1),                  AFCP_FIELD(pilot[1], -1, 1),
    AFCP_FIELD(pilot[2], -1, 1),                 AFCP_FIELD(pilot[3], -1, 1),
};
#undef AFCP_FIELD
// clang-format on

const uint32_t kModeSets[] = {0,   ALT | HDG | IAS,       LOC | GS | IAS, VOR | VS, NAV | CRHT, TDN | HHT,
                              TUP, HOV | HOV_SUB_A | HHT, GA | IAS,       HHT};

TEST(AutopilotLimits, SharesStayInsideTheirRangesForRandomFiniteSensors) {
    constexpr double authority[] = {gains::kCollectiveAuthority, gains::kCyclicAuthority, gains::kCyclicAuthority,
                                    gains::kPedalAuthority};
    std::mt19937 rng(20240611);
    auto u = [&rng](double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); };
    for (int run = 0; run < 200; ++run) {
        Flight f(kModeSets[run % std::size(kModeSets)]);
        f.block.fore_aft_input = u(-10, 10);
        f.block.lateral_input = u(-10, 10);
        for (int k = 0; k < 100; ++k) {
            for (const Field& field : kFields) field.at(f.s) = u(field.low, field.high);
            f.s.receiver_flags = static_cast<int>(rng() & 0xFF);
            if (rng() % 50 == 0) f.s.placements += 1;
            if (rng() % 10 == 0) f.block.armed |= static_cast<uint32_t>(rng()) & (masks::mode_bits | ATT);
            const Actions a = f.fly();
            for (int i = 0; i < 4; ++i) {
                const std::string at =
                    std::string(kAxisNames[i]) + ", run " + std::to_string(run) + " step " + std::to_string(k);
                ASSERT_TRUE(a.held[i] || a.share[i] == 0) << at;
                ASSERT_LE(std::fabs(a.share[i]), authority[i]) << at;  // false for NaN too
                // The cyclic's stops bound the stick and the share together.
                const bool cyclic = i == kPitch || i == kRoll;
                ASSERT_TRUE(!cyclic || std::fabs(f.s.pilot[i] + a.share[i]) <= 1 + 1e-12) << at;
            }
            ASSERT_TRUE(!a.set_airspeed || (a.airspeed_kt >= 40 && a.airspeed_kt <= 160)) << a.airspeed_kt;
        }
    }
}

TEST(AutopilotLimits, CyclicShareStaysInItsAuthorityWhateverThePilotsStickReads) {
    for (const double stick : {3.0, -3.0}) {
        Flight f(0);
        f.s.pilot[kPitch] = f.s.pilot[kRoll] = stick;
        f.s.pitch_deg = f.s.bank_deg = stick;
        const Actions a = f.fly(10);
        for (int axis : {kPitch, kRoll})
            EXPECT_LE(std::fabs(a.share[axis]), gains::kCyclicAuthority) << kAxisNames[axis] << " " << stick;
    }
}

TEST(AutopilotLimits, NanReadingNeverGivesANanShare) {
    for (const uint32_t modes : kModeSets) {
        std::string at_step, after;
        for (const Field& field : kFields) {
            const bool hovering = (modes & (HOV | TUP)) != 0;
            Flight f(modes, hovering ? hover() : cruise());
            f.fly(100);
            double& value = field.at(f.s);
            const double kept = value;
            value = std::numeric_limits<double>::quiet_NaN();
            bool nan_now = false, nan_later = false;
            for (const double share : f.fly().share) nan_now |= std::isnan(share);
            value = kept;
            for (int i = 0; i < 100; ++i)
                for (const double share : f.fly().share) nan_later |= std::isnan(share);
            if (nan_now) at_step += std::string(" ") + field.name;
            if (nan_later) after += std::string(" ") + field.name;
        }
        EXPECT_EQ(at_step, "") << "modes 0x" << std::hex << modes << ": NaN share at the step";
        EXPECT_EQ(after, "") << "modes 0x" << std::hex << modes << ": NaN share after the reading recovered";
    }
}

// An infinite reading flies as its last finite value held for the step, in every mode set.
TEST(AutopilotLimits, InfiniteReadingFliesAsTheLastFiniteOne) {
    const double inf = std::numeric_limits<double>::infinity();
    for (const uint32_t modes : kModeSets) {
        for (const Field& field : kFields) {
            const Sensors start = (modes & (HOV | TUP)) != 0 ? hover() : cruise();
            Flight bad(modes, start), held(modes, start);
            bad.fly(100);
            held.fly(100);
            field.at(bad.s) = (&field - kFields) % 2 == 0 ? inf : -inf;
            EXPECT_EQ(largest_difference(bad, held, 1), 0.0) << field.name << " 0x" << std::hex << modes;
            field.at(bad.s) = field.at(held.s);
            EXPECT_EQ(largest_difference(bad, held, 100), 0.0) << field.name << " 0x" << std::hex << modes;
        }
    }
}

// A step of no time (a host that calls twice in one instant) divides by nothing: every share stays a number inside
// its range, and the next real step flies on as if it had not been.
TEST(AutopilotLimits, StepOfNoTimeGivesNumbersAndChangesNothingAfter) {
    for (const uint32_t modes : kModeSets) {
        const Sensors start = (modes & (HOV | TUP)) != 0 ? hover() : cruise();
        Flight still(modes, start), plain(modes, start);
        still.fly(100);
        plain.fly(100);
        const Actions a = still.ap.step(still.block, still.s, 0);
        for (int axis = 0; axis < 4; ++axis) {
            EXPECT_TRUE(std::isfinite(a.share[axis])) << kAxisNames[axis] << " 0x" << std::hex << modes;
            EXPECT_LE(std::fabs(a.share[axis]), 1.0) << kAxisNames[axis] << " 0x" << std::hex << modes;
        }
        EXPECT_LT(largest_difference(still, plain, 100), 1e-3) << "0x" << std::hex << modes;
    }
}

// ---- the rotor and the power available -------------------------------------------------------------------------

// Both engines out, or the rotor speed low: every collective mode gives the collective back at once (the release
// event's collective bit, at the step it is read) and the caution names the mode and the rotor; the cyclic modes
// fly on. An engine running and the rotor back above the recovery speed take nothing back by themselves: the
// pilot engages a collective mode anew.
TEST(AutopilotRotor, BothEnginesOutOrALowRotorGiveTheCollectiveBack) {
    for (const uint32_t mode : {ALT, VS, CRHT}) {
        SCOPED_TRACE(mode);
        Flight f(mode | IAS);
        f.s.rotor_speed_pct = 100;
        f.s.power_available_hp = 1100;
        Actions a = f.fly(10);
        ASSERT_TRUE(a.held[kCollective]);
        f.s.engines_out = 2;
        a = f.fly();
        EXPECT_FALSE(a.held[kCollective]);
        EXPECT_EQ(a.release, 1u << kCollective);
        EXPECT_TRUE(a.held[kPitch]) << "IAS flies on";
        EXPECT_EQ(f.ap.caution().mode, mode);
        EXPECT_EQ(f.ap.caution().limit, autopilot::Limit::rotor);
        EXPECT_EQ(f.fly(100).release, 0u) << "released once";
        f.block.engaged &= ~mode;  // engaged anew with the engines still out: let go again
        f.fly();
        f.block.engaged |= mode;
        EXPECT_FALSE(f.fly().held[kCollective]);
        f.s.engines_out = 1;  // one engine back, the rotor still low: still the pilot's
        f.s.rotor_speed_pct = gains::kRotorRecoveredPercent - 0.5;
        EXPECT_FALSE(f.fly().held[kCollective]);
        EXPECT_EQ(f.ap.caution().mode, mode);
        f.s.rotor_speed_pct = 100;
        EXPECT_FALSE(f.fly(10).held[kCollective]) << "nothing takes the lever back by itself";
        EXPECT_EQ(f.ap.caution().mode, mode) << "and the caution still says why";
        f.block.engaged &= ~mode;
        EXPECT_EQ(f.fly().release, 0u);
        EXPECT_EQ(f.ap.caution().mode, 0u);
        f.block.engaged |= mode;
        EXPECT_TRUE(f.fly().held[kCollective]) << "the pilot engages it anew";
    }
}

TEST(AutopilotRotor, TheLowRotorThresholdAndANoReading) {
    Flight f(ALT);
    f.s.rotor_speed_pct = gains::kRotorLowPercent + 0.1;
    EXPECT_TRUE(f.fly(5).held[kCollective]);
    f.s.rotor_speed_pct = gains::kRotorLowPercent - 0.1;
    EXPECT_FALSE(f.fly().held[kCollective]);
    EXPECT_EQ(f.ap.caution().limit, autopilot::Limit::rotor);
    // A simulator that gives no rotor speed (0) and no engines out never makes the engine let go.
    Flight none(ALT);
    none.s.rotor_speed_pct = 0;
    none.s.engines_out = 0;
    EXPECT_TRUE(none.fly(200).held[kCollective]);
    EXPECT_EQ(none.ap.caution().mode, 0u);
    // There the engines alone say when the power has gone and when it is back.
    none.s.engines_out = 2;
    EXPECT_FALSE(none.fly().held[kCollective]);
    none.s.engines_out = 0;
    none.block.engaged &= ~ALT;
    none.fly();
    none.block.engaged |= ALT;
    EXPECT_TRUE(none.fly().held[kCollective]) << "engaged anew with the engines back";
    // With STAB off nothing is held, and nothing is said of the rotor.
    Flight off(ALT);
    off.block.engaged &= ~STAB;
    off.s.engines_out = 2;
    off.fly();
    EXPECT_EQ(off.ap.caution().mode, 0u);
}

// The power limit is the power the running engines have where that is below the transmission's: with one engine
// out (560 hp) a climb asked at 600 hp of shaft power is stopped and said; the same 600 hp with both engines
// (1,100 hp) climbs. A rotor drooping near the limit counts as at it; a droop far from it does not.
TEST(AutopilotRotor, ThePowerLimitFollowsThePowerAvailable) {
    Flight one(ALT), two(ALT);
    for (Flight* f : {&one, &two}) {
        f->s.rotor_speed_pct = 100;
        f->s.rotor_power_hp = 600;
        f->block.altitude_reference = 1500;
    }
    one.s.power_available_hp = 560;
    two.s.power_available_hp = 1100;
    for (int i = 0; i < 300; ++i) ASSERT_LE(one.fly().share[kCollective], 0.0) << i;
    EXPECT_EQ(one.ap.caution().mode, ALT);
    EXPECT_EQ(one.ap.caution().limit, autopilot::Limit::power);
    EXPECT_GT(two.fly(300).share[kCollective], 0.0);
    EXPECT_EQ(two.ap.caution().mode, ALT);
    EXPECT_EQ(two.ap.caution().limit, autopilot::Limit::climb) << "at its climb limit, not the power";

    Flight droop(ALT), far(ALT);
    for (Flight* f : {&droop, &far}) {
        f->s.rotor_speed_pct = gains::kRotorDroopPercent - 1;
        f->s.power_available_hp = 560;
        f->block.altitude_reference = 1500;
    }
    droop.s.rotor_power_hp = 560 - gains::kDroopNearLimitHp / 2;
    far.s.rotor_power_hp = 300;
    for (int i = 0; i < 300; ++i) ASSERT_LE(droop.fly().share[kCollective], 0.0) << i;
    EXPECT_EQ(droop.ap.caution().limit, autopilot::Limit::power);
    EXPECT_GT(far.fly(300).share[kCollective], 0.0);
}

}  // namespace
}  // namespace afcp::test
