#pragma once

#include <concepts>
#include <string>
#include <string_view>

namespace sapidoro {

// The one case fold of the program: only "a" to "z" and "A" to "Z" change case; accented
// letters and every other character stay as they are. The character functions take data
// bytes (char, unsigned char) and UTF-16 units (char16_t) alike.

template <std::integral Char>
constexpr bool IsAsciiLetter(Char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

template <std::integral Char>
constexpr Char AsciiUpper(Char c) {
    return c >= 'a' && c <= 'z' ? static_cast<Char>(c - ('a' - 'A')) : c;
}

template <std::integral Char>
constexpr Char AsciiLower(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c + ('a' - 'A')) : c;
}

// The text with "a" to "z" turned to upper case.
std::string AsciiUpper(std::string_view text);

}  // namespace sapidoro
