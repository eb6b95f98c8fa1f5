# cmake -DPROGRAM=... -DSUMMARY=... -DHELP2MAN=... -DGZIP=... -DSOURCE_DIR=... -DOUTPUT=...
#       -P WriteManPage.cmake
#
# A manual page from the program's --help and --version, gzipped without a name or
# a time in the header. help2man dates the page from SOURCE_DATE_EPOCH: when the
# caller has not set it, the commit's time, or in a tree without git the time of
# the top-level CMakeLists.txt, so rebuilding the same tree gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP ${SOURCE_DIR}/CMakeLists.txt epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

set(page ${OUTPUT}.page)
execute_process(COMMAND ${HELP2MAN} --no-info --name=${SUMMARY} --output=${page} ${PROGRAM}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man could not make a page of ${PROGRAM}")
endif()
execute_process(COMMAND ${GZIP} -9n -c ${page} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE failed)
file(REMOVE ${page})
if(failed)
  message(FATAL_ERROR "gzip could not compress the page of ${PROGRAM}")
endif()
