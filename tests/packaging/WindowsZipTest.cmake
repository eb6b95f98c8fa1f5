# cmake -DCPACK=... -DBUILD_DIR=... -DWORK_DIR=... -DFOLDER=... -DEXPECTED=file;... -P WindowsZipTest.cmake
# The zip as `--target package` makes it: one folder with exactly the expected files,
# among them the note naming the runtime the intro needs.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
file(ARCHIVE_EXTRACT INPUT ${WORK_DIR}/${FOLDER}.zip DESTINATION ${WORK_DIR}/unpacked)
file(GLOB_RECURSE unpacked LIST_DIRECTORIES false RELATIVE ${WORK_DIR}/unpacked/${FOLDER} ${WORK_DIR}/unpacked/*)
list(SORT unpacked)
list(SORT EXPECTED)
if(NOT unpacked STREQUAL EXPECTED)
  message(SEND_ERROR "the zip's ${FOLDER}/ holds:\n${unpacked}\nexpected:\n${EXPECTED}")
endif()
file(READ ${WORK_DIR}/unpacked/${FOLDER}/DirectX.txt note)
if(NOT note MATCHES "DirectX 9\\.0c end-user runtime")
  message(SEND_ERROR "the note names the DirectX 9.0c end-user runtime: ${note}")
endif()
