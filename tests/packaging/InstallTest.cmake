# cmake -DBUILD_DIR=... -DWORK_DIR=... -DEXPECTED=file;... -P InstallTest.cmake
# `cmake --install` to a prefix of its own under DESTDIR gives exactly the expected
# files under the prefix: a destination that ignored the prefix would land beside it.
file(REMOVE_RECURSE ${WORK_DIR})
set(ENV{DESTDIR} ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /opt/skelvane-test)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${WORK_DIR}/opt/skelvane-test ${WORK_DIR}/*)
list(SORT installed)
list(SORT EXPECTED)
if(NOT installed STREQUAL EXPECTED)
  message(SEND_ERROR "installed, relative to the prefix:\n${installed}\nexpected:\n${EXPECTED}")
endif()
