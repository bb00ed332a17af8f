# Cross build: the two modules, the stand-in engine and the conformance hosts, 32-bit Windows.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(AFCP_STATIC_RUNTIME -static-libgcc -static-libstdc++ -static)
# Windows keeps a 32-bit program's stack 4-byte aligned, and the heap 8, where Eigen's fixed-size vectorizable types
# (Vector2d, Matrix2d) take 16 for aligned SSE moves: a skid's anchor then faults. Eigen without static alignment
# uses unaligned moves on every target of this build.
add_compile_definitions(EIGEN_MAX_STATIC_ALIGN_BYTES=0)

# The import library through which the modules bind the engine by ordinal.
set(AFCP_ZOLM_DEF ${CMAKE_SOURCE_DIR}/frame/zolm.def)
set(AFCP_ZOLM_IMPORT ${CMAKE_BINARY_DIR}/libzolm_ordinals.a)
add_custom_command(OUTPUT ${AFCP_ZOLM_IMPORT}
                   COMMAND ${CMAKE_DLLTOOL} -d ${AFCP_ZOLM_DEF} -l ${AFCP_ZOLM_IMPORT} -k
                   DEPENDS ${AFCP_ZOLM_DEF}
                   COMMENT "Import library of zolm.dll (ordinals 1, 3, 5)")
add_custom_target(zolm_ordinals DEPENDS ${AFCP_ZOLM_IMPORT})

