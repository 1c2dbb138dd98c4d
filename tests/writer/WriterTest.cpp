#include "WriterSupport.h"
#include "data/RecipeFile.h"
#include "support/RandomRecipes.h"
#include "support/TempDir.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The message of the refusal `save` throws, or "" when it saves.
template <class Save>
std::string Refusal(Save &&save) {
    try {
        save();
    } catch (const ESaveRefused &refusal) {
        return refusal.message();
    }
    return "";
}

const std::string kHead = ":Ricette\r\n";

}  // namespace

TEST(RecordCodec, RefusesWhatWouldBreakTheWalkNamingFieldAndCharacter) {
    struct Case {
        void (*spoil)(RecipeFields &);
        const char *message;
    };
    const Case cases[] = {
        {[](RecipeFields &r) { r.name.clear(); }, "Il nome della ricetta è vuoto."},
        {[](RecipeFields &r) { r.notes += "\r\nx"; }, "Il campo \"Note\" contiene un a capo"},
        {[](RecipeFields &r) { r.dish += "\n"; }, "Il campo \"Piatto\" contiene un a capo"},
        {[](RecipeFields &r) { r.mainIngredient += "\x1A"; },
         "Il campo \"Ingrediente principale\" contiene il carattere Ctrl-Z"},
        // Also where the byte lies among the first eight of a long text.
        {[](RecipeFields &r) { r.notes = "\nun testo di molti caratteri"; },
         "Il campo \"Note\" contiene un a capo"},
        {[](RecipeFields &r) { r.preparation[0] = "Cuocere\x1A a fuoco lento per un'ora"; },
         "La riga 1 del campo \"Preparazione\" contiene il carattere Ctrl-Z"},
        {[](RecipeFields &r) { r.preparation[1] = ":Ricette"; },
         "La riga 2 del campo \"Preparazione\" è \":Ricette\""},
        {[](RecipeFields &r) { r.ingredients[2] = "-Preparazione"; },
         "La riga 3 del campo \"Ingredienti\" è \"-Preparazione\""},
        {[](RecipeFields &r) { r.notes = "-Nome"; }, "Il campo \"Note\" è \"-Nome\""},
        {[](RecipeFields &r) { r.persons = 0; }, "Il numero di persone deve essere almeno 1."},
    };
    for (const Case &c : cases) {
        RecipeFields recipe = SampleRecipe("Torta");
        c.spoil(recipe);
        EXPECT_NE(Refusal([&] { VerifiedRecord(recipe); }).find(c.message), std::string::npos)
            << c.message;
    }
    EXPECT_EQ(CollectionText("Caff\xC3\xA8 \xE2\x82\xAC", kFieldName), "Caff\xE8 \x80");
    EXPECT_EQ(Refusal([] { CollectionText("Tè \xE2\x9C\x93", kFieldNotes, 3); }),
              "La riga 3 del campo \"Note\" contiene il carattere \"\xE2\x9C\x93\" (U+2713), "
              "che la raccolta (Windows-1252) non può contenere.");
    const std::string record = VerifiedRecord(SampleRecipe("Torta"));
    std::size_t end = 0;
    bool complete = false;
    EXPECT_EQ(DecodeRecord(record, end, complete), SampleRecipe("Torta"));
    EXPECT_TRUE(complete && end == record.size() && record.ends_with(":Ricette\r\n"));
}

// Every sample recipe is changed and changed back: outside the record not a byte moves, and
// the round trip gives the file back byte for byte.
TEST(CollectionWriter, KeepsEveryByteOutsideTheRecordOnSampleAndGeneratedFiles) {
    TempDir dir;
    const std::string original = ReadAll(SAPIDORO_SAMPLE_DATA "ricette.txt");
    const std::string path = dir.write("ricette.txt", original);
    for (const std::string &name : ListRecipeNames(path).names) {
        const RecipeFields fields = FieldsOf(*FindRecipe(path, name));
        RecipeFields changed = fields;
        changed.notes += " (provata)";
        const std::string before = ReadAll(path);
        ReplaceRecipe(dir.path(), CurrentIdentity(path), name, changed);
        const std::string after = ReadAll(path);
        const std::size_t at = before.find("-Nome\r\n" + name + "\r\n");
        const std::string oldRecord = EncodeRecord(fields);
        ASSERT_EQ(before.substr(at, oldRecord.size()), oldRecord) << name;
        EXPECT_EQ(after, before.substr(0, at) + EncodeRecord(changed) +
                             before.substr(at + oldRecord.size()));
        EXPECT_EQ(ReadAll(path + "~"), before);
        ReplaceRecipe(dir.path(), CurrentIdentity(path), name, fields);
    }
    EXPECT_EQ(ReadAll(path), original);

    // Generated files: odd line ends, Ctrl-Z ends, stray lines; an appended record is then
    // deleted again.
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        const std::string bytes = RandomCollection(random, seed % 2 == 0);
        dir.write("ricette.txt", bytes);
        const RecipeFields added = SampleRecipe("Aggiunta " + std::to_string(seed));
        AppendRecipes(dir.path(), {added});
        const std::string grown = ReadAll(path);
        const std::size_t at = grown.find(EncodeRecord(added));
        ASSERT_NE(at, std::string::npos) << seed;
        // Only the record and, where the file needed one, a line end or first line came in.
        std::string rest = grown;
        rest.erase(at, EncodeRecord(added).size());
        const std::string withoutRecord = rest;
        for (std::size_t extra : {2, 10})
            if (rest != bytes && at >= extra)
                rest = std::string(withoutRecord).erase(at - extra, extra);
        EXPECT_EQ(rest, bytes) << seed;
        EXPECT_EQ(FieldsOf(*FindRecipe(path, added.name)), added) << seed;
        DeleteRecipe(dir.path(), CurrentIdentity(path), added.name);
        EXPECT_EQ(ReadAll(path), withoutRecord) << seed;
    }
}

