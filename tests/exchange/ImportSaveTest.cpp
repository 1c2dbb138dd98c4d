#include "exchange/ImportSave.h"
#include "exchange/MealMasterReader.h"

#include "common/Exception.h"
#include "data/RecipeFile.h"
#include "support/TempDir.h"
#include "writer/CollectionWriter.h"
#include "writer/SaveError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace sapidoro;
using Lines = std::vector<std::string>;

namespace {

std::string Record(const std::string &name, const std::string &ingredient) {
    return test::CrLf({"-Nome", name, "-Piatto", "Primo", "-Ingrediente Principale", "", "-Persone",
                       "4", "-Note", "", "-Ingredienti", ingredient, "-Preparazione", "Cuocere.",
                       ":Ricette"});
}

std::string MealMaster(const std::string &name, const std::string &ingredient) {
    return "MMMMM----- x\r\n\r\n      Title: " + name + "\r\n Categories: primo\r\n\r\n" +
           ingredient + "\r\n\r\n  Servire.\r\nMMMMM\r\n";
}

struct Collection {
    test::TempDir dir;
    std::string before;
    Collection() {
        before = ":Ricette\r\n" + Record("Pasta", "100 g ==== Pasta") +
                 Record("Pasta (2)", "200 g ==== Pasta");
        dir.write("ricette.txt", before);
        dir.write("ing.txt", "Pasta_ING == 100 g === 350\r\n");
        dir.write("luoghi.txt", "Roma\r\n");
    }
    // The plan reads the file for the preview and again when it saves.
    ImportPlan read(const std::string &mealMaster) const {
        const std::string file = dir.write("import.mmf", mealMaster);
        return ImportPlan(
            [file](const RecipeVisitor &visit) {
                return ReadMealMasterFile(file, {"Primo"}, visit);
            },
            ListRecipeNames(dir.file("ricette.txt")).names);
    }
};

const std::string kImport = MealMaster("Pasta", "      1 c  Latte") +
                            MealMaster("Nuova", "    300 g  Riso") +
                            MealMaster("Pasta", "      2 tb Olio");

}  // namespace

// A name the collection holds: skipped, or renamed to the first free "Nome (n)"; the records
// before are kept byte for byte and the new ones read back through the program's reader.
TEST(ImportSave, NameConflictInEachOfItsTwoChoices) {
    {
        Collection collection;
        ImportPlan plan = collection.read(kImport);
        EXPECT_TRUE(plan.nameTaken(0));
        EXPECT_FALSE(plan.nameTaken(1));
        EXPECT_TRUE(plan.nameTaken(2));  // earlier in the same file
        EXPECT_EQ(plan.finalNames(), (Lines{"", "Nuova", ""}));
        const ImportSaved saved = SaveImport(collection.dir.path(), plan, nullptr);
        EXPECT_EQ(saved.recipes, 1u);
        const std::string after = collection.dir.read("ricette.txt");
        EXPECT_EQ(after.substr(0, collection.before.size()), collection.before);
        EXPECT_EQ(ListRecipeNames(collection.dir.file("ricette.txt")).names,
                  (Lines{"Pasta", "Pasta (2)", "Nuova"}));
        const auto nuova = FindRecipe(collection.dir.file("ricette.txt"), "Nuova");
        ASSERT_TRUE(nuova);
        EXPECT_EQ(nuova->dish, "Primo");
        EXPECT_EQ(nuova->persons, "1");
        EXPECT_EQ(nuova->notes, "");
        EXPECT_EQ(nuova->ingredients, Lines{"300 g ==== Riso"});
        EXPECT_EQ(nuova->preparation, Lines{"Servire."});
    }
    {
        Collection collection;
        ImportPlan plan = collection.read(kImport);
        plan.setConflictChoice(NameConflict::Rename);
        EXPECT_EQ(plan.finalNames(), (Lines{"Pasta (3)", "Nuova", "Pasta (4)"}));
        plan.setIncluded(0, false);
        EXPECT_EQ(plan.finalNames(), (Lines{"", "Nuova", "Pasta (3)"}));
        EXPECT_NE(plan.problems(2).back().find("Pasta (3)"), std::string::npos);
        SaveImport(collection.dir.path(), plan, nullptr);
        EXPECT_EQ(ListRecipeNames(collection.dir.file("ricette.txt")).names,
                  (Lines{"Pasta", "Pasta (2)", "Nuova", "Pasta (3)"}));
        EXPECT_EQ(FindRecipe(collection.dir.file("ricette.txt"), "Pasta")->ingredients,
                  Lines{"100 g ==== Pasta"});
        EXPECT_EQ(FindRecipe(collection.dir.file("ricette.txt"), "Pasta (3)")->ingredients,
                  Lines{"2 Cucchiai ==== Olio"});
    }
    {
        // A name a renaming gave is taken for the recipes after it.
        Collection collection;
        ImportPlan plan = collection.read(kImport + MealMaster("Pasta (3)", "      1 c  Latte"));
        plan.setConflictChoice(NameConflict::Rename);
        EXPECT_EQ(plan.finalNames(), (Lines{"Pasta (3)", "Nuova", "Pasta (4)", "Pasta (3) (2)"}));
    }
}

