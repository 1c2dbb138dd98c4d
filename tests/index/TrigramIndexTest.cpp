// Searches through the trigram index against the plain line-by-line reference scan.
#include "common/AsciiCase.h"
#include "data/Split.h"
#include "index/IndexBuilder.h"
#include "index/TrigramIndex.h"
#include "search/NameCatalog.h"
#include "search/RankSearch.h"
#include "search/RecordJump.h"
#include "support/RandomRecipes.h"
#include "support/ReferenceLines.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

using namespace sapidoro;
using Strings = std::vector<std::string>;

namespace {

bool FoldedContains(std::string_view text, std::string_view needle) {
    return !needle.empty() && AsciiUpper(text).find(AsciiUpper(needle)) != std::string::npos;
}

// The names a scan reports, walked one line at a time over the whole file.
Strings ReferenceScan(std::string_view bytes, SearchScope scope, std::string_view needle) {
    Strings matches;
    const auto test = [&](std::string_view text) {
        return scope == SearchScope::Persone ? text == needle : FoldedContains(text, needle);
    };
    const int compared = ComparedLineOf(scope);
    test::ReferenceLines file(bytes);
    if (file.eof()) return matches;
    file.readLine();
    while (!file.eof()) {
        file.readLine();
        if (file.eof()) break;
        const std::string name = file.readLine();
        if (compared == 2 && test(name)) matches.push_back(name);
        for (int line = 3; line <= 11; ++line) {
            const std::string text = file.readLine();
            if (line == compared && test(text)) matches.push_back(name);
        }
        if (scope == SearchScope::Ingredienti) {
            while (!file.eof()) {
                const std::string line = file.readLine();
                if (test(TextAfter(line, " ==="))) matches.push_back(name);
                if (line == "-Preparazione") break;
            }
        } else {
            file.readLine();
        }
        while (!file.eof())
            if (file.readLine() == ":Ricette") break;
    }
    return matches;
}

// A search string of 1 to 8 bytes: mostly a piece of the file with its case changed here and
// there, else letters, accented bytes and line pieces at random.
std::string RandomNeedle(std::mt19937 &random, const std::string &bytes) {
    const std::size_t size = 1 + random() % 8;
    std::string needle;
    if (random() % 4 != 0 && bytes.size() > size) {
        needle = bytes.substr(random() % (bytes.size() - size), size);
    } else {
        static const char pieces[] = "aAbBpPsStT =\xE0\xE8\xE9\xEC\xF2\xF9\xC8\xFF\n-:4";
        for (std::size_t i = 0; i < size; ++i) needle += pieces[random() % (sizeof pieces - 1)];
    }
    for (char &c : needle)
        if (random() % 3 == 0) c = random() % 2 ? AsciiUpper(c) : AsciiLower(c);
    return needle;
}

constexpr SearchScope kScopes[] = {SearchScope::Ingredienti, SearchScope::Luogo,
                                   SearchScope::Nome,        SearchScope::Persone,
                                   SearchScope::Piatto,      SearchScope::RicettaAdattaA};

}  // namespace

TEST(TrigramIndex, IndexedSearchesEqualTheReferenceScan) {
    test::TempDir dir;
    std::mt19937 random(37);
    std::size_t matches = 0, passedOver = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = test::RandomCollection(random, round % 3 == 0);
        if (round % 5 == 0) bytes += bytes;  // many records share their lines
        dir.write("ricette.txt", bytes);
        const std::string path = dir.backdate("ricette.txt");
        const NameCatalog catalog = NameCatalog::List(path);
        const RecordTable &table = catalog.records();
        std::vector<std::uint64_t> starts;
        for (std::size_t r = 0; r <= table.size(); ++r) starts.push_back(table.start(r));
        const std::optional<TrigramIndex> index =
            TrigramIndex::Build(table.mappingOf(path), starts);
        ASSERT_TRUE(index.has_value());
        for (int search = 0; search < 40; ++search) {
            const SearchScope scope = kScopes[random() % std::size(kScopes)];
            const std::string needle = RandomNeedle(random, bytes);
            const std::optional<RecordFilter> filter = index->candidates(scope, needle);
            ASSERT_EQ(filter.has_value(), needle.size() >= 3);
            Strings got;
            std::size_t records = 0;
            ScanRecipes(
                path, table, scope, needle, [&](std::string_view name) { got.emplace_back(name); },
                [&] { ++records; }, filter ? &*filter : nullptr);
            const Strings expected = ReferenceScan(bytes, scope, needle);
            ASSERT_EQ(got, expected)
                << "round " << round << " scope " << int(scope) << " needle " << needle;
            // The progress counts every record, read or passed over.
            std::size_t walked = 0;
            ScanRecipes(
                path, table, scope, needle, [](std::string_view) {}, [&] { ++walked; });
            EXPECT_EQ(records, walked);
            matches += expected.size();
            if (!filter) continue;
            for (std::size_t r = 0; r < filter->covered; ++r) passedOver += filter->passesOver(r);
            // The result list by ranks, complete and narrowed, is the scan's.
            const RankedResult scanned = SearchRanks(path, scope, needle, catalog, {}, true);
            const RankedResult indexed =
                SearchRanks(path, scope, needle, catalog, {}, true, {}, &*filter);
            EXPECT_EQ(indexed.ranks, scanned.ranks);
            EXPECT_EQ(indexed.names, scanned.names);
        }
    }
    // The random files must exercise both matches and records the index rules out.
    EXPECT_GT(matches, 3000u);
    EXPECT_GT(passedOver, 10000u);
}

