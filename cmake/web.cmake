# The panel in the browser: each module, the stand-in engine and the host core compiled for WebAssembly with
# Emscripten (wasm32: 4-byte pointers, so the host records keep their byte offsets and their static_asserts hold),
# linked with the page's front into one self-contained page per module, with the bitmaps inside as PNG files.
# The bitmaps come from the cross build's artwork folder (AFCP_ART_DIR).
set(AFCP_ART_DIR "" CACHE PATH "the cross build's artwork folder, holding <variant>/<id>.bmp")
if(NOT IS_DIRECTORY "${AFCP_ART_DIR}")
  message(FATAL_ERROR "AFCP_ART_DIR (${AFCP_ART_DIR}) is not a folder: build the cross build first (make)")
endif()

# A tool of this machine: the bitmaps as PNG files of the same pixels.
find_program(AFCP_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(AFCP_BITMAP_PNGS ${CMAKE_BINARY_DIR}/bitmap_pngs)
set(AFCP_BITMAP_PNGS_SOURCES ${CMAKE_SOURCE_DIR}/web/bitmap_pngs.cpp ${CMAKE_SOURCE_DIR}/art/kit/bitmap_file.cpp
                             ${CMAKE_SOURCE_DIR}/art/kit/png.cpp)
add_custom_command(OUTPUT ${AFCP_BITMAP_PNGS}
                   COMMAND ${AFCP_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}
                           -isystem /usr/include/stb ${AFCP_BITMAP_PNGS_SOURCES} -o ${AFCP_BITMAP_PNGS}
                   DEPENDS ${AFCP_BITMAP_PNGS_SOURCES}
                   COMMENT "Building bitmap_pngs for this machine"
                   VERBATIM)
# One target owns the tool, so that the two modules' bitmaps never build it at the same time.
add_custom_target(bitmap_pngs_tool DEPENDS ${AFCP_BITMAP_PNGS})

set(AFCP_WEB_EXPORTS _malloc,_free)

# The page's scripts: ES modules from web/page/main.js on, bundled by esbuild into one script that the page holds
# (the chart library, uPlot, bundled from its npm package with them). web/package.json pins both; `make` installs
# them. The same script serves every module: what differs comes from the module's core. Whitespace and syntax are
# minified (the page stays as small as with uPlot's own minified build), names kept, so that a stack trace reads.
set(AFCP_WEB_NODE_MODULES ${CMAKE_SOURCE_DIR}/web/node_modules)
set(AFCP_ESBUILD ${AFCP_WEB_NODE_MODULES}/esbuild/bin/esbuild)
set(AFCP_CHART_DIST ${AFCP_WEB_NODE_MODULES}/uplot/dist)
foreach(file IN ITEMS ${AFCP_ESBUILD} ${AFCP_CHART_DIST}/uPlot.esm.js ${AFCP_CHART_DIST}/uPlot.min.css)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: run make (it installs web/package.json's modules)")
  endif()
endforeach()
file(GLOB_RECURSE AFCP_PAGE_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/page/*.js)
set(AFCP_PAGE_BUNDLE ${CMAKE_BINARY_DIR}/page.js)
add_custom_command(OUTPUT ${AFCP_PAGE_BUNDLE}
                   COMMAND ${AFCP_ESBUILD} ${CMAKE_SOURCE_DIR}/web/page/main.js --bundle --format=iife
                           --target=es2022 --charset=utf8 --minify-whitespace --minify-syntax --log-level=warning
                           --outfile=${AFCP_PAGE_BUNDLE}
                   DEPENDS ${AFCP_PAGE_SCRIPTS} ${AFCP_CHART_DIST}/uPlot.esm.js ${CMAKE_SOURCE_DIR}/web/package-lock.json
                   COMMENT "The page's scripts bundled"
                   VERBATIM)
add_custom_target(page_script DEPENDS ${AFCP_PAGE_BUNDLE})
set(AFCP_WEB_RUNTIME UTF8ToString,stringToUTF8,lengthBytesUTF8,HEAPU8,HEAP32)

foreach(variant IN LISTS AFCP_VARIANTS)
  set(module ${variant}panel)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${AFCP_ART_DIR}/${variant}/*.bmp)
  if(NOT bitmaps)
    message(FATAL_ERROR "no bitmaps in ${AFCP_ART_DIR}/${variant}: build the cross build first (make)")
  endif()
  set(png_dir ${CMAKE_BINARY_DIR}/bitmaps/${variant})
  set(pngs)
  foreach(bmp IN LISTS bitmaps)
    get_filename_component(id ${bmp} NAME_WE)
    list(APPEND pngs ${png_dir}/${id}.png)
  endforeach()
  add_custom_command(OUTPUT ${pngs}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${png_dir}
                     COMMAND ${AFCP_BITMAP_PNGS} ${png_dir} ${bitmaps}
                     DEPENDS ${AFCP_BITMAP_PNGS} ${bitmaps}
                     COMMENT "The ${module} bitmaps as PNG files"
                     VERBATIM)
  add_custom_target(${module}_bitmaps DEPENDS ${pngs})
  add_dependencies(${module}_bitmaps bitmap_pngs_tool)

  add_executable(${module}_web ${AFCP_MODULE_SOURCES} ${AFCP_ENGINE_SOURCES} ${AFCP_HOST_CORE_SOURCES}
                               ${CMAKE_SOURCE_DIR}/web/web_panel.cpp)
  set_target_properties(${module}_web PROPERTIES OUTPUT_NAME ${module} SUFFIX .js)
  target_include_directories(${module}_web PRIVATE ${CMAKE_SOURCE_DIR})
  target_include_directories(${module}_web SYSTEM PRIVATE ${AFCP_EIGEN_INCLUDE})
  target_compile_options(${module}_web PRIVATE ${AFCP_WARNINGS} -O2 -fexceptions)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/web/web_panel.cpp PROPERTIES COMPILE_OPTIONS "-isystem;/usr/include/stb")
  afcp_variant_definitions(${module}_web ${variant})
  target_link_options(${module}_web PRIVATE -O2 -fexceptions -sSINGLE_FILE=1 -sMODULARIZE=1
                      -sEXPORT_NAME=createPanelModule -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
                      -sEXPORTED_FUNCTIONS=${AFCP_WEB_EXPORTS} -sEXPORTED_RUNTIME_METHODS=${AFCP_WEB_RUNTIME}
                      --embed-file ${png_dir}@/bitmaps)
  add_dependencies(${module}_web ${module}_bitmaps)
  set_property(TARGET ${module}_web APPEND PROPERTY LINK_DEPENDS ${pngs})

  set(page ${CMAKE_BINARY_DIR}/${module}.html)
  add_custom_command(OUTPUT ${page}
                     COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/web/page.html
                             -DLIBRARY_STYLE=${AFCP_CHART_DIST}/uPlot.min.css
                             -DMODULE_SCRIPT=${CMAKE_BINARY_DIR}/${module}.js -DPAGE_SCRIPT=${AFCP_PAGE_BUNDLE}
                             -DMODULE=${module} -DOUT=${page} -P ${CMAKE_SOURCE_DIR}/web/make_page.cmake
                     DEPENDS ${module}_web page_script ${AFCP_PAGE_BUNDLE} ${CMAKE_SOURCE_DIR}/web/page.html
                             ${AFCP_CHART_DIST}/uPlot.min.css
                             ${CMAKE_SOURCE_DIR}/web/make_page.cmake
                     COMMENT "The page ${module}.html"
                     VERBATIM)
  add_custom_target(${module}_page ALL DEPENDS ${page})
endforeach()
