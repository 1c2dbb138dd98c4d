#include "common/Collation.h"
#include "common/QtText.h"
#include "data/RecipeFile.h"
#include "search/MatchCollector.h"
#include "search/NameCatalog.h"
#include "search/RankSearch.h"
#include "search/Search.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace sapidoro;
using test::CrLf;
using Strings = std::vector<std::string>;

namespace {

std::string Record(const std::string &name, const std::string &notes, const Strings &ingredients) {
    std::string out = CrLf({"-Nome", name, "-Piatto", "Primo", "-Ingrediente Principale", "Farina",
                            "-Persone", "4", "-Note", notes, "-Ingredienti"});
    for (const std::string &line : ingredients) out += line + "\r\n";
    return out + CrLf({"-Preparazione", "Cuocere.", ":Ricette"});
}

// Names with duplicates, case and accent variants of one another and an empty name.
Strings TrickyNames() {
    return {"Pasta", "pasta", "Pasta", "",   "Past\xE0", "PASTA",
            "Torta", "Ab",    "ab",    "Ab", "Zuppa",    ""};
}

char AsciiUpperByte(char c) {
    return static_cast<char>(c - 'a' + 'A');
}

// More case variants of one name than a short run holds, each listed more than once among
// long names that share their beginnings, in a shuffled order.
Strings ManyVariants() {
    Strings names;
    const std::size_t letters[] = {0, 2, 4, 6, 9};  // p, s, a, a, f of "pasta al forno"
    for (unsigned mask = 0; mask < 24; ++mask) {
        std::string name = "pasta al forno";
        for (unsigned bit = 0; bit < 5; ++bit)
            if (((mask >> bit) & 1u) != 0) name[letters[bit]] = AsciiUpperByte(name[letters[bit]]);
        names.insert(names.end(), {name, name});
    }
    const std::string shared =
        "Cannelloni di petto di pollo e pasta bris\xE9"
        "e alla ";
    for (const char *tail : {"romana", "Romana", "romana", "genovese", "ROMANA", "romana "})
        names.insert(names.end(), 3, shared + tail);
    std::shuffle(names.begin(), names.end(), std::mt19937(9));
    return names;
}

std::string Collection(const Strings &names, unsigned seed) {
    std::mt19937 random(seed);
    const Strings notes = {"Roma", "Milano", "roma e milano", "Napoli"};
    const Strings lines = {"1 ==== Pasta", "2 ==== Sale", "Pasta ==== Olio", "3 ==== Pasta Frolla"};
    std::string out = ":Ricette\r\n";
    for (const std::string &name : names) {
        Strings ingredients;
        for (unsigned k = random() % 4; k > 0; --k) ingredients.push_back(lines[random() % 4]);
        out += Record(name, notes[random() % 4], ingredients);
    }
    return out;
}

// A run of names equal but for case that spans more than a group of 4096 display texts.
Strings LongRunOfEqualNames() {
    Strings names;
    for (int i = 0; i < 2500; ++i) names.push_back(i % 3 == 0 ? "Ab" : "ab");
    for (int i = 0; i < 5000; ++i) names.push_back(i % 2 == 0 ? "Pasta" : "pasta");
    std::shuffle(names.begin(), names.end(), std::mt19937(5));
    return names;
}

// Long enough for the texts to be made on two threads, with runs of equal names in both
// halves and pairs of case variants wherever the list is split.
Strings EqualAndDistinctNames() {
    Strings names = LongRunOfEqualNames();
    for (int i = 0; i < 20000; ++i)
        names.push_back((i % 2 != 0 ? "Zuppa " : "ZUPPA ") + std::to_string(10000 + i / 2));
    std::shuffle(names.begin(), names.end(), std::mt19937(6));
    return names;
}

// A run of searches, each narrowing the last, through the plain collector and by rank.
void ExpectSameAsPlainCollector(const std::string &path, const NameCatalog &catalog) {
    Strings all;
    for (std::uint32_t rank = 0; rank < catalog.size(); ++rank)
        all.emplace_back(catalog.name(rank));
    const std::pair<SearchScope, std::string> steps[] = {
        {SearchScope::Luogo, "ROMA"},  {SearchScope::Ingredienti, "pasta"},
        {SearchScope::Nome, "a"},      {SearchScope::Persone, "4"},
        {SearchScope::Nome, "PASTA"},  {SearchScope::Ingredienti, "frolla"},
        {SearchScope::Nome, "nothing"}};
    for (std::size_t first = 0; first < std::size(steps); ++first) {
        Strings plainList = all;
        std::vector<std::uint32_t> ranks;
        bool byName = false;
        for (std::size_t i = first; i < std::size(steps); ++i) {
            const auto &[scope, text] = steps[i];
            const bool complete = plainList.size() == all.size();
            const Strings plain = SearchRecipes(path, scope, text, plainList, complete);
            const RankedResult ranked = SearchRanks(path, scope, text, catalog, ranks, complete);
            Strings rankedNames = ranked.names;
            if (!ranked.byName) {
                for (std::uint32_t rank : ranked.ranks)
                    rankedNames.emplace_back(catalog.name(rank));
            }
            ASSERT_EQ(rankedNames, plain) << "search " << i << " from step " << first;
            plainList = plain;
            ranks = ranked.ranks;
            byName = ranked.byName;
            if (byName) break;  // the window goes on with the plain collector
        }
    }
}

}  // namespace

