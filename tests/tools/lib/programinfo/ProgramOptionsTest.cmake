# cmake -DPROGRAM=... -DNAME=... -DVERSION=... [-DEMULATOR=wine] [-DREFUSES=ON] -P ProgramOptionsTest.cmake
# --version prints "NAME VERSION" (and the commit) and --help the usage, on standard
# output with status 0 (natively with nothing on standard error: wine may add its own
# notes there); with REFUSES an unknown option is refused on standard error. Every
# message ends with a newline (CR LF under wine).
string(REPLACE "." "\\." version "${VERSION}")
set(expected_--version "^${NAME} ${version}( \\(commit [0-9a-f]+\\))?\r?\n$")
set(expected_--help "^Usage: ${NAME}[ \r\n].*--help, --version[^\n]*\n$")
set(options --version --help)
if(REFUSES)
  list(APPEND options --no-such-option)  # the intro would start: it ignores what it does not know
endif()
foreach(option ${options})
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${option} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(option STREQUAL "--no-such-option")
    if(status EQUAL 0 OR NOT out STREQUAL "" OR NOT err MATCHES "\n$")
      message(SEND_ERROR "an unknown option is refused on standard error: ${status} \"${out}\" \"${err}\"")
    endif()
  elseif(NOT status EQUAL 0 OR NOT out MATCHES "${expected_${option}}" OR (NOT EMULATOR AND NOT err STREQUAL ""))
    message(SEND_ERROR "${option} answers on standard output with 0: ${status} \"${out}\" \"${err}\"")
  endif()
endforeach()
