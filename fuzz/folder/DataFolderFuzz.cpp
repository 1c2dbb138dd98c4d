// Runs the whole logic layer over a data folder made from arbitrary bytes and compares every
// result with the plain reference: the listing and its sort, a search under every scope, a
// chain of narrowing searches, the lookup and calorie count of a listed name, the ingredient
// names, the places, the picture file, and the codec, number and split helpers on the texts.
//
// The input is cut at "#~#" into: control bytes, ricette.txt, ing.txt, luoghi.txt, then any
// number of search strings. Control bytes (missing ones count as 0): [0] instruction set level
// of the line index, [1] block size (0: 4096) and [2] read size (0: unbounded) of the
// in-memory readers, [3] scopes of the narrowing chain, [4] listed name to look up, [5] scope
// of the in-memory scan and whether the name gets a picture file, [6] first search string.
#include "Checks.h"
#include "FuzzParts.h"
#include "PlainReference.h"
#include "TempFolder.h"

#include "common/Collation.h"
#include "common/Exception.h"
#include "data/CalorieTable.h"
#include "data/IntConvert.h"
#include "data/Places.h"
#include "data/RecipeFile.h"
#include "scan/IndexedTextFile.h"
#include "scan/LineIndex.h"
#include "search/NameCatalog.h"
#include "search/RecipeScan.h"
#include "search/RecordJump.h"
#include "search/Search.h"
#include "view/Calories.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace sapidoro;
using fuzz::Check;
using plain::Strings;

