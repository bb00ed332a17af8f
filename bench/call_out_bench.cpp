// What a call out of the module costs on the 32-bit code, measured under Wine beside its floor in one run.
// Every call out goes through call_out() (frame/call_out.h), which keeps the stack pointer across the call so
// that a callee of either convention works. Rows, each in nanoseconds per loop and as a ratio to its floor:
//   read: one read-variable call through call_out, beside one direct __stdcall call through the same pointer;
//   read, __cdecl service: the same through call_out to a service that leaves its arguments;
//   update: the AFCP gauge's per-update step (four reads through call_out and the bit work), beside four
//           direct calls of the same service.
// Five rounds, the rows interleaved in each; the figures are medians. A benchmark, not a test.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "frame/afcp_service.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "preview/conventions.h"

namespace {

using afcp::ModuleVariable;

volatile double simulator_value = 28.0;
void read_variable(ModuleVariable* variable) { variable->value = simulator_value; }

using ReadService = void(__stdcall*)(ModuleVariable*);
void* services[64] = {};

double now_ns() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart);
}

// A pointer the compiler cannot see through, as the module's pointers into the host's table are.
template <typename Fn>
Fn opaque(Fn fn) {
    asm volatile("" : "+r"(fn));
    return fn;
}

constexpr int kLoops = 2'000'000;

template <typename Body>
double ns_per_loop(Body body) {
    const double start = now_ns();
    for (int i = 0; i < kLoops; ++i) body();
    return (now_ns() - start) / kLoops;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    using host_conventions::Convention;
    using host_conventions::Lend;
    services[afcp::service::read_variable] = Lend<&read_variable>::entry(Convention::callee_cleans);
    ImportTable.services = services;
    afcp::GaugeHeader* gauge = &afcp::gauge_headers[afcp::kGaugeAFCP];
    gauge->service_callback(gauge, afcp::kUpdate, 0);  // attaches to the stand-in engine
    if (afcp::module.block == nullptr) {
        std::fprintf(stderr, "call_out_bench: the stand-in engine gave no block\n");
        return 1;
    }
    ModuleVariable record = afcp::sample_record(afcp::token::supply_level);
    auto* stdcall_read = reinterpret_cast<ReadService>(Lend<&read_variable>::entry(Convention::callee_cleans));
    auto* cdecl_read = reinterpret_cast<ReadService>(Lend<&read_variable>::entry(Convention::caller_cleans));

    struct Row {
        const char* name;
        std::vector<double> call, floor;
    } rows[] = {{"read", {}, {}}, {"read, __cdecl service", {}, {}}, {"update", {}, {}}};
    for (int round = 0; round < 5; ++round) {
        rows[0].call.push_back(ns_per_loop([&] { afcp::call_out(opaque(stdcall_read), &record); }));
        rows[0].floor.push_back(ns_per_loop([&] { opaque(stdcall_read)(&record); }));
        rows[1].call.push_back(ns_per_loop([&] { afcp::call_out(opaque(cdecl_read), &record); }));
        rows[1].floor.push_back(rows[0].floor.back());
        rows[2].call.push_back(ns_per_loop([&] { opaque(gauge->service_callback)(gauge, afcp::kUpdate, 0); }));
        rows[2].floor.push_back(ns_per_loop([&] {
            for (int i = 0; i < 4; ++i) opaque(stdcall_read)(&record);
        }));
    }
    std::printf("%-24s %12s %12s %8s\n", "32-bit, under Wine", "ns", "floor ns", "ratio");
    for (const Row& r : rows) {
        std::vector<double> ratios;
        for (size_t i = 0; i < r.call.size(); ++i) ratios.push_back(r.call[i] / r.floor[i]);
        std::printf("%-24s %12.2f %12.2f %8.2f\n", r.name, median(r.call), median(r.floor), median(ratios));
    }
    std::printf("call_out adds %.2f ns a call (median of the read rows)\n",
                median(rows[0].call) - median(rows[0].floor));
    return 0;
}
