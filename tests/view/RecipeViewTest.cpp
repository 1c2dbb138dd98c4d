#include "common/Cp1252.h"
#include "common/Exception.h"
#include "data/RecipeFile.h"
#include "support/TempDir.h"
#include "view/PicturePath.h"
#include "view/RecipeLoad.h"
#include "view/RecipeText.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sapidoro;
using test::CrLf;
using Strings = std::vector<std::string>;

namespace {

std::string Record(const std::string &name, const std::string &dish, const std::string &notes,
                   const Strings &ingredients, const std::string &persons = "4") {
    std::string out = CrLf({"-Nome", name, "-Piatto", dish, "-Ingrediente Principale", "Farina",
                            "-Persone", persons, "-Note", notes, "-Ingredienti"});
    for (const std::string &line : ingredients) out += line + "\r\n";
    return out + CrLf({"-Preparazione", "Impastare.", "Cuocere.", ":Ricette"});
}

}  // namespace

TEST(RecipeLoad, FindsTheFirstRecordAfterANameMarker) {
    test::TempDir dir;
    // The first record's note equals the sought name: it must not start the record.
    const auto path = dir.write(
        "ricette.txt", ":Ricette\r\n" + Record("Pane", "Primo", "Torta", {"1 ==== Lievito"}) +
                           Record("Torta", "Dessert", "Prima", {"200 g ==== Farina"}, "8") +
                           Record("Torta", "Pesce", "Seconda", {}));
    const RecipeRecord torta = FindRecipe(path, "Torta").value();
    EXPECT_EQ(torta.dish, "Dessert");
    EXPECT_EQ(torta.mainIngredient, "Farina");
    EXPECT_EQ(torta.persons, "8");
    EXPECT_EQ(torta.notes, "Prima");
    EXPECT_EQ(torta.ingredients, Strings{"200 g ==== Farina"});
    EXPECT_EQ(torta.preparation, (Strings{"Impastare.", "Cuocere."}));
}

TEST(RecipeLoad, RecordWithoutIngredientsAndRecordCutShort) {
    test::TempDir dir;
    std::string cut = Record("Tronca", "Primo", "", {"1 ==== Uova", "2 ==== Uova"});
    cut.resize(cut.find("-Preparazione"));
    const auto path =
        dir.write("ricette.txt", ":Ricette\r\n" + Record("Vuota", "Salsa", "", {}) + cut);
    const RecipeRecord empty = FindRecipe(path, "Vuota").value();
    EXPECT_TRUE(empty.ingredients.empty());
    EXPECT_EQ(empty.preparation.size(), 2u);
    // The read stops at the end of the file with what it found.
    const RecipeRecord tronca = FindRecipe(path, "Tronca").value();
    EXPECT_EQ(tronca.ingredients, (Strings{"1 ==== Uova", "2 ==== Uova"}));
    EXPECT_TRUE(tronca.preparation.empty());
    EXPECT_FALSE(tronca.complete);
}

TEST(RecipeLoad, NameNotInTheFileIsAClearError) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", ":Ricette\r\n" + Record("Pane", "Primo", "", {}));
    const std::string name = Utf8ToCp1252("Caffè");
    EXPECT_FALSE(FindRecipe(path, name));
    EXPECT_EQ(ERecipeNotFound(name).message(),
              "Ricetta \"Caffè\" non trovata in ricette.txt: il file è cambiato dall'avvio "
              "del programma");
    try {
        FindRecipe(dir.file("manca.txt"), "Pane");
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST(RecipeText, TenEntriesInOrder) {
    const Strings text = ComposeRecipeText({"Torta",
                                            "Dessert",
                                            "Farina",
                                            8,
                                            "215",
                                            "Roma",
                                            {"200 g ==== Farina", " ==== Sale"},
                                            {"Impastare.", "Cuocere."}});
    EXPECT_EQ(text, (Strings{"NOME: Torta", "PIATTO: Dessert", "INGREDIENTE PRINCIPALE: Farina",
                             "PERSONE: 8", "CALORIE PER PERSONA: 215", "NOTE: Roma",
                             "INGREDIENTI: ", "200 g ==== Farina", " ==== Sale",
                             "PREPARAZIONE: ", "Impastare.", "Cuocere."}));
    const Strings blank = ComposeRecipeText({"", "", "", 4, "", "", {}, {}});
    EXPECT_EQ(blank,
              (Strings{"NOME: ", "PIATTO: ", "INGREDIENTE PRINCIPALE: ", "PERSONE: 4",
                       "CALORIE PER PERSONA: ", "NOTE: ", "INGREDIENTI: ", "PREPARAZIONE: "}));
}

TEST(PicturePath, ChoosesTheRecipePictureOrNoImage) {
    test::TempDir dir;
    dir.write("immagini/noimage.jpg", "x");
    dir.write("immagini/Torta.jpg", "x");
    dir.write("immagini/Caffè Freddo.jpg", "x");  // the file name is UTF-8
    const std::string folder = dir.path() + "immagini/";
    EXPECT_EQ(PictureFileFor(dir.path(), "Torta"), folder + "Torta.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), Utf8ToCp1252("Caffè Freddo")),
              folder + "Caffè Freddo.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), "Pane"), folder + "noimage.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), "torta"), folder + "noimage.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), ""), folder + "noimage.jpg");
}

TEST(PicturePath, DotsWithoutASeparatorNameAPictureInTheFolder) {
    test::TempDir dir;
    dir.write("immagini/noimage.jpg", "x");
    dir.write("segreto.jpg", "x");
    const std::string folder = dir.path() + "immagini/";
    for (const std::string &name : Strings{"Torta... della nonna", "a..b", "..", "...", ".x"}) {
        dir.write("immagini/" + name + ".jpg", "x");
        EXPECT_TRUE(IsSafePictureName(name)) << name;
        EXPECT_EQ(PictureFileFor(dir.path(), name), folder + name + ".jpg") << name;
    }
    // Leading dots stay part of a file name in the picture folder: not the parent's file.
    EXPECT_EQ(PictureFileFor(dir.path(), "..segreto"), folder + "noimage.jpg");
}

TEST(PicturePath, NamesThatCouldLeaveTheFolderGetNoImage) {
    test::TempDir dir;
    dir.write("immagini/noimage.jpg", "x");
    dir.write("segreto.jpg", "x");
    dir.write("immagini/sub/Torta.jpg", "x");
    dir.write("immagini/Tab\tTab.jpg", "x");
    const std::string noImage = dir.path() + "immagini/noimage.jpg";
    for (const std::string &name :
         Strings{"../segreto", "sub/Torta", "sub\\Torta", "..\\segreto", "Tab\tTab",
                 std::string("Nul\0", 4), std::string(252, 'x')}) {
        EXPECT_EQ(PictureFileFor(dir.path(), name), noImage) << name;
        EXPECT_FALSE(IsSafePictureName(name)) << name;
    }
    EXPECT_TRUE(IsSafePictureName(std::string(251, 'x')));
    // A link inside the folder that leads out of it is not followed.
    std::filesystem::create_symlink(dir.path() + "segreto.jpg", dir.path() + "immagini/Link.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), "Link"), noImage);
    // A folder named like a picture is no picture.
    std::filesystem::create_directory(dir.path() + "immagini/Cartella.jpg");
    EXPECT_EQ(PictureFileFor(dir.path(), "Cartella"), noImage);
}
