# cmake -DSCRIPT=WriteVersionHeader.cmake -DSOURCE_DIR=... -DGIT=... -DWORK_DIR=... -P VersionHeaderTest.cmake
#
# The version header names the commit of the checkout the tree is the top of, and
# none for a tree without one of its own (unpacked from a tarball, or lying inside
# another checkout, as WORK_DIR inside the build folder does).
include(${CMAKE_CURRENT_LIST_DIR}/../../../support/ScriptTest.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/unpacked)

skv_run(plain ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR}/unpacked -DVERSION=9.8.7 -DGIT=${GIT}
        -DOUTPUT=${WORK_DIR}/plain.h -P ${SCRIPT})
file(READ ${WORK_DIR}/plain.h plain)
if(NOT plain MATCHES "#define SKV_VERSION \"9\\.8\\.7\"\n#define SKV_COMMIT \"\"\n")
  skv_fail("a tree without a checkout of its own gets the version and no commit: ${plain}")
endif()

if(GIT AND EXISTS ${SOURCE_DIR}/.git)
  skv_run(checkout ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DVERSION=1.2.3 -DGIT=${GIT}
          -DOUTPUT=${WORK_DIR}/checkout.h -P ${SCRIPT})
  skv_run(head ${GIT} -C ${SOURCE_DIR} rev-parse --short=12 HEAD)
  string(STRIP "${head_out}" head)
  file(READ ${WORK_DIR}/checkout.h checkout)
  if(NOT head MATCHES "^[0-9a-f]+$" OR NOT checkout MATCHES "#define SKV_COMMIT \"${head}\"\n")
    skv_fail("the checkout's header names HEAD, ${head}: ${checkout}")
  endif()
endif()
skv_finish()
