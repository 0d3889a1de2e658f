# Makes the Windows ZIP with cpack, as a user of the build directory would,
# and checks what it holds: the one folder with vorel.exe, README.md and LICENSE.
# Usage: cmake -DCPACK=cpack -DBUILD_DIR=dir -DOUT=dir -DEXPECTED=folder
#              -DREADME=file -P check_package.cmake
foreach(variable CPACK BUILD_DIR OUT EXPECTED README)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G ZIP -B ${OUT}
                WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()

file(GLOB archives ${OUT}/*.zip)
if(NOT archives STREQUAL "${OUT}/${EXPECTED}.zip")
  message(FATAL_ERROR "expected ${OUT}/${EXPECTED}.zip, cpack made: ${archives}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${archives}
                RESULT_VARIABLE status OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${archives}: ${errors}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "(^$|/$)")  # folders stand as their own entries
list(SORT entries)
set(expected ${EXPECTED}/LICENSE ${EXPECTED}/README.md ${EXPECTED}/vorel.exe)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "the ZIP holds:\n  ${entries}\nexpected:\n  ${expected}")
endif()

# What comes out is the program and the README, not empty stand-ins.
set(unpacked ${OUT}/unpacked)
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archives}
                WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${archives}")
endif()
file(READ ${unpacked}/${EXPECTED}/vorel.exe signature LIMIT 2 HEX)
if(NOT signature STREQUAL "4d5a")
  message(FATAL_ERROR "vorel.exe in the ZIP is not a Windows program")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${README} ${unpacked}/${EXPECTED}/README.md
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "README.md in the ZIP differs from the source's")
endif()
message(STATUS "${EXPECTED}.zip: ${entries}")