TEST(NameCatalog, ListsTheNamesOfTheStartUpWalkInSortedOrder) {
    const test::TempDir dir;
    for (const std::string &bytes :
         {Collection(TrickyNames(), 1), Collection(ManyVariants(), 8),
          Collection(LongRunOfEqualNames(), 4), Collection(EqualAndDistinctNames(), 1),
          std::string(), std::string(":Ricette\r\n"), std::string(":Ricette\r\n-Nome\r\n"),
          std::string(":Ricette\r\n-Nome\r\nCut\r\nshort"),
          Collection({"B", "a"}, 2) + "-Nome\r\nAfter\r\n\x1A"
                                      "ignored"}) {
        const std::string path = dir.write("ricette.txt", bytes);
        Strings plain = ListRecipeNames(path).names;
        SortNames(plain);
        const NameCatalog catalog = NameCatalog::List(path);
        ASSERT_EQ(catalog.size(), plain.size());
        QStringList display;
        for (std::uint32_t rank = 0; rank < catalog.size(); ++rank) {
            EXPECT_EQ(catalog.name(rank), plain[rank]);
            // Equal names stand for one another by the first of them.
            const std::uint32_t first = catalog.firstRankOf(rank);
            EXPECT_EQ(catalog.name(first), plain[rank]);
            EXPECT_EQ(std::find(plain.begin(), plain.end(), plain[rank]) - plain.begin(), first);
        }
        EXPECT_EQ(catalog.displayNames(), FromCp1252List(plain));
    }
}

TEST(NameCatalog, FindsNamesAwayFromTheirRecordsAndKnowsUnlistedOnes) {
    const test::TempDir dir;
    const NameCatalog catalog =
        NameCatalog::List(dir.write("ricette.txt", Collection({"B", "a", "B"}, 3)));
    EXPECT_EQ(catalog.firstRankOf(0, "B"), 1u);
    EXPECT_EQ(catalog.firstRankOf(1, "B"), 1u);  // not the name of record 1: looked up
    EXPECT_EQ(catalog.firstRankOf(9, "a"), 0u);  // past the listed records
    EXPECT_EQ(catalog.firstRankOf(1, "C"), NameCatalog::kNoRank);
}

TEST(NameCatalog, ListingAgainTakesOverTheOrderOnlyOfTheSameNames) {
    const test::TempDir dir;
    Strings reordered = TrickyNames();
    std::swap(reordered[0], reordered[4]);
    Strings renamed = TrickyNames();
    renamed[6] = "torta";
    Strings added = TrickyNames();
    added.push_back("Aa");
    Strings shorter = TrickyNames();
    shorter.pop_back();
    const struct {
        const char *what;
        Strings names;
        bool shared;
    } cases[] = {{"same names, other records", TrickyNames(), true},
                 {"two names swapped", reordered, false},
                 {"a name changed in case", renamed, false},
                 {"a record added", added, false},
                 {"a record removed", shorter, false},
                 {"no record", {}, false}};
    for (const auto &c : cases) {
        const NameCatalog before =
            NameCatalog::List(dir.write("ricette.txt", Collection(TrickyNames(), 1)));
        const std::string path = dir.write("ricette.txt", Collection(c.names, 7));
        const NameCatalog again = NameCatalog::List(path, &before);
        const NameCatalog fresh = NameCatalog::List(path);
        ASSERT_EQ(again.size(), fresh.size()) << c.what;
        EXPECT_EQ(again.displayNames(), fresh.displayNames()) << c.what;
        EXPECT_EQ(again.displayNames().constData() == before.displayNames().constData(), c.shared)
            << c.what;
        for (std::uint32_t rank = 0; rank < again.size(); ++rank) {
            EXPECT_EQ(again.name(rank), fresh.name(rank)) << c.what;
            EXPECT_EQ(again.firstRankOf(rank), fresh.firstRankOf(rank)) << c.what;
            EXPECT_EQ(again.firstRecordOf(again.name(rank)), fresh.firstRecordOf(fresh.name(rank)))
                << c.what;
        }
        ExpectSameAsPlainCollector(path, again);
    }
}

