# Writes a C++ source that holds the bytes of INPUT as the array NAME.
# Run as: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -DSIZE=... -P embed.cmake
file(SIZE "${INPUT}" actual)
if(NOT actual EQUAL SIZE)
  message(FATAL_ERROR "${INPUT} is ${actual} bytes; ${NAME} must be ${SIZE} bytes")
endif()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n\n"
  "extern const unsigned char ${NAME}[${SIZE}];\n"
  "const unsigned char ${NAME}[${SIZE}] = {\n${bytes}\n};\n")
