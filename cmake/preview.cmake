# The panel preview: a Windows console program that plays a scenario on a built module beside the stand-in
# engine and renders every gauge to PNG (tools/preview runs it under Wine), and its tests. The host core
# (host/) is the page's too; the Windows front (preview/) loads the DLL and draws with GDI.
set(AFCP_PREVIEW_SOURCES
    ${AFCP_HOST_CORE_SOURCES}
    ${CMAKE_SOURCE_DIR}/preview/panel_host.cpp
    ${CMAKE_SOURCE_DIR}/preview/player.cpp
    ${CMAKE_SOURCE_DIR}/preview/surface.cpp
    ${CMAKE_SOURCE_DIR}/art/kit/png.cpp)

add_library(preview_host STATIC ${AFCP_PREVIEW_SOURCES})
target_include_directories(preview_host PUBLIC ${CMAKE_SOURCE_DIR})
# stb_image_write is header-only: the Debian package's folder serves the cross compiler too.
target_include_directories(preview_host SYSTEM PRIVATE /usr/include/stb)
target_include_directories(preview_host SYSTEM PUBLIC ${AFCP_EIGEN_INCLUDE})
target_compile_options(preview_host PRIVATE ${AFCP_WARNINGS} -O2 -msse2 -mfpmath=sse)
target_link_libraries(preview_host PUBLIC gdi32 msimg32)

add_executable(preview ${CMAKE_SOURCE_DIR}/preview/main.cpp)
target_compile_options(preview PRIVATE ${AFCP_WARNINGS} -O2)
target_link_options(preview PRIVATE ${AFCP_STATIC_RUNTIME})
target_link_libraries(preview PRIVATE preview_host zolm)
add_dependencies(preview korstpanel brevanepanel)

# The preview tests, beside each engine (bin/ and bin/cdecl/), each with services of either convention.
foreach(engine_convention IN LISTS AFCP_CONVENTIONS)
  set(preview_test preview_test)
  if(engine_convention STREQUAL "cdecl")
    set(preview_test preview_test_cdecl_engine)
  endif()
  add_executable(${preview_test} ${CMAKE_SOURCE_DIR}/tests/preview/preview_test.cpp
                                 ${CMAKE_SOURCE_DIR}/tests/preview/run_cases.cpp
                                 ${CMAKE_SOURCE_DIR}/tests/conformance/check.cpp)
  set_target_properties(${preview_test} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${AFCP_ENGINE_DIR_${engine_convention}})
  target_compile_definitions(${preview_test} PRIVATE AFCP_TEST_LABEL="preview")
  target_compile_options(${preview_test} PRIVATE ${AFCP_WARNINGS})
  target_link_options(${preview_test} PRIVATE ${AFCP_STATIC_RUNTIME})
  target_link_libraries(${preview_test} PRIVATE preview_host ${AFCP_ENGINE_${engine_convention}})
  add_dependencies(${preview_test} korstpanel brevanepanel)
  foreach(services_convention IN LISTS AFCP_CONVENTIONS)
    set(test preview_${engine_convention}_engine_${services_convention}_services)
    add_test(NAME ${test} COMMAND ${preview_test} --services=${services_convention})
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${AFCP_WINE_ENV}"
                         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endforeach()
endforeach()

# The command as a user runs it: a malformed scenario names its line and fails; a good one writes its pictures.
add_test(NAME preview_command COMMAND sh ${CMAKE_SOURCE_DIR}/tests/preview/preview_command_test.sh
                                      ${CMAKE_SOURCE_DIR}/tools/preview ${CMAKE_BINARY_DIR}/preview_command_test)
set_tests_properties(preview_command PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                     "${AFCP_WINE_ENV};AFCP_BUILD=${CMAKE_BINARY_DIR}")

# No dark fringe where the host draws the lamps, pressed buttons and turned knobs over the face.
add_executable(preview_fringe_test ${CMAKE_SOURCE_DIR}/tests/preview/fringe_test.cpp
                                   ${CMAKE_SOURCE_DIR}/tests/preview/run_cases.cpp
                                   ${CMAKE_SOURCE_DIR}/tests/conformance/check.cpp)
target_compile_definitions(preview_fringe_test PRIVATE AFCP_TEST_LABEL="preview_fringe")
target_compile_options(preview_fringe_test PRIVATE ${AFCP_WARNINGS})
target_link_options(preview_fringe_test PRIVATE ${AFCP_STATIC_RUNTIME})
target_link_libraries(preview_fringe_test PRIVATE preview_host zolm)
add_dependencies(preview_fringe_test korstpanel)
add_test(NAME preview_fringe COMMAND preview_fringe_test)
set_tests_properties(preview_fringe PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${AFCP_WINE_ENV}"
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The flying scenarios on the real DLLs: preview.exe plays each beside our engine (bin/zolm.dll); a failed
# expect exits 1 with its file and line.
foreach(variant IN LISTS AFCP_VARIANTS)
  file(GLOB scenario_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenarios/both/*.txt
       ${CMAKE_SOURCE_DIR}/tests/scenarios/${variant}/*.txt)
  foreach(scenario IN LISTS scenario_files)
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME scenario_wine_${variant}_${name}
             COMMAND preview ${variant}panel.dll Z:${scenario} ${CMAKE_BINARY_DIR}/scenario_out/${variant}/${name})
    set_tests_properties(scenario_wine_${variant}_${name} PROPERTIES FIXTURES_REQUIRED wine
                         ENVIRONMENT "${AFCP_WINE_ENV}" WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endforeach()
endforeach()
