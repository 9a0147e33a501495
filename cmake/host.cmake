# Host build: the platform-free code and its tests, with sanitizers.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
find_package(JPEG REQUIRED)
target_link_libraries(zcore PUBLIC JPEG::JPEG)

file(GLOB HOST_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${HOST_TEST_SOURCES})
target_link_libraries(host_tests PRIVATE zcore GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_definitions(host_tests PRIVATE ZELVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
include(GoogleTest)
gtest_discover_tests(host_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)

# A bounded libFuzzer run of one target of tools/fuzz.sh as a host test:
# a number of executions, so that a slower machine does the same work
# (clang builds the fuzzer; without clang the test is not there). The
# timeout only ends a run that hangs.
find_program(ZELVANE_CLANGXX clang++)
function(zelvane_fuzz_test name runs target)
  if(ZELVANE_CLANGXX)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh runs=${runs} ${CMAKE_BINARY_DIR}/fuzz ${target})
    set_tests_properties(${name} PROPERTIES TIMEOUT 1800)
  endif()
endfunction()

# Optional extras of a folder (fuzz targets, benchmarks): host.cmake beside its sources.
foreach(dir base processes cpu settings windows app)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/host.cmake)
    include(${dir}/host.cmake)
  endif()
endforeach()

# The shape of the sources: which folder includes which, no include cycle,
# the main window includes no other window, no file over 450 lines, no
# function over 60.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME Layout.FoldersIncludeOnlyWhatTheyMay COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/check_layout.py)
  add_test(NAME Layout.CheckFindsEveryKindOfBreach COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/host/check_layout_test.py)
  add_test(NAME Layout.FunctionLengthsAreRead COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/host/check_functions_test.py)
endif()
