# The module player's command-line tools: xm2wav and bench_mix, and the loader
# fuzzer (built with clang's libFuzzer when clang is present; not part of the
# default build).
add_executable(bench_mix ${CMAKE_CURRENT_LIST_DIR}/bench_mix.cpp)
target_link_libraries(bench_mix PRIVATE skv_player)

# The loader fuzzer needs clang's libFuzzer; it is built only on request.
find_program(SKELVANE_CLANGXX NAMES clang++ clang++-14)
if(SKELVANE_CLANGXX AND NOT CMAKE_CROSSCOMPILING AND NOT SKELVANE_SANITIZER)
  set(fuzz_player_sources
    BlockFill.cpp Effects.cpp FileCallbacks.cpp Mixer.cpp Modulation.cpp OutputHook.cpp
    PlayState.cpp PlayerMemory.cpp Sequencer.cpp Song.cpp VoiceUpdate.cpp XmLoadRules.cpp
    XmLoader.cpp)
  list(TRANSFORM fuzz_player_sources PREPEND ${PROJECT_SOURCE_DIR}/player/)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/fuzz/fuzz_load
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fuzz
    COMMAND ${SKELVANE_CLANGXX} -std=c++17 -O1 -g -fno-omit-frame-pointer
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
            -I${PROJECT_SOURCE_DIR}/player ${CMAKE_CURRENT_LIST_DIR}/fuzz_load.cpp
            ${fuzz_player_sources} -o ${CMAKE_CURRENT_BINARY_DIR}/fuzz/fuzz_load
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_load.cpp ${fuzz_player_sources}
    COMMENT "Building the loader fuzzer with clang's libFuzzer"
    VERBATIM)
  add_custom_target(fuzz_load DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/fuzz/fuzz_load)
endif()

add_library(skv_xm2wav STATIC ${CMAKE_CURRENT_LIST_DIR}/xm2wav/Xm2Wav.cpp)
target_include_directories(skv_xm2wav PUBLIC ${CMAKE_CURRENT_LIST_DIR}/xm2wav)
target_link_libraries(skv_xm2wav PUBLIC skv_player)
add_executable(xm2wav ${CMAKE_CURRENT_LIST_DIR}/xm2wav/main.cpp)
target_link_libraries(xm2wav PRIVATE skv_xm2wav)
# Linked statically: a render is over in milliseconds, and resolving the C++
# library's symbols at start-up would be a noticeable part of them.
if(NOT WIN32)
  target_link_options(xm2wav PRIVATE -static)
endif()

add_executable(make_bench_module ${CMAKE_CURRENT_LIST_DIR}/make_bench_module.cpp)
target_link_libraries(make_bench_module PRIVATE skv_xmwriter)

# Whole-process cost of two xm2wav builds side by side (POSIX process calls).
if(NOT WIN32)
  add_executable(bench_xm2wav ${CMAKE_CURRENT_LIST_DIR}/bench_xm2wav.cpp)
endif()
