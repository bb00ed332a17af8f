// Calling convention and numeric helpers shared by everything the host or the engine calls.
#pragma once

#include <cmath>
#include <cstdint>

// The 32-bit Windows build, the only one where calling conventions differ.
#if defined(_WIN32) && defined(__i386__)
#define AFCP_WIN32_X86 1
#else
#define AFCP_WIN32_X86 0
#endif

// Everything the host or the engine calls is __stdcall, and so are the host and engine services as we declare
// them; calls out of the module survive a callee of either convention (frame/call_out.h). Native builds (unit
// tests, fuzzing, benchmarks, WebAssembly) have no such convention: the macro is empty there.
#if AFCP_WIN32_X86
#define AFCP_STDCALL __attribute__((stdcall))
#else
#define AFCP_STDCALL
#endif

// Offsets of host-read records are pinned only where the host's pointer size holds.
#define AFCP_HOST_LAYOUT (UINTPTR_MAX == 0xFFFFFFFFu)

// The host's records put doubles on 4-byte boundaries. Native builds (64-bit pointers, where the layout is
// not the host's anyway) keep natural alignment, so that no member is ever misaligned there.
#if AFCP_HOST_LAYOUT
#define AFCP_HOST_PACK_BEGIN _Pragma("pack(push, 4)")
#define AFCP_HOST_PACK_END _Pragma("pack(pop)")
#else
#define AFCP_HOST_PACK_BEGIN
#define AFCP_HOST_PACK_END
#endif

namespace afcp {

// The one way a double becomes an int32: truncation toward zero, NaN gives 0, out-of-range values clamp to the
// int32 limits. A plain cast of such a value would be undefined behaviour.
constexpr int32_t to_int32(double v) {
    if (v != v) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace afcp
