# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<symbol> -P SkvEmbedBytes.cmake
#
# Writes a C++ source that holds a file's bytes as the array <symbol> and their count as
# <symbol>_SIZE: for a target that cannot take the assembler's .incbin (WebAssembly).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# One line per 32 bytes keeps the source readable by compilers and editors alike.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by cmake/SkvEmbedBytes.cmake: do not edit.\n"
  "#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {\n${bytes}0};\n"
  "extern const size_t ${NAME}_SIZE = ${size};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
