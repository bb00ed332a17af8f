# Artwork: the bitmaps of both modules are drawn at build time by a small generator (layout/art), built with the
# host's own compiler and run here; each module's resource script then takes its bitmaps from art/<variant>/.
# artcheck, built the same way, checks the pictures against the gauge layouts (CTest: artwork_check) and the
# resources the built modules carry (CTest: module_resources).
enable_language(RC)

# The toolchain's compilers make Windows programs; the generator must run on this machine.
find_program(AFCP_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)

set(AFCP_ART_SOURCE_DIR ${CMAKE_SOURCE_DIR}/layout/art)
set(AFCP_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(AFCP_HOST_CXX_FLAGS -std=c++20 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR})

set(AFCP_ARTGEN_SOURCES artgen.cpp pictures.cpp afcp_face.cpp instruments.cpp font.cpp bitmap_file.cpp)
set(AFCP_ARTCHECK_SOURCES artcheck.cpp bitmap_file.cpp module_resources.cpp)
list(TRANSFORM AFCP_ARTGEN_SOURCES PREPEND ${AFCP_ART_SOURCE_DIR}/)
list(TRANSFORM AFCP_ARTCHECK_SOURCES PREPEND ${AFCP_ART_SOURCE_DIR}/)
file(GLOB AFCP_ART_HEADERS CONFIGURE_DEPENDS ${AFCP_ART_SOURCE_DIR}/*.h)

foreach(tool artgen artcheck)
  string(TOUPPER ${tool} upper)
  add_custom_command(OUTPUT ${AFCP_ART_DIR}/${tool}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${AFCP_ART_DIR}
                     COMMAND ${AFCP_HOST_CXX} ${AFCP_HOST_CXX_FLAGS} ${AFCP_${upper}_SOURCES} -o ${AFCP_ART_DIR}/${tool}
                     DEPENDS ${AFCP_${upper}_SOURCES} ${AFCP_ART_HEADERS}
                     COMMENT "Building ${tool} for this machine"
                     VERBATIM)
endforeach()

# The bitmaps of each variant, by resource id; the resource scripts name the same files.
set(AFCP_ART_IDS_korst 1000 1010 1020 1030 1031 1040 1050 1055 1060 2100 2110 2111 2120 2121)
set(AFCP_ART_IDS_brevane 1000 1050 1060 1100 2100 2110 2111 2120 2121)
set(AFCP_ART_FILES)
foreach(variant IN LISTS AFCP_VARIANTS)
  set(AFCP_ART_FILES_${variant})
  foreach(id IN LISTS AFCP_ART_IDS_${variant})
    list(APPEND AFCP_ART_FILES_${variant} ${AFCP_ART_DIR}/${variant}/${id}.bmp)
  endforeach()
  list(APPEND AFCP_ART_FILES ${AFCP_ART_FILES_${variant}})
endforeach()

add_custom_command(OUTPUT ${AFCP_ART_FILES}
                   COMMAND ${AFCP_ART_DIR}/artgen ${AFCP_ART_DIR}
                   DEPENDS ${AFCP_ART_DIR}/artgen
                   COMMENT "Drawing the module bitmaps into ${AFCP_ART_DIR} (PNG previews in preview/)"
                   VERBATIM)
add_custom_target(artwork ALL DEPENDS ${AFCP_ART_FILES} ${AFCP_ART_DIR}/artcheck)

foreach(variant IN LISTS AFCP_VARIANTS)
  set(module ${variant}panel)
  set(script ${CMAKE_SOURCE_DIR}/layout/${module}.rc)
  target_sources(${module} PRIVATE ${script})
  # windres finds the bitmaps through the include path; a redrawn bitmap recompiles the script.
  set_source_files_properties(${script} PROPERTIES INCLUDE_DIRECTORIES ${AFCP_ART_DIR}/${variant}
                                                   OBJECT_DEPENDS "${AFCP_ART_FILES_${variant}}")
  add_dependencies(${module} artwork)
endforeach()

# Host programs, named by path: CTest runs them directly, not under the Windows emulator.
add_test(NAME artwork_check COMMAND ${AFCP_ART_DIR}/artcheck ${AFCP_ART_DIR})
add_test(NAME module_resources COMMAND ${AFCP_ART_DIR}/artcheck ${AFCP_ART_DIR} ${CMAKE_BINARY_DIR}/bin)
