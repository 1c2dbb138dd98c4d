#include "data/CalorieTable.h"
#include "data/Places.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace sapidoro;
using test::CrLf;
using Strings = std::vector<std::string>;

TEST(CalorieTable, SplitsEntriesAndIngredientLines) {
    const CalorieEntry e = SplitCalorieEntry("Farina_ING xx == 200 g === 700");
    EXPECT_EQ(e.name, "Farina");
    EXPECT_EQ(e.quantity, "200 g");
    EXPECT_EQ(e.calories, "700");
    EXPECT_EQ(SplitCalorieEntry("Senza marcatore").name, "Senza marcatore");

    const IngredientLine salt = SplitIngredientLine(" ==== Sale");
    EXPECT_EQ(salt.quantity, "");
    EXPECT_EQ(salt.ingredient, "Sale");
    EXPECT_EQ(LookupQuantity(salt.quantity), "0");
    const IngredientLine bare = SplitIngredientLine("Pepe");
    EXPECT_EQ(bare.quantity, "Pepe");
    EXPECT_EQ(bare.ingredient, "");
}

TEST(CalorieTable, IngredientNamesCollapseAdjacentRuns) {
    test::TempDir dir;
    const auto path = dir.write(
        "ing.txt", CrLf({"_ING == 1 === 1", "Burro_ING == 10 g === 75", "Burro_ING == 20 g === 150",
                         "", "", "Sale_ING == 0 === 0", "Burro_ING == 30 g === 225", "Solo nome"}));
    EXPECT_EQ(ReadIngredientNames(path), (Strings{"Burro", "", "Sale", "Burro", "Solo nome"}));
    EXPECT_EQ(ReadIngredientNames(dir.write("empty.txt", "")), Strings{});
}

TEST(Places, FirstLineThenAtLeastOneMore) {
    test::TempDir dir;
    EXPECT_EQ(ReadPlaces(dir.write("a.txt", "Roma")), (Strings{"Roma", ""}));
    EXPECT_EQ(ReadPlaces(dir.write("b.txt", "Roma\r\n")), (Strings{"Roma", ""}));
    EXPECT_EQ(ReadPlaces(dir.write("c.txt", "")), (Strings{"", ""}));
    EXPECT_EQ(ReadPlaces(dir.write("d.txt", "Roma\r\nMilano\r\n")), (Strings{"Roma", "Milano"}));
    EXPECT_EQ(ReadPlaces(dir.write("e.txt", " Val d'Aosta \r\nNapoli")),
              (Strings{" Val d'Aosta ", "Napoli"}));
}
