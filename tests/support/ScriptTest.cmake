# Helpers for the tests written as CMake scripts (cmake -P), which run installed or
# packed programs as a user would.
#
#   skv_run(VAR COMMAND ...)   runs the command; sets VAR_status, VAR_out and VAR_err
#   skv_fail(MESSAGE)          records a failure and goes on checking
#   skv_finish()               fails the test with every recorded failure, if any

macro(skv_run var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE ${var}_status OUTPUT_VARIABLE ${var}_out
                  ERROR_VARIABLE ${var}_err)
endmacro()

function(skv_fail message)
  set_property(GLOBAL APPEND_STRING PROPERTY skv_failures "  ${message}\n")
endfunction()

function(skv_finish)
  get_property(failures GLOBAL PROPERTY skv_failures)
  if(failures)
    message(FATAL_ERROR "failed:\n${failures}")
  endif()
endfunction()
