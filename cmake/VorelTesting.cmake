# Registers a GoogleTest executable with CTest. Natively each test case is its
# own CTest test; in a cross build the whole executable runs as one test
# through the cross-compiling emulator.
include(GoogleTest)

function(vorel_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${ARGN})
  endif()
endfunction()
