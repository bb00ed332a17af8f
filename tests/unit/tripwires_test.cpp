// Tables of the hosts that mirror the module's own lists, checked while compiling where the mirror is data, and
// by a test where it is code: a row too few or too many stops the build, or fails here.
#include <gtest/gtest.h>

#include <bit>
#include <iterator>
#include <string>

#include "frame/simulator.h"
#include "host/mode_names.h"
#include "host/simulator.h"
#include "modes/state_block.h"

namespace afcp::test {
namespace {

// The named mode bits, one row each, lowest bit first, and nothing else.
consteval bool mode_names_mirror_the_bits() {
    uint32_t seen = 0, previous = 0;
    for (const host_core::ModeBit& b : host_core::mode_bits) {
        if (!std::has_single_bit(b.bit) || b.bit <= previous || (b.bit & masks::named_bits) == 0) return false;
        if (b.name == nullptr || b.name[0] == '\0') return false;
        seen |= b.bit;
        previous = b.bit;
    }
    return seen == masks::named_bits;
}
static_assert(std::size(host_core::mode_bits) == static_cast<size_t>(std::popcount(masks::named_bits)),
              "one name per mode bit");
static_assert(mode_names_mirror_the_bits(), "mode names in bit order, each a named bit");

// Every key event the module sends or names in a mouse area has a name where the host core describes it.
TEST(EventNames, EveryEventOfThePanelHasAName) {
    const uint32_t events[] = {
        event::vertical_speed_up,
        event::vertical_speed_down,
        event::heading_bug_set,
        event::autopilot_altitude_set,
        event::autopilot_airspeed_set,
        event::first_go_around_preset,
        event::second_go_around_preset,
        event::baro_knob_left,
        event::baro_knob_right,
        event::uplim_knob,
        event::crs_knob_left,
        event::crs_knob_right,
        event::dh_knob_left,
        event::dh_knob_right,
    };
    for (uint32_t e : events) {
        const std::string text = host_core::describe_event({e, 7});
        EXPECT_EQ(text.rfind("event ", 0), std::string::npos) << text;
        EXPECT_NE(text.find("(" + std::to_string(e) + ") 7"), std::string::npos) << text;
    }
    EXPECT_EQ(host_core::describe_event({12345, 0}), "event 12345 0");
}

}  // namespace
}  // namespace afcp::test
