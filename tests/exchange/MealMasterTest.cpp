#include "exchange/MealMasterReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>

using namespace sapidoro;
using Lines = std::vector<std::string>;

namespace {

const std::vector<std::string> kDishes = {"Dessert", "Primo", "Contorno"};

}  // namespace

// Our own file holding every layout: both headers, one and two columns, continuations,
// headings, paragraphs, a recipe whose header never ends, one with no name, text between.
TEST(MealMasterReader, ReadsEveryLayoutOfTheSampleFile) {
    const ImportResult result =
        ReadMealMasterFile(SAPIDORO_EXCHANGE_SAMPLES "every-layout.mmf", kDishes);
    EXPECT_EQ(result.stopMessage, "");
    EXPECT_EQ(result.encoding, "Windows-1252");
    ASSERT_EQ(result.recipes.size(), 5u);

    const RecipeRecord &torta = result.recipes[0].record;
    EXPECT_EQ(torta.name, "Torta Di Mele");
    EXPECT_EQ(torta.dish, "Dessert");  // the collection's spelling of "dessert"
    EXPECT_EQ(torta.persons, "8");
    EXPECT_EQ(torta.mainIngredient, "");
    EXPECT_EQ(torta.notes, "");
    EXPECT_EQ(torta.ingredients,
              (Lines{"300 g ==== Farina", "3 ==== Uova", "1 Cucchiaio ==== Zucchero di canna",
                     "1 Cucchiaino ==== Lievito per dolci, setacciato con la farina",
                     "1/2 Tazza ==== Latte", "GUARNIZIONE", "2 ==== Mele renette",
                     "1 Pizzico ==== Cannella"}));
    EXPECT_EQ(torta.preparation,
              (Lines{"Mescolare la farina con le uova e lo zucchero, poi aggiungere pi\xF9 latte.",
                     "Cuocere in forno a 180 gradi per quaranta minuti; servire tiepida."}));
    EXPECT_TRUE(result.recipes[0].problems.empty());

    // Two columns: the left one's ingredients, then the right one's.
    const RecipeRecord &pasta = result.recipes[1].record;
    EXPECT_EQ(pasta.name, "Pasta E Ceci");
    EXPECT_EQ(pasta.dish, "");
    EXPECT_EQ(pasta.persons, "4");
    EXPECT_EQ(pasta.ingredients,
              (Lines{"320 g ==== Pasta corta", "2 Cucchiai ==== Olio extravergine d'oliva",
                     "1 Pizzico ==== Sale", "400 g ==== Ceci lessati",
                     "1 ==== Spicchio d'aglio schiacciato", "IN TAVOLA", " ==== Pepe nero"}));
    EXPECT_EQ(pasta.preparation, Lines{"Rosolare l'aglio nell'olio, unire i ceci e la pasta."});

    // Its header never ends: closed where the next recipe begins, and said so.
    const ImportedRecipe &risotto = result.recipes[2];
    EXPECT_EQ(risotto.record.dish, "Primo");
    EXPECT_EQ(risotto.record.persons, "1");
    EXPECT_EQ(risotto.record.ingredients,
              (Lines{"320 g ==== Riso Carnaroli", "1 Confezione ==== Zafferano"}));
    ASSERT_EQ(risotto.problems.size(), 1u);
    EXPECT_NE(risotto.problems[0].find("chiusura"), std::string::npos);

    const ImportedRecipe &unnamed = result.recipes[3];
    EXPECT_EQ(unnamed.record.name, "");
    EXPECT_EQ(unnamed.record.persons, "2");
    EXPECT_EQ(unnamed.record.ingredients, Lines{"1 lg ==== Patata"});  // no Italian unit
    EXPECT_EQ(unnamed.problems, Lines{"La ricetta non ha un nome."});

    const ImportedRecipe &last = result.recipes[4];
    EXPECT_EQ(last.record.name, "Brodo Senza Fine");
    EXPECT_EQ(last.record.persons, "6");
    EXPECT_EQ(last.record.ingredients, Lines{"1 l ==== Acqua"});
    ASSERT_EQ(last.problems.size(), 1u);
    EXPECT_NE(last.problems[0].find("fine del file"), std::string::npos);
}

