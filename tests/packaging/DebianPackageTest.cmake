# cmake -DCMAKE_CPACK_COMMAND=... -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=... -DPROGRAMS=name;name;... -P DebianPackageTest.cmake
#
# The Debian package as `--target package` makes it: named skelvane_VERSION_amd64.deb,
# with dependencies found by dpkg-shlibdeps, accepted by lintian without an error, and
# holding programs that run from the unpacked tree and print their version.
include(${CMAKE_CURRENT_LIST_DIR}/../support/ScriptTest.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
skv_run(pack ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
set(deb ${WORK_DIR}/skelvane_${VERSION}_amd64.deb)
if(NOT pack_status EQUAL 0 OR NOT EXISTS ${deb})
  message(FATAL_ERROR "cpack made no ${deb}:\n${pack_out}${pack_err}")
endif()

skv_run(depends dpkg-deb --field ${deb} Depends)
if(NOT depends_out MATCHES "libc6 \\(>= " OR NOT depends_out MATCHES "libsdl2-2\\.0-0")
  skv_fail("the dependencies come from the programs' libraries: ${depends_out}")
endif()

skv_run(lintian lintian --fail-on error ${deb})
message("lintian:\n${lintian_out}${lintian_err}")
if(NOT lintian_status EQUAL 0)
  skv_fail("lintian reports no error")
endif()

skv_run(unpack dpkg-deb -x ${deb} ${WORK_DIR}/root)
string(REPLACE "." "\\." version "${VERSION}")
foreach(program ${PROGRAMS})
  skv_run(run ${WORK_DIR}/root/usr/bin/${program} --version)
  if(NOT run_status EQUAL 0 OR NOT run_out MATCHES "^${program} ${version}[ \n]")
    skv_fail("the packed ${program} prints its version, not \"${run_out}${run_err}\"")
  endif()
endforeach()
skv_finish()
