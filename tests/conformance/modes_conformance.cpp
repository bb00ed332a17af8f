// Commands called by name through the table the module registered with the engine, with the key events the
// host's panel services see.
#include "tests/conformance/check.h"
#include "tests/conformance/host.h"

using namespace host;

namespace {

uint32_t engaged() { return u32(module().block(), 0); }
uint32_t armed() { return u32(module().block(), 4); }
double reference(int offset) { return f64(module().block(), offset); }
void set_words(uint32_t e, uint32_t a) {
    put32(module().block(), 0, e);
    put32(module().block(), 4, a);
}

bool sent(std::vector<Event> expected) {
    const std::vector<Event>& events = services().events;
    if (events.size() != expected.size()) return false;
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].event != expected[i].event || events[i].parameter != expected[i].parameter) return false;
    return true;
}

int32_t call(const char* name) { return command(name, 7, -7); }

// Attached, with STAB and its axes engaged and the engage gate open.
void ready() {
    module().service(AFCP, update);
    put32(module().block(), 0, 0x00100000);
    module().update(28.0, 1.0, 80.0, 100.0);
    services().clear_records();
}

}  // namespace

CONFORMANCE_CASE(every_command_answers_zero_and_leaves_a_detached_module_alone) {
    zolm_test_fail_attach(1);
    module().service(AFCP, update);  // registers, but no block
    const char* names[] = {"STAB",      "ALT",          "ALTA",       "HDG",      "IAS",          "VS",
                           "CRHT",      "TDN",          "HOV",        "NAV",      "APP",          "GS",
                           "GO_AROUND", "FD_DISENGAGE", "CRHT_UP",    "HOV_DOWN", "ALT_INCREASE", "ALT_VS_DECREASE",
                           "TRIM_UP",   "TRIM_LEFT",    "TRIM_CENTER"};
    for (const char* name : names) CHECK_EQ(call(name), 0);
    CHECK(services().events.empty());
    // Simulator references move without a block.
    services().set(107, 359.7);
    CHECK_EQ(call("HDG_RIGHT"), 0);
    CHECK(sent({{66042, 0}}));
}

CONFORMANCE_CASE(mode_commands) {
    ready();
    services().set(74, 2449.9);
    call("ALT");
    CHECK_EQ(engaged() & 0x200, 0x200);
    CHECK(reference(32) == 2400.0);
    CHECK_EQ(engaged() & 0x01F00000, 0x01F00000);
    services().set(74, 2450.0);
    call("ALTA");
    CHECK(sent({{66124, 2500}}));
    CHECK_EQ(armed() & 0x200, 0x200);
    services().clear_records();
    set_words(0x01F00001, 0x00000020);  // STAB, HDG; VOR armed
    call("GO_AROUND");
    CHECK(sent({{66036, 500}, {66037, 75}, {66083, 9600}}));
    CHECK_EQ(armed(), 0);
    CHECK_EQ(engaged(), 0x01F01101);
    call("FD_DISENGAGE");
    CHECK_EQ(engaged(), 0x01F00000);
    // The gate is strict: at exactly 40 kt nothing engages.
    module().update(28.0, 1.0, 40.0, 100.0);
    call("HDG");
    CHECK_EQ(engaged() & 0x1, 0);
}

CONFORMANCE_CASE(nav_reads_its_variables) {
    ready();
    services().set(848, 0.0);
    services().set_raw(46, 0xC0);
    call("NAV");
    CHECK_EQ(armed() & 0xFF, brevane ? 0x02 : 0x20);
    CHECK_EQ(armed() & 0x400, brevane ? 0x400 : 0);
    CHECK(services().reads == (brevane ? std::vector<int32_t>{848, 46} : std::vector<int32_t>{848}));
    CHECK(services().read_zeroed.size() >= 1 && services().read_zeroed[0]);
}

CONFORMANCE_CASE(reference_commands_send_their_events) {
    ready();
    services().set(109, 99900.0);
    call("ALTA_INCREASE");
    services().set(107, 0.5);
    call("HDG_LEFT");
    services().set(145, 2656.0);
    call("IAS_DECREASE");
    call("VS_INCREASE");
    call("VS_DECREASE");
    CHECK(sent({{66124, 99900}, {66042, 359}, {66083, 5120}, {65894, 0}, {65895, 0}}));
    for (int read : {0, 1, 2}) CHECK(services().read_zeroed[read]);
    const double hover = 25.7;
    std::memcpy(module().block() + 48, &hover, 8);
    call("HOV_UP");
    CHECK(reference(48) == 30.0);
    call("HOV_DOWN");
    CHECK(reference(48) == 20.0);
    const double radar = 1495.0;
    std::memcpy(module().block() + 40, &radar, 8);
    call("CRHT_UP");
    call("CRHT_UP");
    CHECK(reference(40) == 1500.0);
}

CONFORMANCE_CASE(trim_commands) {
    ready();
    set_words(0x01F00000 | 0x1000, 0);  // IAS
    services().set(145, 10240.0);
    call("TRIM_UP");
    CHECK(services().events.empty());
    set_words(0x01F00001, 0);  // HDG alone
    services().set(107, 359.0);
    call("TRIM_RIGHT");
    CHECK(sent({{66042, 0}}));
    set_words(0x01F00000, 0);
    call("TRIM_UP");
    call("TRIM_UP");
    CHECK(reference(56) == 0.15);
    CHECK_EQ(armed(), 0x02000000);
    call("TRIM_CENTER");
    CHECK(reference(56) == 0.0 && reference(64) == 0.0);
    CHECK(zolm_test_guards_intact() == 1);
}
