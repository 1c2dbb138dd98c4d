#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The one order of every sorted list of the program: alphabetical for Italian, without
// regard to case. Texts are Windows-1252 bytes.
int CompareNames(std::string_view a, std::string_view b);

// The positions of `names` in sorted order; names that compare equal keep their order.
std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names);

// Sorts in place; names that compare equal keep their order.
void SortNames(std::vector<std::string> &names);

}  // namespace sapidoro
