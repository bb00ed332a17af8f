// A host's panel services in either calling convention. Nothing fixes whether a host's services remove their
// arguments from the stack (__stdcall) or leave them (__cdecl); the module survives both, and our hosts can
// lend either to show it. Lend<f> wraps a plain function f of the host in both conventions.
#pragma once

#include <cstring>

namespace host_conventions {

// __stdcall: the callee removes its arguments; __cdecl: the caller does.
enum class Convention { callee_cleans, caller_cleans };

// "stdcall" or "cdecl" into `out`; false for any other text.
inline bool parse(const char* text, Convention& out) {
    if (std::strcmp(text, "stdcall") == 0) {
        out = Convention::callee_cleans;
    } else if (std::strcmp(text, "cdecl") == 0) {
        out = Convention::caller_cleans;
    } else {
        return false;
    }
    return true;
}

inline const char* name(Convention c) { return c == Convention::caller_cleans ? "cdecl" : "stdcall"; }

template <auto Function>
struct Lend;
template <typename R, typename... A, R (*Function)(A...)>
struct Lend<Function> {
    static R __stdcall removes_arguments(A... args) { return Function(args...); }
    static R __cdecl leaves_arguments(A... args) { return Function(args...); }
    static void* entry(Convention c) {
        return c == Convention::caller_cleans ? reinterpret_cast<void*>(&leaves_arguments)
                                              : reinterpret_cast<void*>(&removes_arguments);
    }
};

}  // namespace host_conventions
