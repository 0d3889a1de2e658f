# CPack's External generator runs this with the program, README.md and
# LICENSE staged (and stripped) in CPACK_TEMPORARY_DIRECTORY: wixl makes the
# Windows Installer package of them from packaging/vorel.wxs.
#
# The package is the same bytes whenever its inputs are: its ProductCode
# follows from the version, its PackageCode from the packaged bytes, and its
# times from SOURCE_DATE_EPOCH (wixl itself writes a random PackageCode and
# the time of the build, which are replaced afterwards).
foreach(variable CPACK_VOREL_WIXL CPACK_VOREL_MSIINFO CPACK_VOREL_MSIBUILD CPACK_VOREL_WXS
                 CPACK_VOREL_ICON CPACK_VOREL_UPGRADE_CODE)
  if(NOT ${variable})
    message(FATAL_ERROR "vorel-msi.cmake: ${variable} is not set")
  endif()
endforeach()

set(files ${CPACK_TEMPORARY_DIRECTORY})
set(work ${CPACK_TOPLEVEL_DIRECTORY}/msi)
set(msi ${work}/${CPACK_PACKAGE_FILE_NAME}.msi)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

set(packaged ${files}/vorel.exe ${files}/README.md ${files}/LICENSE)
set(digest ${CPACK_PACKAGE_VERSION})
foreach(input IN LISTS packaged CPACK_VOREL_WXS CPACK_VOREL_ICON)
  if(NOT EXISTS ${input})
    message(FATAL_ERROR "vorel-msi.cmake: ${input} is missing")
  endif()
  file(SHA256 ${input} sum)
  string(APPEND digest " ${sum}")
endforeach()
string(UUID product_code NAMESPACE ${CPACK_VOREL_UPGRADE_CODE}
       NAME "ProductCode ${CPACK_PACKAGE_VERSION}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${CPACK_VOREL_UPGRADE_CODE} NAME "PackageCode ${digest}" TYPE SHA1 UPPER)

# The cabinet keeps each file's modification time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch --date=@$ENV{SOURCE_DATE_EPOCH} ${packaged}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

# wixl looks for sources relative to its working directory only.
file(RELATIVE_PATH files_relative ${work} ${files})
file(RELATIVE_PATH icon_relative ${work} ${CPACK_VOREL_ICON})
execute_process(COMMAND ${CPACK_VOREL_WIXL} --arch x86 --output ${msi}
                        -D Version=${CPACK_PACKAGE_VERSION} -D ProductCode=${product_code}
                        -D UpgradeCode=${CPACK_VOREL_UPGRADE_CODE}
                        -D Files=${files_relative} -D Icon=${icon_relative} ${CPACK_VOREL_WXS}
                WORKING_DIRECTORY ${work}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wixl failed (${status}):\n${output}")
endif()

# The summary's PackageCode (property 9) and its creation and save times (12, 13).
execute_process(COMMAND ${CPACK_VOREL_MSIINFO} export ${msi} _SummaryInformation
                OUTPUT_VARIABLE summary RESULT_VARIABLE status COMMAND_ERROR_IS_FATAL ANY)
string(TIMESTAMP now "%Y/%m/%d %H:%M:%S" UTC)  # SOURCE_DATE_EPOCH when set
string(REGEX REPLACE "\n9\t[^\r\n]*" "\n9\t{${package_code}}" summary "${summary}")
string(REGEX REPLACE "\n(1[23])\t[^\r\n]*" "\n\\1\t${now}" summary "${summary}")
if(NOT summary MATCHES "\n9\t{${package_code}}")
  message(FATAL_ERROR "no PackageCode in the summary of ${msi}:\n${summary}")
endif()
file(WRITE ${work}/_SummaryInformation.idt "${summary}")
# msibuild reads the times as local time.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                        ${CPACK_VOREL_MSIBUILD} ${msi} -i _SummaryInformation.idt
                WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
