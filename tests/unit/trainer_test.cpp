// The trainer page's view of a flying panel: the references shown only while a mode holds them, the trace's
// samples and mode marks, and why a press did nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "flight/units.h"
#include "frame/services.h"
#include "frame/simulator.h"
#include "engine/aircraft_link.h"
#include "host/panel.h"
#include "host/runner.h"
#include "host/trainer.h"
#include "host/variables.h"
#include "modes/state_block.h"
#include "tests/scenarios/bitmap_sizes.h"
#include "variants/variant.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

using namespace afcp::bits;

class Trainer : public ::testing::Test {
protected:
    Trainer() {
        afcp::module = afcp::ModuleState{};
        zolm_test_reset();
    }
    void play(const std::string& text) {
        struct Hooks : host_core::PlayHooks {
            host_core::Trace* trace;
            const host_core::Panel* panel;
            void snapshot(const host_core::SnapshotStep&) override {}
            void flown_frame() override { trace->frame(*panel); }
        } hooks;
        hooks.trace = &trace;
        hooks.panel = &panel;
        host_core::play(panel, host_core::parse_scenario("", text, panel.gauges()), hooks);
    }
    // Presses a mode command and says why nothing happened, as the page does.
    std::string press(const std::string& command) {
        const uint32_t engaged = panel.engaged(), armed = panel.armed();
        panel.command(command);
        return host_core::why_nothing_happened(panel, command, engaged, armed, facts());
    }
    static host_core::ModuleFacts facts() {
        return {afcp::module.airspeed_sample.value, afcp::module.radar_height_sample.value,
                afcp::Variant::tdn_hov_need_stab_ax1, afcp::Variant::stab_follows_modes};
    }
    test_support::BitmapSizes sizes;
    host_core::Panel panel{ImportTable, Linkage, sizes};
    host_core::Trace trace;
};

TEST_F(Trainer, ReferencesShowOnlyWhileTheirModeHoldsThem) {
    play("situation cruise\nfly 1");
    host_core::Reading r = host_core::read_aircraft(panel);
    EXPECT_TRUE(std::isnan(r.refs.altitude));
    EXPECT_TRUE(std::isnan(r.refs.airspeed));
    EXPECT_TRUE(std::isnan(r.refs.radar_height));
    EXPECT_TRUE(std::isnan(r.localizer)) << "no localizer is received in the cruise";
    EXPECT_NEAR(r.refs.selected_altitude, r.altitude, 1.0) << "the situation sets the autopilot altitude to match";
    ASSERT_FALSE(std::isnan(r.track));
    EXPECT_NEAR(std::remainder(r.track - r.heading, 360.0), 0.0, 3.0) << "no wind: the track is the heading";

    play("command STAB\ncommand ALT\ncommand IAS\nfly 1");
    r = host_core::read_aircraft(panel);
    EXPECT_NEAR(r.refs.altitude, std::round(r.altitude / 100) * 100, 30.0);
    EXPECT_NEAR(r.refs.airspeed, r.airspeed, 3.0);
    EXPECT_EQ(host_core::pilot_modes(r.engaged).find("STAB_AX"), std::string::npos) << "axes are not modes";
    EXPECT_NE(host_core::pilot_modes(r.engaged).find("ALT"), std::string::npos);
}

TEST_F(Trainer, TheApproachReceivesBothBeamsAndTheHoverHasNoTrack) {
    play("situation approach\nfly 0.5");
    host_core::Reading r = host_core::read_aircraft(panel);
    EXPECT_FALSE(std::isnan(r.localizer));
    EXPECT_FALSE(std::isnan(r.glide_slope));
    play("situation hover\nfly 0.5");
    r = host_core::read_aircraft(panel);
    EXPECT_TRUE(std::isnan(r.track));
    EXPECT_NEAR(r.radar_height, 50, 15);
}

