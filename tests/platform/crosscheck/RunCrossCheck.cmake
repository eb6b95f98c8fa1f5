# Runs the cross-check program of both flavours and compares their figures:
#   cmake -DWINE=... -DWINESERVER=... -DXVFB_RUN=... -DWINDOWS_PROGRAM=... -DLINUX_PROGRAM=...
#         -DWORK_DIR=... -P RunCrossCheck.cmake
# The Linux program is the Linux flavour's build; without it the check fails, saying so.
foreach(var WINE WINESERVER XVFB_RUN WINDOWS_PROGRAM LINUX_PROGRAM WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "RunCrossCheck.cmake needs ${var}")
  endif()
endforeach()
if(NOT EXISTS "${LINUX_PROGRAM}")
  message(FATAL_ERROR "no Linux cross-check program at ${LINUX_PROGRAM}: build the linux flavour first "
                      "(./test does, before this one), or point SKV_LINUX_BUILD_DIR at its build")
endif()

set(screen "-screen 0 1280x1024x24")
set(linux_dir "${WORK_DIR}/linux")
set(windows_dir "${WORK_DIR}/windows")
file(REMOVE_RECURSE "${linux_dir}" "${windows_dir}")
file(MAKE_DIRECTORY "${linux_dir}" "${windows_dir}")

function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${err}")
  endif()
endfunction()

run("the Linux cross-check" "${XVFB_RUN}" -a -s "${screen}" "${LINUX_PROGRAM}" --figures linux)

# The font file the stand-in chose for "Impact", by family, is what wine is to use for it.
file(STRINGS "${linux_dir}/figures.txt" family_line REGEX "^font.family ")
string(REGEX REPLACE "^font.family " "" family "${family_line}")
if(family STREQUAL "")
  message(FATAL_ERROR "the Linux run names no font family for \"Impact\"")
endif()

# A wine server outlives its programs for a moment, and its desktop keeps the display it
# started with: each step waits for the server of this prefix to end before the next one.
set(ENV{WINEPREFIX} "${WORK_DIR}/wineprefix")
set(ENV{WINEDEBUG} "-all")
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
run("setting wine's font replacement" "${WINE}" reg add "HKCU\\Software\\Wine\\Fonts\\Replacements"
    /v Impact /t REG_SZ /d "${family}" /f)
run("waiting for the wine server" "${WINESERVER}" -w)
execute_process(COMMAND "${XVFB_RUN}" -a -s "${screen}" "${WINE}" "${WINDOWS_PROGRAM}" --figures windows
                WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE windows_rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}")
execute_process(COMMAND "${WINESERVER}" -w)
# Steps that failed under wine are differences the comparison names; any other failure ends here.
if(NOT windows_rc EQUAL 0 AND NOT windows_rc EQUAL 1)
  message(FATAL_ERROR "the Windows cross-check under wine failed (${windows_rc}):\n${err}")
endif()
run("the comparison" "${LINUX_PROGRAM}" --compare linux windows)
