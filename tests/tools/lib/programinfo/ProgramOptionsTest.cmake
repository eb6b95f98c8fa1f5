# cmake -DPROGRAM=... -DNAME=... -DVERSION=... [-DEMULATOR=wine] [-DREFUSES=ON]
#       -P ProgramOptionsTest.cmake
#
# The options every program takes: --version prints "NAME VERSION" (with the commit
# in a git checkout) and --help the usage, on standard output with status 0. With
# REFUSES, an unknown option is refused on standard error with a non-zero status.
# Every message ends with a newline (under wine, the C runtime's CR LF).
include(${CMAKE_CURRENT_LIST_DIR}/../../../support/ScriptTest.cmake)
string(REPLACE "." "\\." version "${VERSION}")

# Natively nothing else may reach standard error; wine may add its own notes there.
function(expect_quiet_err what err)
  if(NOT EMULATOR AND NOT err STREQUAL "")
    skv_fail("${what} writes nothing on standard error, not \"${err}\"")
  endif()
endfunction()

skv_run(version ${EMULATOR} ${PROGRAM} --version)
if(NOT version_status EQUAL 0)
  skv_fail("--version exits with 0, not ${version_status}")
endif()
if(NOT version_out MATCHES "^${NAME} ${version}( \\(commit [0-9a-f]+\\))?\r?\n$")
  skv_fail("--version prints \"${NAME} ${VERSION}\" and at most the commit, not \"${version_out}\"")
endif()
expect_quiet_err(--version "${version_err}")

skv_run(help ${EMULATOR} ${PROGRAM} --help)
if(NOT help_status EQUAL 0)
  skv_fail("--help exits with 0, not ${help_status}")
endif()
if(NOT help_out MATCHES "^usage: ${NAME}[ \r\n]" OR NOT help_out MATCHES "--help, --version")
  skv_fail("--help prints the usage on standard output, not \"${help_out}\"")
endif()
if(NOT help_out MATCHES "\n$")
  skv_fail("the usage ends with a newline")
endif()
expect_quiet_err(--help "${help_err}")

if(REFUSES)
  skv_run(bad ${EMULATOR} ${PROGRAM} --no-such-option)
  if(bad_status EQUAL 0)
    skv_fail("an unknown option is refused")
  endif()
  if(NOT bad_err MATCHES "\n$" OR NOT bad_out STREQUAL "")
    skv_fail("the refusal goes to standard error, ending with a newline, not \"${bad_out}\" \"${bad_err}\"")
  endif()
endif()
skv_finish()
