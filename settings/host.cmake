# A bounded fuzz run of the settings loader as a host test (longer by hand:
# tools/fuzz.sh <seconds> <work> settings, or tools/fuzz_campaign.sh).
find_program(ZELVANE_CLANGXX clang++)
if(ZELVANE_CLANGXX)
  add_test(NAME settings_load_fuzz
           COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh 10 ${CMAKE_BINARY_DIR}/fuzz settings)
  set_tests_properties(settings_load_fuzz PROPERTIES TIMEOUT 300)
endif()
