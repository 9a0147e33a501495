# The benchmark (tools/bench.sh runs it under Wine; not a test). Built with
# everything else so that it keeps compiling.
add_executable(zelvane_bench bench/zelvane_bench.cpp bench/StartTrace.cpp resources/zelvane.rc)
target_link_libraries(zelvane_bench PRIVATE zwin psapi)
add_executable(minimal_window WIN32 bench/minimal_window.cpp bench/minimal_window.rc)
target_link_libraries(minimal_window PRIVATE comctl32)
target_link_options(minimal_window PRIVATE -municode)
target_include_directories(minimal_window PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(zelvane_bench zelvane minimal_window sleeper_child)
# The traced start is checked by a test (it must keep tracing the whole start).
target_sources(win32_tests PRIVATE bench/StartTrace.cpp)
