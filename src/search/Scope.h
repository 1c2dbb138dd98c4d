#pragma once

#include <optional>
#include <string_view>

namespace sapidoro {

// The search scopes offered by the scope box; each names the field of a record it tests.
enum class SearchScope { Ingredienti, Luogo, Nome, Persone, Piatto, RicettaAdattaA };

// The scope named by the whole text, case-sensitive; nothing for any other text.
std::optional<SearchScope> ParseScope(std::string_view text);

// The record line a scope compares (1-based); ingredient lines for "Ingredienti" start at 12.
int ComparedLineOf(SearchScope scope);

}  // namespace sapidoro
