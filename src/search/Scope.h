#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace sapidoro {

// The search scopes; each names the field of a record it tests.
enum class SearchScope { Ingredienti, Luogo, Nome, Persone, Piatto, RicettaAdattaA };

// The names of the scopes, in the order of the enumeration and of the scope box's list.
inline constexpr std::array<std::string_view, 6> kScopeNames = {
    "Ingredienti", "Luogo", "Nome", "Persone", "Piatto", "Ricetta Adatta A"};

// The scope named by the whole text, case-sensitive; nothing for any other text.
std::optional<SearchScope> ParseScope(std::string_view text);

// The record line a scope compares (1-based); ingredient lines for "Ingredienti" start at 12.
int ComparedLineOf(SearchScope scope);

}  // namespace sapidoro
