// A stand-in for the autopilot engine library, for building and testing the panel modules.
// It owns the state block (allocated on attach, freed on release), keeps the registered command table so that
// a command can be called by name, and counts the calls it receives.
#define ZOLM_BUILDING 1
#include <cstdlib>
#include <cstring>

#include "engine/zolm_test.h"

namespace {

constexpr uint8_t kEngineAreaFill = 0x5A;

struct Engine {
    afcp::StateBlock* block = nullptr;
    const afcp::CommandEntry* table = nullptr;
    int32_t fail_attach = 0;
    ZolmCounts counts = {};
    char parameter[256] = {};
    int32_t parameter_null = 1;
    void* const* services = nullptr;
    char call_on_register[40] = {};  // a command the next registration calls, as an engine may
};
Engine engine;

uint8_t* guard_area(afcp::StateBlock* block) { return reinterpret_cast<uint8_t*>(block) + sizeof(afcp::StateBlock); }

}  // namespace

extern "C" {

afcp::StateBlock* ZOLM_CALL zolm_attach(const char* parameter, void* const* services) {
    ++engine.counts.attach_calls;
    engine.parameter_null = parameter == nullptr;
    engine.parameter[0] = '\0';
    if (parameter != nullptr) std::strncat(engine.parameter, parameter, sizeof engine.parameter - 1);
    engine.services = services;
    if (engine.fail_attach != 0) return nullptr;
    if (engine.block == nullptr) {
        void* memory = std::calloc(1, sizeof(afcp::StateBlock) + zolm_guard_bytes);
        if (memory == nullptr) return nullptr;
        engine.block = static_cast<afcp::StateBlock*>(memory);
        std::memset(engine.block->engine_area, kEngineAreaFill, sizeof engine.block->engine_area);
        std::memset(guard_area(engine.block), zolm_guard_fill, zolm_guard_bytes);
    }
    return engine.block;
}

void ZOLM_CALL zolm_register_commands(const afcp::CommandEntry* table, int32_t count) {
    ++engine.counts.register_calls;
    engine.counts.last_register_count = count;
    engine.table = table;
    if (engine.call_on_register[0] != '\0') {
        char name[sizeof engine.call_on_register];
        std::memcpy(name, engine.call_on_register, sizeof name);
        engine.call_on_register[0] = '\0';
        zolm_test_call(name, 0, 0);
    }
}

void ZOLM_CALL zolm_release() {
    ++engine.counts.release_calls;
    std::free(engine.block);
    engine.block = nullptr;
}

void AFCP_STDCALL zolm_test_fail_attach(int32_t fail) { engine.fail_attach = fail; }

void AFCP_STDCALL zolm_test_call_on_register(const char* name) {
    engine.call_on_register[0] = '\0';
    if (name != nullptr) std::strncat(engine.call_on_register, name, sizeof engine.call_on_register - 1);
}

void AFCP_STDCALL zolm_test_counts(ZolmCounts* counts) { *counts = engine.counts; }

void AFCP_STDCALL zolm_test_reset() {
    std::free(engine.block);
    engine = Engine{};
}

afcp::StateBlock* AFCP_STDCALL zolm_test_block() { return engine.block; }

const afcp::CommandEntry* AFCP_STDCALL zolm_test_table() { return engine.table; }

const char* AFCP_STDCALL zolm_test_last_parameter(int32_t* was_null) {
    if (was_null != nullptr) *was_null = engine.parameter_null;
    return engine.parameter;
}

void* const* AFCP_STDCALL zolm_test_last_services() { return engine.services; }

int32_t AFCP_STDCALL zolm_test_call(const char* name, int32_t a, int32_t b) {
    if (engine.table == nullptr) return -1;
    for (int32_t i = 0; i < engine.counts.last_register_count; ++i) {
        const afcp::CommandEntry& entry = engine.table[i];
        if (std::strncmp(entry.name, name, sizeof entry.name) == 0) return entry.handler(a, b);
    }
    return -1;
}

int32_t AFCP_STDCALL zolm_test_guards_intact() {
    if (engine.block == nullptr) return 1;
    for (uint8_t byte : engine.block->engine_area)
        if (byte != kEngineAreaFill) return 0;
    const uint8_t* guard = guard_area(engine.block);
    for (int i = 0; i < zolm_guard_bytes; ++i)
        if (guard[i] != zolm_guard_fill) return 0;
    return 1;
}

uint32_t AFCP_STDCALL zolm_test_capture() {
    afcp::StateBlock* block = engine.block;
    if (block == nullptr) return 0;
    using namespace afcp::bits;
    struct Capture {
        uint32_t bit;
        uint32_t replaces;  // engaged bits the captured mode takes the place of
    };
    constexpr Capture captures[] = {{ALT, afcp::masks::vertical_group},
                                    {GS, afcp::masks::vertical_group},
                                    {LOC, afcp::masks::lateral_group},
                                    {VOR, afcp::masks::lateral_group},
                                    {TDN, 0}};
    uint32_t captured = 0;
    for (const Capture& c : captures) {
        if ((block->armed & c.bit) == 0) continue;
        block->armed &= ~c.bit;
        block->engaged = (block->engaged & ~c.replaces) | c.bit;
        captured |= c.bit;
    }
    return captured;
}

}  // extern "C"
