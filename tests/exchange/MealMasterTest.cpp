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

namespace {

// An ingredient line of two columns: the right one starts at the 42nd character.
std::string TwoColumns(std::string left, const std::string &right) {
    left.resize(41, ' ');
    return left + right + "\r\n";
}

}  // namespace

// Files as archives hold them, each read the way its text reads; and a two-column block, whose
// right column may begin by continuing the left one's last ingredient.
TEST(MealMasterReader, ArchivesReadAsTheirTextReads) {
    const std::string title61 = std::string(61, 'T');
    const struct {
        const char *kind;
        std::string text;
        std::size_t count, index;
        std::string name, persons;
        Lines ingredients, preparation;
        std::string notes;
        std::size_t problems = 0;
    } cases[] = {
        {"blank lines between header lines, any case, trailing spaces",
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      TITLE: Zuppa Di Farro   "
         "\r\n\r\n categories: Primo, Zuppe\r\n\r\n   SERVINGS: 4  \r\n\r\n    200 g  Farro   "
         "\r\n      1 l  Brodo\r\n\r\n  Cuocere il farro nel brodo.   \r\n\r\nMMMMM   \r\n",
         1,
         0,
         "Zuppa Di Farro",
         "4",
         {"200 g ==== Farro", "1 l ==== Brodo"},
         {"Cuocere il farro nel brodo."},
         ""},
        {"tabs",
         "MMMMM----- x\n\tTitle:\tPane\n\n      1 c\tLatte\n\n\tScaldare.\nMMMMM\n",
         1,
         0,
         "Pane",
         "1",
         {"1 Tazza ==== Latte"},
         {"Scaldare."},
         ""},
        {"a yield with words and a long title",
         "MMMMM----- x\n      Title: " + title61 +
             "\n      Yield: 2 loaves\n\n      1    Uovo\n"
             "MMMMM\n",
         1,
         0,
         title61,
         "2",
         {"1 ==== Uovo"},
         {},
         ""},
        {"a volume as yield",
         "MMMMM----- x\n      Title: Brodo\n      Yield: 1 quart\nMMMMM\n",
         1,
         0,
         "Brodo",
         "1",
         {},
         {},
         "",
         1},
        {"Ctrl-Z and garbage between recipes of both header styles",
         "MMMMM----- x\n      Title: Uno\n\n      1    Uovo\nMMMMM\n\x1A\x1A garbage\n"
         "---------- Recipe via Meal-Master\n      Title: Due\n\n      2    Uova\n-----\n\x1A",
         2,
         1,
         "Due",
         "1",
         {"2 ==== Uova"},
         {},
         ""},
        {"another program's Note: stays in the directions",
         "MMMMM----- x\n      Title: Tre\n\n  Cuocere.\n\n  Note: calda\nMMMMM\n",
         1,
         0,
         "Tre",
         "1",
         {},
         {"Cuocere.", "Note: calda"},
         ""},
        {"our export's Note: goes back to the notes",
         "MMMMM----- Recipe via Sapidoro 1.3 (Windows-1252)\n      Title: Tre\n\n  Cuocere.\n\n"
         "  Note: calda\nMMMMM\n",
         1,
         0,
         "Tre",
         "1",
         {},
         {"Cuocere."},
         "calda"},
        {"a continuation at the top of the right column",
         "MMMMM----- x\r\n      Title: Vino\r\n\r\n" +
             TwoColumns("      2 tb Olio", "           -o vino bianco secco") +
             TwoColumns("      1 c  Vino rosso", "      1    Cipolla") + "MMMMM\r\n",
         1,
         0,
         "Vino",
         "1",
         {"2 Cucchiai ==== Olio", "1 Tazza ==== Vino rosso o vino bianco secco", "1 ==== Cipolla"},
         {},
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        const ImportResult result = ReadMealMasterText(c.text, kDishes);
        EXPECT_EQ(result.stopMessage, "");
        ASSERT_EQ(result.recipes.size(), c.count);
        const ImportedRecipe &recipe = result.recipes[c.index];
        EXPECT_EQ(recipe.record.name, c.name);
        EXPECT_EQ(recipe.record.persons, c.persons);
        EXPECT_EQ(recipe.record.ingredients, c.ingredients);
        EXPECT_EQ(recipe.record.preparation, c.preparation);
        EXPECT_EQ(recipe.record.notes, c.notes);
        EXPECT_EQ(recipe.problems.size(), c.problems);
    }
    EXPECT_EQ(ReadMealMasterText(cases[0].text, kDishes).recipes.at(0).record.dish, "Primo");
}
