#pragma once

#include "data/RecipeFile.h"
#include "writer/RecipeFields.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sapidoro {

// Italian captions of the fields, as messages name them.
inline constexpr std::string_view kFieldName = "Nome";
inline constexpr std::string_view kFieldDish = "Piatto";
inline constexpr std::string_view kFieldMainIngredient = "Ingrediente principale";
inline constexpr std::string_view kFieldPersons = "Persone";
inline constexpr std::string_view kFieldNotes = "Note";
inline constexpr std::string_view kFieldIngredients = "Ingredienti";
inline constexpr std::string_view kFieldPreparation = "Preparazione";
inline constexpr std::string_view kFieldIngredient = "Ingrediente";
inline constexpr std::string_view kFieldQuantity = "Quantità";
inline constexpr std::string_view kFieldCalories = "Calorie";

// UTF-8 text of a field in Windows-1252; a character Windows-1252 has no byte for is
// refused (ESaveRefused naming the field and the character). `line` counts from 1; 0 for a
// one-line field.
std::string CollectionText(std::string_view utf8, std::string_view field, int line = 0);

// Refuses (ESaveRefused, naming the field and the fault) a recipe whose record would not read
// back as it stands: an empty name, fewer than one person, a line break, a Ctrl-Z, a line
// ":Ricette" or "-Nome" in any field, or an ingredient line "-Preparazione".
void CheckRecipeFields(const RecipeFields &recipe);

// The same checks on a record read back, whose persons line must be a whole number from 1.
void CheckRecordRead(const RecipeRecord &record);

// The record in the collection's conventions: lines 1 to 13 and on, CR LF line ends, its
// separator line last.
std::string EncodeRecord(const RecipeFields &recipe);
// The same, appended to `out`.
void AppendEncodedRecord(std::string &out, const RecipeFields &recipe);
// A record read back, encoded again: the same bytes when it reads as it was written.
void AppendEncodedRecord(std::string &out, const RecipeRecord &record);

// A 64-bit digest of bytes.
std::uint64_t BytesDigest(std::string_view bytes);

// The record at the start of `bytes` as the program's readers see it; `end` is where the
// reader stopped and `complete` whether the record was closed.
RecipeFields DecodeRecord(std::string_view bytes, std::size_t &end, bool &complete);

// The fields of a record read from the file; throws EConvertError for a persons line that
// is not a whole number.
RecipeFields FieldsOf(const RecipeRecord &record);

// Checks, encodes and reads back: the record bytes, or ESaveRefused when they would not
// read back identical.
std::string VerifiedRecord(const RecipeFields &recipe);

// The same for a calorie table entry: refuses an empty ingredient or quantity, line breaks,
// Ctrl-Z and texts that would split elsewhere ("_ING", " == ", " === ").
std::string VerifiedCalorieEntry(const CalorieEntryFields &entry);

}  // namespace sapidoro
