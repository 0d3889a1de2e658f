# Cross build of the 32-bit Windows program with mingw-w64 (posix thread model,
# which GoogleTest needs for std::mutex). Programs built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VOREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VOREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VOREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program carries its own C and C++ runtime: Wine (and a bare Windows)
# has no libstdc++-6.dll, libgcc_s_dw2-1.dll or libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine with the build's own prefix and display,
# which the CTest fixture in VorelTesting.cmake prepares.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wine)
