// Calls out of the module: the engine's three functions and the host's panel services.
//
// We call them as __stdcall, but nothing we are given fixes that: the engine is a separate library bound by
// ordinal, and a host may build its services either way. A callee that leaves its arguments on the stack
// (__cdecl) where the caller expects them removed would leave the stack pointer a few bytes off after the
// call, and the module's next return would jump through a wrong word. So every call out goes through
// call_out(). On the 32-bit Windows build it makes the call itself, in a few instructions of inline assembly:
// the stack pointer is kept in esi (which both conventions preserve), the 32-bit argument words are pushed
// last first, the callee is called, and esp is put back from esi. A callee that removes its arguments and one
// that leaves them both return to a balanced stack. The result comes back in eax, as from a direct call: every
// call out passes and returns 32-bit words (integers or pointers) only. The assembly tells the compiler that
// the callee may change memory and every register a callee of either convention may change (eax, ecx, edx,
// the flags, the x87 and SSE registers).
//
// What the host and the engine call in the module (gauge and element callbacks, mouse and command handlers,
// lifecycle routines) stays __stdcall: the host fixes that convention, and the engine calls the same handlers.
//
// Builds without that distinction (native tests, benchmarks, fuzzing, WebAssembly) call directly.
#pragma once

#include <cstdint>
#include <type_traits>

#include "frame/abi.h"

#if AFCP_WIN32_X86
// Registers a callee of either convention may change, besides eax (the result) and esi (ours).
#define AFCP_CALL_OUT_CLOBBERS                                                                                   \
    "ecx", "edx", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "st", "st(1)", \
        "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)"
#endif

namespace afcp {

namespace detail {

template <typename T>
constexpr bool is_word = (std::is_pointer_v<T> || std::is_integral_v<T>)&&sizeof(T) == 4;

template <typename T>
inline uint32_t out_word(T value) {
    static_assert(is_word<T>, "calls out pass 32-bit integers and pointers only");
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uintptr_t>(value);
    else
        return static_cast<uint32_t>(value);
}

}  // namespace detail

template <typename R, typename... P>
inline R call_out(R(AFCP_STDCALL* callee)(P...), std::type_identity_t<P>... args) {
#if AFCP_WIN32_X86
    if constexpr (!std::is_void_v<R>) static_assert(detail::is_word<R>, "calls out return a 32-bit word in eax");
    static_assert(sizeof...(P) <= 2, "calls out take at most two words");
    const uint32_t words[sizeof...(P) + 1] = {detail::out_word<P>(args)..., 0};
    const void* target = reinterpret_cast<const void*>(callee);
    uint32_t result;
    uint32_t saved;  // esi: the stack pointer across the call
    // Operands are registers or constants only: the pushes move esp, so no operand may be addressed from it.
    if constexpr (sizeof...(P) == 0) {
        asm volatile("movl %%esp, %%esi\n\tcalll *%[callee]\n\tmovl %%esi, %%esp"
                     : "=a"(result), "=&S"(saved)
                     : [callee] "r"(target)
                     : AFCP_CALL_OUT_CLOBBERS);
    } else if constexpr (sizeof...(P) == 1) {
        asm volatile("movl %%esp, %%esi\n\tpushl %[a0]\n\tcalll *%[callee]\n\tmovl %%esi, %%esp"
                     : "=a"(result), "=&S"(saved)
                     : [callee] "r"(target), [a0] "ri"(words[0])
                     : AFCP_CALL_OUT_CLOBBERS);
    } else {
        asm volatile("movl %%esp, %%esi\n\tpushl %[a1]\n\tpushl %[a0]\n\tcalll *%[callee]\n\tmovl %%esi, %%esp"
                     : "=a"(result), "=&S"(saved)
                     : [callee] "r"(target), [a0] "ri"(words[0]), [a1] "ri"(words[1])
                     : AFCP_CALL_OUT_CLOBBERS);
    }
    (void)saved;
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<R>(static_cast<uintptr_t>(result));
    else if constexpr (!std::is_void_v<R>)
        return static_cast<R>(result);
#else
    return callee(args...);
#endif
}

}  // namespace afcp

#if AFCP_WIN32_X86
#undef AFCP_CALL_OUT_CLOBBERS
#endif
