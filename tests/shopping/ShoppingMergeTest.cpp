#include "shopping/ShoppingList.h"
#include "shopping/ShoppingMerge.h"

#include <gtest/gtest.h>

using namespace sapidoro;

namespace {

TEST(ShoppingMerge, SumsTheSameIngredientAcrossUnitsOfOneFamily) {
    const std::vector<ShoppingRecipe> recipes{
        {"Pizza",
         6,
         false,
         4,
         {"500 g ==== Farina", "2 Cucchiai ==== Olio", "q.b. ==== Sale", "1 Bustina ==== Lievito",
          "300 ml ==== Acqua", " ==== Origano"}},
        {"Focaccia",
         2,
         false,
         2,
         {"1 kg ==== Farina", "1 Cucchiaio ==== Olio", "100 ml ==== Olio", "q.b. ==== Sale",
          "1/2 l ==== Acqua", "1 ==== Cipolla"}},
        {"Sparita", 4, true, 0, {"9 kg ==== Farina"}},
    };
    std::vector<std::string> lines;
    for (const ShoppingItem &item : MergeIngredients(recipes)) {
        lines.push_back(item.ingredient + ": " + item.quantity + " / " +
                        std::to_string(item.recipes.size()));
    }
    const std::vector<std::string> expected{
        "Acqua: 950 ml / 0",  // 450 ml and half a litre
        "Cipolla: 1 / 0",
        "Farina: 1,75 kg / 0",           // 750 g and 1 kg; the missing recipe adds nothing
        "Lievito: 1 e 1/2 Bustine / 0",  // scaled by 6/4
        "Olio: 4 Cucchiai / 0",          // 3 and 1: spoons are summed apart from millilitres
        "Olio: 100 ml / 0",
        "Origano:  / 1",
        "Sale: q.b. / 2",  // listed once, from both recipes
    };
    EXPECT_EQ(lines, expected);

    const std::vector<std::string> text = ShoppingListLines(recipes, MergeIngredients(recipes));
    ASSERT_GE(text.size(), 5u);
    EXPECT_EQ(text[0], "LISTA DELLA SPESA");
    EXPECT_EQ(text[4], "Sparita - PERSONE: 4 (non presente nella raccolta)");
    EXPECT_EQ(text.back(), "Sale: q.b. (Pizza, Focaccia)");
    EXPECT_EQ(text[text.size() - 2], "Origano (Pizza)");
}

TEST(ShoppingList, SavedFormReadsBackAndDamageIsRefused) {
    ShoppingList list;
    list.Add("Pasta e fagioli", 6);
    list.Add("Torta \xE0 la mode\twith tab", 250);  // persons held to 1..100
    list.Add("Pasta e fagioli", 2);                 // one entry per recipe
    const std::string saved = WriteShoppingList(list);
    EXPECT_EQ(saved,
              "Sapidoro lista della spesa 1\r\n2\tPasta e fagioli\r\n"
              "100\tTorta \xE0 la mode\twith tab\r\n");
    EXPECT_EQ(ReadShoppingList(saved).entries(), list.entries());

    const std::string header = "Sapidoro lista della spesa 1\r\n";
    for (const std::string &damaged :
         {std::string(), std::string("\0\0\0", 3), std::string("Sapidoro lista della spesa 2\r\n"),
          header + "4 Pasta\r\n", header + "0\tPasta\r\n", header + "101\tPasta\r\n",
          header + "-4\tPasta\r\n", header + "99999999999999999999\tPasta\r\n", header + "4\t\r\n",
          header + "4\tPa\x01sta\r\n", header + "\r\n4\tPasta\r\n",
          header + std::string(kMaxShoppingListBytes, 'x')}) {
        EXPECT_THROW(ReadShoppingList(damaged), EShoppingListDamaged) << damaged.substr(0, 60);
    }
}

}  // namespace
