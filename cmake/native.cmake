# Native build: the module's logic with the stand-in engine, under GoogleTest, plain and with sanitizers, and the
# fuzz target replaying its seed corpus. Two special configurations share this file:
#   AFCP_COVERAGE  the plain flavour only, instrumented for gcov (`make coverage`);
#   AFCP_FUZZ      the libFuzzer targets fuzz_korst and fuzz_brevane, with clang (`make fuzz`).
find_package(GTest REQUIRED)

option(AFCP_COVERAGE "Instrument the module and the tests for gcov; plain flavour only" OFF)
option(AFCP_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(AFCP_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
set(AFCP_COVERAGE_FLAGS --coverage)

file(GLOB AFCP_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
set(AFCP_FUZZ_TARGET ${CMAKE_SOURCE_DIR}/tests/fuzz/panel_fuzz.cpp)
set(AFCP_FUZZ_CORPUS ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

# One library per variant and flavour: the module's code and the stand-in engine.
function(afcp_native_library name variant)
  add_library(${name} STATIC ${AFCP_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/engine/zolm.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${AFCP_WARNINGS})
  afcp_variant_definitions(${name} ${variant})
endfunction()

set(AFCP_FLAVOURS plain sanitized)
if(AFCP_COVERAGE)
  set(AFCP_FLAVOURS plain)
endif()

foreach(variant IN LISTS AFCP_VARIANTS)
  foreach(flavour IN LISTS AFCP_FLAVOURS)
    set(suffix ${variant})
    if(flavour STREQUAL "sanitized")
      set(suffix ${variant}_sanitized)
    endif()
    afcp_native_library(afcp_${suffix} ${variant})
    add_executable(unit_${suffix} ${AFCP_UNIT_SOURCES} ${AFCP_HOST_CORE_SOURCES})
    target_link_libraries(unit_${suffix} PRIVATE afcp_${suffix} GTest::gtest GTest::gtest_main)
    target_compile_options(unit_${suffix} PRIVATE ${AFCP_WARNINGS})
    if(flavour STREQUAL "sanitized")
      target_compile_options(afcp_${suffix} PRIVATE ${AFCP_SANITIZE})
      target_compile_options(unit_${suffix} PRIVATE ${AFCP_SANITIZE})
      target_link_options(unit_${suffix} PRIVATE ${AFCP_SANITIZE})
    endif()
    if(AFCP_COVERAGE)
      # The module has no exceptions, as in the shipped build, so that no branch of the report stands for one.
      target_compile_options(afcp_${suffix} PRIVATE ${AFCP_COVERAGE_FLAGS} -fno-exceptions)
      target_compile_options(unit_${suffix} PRIVATE ${AFCP_COVERAGE_FLAGS})
      target_link_options(unit_${suffix} PRIVATE ${AFCP_COVERAGE_FLAGS})
    endif()
    add_test(NAME unit_${suffix} COMMAND unit_${suffix} --gtest_brief=1)
  endforeach()

  # The fuzz target without the fuzzing engine: a plain main replays the seed corpus, sanitized (with gcov in
  # the coverage configuration).
  set(replay_library afcp_${variant}_sanitized)
  if(AFCP_COVERAGE)
    set(replay_library afcp_${variant})
  endif()
  add_executable(fuzz_replay_${variant} ${AFCP_FUZZ_TARGET} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  target_link_libraries(fuzz_replay_${variant} PRIVATE ${replay_library})
  target_compile_options(fuzz_replay_${variant} PRIVATE ${AFCP_WARNINGS})
  if(AFCP_COVERAGE)
    target_compile_options(fuzz_replay_${variant} PRIVATE ${AFCP_COVERAGE_FLAGS})
    target_link_options(fuzz_replay_${variant} PRIVATE ${AFCP_COVERAGE_FLAGS})
  else()
    target_compile_options(fuzz_replay_${variant} PRIVATE ${AFCP_SANITIZE})
    target_link_options(fuzz_replay_${variant} PRIVATE ${AFCP_SANITIZE})
  endif()
  add_test(NAME fuzz_replay_${variant} COMMAND fuzz_replay_${variant} ${AFCP_FUZZ_CORPUS})
endforeach()

# The set-up against a mirror caught mid-sync, with stand-ins for apt-get and dpkg: no root, nothing installed.
add_test(NAME setup_retry COMMAND sh ${CMAKE_SOURCE_DIR}/tests/setup/setup_retry.sh)

# libFuzzer with AddressSanitizer and UBSan: the module, the engine and the target all instrumented.
if(AFCP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "AFCP_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  foreach(variant IN LISTS AFCP_VARIANTS)
    afcp_native_library(afcp_${variant}_fuzz ${variant})
    target_compile_options(afcp_${variant}_fuzz PRIVATE ${AFCP_SANITIZE} -fsanitize=fuzzer-no-link)
    add_executable(fuzz_${variant} ${AFCP_FUZZ_TARGET})
    target_link_libraries(fuzz_${variant} PRIVATE afcp_${variant}_fuzz)
    target_compile_options(fuzz_${variant} PRIVATE ${AFCP_WARNINGS} ${AFCP_SANITIZE} -fsanitize=fuzzer)
    target_link_options(fuzz_${variant} PRIVATE ${AFCP_SANITIZE} -fsanitize=fuzzer)
  endforeach()
endif()

include(cmake/cost.cmake)
