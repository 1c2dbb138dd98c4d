#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The place list: the first line, then one more line at a time until the end of the file,
// so that at least one line is taken after the first even when the file holds only one.
std::vector<std::string> ReadPlaces(const std::string &path);
// The same places handed over one by one; each view lasts until the call returns, so that a
// line of any length is never copied.
void ReadPlaces(const std::string &path, const std::function<void(std::string_view)> &onPlace);

}  // namespace sapidoro
