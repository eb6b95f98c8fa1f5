# skv_add_test_binary(<name> SOURCES ... [LIBRARIES ...] [INCLUDES ...] [GUARDED] [LINUX_ONLY] [SERIAL]
#                     [ONE_PROCESS] [TIMEOUT s])
#
# One GoogleTest binary. Natively each test is registered with ctest; in the
# mingw-w64 flavour the binary runs under wine as a single ctest entry.
# GUARDED binaries (player, loaders, parsers, and the intro's captured frames and
# timeline, which run the whole graphics path and the music's thread) are the only
# ones built in the sanitizer flavours, where the custom target skv_guarded builds
# them all.
# SERIAL tests run alone: those that need the keyboard focus of the shared X
# display, which any window shown by a test running beside them would take.
# ONE_PROCESS binaries run as a single ctest entry: their tests share one costly
# run of the intro set up for the whole suite, which a process per test would
# repeat for every test.
if(NOT TARGET skv_guarded)
  add_custom_target(skv_guarded)
endif()

function(skv_add_test_binary name)
  cmake_parse_arguments(ARG "GUARDED;LINUX_ONLY;SERIAL;ONE_PROCESS" "TIMEOUT" "SOURCES;LIBRARIES;INCLUDES" ${ARGN})
  if(SKELVANE_SANITIZER AND NOT ARG_GUARDED)
    return()
  endif()
  if(ARG_LINUX_ONLY AND WIN32)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()

  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gtest gtest_main)
  if(ARG_INCLUDES)
    target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  endif()
  if(ARG_GUARDED)
    add_dependencies(skv_guarded ${name})
  endif()

  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name}_windows COMMAND ${name})
    set_tests_properties(${name}_windows PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set(serial FALSE)
    if(ARG_SERIAL)
      set(serial TRUE)
    endif()
    if(ARG_ONE_PROCESS)
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${serial})
    else()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${serial})
    endif()
  endif()
endfunction()