namespace {

constexpr SearchScope kScopes[] = {SearchScope::Ingredienti, SearchScope::Luogo,
                                   SearchScope::Nome,        SearchScope::Persone,
                                   SearchScope::Piatto,      SearchScope::RicettaAdattaA};

plain::Scope PlainScope(SearchScope scope) {
    switch (scope) {
        case SearchScope::Ingredienti:
            return plain::Scope::Ingredienti;
        case SearchScope::Luogo:
            return plain::Scope::Luogo;
        case SearchScope::Nome:
            return plain::Scope::Nome;
        case SearchScope::Persone:
            return plain::Scope::Persone;
        case SearchScope::Piatto:
            return plain::Scope::Piatto;
        case SearchScope::RicettaAdattaA:
            return plain::Scope::RicettaAdattaA;
    }
    fuzz::Fail("unknown scope");
}

// Everything one input gives.
struct Input {
    std::string control;
    std::string recipes, table, places;
    Strings strings;  // the search strings of the input, then texts from the files
    unsigned char at(std::size_t i) const {
        return i < control.size() ? static_cast<unsigned char>(control[i]) : 0;
    }
    const std::string &string(std::size_t i) const { return strings[i % strings.size()]; }
    std::unique_ptr<ByteSource> source(const std::string &bytes) const {
        const std::size_t read = at(2) == 0 ? static_cast<std::size_t>(-1) : at(2);
        return MakeMemorySource(bytes, read);
    }
    std::size_t blockSize() const { return at(1) == 0 ? 4096 : at(1); }
};

void CheckListing(const Input &in, const fuzz::TempFolder &folder, Strings &names) {
    const plain::Listing want = plain::ListNames(in.recipes);
    const RecipeListing got = ListRecipeNames(folder.file("ricette.txt"));
    Check(got.names == want.names && got.cutShort == want.cutShort, "listing");
    TextFile small(in.source(in.recipes), in.blockSize());
    const RecipeListing inBlocks = ListRecipeNames(small);
    Check(inBlocks.names == want.names && inBlocks.cutShort == want.cutShort,
          "listing in small blocks");
    names = got.names;
    SortNames(names);
    Check(names == plain::SortedNames(want.names), "sorted names");
    for (std::size_t i = 1; i < names.size() && i < 16; ++i) {
        Check(CompareNames(names[i - 1], names[i]) == plain::NameOrder(names[i - 1], names[i]),
              "name order of neighbours");
    }
    for (std::size_t i = 0; i + 1 < in.strings.size() && i < 4; ++i) {
        Check(CompareNames(in.strings[i], in.strings[i + 1]) ==
                  plain::NameOrder(in.strings[i], in.strings[i + 1]),
              "name order of texts");
    }
}

// One search of the product against the reference; returns the new result list.
Strings CheckSearch(const Input &in, const fuzz::TempFolder &folder, SearchScope scope,
                    const std::string &needle, const Strings &resultList, bool complete) {
    const plain::Scan scan = plain::ScanFile(in.recipes, PlainScope(scope), needle);
    std::size_t records = 0;
    Strings got = SearchRecipes(folder.file("ricette.txt"), scope, needle, resultList, complete,
                                [&records] { ++records; });
    Check(records == scan.records, "records walked by a search");
    Check(got == plain::Collect(resultList, complete, scan.matches), "search result");
    return got;
}

void CheckSearches(const Input &in, const fuzz::TempFolder &folder, const Strings &names) {
    const std::size_t first = in.at(6);
    for (std::size_t k = 0; k < std::size(kScopes); ++k) {
        CheckSearch(in, folder, kScopes[k], in.string(first + k), names, true);
    }
    // Narrowing: each search starts from the result of the one before.
    Strings results = names;
    unsigned scopes = in.at(3);
    for (std::size_t step = 0; step < 3; ++step, scopes /= 6) {
        const bool complete = results.size() == names.size();
        results = CheckSearch(in, folder, kScopes[scopes % 6], in.string(first + 2 * step + 1),
                              results, complete);
    }
    // The raw matches, in order and with repeats, read in small blocks.
    const SearchScope scope = kScopes[(in.at(5) >> 1) % 6];
    const std::string &needle = in.string(first);
    const plain::Scan want = plain::ScanFile(in.recipes, PlainScope(scope), needle);
    IndexedTextFile small(in.source(in.recipes), in.blockSize());
    Strings matches;
    std::size_t records = 0;
    ScanRecipes(
        small, scope, needle, [&matches](std::string_view name) { matches.emplace_back(name); },
        [&records] { ++records; });
    Check(matches == want.matches && records == want.records, "scan in small blocks");
}

// The record table's roads, on the file written an hour back so that the start-up walk keeps a
// table of it: every scope's raw matches and the pick by name against the reference.
void CheckTableRoads(const Input &in, const fuzz::TempFolder &folder, const std::string &name);

bool SameRecord(const RecipeRecord &got, const plain::Record &want) {
    return got.dish == want.dish && got.mainIngredient == want.mainIngredient &&
           got.persons == want.persons && got.notes == want.notes &&
           got.ingredients == want.ingredients && got.preparation == want.preparation &&
           got.complete == want.complete;
}

void CheckCalories(const Input &in, const fuzz::TempFolder &folder, const plain::Record &record) {
    const plain::Calories want = plain::CountCalories(in.table, record.ingredients);
    CalorieTotals totals;
    Strings notFound;
    std::string error;
    try {
        ComputeCalories(folder.file("ing.txt"), record.ingredients, totals,
                        [&notFound](const std::string &line) { notFound.push_back(line); });
    } catch (const EConvertError &e) {
        error = e.message();
    }
    Check(error == want.error.value_or(std::string()), "calorie error");
    Check(totals.calorieSum == want.sum && totals.missingIngredientCount == want.missing,
          "calorie totals");
    Check(notFound == want.notFound, "ingredients not found");

    // One lookup straight from the table.
    if (!record.ingredients.empty()) {
        const IngredientLine parts = SplitIngredientLine(record.ingredients.front());
        const std::string_view quantity = LookupQuantity(parts.quantity);
        const std::optional<std::string> entry =
            plain::FirstEntry(in.table, parts.ingredient, quantity);
        CalorieTableReader reader(folder.file("ing.txt"));
        fuzz::CheckCalorieLookup(
            [&]() -> std::optional<std::int32_t> {
                const std::optional<std::string_view> text =
                    reader.FindCalories(parts.ingredient, quantity);
                if (!text) return std::nullopt;
                return StrToInt(*text);
            },
            entry);
    }

    const std::optional<std::int32_t> persons = plain::ParseInt(record.persons);
    if (!want.error && persons) {
        // The spinner holds 1 to 100.
        const int shown = *persons < 1 ? 1 : *persons > 100 ? 100 : *persons;
        const CalorieTexts texts = ShowCalories(totals, shown);
        const std::string count = std::to_string(want.missing);
        Check(texts.calories == std::to_string(want.sum / shown) &&
                  texts.hint == count + " INGREDIENTI NON TROVATI)" &&
                  texts.label == " INGREDIENTI NON TROVATI: " + count,
              "calorie texts");
    }
}

void CheckLookup(const Input &in, const fuzz::TempFolder &folder, const std::string &name) {
    const std::optional<plain::Record> want = plain::FindRecord(in.recipes, name);
    const std::optional<RecipeRecord> got = FindRecipe(folder.file("ricette.txt"), name);
    Check(got.has_value() == want.has_value(), "lookup finds the name");
    TextFile small(in.source(in.recipes), in.blockSize());
    const bool seek = SeekRecipe(small, name);
    Check(seek == want.has_value(), "lookup in small blocks");
    if (!want) return;
    Check(got->name == name && SameRecord(*got, *want), "record read");
    Check(SameRecord(ReadRecipeBody(small, name), *want), "record read in small blocks");
    fuzz::CheckInteger(got->persons);
    CheckCalories(in, folder, *want);
}

void CheckTableRoads(const Input &in, const fuzz::TempFolder &folder, const std::string &name) {
    folder.backdate("ricette.txt");
    const std::string path = folder.file("ricette.txt");
    const NameCatalog catalog = NameCatalog::List(path);
    // Twice round, so that the second searches find the records' layout learnt.
    for (std::size_t k = 0; k < 2 * std::size(kScopes); ++k) {
        const SearchScope scope = kScopes[(k + in.at(7)) % std::size(kScopes)];
        const std::string &needle = in.string(in.at(6) + k);
        const plain::Scan want = plain::ScanFile(in.recipes, PlainScope(scope), needle);
        Strings matches;
        std::size_t records = 0;
        ScanRecipes(
            path, catalog.records(), scope, needle,
            [&matches](std::string_view found) { matches.emplace_back(found); },
            [&records] { ++records; });
        Check(matches == want.matches && records == want.records, "scan over the record table");
    }
    for (const std::string &wanted : {name, in.string(1)}) {
        const std::optional<plain::Record> want = plain::FindRecord(in.recipes, wanted);
        const std::optional<RecipeRecord> got = FindListedRecipe(path, catalog, wanted);
        Check(got.has_value() == want.has_value() && (!want || SameRecord(*got, *want)),
              "pick over the record table");
    }
}

Input ReadInput(std::string_view bytes) {
    const std::vector<std::string_view> parts = fuzz::SplitParts(bytes, 4);
    Input in;
    in.control = parts[0];
    in.recipes = parts[1];
    in.table = parts[2];
    in.places = parts[3];
    for (std::size_t i = 4; i < parts.size() && i < 12; ++i) in.strings.emplace_back(parts[i]);
    // Texts that the program itself offers for searching.
    const Strings places = plain::Places(in.places);
    const Strings ingredients = plain::IngredientNames(in.table);
    in.strings.push_back(places.front());
    if (!ingredients.empty()) in.strings.push_back(ingredients.front());
    in.strings.push_back("4");
    return in;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static fuzz::TempFolder folder;
    const Input in = ReadInput(std::string_view(reinterpret_cast<const char *>(data), size));
    folder.write("ricette.txt", in.recipes);
    folder.write("ing.txt", in.table);
    folder.write("luoghi.txt", in.places);
    const ScopedIndexLevel level(static_cast<IndexLevel>(in.at(0) % 3));

    Strings names;
    CheckListing(in, folder, names);
    CheckSearches(in, folder, names);
    const std::string &name = names.empty() ? in.string(0) : names[in.at(4) % names.size()];
    CheckLookup(in, folder, name);
    CheckLookup(in, folder, in.string(1));
    CheckTableRoads(in, folder, name);

    Check(ReadIngredientNames(folder.file("ing.txt")) == plain::IngredientNames(in.table),
          "ingredient names");
    Check(ReadPlaces(folder.file("luoghi.txt")) == plain::Places(in.places), "places");
    fuzz::CheckPicture(folder, name, (in.at(5) & 1) != 0);

    for (const std::string &text : names) fuzz::CheckTexts(text);
    for (const std::string &text : in.strings) {
        fuzz::CheckTexts(text);
        fuzz::CheckInteger(text);
    }
    for (std::size_t i = 0; i + 1 < in.strings.size(); ++i)
        fuzz::CheckSplits(in.strings[i], in.strings[i + 1]);
    // The reference's kept lines go with the input, or libFuzzer reruns it as a leak.
    plain::ForgetLines();
    return 0;
}
