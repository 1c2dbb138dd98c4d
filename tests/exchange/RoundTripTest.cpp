#include "exchange/CollectionRecipes.h"
#include "exchange/JsonLdReader.h"
#include "exchange/JsonLdWriter.h"
#include "exchange/MealMasterReader.h"
#include "exchange/MealMasterWriter.h"

#include <gtest/gtest.h>

using namespace sapidoro;

namespace {

void ExpectSameRecipes(const std::vector<RecipeRecord> &expected, const ImportResult &result) {
    EXPECT_EQ(result.stopMessage, "");
    ASSERT_EQ(result.recipes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const RecipeRecord &want = expected[i];
        const RecipeRecord &got = result.recipes[i].record;
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.dish, want.dish);
        EXPECT_EQ(got.mainIngredient, want.mainIngredient);
        EXPECT_EQ(got.persons, want.persons);
        EXPECT_EQ(got.notes, want.notes);
        EXPECT_EQ(got.ingredients, want.ingredients);
        EXPECT_EQ(got.preparation, want.preparation);
        EXPECT_TRUE(result.recipes[i].problems.empty());
        EXPECT_TRUE(result.recipes[i].unwritable.empty());
    }
}

// Recipes whose lines test the layouts an export must choose between.
std::vector<RecipeRecord> AwkwardRecipes() {
    RecipeRecord a;
    a.name = "Perch\xE9 S\xEC \x80 & \"Virgolette\"";
    a.dish = "Primo";
    a.mainIngredient = "Pasta";
    a.persons = "12";
    a.notes = "Note: con due punti & altro";
    a.ingredients = {" ==== Sale",
                     "1 1/2 Tazze ==== Latte",
                     "q.b. ==== Pepe",
                     "2 Spicchi grandi ==== Aglio",
                     "1 Cucchiaio ==== -Trattino",
                     "3 Cucchiai ==== x ==== y",
                     "----- 2 ==== trattini",
                     std::string(300, 'n') + " ==== lungo"};
    a.preparation = {"MMMMM", "-----", "2 c  sembra un ingrediente",
                     std::string(200, 'p') + " " + std::string(100, 'q') + " fine",
                     "Note: l'ultima riga sembra un'etichetta"};
    RecipeRecord b;
    b.name = "Senza Niente";
    b.persons = "1";
    return {a, b};
}

}  // namespace

// Every sample recipe, and recipes built to trip the layouts, come back field for field
// through both export formats.
TEST(RoundTrip, EveryRecipeThroughBothFormats) {
    std::vector<RecipeRecord> sample = ReadAllRecipes(SAPIDORO_SAMPLE_DATA "ricette.txt");
    ASSERT_EQ(sample.size(), 70u);
    for (const auto &recipes : {sample, AwkwardRecipes()}) {
        std::vector<std::string> dishes;
        for (const RecipeRecord &r : recipes) dishes.push_back(r.dish);
        ExpectSameRecipes(recipes, ReadMealMasterText(WriteMealMaster(recipes), dishes));
        // Section headings (lines without a quantity separator) have a layout of their own.
        std::vector<RecipeRecord> headed = recipes;
        headed[0].ingredients.insert(headed[0].ingredients.begin() + 1, "PER IL RIPIENO");
        ExpectSameRecipes(headed, ReadMealMasterText(WriteMealMaster(headed), dishes));
        ExpectSameRecipes(headed, ReadWebRecipeText(WriteJsonLd(headed), false, "", "", dishes));
        ExpectSameRecipes(recipes, ReadWebRecipeText(WriteJsonLd(recipes), false, "", "", dishes));
        const std::vector<RecipeRecord> one(recipes.begin(), recipes.begin() + 1);
        ExpectSameRecipes(one, ReadWebRecipeText(WriteJsonLd(one), false, "", "", dishes));
    }
}

TEST(RoundTrip, ExportOfTheListOnShowTakesTheFirstRecordOfEachName) {
    const std::string path = SAPIDORO_SAMPLE_DATA "ricette.txt";
    const std::vector<RecipeRecord> all = ReadAllRecipes(path);
    const std::vector<RecipeRecord> named =
        ReadRecipesNamed(path, {all[5].name, "Non Esiste", all[0].name});
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[0].name, all[5].name);
    EXPECT_EQ(named[0].ingredients, all[5].ingredients);
    EXPECT_EQ(named[1].name, all[0].name);
    const CollectionIndex index = IndexCollection(path);
    EXPECT_EQ(index.names.size(), 70u);
    EXPECT_EQ(index.dishes.size(), 9u);
}
