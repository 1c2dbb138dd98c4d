#include "search/Scope.h"

namespace sapidoro {

std::optional<SearchScope> ParseScope(std::string_view text) {
    if (text == "Ingredienti") return SearchScope::Ingredienti;
    if (text == "Luogo") return SearchScope::Luogo;
    if (text == "Nome") return SearchScope::Nome;
    if (text == "Persone") return SearchScope::Persone;
    if (text == "Piatto") return SearchScope::Piatto;
    if (text == "Ricetta Adatta A") return SearchScope::RicettaAdattaA;
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
