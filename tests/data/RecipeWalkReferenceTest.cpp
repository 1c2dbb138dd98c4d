// The listing and the lookup by name against line-by-line references on random files, read
// in tiny blocks, in short reads and with every index level, so that every jump over lines
// meets block ends, CR LF pairs split between blocks, Ctrl-Z and lines longer than a block.
#include "data/RecipeFile.h"
#include "scan/LineIndex.h"
#include "support/ReferenceLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace sapidoro;
using Strings = std::vector<std::string>;

namespace {

RecipeListing ReferenceListing(const std::string &bytes) {
    test::ReferenceLines file(bytes);
    RecipeListing listing;
    if (file.eof()) return listing;
    file.readLine();
    while (!file.eof()) {
        file.readLine();
        if (file.eof()) {
            listing.cutShort = true;
            break;
        }
        listing.names.push_back(file.readLine());
        bool closed = false;
        while (!file.eof() && !closed) closed = file.readLine() == ":Ricette";
        if (!closed) {
            listing.cutShort = true;
            break;
        }
    }
    return listing;
}

// The lookup: the first line equal to the name right after a line "-Nome", then lines 3 on.
std::optional<RecipeRecord> ReferenceFind(const std::string &bytes, const std::string &name) {
    test::ReferenceLines file(bytes);
    std::string before;
    bool found = false;
    while (!file.eof() && !found) {
        const std::string line = file.readLine();
        found = line == name && before == "-Nome";
        before = line;
    }
    if (!found) return std::nullopt;
    RecipeRecord r;
    r.name = name;
    std::string *fixed[] = {&r.dish, &r.mainIngredient, &r.persons, &r.notes};
    for (std::string *field : fixed) {
        file.readLine();
        *field = file.readLine();
    }
    file.readLine();
    bool preparation = false;
    while (!file.eof() && !preparation) {
        const std::string line = file.readLine();
        preparation = line == "-Preparazione";
        if (!preparation) r.ingredients.push_back(line);
    }
    while (preparation && !file.eof() && !r.complete) {
        const std::string line = file.readLine();
        r.complete = line == ":Ricette";
        if (!r.complete) r.preparation.push_back(line);
    }
    return r;
}

std::string RandomFile(std::mt19937 &random, Strings &names) {
    static const std::string pieces[] = {"a", "Ric", ":", "-N", "-P", "\n", "\r", " ==== ", "\xE8"};
    std::string file = random() % 8 ? ":Ricette\r\n" : "";
    const int records = static_cast<int>(random() % 6);
    for (int r = 0; r < records; ++r) {
        const std::string name = "N" + std::to_string(random() % 4);
        names.push_back(name);
        std::string lines[] = {
            "-Nome",         name, "-Piatto", "Primo", "-I",           "x",
            "-Persone",      "4",  "-Note",   "n",     "-Ingredienti", "1 ==== a",
            "-Preparazione", "p",  ":Ricette"};
        for (std::string &line : lines) {
            // Now and then a line turns into something else, or grows past a block.
            const unsigned roll = random() % 40;
            if (roll == 0) line.clear();
            if (roll == 1) line = pieces[random() % std::size(pieces)];
            if (roll == 2) line += std::string(random() % 90, 'a');
            if (roll == 3) continue;
            file += line;
            file += random() % 5 == 0 ? "\r" : "\r\n";
        }
    }
    if (random() % 10 == 0) file += "\r\n";
    if (random() % 10 == 0) file.insert(random() % (file.size() + 1), "\x1A");
    if (random() % 6 == 0) file.resize(random() % (file.size() + 1));
    return file;
}

}  // namespace

TEST(RecipeWalkReference, ListingAndLookupMatchALineByLineReading) {
    std::mt19937 random(77);
    std::size_t found = 0;  // the random files must exercise the lookup's success path
    for (int round = 0; round < 2500; ++round) {
        Strings names = {"-Nome", "Assente"};
        const std::string bytes = RandomFile(random, names);
        const RecipeListing expected = ReferenceListing(bytes);
        const ScopedIndexLevel level(static_cast<IndexLevel>(random() % 3));
        const std::size_t block = 1 + random() % 70;
        SCOPED_TRACE(::testing::Message() << "round " << round << " block " << block);
        {
            TextFile file(MakeMemorySource(bytes, 1 + random() % 100), block);
            const RecipeListing got = ListRecipeNames(file);
            ASSERT_EQ(got.names, expected.names);
            ASSERT_EQ(got.cutShort, expected.cutShort);
        }
        const std::string &name = names[random() % names.size()];
        const std::optional<RecipeRecord> want = ReferenceFind(bytes, name);
        TextFile file(MakeMemorySource(bytes, 1 + random() % 100), block);
        const bool seek = SeekRecipe(file, name);
        ASSERT_EQ(seek, want.has_value()) << name;
        if (!seek) continue;
        ++found;
        const RecipeRecord got = ReadRecipeBody(file, name);
        ASSERT_EQ(got.dish, want->dish);
        ASSERT_EQ(got.mainIngredient, want->mainIngredient);
        ASSERT_EQ(got.persons, want->persons);
        ASSERT_EQ(got.notes, want->notes);
        ASSERT_EQ(got.ingredients, want->ingredients);
        ASSERT_EQ(got.preparation, want->preparation);
        ASSERT_EQ(got.complete, want->complete);
    }
    EXPECT_GT(found, 500u);
}

TEST(RecipeWalkReference, AFileShortenedWhileReadEndsEarlyWithoutHarm) {
    // Another program may cut the file while it is read: the walk ends where the bytes end.
    test::TempDir dir;
    std::string bytes = ":Ricette\r\n";
    for (int r = 0; r < 3000; ++r) {
        bytes +=
            test::CrLf({"-Nome", "Ricetta " + std::to_string(r), "-P", "Primo", "-I", "x", "-P",
                        "4", "-N", "n", "-I", "1 ==== a", "-Preparazione", "p", ":Ricette"});
    }
    const std::string path = dir.write("ricette.txt", bytes);
    TextFile file(path, 4096);
    file.skipLine();
    std::size_t records = 0;
    while (!file.eof() && file.skipPastLine(":Ricette")) {
        if (++records == 10) std::filesystem::resize_file(path, bytes.size() / 3);
    }
    EXPECT_GE(records, 10u);
    EXPECT_LT(records, 3000u);
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.readLine(), "");
}
