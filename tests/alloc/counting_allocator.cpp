#include "tests/alloc/counting_allocator.h"

#include <cerrno>
#include <cstdlib>
#include <new>

// The C library's allocator under its own names: the wrappers below replace the public ones for the whole
// process, the C library's own internal calls included.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace afcp::alloc {

namespace {

bool counting = false;
const char* now = "";
Tally counts = {};

void count(uint64_t& kind, size_t size) {
    if (!counting) return;
    if (counts.operator_new + counts.c_allocations == 0) {
        counts.first_size = size;
        counts.first_during = now;
    }
    ++kind;
}

void* counted_new(size_t size) {
    count(counts.operator_new, size);
    return __libc_malloc(size == 0 ? 1 : size);
}

void* counted_aligned_new(size_t size, std::align_val_t alignment) {
    count(counts.operator_new, size);
    return __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}

void* or_bad_alloc(void* pointer) {
    if (pointer == nullptr) throw std::bad_alloc();
    return pointer;
}

}  // namespace

void start() {
    counts = Tally{};
    now = "";
    counting = true;
}

void stop() { counting = false; }

void during(const char* what) { now = what; }

const Tally& tally() { return counts; }

}  // namespace afcp::alloc

using afcp::alloc::counted_aligned_new;
using afcp::alloc::counted_new;
using afcp::alloc::or_bad_alloc;

void* operator new(size_t size) { return or_bad_alloc(counted_new(size)); }
void* operator new[](size_t size) { return or_bad_alloc(counted_new(size)); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return counted_new(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return counted_new(size); }
void* operator new(size_t size, std::align_val_t alignment) {
    return or_bad_alloc(counted_aligned_new(size, alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return or_bad_alloc(counted_aligned_new(size, alignment));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return counted_aligned_new(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return counted_aligned_new(size, alignment);
}

void operator delete(void* pointer) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, size_t, std::align_val_t) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { __libc_free(pointer); }

extern "C" {

void* malloc(size_t size) noexcept {
    afcp::alloc::count(afcp::alloc::counts.c_allocations, size);
    return __libc_malloc(size);
}

void* calloc(size_t number, size_t size) noexcept {
    afcp::alloc::count(afcp::alloc::counts.c_allocations, number * size);
    return __libc_calloc(number, size);
}

void* realloc(void* pointer, size_t size) noexcept {
    afcp::alloc::count(afcp::alloc::counts.c_allocations, size);
    return __libc_realloc(pointer, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    afcp::alloc::count(afcp::alloc::counts.c_allocations, size);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
    afcp::alloc::count(afcp::alloc::counts.c_allocations, size);
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) return ENOMEM;
    *result = pointer;
    return 0;
}

void free(void* pointer) noexcept { __libc_free(pointer); }

}  // extern "C"
