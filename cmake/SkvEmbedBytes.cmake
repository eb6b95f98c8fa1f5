# A file's bytes as a C++ source: the array `extern const unsigned char SYMBOL[]` and their
# count `extern const size_t SYMBOL_SIZE`, for data compiled into a program on targets that
# cannot take the assembler's .incbin (WebAssembly).
#
# At configure time: include() this file and call skv_embed_bytes(FILE SYMBOL OUT_CPP); it is
# written again whenever FILE changes (CMake re-runs on it), and a missing FILE gives no bytes.
# At build time, from a custom command:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<symbol> -P SkvEmbedBytes.cmake
function(skv_embed_bytes file symbol out_cpp)
  set(hex "")
  if(EXISTS ${file})
    if(NOT CMAKE_SCRIPT_MODE_FILE)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    endif()
    file(READ ${file} hex HEX)
  endif()
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # One line per 32 bytes keeps the source readable by compilers and editors alike.
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
  set(text "// Generated from ${file} by cmake/SkvEmbedBytes.cmake: do not edit.\n#include <cstddef>\n")
  string(APPEND text "extern const unsigned char ${symbol}[] = {\n${bytes}0};\n")
  string(APPEND text "extern const size_t ${symbol}_SIZE = ${size};\n")
  # Written only when it changes, so that an unchanged file rebuilds nothing.
  set(old "")
  if(EXISTS ${out_cpp})
    file(READ ${out_cpp} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${out_cpp} "${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED INPUT)
  skv_embed_bytes("${INPUT}" "${NAME}" "${OUTPUT}")
endif()