# The stand-in engine, from the same .def (its test controls are exported by name besides), built twice: `zolm`
# in bin/ with its three functions __stdcall as the modules declare them, and `zolm_cdecl`, also named zolm.dll,
# in bin/cdecl/ with the three functions __cdecl (they leave their arguments on the stack). Its .def is the same
# file less the __stdcall decorations, so the ordinals are the same.
set(AFCP_ZOLM_CDECL_DEF ${CMAKE_BINARY_DIR}/zolm_cdecl.def)
file(READ ${AFCP_ZOLM_DEF} afcp_zolm_def)
string(REGEX REPLACE "(zolm_[a-z_]+)@[0-9]+" "\\1" afcp_zolm_def "${afcp_zolm_def}")
file(GENERATE OUTPUT ${AFCP_ZOLM_CDECL_DEF} CONTENT "${afcp_zolm_def}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${AFCP_ZOLM_DEF})
set(AFCP_CONVENTIONS stdcall cdecl)

foreach(convention IN LISTS AFCP_CONVENTIONS)
  if(convention STREQUAL "stdcall")
    set(engine zolm)
    set(engine_def ${AFCP_ZOLM_DEF})
    set(engine_dir ${CMAKE_BINARY_DIR}/bin)
  else()
    set(engine zolm_cdecl)
    set(engine_def ${AFCP_ZOLM_CDECL_DEF})
    set(engine_dir ${CMAKE_BINARY_DIR}/bin/cdecl)
  endif()
  add_library(${engine} SHARED ${AFCP_ENGINE_SOURCES} ${engine_def})
  set_target_properties(${engine} PROPERTIES PREFIX "" OUTPUT_NAME zolm RUNTIME_OUTPUT_DIRECTORY ${engine_dir})
  target_include_directories(${engine} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${engine} PRIVATE ${AFCP_WARNINGS} -O2 -msse2 -mfpmath=sse)
  target_link_options(${engine} PRIVATE ${AFCP_STATIC_RUNTIME})
  if(convention STREQUAL "cdecl")
    target_compile_definitions(${engine} PRIVATE ZOLM_CDECL=1)
  endif()
  set(AFCP_ENGINE_${convention} ${engine})
  set(AFCP_ENGINE_DIR_${convention} ${engine_dir})
endforeach()

# Wine for the tests: one persistent server for the whole run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run)
set(AFCP_WINE_ENV WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix)
add_test(NAME wine_start COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-server start)
add_test(NAME wine_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-server stop)
set_tests_properties(wine_start wine_stop PROPERTIES ENVIRONMENT "${AFCP_WINE_ENV}")
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

file(GLOB AFCP_CONFORMANCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
list(APPEND AFCP_CONFORMANCE_SOURCES ${CMAKE_SOURCE_DIR}/tests/dll/records.cpp)

foreach(variant IN LISTS AFCP_VARIANTS)
  set(module ${variant}panel)
  add_library(${module} SHARED ${AFCP_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/frame/dll_entry.cpp
                               ${CMAKE_SOURCE_DIR}/frame/module.def)
  set_target_properties(${module} PROPERTIES PREFIX "" OUTPUT_NAME ${module})
  target_include_directories(${module} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${module} PRIVATE ${AFCP_WARNINGS} -O2 -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections -msse2 -mfpmath=sse)
  target_link_options(${module} PRIVATE ${AFCP_STATIC_RUNTIME} -s -Wl,--gc-sections)
  target_link_libraries(${module} PRIVATE ${AFCP_ZOLM_IMPORT})
  add_dependencies(${module} zolm_ordinals)
  afcp_variant_definitions(${module} ${variant})

  # The conformance host, once beside each engine; each plays a host whose panel services are __stdcall and
  # one whose services are __cdecl. The module is the one in bin/ (the working folder), found by LoadLibrary.
  foreach(engine_convention IN LISTS AFCP_CONVENTIONS)
    set(host conformance_${variant})
    if(engine_convention STREQUAL "cdecl")
      set(host conformance_${variant}_cdecl_engine)
    endif()
    add_executable(${host} ${AFCP_CONFORMANCE_SOURCES})
    set_target_properties(${host} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${AFCP_ENGINE_DIR_${engine_convention}})
    target_include_directories(${host} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${host} PRIVATE ${AFCP_WARNINGS})
    target_link_options(${host} PRIVATE ${AFCP_STATIC_RUNTIME})
    target_link_libraries(${host} PRIVATE ${AFCP_ENGINE_${engine_convention}} version)
    target_compile_definitions(${host} PRIVATE AFCP_MODULE_FILE="${module}.dll")
    afcp_variant_definitions(${host} ${variant})
    add_dependencies(${host} ${module})
    foreach(services_convention IN LISTS AFCP_CONVENTIONS)
      set(test ${variant}_${engine_convention}_engine_${services_convention}_services)
      add_test(NAME conformance_${test} COMMAND ${host} --services=${services_convention})
      set_tests_properties(conformance_${test} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${AFCP_WINE_ENV}"
                           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    endforeach()
  endforeach()
endforeach()

# What a call out costs on the 32-bit code (make bench runs it under Wine): the module's code as the modules
# build it, beside the stand-in engine. Not part of `all`.
add_executable(bench_call_out EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/call_out_bench.cpp ${AFCP_MODULE_SOURCES})
target_include_directories(bench_call_out PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_call_out PRIVATE ${AFCP_WARNINGS} -O2 -fno-exceptions -fno-rtti -msse2 -mfpmath=sse)
target_link_options(bench_call_out PRIVATE ${AFCP_STATIC_RUNTIME})
target_link_libraries(bench_call_out PRIVATE ${AFCP_ZOLM_IMPORT})
add_dependencies(bench_call_out zolm_ordinals zolm)

include(cmake/artwork.cmake)
include(cmake/preview.cmake)
include(cmake/dllfile.cmake)

# Two tiers. What reads the built files without running them (the artwork checks, the DLL file checks) runs on
# every machine: label "native". Everything else runs the DLLs' code under Wine (label "wine") and exits 77 where
# the kernel runs no 32-bit program (tools/runs-32bit): CTest counts it skipped, and `make check` says how many.
get_property(afcp_cross_tests DIRECTORY PROPERTY TESTS)
foreach(test IN LISTS afcp_cross_tests)
  if(test MATCHES "^(artwork_|dll_)")
    set_tests_properties(${test} PROPERTIES LABELS native)
  else()
    set_tests_properties(${test} PROPERTIES LABELS wine SKIP_RETURN_CODE 77)
  endif()
endforeach()
