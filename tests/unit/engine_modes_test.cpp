// The mode table: each row engages, holds its target on the axes it claims, and gives them back; the README's
// mode table is the table in the code; the one capture rule serves the engine and the test capture.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/autopilot.h"
#include "engine/zolm_test.h"
#include "tests/unit/engine_fixture.h"

namespace autopilot {
namespace {

using namespace afcp::bits;
using fixture::cruise, fixture::hover, fixture::kDt, fixture::kAxisNames;

// What each row is asked to hold: the sensors it flies in, a change it must answer, and how its command on one
// axis answers it.
struct RowCase {
    uint32_t bit;
    bool in_hover;
    std::function<void(Sensors&, afcp::StateBlock&)> disturb;
    Axis axis;
    std::function<bool(double command)> answers;
    const char* what;
};

const RowCase kCases[] = {
    {HOV, true, [](Sensors& s, afcp::StateBlock&) { s.forward_ground_speed_kt = s.ground_speed_kt = 3; },
     Axis::pitch_axis, [](double c) { return c > 1; }, "drifting forward, nose up"},
    {TDN, false, [](Sensors&, afcp::StateBlock&) {}, Axis::collective, [](double c) { return c < -100; },
     "from 80 kt at 500 ft, down"},
    {TUP, true, [](Sensors&, afcp::StateBlock&) {}, Axis::collective,
     [](double c) { return std::fabs(c - gains::kTransitionUpClimbFpm) < 1; }, "climbs at 500 ft/min"},
    {GA, false, [](Sensors& s, afcp::StateBlock&) { s.vertical_speed_fpm = 500; }, Axis::collective,
     [](double c) { return std::fabs(c - 500) < 1; }, "climbs at the preset"},
    {ALT, false, [](Sensors& s, afcp::StateBlock&) { s.altitude_ft = 990; }, Axis::collective,
     [](double c) { return std::fabs(c - 120) < 1; }, "10 ft low: 10 ft / 5 s"},
    {VS, false, [](Sensors& s, afcp::StateBlock&) { s.vertical_speed_fpm = -700; }, Axis::collective,
     [](double c) { return std::fabs(c + 700) < 1; }, "the V/S reference"},
    {CRHT, false, [](Sensors& s, afcp::StateBlock&) { s.radar_height_ft = 480; }, Axis::collective,
     [](double c) { return std::fabs(c - 240) < 1; }, "20 ft low"},
    {HHT, false, [](Sensors&, afcp::StateBlock&) {}, Axis::collective,
     [](double c) { return std::fabs(c + gains::kRadarHeightLimitFpm) < 1; }, "450 ft above the hover height"},
    {GS, false, [](Sensors& s, afcp::StateBlock&) { s.glide_slope_dots = 1; }, Axis::collective,
     [](double c) { return c < -430; }, "above the path: steeper than its descent"},
    {IAS, false, [](Sensors& s, afcp::StateBlock&) { s.autopilot_airspeed_kt = 100; }, Axis::pitch_axis,
     [](double c) { return c < -1; }, "slow: nose down"},
    {LOC, false, [](Sensors& s, afcp::StateBlock&) { s.localizer_dots = 1; }, Axis::roll_axis,
     [](double c) { return c < -5; }, "right of the course: bank left"},
    {VOR, false, [](Sensors& s, afcp::StateBlock&) { s.vor_dots = 1; }, Axis::roll_axis,
     [](double c) { return c < -5; }, "right of the course: bank left"},
    {NAV, false, [](Sensors& s, afcp::StateBlock&) { s.gps_track_rad = 100 * flight::units::kRadiansPerDegree; },
     Axis::roll_axis, [](double c) { return c > 5; }, "the track to the right"},
    {HDG, false, [](Sensors& s, afcp::StateBlock&) { s.heading_bug_deg = 150; }, Axis::roll_axis,
     [](double c) { return std::fabs(c - (gains::kBankLimitDeg - gains::kAttitudeOvershootDeg)) < 1e-9; },
     "60 deg to the right: the bank limit"},
    {STAB, false, [](Sensors& s, afcp::StateBlock&) { s.pitch_deg = 4; }, Axis::pitch_axis,
     [](double c) { return c == 0; }, "the attitude of the moment it engaged"},
};

TEST(ModeTable, EveryRowWithAnAxisHasItsCase) {
    for (const ModeRow& r : kModeRows) {
        bool found = false;
        for (const RowCase& c : kCases) found = found || c.bit == r.bit;
        const bool flies = r.priority[0] + r.priority[1] + r.priority[2] + r.priority[3] > 0;
        EXPECT_EQ(found, flies) << r.name;
    }
}

TEST(ModeTable, EachRowEngagesHoldsItsTargetAndGivesTheAxesBack) {
    for (const RowCase& rc : kCases) {
        const ModeRow& row = *row_of(rc.bit);
        Autopilot ap;
        afcp::StateBlock b{};
        Sensors s = rc.in_hover ? hover() : cruise();
        b.engaged = PANEL | STAB | ATT;
        b.altitude_reference = 1000;
        b.radar_height_reference = 500;
        b.hover_height_reference = 50;
        s.receiver_flags = 0xC0;
        ap.step(b, s, kDt);
        b.engaged |= rc.bit;
        rc.disturb(s, b);
        Actions a{};
        for (int i = 0; i < 800; ++i) a = ap.step(b, s, kDt);
        for (int axis = 0; axis < kAxes; ++axis) {
            if (!row.holds_axis(static_cast<Axis>(axis))) continue;
            EXPECT_EQ(ap.axis(static_cast<Axis>(axis)).mode, rc.bit) << row.name << " on the " << kAxisNames[axis];
            EXPECT_TRUE(a.held[axis]) << row.name;
        }
        const double command = ap.axis(rc.axis).command;
        EXPECT_TRUE(rc.answers(command)) << row.name << ": " << rc.what << ", command " << command;
        if (rc.bit == STAB) continue;
        b.engaged &= ~rc.bit;
        a = ap.step(b, s, kDt);
        for (int axis = 0; axis < kAxes; ++axis) {
            if (!row.holds_axis(static_cast<Axis>(axis))) continue;
            const AxisState after = ap.axis(static_cast<Axis>(axis));
            if (axis == Axis::collective) {
                EXPECT_EQ(a.release & (1u << axis), 1u << axis) << row.name << " lets the collective go";
                EXPECT_EQ(after.mode, 0u) << row.name;
            } else {
                EXPECT_EQ(after.mode, STAB) << row.name << " hands the " << kAxisNames[axis] << " back to STAB";
            }
        }
    }
}

TEST(ModeTable, HighestPriorityEngagedRowFliesTheAxisAndTakesItWithoutAJump) {
    Autopilot ap;
    afcp::StateBlock b{};
    Sensors s = cruise();
    b.engaged = PANEL | STAB | ATT | IAS;
    b.altitude_reference = 1000;
    for (int i = 0; i < 200; ++i) ap.step(b, s, kDt);
    EXPECT_EQ(ap.axis(Axis::pitch_axis).mode, IAS);
    const double before = ap.axis(Axis::pitch_axis).command;
    b.engaged |= GA;  // G/A outranks IAS on the pitch
    s.vertical_speed_fpm = 500;
    ap.step(b, s, kDt);
    EXPECT_EQ(ap.axis(Axis::pitch_axis).mode, GA);
    EXPECT_NEAR(ap.axis(Axis::pitch_axis).command, before, gains::kPitchReferenceRate * kDt + 1e-9);
    EXPECT_EQ(ap.axis(Axis::collective).mode, GA);
}

TEST(ModeTable, TheReadmeTableIsTheTable) {
    std::ifstream in(AFCP_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    size_t last = 0;
    for (const ModeRow& r : kModeRows) {
        std::string axes;
        for (int a = 0; a < kAxes; ++a)
            if (r.priority[a] > 0)
                axes += (axes.empty() ? "" : ", ") + std::string(kAxisNames[a]) + " " + std::to_string(r.priority[a]);
        std::string limits;
        auto add = [&](const std::string& x) { limits += (limits.empty() ? "" : ", ") + x; };
        char buffer[64];
        if (r.priority[Axis::pitch_axis] > 0 && r.bit != STAB) {
            std::snprintf(buffer, sizeof buffer, "pitch %g deg", r.pitch_limit_deg());
            add(buffer);
        }
        if (r.priority[Axis::roll_axis] > 0 && r.bit != STAB) {
            std::snprintf(buffer, sizeof buffer, "bank %g deg", r.bank_limit_deg());
            add(buffer);
        }
        if (r.climb_limit_fpm > 0) {
            std::snprintf(buffer, sizeof buffer, "climb %g ft/min", r.climb_limit_fpm);
            add(buffer);
        }
        const std::string line = std::string("| `") + r.name + "` | " + (axes.empty() ? "none" : axes) + " | " +
                                 r.holds + " | " + (limits.empty() ? "none" : limits) + " | " + r.capture_text + " |";
        const size_t at = readme.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        if (at != std::string::npos) {
            EXPECT_GT(at, last) << r.name << " is out of the table's order";
            last = at;
        }
    }
}

TEST(ModeTable, OneCaptureRuleForTheEngineAndTheTestCapture) {
    // The engine capturing the localizer from HDG, and the test capture, leave the same block.
    afcp::StateBlock engine{}, test{};
    engine.engaged = test.engaged = PANEL | STAB | ATT | HDG | ALT;
    engine.armed = test.armed = LOC | LOC_AUX | GS | GS_AUX;
    Autopilot ap;
    Sensors s = cruise();
    ap.step(engine, s, kDt);
    s.receiver_flags = aircraft_link::receiver::localizer;
    ap.step(engine, s, kDt);
    capture_mode(test, LOC);
    EXPECT_EQ(engine.engaged, test.engaged);
    EXPECT_EQ(engine.armed, test.armed);
    EXPECT_EQ(test.armed, GS | GS_AUX);
    EXPECT_EQ(capture_armed_targets(test), GS);
    EXPECT_EQ(test.engaged, PANEL | STAB | ATT | LOC | GS);
    EXPECT_EQ(test.armed, 0u);
}

// ---- the caution ----

struct Cautioned {
    explicit Cautioned(uint32_t mode) {
        b.engaged = PANEL | STAB | ATT;
        b.altitude_reference = 1000;
        ap.step(b, s, kDt);
        b.engaged |= mode;
    }
    Caution after(double seconds) {
        for (int i = 0; i < static_cast<int>(seconds / kDt + 0.5); ++i) ap.step(b, s, kDt);
        return ap.caution();
    }
    Autopilot ap;
    afcp::StateBlock b{};
    Sensors s = cruise();
};

TEST(Caution, NamesTheModeAndItsLimitOnlyAfterTwoSecondsAtIt) {
    Cautioned hdg(HDG);
    hdg.s.heading_bug_deg = 180;  // 90 deg to the right: the bank at its limit from the first step
    EXPECT_EQ(hdg.after(1.9).mode, 0u);
    const Caution c = hdg.after(0.2);
    EXPECT_EQ(c.mode, HDG);
    EXPECT_EQ(c.limit, Limit::bank);
    EXPECT_STREQ(limit_name(c.limit), "bank");
    hdg.s.heading_bug_deg = 90;  // back inside: at once no caution
    EXPECT_EQ(hdg.after(0.01).mode, 0u);
}

TEST(Caution, PowerClimbAndTravel) {
    Cautioned power(ALT);
    power.s.rotor_power_hp = gains::kPowerLimitHp + 50;
    EXPECT_EQ(power.after(2.1).limit, Limit::power);
    EXPECT_EQ(power.ap.caution().mode, ALT);

    Cautioned climb(VS);
    climb.s.vertical_speed_fpm = 2500;  // beyond V/S's 1500 ft/min
    EXPECT_EQ(climb.after(2.1).limit, Limit::climb);

    Cautioned travel(ALT);
    travel.b.altitude_reference = 1050;    // 600 ft/min up, inside the climb limit
    travel.s.pilot[Axis::collective] = 1;  // the lever at its top: no room to climb
    const Caution c = travel.after(2.5);
    EXPECT_EQ(c.mode, ALT);
    EXPECT_EQ(c.limit, Limit::travel);
    EXPECT_STREQ(limit_name(static_cast<Limit>(99)), "none");
    EXPECT_STREQ(limit_name(static_cast<Limit>(-1)), "none");
}

TEST(Caution, StabHoldingThePilotsAttitudeNeverCautions) {
    Cautioned stab(0);
    stab.s.pilot[Axis::pitch_axis] = 1;  // the stick at its stop, the attitude held far from the aircraft's
    stab.s.pitch_deg = -30;
    EXPECT_EQ(stab.after(5).mode, 0u);
    EXPECT_TRUE(stab.ap.integrals_inside_limits());
}

}  // namespace
}  // namespace autopilot
