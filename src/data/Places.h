#pragma once

#include <string>
#include <vector>

namespace sapidoro {

// The place list: the first line, then one more line at a time until the end of the file,
// so that at least one line is taken after the first even when the file holds only one.
std::vector<std::string> ReadPlaces(const std::string &path);

}  // namespace sapidoro