// The power gauges read the model's torque, which follows the collective, and the rotor's one speed; a crash
// comes with its cause, which the placement of a new situation clears.
TEST_F(Trainer, TheReadingCarriesTheTorqueAndACrashWithItsCause) {
    play("situation hover\nfly 1");
    host_core::Reading r = host_core::read_aircraft(panel);
    EXPECT_EQ(r.torque, panel.simulator().get(host_core::flight_token::torque));
    EXPECT_GT(r.torque, 30) << "a hover takes power";
    EXPECT_LT(r.torque, host_core::kTakeOffTorquePercent) << "and less than the take-off rating";
    EXPECT_EQ(r.rotor_speed, panel.simulator().get(aircraft_link::token::rotor_speed));
    EXPECT_NEAR(r.rotor_speed, 100, 0.5) << "the governor holds the rotor's speed";
    EXPECT_NEAR(r.engine_torque[0], r.torque, 1) << "the engines share the load alike";
    EXPECT_NEAR(r.engine_torque[1], r.torque, 1);
    EXPECT_EQ(r.crash_cause, 0);
    EXPECT_EQ(r.power_cautions, 0) << "the governed hover: no caution";
    const double hover_torque = r.torque;
    play("control collective 0.7\nfly 1");
    EXPECT_GT(host_core::read_aircraft(panel).torque, hover_torque + 5) << "more collective, more torque";
    EXPECT_EQ(host_core::read_aircraft(panel).engines_out, 0);
    play("fail engine both\nfly 2");
    r = host_core::read_aircraft(panel);
    EXPECT_EQ(r.engines_out, 2);
    EXPECT_EQ(r.power_cautions & 1, 1) << "low rotor: the lever held up with no engine";
    play("restore\nsituation hover\nfly 1");

    play("situation hover\nupdate 2\ncommand STAB\nupdate\ncontrol collective 0.33\nfly 30 until climb_rate below -1100\n"
         "control collective 0.39\nfly 30 until crashed");
    r = host_core::read_aircraft(panel);
    EXPECT_EQ(r.crash_cause, static_cast<int>(flight::CrashCause::hard_touchdown));
    EXPECT_STREQ(host_core::crash_caption(flight::CrashCause::hard_touchdown), "Hard touchdown");
    play("situation hover\nfly 0.5");
    EXPECT_EQ(host_core::read_aircraft(panel).crash_cause, 0) << "a new situation starts uncrashed";
}

TEST(CrashCaption, EveryCauseHasOneAndNoCrashNone) {
    EXPECT_STREQ(host_core::crash_caption(flight::CrashCause::none), "");
    for (int i = 1; i < flight::kCrashCauses; ++i)
        EXPECT_STRNE(host_core::crash_caption(static_cast<flight::CrashCause>(i)), "") << i;
    EXPECT_STREQ(host_core::crash_caption(static_cast<flight::CrashCause>(flight::kCrashCauses)), "");
    EXPECT_STREQ(host_core::crash_caption(flight::CrashCause::rotor_strike), "Main rotor struck the ground");
}

TEST(CautionCaption, NamesTheModeAndTheLimitAndNothingWithoutACaution) {
    EXPECT_EQ(host_core::caution_caption(0, 2), "");
    EXPECT_EQ(host_core::caution_caption(afcp::bits::HOV, 2), "HOV at its bank limit");
    EXPECT_EQ(host_core::caution_caption(afcp::bits::ALT, 4), "ALT at the power limit");
    EXPECT_EQ(host_core::caution_caption(afcp::bits::HOV, 5), "HOV at a control's stop");
    EXPECT_EQ(host_core::caution_caption(afcp::bits::ALT, 6), "ALT off the collective for the rotor: engage it anew once the power is back");
    // A limit the engine does not name is still a caution, in general words.
    EXPECT_EQ(host_core::caution_caption(afcp::bits::HDG, zolm_limit_count), "HDG at a limit");
    EXPECT_EQ(host_core::caution_caption(afcp::bits::HDG, -1), "HDG at a limit");
}

