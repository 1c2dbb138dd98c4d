#include "search/Scope.h"

namespace sapidoro {

std::optional<SearchScope> ParseScope(std::string_view text) {
    for (std::size_t i = 0; i < kScopeNames.size(); ++i) {
        if (text == kScopeNames[i]) return static_cast<SearchScope>(i);
    }
    return std::nullopt;
}

int ComparedLineOf(SearchScope scope) {
    switch (scope) {
        case SearchScope::Nome:
            return 2;
        case SearchScope::Piatto:
            return 4;
        case SearchScope::Persone:
            return 8;
        case SearchScope::Luogo:
        case SearchScope::RicettaAdattaA:
            return 10;
        case SearchScope::Ingredienti:
            return 12;
    }
    return 12;
}

}  // namespace sapidoro
