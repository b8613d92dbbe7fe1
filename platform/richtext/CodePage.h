#pragma once

#include <QString>

#include <cstddef>

namespace vyn::rtf {

// The Windows code page that an RTF \fcharset stands for; 0 when the charset names none (the
// document's code page applies).
int CodePageOfCharset(int charset);

// Appends the bytes decoded from the given Windows code page. Unknown code pages decode as 1252.
void DecodeCodePage(int codePage, const char* bytes, size_t size, QString& out);

// The Windows-1252 byte for a character, or 0 when it has none.
unsigned char EncodeCp1252(char16_t c);

} // namespace vyn::rtf
