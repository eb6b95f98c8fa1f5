# cmake -DBUILD_DIR=... -DWORK_DIR=... -DEXPECTED=file;file;... -P InstallTest.cmake
#
# `cmake --install` with a prefix of its own under DESTDIR: exactly the expected
# files, relative to the prefix, and nothing beside the prefix (a destination that
# ignored the prefix would land elsewhere under DESTDIR).
include(${CMAKE_CURRENT_LIST_DIR}/../support/ScriptTest.cmake)
set(root ${WORK_DIR}/root)
set(prefix /opt/skelvane-test)
file(REMOVE_RECURSE ${WORK_DIR})
set(ENV{DESTDIR} ${root})
skv_run(install ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT install_status EQUAL 0)
  skv_fail("cmake --install succeeds: ${install_err}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
list(SORT installed)
set(expected "")
foreach(file ${EXPECTED})
  list(APPEND expected opt/skelvane-test/${file})
endforeach()
list(SORT expected)
string(REPLACE ";" "\n    " listing "${installed}")
if(NOT installed STREQUAL expected)
  skv_fail("the install holds exactly the expected files under the prefix; it holds:\n    ${listing}")
endif()
skv_finish()
