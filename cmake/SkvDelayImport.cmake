# skv_delay_import_library(<dll> <variable>)
#
# Makes, at configure time, an import library that loads <dll>.dll at the first call
# into it instead of at process start, from the toolchain's own import library
# lib<dll>.a (every function it exports), and sets <variable> to its path. A program
# linked with it can look for the DLL first and say what is missing.
function(skv_delay_import_library dll variable)
  find_library(SKV_IMPORT_LIBRARY_${dll} NAMES lib${dll}.a REQUIRED)
  if(NOT CMAKE_DLLTOOL)
    find_program(CMAKE_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)
  endif()
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${SKV_IMPORT_LIBRARY_${dll}}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_@]*" functions "${symbols}")
  set(definitions "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(function ${functions})
    string(REGEX REPLACE "^[0-9a-fA-F]+ T " "" name "${function}")
    string(APPEND definitions "${name}\n")
  endforeach()
  set(dir ${CMAKE_BINARY_DIR}/delay-import)
  file(WRITE ${dir}/${dll}.def "${definitions}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
                          --output-delaylib ${dir}/lib${dll}_delay.a
                  COMMAND_ERROR_IS_FATAL ANY)
  set(${variable} ${dir}/lib${dll}_delay.a PARENT_SCOPE)
endfunction()
