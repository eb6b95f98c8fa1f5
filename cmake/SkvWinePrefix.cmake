# Makes the wine prefix the Windows flavour's tests run in, and waits until wine is
# done with it:  cmake -DWINE=... -DWINESERVER=... -DPREFIX=... -P SkvWinePrefix.cmake
# wineboot returns before the server it started has written everything out, so the
# server is waited for too; only then can the tests start their programs side by side.
foreach(var WINE WINESERVER PREFIX)
  if(NOT ${var})
    message(FATAL_ERROR "SkvWinePrefix.cmake needs ${var}")
  endif()
endforeach()
set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
# No Mono or Gecko: the tests need neither, and their installers would ask.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
# Without a display wine runs no desktop, which the tests do not need either.
set(ENV{DISPLAY} "")
execute_process(COMMAND "${WINE}" wineboot --init RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "wineboot --init in ${PREFIX} failed (${rc}):\n${out}${err}")
endif()
execute_process(COMMAND "${WINESERVER}" --wait RESULT_VARIABLE rc)
if(NOT EXISTS "${PREFIX}/system.reg")
  message(FATAL_ERROR "wineboot left no registry in ${PREFIX}:\n${out}${err}")
endif()
message("wine prefix ready: ${PREFIX}")
