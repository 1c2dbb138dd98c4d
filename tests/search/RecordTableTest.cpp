// The record table's roads against the walks they stand in for.
#include "data/RecipeFile.h"
#include "scan/IndexedTextFile.h"
#include "search/NameCatalog.h"
#include "search/RecordJump.h"
#include "support/RandomRecipes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace sapidoro;
using sapidoro::test::RandomCollection;
using sapidoro::test::TempDir;

namespace {

constexpr SearchScope kScopes[] = {SearchScope::Ingredienti, SearchScope::Luogo,
                                   SearchScope::Nome,        SearchScope::Persone,
                                   SearchScope::Piatto,      SearchScope::RicettaAdattaA};

// What a scan reported: each match with the number of records done before it, and the
// records done in all.
struct ScanLog {
    std::vector<std::pair<std::size_t, std::string>> matches;
    std::size_t records = 0;
    bool operator==(const ScanLog &) const = default;
};

std::ostream &operator<<(std::ostream &out, const ScanLog &log) {
    out << log.records << " records:";
    for (const auto &[record, name] : log.matches) out << " " << record << "=" << name;
    return out;
}

// The walk over a copy of the bytes, or the table road over the file when a table is given;
// `tabled` adds the records the table road took.
ScanLog Scan(const std::string &bytes, const std::string &path, const RecordTable *table,
             SearchScope scope, const std::string &needle, std::size_t *tabled = nullptr) {
    ScanLog log;
    const auto onMatch = [&](std::string_view name) {
        log.matches.emplace_back(log.records, name);
    };
    const auto onRecord = [&] { ++log.records; };
    if (table == nullptr) {
        IndexedTextFile plain(MakeMemorySource(bytes));
        ScanRecipes(plain, scope, needle, onMatch, onRecord);
    } else {
        const std::size_t taken = ScanRecipes(path, *table, scope, needle, onMatch, onRecord);
        if (tabled) *tabled += taken;
    }
    return log;
}

std::string Field(const std::optional<RecipeRecord> &record) {
    if (!record) return "none";
    std::string out = record->name + "|" + record->dish + "|" + record->mainIngredient + "|" +
                      record->persons + "|" + record->notes + "|" +
                      std::to_string(record->complete);
    for (const auto *lines : {&record->ingredients, &record->preparation}) {
        out += "|";
        for (const std::string &line : *lines) out += line + "/";
    }
    return out;
}

}  // namespace

// Random collections, with marker lines where they do not belong now and then: every scope
// reports what the walk reports, match by match, and the table takes most records itself.
TEST(RecordTable, ScansReportWhatTheWalkReports) {
    TempDir dir;
    std::mt19937 random(41);
    const std::string needles[] = {"sale", "a", "4", "past", "", "\xE8", "A === ", ":r", "\n"};
    std::size_t tabled = 0, records = 0, matches = 0;
    for (int round = 0; round < 300; ++round) {
        const std::string bytes = RandomCollection(random, round % 2 == 1);
        dir.write("ricette.txt", bytes);
        const std::string path = dir.backdate("ricette.txt");
        const NameCatalog catalog = NameCatalog::List(path);
        // Each scope in turn goes first, learning the records' layout for those after it;
        // the second time round every scope finds it learnt.
        for (std::size_t turn = 0; turn < 2 * std::size(kScopes); ++turn) {
            const SearchScope scope =
                kScopes[(turn + static_cast<std::size_t>(round)) % std::size(kScopes)];
            const std::string &needle = needles[random() % std::size(needles)];
            const ScanLog expected = Scan(bytes, path, nullptr, scope, needle);
            ASSERT_EQ(Scan(bytes, path, &catalog.records(), scope, needle, &tabled), expected)
                << "round " << round << " scope " << static_cast<int>(scope) << " needle "
                << needle;
            records += expected.records;
            matches += expected.matches.size();
        }
    }
    EXPECT_GT(tabled, records / 2);
    EXPECT_GT(matches, 2000u);
}

// The pick by name reads the record the lookup by name finds, for every listed name and a
// name that is not listed; "-Nome" lines inside records send it the lookup's way.
TEST(RecordTable, PicksReadWhatTheLookupFinds) {
    TempDir dir;
    std::mt19937 random(7);
    int headsOnly = 0, strayNames = 0;
    for (int round = 0; round < 200; ++round) {
        const bool stray = round % 2 == 1;
        const std::string bytes = RandomCollection(random, stray);
        dir.write("ricette.txt", bytes);
        const std::string path = dir.backdate("ricette.txt");
        const NameCatalog catalog = NameCatalog::List(path);
        (catalog.records().namesOnlyAtHeads() ? headsOnly : strayNames)++;
        std::vector<std::string> names{"manca"};
        for (std::uint32_t rank = 0; rank < catalog.size(); ++rank)
            names.emplace_back(catalog.name(rank));
        for (const std::string &name : names) {
            ASSERT_EQ(Field(FindListedRecipe(path, catalog, name)), Field(FindRecipe(path, name)))
                << "round " << round << " name " << name;
        }
    }
    EXPECT_GT(headsOnly, 40);
    EXPECT_GT(strayNames, 40);
}

// A file changed after the start-up walk, whatever its new size, age or place: the table is
// not used, and scans and picks see the new file as the walks do.
TEST(RecordTable, AChangedFileIsWalked) {
    TempDir dir;
    std::mt19937 random(3);
    const std::string path = dir.file("ricette.txt");
    for (int round = 0; round < 40; ++round) {
        std::string bytes = RandomCollection(random);
        dir.write("ricette.txt", bytes);
        dir.backdate("ricette.txt");
        const NameCatalog catalog = NameCatalog::List(path);
        // The same size with other bytes, the same bytes an hour older, or another file.
        std::string changed = bytes;
        std::reverse(changed.begin(), changed.end());
        switch (round % 3) {
            case 0:
                dir.write("ricette.txt", changed);
                break;
            case 1:
                dir.backdate("ricette.txt", 7200);
                changed = bytes;
                break;
            default:
                changed = RandomCollection(random);
                dir.write("altro.txt", changed);
                dir.backdate("altro.txt");
                ASSERT_EQ(std::rename(dir.file("altro.txt").c_str(), path.c_str()), 0);
        }
        std::size_t tabled = 0;
        for (const SearchScope scope : kScopes) {
            ASSERT_EQ(Scan(changed, path, &catalog.records(), scope, "a", &tabled),
                      Scan(changed, path, nullptr, scope, "a"))
                << round;
        }
        EXPECT_EQ(tabled, 0u) << round;
        for (std::uint32_t rank = 0; rank < catalog.size(); ++rank) {
            const std::string name(catalog.name(rank));
            ASSERT_EQ(Field(FindListedRecipe(path, catalog, name)), Field(FindRecipe(path, name)))
                << round;
        }
    }
    // A file written just before the walk gets no table: a second change within the same
    // tick of the file system's clock would go unseen.
    dir.write("ricette.txt", RandomCollection(random));
    std::size_t tabled = 0;
    const NameCatalog fresh = NameCatalog::List(path);
    Scan("", path, &fresh.records(), SearchScope::Nome, "a", &tabled);
    EXPECT_EQ(tabled, 0u);
}
