#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The one order of every sorted list of the program: alphabetical for Italian, without
// regard to case. Texts are Windows-1252 bytes.
int CompareNames(std::string_view a, std::string_view b);

// Whether CompareNames(a, b) is 0; quick for names that differ early.
bool EqualNames(std::string_view a, std::string_view b);

// The positions of `names` in sorted order; names that compare equal keep their order.
// When `apart` is given, it tells for each place of the order whether the name there is
// known to compare unequal to the one before it (1), or may compare equal (0).
std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names,
                                       std::vector<std::uint8_t> *apart = nullptr);

// Sorts in place; names that compare equal keep their order.
void SortNames(std::vector<std::string> &names);

}  // namespace sapidoro
