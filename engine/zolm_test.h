// The engine's entries for the simulator, the tests and the tools, exported by name. The modules never use them.
#pragma once

#include <cstdint>

#include "frame/abi.h"
#include "frame/engine.h"

#if defined(_WIN32) && defined(ZOLM_BUILDING)
#define ZOLM_TEST_API extern "C" __declspec(dllexport)
#else
#define ZOLM_TEST_API extern "C"
#endif

struct ZolmCounts {
    int32_t attach_calls;
    int32_t register_calls;
    int32_t release_calls;
    int32_t last_register_count;
};

// Bytes kept after the block so that a test can see a write past `lateral input`.
constexpr int zolm_guard_bytes = 64;
constexpr uint8_t zolm_guard_fill = 0xA5;

// The next `attach` calls return null while this is non-zero.
ZOLM_TEST_API void AFCP_STDCALL zolm_test_fail_attach(int32_t fail);
ZOLM_TEST_API void AFCP_STDCALL zolm_test_counts(ZolmCounts* counts);
// The next `register commands` calls the command of this name from the table it was just given, before it
// returns (null or "" for none); once.
ZOLM_TEST_API void AFCP_STDCALL zolm_test_call_on_register(const char* name);
// Forgets the counts, the table and the block, as a freshly loaded engine.
ZOLM_TEST_API void AFCP_STDCALL zolm_test_reset();
// The block currently handed out, or null.
ZOLM_TEST_API afcp::StateBlock* AFCP_STDCALL zolm_test_block();
// The table and count of the last registration.
ZOLM_TEST_API const afcp::CommandEntry* AFCP_STDCALL zolm_test_table();
// The parameter string given to the last attach (empty for null), and whether it was null.
ZOLM_TEST_API const char* AFCP_STDCALL zolm_test_last_parameter(int32_t* was_null);
ZOLM_TEST_API void* const* AFCP_STDCALL zolm_test_last_services();
// Calls a registered command by name; returns its result, or -1 if no such name was registered.
ZOLM_TEST_API int32_t AFCP_STDCALL zolm_test_call(const char* name, int32_t a, int32_t b);
// 1 while the engine area and the guard bytes after the block hold what the engine put there.
ZOLM_TEST_API int32_t AFCP_STDCALL zolm_test_guards_intact();

// One capture step of the engine, as it would make when the aircraft meets an armed target, by the engine's own
// capture rule (engine/modes.h). Each of the armed ALT (altitude acquire), GS, LOC, VOR and TDN moves from
// `armed` to `engaged`, in that order. A captured ALT or GS replaces the engaged vertical mode (the vertical group
// is cleared first); a captured LOC or VOR replaces the engaged lateral mode (the lateral group is cleared
// first); a captured TDN joins the lateral mode engaged; LOC_AUX, VOR_AUX and GS_AUX leave `armed` with their
// mode. Nothing else changes, and nothing happens while no block is handed out. Returns the bits captured.
ZOLM_TEST_API uint32_t AFCP_STDCALL zolm_test_capture();

// The engine's caution: a mode that has sat at one of its limits for more than 2 s (the mode's bit, 0 for none;
// the limit: 0 none, 1 pitch, 2 bank, 3 climb, 4 power, 5 travel: the control it drives at its stop; 6 rotor: the
// collective mode has given the collective back to the pilot at once, both engines being out or the rotor speed
// low). Read by the host, as a cockpit's caution panel would.
struct ZolmCaution {
    uint32_t mode;
    int32_t limit;
};
// The limits' names, by their numbers.
inline constexpr const char* zolm_limit_names[] = {"none", "pitch", "bank", "climb", "power", "travel", "rotor"};
constexpr int32_t zolm_limit_count = 7;
ZOLM_TEST_API void AFCP_STDCALL zolm_caution(ZolmCaution* caution);

// What each axis flies now (collective, pitch, roll, pedals): the mode flying it (0: not held, or the pilot's
// attitude), its command after the envelope (climb ft/min, attitude deg, heading deg) and the envelope's bound
// on it (0: none). And 1 while every loop's integrator is inside its limit.
struct ZolmAxis {
    uint32_t mode;
    double command;
    double limit;
};
ZOLM_TEST_API void AFCP_STDCALL zolm_test_axes(ZolmAxis* axes);  // four of them
ZOLM_TEST_API int32_t AFCP_STDCALL zolm_test_integrals_inside();

// The simulator's clock: one step of the engine, `microseconds` of simulated time long. The engine reads the
// block and the aircraft through the panel services it was given at attach and sends its control events
// (engine/aircraft_link.h); it does nothing while it has no block. The host calls it before every physics step.
ZOLM_TEST_API void AFCP_STDCALL zolm_step(int32_t microseconds);
