#include "tests/conformance/host.h"

#include <cstdio>

#include "tests/conformance/check.h"

namespace host {

namespace {

Services* current_services = nullptr;
Module current_module;

void __stdcall read_variable(uint8_t* record) {
    Services& s = *current_services;
    const int32_t token = i32(record, 0);
    s.reads.push_back(token);
    bool zeroed = true;
    for (int i = 4; i < 28; ++i) zeroed = zeroed && record[i] == 0;
    s.read_zeroed.push_back(zeroed);
    if (auto raw = s.raw.find(token); raw != s.raw.end()) {
        std::memcpy(record + 12, &raw->second, 8);
    } else if (auto value = s.values.find(token); value != s.values.end()) {
        std::memcpy(record + 12, &value->second, 8);
    }
}

void __stdcall send_event(uint32_t event, uint32_t parameter) {
    current_services->events.push_back({event, parameter});
}

template <int Entry>
int32_t __stdcall element_service(void* element) {
    current_services->element_calls.push_back({Entry, element, 0});
    return 1000 + Entry;
}

template <int Entry>
int32_t __stdcall element_word_service(void* element, uint32_t word) {
    current_services->element_calls.push_back({Entry, element, word});
    return 1000 + Entry;
}

bool load_module() {
    current_module = Module{};
    current_module.handle = LoadLibraryA(AFCP_MODULE_FILE);
    if (current_module.handle == nullptr) return false;
    current_module.import_table = reinterpret_cast<uint8_t*>(GetProcAddress(current_module.handle, "ImportTable"));
    current_module.linkage = reinterpret_cast<uint8_t*>(GetProcAddress(current_module.handle, "Linkage"));
    if (current_module.import_table == nullptr || current_module.linkage == nullptr) return false;
    for (int i = 0; i < 4; ++i) current_module.import_table_at_load[i] = u32(current_module.import_table, 4 * i);
    // As the host does at load: the panel services table goes into word 1.
    put32(current_module.import_table, 4, reinterpret_cast<uint32_t>(current_services->table));
    return true;
}

}  // namespace

Services& services() { return *current_services; }
const Module& module() { return current_module; }

void Module::update(double supply, double enable, double airspeed, double radar_height) const {
    services().set(755, supply);
    services().set(131, enable);
    services().set(61, airspeed);
    services().set(614, radar_height);
    service(AFCP, host::update);
}

}  // namespace host

int main() {
    using namespace conformance;
    for (Case* c : cases()) {
        begin(*c);
        zolm_test_reset();
        host::Services services;
        services.table[40] = reinterpret_cast<void*>(&host::read_variable);
        services.table[36] = reinterpret_cast<void*>(&host::send_event);
        services.table[24] = reinterpret_cast<void*>(&host::element_service<24>);
        services.table[25] = reinterpret_cast<void*>(&host::element_word_service<25>);
        services.table[26] = reinterpret_cast<void*>(&host::element_service<26>);
        services.table[27] = reinterpret_cast<void*>(&host::element_service<27>);
        services.table[28] = reinterpret_cast<void*>(&host::element_word_service<28>);
        services.table[29] = reinterpret_cast<void*>(&host::element_service<29>);
        services.table[31] = reinterpret_cast<void*>(&host::element_service<31>);
        host::current_services = &services;
        // A fresh module for every case: its static state starts as at load.
        if (!host::load_module()) {
            fail(__FILE__, __LINE__, "load " AFCP_MODULE_FILE " and find ImportTable and Linkage");
            break;
        }
        c->run();
        zolm_test_reset();
        FreeLibrary(host::current_module.handle);
        host::current_services = nullptr;
    }
    return report(AFCP_MODULE_FILE);
}
