#include "SampleData.h"

#include "data/CalorieTable.h"
#include "data/IntConvert.h"
#include "data/RecipeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace sapidoro;
using test::SampleFile;
using test::SampleRecords;

namespace {

const std::set<std::string> kDishes = {"Antipasto", "Bevande", "Carne", "Contorno", "Dessert",
                                       "Pesce",     "Pollame", "Primo", "Salsa"};

bool Contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(SampleRecipes, EveryRecordWalksToTheEndOfTheFile) {
    const RecipeListing listing = ListRecipeNames(SampleFile("ricette.txt"));
    EXPECT_FALSE(listing.cutShort);
    EXPECT_GE(listing.names.size(), 60u);

    // A second record with the same name could never be loaded: the lookup finds the first.
    std::vector<std::string> sorted = listing.names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(SampleRecipes, EveryNameLoadsACompleteWellFormedRecord) {
    const std::vector<std::string> names = ListRecipeNames(SampleFile("ricette.txt")).names;
    ASSERT_EQ(SampleRecords().size(), names.size()) << "a listed name is not found by the lookup";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const RecipeRecord &r = SampleRecords()[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.name, names[i]);
        EXPECT_TRUE(r.complete);
        EXPECT_EQ(kDishes.count(r.dish), 1u) << r.dish;
        EXPECT_FALSE(r.mainIngredient.empty());
        std::int32_t persons = 0;
        EXPECT_NO_THROW(persons = StrToInt(r.persons));
        EXPECT_GE(persons, 1);
        EXPECT_LE(persons, 20);
        EXPECT_EQ(r.persons, std::to_string(persons)) << "the \"Persone\" scope compares the text";
        EXPECT_FALSE(r.notes.empty());
        EXPECT_FALSE(r.ingredients.empty());
        EXPECT_FALSE(r.preparation.empty());
        for (const std::string &line : r.ingredients) {
            EXPECT_TRUE(Contains(line, " ==== ")) << line;
            EXPECT_FALSE(SplitIngredientLine(line).ingredient.empty()) << line;
        }
    }
}

TEST(SampleRecipes, OfferSomethingForEveryPresetOfTheSearchScopes) {
    std::set<std::string> dishes, persons;
    int bimby = 0, pressureCooker = 0, smallChildren = 0, unquantified = 0;
    for (const RecipeRecord &r : SampleRecords()) {
        dishes.insert(r.dish);
        persons.insert(r.persons);
        bimby += Contains(r.name, "Bimby");
        pressureCooker += Contains(r.name, "Pentola A Pressione");
        smallChildren += Contains(r.notes, "Bambini piccoli");
        for (const std::string &line : r.ingredients)
            unquantified += SplitIngredientLine(line).quantity.empty();
    }
    EXPECT_EQ(dishes, kDishes);
    for (const char *value : {"1", "2", "4", "6", "8", "10", "12", "20"})
        EXPECT_EQ(persons.count(value), 1u) << value;
    EXPECT_GE(bimby, 2);
    EXPECT_GE(pressureCooker, 2);
    EXPECT_GE(smallChildren, 3);
    EXPECT_GE(unquantified, 10);
}
