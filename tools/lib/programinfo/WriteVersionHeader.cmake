# cmake -DSOURCE_DIR=... -DVERSION=... -DGIT=... -DOUTPUT=... -P WriteVersionHeader.cmake
#
# Writes the version header: the version, and the commit when SOURCE_DIR is the
# top of a git checkout. A tree unpacked from a tarball (or inside some other
# project's checkout) has no commit of its own and gets none.
set(commit "")
if(GIT)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --show-toplevel
                  OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  file(REAL_PATH "${SOURCE_DIR}" source)
  if(NOT failed AND top)
    file(REAL_PATH "${top}" top)
  endif()
  if(NOT failed AND top STREQUAL source)
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
set(text "// Written by WriteVersionHeader.cmake on every build.\n")
string(APPEND text "#define SKV_VERSION \"${VERSION}\"\n#define SKV_COMMIT \"${commit}\"\n")
# Through a copy that is only made when the text differs: an unchanged header
# keeps its time stamp and rebuilds nothing.
file(WRITE ${OUTPUT}.new "${text}")
configure_file(${OUTPUT}.new ${OUTPUT} COPYONLY)
file(REMOVE ${OUTPUT}.new)
