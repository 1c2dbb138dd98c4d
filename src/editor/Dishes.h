#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sapidoro {

// The dishes (line 4 of every record) of the recipe file at `path`, each once, in the order
// of every sorted list; at most `limit` of them, so that a hostile file cannot flood the list.
std::vector<std::string> CollectionDishes(const std::string &path, std::size_t limit = 200);

}  // namespace sapidoro
