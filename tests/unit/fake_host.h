// A native stand-in for the simulator host: a panel services table that records what the module asks of it,
// variables whose values a test sets, and a fixture that starts every test from a freshly loaded module.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "engine/zolm_test.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "variants/variant.h"

namespace afcp::test {

struct SentEvent {
    uint32_t event;
    uint32_t parameter;
    bool operator==(const SentEvent&) const = default;
};

struct ElementServiceCall {
    int entry;
    ElementHead* element;
    uint32_t word;
    bool has_word;
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();

    void set(int32_t token, double value) { values_[token] = value; }
    // Sets the raw 8 bytes of a variable's value field (a flag byte lies in the lowest one).
    void set_raw(int32_t token, uint64_t bits);

    std::vector<SentEvent> events;
    std::vector<int32_t> reads;
    std::vector<ElementServiceCall> element_calls;
    // For each read: whether the record arrived with everything but the token zero.
    std::vector<bool> read_zeroed;

    void* table[48] = {};

private:
    static void AFCP_STDCALL read_variable(ModuleVariable* variable);
    static void AFCP_STDCALL send_event(uint32_t event, uint32_t parameter);
    template <int Entry>
    static int32_t AFCP_STDCALL element_service(ElementHead* element);
    template <int Entry>
    static int32_t AFCP_STDCALL element_word_service(ElementHead* element, uint32_t word);

    std::map<int32_t, uint64_t> raw_;
    std::map<int32_t, double> values_;
    void* const* previous_;
};

// Every test starts with a fresh module, a fresh engine and a fresh host.
class ModuleTest : public ::testing::Test {
protected:
    ModuleTest() {
        module = ModuleState{};
        zolm_test_reset();
    }
    ~ModuleTest() override {
        zolm_test_reset();
        module = ModuleState{};
    }

    // The first update attaches; returns the block the engine handed out.
    StateBlock* attach();
    // One update of the AFCP gauge with the given samples.
    void update(double supply = 28.0, double enable = 1.0, double airspeed = 0.0, double radar_height = 0.0);
    // Samples that pass the engage gate.
    void gate_open() { update(28.0, 1.0, 80.0, 100.0); }

    FakeHost host;
};

}  // namespace afcp::test
