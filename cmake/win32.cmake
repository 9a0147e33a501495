# Win32 build: everything, cross-compiled for i686, static runtimes.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
# The same sources give the same bytes: no link time in the PE header (its
# checksum, which ld computes, then follows the bytes alone), and the source
# folder's path, should any file name reach the code, written relative.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -Wl,--no-insert-timestamp")
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)

set(JPEG_ROOT ${CMAKE_SOURCE_DIR}/build/deps/libjpeg-mingw)
list(APPEND CMAKE_FIND_ROOT_PATH ${JPEG_ROOT})
find_package(JPEG REQUIRED)
target_link_libraries(zcore PUBLIC JPEG::JPEG)

set(ZWIN_LIBS comctl32 comdlg32 gdi32 msimg32 user32 shell32 advapi32 version uxtheme)
add_library(zwin STATIC ${ZWIN_SOURCES})
target_include_directories(zwin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zwin PUBLIC zcore JPEG::JPEG ${ZWIN_LIBS})

enable_language(RC)
# The version header and the manifest are written into the build tree.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001 -I${CMAKE_SOURCE_DIR}/resources -I${ZELVANE_GENERATED}/resources")
# sys/TickCount64.cpp stands in for an import of the runtime's, so it is one
# of the executable's own objects (see there).
add_executable(zelvane WIN32 app/WinMain.cpp sys/TickCount64.cpp resources/zelvane.rc)
target_link_libraries(zelvane PRIVATE zwin)
target_link_options(zelvane PRIVATE -municode)

# GoogleTest from the sources of Debian's googletest package.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# In-process tests under Wine: the real windows, driven with messages.
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
add_executable(win32_tests ${WIN32_TEST_SOURCES} sys/TickCount64.cpp resources/zelvane.rc)
target_link_libraries(win32_tests PRIVATE zwin gtest gtest_main)
target_compile_definitions(win32_tests PRIVATE ZELVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(win32_tests zelvane)
include(GoogleTest)
# One process per test keeps the program-wide state of each test its own.
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300)
# The suite's Wine entry never uses the caller's own Wine prefix or settings.
add_test(NAME WinePrefix.TheCallersPrefixAndSettingsAreNeverUsed COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/wine_prefix_guard.sh)

# zelvane.exe as shipped: a header with no link time and the file's checksum,
# no build folder's path in the file, every import on tools/imports.txt and
# none newer than the oldest Windows the program loads on.
find_program(PYTHON3 python3 REQUIRED)
cmake_host_system_information(RESULT ZELVANE_HOST QUERY HOSTNAME)
set(HOST_FORBID)
string(LENGTH "${ZELVANE_HOST}" host_length)
if(host_length GREATER 3)  # a shorter name turns up in any binary by chance
  set(HOST_FORBID --forbid ${ZELVANE_HOST})
endif()
add_test(NAME Release.HeaderHasNoTimeNoBuildPathAndItsChecksum
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/check_exe.py header $<TARGET_FILE:zelvane>
                 --forbid ${CMAKE_SOURCE_DIR} --forbid ${CMAKE_BINARY_DIR} ${HOST_FORBID})
add_test(NAME Release.ImportsAreListedAndNoneIsNewerThanTheFloor
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/check_exe.py imports $<TARGET_FILE:zelvane>
                 ${CMAKE_SOURCE_DIR}/tools/imports.txt)
add_test(NAME Release.ChecksFindEachFaultInADoctoredCopy
         COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/win32/check_exe_test.py $<TARGET_FILE:zelvane>)

# Small helper programs the tests start (children to kill, to inspect).
file(GLOB TEST_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/helpers/*.cpp)
foreach(src ${TEST_HELPERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  add_dependencies(win32_tests ${name})
endforeach()
# The hostile neighbour finds the windows of a process with the journeys' finders.
target_sources(hostile_poster PRIVATE tests/helpers/journeys/journey_program.cpp)
target_include_directories(hostile_poster PRIVATE ${CMAKE_SOURCE_DIR}/tests/helpers)
target_link_libraries(hostile_poster PRIVATE zcore)
# The screen reader of the accessibility tests.
target_link_libraries(a11y_reader PRIVATE zcore oleacc ole32 oleaut32 uuid)

# A library whose only effect is a mark in the process that loads it; the
# tests plant copies of it under the names of system libraries.
add_library(planted_mark SHARED tests/dll/planted_mark.cpp)
set_target_properties(planted_mark PROPERTIES PREFIX "")
target_link_options(planted_mark PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(win32_tests planted_mark)

foreach(dir base processes cpu settings windows app)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/win32.cmake)
    include(${dir}/win32.cmake)
  endif()
endforeach()
include(bench/win32.cmake)
# zelvane.exe stays small: unused functions and data are dropped at link
# time and the symbol table is stripped.
target_compile_options(zcore PRIVATE -ffunction-sections -fdata-sections)
target_compile_options(zwin PRIVATE -ffunction-sections -fdata-sections)
target_link_options(zelvane PRIVATE -s -Wl,--gc-sections)

# The journeys' input hook (tools/journeys.sh): a DLL that journey_driver sets
# into the program's GUI thread to see which input the program took.
add_library(journey_hook SHARED tests/helpers/journey_hook/journey_hook.cpp)
set_target_properties(journey_hook PROPERTIES PREFIX "")
target_link_options(journey_hook PRIVATE -static -static-libgcc)
add_dependencies(journey_driver journey_hook)
# journey_driver's parts sit in a folder of their own, out of the reach of the
# glob above, which makes every .cpp in tests/helpers a program of its own.
target_sources(journey_driver PRIVATE
  tests/helpers/journeys/journey_input.cpp
  tests/helpers/journeys/journey_keyboard.cpp
  tests/helpers/journeys/journey_program.cpp
  tests/helpers/journeys/journey_steps.cpp)
target_include_directories(journey_driver PRIVATE ${CMAKE_SOURCE_DIR}/tests/helpers)
# Its arguments are paths, taken as UTF-16 (wmain).
target_link_libraries(journey_driver PRIVATE zcore)
target_link_options(journey_driver PRIVATE -municode)
# The tests that start zelvane.exe find its windows with the journeys' finders.
target_sources(win32_tests PRIVATE tests/helpers/journeys/journey_program.cpp)
target_include_directories(win32_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/helpers)

# The DPI tests again at 125 %, 150 % and 200 %, each in a prefix of its own at that
# scale (tests/win32/dpi_suite.sh), against the same tests' run at 96 DPI.
foreach(dpi 120 144 192)
  add_test(NAME DpiScale.At${dpi} COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/dpi_suite.sh ${dpi} $<TARGET_FILE:win32_tests>)
endforeach()
# The tests of Cyrillic text, the running program's table and a saved setting
# under code page 1252 (tests/win32/codepage_suite.sh).
add_test(NAME CodePage.TheRussianTextsUnder1252 COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/codepage_suite.sh $<TARGET_FILE:win32_tests>)
