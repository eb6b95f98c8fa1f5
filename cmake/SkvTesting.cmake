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

# Under wine every test runs in the build's own prefix (build/windows/wineprefix), which
# one set-up test makes before any of them starts: wine programs started side by side on
# a missing prefix each set about making it, and all but one of them fail. Nothing of the
# user's (~/.wine) is read or written.
function(skv_run_in_wine_prefix test)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix)
  get_property(defined GLOBAL PROPERTY SKV_WINE_PREFIX_DEFINED)
  if(NOT defined)
    set_property(GLOBAL PROPERTY SKV_WINE_PREFIX_DEFINED TRUE)
    find_program(WINESERVER_PROGRAM wineserver REQUIRED)
    add_test(NAME wine_prefix
             COMMAND ${CMAKE_COMMAND} -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
                     -DWINESERVER=${WINESERVER_PROGRAM} -DPREFIX=${prefix}
                     -P ${PROJECT_SOURCE_DIR}/cmake/SkvWinePrefix.cmake)
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 600)
  endif()
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "WINEPREFIX=${prefix}")
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()

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
    skv_run_in_wine_prefix(${name}_windows)
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
