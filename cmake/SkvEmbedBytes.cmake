# skv_embed_bytes(FILE SYMBOL OUT_CPP): writes OUT_CPP with FILE's bytes as
# `extern const unsigned char SYMBOL[]` and `extern const unsigned long SYMBOL_SIZE`,
# again whenever FILE changes (CMake re-runs on it). A missing FILE gives no bytes.
function(skv_embed_bytes file symbol out_cpp)
  set(hex "")
  if(EXISTS ${file})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} hex HEX)
  endif()
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
  set(text "// Generated from ${file} by CMake: do not edit.\n")
  string(APPEND text "extern const unsigned char ${symbol}[] = {\n${bytes}0};\n")
  string(APPEND text "extern const unsigned long ${symbol}_SIZE = ${size};\n")
  # Written only when it changes, so that an unchanged file rebuilds nothing.
  if(EXISTS ${out_cpp})
    file(READ ${out_cpp} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${out_cpp} "${text}")
  endif()
endfunction()
