# cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=Name -P EmbedFile.cmake
# Writes a C++ source whose function NameData() returns the bytes of INPUT
# and NameSize() their count, in namespace platform.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\n\nnamespace platform {\nnamespace {\nconst uint8_t kBytes[] = {\n${bytes}};\n}\nconst uint8_t* ${FUNCTION}Data() { return kBytes; }\nsize_t ${FUNCTION}Size() { return ${size}; }\n}  // namespace platform\n")