TEST(NameCatalog, KeepsANameTooLongToShowWholeSharedAndTellsItChangedOnListingAgain) {
    const test::TempDir dir;
    const std::string longName = "Pasta " + std::string(kLongTextLimit, 'a');
    std::string changed = longName;
    changed[changed.size() / 2] = 'b';
    const Strings names = {"B", longName, "a", longName, "Zuppa"};
    const std::string path = dir.write("ricette.txt", Collection(names, 4));
    const NameCatalog before = NameCatalog::List(path);
    ASSERT_EQ(before.size(), 5u);
    EXPECT_EQ(before.name(2), longName);  // a, B, the long names, Zuppa
    EXPECT_EQ(before.displayNames()[2], ShownText(longName));
    EXPECT_EQ(before.firstRankOf(3), 2u);
    EXPECT_EQ(before.sharedName(3).str(), longName);
    EXPECT_EQ(before.sharedName(3).str().data(), before.sharedName(3).str().data());
    EXPECT_EQ(before.sharedName(1).str(), "B");
    ExpectSameAsPlainCollector(path, before);

    dir.write("ricette.txt", Collection({"B", changed, "a", longName, "Zuppa"}, 4));
    const NameCatalog again = NameCatalog::List(path, &before);
    EXPECT_NE(again.displayNames().constData(), before.displayNames().constData());
    EXPECT_EQ(again.name(2), longName);
    EXPECT_EQ(again.name(3), changed);
    EXPECT_EQ(again.firstRankOf(3), 3u);
}

TEST(RankSearch, GivesThePlainCollectorsResultsSearchAfterSearch) {
    const test::TempDir dir;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const std::string path = dir.write("ricette.txt", Collection(TrickyNames(), seed));
        ExpectSameAsPlainCollector(path, NameCatalog::List(path));
    }
}

TEST(RankSearch, AFileChangedSinceStartUpGivesThePlainCollectorsResults) {
    const test::TempDir dir;
    const std::string path = dir.write("ricette.txt", Collection(TrickyNames(), 5));
    const NameCatalog catalog = NameCatalog::List(path);
    Strings changed = TrickyNames();
    std::reverse(changed.begin(), changed.end());
    changed.insert(changed.begin() + 3, {"Nuova pasta", "Altra Pasta", "nuova pasta", ""});
    changed.erase(changed.end() - 2);
    dir.write("ricette.txt", Collection(changed, 6));
    ExpectSameAsPlainCollector(path, catalog);
}

TEST(RankSearch, NamesLongerThanABlockAmongShortOnes) {
    const test::TempDir dir;
    const std::string longName = std::string(20000, 'x') + "Pasta";
    const std::string path =
        dir.write("ricette.txt",
                  Collection({longName, "Pasta", std::string(17000, 'y'), "pasta", "Torta"}, 7));
    const NameCatalog catalog = NameCatalog::List(path);
    const RankedResult found = SearchRanks(path, SearchScope::Nome, "PASTA", catalog, {}, true);
    ASSERT_FALSE(found.byName);
    Strings names;
    for (std::uint32_t rank : found.ranks) names.emplace_back(catalog.name(rank));
    EXPECT_EQ(names, (Strings{"Pasta", "pasta", longName}));
    // A file changed since start-up: the long names are kept by name.
    dir.write("ricette.txt", Collection({"Pasta", longName + "!", "pasta", longName}, 8));
    const RankedResult changed = SearchRanks(path, SearchScope::Nome, "PASTA", catalog, {}, true);
    ASSERT_TRUE(changed.byName);
    EXPECT_EQ(changed.names, (Strings{"Pasta", "pasta", longName, longName + "!"}));
}

TEST(RankSearch, NamesOutsideTheListThatSortAsEqualAreEachTakenOnce) {
    const test::TempDir dir;
    const std::string path = dir.write("ricette.txt", Collection({"Pasta"}, 9));
    const NameCatalog catalog = NameCatalog::List(path);
    const std::vector<std::uint32_t> ranks;
    const Strings list{"Pasta"};
    RankCollector ranked(catalog, ranks, true);
    MatchCollector plain(list, true);
    for (const char *name : {"torta", "Pasta", "Torta", "torta", "TORTA", "Torta"}) {
        ranked.CollectMatch(0, name);
        plain.CollectMatch(name);
    }
    const RankedResult result = ranked.MergeMatches();
    EXPECT_EQ(result.names, plain.MergeMatches());
    EXPECT_EQ(result.names.size(), 4u);
}
