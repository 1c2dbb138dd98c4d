// Reads arbitrary bytes as a MealMaster file: never a crash, a hang or unbounded memory; every
// field is one line of the collection; and what was read, exported again and read back, keeps
// its recipes, names, dishes and persons.
#include "FuzzParts.h"
#include "exchange/MealMasterReader.h"
#include "exchange/MealMasterWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace sapidoro;
using fuzz::Fail;

namespace {

bool IsOneLine(std::string_view text) {
    return text.find_first_of("\r\n\x1A") == text.npos;
}

void CheckLines(const RecipeRecord &record) {
    if (!IsOneLine(record.name) || !IsOneLine(record.dish) || !IsOneLine(record.persons) ||
        !IsOneLine(record.notes) || !IsOneLine(record.mainIngredient))
        Fail("a field holds a line end");
    for (const auto *lines : {&record.ingredients, &record.preparation})
        for (const std::string &line : *lines)
            if (!IsOneLine(line)) Fail("a line holds a line end");
    if (record.persons.empty() ||
        record.persons.find_first_not_of("0123456789") != std::string::npos)
        Fail("persons is not a whole number");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> dishes = {"Primo", "Dessert"};
    const ImportResult first = ReadMealMasterText(bytes, dishes);
    std::vector<RecipeRecord> records;
    for (const ImportedRecipe &recipe : first.recipes) {
        CheckLines(recipe.record);
        records.push_back(recipe.record);
    }
    const ImportResult again = ReadMealMasterText(WriteMealMaster(records), dishes);
    if (again.recipes.size() != records.size()) Fail("an export reads back another count");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecipeRecord &a = records[i];
        const RecipeRecord &b = again.recipes[i].record;
        if (a.name != b.name || a.dish != b.dish || a.persons != b.persons)
            Fail("an export reads back other fields");
    }
    return 0;
}
