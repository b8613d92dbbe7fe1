# Writes a C++ source that holds the bytes of a file: QByteArray vyn::<SYMBOL>().
# cmake -DIN=<file> -DOUT=<source> -DSYMBOL=<name> -P EmbedFile.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Made from ${IN}; do not edit.\n#include <QByteArray>\n\nnamespace vyn {\n\nQByteArray ${SYMBOL}()\n{\n    static const unsigned char data[${size} + 1] = {\n${bytes}0};\n    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), ${size});\n}\n\n} // namespace vyn\n")
