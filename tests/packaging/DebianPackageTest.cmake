# cmake -DCPACK=... -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=... -DPROGRAMS=name;... -P DebianPackageTest.cmake
# The package as `--target package` makes it: skelvane_VERSION_amd64.deb with the
# dependencies dpkg-shlibdeps finds, no lintian error, and programs that run from
# the unpacked tree and print their version.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
set(deb ${WORK_DIR}/skelvane_${VERSION}_amd64.deb)
execute_process(COMMAND dpkg-deb --field ${deb} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libc6 \\(>= .*libsdl2-2\\.0-0")
  message(SEND_ERROR "the dependencies of the programs' libraries: \"${depends}\"")
endif()
execute_process(COMMAND lintian --fail-on error ${deb} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(SEND_ERROR "lintian reports an error")
endif()
execute_process(COMMAND dpkg-deb -x ${deb} ${WORK_DIR}/root)
string(REPLACE "." "\\." version "${VERSION}")
foreach(program ${PROGRAMS})
  execute_process(COMMAND ${WORK_DIR}/root/usr/bin/${program} --version OUTPUT_VARIABLE out)
  if(NOT out MATCHES "^${program} ${version}[ \n]")
    message(SEND_ERROR "the packed ${program} prints its version, not \"${out}\"")
  endif()
endforeach()
