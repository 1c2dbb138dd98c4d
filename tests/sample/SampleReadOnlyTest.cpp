#include "SampleData.h"

#include "common/ByteSource.h"
#include "data/CalorieTable.h"
#include "data/Places.h"
#include "data/RecipeFile.h"
#include "data/TextFile.h"
#include "view/Calories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;
using namespace sapidoro;
using test::ReadBytes;
using test::SampleFile;

namespace {

struct FileState {
    std::uintmax_t size = 0;
    std::string content;
    fs::file_time_type modified;

    bool operator==(const FileState &other) const {
        return size == other.size && content == other.content && modified == other.modified;
    }
};

// Every file under the data folder, pictures included.
std::map<std::string, FileState> Snapshot() {
    std::map<std::string, FileState> files;
    for (const fs::directory_entry &entry :
         fs::recursive_directory_iterator(SAPIDORO_SAMPLE_DATA)) {
        if (!entry.is_regular_file()) continue;
        const std::string path = entry.path().string();
        files[path] = {entry.file_size(), ReadBytes(path), entry.last_write_time()};
    }
    return files;
}

// Reads the file to its end and beyond, as a reader that expects more lines would.
void ReadThrough(const std::string &path) {
    TextFile file(path, 4096);
    while (!file.eof()) file.skipLine();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(file.readLine(), "");
}

void RunEveryReader() {
    const std::string recipes = SampleFile("ricette.txt");
    const std::string table = SampleFile("ing.txt");

    const RecipeListing listing = ListRecipeNames(recipes);
    for (const std::string &name : listing.names) {
        const std::optional<RecipeRecord> record = FindRecipe(recipes, name);
        ASSERT_TRUE(record.has_value()) << name;
        CalorieTotals totals;
        ComputeCalories(table, record->ingredients, totals, [](const std::string &) {});
    }
    EXPECT_FALSE(FindRecipe(recipes, "Ricetta Che Non Esiste").has_value());
    {
        TextFile file(recipes);
        ASSERT_TRUE(SeekRecipe(file, listing.names.back()));
        EXPECT_TRUE(ReadRecipeBody(file, listing.names.back()).complete);
    }
    EXPECT_FALSE(CalorieTableReader(table).FindCalories("Ingrediente Che Non Esiste", "0"));
    EXPECT_FALSE(ReadIngredientNames(table).empty());
    EXPECT_FALSE(ReadPlaces(SampleFile("luoghi.txt")).empty());

    for (const fs::directory_entry &entry :
         fs::recursive_directory_iterator(SAPIDORO_SAMPLE_DATA)) {
        if (!entry.is_regular_file()) continue;
        ReadThrough(entry.path().string());
        std::unique_ptr<ByteSource> source = OpenFileSource(entry.path().string());
        char buffer[8192];
        while (source->read(buffer, sizeof buffer) > 0) {
        }
    }
}

}  // namespace

TEST(SampleCollection, NoReaderChangesOrCreatesADataFile) {
    const std::map<std::string, FileState> before = Snapshot();
    ASSERT_GE(before.size(), 4u);
    RunEveryReader();
    const std::map<std::string, FileState> after = Snapshot();
    ASSERT_EQ(after.size(), before.size()) << "a file was created or removed";
    for (const auto &[path, state] : before) {
        SCOPED_TRACE(path);
        const auto found = after.find(path);
        ASSERT_NE(found, after.end());
        EXPECT_EQ(found->second.size, state.size);
        EXPECT_TRUE(found->second.content == state.content);
        EXPECT_TRUE(found->second.modified == state.modified);
    }
}
