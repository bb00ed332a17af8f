// What the main of the preview test programs (run_cases.cpp) reads off its command line for the cases.
#pragma once

#include "host/conventions.h"

namespace preview_tests {

// The convention of the panel services the cases' hosts lend: --services=stdcall (without one) or cdecl.
extern host_conventions::Convention services;

}  // namespace preview_tests
