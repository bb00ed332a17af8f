// The host's flying side: the variables' table against the README, the new instructions' refusals, frozen
// until flown, the expectations' verdicts, and the engine letting go of an axis without moving it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

#include "engine/zolm_test.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "frame/simulator.h"
#include "host/panel.h"
#include "variants/variant.h"
#include "host/runner.h"
#include "host/variables.h"
#include "tests/scenarios/bitmap_sizes.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

class Flying : public ::testing::Test {
protected:
    Flying() {
        afcp::module = afcp::ModuleState{};
        zolm_test_reset();
    }
    std::string refusal(const std::string& text) {
        try {
            host_core::parse_scenario("", text, panel.gauges());
        } catch (const host_core::ScenarioError& e) {
            return e.what();
        }
        return "";
    }
    // What playing says: "" when it all played.
    std::string play(const std::string& text) {
        struct : host_core::PlayHooks {
            void snapshot(const host_core::SnapshotStep&) override {}
        } hooks;
        try {
            host_core::play(panel, host_core::parse_scenario("", text, panel.gauges()), hooks);
        } catch (const host_core::ScenarioError& e) {
            return e.what();
        }
        return "";
    }
    double get(const char* name) {
        int32_t token = 0;
        host_core::find_variable(name, token);
        return panel.simulator().get(token);
    }
    test_support::BitmapSizes sizes;
    host_core::Panel panel{ImportTable, Linkage, sizes};
};