TEST_F(Trainer, TheTraceSamplesAtItsPeriodAndMarksEachChangeOnce) {
    play("situation cruise\nfly 10");
    // On the period's schedule: the host frames (1/18 s) round each gap, never the rate.
    EXPECT_NEAR(static_cast<double>(trace.samples().size()), 10 / host_core::Trace::kSamplePeriod, 1.5);
    for (size_t i = 1; i < trace.samples().size(); ++i)
        EXPECT_LT(trace.samples()[i].time - trace.samples()[i - 1].time,
                  host_core::Trace::kSamplePeriod + host_core::kFrameSeconds + 1e-6);
    EXPECT_TRUE(trace.marks().empty());

    // Armed 200 ft above: ALT.A arms, then the engine captures it.
    const double above = std::round(panel.simulator().get(afcp::token::current_altitude) / 100) * 100 + 200;
    play("command STAB\ncommand ALTA\nset autopilot_altitude " + std::to_string(above) +
         "\ncommand VS\nset vertical_speed 700\nfly 60 until current_altitude above " + std::to_string(above - 20) +
         "\nfly 20");
    int armed = 0, captured = 0, engaged_stab = 0;
    for (const host_core::TraceMark& m : trace.marks()) {
        if (m.kind == host_core::TraceMark::armed && m.modes == "ALT") ++armed;
        if (m.kind == host_core::TraceMark::captured && m.modes == "ALT") ++captured;
        if (m.kind == host_core::TraceMark::engaged && m.modes.find("STAB") != std::string::npos) ++engaged_stab;
    }
    EXPECT_EQ(armed, 1);
    EXPECT_EQ(captured, 1) << "the capture is a capture, not an engagement";
    EXPECT_EQ(engaged_stab, 1);

    EXPECT_TRUE(trace.take_restarted()) << "the first situation starts the trace";
    EXPECT_FALSE(trace.take_restarted());
    play("situation hover\nfly 1");
    EXPECT_TRUE(trace.take_restarted()) << "a new placement starts it anew";
    EXPECT_LE(trace.samples().front().time, host_core::Trace::kSamplePeriod);
}

TEST(Trace, ThePendingTraceIsBoundedAndKeepsTheNewest) {
    host_core::Trace trace;
    host_core::Reading r{};
    const int frames = static_cast<int>(host_core::Trace::kMostPending) * 3;
    for (int i = 0; i < frames; ++i) {
        r.time = i * host_core::Trace::kSamplePeriod;
        r.engaged = (i & 1) != 0 ? STAB : 0;  // a mark at every frame
        trace.record(r);
    }
    ASSERT_EQ(trace.samples().size(), host_core::Trace::kMostPending);
    ASSERT_EQ(trace.marks().size(), host_core::Trace::kMostPending);
    EXPECT_DOUBLE_EQ(trace.samples().back().time, r.time);
    EXPECT_DOUBLE_EQ(trace.marks().back().time, r.time);
    EXPECT_EQ(trace.marks().back().kind, host_core::TraceMark::engaged);
}

TEST_F(Trainer, SaysWhyAPressDidNothing) {
    EXPECT_NE(host_core::why_nothing_happened(panel, "ALT", 0, 0, facts()).find("not attached"), std::string::npos)
        << "before the first update";
    play("situation ground\nfly 0.5");
    const std::string why = press("ALT");
    EXPECT_NE(why.find("engage gate"), std::string::npos) << why;
    EXPECT_NE(why.find("an airspeed of 0.0 kt"), std::string::npos) << why;
    EXPECT_NE(why.find("a radar height of"), std::string::npos) << why;
    EXPECT_EQ(host_core::why_nothing_happened(panel, "ALT_KNOB_UP", 0, 0, facts()), "") << "not a mode command";

    play("situation cruise\nfly 0.5");
    if (afcp::Variant::engage_sets_stab) {
        EXPECT_EQ(press("ALT"), "") << "engaging turns the STAB set on";
    } else {
        EXPECT_NE(press("ALT").find("STAB is off"), std::string::npos);
        const std::string tdn = press("TDN");
        EXPECT_NE(tdn.find("needs STAB first"), std::string::npos) << tdn;
    }
    if ((panel.engaged() & STAB) == 0) play("command STAB\nfly 0.2");
    EXPECT_EQ(press("HDG"), "");
    play("command APP\nfly 0.1");  // no localizer here: it stays armed
    const std::string tdn = press("TDN");
    EXPECT_NE(tdn.find("cannot arm while LOC is armed"), std::string::npos) << tdn;
}