// A collection changed by another program since the import was read, or a foreign file
// changed since the preview, leaves the collection untouched.
TEST(ImportSave, RefusedImportLeavesTheCollectionUntouched) {
    Collection collection;
    const FileIdentity identity = CurrentIdentity(collection.dir.file("ricette.txt"));
    ImportPlan plan = collection.read(kImport);
    const std::string changed = collection.before + Record("Altra", " ==== Sale");
    collection.dir.write("ricette.txt", changed);
    EXPECT_THROW(SaveImport(collection.dir.path(), plan, &identity), ESaveRefused);
    EXPECT_EQ(collection.dir.read("ricette.txt"), changed);

    const std::string sameCount = MealMaster("Pasta", "      1 c  Latte") +
                                  MealMaster("Nuova", "    300 g  Orzo") +
                                  MealMaster("Pasta", "      2 tb Olio");
    for (const std::string &edited : {sameCount, kImport + kImport}) {
        Collection other;
        ImportPlan stale = other.read(kImport);
        const std::string file = other.dir.write("import.mmf", edited);
        // As an edit made later than the preview would leave it, whatever the clock's grain.
        std::filesystem::last_write_time(
            file, std::filesystem::last_write_time(file) - std::chrono::seconds(5));
        EXPECT_THROW(SaveImport(other.dir.path(), stale, nullptr), ESaveRefused);
        EXPECT_EQ(other.dir.read("ricette.txt"), other.before);
    }
}

// A picture goes in beside its recipe, never over one already there.
TEST(ImportSave, PictureCopiedUnderTheRecipesName) {
    Collection collection;
    const std::string source = collection.dir.write("pagina.jpg", "\xFF\xD8 picture");
    EXPECT_EQ(CopyPicture(collection.dir.path(), source, "Torta Di Mele"), "");
    EXPECT_EQ(collection.dir.read("immagini/Torta Di Mele.jpg"), "\xFF\xD8 picture");
    collection.dir.write("pagina.jpg", "other");
    EXPECT_NE(CopyPicture(collection.dir.path(), source, "Torta Di Mele").find("esiste"),
              std::string::npos);
    EXPECT_EQ(collection.dir.read("immagini/Torta Di Mele.jpg"), "\xFF\xD8 picture");
    EXPECT_NE(CopyPicture(collection.dir.path(), source, "../fuori"), "");
    // A file that is no JPEG is named, in Italian, and not copied.
    EXPECT_EQ(CopyPicture(collection.dir.path(), source, "Crostata"),
              "Immagine di \xC2\xAB"
              "Crostata\xC2\xBB non copiata: il file \"" +
                  source + "\" non \xC3\xA8 un'immagine JPEG.");
    EXPECT_FALSE(std::filesystem::exists(collection.dir.file("immagini/Crostata.jpg")));
}

// A recipe whose text would break the record walk is shown with the writer's reason and left
// out, so that the others still go in.
TEST(ImportSave, RecipeTheWriterWouldRefuseIsLeftOut) {
    Collection collection;
    ImportResult result = ReadMealMasterText(
        "MMMMM----- x\r\n\r\n      Title: Rotta\r\n\r\n      1 c  Latte\r\n\r\n  :Ricette\r\n"
        "MMMMM\r\n" +
            MealMaster("Sana", "      1 c  Latte"),
        {});
    ImportPlan refusing(std::move(result.recipes), {});
    EXPECT_TRUE(refusing.refused(0));
    EXPECT_FALSE(refusing.included(0));
    refusing.setIncluded(0, true);
    EXPECT_FALSE(refusing.included(0));
    EXPECT_NE(refusing.problems(0).back().find(":Ricette"), std::string::npos)
        << refusing.problems(0).back();
    EXPECT_EQ(SaveImport(collection.dir.path(), refusing, nullptr).recipes, 1u);
    EXPECT_EQ(ListRecipeNames(collection.dir.file("ricette.txt")).names,
              (Lines{"Pasta", "Pasta (2)", "Sana"}));
}

// The records wait for the save in an unnamed file of the temporary folder: nothing is left
// there, and a folder that cannot hold them stops the reading with the reason.
TEST(ImportSave, RecordsWaitInTheTemporaryFolderUnseen) {
    Collection collection;
    test::TempDir temporary;
    const char *was = std::getenv("TMPDIR");
    const std::string previous = was != nullptr ? was : "";
    const auto restore = [&] {
        if (was != nullptr)
            setenv("TMPDIR", previous.c_str(), 1);
        else
            unsetenv("TMPDIR");
    };
    setenv("TMPDIR", temporary.path().c_str(), 1);
    {
        ImportPlan plan = collection.read(kImport);
        plan.setConflictChoice(NameConflict::Rename);
        EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
        EXPECT_EQ(SaveImport(collection.dir.path(), plan, nullptr).recipes, 3u);
    }
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
    setenv("TMPDIR", (temporary.path() + "mancante").c_str(), 1);
    try {
        collection.read(kImport);
        ADD_FAILURE() << "read without a temporary folder";
    } catch (const EInOutError &failure) {
        EXPECT_NE(failure.message().find("cartella temporanea"), std::string::npos);
    }
    restore();
    EXPECT_EQ(ListRecipeNames(collection.dir.file("ricette.txt")).names,
              (Lines{"Pasta", "Pasta (2)", "Pasta (3)", "Nuova", "Pasta (4)"}));
}
