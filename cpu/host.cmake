# The CPU sampler's extras on the host: a bounded fuzz run of the
# performance-data walk as a test, and a benchmark (not a test).
zelvane_fuzz_test(cpu_perfdata_fuzz 150000 perfdata)

find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(cpu_sampler_bench cpu/bench/sampler_bench.cpp)
  target_link_libraries(cpu_sampler_bench PRIVATE zcore benchmark::benchmark)
endif()
