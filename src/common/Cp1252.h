#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// The one Windows-1252 table of the program. It is lossless: the five bytes that
// Windows-1252 leaves undefined map to the C1 code points of the same value and back.
char16_t Cp1252ToUnicode(unsigned char byte);

// Returns false when the code point has no Windows-1252 byte.
bool UnicodeToCp1252(char32_t codePoint, unsigned char &byte);

// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string &out, char32_t codePoint);

// Windows-1252 bytes to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252; characters without a byte become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace sapidoro
