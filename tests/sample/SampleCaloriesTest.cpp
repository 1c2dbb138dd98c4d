#include "SampleData.h"

#include "data/CalorieTable.h"
#include "data/IntConvert.h"
#include "data/Places.h"
#include "data/TextFile.h"
#include "view/Calories.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using namespace sapidoro;
using test::SampleFile;
using test::SampleRecords;

namespace {

using Key = std::pair<std::string, std::string>;

std::vector<std::string> AllLines(const std::string &path) {
    TextFile file(path);
    std::vector<std::string> lines;
    while (!file.eof()) lines.push_back(file.readLine());
    return lines;
}

}  // namespace

TEST(SampleCalories, EveryIngredientLineLooksUpWithoutError) {
    // One reader answers as a fresh read of the table from its first line would.
    CalorieTableReader table(SampleFile("ing.txt"));
    int lines = 0, found = 0;
    std::set<std::string> missing;
    for (const RecipeRecord &r : SampleRecords()) {
        for (const std::string &line : r.ingredients) {
            SCOPED_TRACE(r.name + ": " + line);
            const IngredientLine parts = SplitIngredientLine(line);
            std::optional<std::int32_t> calories;
            EXPECT_NO_THROW({
                const auto text =
                    table.FindCalories(parts.ingredient, LookupQuantity(parts.quantity));
                if (text) calories = StrToInt(*text);
            });
            ++lines;
            if (calories) {
                ++found;
                EXPECT_GE(*calories, 0);
            } else {
                missing.insert(line);
                EXPECT_FALSE(parts.quantity.empty())
                    << "no \"0\" entry for an unquantified ingredient";
            }
        }
    }
    // A few pairs are left out on purpose, so that the list of ingredients not found shows
    // something.
    EXPECT_GE(missing.size(), 3u);
    EXPECT_GE(found * 10, lines * 9) << found << " of " << lines << " ingredient lines found";
}

TEST(SampleCalories, TableEntriesAreWellFormedAdjacentAndInUse) {
    std::set<Key> used;
    for (const RecipeRecord &r : SampleRecords())
        for (const std::string &line : r.ingredients) {
            const IngredientLine parts = SplitIngredientLine(line);
            used.emplace(parts.ingredient, LookupQuantity(parts.quantity));
        }

    std::set<Key> seen;
    const std::vector<std::string> lines = AllLines(SampleFile("ing.txt"));
    ASSERT_FALSE(lines.empty());
    for (const std::string &line : lines) {
        SCOPED_TRACE(line);
        ASSERT_NE(line.find("_ING == "), std::string::npos);
        const CalorieEntry entry = SplitCalorieEntry(line);
        std::int32_t calories = -1;
        EXPECT_NO_THROW(calories = StrToInt(entry.calories));
        EXPECT_GE(calories, 0);
        const Key key{std::string(entry.name), std::string(entry.quantity)};
        EXPECT_TRUE(seen.insert(key).second) << "a duplicate entry is never reached";
        EXPECT_EQ(used.count(key), 1u) << "no recipe uses this entry";
    }

    // Entries of one ingredient stand together, so the name list offers each name once.
    const std::vector<std::string> names = ReadIngredientNames(SampleFile("ing.txt"));
    const std::set<std::string> distinct(names.begin(), names.end());
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_EQ(distinct.count(""), 0u);
}

TEST(SamplePlaces, EveryPlaceIsNamedInTheNotesOfSomeRecipe) {
    const std::vector<std::string> places = ReadPlaces(SampleFile("luoghi.txt"));
    ASSERT_GE(places.size(), 10u);
    std::set<std::string> distinct;
    for (const std::string &place : places) {
        SCOPED_TRACE(place);
        EXPECT_FALSE(place.empty()) << "the list would offer an empty place";
        EXPECT_TRUE(distinct.insert(place).second);
        int recipes = 0;
        for (const RecipeRecord &r : SampleRecords())
            recipes += r.notes.find(place) != std::string::npos;
        EXPECT_GE(recipes, 1);
    }
}
