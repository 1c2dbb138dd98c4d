#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// A web page's ingredient text (Windows-1252) as an ingredient line of the collection: the
// leading amount and unit, read with the quantity grammar, as the quantity and the rest as
// the ingredient; else an amount written after the name ("Latte intero 200 ml", "Sale q.b.");
// the whole text as the ingredient when it has no amount. A text that
// already holds " ==== " is a line of an export and is kept as it is.
std::string IngredientLineFromText(std::string_view text);

// An ingredient text of a page as its line: a group heading ("Per la salsa:", a text ending in
// a colon, with no amount) as a line without the separator, as MealMaster headings are;
// anything else as `IngredientLineFromText` reads it.
std::string IngredientLineFromWebText(std::string_view text);

}  // namespace sapidoro
