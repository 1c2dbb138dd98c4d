#pragma once

#include <string_view>
#include <vector>

namespace fuzz {

// Reports a failed check and stops the run, so that the fuzzer keeps the input.
[[noreturn]] void Fail(const char *what);
inline void Check(bool ok, const char *what) {
    if (!ok) Fail(what);
}

// The input of a fuzz target cut at every "#~#"; at least `minimum` parts, the missing ones
// empty. Targets whose input holds several texts use it, so that mutations keep them apart.
std::vector<std::string_view> SplitParts(std::string_view input, std::size_t minimum);

}  // namespace fuzz
