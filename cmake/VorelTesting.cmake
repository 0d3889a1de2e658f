# Registers a GoogleTest executable with CTest. Natively each test case is its
# own CTest test; in a cross build the whole executable runs as one test
# through the cross-compiling emulator (Wine, or Node for WebAssembly).
include(GoogleTest)

# No GoogleTest is packaged for mingw-w64 or WebAssembly: build Debian's
# sources, which give the same GTest:: targets as the native package.
if(CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(EMSCRIPTEN)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

get_property(vorel_wine_fixture GLOBAL PROPERTY VOREL_WINE_FIXTURE)
if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT vorel_wine_fixture)
  set_property(GLOBAL PROPERTY VOREL_WINE_FIXTURE ON)

  # Every test under Wine shares one session: a virtual display and a
  # prepared prefix with its server kept up, set up before the first test and
  # taken down after the last one, also when a test fails or times out.
  set(VOREL_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  # The session start checks that the README's font step gives message boxes Arabic glyphs.
  add_executable(vorel_wine_font_check ${CMAKE_CURRENT_LIST_DIR}/wine-font-check.cpp)
  target_link_libraries(vorel_wine_font_check PRIVATE vorel_warnings)
  add_test(NAME wine_session_start
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine-session start ${VOREL_WINE_STATE}
                   $<TARGET_FILE:vorel_wine_font_check>)
  add_test(NAME wine_session_stop
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine-session stop ${VOREL_WINE_STATE})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 900)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endif()

function(vorel_add_gtest target)
  if(EMSCRIPTEN)
    add_test(NAME ${target} COMMAND ${target})
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    # One display and one prefix: the programs take turns.
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_display)
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${ARGN})
  endif()
endfunction()
