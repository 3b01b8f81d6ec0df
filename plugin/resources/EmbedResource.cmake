# Embeds a resource file as a byte array: QmStringResource() answers its bytes.
file(READ ${INPUT} HEX HEX)
string(LENGTH "${HEX}" HEX_LENGTH)
math(EXPR SIZE "${HEX_LENGTH} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," BYTES "${HEX}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "namespace { const unsigned char kBytes[] = {${BYTES} 0}; }\n"
  "const char* QmStringResource(std::size_t* size) {\n"
  "    *size = ${SIZE};\n    return reinterpret_cast<const char*>(kBytes);\n}\n")
