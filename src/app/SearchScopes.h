#pragma once

#include <QString>
#include <QStringList>

namespace sapidoro {

// The search scopes, named by the texts of the scope box.
enum class Scope { None, Ingredienti, Luogo, Nome, Persone, Piatto, RicettaAdattaA };

// The scope box's entries, in their order.
const QStringList &ScopeNames();

// The scope a text names: one of the six words as a whole, case-sensitive; else None.
Scope ScopeOf(const QString &text);

// The search box's text and list under a scope with values of its own (Nome, Persone,
// Piatto, Ricetta Adatta A); empty for the others.
struct ScopeValues {
    QString text;
    QStringList items;
};
ScopeValues FixedScopeValues(Scope scope);

// "Ricerca per <count> ingredienti", the prompt that stands in the search box.
QString IngredientPrompt(int count);

// "CERCA SU <count> RICETTE", the search button's caption.
QString SearchButtonCaption(qsizetype count);

// The first character in upper case and the rest in lower case, folding only the ASCII
// letters: accented letters and every other character stay as they are.
QString NormaliseSearchText(const QString &text);

// Hints of the search button and the search box.
inline constexpr char16_t kSearchButtonHint[] =
    u"Ricerca progressiva (iniziare con le parole meno comuni)";
inline constexpr char16_t kSearchBoxIngredientHint[] =
    u" Iniziare con gli ingredienti meno comuni; è possibile specificare stringhe parziali "
    u"(es. past)";
inline constexpr char16_t kIngredientLoadingHint[] =
    u"Ricerca progressiva (iniziare con l'ingrediente meno comune); è possibile specificare "
    u"anche stringhe parziali (es. acet)";
inline constexpr char16_t kProgressiveHint[] = u"Ricerca progressiva";

}  // namespace sapidoro
