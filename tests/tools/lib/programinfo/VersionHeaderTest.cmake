# cmake -DSCRIPT=WriteVersionHeader.cmake -DGIT=... -DWORK_DIR=... -P VersionHeaderTest.cmake
# A tree that is no checkout of its own (unpacked from a tarball, or lying inside
# another checkout as WORK_DIR in the build folder does) gets the version, no commit.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR}/unpacked -DVERSION=9.8.7 -DGIT=${GIT}
                -DOUTPUT=${WORK_DIR}/SkvVersion.h -P ${SCRIPT})
file(READ ${WORK_DIR}/SkvVersion.h header)
if(NOT header MATCHES "#define SKV_VERSION \"9\\.8\\.7\"\n#define SKV_COMMIT \"\"\n")
  message(SEND_ERROR "the version and no commit: ${header}")
endif()
