# cmake -DCMAKE_CPACK_COMMAND=... -DBUILD_DIR=... -DWORK_DIR=... -DFOLDER=... -DEXPECTED=file;... -P WindowsZipTest.cmake
#
# The zip as `--target package` makes it: one folder with exactly the expected files,
# the programs among them Windows executables, and the note naming the runtime the
# intro needs.
include(${CMAKE_CURRENT_LIST_DIR}/../support/ScriptTest.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
skv_run(pack ${CMAKE_CPACK_COMMAND} -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
set(zip ${WORK_DIR}/${FOLDER}.zip)
if(NOT pack_status EQUAL 0 OR NOT EXISTS ${zip})
  message(FATAL_ERROR "cpack made no ${zip}:\n${pack_out}${pack_err}")
endif()

file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${WORK_DIR}/unpacked)
file(GLOB_RECURSE unpacked LIST_DIRECTORIES false RELATIVE ${WORK_DIR}/unpacked ${WORK_DIR}/unpacked/*)
list(SORT unpacked)
set(expected "")
foreach(file ${EXPECTED})
  list(APPEND expected ${FOLDER}/${file})
endforeach()
list(SORT expected)
if(NOT unpacked STREQUAL expected)
  skv_fail("the zip holds exactly ${expected}, not ${unpacked}")
endif()

foreach(program Skelvane.exe xm2wav.exe xmplay.exe)
  set(file ${WORK_DIR}/unpacked/${FOLDER}/${program})
  if(EXISTS ${file})
    file(READ ${file} head LIMIT 2 HEX)
    if(NOT head STREQUAL "4d5a")
      skv_fail("${program} is a Windows executable")
    endif()
  endif()
endforeach()
file(READ ${WORK_DIR}/unpacked/${FOLDER}/DirectX.txt note)
if(NOT note MATCHES "DirectX 9\\.0c end-user runtime")
  skv_fail("the note names the DirectX 9.0c end-user runtime")
endif()
skv_finish()
