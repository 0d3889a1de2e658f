# Read by cpack before each generator. Archive entries, the Windows program's
# header (stamped again when it is stripped) and the installer's summary take
# SOURCE_DATE_EPOCH as their time; when it is not set, the last commit's time
# is, so that a package made twice from one commit is the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is '$ENV{SOURCE_DATE_EPOCH}', not a number of seconds since 1970")
  endif()
else()
  execute_process(COMMAND git -C ${CPACK_VOREL_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  else()
    message(WARNING "SOURCE_DATE_EPOCH is not set and ${CPACK_VOREL_SOURCE_DIR} gives no last commit "
                    "(${errors}): the package carries the time it was made")
  endif()
endif()