// The units spelled out in Italian agree with their amount; units without an Italian
// kitchen unit are kept; a name holding the separator is a whole line of an export.
TEST(MealMasterReader, IngredientColumnsBecomeCollectionLines) {
    const struct {
        const char *amount, *unit, *name, *line;
    } cases[] = {
        {"1", "tb", "Olio", "1 Cucchiaio ==== Olio"},
        {"2", "tb", "Olio", "2 Cucchiai ==== Olio"},
        {"1", "T", "Olio", "1 Cucchiaio ==== Olio"},
        {"1", "t", "Sale", "1 Cucchiaino ==== Sale"},
        {"1/2", "c", "Latte", "1/2 Tazza ==== Latte"},
        {"3/2", "c", "Latte", "3/2 Tazze ==== Latte"},
        {"1 1/2", "c", "Latte", "1 1/2 Tazze ==== Latte"},
        {"0.5", "l", "Acqua", "0.5 l ==== Acqua"},
        {"", "pn", "Sale", "Pizzico ==== Sale"},
        {"1", "oz", "Burro", "1 oz ==== Burro"},
        {"", "", "Sale", " ==== Sale"},
        {"2", "", "Spicchio ==== Aglio", "2 Spicchio ==== Aglio"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IngredientLineFromColumns(c.amount, c.unit, c.name), c.line) << c.line;
}

TEST(MealMasterReader, HostileFilesGiveAMessageOrAPartialList) {
    const std::string recipe =
        "MMMMM----- x\r\n\r\n      Title: Uno\r\n\r\n      1 c  Latte\r\n\r\n  "
        "Bollire.\r\nMMMMM\r\n";
    {
        // One endless line after a whole recipe: the recipe, then a message.
        std::string bytes = recipe + std::string(3 << 20, 'x');
        const ImportResult result = ReadMealMasterText(bytes, {});
        ASSERT_EQ(result.recipes.size(), 1u);
        EXPECT_NE(result.stopMessage.find("supera"), std::string::npos);
    }
    {
        // A file of two gigabytes holding no line end: a message at the first megabyte.
        test::TempDir dir;
        const std::string path = dir.write("grande.mmf", recipe);
        ASSERT_EQ(::truncate(path.c_str(), std::int64_t{2} << 30), 0);
        const ImportResult result = ReadMealMasterFile(path, {});
        EXPECT_EQ(result.recipes.size(), 1u);
        EXPECT_NE(result.stopMessage.find("supera"), std::string::npos);
    }
    {
        // A header, a title and nothing else: one recipe, flagged.
        const ImportResult result = ReadMealMasterText("MMMMM----- x\n      Title: Solo", {});
        ASSERT_EQ(result.recipes.size(), 1u);
        EXPECT_EQ(result.recipes[0].record.name, "Solo");
        EXPECT_EQ(result.recipes[0].record.persons, "1");
        EXPECT_EQ(result.recipes[0].problems.size(), 1u);
    }
    {
        // Headers with no title are no recipes; a Ctrl-Z of joined DOS files ends only a line.
        const ImportResult result = ReadMealMasterText(
            "MMMMM----- x\nMMMMM----- y\n\nnot a title\n" + recipe + "\x1A" + recipe, {});
        EXPECT_EQ(result.recipes.size(), 2u);
        EXPECT_EQ(result.stopMessage, "");
    }
    {
        // Many recipes in lines of every ending: LF, CR LF, lone CR.
        std::string bytes;
        for (int i = 0; i < 300; ++i) bytes += i % 3 == 0 ? recipe : i % 3 == 1 ? "\n" : "\r";
        std::string mixed = recipe;
        for (char &c : mixed)
            if (c == '\n') c = '\r';
        const ImportResult result = ReadMealMasterText(recipe + mixed + bytes, {});
        EXPECT_EQ(result.recipes.size(), 102u);
        for (const ImportedRecipe &r : result.recipes)
            ASSERT_EQ(r.record.ingredients, Lines{"1 Tazza ==== Latte"});
    }
}