TEST(CollectionWriter, AppendsDeletesUndoesAndRefusesTakenNames) {
    TempDir dir;
    // A separator without line end, then a Ctrl-Z and what follows it.
    const std::string first = EncodeRecord(SampleRecipe("Zuppa"));
    const std::string bytes = kHead + first.substr(0, first.size() - 2) + "\x1A" + "coda\r\n";
    const std::string path = dir.write("ricette.txt", bytes);
    const SaveResult appended =
        AppendRecipes(dir.path(), {SampleRecipe("Arrosto"), SampleRecipe("Torta")});
    const std::string both = kHead + first + EncodeRecord(SampleRecipe("Arrosto")) +
                             EncodeRecord(SampleRecipe("Torta")) + "\x1A" + "coda\r\n";
    EXPECT_EQ(ReadAll(path), both);
    EXPECT_EQ(ListRecipeNames(path).names, (std::vector<std::string>{"Zuppa", "Arrosto", "Torta"}));

    EXPECT_EQ(Refusal([&] { AppendRecipes(dir.path(), {SampleRecipe("Torta")}); }),
              "Nella raccolta c'è già una ricetta di nome \"Torta\".");
    EXPECT_EQ(Refusal([&] {
                  ReplaceRecipe(dir.path(), CurrentIdentity(path), "Zuppa", SampleRecipe("Torta"));
              }),
              "Nella raccolta c'è già una ricetta di nome \"Torta\".");
    EXPECT_EQ(Refusal([&] { DeleteRecipe(dir.path(), CurrentIdentity(path), "Pane"); }),
              "La ricetta \"Pane\" non è più nella raccolta.");
    // A streamed append writes only the records whose names it checked, each once.
    const auto stream = [&](std::vector<std::string> names, std::vector<std::string> given) {
        return Refusal([&] {
            AppendRecipeStream(dir.path(), names, [&](const RecipeSink &sink) {
                for (const std::string &name : given) sink(SampleRecipe(name));
            });
        });
    };
    EXPECT_EQ(stream({"Pane", "Pane"}, {"Pane", "Pane"}), "La ricetta \"Pane\" compare due volte.");
    for (const auto &given : {std::vector<std::string>{"Torta"}, {}, {"Pane", "Riso"}})
        EXPECT_NE(stream({"Pane"}, given).find("non sono quelle controllate"), std::string::npos);
    // Records encoded beforehand are refused when they do not read back as they were handed:
    // a line that splits the record, a field that fails the checks, a record left open.
    const std::string pane = EncodeRecord(SampleRecipe("Pane"));
    const std::string cut = pane.substr(0, pane.size() - 10);
    const std::pair<std::string, std::string> faulty[] = {
        {cut + ":Ricette\r\n-Nome\r\nX\r\n:Ricette\r\n", "non è stato salvato"},
        {cut + "-Nome\r\n:Ricette\r\n", "è \"-Nome\""},
        {cut, "non è stato salvato"}};
    for (const auto &[given, reason] : faulty) {
        const std::string message = Refusal([&] {
            AppendEncodedStream(dir.path(), {"Pane"},
                                [&](const EncodedRecordSink &sink) { sink(given); });
        });
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    EXPECT_EQ(ReadAll(path), both);

    const SaveResult deleted = DeleteRecipe(dir.path(), appended.identity, "Arrosto");
    EXPECT_EQ(ReadAll(path),
              kHead + first + EncodeRecord(SampleRecipe("Torta")) + "\x1A" + "coda\r\n");
    // An undo of an undo is the change again; an undo of a stale save is refused.
    const SaveResult undone = UndoSave(deleted);
    EXPECT_EQ(ReadAll(path), both);
    EXPECT_NE(Refusal([&] { UndoSave(deleted); }).find("cambiato da un altro programma"),
              std::string::npos);
    UndoSave(undone);
    EXPECT_EQ(ListRecipeNames(path).names, (std::vector<std::string>{"Zuppa", "Torta"}));

    // A new file gets its first line.
    dir.write("ricette.txt", "");
    AppendRecipes(dir.path(), {SampleRecipe("Pane")});
    EXPECT_EQ(ReadAll(path), kHead + EncodeRecord(SampleRecipe("Pane")));
}

TEST(CollectionWriter, PlacesCalorieEntryBesideItsIngredientOrAtTheEnd) {
    TempDir dir;
    const std::string path =
        dir.write("ing.txt",
                  "Burro_ING == 10 g === 75\r\nUova_ING == 1 === 80\rUova_ING == 2 === 160\r\n"
                  "Zucchero_ING == 5 g === 20\r\nUova_ING == 6 === 480");
    AddCalorieEntry(dir.path(), CurrentIdentity(path), {"Uova", "3", 240});
    AddCalorieEntry(dir.path(), CurrentIdentity(path), {"Sale", "0", 0});
    EXPECT_EQ(ReadAll(path),
              "Burro_ING == 10 g === 75\r\nUova_ING == 1 === 80\rUova_ING == 2 === 160\r\n"
              "Uova_ING == 3 === 240\r\nZucchero_ING == 5 g === 20\r\nUova_ING == 6 === 480\r\n"
              "Sale_ING == 0 === 0\r\n");
    EXPECT_EQ(Refusal([&] {
                  AddCalorieEntry(dir.path(), CurrentIdentity(path), {"Uova", "2", 1});
              }),
              "Il file ing.txt ha già una voce per \"2\" di \"Uova\".");
    EXPECT_NE(Refusal([&] {
                  AddCalorieEntry(dir.path(), CurrentIdentity(path), {"Uova_ING", "2", 1});
              }).find("\"_ING\""),
              std::string::npos);
}

// What a save must not replace gets a message, and the file stays as it was.
TEST(CollectionWriter, RefusesLinksReadOnlyPlacesAndChangedFiles) {
    TempDir dir;
    const std::string bytes = kHead + EncodeRecord(SampleRecipe("Zuppa"));
    const std::string path = dir.write("ricette.txt", bytes);
    const FileIdentity opened = CurrentIdentity(path);
    const auto save = [&] { AppendRecipes(dir.path(), {SampleRecipe("Pane")}, &opened); };

    ASSERT_EQ(::link(path.c_str(), dir.file("altro.txt").c_str()), 0);
    EXPECT_NE(Refusal(save).find("ha 2 collegamenti fisici"), std::string::npos);
    ::unlink(dir.file("altro.txt").c_str());

    ::chmod(path.c_str(), 0444);
    EXPECT_NE(Refusal(save).find("è di sola lettura"), std::string::npos);
    ::chmod(path.c_str(), 0640);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_NE(Refusal(save).find("La cartella di ricette.txt è di sola lettura"),
              std::string::npos);
    ::chmod(dir.path().c_str(), 0755);

    dir.write("vera.txt", bytes);
    ::rename(path.c_str(), dir.file("tenuta.txt").c_str());
    ::symlink("vera.txt", path.c_str());
    EXPECT_NE(Refusal(save).find("è un collegamento simbolico"), std::string::npos);
    ::unlink(path.c_str());
    ::rename(dir.file("tenuta.txt").c_str(), path.c_str());
    EXPECT_EQ(ReadAll(path), bytes);

    // Another program's edit after the editor opened is never overwritten.
    dir.write("ricette.txt", bytes + "");
    EXPECT_NE(Refusal(save).find("cambiato da un altro programma"), std::string::npos);
    EXPECT_EQ(ReadAll(path), bytes);
    EXPECT_EQ(LeftoverTemps(dir.path()), 0);
    EXPECT_NE(::access((path + "~").c_str(), F_OK), 0);
}

// A "-Nome" line among another record's lines, followed by a name: the lookup finds that
// place first, so a record of that name is refused rather than spliced anywhere else.
TEST(CollectionWriter, HonoursTheLookupsFirstHit) {
    TempDir dir;
    std::string stray = EncodeRecord(SampleRecipe("Primo"));
    stray.insert(stray.size() - 10, "-Nome\r\nZuppa\r\n-Nome\r\nPane\r\n");
    const std::string bytes =
        kHead + stray + EncodeRecord(SampleRecipe("Zuppa")) + EncodeRecord(SampleRecipe("Ultimo"));
    const std::string path = dir.write("ricette.txt", bytes);
    EXPECT_NE(Refusal([&] {
                  ReplaceRecipe(dir.path(), CurrentIdentity(path), "Zuppa", SampleRecipe("Zuppa"));
              }).find("è danneggiato"),
              std::string::npos);
    EXPECT_EQ(Refusal([&] {
                  ReplaceRecipe(dir.path(), CurrentIdentity(path), "Ultimo", SampleRecipe("Pane"));
              }),
              "Nella raccolta c'è già una ricetta di nome \"Pane\".");
    EXPECT_EQ(ReadAll(path), bytes);
    ReplaceRecipe(dir.path(), CurrentIdentity(path), "Ultimo", SampleRecipe("Ultimo", "x"));
    EXPECT_EQ(ReadAll(path), kHead + stray + EncodeRecord(SampleRecipe("Zuppa")) +
                                 EncodeRecord(SampleRecipe("Ultimo", "x")));
}
