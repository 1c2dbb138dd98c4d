#pragma once

#include "data/RecipeFile.h"

#include <string>
#include <vector>

namespace sapidoro::test {

// A file of the bundled sample collection (data/ in the source tree).
std::string SampleFile(const std::string &name);

// The whole file as bytes.
std::string ReadBytes(const std::string &path);

// Every record of the sample ricette.txt, found by name through the lookup, in file order.
// Read once per test program.
const std::vector<RecipeRecord> &SampleRecords();

}  // namespace sapidoro::test
