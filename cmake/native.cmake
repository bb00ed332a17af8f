# Native build: the module's logic with the stand-in engine, under GoogleTest, plain and with sanitizers.
find_package(GTest REQUIRED)

set(AFCP_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

file(GLOB AFCP_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)

# One library per variant and flavour: the module's code and the stand-in engine.
function(afcp_native_library name variant)
  add_library(${name} STATIC ${AFCP_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/engine/zolm.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${AFCP_WARNINGS})
  afcp_variant_definitions(${name} ${variant})
endfunction()

foreach(variant IN LISTS AFCP_VARIANTS)
  foreach(flavour plain sanitized)
    set(suffix ${variant})
    if(flavour STREQUAL "sanitized")
      set(suffix ${variant}_sanitized)
    endif()
    afcp_native_library(afcp_${suffix} ${variant})
    add_executable(unit_${suffix} ${AFCP_UNIT_SOURCES})
    target_link_libraries(unit_${suffix} PRIVATE afcp_${suffix} GTest::gtest GTest::gtest_main)
    target_compile_options(unit_${suffix} PRIVATE ${AFCP_WARNINGS})
    if(flavour STREQUAL "sanitized")
      target_compile_options(afcp_${suffix} PRIVATE ${AFCP_SANITIZE})
      target_compile_options(unit_${suffix} PRIVATE ${AFCP_SANITIZE})
      target_link_options(unit_${suffix} PRIVATE ${AFCP_SANITIZE})
    endif()
    add_test(NAME unit_${suffix} COMMAND unit_${suffix} --gtest_brief=1)
  endforeach()
endforeach()
include(cmake/cost.cmake)
