#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// A page's text as UTF-8, and the character set it was read in (for the preview).
struct PageText {
    std::string utf8;
    std::string encoding;
};

// The character set named by the Content-Type header, else by a byte-order mark, else by the
// page's own `<meta charset>` or `http-equiv` markup; empty when none names one.
std::string DeclaredCharset(std::string_view bytes, std::string_view contentType);

// The page read in its declared character set: UTF-8 (bad sequences become U+FFFD), or
// ISO-8859-1 and Windows-1252, both read as Windows-1252 as browsers do. An undeclared or
// unknown one is UTF-8 when the bytes are, Windows-1252 otherwise.
PageText PageTextAsUtf8(std::string_view bytes, std::string_view contentType);

// Whether the Content-Type names JSON rather than an HTML page.
bool IsJsonContentType(std::string_view contentType);

}  // namespace sapidoro
