#include "data/Split.h"

#include <algorithm>

namespace sapidoro {

std::string_view TextBefore(std::string_view text, std::string_view separator) {
    if (separator.empty()) return text;
    const std::size_t at = text.find(separator);
    return at == std::string_view::npos ? text : text.substr(0, at);
}

std::string_view TextAfter(std::string_view text, std::string_view separator) {
    if (separator.empty()) return {};
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return {};
    return text.substr(at + separator.size(), kTextAfterLimit);
}

}  // namespace sapidoro
