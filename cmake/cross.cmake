# Cross build: the two modules, the stand-in engine and the conformance hosts, 32-bit Windows.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(AFCP_STATIC_RUNTIME -static-libgcc -static-libstdc++ -static)

# The import library through which the modules bind the engine by ordinal.
set(AFCP_ZOLM_DEF ${CMAKE_SOURCE_DIR}/frame/zolm.def)
set(AFCP_ZOLM_IMPORT ${CMAKE_BINARY_DIR}/libzolm_ordinals.a)
add_custom_command(OUTPUT ${AFCP_ZOLM_IMPORT}
                   COMMAND ${CMAKE_DLLTOOL} -d ${AFCP_ZOLM_DEF} -l ${AFCP_ZOLM_IMPORT} -k
                   DEPENDS ${AFCP_ZOLM_DEF}
                   COMMENT "Import library of zolm.dll (ordinals 1, 3, 5)")
add_custom_target(zolm_ordinals DEPENDS ${AFCP_ZOLM_IMPORT})

# The stand-in engine, from the same .def (its test controls are exported by name besides).
add_library(zolm SHARED ${CMAKE_SOURCE_DIR}/engine/zolm.cpp ${AFCP_ZOLM_DEF})
set_target_properties(zolm PROPERTIES PREFIX "" OUTPUT_NAME zolm)
target_include_directories(zolm PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(zolm PRIVATE ${AFCP_WARNINGS} -O2)
target_link_options(zolm PRIVATE ${AFCP_STATIC_RUNTIME})

# Wine for the tests: one persistent server for the whole run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run)
set(AFCP_WINE_ENV WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix)
add_test(NAME wine_start COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-server start)
add_test(NAME wine_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-server stop)
set_tests_properties(wine_start wine_stop PROPERTIES ENVIRONMENT "${AFCP_WINE_ENV}")
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

file(GLOB AFCP_CONFORMANCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)

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

  add_executable(conformance_${variant} ${AFCP_CONFORMANCE_SOURCES})
  target_include_directories(conformance_${variant} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(conformance_${variant} PRIVATE ${AFCP_WARNINGS})
  target_link_options(conformance_${variant} PRIVATE ${AFCP_STATIC_RUNTIME})
  target_link_libraries(conformance_${variant} PRIVATE zolm version)
  target_compile_definitions(conformance_${variant} PRIVATE AFCP_MODULE_FILE="${module}.dll")
  afcp_variant_definitions(conformance_${variant} ${variant})
  add_dependencies(conformance_${variant} ${module})
  add_test(NAME conformance_${variant} COMMAND conformance_${variant})
  set_tests_properties(conformance_${variant} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${AFCP_WINE_ENV}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()

include(cmake/artwork.cmake)
include(cmake/preview.cmake)
