#include "tests/unit/fake_host.h"

#include "frame/afcp_service.h"
#include "frame/catalogue.h"

namespace afcp::test {

namespace {
FakeHost* current = nullptr;
}

FakeHost::FakeHost() : previous_(ImportTable.services) {
    table[service::read_variable] = reinterpret_cast<void*>(&FakeHost::read_variable);
    table[service::send_event] = reinterpret_cast<void*>(&FakeHost::send_event);
    table[24] = reinterpret_cast<void*>(&FakeHost::element_service<24>);
    table[25] = reinterpret_cast<void*>(&FakeHost::element_word_service<25>);
    table[26] = reinterpret_cast<void*>(&FakeHost::element_service<26>);
    table[27] = reinterpret_cast<void*>(&FakeHost::element_service<27>);
    table[28] = reinterpret_cast<void*>(&FakeHost::element_word_service<28>);
    table[29] = reinterpret_cast<void*>(&FakeHost::element_service<29>);
    table[31] = reinterpret_cast<void*>(&FakeHost::element_service<31>);
    ImportTable.services = table;
    current = this;
}

FakeHost::~FakeHost() {
    ImportTable.services = previous_;
    current = nullptr;
}

void FakeHost::set_raw(int32_t token, uint64_t bits) {
    values_.erase(token);
    raw_[token] = bits;
}

void AFCP_STDCALL FakeHost::read_variable(ModuleVariable* variable) {
    FakeHost& host = *current;
    host.reads.push_back(variable->token);
    ModuleVariable zeroed{};
    zeroed.token = variable->token;
    host.read_zeroed.push_back(std::memcmp(variable, &zeroed, sizeof zeroed) == 0);
    if (auto raw = host.raw_.find(variable->token); raw != host.raw_.end()) {
        std::memcpy(&variable->value, &raw->second, sizeof variable->value);
    } else if (auto value = host.values_.find(variable->token); value != host.values_.end()) {
        variable->value = value->second;
    }
}

void AFCP_STDCALL FakeHost::send_event(uint32_t event, uint32_t parameter) {
    current->events.push_back({event, parameter});
}

template <int Entry>
int32_t AFCP_STDCALL FakeHost::element_service(ElementHead* element) {
    current->element_calls.push_back({Entry, element, 0, false});
    return 1000 + Entry;
}

template <int Entry>
int32_t AFCP_STDCALL FakeHost::element_word_service(ElementHead* element, uint32_t word) {
    current->element_calls.push_back({Entry, element, word, true});
    return 1000 + Entry;
}

StateBlock* ModuleTest::attach() {
    afcp_service(&gauge_headers[kGaugeAFCP], kUpdate, 0);
    return module.block;
}

void ModuleTest::update(double supply, double enable, double airspeed, double radar_height) {
    host.set(token::supply_level, supply);
    host.set(token::enable_switch, enable);
    host.set(token::airspeed, airspeed);
    host.set(token::radar_height, radar_height);
    afcp_service(&gauge_headers[kGaugeAFCP], kUpdate, 0);
}

}  // namespace afcp::test
