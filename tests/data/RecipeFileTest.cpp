#include "data/RecipeFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace sapidoro;
using test::CrLf;

namespace {

// One record in the file layout; the marker lines are arbitrary.
std::string Record(const std::string &name, const std::string &persons = "4",
                   std::initializer_list<std::string> ingredients = {"200 g ==== Farina"},
                   const std::string &notes = "Ricetta di Roma") {
    std::string out = CrLf({"-Nome", name, "-Piatto", "Primo", "-Ingrediente", "Farina", "-Persone",
                            persons, "-Note", notes, "-Ingredienti"});
    for (const std::string &line : ingredients) out += line + "\r\n";
    return out + CrLf({"-Preparazione", "Impastare.", "Cuocere.", ":Ricette"});
}

std::string File(std::initializer_list<std::string> records) {
    std::string out = ":Ricette\r\n";
    for (const std::string &r : records) out += r;
    return out;
}

}  // namespace

TEST(RecipeFile, ListsNamesInFileOrder) {
    test::TempDir dir;
    const auto path =
        dir.write("ricette.txt", File({Record("Zuppa"), Record("Arrosto"), Record("Zuppa")}));
    const RecipeListing listing = ListRecipeNames(path);
    EXPECT_EQ(listing.names, (std::vector<std::string>{"Zuppa", "Arrosto", "Zuppa"}));
    EXPECT_FALSE(listing.cutShort);
}

TEST(RecipeFile, ListingEndsOnCutShortAndEmptyFiles) {
    test::TempDir dir;
    EXPECT_TRUE(ListRecipeNames(dir.write("a.txt", "")).names.empty());
    EXPECT_TRUE(ListRecipeNames(dir.write("b.txt", ":Ricette\r\n")).names.empty());

    // No closing separator: the name is kept, the walk says the file was cut short.
    std::string cut = Record("Tronca");
    cut.resize(cut.find("-Preparazione"));
    const RecipeListing a = ListRecipeNames(dir.write("c.txt", File({Record("Intera"), cut})));
    EXPECT_EQ(a.names, (std::vector<std::string>{"Intera", "Tronca"}));
    EXPECT_TRUE(a.cutShort);

    // The file ends after line 1 of a record: no name to list.
    const RecipeListing b = ListRecipeNames(dir.write("d.txt", File({Record("Uno"), "-Nome\r\n"})));
    EXPECT_EQ(b.names, (std::vector<std::string>{"Uno"}));
    EXPECT_TRUE(b.cutShort);

    // An empty line after the last separator starts a record with an empty name.
    const RecipeListing c = ListRecipeNames(dir.write("e.txt", File({Record("Uno")}) + "\r\n"));
    EXPECT_TRUE(c.cutShort);
}

TEST(RecipeFile, LookupFindsTheFirstRecordAfterANameMarker) {
    test::TempDir dir;
    // A note equal to a recipe name is not the start of that record.
    const auto path = dir.write(
        "ricette.txt",
        File({Record("Pesto", "2", {"50 g ==== Basilico"}, "Sugo"),
              Record("Sugo", "6", {"1 kg ==== Pomodoro", " ==== Sale"}), Record("Sugo", "9")}));
    const auto sugo = FindRecipe(path, "Sugo");
    ASSERT_TRUE(sugo.has_value());
    EXPECT_EQ(sugo->persons, "6");
    EXPECT_EQ(sugo->dish, "Primo");
    EXPECT_EQ(sugo->mainIngredient, "Farina");
    EXPECT_EQ(sugo->notes, "Ricetta di Roma");
    EXPECT_EQ(sugo->ingredients, (std::vector<std::string>{"1 kg ==== Pomodoro", " ==== Sale"}));
    EXPECT_EQ(sugo->preparation, (std::vector<std::string>{"Impastare.", "Cuocere."}));
    EXPECT_TRUE(sugo->complete);
    EXPECT_FALSE(FindRecipe(path, "Assente").has_value());
    EXPECT_FALSE(FindRecipe(path, "sugo").has_value());
}

TEST(RecipeFile, RecordWithoutIngredientsAndCutShortRecords) {
    test::TempDir dir;
    const auto path = dir.write("r.txt", File({Record("Vuota", "1", {})}));
    const auto empty = FindRecipe(path, "Vuota");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->ingredients.empty());
    EXPECT_TRUE(empty->complete);

    std::string cut = Record("Tronca");
    cut.resize(cut.find("Cuocere"));
    const auto partial = FindRecipe(dir.write("s.txt", File({cut})), "Tronca");
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->complete);
    EXPECT_EQ(partial->preparation, (std::vector<std::string>{"Impastare."}));

    const auto headOnly = FindRecipe(dir.write("t.txt", ":Ricette\r\n-Nome\r\nSolo"), "Solo");
    ASSERT_TRUE(headOnly);
    EXPECT_FALSE(headOnly->complete);
    EXPECT_EQ(headOnly->dish, "");
}