// On a module whose STAB follows the modes, a STAB pressed with no mode on is taken back at the next update: the
// reason says so; a mode pressed brings STAB with it, and nothing is said.
TEST_F(Trainer, WhereStabFollowsTheModesAStabAloneSaysWhy) {
    if (!afcp::Variant::stab_follows_modes) GTEST_SKIP() << "this module's STAB is a button of its own";
    play("situation cruise\nfly 0.5");
    const std::string why = press("STAB");
    EXPECT_NE(why.find("STAB on this panel follows the modes"), std::string::npos) << why;
    EXPECT_EQ(why.find("press STAB"), std::string::npos) << why;
    host_core::ModuleFacts other = facts();
    other.stab_follows_modes = false;
    EXPECT_EQ(host_core::why_nothing_happened(panel, "STAB", 0, 0, other), "") << "the rule is the module's";
    play("fly 0.2");
    EXPECT_EQ(press("ALT"), "") << "ALT brings STAB with it";
    EXPECT_NE(panel.engaged() & ALT, 0u);
}

TEST_F(Trainer, DroppingTheModesLeavesNoModeEngagedOrArmed) {
    host_core::drop_modes(panel);  // before the block: nothing to do, nothing thrown
    play("situation cruise\nfly 0.5\ncommand HDG\ncommand APP\ncommand ALT\nfly 0.2");
    ASSERT_NE(host_core::pilot_modes(panel.engaged()), "");
    host_core::drop_modes(panel);
    EXPECT_EQ(host_core::pilot_modes(panel.engaged()), "") << "STAB off drops every mode";
    EXPECT_EQ(host_core::armed_modes(panel.armed()), "");
    play("command STAB\ncommand ALT\nfly 0.2");
    host_core::drop_modes(panel);
    EXPECT_EQ(host_core::pilot_modes(panel.engaged()), "");
}

// A hover flown high leaves its hover height in the block; a fresh start elsewhere must not keep it, or the next
// TDN climbs back to it. In a hover the fresh start takes that hover's own height.
TEST_F(Trainer, AFreshStartLeavesNoHeightOfTheLastFlightBehind) {
    play("situation hover\nfly 0.5\ncommand STAB\ncommand HOV_UP 100\nfly 0.2");
    ASSERT_GT(panel.references().hover_height, 100);
    play("situation cruise\nfly 0.2");
    host_core::start_afresh(panel);
    EXPECT_EQ(panel.references().hover_height, 0);
    EXPECT_EQ(panel.references().altitude, 0);
    EXPECT_EQ(host_core::pilot_modes(panel.engaged()), "");
    // TDN from 150 ft above the pad descends; it does not climb to the old hover.
    play("set radar_height 45.72\nfly 1\ncommand STAB\ncommand TDN\nfly 30");
    EXPECT_LT(panel.simulator().get(afcp::token::radar_height) * flight::units::kFeetPerMetre, 150);
    play("situation hover\nfly 0.2");
    host_core::start_afresh(panel);
    EXPECT_NEAR(panel.references().hover_height, 50, 1);
}

TEST_F(Trainer, TheSlowGateNamesOnlyWhatFails) {
    play("situation hover\nset airspeed 0\nfly 0.3");
    play("set radar_height 100\nupdate 1");  // high enough, still slow, as the module samples it
    const std::string why = press("HDG");
    EXPECT_NE(why.find("an airspeed of"), std::string::npos) << why;
    EXPECT_EQ(why.find("a radar height of"), std::string::npos) << why;
}

}  // namespace
