#include "tests/stub/stub_host.h"

#include <cstring>

#include "frame/services.h"

namespace afcp::stub {

Counts counts = {};

namespace {

uint64_t values[token_limit] = {};
void* table[48] = {};

void AFCP_STDCALL read_variable(ModuleVariable* variable) {
    ++counts.reads;
    const int32_t token = variable->token;
    const uint64_t bits = token >= 0 && token < token_limit ? values[token] : 0;
    std::memcpy(&variable->value, &bits, sizeof variable->value);
}

void AFCP_STDCALL send_event(uint32_t event, uint32_t parameter) {
    ++counts.events;
    counts.last_event = event;
    counts.last_parameter = parameter;
}

int32_t AFCP_STDCALL element_service(ElementHead*) {
    ++counts.element_services;
    return 0;
}

int32_t AFCP_STDCALL element_word_service(ElementHead*, uint32_t) {
    ++counts.element_services;
    return 0;
}

}  // namespace

void install() {
    table[service::read_variable] = reinterpret_cast<void*>(&read_variable);
    table[service::send_event] = reinterpret_cast<void*>(&send_event);
    for (int entry : service::element_services)
        table[entry] = service::takes_word(entry) ? reinterpret_cast<void*>(&element_word_service)
                                                  : reinterpret_cast<void*>(&element_service);
    ImportTable.services = table;
}

void set(int32_t token, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    set_raw(token, bits);
}

void set_raw(int32_t token, uint64_t bits) {
    if (token >= 0 && token < token_limit) values[token] = bits;
}

}  // namespace afcp::stub
