#include "FuzzParts.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void Fail(const char *what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

std::vector<std::string_view> SplitParts(std::string_view input, std::size_t minimum) {
    constexpr std::string_view kSeparator = "#~#";
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = input.find(kSeparator);
        parts.push_back(input.substr(0, at));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + kSeparator.size());
    }
    while (parts.size() < minimum) parts.emplace_back();
    return parts;
}

}  // namespace fuzz
