// A host's panel services in either calling convention. Nothing fixes whether a host's services remove their
// arguments from the stack (__stdcall) or leave them (__cdecl); the module survives both, and our hosts can
// lend either to show it. Lend<f> wraps a plain function f of the host in both conventions.
#pragma once

#include <cstdio>
#include <cstring>

#include "frame/abi.h"

// Where conventions differ (the 32-bit Windows build), __cdecl; elsewhere there is one convention.
#if AFCP_WIN32_X86
#define HOST_CDECL __attribute__((cdecl))
#else
#define HOST_CDECL
#endif

namespace host_conventions {

// __stdcall: the callee removes its arguments; __cdecl: the caller does.
enum class Convention { callee_cleans, caller_cleans };

// A test host's command line: "--services=stdcall" or "--services=cdecl" (stdcall without one) into `out`.
// False, after a usage line on stderr, for anything else.
inline bool parse_arguments(int argc, char** argv, Convention& out) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--services=stdcall") == 0) {
            out = Convention::callee_cleans;
        } else if (std::strcmp(argv[i], "--services=cdecl") == 0) {
            out = Convention::caller_cleans;
        } else {
            std::fprintf(stderr, "usage: %s [--services=stdcall|cdecl]\n", argv[0]);
            return false;
        }
    }
    return true;
}

inline const char* name(Convention c) { return c == Convention::caller_cleans ? "cdecl" : "stdcall"; }

template <auto Function>
struct Lend;
template <typename R, typename... A, R (*Function)(A...)>
struct Lend<Function> {
    static R AFCP_STDCALL removes_arguments(A... args) { return Function(args...); }
    static R HOST_CDECL leaves_arguments(A... args) { return Function(args...); }
    static void* entry(Convention c) {
        return c == Convention::caller_cleans ? reinterpret_cast<void*>(&leaves_arguments)
                                              : reinterpret_cast<void*>(&removes_arguments);
    }
};

}  // namespace host_conventions