TEST(TrigramIndex, AFilterOfAnotherFileOrTableIsUnused) {
    test::TempDir dir;
    const std::string record =
        test::CrLf({"-Nome", "Torta", "-Piatto", "Dolce", "-I", "x", "-Persone", "4", "-Note", "",
                    "-Ingredienti", "1 ==== Farina", "-Preparazione", ":Ricette"});
    dir.write("ricette.txt", ":Ricette\r\n" + record + record);
    const std::string path = dir.backdate("ricette.txt");
    const NameCatalog catalog = NameCatalog::List(path);
    const RecordTable &table = catalog.records();
    // A filter that rules out every record, as one made over other bytes would.
    RecordFilter filter;
    filter.mapping = table.mappingOf(path).get();
    filter.covered = table.size();
    filter.coveredEnd = table.start(table.size());
    filter.candidates.assign(1, 0);
    const auto count = [&](const RecordFilter &f) {
        std::size_t found = 0;
        ScanRecipes(
            path, table, SearchScope::Nome, "tor", [&](std::string_view) { ++found; }, {}, &f);
        return found;
    };
    ASSERT_EQ(count(filter), 0u);  // used while it describes the table's mapping
    RecordFilter otherEnd = filter;
    otherEnd.coveredEnd -= 1;
    EXPECT_EQ(count(otherEnd), 2u);
    RecordFilter otherMapping = filter;
    otherMapping.mapping = nullptr;
    EXPECT_EQ(count(otherMapping), 2u);
    dir.write("ricette.txt", ":Ricette\r\n" + record + record);  // changed: no mapping kept
    EXPECT_EQ(count(filter), 2u);
}

TEST(TrigramIndex, TheWorkersIndexServesOnlyTheFileItWasBuiltFor) {
    test::TempDir dir;
    std::mt19937 random(41);
    // One whole record at least, so that the table has one to index.
    const std::string bytes =
        ":Ricette\r\n" +
        test::CrLf({"-Nome", "Pane", "-Piatto", "Pane", "-I", "", "-Persone", "2", "-Note", "",
                    "-Ingredienti", "1 ==== Farina", "-Preparazione", ":Ricette"}) +
        test::RandomCollection(random).substr(10);
    dir.write("ricette.txt", bytes);
    const std::string path = dir.backdate("ricette.txt");
    const NameCatalog catalog = NameCatalog::List(path);
    IndexBuilder builder;
    builder.start(path, catalog.records());
    {
        const test::Watchdog watchdog;  // a build that never ends fails here
        while (builder.ready() == nullptr) std::this_thread::yield();
    }
    for (const SearchScope scope : kScopes) {
        const std::string needle = RandomNeedle(random, bytes) + "abc";
        const std::optional<RecordFilter> filter = builder.ready()->candidates(scope, needle);
        ASSERT_TRUE(filter.has_value());
        Strings got;
        ScanRecipes(
            path, catalog.records(), scope, needle,
            [&](std::string_view name) { got.emplace_back(name); }, {}, &*filter);
        EXPECT_EQ(got, ReferenceScan(bytes, scope, needle));
    }
    // A file changed since its listing gets no index at all.
    dir.write("ricette.txt", bytes + bytes);
    builder.start(path, catalog.records());
    EXPECT_EQ(builder.ready(), nullptr);
}
