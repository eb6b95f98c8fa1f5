# The layer for the browser (emscripten), from the same sources as on Linux: where Linux has
# SDL, libepoxy, FreeType and fontconfig, glslang and libsquish, the browser has the page
# (src/browser answers the SDL calls the layer makes), WebGL 2, the baked text meshes,
# the effects translated when the layer was built and our own DXT1 decoder. Included by
# CMakeLists.txt, which lists the system parts (${linux_only_sources}, ${image_linux_sources})
# and makes ${effect_store_source}.

# Core: what the audio output needs. The page has no threads, and nothing here starts one
# (the music's service step runs from the page): the thread calls are left out.
set(core_sources ${CMAKE_CURRENT_SOURCE_DIR}/src/audio/WaveOutWebAudio.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/win/Time.cpp)
add_library(skv_platform_core STATIC ${core_sources})
target_include_directories(skv_platform_core PUBLIC include)
target_link_libraries(skv_platform_core PRIVATE skv_wave_headers)

foreach(folder xfile gdi textbake)
  add_subdirectory(src/${folder})
endforeach()

# The parsers: the effect front-end without the run-time translator, and the DDS decoder
# with the one part of stb the browser cannot link (Debian ships it compiled for the host).
set(front_folder ${CMAKE_CURRENT_SOURCE_DIR}/src/effect/front)
file(GLOB_RECURSE parser_sources CONFIGURE_DEPENDS ${front_folder}/*.cpp ${image_folder}/*.cpp)
list(REMOVE_ITEM parser_sources ${front_folder}/ShaderTranslator.cpp ${front_folder}/EffectCompiler.cpp
  ${image_linux_sources})
add_library(skv_platform_parsers STATIC ${parser_sources})
target_include_directories(skv_platform_parsers PUBLIC include src)
target_include_directories(skv_platform_parsers SYSTEM PRIVATE /usr/include/stb)

file(GLOB_RECURSE platform_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
list(REMOVE_ITEM platform_sources ${core_sources} ${parser_sources} ${linux_only_sources}
  ${CMAKE_CURRENT_SOURCE_DIR}/src/win/Thread.cpp)
list(FILTER platform_sources EXCLUDE REGEX "/src/(xfile|gdi|textmesh|textbake|effect/front|texture/image)/")
add_library(skv_platform STATIC ${platform_sources} ${effect_store_source})
# src/browser first: its SDL.h is the one the layer's sources find.
target_include_directories(skv_platform PUBLIC src/browser include)
target_compile_definitions(skv_platform PRIVATE SKV_RUNTIME_EFFECT_TRANSLATION=0)
target_link_libraries(skv_platform PUBLIC skv_platform_core skv_xfile skv_gdi skv_textbake_source
  PRIVATE skv_platform_parsers)
# WebGL 2 only, as OpenGL ES 3.0 (the device's calls are those two share).
target_link_options(skv_platform INTERFACE -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2)