TEST(Variables, TheReadmeTableIsTheTable) {
    std::ifstream in(AFCP_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    for (const host_core::Variable& v : host_core::variables()) {
        const std::string row = std::string("| `") + v.name + "` | " + std::to_string(v.token) + " | " + v.unit +
                                " | " + host_core::source_name(v.source) + " |";
        const size_t at = readme.find(row);
        ASSERT_NE(at, std::string::npos) << row;
        // Its note, the table's (or, where the table cannot hold it, the flight model's figures), in the row.
        const std::string line = readme.substr(at, readme.find('\n', at) - at);
        EXPECT_NE(line.find(host_core::variable_note(v)), std::string::npos) << line;
    }
}

// The README's table of instructions is the instruction table: each form once, in the table's order.
TEST(Instructions, TheReadmeTableIsTheTable) {
    std::ifstream in(AFCP_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    size_t last = 0;
    for (size_t i = 0; i < host_core::kInstructions.size(); ++i) {
        const host_core::InstructionRow& r = host_core::kInstructions[i];
        for (size_t j = 0; j < i; ++j) EXPECT_STRNE(r.name, host_core::kInstructions[j].name) << "listed twice";
        std::string cell;
        for (const char* c = r.form; *c != '\0'; ++c) cell += *c == '|' ? std::string("\\|") : std::string(1, *c);
        const std::string row = "| `" + cell + "` | ";
        const size_t at = readme.find(row);
        EXPECT_NE(at, std::string::npos) << row;
        EXPECT_EQ(readme.find(row, at + 1), std::string::npos) << row << " stands twice";
        if (at != std::string::npos) {
            EXPECT_GT(at, last) << row << " is out of the table's order";
            last = at;
        }
    }
}

TEST_F(Flying, NewInstructionsRefuseWhatCannotBePlayed) {
    EXPECT_EQ(refusal("situation takeoff"),
              "line 1: expected 'situation ground', 'situation hover', 'situation cruise' or 'situation approach'");
    EXPECT_NE(refusal("fly 0").find("above 0"), std::string::npos);
    EXPECT_NE(refusal("fly 2000\nfly 1601").find("more than 3600"), std::string::npos);
    EXPECT_NE(refusal("fly 10 until speed below 3").find("unknown variable 'speed'"), std::string::npos);
    EXPECT_NE(refusal("wind 400 10").find("0 to 360"), std::string::npos);
    EXPECT_NE(refusal("control collective -0.1").find("takes 0 to 1"), std::string::npos);
    EXPECT_NE(refusal("control pitch 1.5").find("takes -1 to 1"), std::string::npos);
    EXPECT_NE(refusal("expect engaged FROB").find("unknown mode 'FROB'"), std::string::npos);
    EXPECT_NE(refusal("expect airspeed 80 -1").find("not negative"), std::string::npos);
    EXPECT_NE(refusal("expect within airspeed 90 80").find("LOW is above HIGH"), std::string::npos);
    EXPECT_EQ(refusal("expect within heading 350 10"), "");  // an arc across north
    EXPECT_NE(refusal("expect reference speed 1 1").find("unknown reference"), std::string::npos);
    EXPECT_NE(refusal("command ALT 0").find("N from 1"), std::string::npos);
    EXPECT_NE(refusal("caution").find("'caution MODE LIMIT' or 'caution none'"), std::string::npos);
    EXPECT_NE(refusal("caution FROB bank").find("unknown mode 'FROB'"), std::string::npos);
    EXPECT_NE(refusal("caution HOV wobble").find("unknown limit 'wobble'"), std::string::npos);
    EXPECT_EQ(refusal("caution HDG travel\ncaution none"), "");
}

// fail engine 1|2|both and restore: bad forms refused with the forms there are; a failure taken while frozen
// too, kept through a placement, counted in engines_out, the power available falling to the one engine's rating;
// restore brings every engine back.
TEST_F(Flying, EngineFailuresAndTheirRestore) {
    const std::string forms = "expected 'fail engine 1', 'fail engine 2' or 'fail engine both'";
    EXPECT_EQ(refusal("fail engine 3"), "line 1: " + forms);
    EXPECT_EQ(refusal("fail engine"), "line 1: " + forms);
    EXPECT_EQ(refusal("fail engines both"), "line 1: " + forms);
    EXPECT_EQ(refusal("fail engine 1 2"), "line 1: " + forms);
    EXPECT_EQ(refusal("fail rotor 1"), "line 1: " + forms);
    EXPECT_NE(refusal("restore engine 1").find("'restore' alone"), std::string::npos);
    EXPECT_NE(refusal("caution ALT rotors").find("travel, rotor"), std::string::npos);
    EXPECT_EQ(refusal("fail engine 1\nfail engine 2\nfail engine both\nrestore\ncaution ALT rotor"), "");

    EXPECT_EQ(play("fail engine 2"), "");
    EXPECT_EQ(get("engines_out"), 1);
    EXPECT_EQ(play("situation cruise\nfly 2"), "");
    EXPECT_EQ(get("engines_out"), 1) << "kept through the placement";
    EXPECT_EQ(get("engine_2_torque"), 0);
    EXPECT_NEAR(get("engine_1_torque"), 2 * get("torque"), 1);
    EXPECT_EQ(get("power_available"), 560);
    EXPECT_NEAR(get("rotor_speed"), 100, 0.5);
    EXPECT_EQ(play("fail engine both\nfly 1.5"), "");
    EXPECT_EQ(get("engines_out"), 2);
    EXPECT_EQ(get("power_available"), 0);
    EXPECT_LT(get("rotor_speed"), 95) << "the lever where it was, nothing drives the rotor";
    EXPECT_NE(static_cast<int>(get("power_cautions")) & 1, 0) << "low rotor";
    EXPECT_EQ(play("restore\nfly 10"), "");
    EXPECT_EQ(get("engines_out"), 0);
    EXPECT_EQ(get("power_available"), 1100);
    EXPECT_NEAR(get("rotor_speed"), 100, 1);
    EXPECT_EQ(get("power_cautions"), 0);
}

TEST_F(Flying, CautionChecksTheEnginesOwnStatus) {
    EXPECT_EQ(play("caution none"), "");
    EXPECT_NE(play("caution HOV bank").find("expected caution HOV bank, found none"), std::string::npos);
}

TEST_F(Flying, NothingMovesUntilFlown) {
    EXPECT_EQ(play("set airspeed 95\nset radar_height 300\nupdate 20"), "");
    EXPECT_FALSE(panel.simulator().flying());
    EXPECT_EQ(get("airspeed"), 95);
    EXPECT_EQ(get("pitch"), 0);
    EXPECT_TRUE(panel.simulator().events().empty());
    // The first fly starts trimmed at what was set: 95 kt, 300 m above the ground.
    EXPECT_EQ(play("fly 1"), "");
    EXPECT_TRUE(panel.simulator().flying());
    EXPECT_NEAR(get("airspeed"), 95, 1);
    EXPECT_NEAR(get("radar_height"), 300, 3);
    // While flying, a set of what the flight gives is refused, a set of the aircraft places it anew.
    EXPECT_NE(play("set pitch 3").find("comes from the flight"), std::string::npos);
    EXPECT_EQ(play("set airspeed 60\nfly 0.1"), "");
    EXPECT_NEAR(get("airspeed"), 60, 1);
    EXPECT_NE(play("set airspeed 400").find("0 to 150 kt"), std::string::npos);
}

TEST_F(Flying, ExpectationsSayWhatWasFound) {
    EXPECT_EQ(play("situation cruise\nfly 2\nexpect airspeed 100 2\nexpect steady heading 2\nexpect within "
                   "heading 350 10\nexpect not engaged ALT"),
              "");
    EXPECT_EQ(play("expect airspeed 80 2"), "line 1: expected airspeed 80 +- 2, found " +
                                                 [&] {
                                                     char t[32];
                                                     std::snprintf(t, sizeof t, "%.6g", get("airspeed"));
                                                     return std::string(t);
                                                 }());
    EXPECT_NE(play("expect within heading 10 20").find("through the last fly"), std::string::npos);
    EXPECT_NE(play("update 2\nexpect engaged ALT").find("expected engaged ALT, found engaged"), std::string::npos);
    EXPECT_NE(play("fly 5 until current_altitude above 5000").find("expected current_altitude above 5000 within 5"),
              std::string::npos);
}

TEST_F(Flying, LettingGoOfAnAxisMovesNothing) {
    // ALT holds the collective with a share of its own; ALT off hands the share to the pilot's lever.
    EXPECT_EQ(play("situation cruise\nupdate 2\ncommand STAB\ncommand ALT\nupdate\nset autopilot_altitude 0\nfly 20"),
              "");
    const double before = panel.simulator().effective_controls()[0];
    const double lever = get("collective");
    EXPECT_EQ(play("command ALT\nfly 0.05"), "");
    EXPECT_NEAR(panel.simulator().effective_controls()[0], before, 0.01);
    EXPECT_NE(get("collective"), lever);
    // STAB off lets go of every axis: the controls stay where they were.
    const auto held = panel.simulator().effective_controls();
    EXPECT_EQ(play("command STAB\nfly 0.05"), "");
    for (int axis = 0; axis < 4; ++axis) EXPECT_NEAR(panel.simulator().effective_controls()[axis], held[axis], 0.02);
}

}  // namespace

namespace {

// The knobs whose references the module does not keep turn the simulator's: CRS the selected course (across
// north both ways), DH the decision height (held to 0 .. 2,500 ft). Only Brevane's face has them.
class Knobs : public Flying {};

TEST_F(Knobs, CourseAndDecisionHeightTurnWithTheirKnobs) {
    if constexpr (!std::is_same_v<afcp::Variant, afcp::variants::Brevane>) return;
    EXPECT_EQ(get("decision_height"), 200);
    ASSERT_EQ(play("update 2\nset selected_course 1\nclick AFCP 495 100\nclick AFCP 495 100"), "");
    EXPECT_EQ(get("selected_course"), 359);
    ASSERT_EQ(play("click AFCP 512 100\nclick AFCP 512 100\nclick AFCP 512 100"), "");
    EXPECT_EQ(get("selected_course"), 2);
    ASSERT_EQ(play("click AFCP 585 100\nclick AFCP 585 100"), "");
    EXPECT_EQ(get("decision_height"), 220);
    ASSERT_EQ(play("set decision_height 5\nclick AFCP 565 100"), "");
    EXPECT_EQ(get("decision_height"), 0);
    ASSERT_EQ(play("set decision_height 2495\nclick AFCP 585 100"), "");
    EXPECT_EQ(get("decision_height"), 2500);
}

TEST_F(Flying, TurbulenceAndCrashInstructionsRefuseWhatCannotBePlayed) {
    EXPECT_NE(refusal("turbulence stormy").find("expected 'turbulence off|light|moderate|severe'"), std::string::npos);
    EXPECT_NE(refusal("turbulence light -3").find("SEED from 0"), std::string::npos);
    EXPECT_NE(refusal("turbulence light 1 2").find("expected 'turbulence"), std::string::npos);
    EXPECT_NE(refusal("fly 10 until crashing").find("until crashed"), std::string::npos);
    EXPECT_NE(refusal("expect crashed softly").find("unknown crash cause 'softly'"), std::string::npos);
    EXPECT_EQ(refusal("turbulence severe 4294967295\nturbulence off\nfly 1 until crashed\nexpect crashed rotor_strike"),
              "");
}

// A crash stops the run at its fly line with the cause; `until crashed` shows one on purpose and fails without.
TEST_F(Flying, ACrashStopsTheRunAtItsLineWithTheCause) {
    const std::string dive = "situation hover\nupdate 2\ncontrol collective 0\n";
    EXPECT_NE(play(dive + "fly 30").find("line 4: crashed: touched down faster than 600 ft/min (hard_touchdown)"),
              std::string::npos);
    EXPECT_EQ(get("crashed"), 1.0);
    EXPECT_EQ(get("crash_cause"), 1.0);
    EXPECT_NE(play("fly 1").find("the aircraft has crashed"), std::string::npos);
    EXPECT_EQ(play("situation hover\nupdate 2\nfly 2"), "");  // placed anew: flying again
    EXPECT_EQ(get("crashed"), 0.0);
    EXPECT_NE(play("fly 1 until crashed").find("expected a crash within 1 s, found none"), std::string::npos);
    EXPECT_EQ(play(dive + "fly 30 until crashed\nexpect crashed hard_touchdown"), "");
    EXPECT_NE(play("situation hover\nupdate 2\n" + std::string("control collective 0\n") +
                   "fly 30 until current_altitude below 400")
                  .find("crashed:"),
              std::string::npos);
}

TEST_F(Flying, TorqueAndPowerReadTheWholeShaft) {
    EXPECT_EQ(play("situation hover\nupdate 2\nfly 1"), "");
    const double power = get("rotor_power"), torque = get("torque");
    EXPECT_GT(power, 500);
    EXPECT_LT(power, 800);
    EXPECT_NEAR(torque, 100 * power / 1100, 1e-9);
    EXPECT_EQ(get("crashed"), 0.0);
}

// The same seed flies the same gusts: placed anew, one seed gives the same flight to the last bit (nothing engaged,
// so the engine holds nothing that could remember the first flight).
TEST_F(Flying, OneTurbulenceSeedFliesOneFlight) {
    auto fly = [this](const std::string& seed) {
        EXPECT_EQ(play("situation cruise\nturbulence severe " + seed + "\nfly 20"), "");
        return std::pair{get("current_altitude"), get("airspeed")};
    };
    const auto first = fly("5");
    EXPECT_EQ(fly("5"), first);
    EXPECT_NE(fly("6"), first);
}

}  // namespace
