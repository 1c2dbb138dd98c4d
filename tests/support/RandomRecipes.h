#pragma once

#include <random>
#include <string>

namespace sapidoro::test {

// A recipe file in the collection's layout with random bytes in its fields: accents, lone
// LFs, CR or CR LF line ends, Ctrl-Z now and then, lines dropped, and pieces of the marker
// lines, sometimes whole ones, where they do not belong. With `strayNameLines`, "-Nome" lines
// also turn up inside records. Records run to several hundred bytes or more, so that a
// reader's windows and copied tail both carry records.
std::string RandomCollection(std::mt19937 &random, bool strayNameLines = false);

}  // namespace sapidoro::test
