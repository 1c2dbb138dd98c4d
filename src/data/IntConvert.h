#pragma once

#include <cstdint>
#include <string_view>

namespace sapidoro {

// A whole number in decimal digits: optional leading blanks, an optional sign, then
// digits only, within the signed 32-bit range. Anything else throws EConvertError
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view cp1252Text);

}  // namespace sapidoro
