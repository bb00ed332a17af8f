// The host's panel services, reached through the table the host writes into ImportTable at load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "frame/abi.h"
#include "frame/call_out.h"
#include "frame/host.h"

extern "C" afcp::ImportTableRecord ImportTable;

namespace afcp {

// Entries of the panel services table that the module calls.
namespace service {
// The element-list services, in the order of the lifecycle routines that call them.
constexpr int element_services[7] = {24, 25, 26, 27, 28, 29, 31};
static_assert(std::size(element_services) == std::size(lifecycle_passes_word));
// Whether an element-list service takes a word besides the element (entries 25 and 28).
constexpr bool takes_word(int entry) {
    for (size_t i = 0; i < std::size(element_services); ++i)
        if (element_services[i] == entry) return lifecycle_passes_word[i];
    return false;
}
constexpr int send_event = 36;
constexpr int read_variable = 40;
}  // namespace service

using ReadVariableService = void(AFCP_STDCALL*)(ModuleVariable*);
using SendEventService = void(AFCP_STDCALL*)(uint32_t event, uint32_t parameter);
using ElementService = int32_t(AFCP_STDCALL*)(ElementHead*);
using ElementWordService = int32_t(AFCP_STDCALL*)(ElementHead*, uint32_t);

// The table pointer is read at every call and never tested: the host fills it before it calls anything.
// Every entry is called through call_out(), so that a host whose services leave their arguments works too.
template <typename Fn>
inline Fn service_entry(int index) {
    return reinterpret_cast<Fn>(ImportTable.services[index]);
}

inline void read_variable(ModuleVariable& variable) {
    call_out(service_entry<ReadVariableService>(service::read_variable), &variable);
}

// A fresh read: a zeroed record with only the token set.
inline double read_fresh(int32_t token) {
    ModuleVariable variable{};
    variable.token = token;
    read_variable(variable);
    return variable.value;
}

inline void send_event(uint32_t event, uint32_t parameter) {
    call_out(service_entry<SendEventService>(service::send_event), event, parameter);
}

}  // namespace afcp
