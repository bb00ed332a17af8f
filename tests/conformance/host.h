// A test host of our own that plays the simulator host for a real module DLL under Wine: it loads the module
// beside the stand-in engine, lends it a panel services table that records every call, and reads the module's
// records the way the host does, as 32-bit words and doubles at byte offsets.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <type_traits>
#include <vector>

#include "engine/zolm_test.h"
#include "tests/dll/records.h"
#include "host/conventions.h"

namespace host {

// The module under test is the Brevane one (its conformance host is built with the same variant).
#if defined(AFCP_VARIANT_BREVANE)
constexpr bool brevane = true;
#else
constexpr bool brevane = false;
#endif

// Reads at byte offsets.
inline uint32_t u32(const void* base, int offset) {
    uint32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(base) + offset, sizeof v);
    return v;
}
inline int32_t i32(const void* base, int offset) { return static_cast<int32_t>(u32(base, offset)); }
inline double f64(const void* base, int offset) {
    double v;
    std::memcpy(&v, static_cast<const uint8_t*>(base) + offset, sizeof v);
    return v;
}
inline uint8_t* ptr(const void* base, int offset) { return reinterpret_cast<uint8_t*>(u32(base, offset)); }
inline void put32(void* base, int offset, uint32_t v) {
    std::memcpy(static_cast<uint8_t*>(base) + offset, &v, sizeof v);
}
// Every call of the host into the module goes through host_call (host.cpp), which notes whether the callee
// returned with the stack pointer where a __stdcall routine must leave it, and puts it back if not: the host's
// stack is the same before and after every callback, or the case fails.
extern "C" uint32_t host_call_word(const void* callee, const uint32_t* args, uint32_t count, uint8_t* unbalanced);
extern "C" double host_call_double(const void* callee, const uint32_t* args, uint32_t count, uint8_t* unbalanced);

struct StackRecord {
    int calls = 0;
    int unbalanced = 0;
};
StackRecord& stack_record();

template <typename T>
uint32_t word(T value) {
    static_assert(sizeof(T) == 4);
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uint32_t>(value);
    else
        return static_cast<uint32_t>(value);
}

template <typename Fn>
struct Callback;
template <typename R, typename... A>
struct Callback<R(__stdcall*)(A...)> {
    R(__stdcall* target)(A...);
    R operator()(A... args) const {
        const uint32_t words[sizeof...(A) + 1] = {word(args)..., 0};
        uint8_t unbalanced = 0;
        const void* callee = reinterpret_cast<const void*>(target);
        StackRecord& record = stack_record();
        ++record.calls;
        if constexpr (std::is_same_v<R, double>) {
            const double result = host_call_double(callee, words, sizeof...(A), &unbalanced);
            record.unbalanced += unbalanced;
            return result;
        } else {
            const uint32_t result = host_call_word(callee, words, sizeof...(A), &unbalanced);
            record.unbalanced += unbalanced;
            if constexpr (std::is_pointer_v<R>)
                return reinterpret_cast<R>(result);
            else if constexpr (!std::is_void_v<R>)
                return static_cast<R>(result);
        }
    }
};

// A routine of the module whose pointer stands at a byte offset, called as the host calls it.
template <typename Fn>
Callback<Fn> fn(const void* base, int offset) {
    return {reinterpret_cast<Fn>(u32(base, offset))};
}
template <typename Fn>
Callback<Fn> checked(Fn f) {
    return {f};
}

// A command called by name through the engine, as the engine calls it.
inline int32_t command(const char* name, int32_t a = 0, int32_t b = 0) { return checked(&zolm_test_call)(name, a, b); }

using GaugeService = void(__stdcall*)(void* gauge, int32_t code, uint32_t ignored);
using Handler = int32_t(__stdcall*)(int32_t, int32_t);
using ValueCallback = double(__stdcall*)(void* element);

// Byte offsets of the host's records, and the gauge slots: one home with the record checks.
namespace offsets = ::dll::offsets;
using ::dll::Slot;
using ::dll::AFCP, ::dll::IAS_SELECT, ::dll::ALT_SELECT, ::dll::ALT_VS_SELECT, ::dll::AP_TRIM, ::dll::HIGH_MODES,
    ::dll::GO_AROUND, ::dll::STAB, ::dll::ANNUNCIATOR, ::dll::ANNUNCIATOR_T, ::dll::GS;

// Service codes.
constexpr int32_t parameters_ready = 2, update = 6, disconnect = 15;

struct ElementCall {
    int entry;
    void* element;
    uint32_t word;
};

struct Event {
    uint32_t event;
    uint32_t parameter;
};

using host_conventions::Convention;

// The panel services table lent to the module, and what the module did with it.
struct Services {
    void* table[64] = {};
    std::map<int32_t, double> values;
    std::map<int32_t, uint64_t> raw;
    std::vector<int32_t> reads;
    std::vector<bool> read_zeroed;  // whether each record arrived with everything but its token zero
    std::vector<Event> events;
    std::vector<ElementCall> element_calls;

    void set(int32_t token, double value) {
        raw.erase(token);
        values[token] = value;
    }
    void set_raw(int32_t token, uint64_t bits) {
        values.erase(token);
        raw[token] = bits;
    }
    void clear_records() {
        reads.clear();
        read_zeroed.clear();
        events.clear();
        element_calls.clear();
    }
};

Services& services();

// The module under test, loaded afresh for every case.
struct Module {
    HMODULE handle = nullptr;
    uint8_t* import_table = nullptr;
    uint8_t* linkage = nullptr;
    uint32_t import_table_at_load[4] = {};  // as the module holds it, before the host writes the services

    uint8_t* gauge(int slot) const { return ptr(linkage, 24 + 4 * slot); }
    uint8_t* root(int slot) const { return ptr(ptr(gauge(slot), offsets::header_elements), 0); }
    void service(int slot, int32_t code) const {
        fn<GaugeService>(gauge(slot), offsets::header_service)(gauge(slot), code, 0);
    }
    // One update of the "AFCP" gauge with the given samples.
    void update(double supply = 28.0, double enable = 1.0, double airspeed = 0.0, double radar_height = 0.0) const;
    // The state block the engine handed out (null while detached).
    uint8_t* block() const { return reinterpret_cast<uint8_t*>(zolm_test_block()); }
};

const Module& module();

// The loaded module as the record checks read it (tests/dll/records.h): its own memory, with ImportTable as the
// module held it before the host wrote the services into it.
class LoadedImage : public dll::Image {
public:
    const uint8_t* at(uint32_t address, uint32_t bytes) const override;
    bool code(uint32_t address) const override;
    bool writable(uint32_t address) const override;
};
const LoadedImage& image();

}  // namespace host
