#pragma once

#include "search/Scope.h"

#include <QString>
#include <QStringList>

namespace sapidoro {

// Every text the main window shows of its own, UTF-8: captions, hints, list entries,
// prompts and messages. The scope names are those of search/Scope.h; texts composed from
// the data (the calorie display, the recipe text) come from the view module.

inline constexpr char kApplicationTitle[] = "Sapidoro 1.3";
inline constexpr char kWindowCaption[] = "Sapidoro 1.3   https://sapidoro.example.org";

// Design captions and hints, as the controls are created.
inline constexpr char kPageCaption[] = "VISUALIZZA";
inline constexpr char kRicercheDesignCaption[] = "RICERCHE";
inline constexpr char kRicercheDesignHint[] = "Ricerche";
inline constexpr char kStringaDaCercareDesignText[] = "StringaDaCercare";
inline constexpr char kStringaDaCercareDesignHint[] = "Stringa da cercare";
inline constexpr char kInitialScope[] = "Ingredienti";
inline constexpr char kResetCaption[] = "RESET";
inline constexpr char kResetHint[] = "Annulla tutte le ricerche";
inline constexpr char kExitCaption[] = "ESCI";
inline constexpr char kWorkingListDesignText[] = "RicetteTrovateScambio";
inline constexpr char kLimitCaption[] = "Max 2000 ricette";
inline constexpr char kPrintSizeHint[] = "Grandezza del carattere di stampa";
inline constexpr char kCaloriesLabel[] = " CALORIE ";
inline constexpr char kNotFoundDesignLabel[] = " INGREDIENTI NON TROVATI";
inline constexpr char kPrintBufferDesignText[] = "Stampa";
inline constexpr char kLoadButtonCaption[] = "VISUALIZZA";

// The popup menu.
inline constexpr char kCopyMenuCaption[] = "&Copia";
inline constexpr char kPrintMenuCaption[] = "&Stampa";
inline constexpr char kPreviewMenuCaption[] = "&Anteprima di stampa\u2026";
inline constexpr char kPdfMenuCaption[] = "&Esporta in PDF\u2026";

// The collection entries of the popup menu and the folder dialog.
inline constexpr char kCollectionMenuCaption[] = "Raccolta";
inline constexpr char kOpenCollectionMenuCaption[] = "Apri raccolta\u2026";
inline constexpr char kRecentCollectionsMenuCaption[] = "Raccolte recenti";
inline constexpr char kReloadMenuCaption[] = "Ricarica raccolta";
inline constexpr char kCreateCollectionMenuCaption[] = "Crea una raccolta tua\u2026";
inline constexpr char kOpenCollectionDialogCaption[] = "Apri raccolta";

// Hints of the search button and the search box.
inline constexpr char kSearchButtonHint[] =
    "Ricerca progressiva (iniziare con le parole meno comuni)";
inline constexpr char kSearchBoxIngredientHint[] =
    " Iniziare con gli ingredienti meno comuni; è possibile specificare stringhe parziali "
    "(es. past)";
inline constexpr char kIngredientLoadingHint[] =
    "Ricerca progressiva (iniziare con l'ingrediente meno comune); è possibile specificare "
    "anche stringhe parziali (es. acet)";
inline constexpr char kProgressiveHint[] = "Ricerca progressiva";

// The message of a search that finds more recipes than are offered, and its caption.
inline constexpr char kTooManyResultsMessage[] =
    "Trovate più di 2000 ricette: fare una ricerca diversa. Iniziare dalle parole meno comuni.";
inline constexpr char kTooManyResultsCaption[] = "Error";

// The error report of a failure that carries no message.
inline constexpr char kUnknownErrorMessage[] = "Unknown error";

// One of the texts above as a widget text.
inline QString UiText(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// "Ricerca per <count> ingredienti", the prompt that stands in the search box.
QString IngredientPrompt(int count);

// "CERCA SU <count> RICETTE", the search button's caption.
QString SearchButtonCaption(qsizetype count);

// The scope box's list: the scope names in their order.
QStringList ScopeBoxItems();

// The search box's text and list under a scope with values of its own (Nome, Persone,
// Piatto, Ricetta Adatta A); empty for the others, whose values come from the data files.
struct ScopeValues {
    QString text;
    QStringList items;
};
ScopeValues FixedScopeValues(SearchScope scope);

}  // namespace sapidoro
