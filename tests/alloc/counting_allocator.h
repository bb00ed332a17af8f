// Counts every heap allocation of the process while counting is on: the global operator new in all its forms,
// and malloc, calloc, realloc, aligned_alloc and posix_memalign, which this program replaces with counting
// wrappers around the C library's own allocator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace afcp::alloc {

struct Tally {
    uint64_t operator_new;     // every form of operator new and new[]
    uint64_t c_allocations;    // malloc, calloc, realloc, aligned_alloc, posix_memalign
    size_t first_size;         // bytes asked for by the first allocation counted
    const char* first_during;  // what the program was doing then
};

// Starts counting from zero; `during` names what is running, for the first allocation's report.
void start();
void stop();
void during(const char* what);
const Tally& tally();
inline uint64_t allocations() { return tally().operator_new + tally().c_allocations; }

}  // namespace afcp::alloc
