// The mouse areas as the module builds them: every handler comes from the command table, or is the one that
// does nothing, or is absent beside a key event.
#include "layout/layout.h"

#include "frame/catalogue.h"
#include "modes/command_table.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

bool in_table(CommandHandler handler) {
    for (const CommandEntry& e : command_table)
        if (e.handler == handler) return true;
    return false;
}

class MouseAreas : public ModuleTest {};

TEST_F(MouseAreas, HandlersComeFromTheTableOrDoNothing) {
    int inert = 0, key_events = 0;
    for (const GaugeHeader& gauge : gauge_headers) {
        const MouseArea* a = gauge.mouse_areas;
        ASSERT_EQ(a->type, kParent);
        for (++a; a->type == kArea; ++a) {
            if (a->key_event != 0) {
                EXPECT_EQ(a->handler, nullptr) << gauge.name;
                ++key_events;
            } else if (!in_table(a->handler)) {
                EXPECT_EQ(a->handler, &layout::inert_handler) << gauge.name;
                ++inert;
            }
        }
        EXPECT_EQ(a->type, kParentEnd);
        EXPECT_EQ(a[1].type, kListEnd);
    }
    EXPECT_EQ(inert, Variant::afcp_has_feedback_images ? 0 : 1);
    EXPECT_EQ(key_events, Variant::afcp_has_feedback_images ? 0 : 8);
}

TEST_F(MouseAreas, TheInertHandlerChangesNothing) {
    StateBlock* block = attach();
    gate_open();
    const StateBlock before = *block;
    const ModuleState module_before = module;
    EXPECT_EQ(layout::inert_handler(1, 2), 0);
    EXPECT_EQ(std::memcmp(&before, block, sizeof before), 0);
    EXPECT_EQ(std::memcmp(module_before.countdown, module.countdown, sizeof module.countdown), 0);
    EXPECT_TRUE(host.events.empty());
}

}  // namespace
}  // namespace afcp::test
