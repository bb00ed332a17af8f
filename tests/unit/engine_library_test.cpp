// The engine library's entries as a host and a module meet them: the block it hands out and its guards, the
// registered table called by name, and its step through the services it was given (what it sends, what it lets
// go when the block goes).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/aircraft_link.h"
#include "engine/zolm_test.h"
#include "frame/simulator.h"
#include "frame/units.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

using namespace bits;

class EngineLibrary : public ::testing::Test {
protected:
    EngineLibrary() { zolm_test_reset(); }
    ~EngineLibrary() override { zolm_test_reset(); }

    // Attached to this host, the aircraft in cruise at `airspeed_kt`, STAB engaged and flown one step.
    StateBlock* flying_with_stab(double airspeed_kt) {
        StateBlock* block = zolm_attach("", host.table);
        if (block == nullptr) return nullptr;
        host.set(token::airspeed, airspeed_kt);
        host.set(token::current_altitude, 1000);
        block->engaged = PANEL | STAB;
        zolm_step(10000);
        return block;
    }

    int sent(uint32_t event) const {
        return static_cast<int>(std::count_if(host.events.begin(), host.events.end(),
                                              [event](const SentEvent& e) { return e.event == event; }));
    }

    FakeHost host;
};

int calls = 0;
int32_t AFCP_STDCALL counted(int32_t a, int32_t b) {
    ++calls;
    return a + b;
}
CommandEntry table_of_one(const char* name) {
    CommandEntry e{};
    std::copy_n(name, std::min(std::char_traits<char>::length(name), sizeof e.name), e.name);
    e.handler = &counted;
    return e;
}

TEST_F(EngineLibrary, AttachKeepsOneBlockAndTheParameterAsGiven) {
    int32_t was_null = 0;
    StateBlock* block = zolm_attach(nullptr, host.table);
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(zolm_test_last_parameter(&was_null), "");
    EXPECT_EQ(was_null, 1);
    const std::string longer(400, 'p');  // longer than the engine keeps: cut, never overrun
    EXPECT_EQ(zolm_attach(longer.c_str(), host.table), block) << "attached again: the same block";
    EXPECT_EQ(std::string(zolm_test_last_parameter(&was_null)), longer.substr(0, 255));
    EXPECT_EQ(was_null, 0);
    zolm_test_last_parameter(nullptr);  // the flag's address may be left out
    EXPECT_EQ(zolm_test_last_services(), host.table);

    zolm_test_fail_attach(1);
    EXPECT_EQ(zolm_attach("x", host.table), nullptr);
    ZolmCounts counts{};
    zolm_test_counts(&counts);
    EXPECT_EQ(counts.attach_calls, 3);
}

TEST_F(EngineLibrary, GuardsSeeAWriteIntoTheEngineAreaOrPastTheBlock) {
    EXPECT_EQ(zolm_test_guards_intact(), 1) << "no block: nothing to break";
    StateBlock* block = zolm_attach("", host.table);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(zolm_test_guards_intact(), 1);
    block->engine_area[sizeof block->engine_area - 1] ^= 1;
    EXPECT_EQ(zolm_test_guards_intact(), 0);
    block->engine_area[sizeof block->engine_area - 1] ^= 1;
    uint8_t* past = reinterpret_cast<uint8_t*>(block) + sizeof(StateBlock);
    past[zolm_guard_bytes - 1] = 0;
    EXPECT_EQ(zolm_test_guards_intact(), 0);
    past[zolm_guard_bytes - 1] = zolm_guard_fill;
    EXPECT_EQ(zolm_test_guards_intact(), 1);
}

TEST_F(EngineLibrary, CommandsAreCalledByNameOnceRegistered) {
    calls = 0;
    EXPECT_EQ(zolm_test_call("ALT", 1, 2), -1) << "no table yet";
    const CommandEntry table[] = {table_of_one("ALT"), table_of_one("HDG")};
    zolm_test_call_on_register("HDG");
    zolm_register_commands(table, 2);
    EXPECT_EQ(calls, 1) << "the command asked for ran during the registration";
    zolm_register_commands(table, 2);
    EXPECT_EQ(calls, 1) << "and only once";
    EXPECT_EQ(zolm_test_call("HDG", 2, 3), 5);
    EXPECT_EQ(zolm_test_call("NAV", 0, 0), -1);
    zolm_register_commands(table, 1);
    EXPECT_EQ(zolm_test_call("HDG", 0, 0), -1) << "only the count registered is looked in";
    zolm_test_call_on_register("ALT");
    zolm_test_call_on_register(nullptr);  // forgets it
    zolm_register_commands(table, 2);
    EXPECT_EQ(calls, 2);
}

TEST_F(EngineLibrary, StepSendsTheHeldAxesAndLetsThemGoWhenTheBlockGoes) {
    zolm_step(10000);  // before any attach: no services to reach the aircraft by
    EXPECT_TRUE(host.events.empty());
    ASSERT_NE(flying_with_stab(80), nullptr);
    for (int axis : {aircraft_link::pitch_axis, aircraft_link::roll_axis, aircraft_link::pedals_axis})
        EXPECT_EQ(sent(aircraft_link::axis_event(axis)), 1) << axis;
    EXPECT_EQ(sent(aircraft_link::event::autopilot_release), 0);

    host.events.clear();
    zolm_step(0);  // no time: nothing flown, and what was held is let go
    EXPECT_EQ(sent(aircraft_link::event::autopilot_release), 1);
    EXPECT_EQ(host.events.size(), 1u);
    zolm_step(0);
    EXPECT_EQ(host.events.size(), 1u) << "let go once";

    zolm_step(10000);
    host.events.clear();
    zolm_release();  // the block is gone: the engine holds nothing any more
    zolm_step(10000);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0], (SentEvent{aircraft_link::event::autopilot_release, aircraft_link::all_axes}));
}

// IAS asked for with no airspeed reference the aircraft should fly: the engine sets the present airspeed, in the
// units the simulator's event takes.
TEST_F(EngineLibrary, IasWithoutAReferenceSendsThePresentAirspeed) {
    host.set(token::autopilot_airspeed, 0);
    StateBlock* block = flying_with_stab(88.4);
    ASSERT_NE(block, nullptr);
    block->engaged |= IAS;
    block->armed |= IAS;
    zolm_step(10000);
    const auto it = std::find_if(host.events.begin(), host.events.end(),
                                 [](const SentEvent& e) { return e.event == event::autopilot_airspeed_set; });
    ASSERT_NE(it, host.events.end());
    EXPECT_EQ(it->parameter, static_cast<uint32_t>(88 * units::airspeed_sent_per_knot));
}

TEST_F(EngineLibrary, StatusEntriesTakeNoAddressSafely) {
    zolm_caution(nullptr);
    zolm_test_axes(nullptr);
    ZolmCaution c{99, 99};
    zolm_caution(&c);
    EXPECT_EQ(c.mode, 0u);
    EXPECT_EQ(c.limit, 0);
    EXPECT_EQ(zolm_test_capture(), 0u) << "no block";
    EXPECT_EQ(zolm_test_integrals_inside(), 1);
}

}  // namespace
}  // namespace afcp::test
