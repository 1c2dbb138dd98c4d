#pragma once

#include <string_view>

namespace sapidoro {

// The longest rest that TextAfter returns.
inline constexpr std::size_t kTextAfterLimit = 255;

// Text before the first occurrence of `separator` (case-sensitive); the whole text when
// the separator is absent or empty.
std::string_view TextBefore(std::string_view text, std::string_view separator);

// Text after the first occurrence of `separator`, cut to 255 characters; empty when the
// separator is absent or empty.
std::string_view TextAfter(std::string_view text, std::string_view separator);

}  // namespace sapidoro
