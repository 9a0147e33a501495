# A bounded fuzz run of the integer parser as a host test (longer by hand:
# tools/fuzz.sh <seconds> <work> intparse, or tools/fuzz_campaign.sh).
find_program(ZELVANE_CLANGXX clang++)
if(ZELVANE_CLANGXX)
  add_test(NAME base_intparse_fuzz
           COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh 10 ${CMAKE_BINARY_DIR}/fuzz intparse)
  set_tests_properties(base_intparse_fuzz PROPERTIES TIMEOUT 300)
endif()
