# The CPU sampler's extras on the host: a bounded fuzz run of the
# performance-data walk as a test, and a benchmark (not a test).
find_program(ZELVANE_CLANGXX clang++)
if(ZELVANE_CLANGXX)
  add_test(NAME cpu_perfdata_fuzz
           COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh 20 ${CMAKE_BINARY_DIR}/fuzz perfdata)
  set_tests_properties(cpu_perfdata_fuzz PROPERTIES TIMEOUT 300)
endif()

find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(cpu_sampler_bench cpu/bench/sampler_bench.cpp)
  target_link_libraries(cpu_sampler_bench PRIVATE zcore benchmark::benchmark)
endif()
