# Cost: benchmarks of every callback beside its floor (bench_<variant>, run by `make bench` from a Release build
# in build/bench) and the allocation test (alloc_<variant>, a CTest test of the native build).
find_package(benchmark REQUIRED)

# The module's code as the modules build it: -O2, no exceptions, no RTTI. The engine is not in it: each program
# brings its own.
foreach(variant IN LISTS AFCP_VARIANTS)
  add_library(afcp_cost_${variant} STATIC ${AFCP_MODULE_SOURCES})
  target_include_directories(afcp_cost_${variant} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(afcp_cost_${variant} PRIVATE ${AFCP_WARNINGS} -O2 -fno-exceptions -fno-rtti)
  afcp_variant_definitions(afcp_cost_${variant} ${variant})

  # Benchmarks, with the stand-in engine and a host whose services cost next to nothing.
  add_executable(bench_${variant} ${CMAKE_SOURCE_DIR}/bench/callbacks_bench.cpp
                                  ${CMAKE_SOURCE_DIR}/bench/ratio_reporter.cpp
                                  ${CMAKE_SOURCE_DIR}/tests/stub/stub_host.cpp
                                  ${AFCP_ENGINE_SOURCES})
  target_compile_options(bench_${variant} PRIVATE ${AFCP_WARNINGS} -O2)
  target_link_libraries(bench_${variant} PRIVATE afcp_cost_${variant} benchmark::benchmark)
  afcp_variant_definitions(bench_${variant} ${variant})

  # The flight: simulated seconds per wall-clock second, with and without the panel's frames.
  add_executable(bench_flight_${variant} ${CMAKE_SOURCE_DIR}/bench/flight_bench.cpp ${AFCP_ENGINE_SOURCES}
                                         ${AFCP_HOST_CORE_SOURCES})
  target_include_directories(bench_flight_${variant} SYSTEM PRIVATE ${AFCP_EIGEN_INCLUDE})
  target_compile_options(bench_flight_${variant} PRIVATE ${AFCP_WARNINGS} -O2)
  target_link_libraries(bench_flight_${variant} PRIVATE afcp_cost_${variant})
  afcp_variant_definitions(bench_flight_${variant} ${variant})
endforeach()

# The allocation test: the module's code beside an engine and a host that allocate nothing, in a program of its
# own, since it replaces the process's allocation functions.
foreach(variant IN LISTS AFCP_VARIANTS)
  add_executable(alloc_${variant} ${CMAKE_SOURCE_DIR}/tests/alloc/alloc_test.cpp
                                  ${CMAKE_SOURCE_DIR}/tests/alloc/counting_allocator.cpp
                                  ${CMAKE_SOURCE_DIR}/tests/alloc/static_engine.cpp
                                  ${CMAKE_SOURCE_DIR}/tests/stub/stub_host.cpp)
  target_compile_options(alloc_${variant} PRIVATE ${AFCP_WARNINGS})
  target_link_libraries(alloc_${variant} PRIVATE afcp_cost_${variant} GTest::gtest GTest::gtest_main)
  afcp_variant_definitions(alloc_${variant} ${variant})
  add_test(NAME alloc_${variant} COMMAND alloc_${variant} --gtest_brief=1)
endforeach()
