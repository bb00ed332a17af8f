# Artwork: the bitmaps of both modules are drawn at build time by our generator (art/generator, drawing with
# cairo, lettering through FreeType, 8-bit pictures quantized with libimagequant, PNGs written with
# stb_image_write), built with the host's own compiler and run here; each module's resource script then takes its
# bitmaps from art/<variant>/. One generator per variant: each links that variant's element trees and mouse-area
# tables, and draws every control where those records put it. artcheck (tests/art), built the same way, checks
# the pictures against its own expectations of the gauge layouts (CTest: artwork_check; the resources the built
# modules carry are the DLL file check's, cmake/dllfile.cmake), the colours every picture uses (CTest: artwork_colours), the palette
# reduction (CTest: artwork_palette), and that a second run of the generators draws the same bytes
# (CTest: artwork_reproducible).
enable_language(RC)

# The toolchain's compilers make Windows programs; the generator must run on this machine.
find_program(AFCP_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_program(AFCP_HOST_PKG_CONFIG NAMES pkg-config REQUIRED NO_CMAKE_FIND_ROOT_PATH)

# Flags of the drawing libraries, for the host compiler (not the cross toolchain's pkg-config view).
set(AFCP_ART_PACKAGES cairo freetype2 imagequant)
foreach(what cflags libs)
  execute_process(COMMAND ${AFCP_HOST_PKG_CONFIG} --${what} ${AFCP_ART_PACKAGES}
                  OUTPUT_VARIABLE AFCP_ART_${what} RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pkg-config finds no ${AFCP_ART_PACKAGES}: install libcairo2-dev libfreetype-dev "
                        "libimagequant-dev (tools/setup.sh does)")
  endif()
  separate_arguments(AFCP_ART_${what} UNIX_COMMAND "${AFCP_ART_${what}}")
endforeach()

set(AFCP_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(AFCP_HOST_CXX_FLAGS -std=c++20 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} -I/usr/include/stb)

set(AFCP_ART_KIT_SOURCES art/kit/bitmap_file.cpp art/kit/png.cpp art/kit/palette.cpp)
set(AFCP_ARTGEN_SOURCES ${AFCP_ART_KIT_SOURCES} art/generator/artgen.cpp art/generator/pictures.cpp
    art/generator/controls.cpp art/generator/faces.cpp art/generator/instruments.cpp art/generator/paint.cpp)
set(AFCP_ARTCHECK_SOURCES tests/art/artcheck.cpp art/kit/bitmap_file.cpp)
set(AFCP_ARTCOLOURS_SOURCES tests/art/artcolours.cpp art/kit/bitmap_file.cpp)
set(AFCP_PALETTE_TEST_SOURCES tests/art/palette_test.cpp art/kit/palette.cpp)
# The module's records (element trees, mouse areas) and everything they point at, for the generators.
set(AFCP_ART_RECORD_SOURCES ${AFCP_MODULE_SOURCES} ${AFCP_ENGINE_SOURCES})
foreach(list ARTGEN ARTCHECK ARTCOLOURS PALETTE_TEST)
  list(TRANSFORM AFCP_${list}_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
endforeach()
file(GLOB AFCP_ART_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/art/*/*.h ${CMAKE_SOURCE_DIR}/tests/art/*.h
     ${CMAKE_SOURCE_DIR}/layout/*.h ${CMAKE_SOURCE_DIR}/layout/*.inc ${CMAKE_SOURCE_DIR}/variants/*.h
     ${CMAKE_SOURCE_DIR}/frame/*.h)

set(AFCP_ART_TOOLS)
foreach(variant IN LISTS AFCP_VARIANTS)
  set(definitions)
  if(variant STREQUAL "brevane")
    set(definitions -DAFCP_VARIANT_BREVANE=1)
  endif()
  add_custom_command(OUTPUT ${AFCP_ART_DIR}/artgen_${variant}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${AFCP_ART_DIR}
                     COMMAND ${AFCP_HOST_CXX} ${AFCP_HOST_CXX_FLAGS} ${AFCP_ART_cflags} ${definitions}
                             ${AFCP_ARTGEN_SOURCES} ${AFCP_ART_RECORD_SOURCES} ${AFCP_ART_libs}
                             -o ${AFCP_ART_DIR}/artgen_${variant}
                     DEPENDS ${AFCP_ARTGEN_SOURCES} ${AFCP_ART_RECORD_SOURCES} ${AFCP_ART_HEADERS}
                     COMMENT "Building the ${variant} artwork generator for this machine"
                     VERBATIM)
  list(APPEND AFCP_ART_TOOLS ${AFCP_ART_DIR}/artgen_${variant})
endforeach()
foreach(tool artcheck artcolours palette_test)
  string(TOUPPER ${tool} upper)
  add_custom_command(OUTPUT ${AFCP_ART_DIR}/${tool}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${AFCP_ART_DIR}
                     COMMAND ${AFCP_HOST_CXX} ${AFCP_HOST_CXX_FLAGS} ${AFCP_ART_cflags} ${AFCP_${upper}_SOURCES}
                             ${AFCP_ART_libs} -o ${AFCP_ART_DIR}/${tool}
                     DEPENDS ${AFCP_${upper}_SOURCES} ${AFCP_ART_HEADERS}
                     COMMENT "Building ${tool} for this machine"
                     VERBATIM)
  list(APPEND AFCP_ART_TOOLS ${AFCP_ART_DIR}/${tool})
endforeach()

# The bitmaps of each variant come from the bitmap manifest (layout/bitmaps.inc, one row a line): the ids the
# generator draws (each file named by its id in hex) and the lines of the variant's resource script, which
# layout/<variant>panel.rc includes.
set(AFCP_BITMAP_MANIFEST ${CMAKE_SOURCE_DIR}/layout/bitmaps.inc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${AFCP_BITMAP_MANIFEST})
file(STRINGS ${AFCP_BITMAP_MANIFEST} AFCP_BITMAP_ROWS REGEX "^AFCP_BITMAP\\(")
foreach(variant IN LISTS AFCP_VARIANTS)
  set(AFCP_ART_IDS_${variant})
  set(script "// Generated from layout/bitmaps.inc by cmake/artwork.cmake: the ${variant} bitmaps.\n")
  foreach(row IN LISTS AFCP_BITMAP_ROWS)
    if(NOT row MATCHES "^AFCP_BITMAP\\(0x([0-9A-F]+), *([a-z_]+), *[0-9]+, *[0-9]+, *(8|24), *(KORST|BREVANE|BOTH), *[a-z_]+\\)")
      message(FATAL_ERROR "layout/bitmaps.inc: a row cmake cannot read: ${row}")
    endif()
    set(id ${CMAKE_MATCH_1})
    string(TOLOWER "${CMAKE_MATCH_4}" modules)
    if(modules STREQUAL "both" OR modules STREQUAL variant)
      list(APPEND AFCP_ART_IDS_${variant} ${id})
      string(APPEND script "0x${id} BITMAP \"${id}.bmp\"  // ${CMAKE_MATCH_2}\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/resources/${variant}/bitmaps.rc CONTENT "${script}")
endforeach()
set(AFCP_ART_FILES)
foreach(variant IN LISTS AFCP_VARIANTS)
  set(AFCP_ART_FILES_${variant})
  foreach(id IN LISTS AFCP_ART_IDS_${variant})
    list(APPEND AFCP_ART_FILES_${variant} ${AFCP_ART_DIR}/${variant}/${id}.bmp)
  endforeach()
  add_custom_command(OUTPUT ${AFCP_ART_FILES_${variant}}
                     COMMAND ${AFCP_ART_DIR}/artgen_${variant} ${AFCP_ART_DIR}
                     DEPENDS ${AFCP_ART_DIR}/artgen_${variant}
                     COMMENT "Drawing the ${variant} bitmaps into ${AFCP_ART_DIR} (PNG previews in preview/)"
                     VERBATIM)
  list(APPEND AFCP_ART_FILES ${AFCP_ART_FILES_${variant}})
endforeach()
add_custom_target(artwork ALL DEPENDS ${AFCP_ART_FILES} ${AFCP_ART_TOOLS})

foreach(variant IN LISTS AFCP_VARIANTS)
  set(module ${variant}panel)
  set(script ${CMAKE_SOURCE_DIR}/layout/${module}.rc)
  target_sources(${module} PRIVATE ${script})
  # windres finds the bitmaps and the manifest's lines through the include path; a redrawn bitmap or a changed
  # manifest recompiles the script.
  set_source_files_properties(
    ${script} PROPERTIES INCLUDE_DIRECTORIES "${AFCP_ART_DIR}/${variant};${CMAKE_BINARY_DIR}/resources/${variant}"
                         OBJECT_DEPENDS "${AFCP_ART_FILES_${variant}};${CMAKE_BINARY_DIR}/resources/${variant}/bitmaps.rc")
  add_dependencies(${module} artwork)
endforeach()

# Host programs, named by path: CTest runs them directly, not under the Windows emulator.
add_test(NAME artwork_check COMMAND ${AFCP_ART_DIR}/artcheck ${AFCP_ART_DIR})
add_test(NAME artwork_colours COMMAND ${AFCP_ART_DIR}/artcolours ${AFCP_ART_DIR})
add_test(NAME artwork_palette COMMAND ${AFCP_ART_DIR}/palette_test)
add_test(NAME artwork_reproducible
         COMMAND sh ${CMAKE_SOURCE_DIR}/tests/art/reproducible.sh ${AFCP_ART_DIR} ${CMAKE_BINARY_DIR}/art_again)
