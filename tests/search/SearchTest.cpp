#include "common/AsciiCase.h"
#include "common/Collation.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "data/RecipeFile.h"
#include "search/MatchCollector.h"
#include "search/MatchTest.h"
#include "search/Search.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace sapidoro;
using test::CrLf;
using Strings = std::vector<std::string>;

namespace {

struct Rec {
    std::string name;
    std::string dish = "Primo";
    std::string persons = "4";
    std::string notes = "Ricetta di Roma";
    Strings ingredients = {"200 g ==== Farina"};
};

std::string Record(const Rec &r) {
    std::string out = CrLf({"-Nome", r.name, "-Piatto", r.dish, "-Ingrediente Principale", "Farina",
                            "-Persone", r.persons, "-Note", r.notes, "-Ingredienti"});
    for (const std::string &line : r.ingredients) out += line + "\r\n";
    return out + CrLf({"-Preparazione", "Impastare la pasta.", ":Ricette"});
}

std::string File(std::initializer_list<Rec> records) {
    std::string out = ":Ricette\r\n";
    for (const Rec &r : records) out += Record(r);
    return out;
}

// A collection where every scope has something to find and something to miss.
std::string Collection() {
    return File({
        {"Tagliatelle Al Ragù",
         "Primo",
         "4",
         "Tipica di Bologna, Emilia-Romagna",
         {"400 g ==== Pasta All'Uovo", "200 g ==== Carne Macinata", " ==== Sale"}},
        {"Torta Bimby",
         "Dessert",
         "8",
         "Adatta a Bambini piccoli",
         {"300 g ==== Farina", "3 ==== Uova", "1 Cucchiaio ==== Zucchero"}},
        {"Spaghetti Pentola A Pressione",
         "Primo",
         "04",
         "Napoli",
         {"Pasta ==== Spaghetti", "Sale"}},
        {"Arrosto", "Carne", "4 ", "Milano, Lombardia", {}},
        {"Pasticcio", "Primo", "", "Ferrara", {"1 Kg ==== Pasta Frolla", "1 ==== PASTICCERIA"}},
    });
}

Strings AllNames(const std::string &path) {
    Strings names = ListRecipeNames(path).names;
    SortNames(names);
    return names;
}

Strings Search(const std::string &path, const std::string &scope, const std::string &text) {
    const Strings all = AllNames(path);
    return SearchRecipes(path, *ParseScope(scope), text, all, true);
}

}  // namespace

TEST(SearchScope, OnlyTheSixWholeNamesAreScopes) {
    EXPECT_EQ(ParseScope("Ingredienti"), SearchScope::Ingredienti);
    EXPECT_EQ(ParseScope("Luogo"), SearchScope::Luogo);
    EXPECT_EQ(ParseScope("Nome"), SearchScope::Nome);
    EXPECT_EQ(ParseScope("Persone"), SearchScope::Persone);
    EXPECT_EQ(ParseScope("Piatto"), SearchScope::Piatto);
    EXPECT_EQ(ParseScope("Ricetta Adatta A"), SearchScope::RicettaAdattaA);
    for (const char *name : {"", "Luog", "luogo", "LUOGO", "Luogo ", "Nome ", " Nome",
                             "Ricetta adatta a", "PIATTO", "Ingredienti\r"}) {
        EXPECT_FALSE(ParseScope(name)) << name;
    }
}

TEST(ContainsTest, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(ContainsTest("past").matches("= Pasta All'Uovo"));
    EXPECT_TRUE(ContainsTest("PAST").matches("pasta"));
    EXPECT_FALSE(ContainsTest("pastaa").matches("pasta"));
    EXPECT_TRUE(ContainsTest("a").matches("a"));
    EXPECT_FALSE(ContainsTest("").matches("anything"));
    EXPECT_FALSE(ContainsTest("").matches(""));
    // Accented letters are compared exactly: "è" does not fold to "È".
    const std::string lower = Utf8ToCp1252("caffè"), upper = Utf8ToCp1252("CAFFÈ");
    EXPECT_FALSE(ContainsTest(lower).matches(upper));
    EXPECT_TRUE(ContainsTest(lower).matches(Utf8ToCp1252("Il CAFFè")));
    // Bytes that differ by 0x20 but are no letters do not fold: "@" is not "`", "[" not "{".
    EXPECT_FALSE(ContainsTest("@").matches("`"));
    EXPECT_FALSE(ContainsTest("{").matches("["));
    // A match at the very end, and a near miss that restarts inside itself.
    EXPECT_TRUE(ContainsTest("aab").matches("xaaab"));
    EXPECT_EQ(AsciiUpper(Utf8ToCp1252("àbc-xyz")), Utf8ToCp1252("àBC-XYZ"));
}

TEST(Search, EachScopeComparesItsOwnLine) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", Collection());
    EXPECT_EQ(Search(path, "Nome", "bimby"), Strings{"Torta Bimby"});
    EXPECT_EQ(Search(path, "Nome", "Pentola A Pressione"),
              Strings{"Spaghetti Pentola A Pressione"});
    EXPECT_EQ(Search(path, "Piatto", "primo"),
              (Strings{"Pasticcio", "Spaghetti Pentola A Pressione", "Tagliatelle Al Ragù"}));
    EXPECT_EQ(Search(path, "Luogo", "lombardia"), Strings{"Arrosto"});
    EXPECT_EQ(Search(path, "Ricetta Adatta A", "Bambini piccoli"), Strings{"Torta Bimby"});
    // Notes are searched by both note scopes, names are not searched by them.
    EXPECT_EQ(Search(path, "Ricetta Adatta A", "Napoli"), Strings{"Spaghetti Pentola A Pressione"});
    EXPECT_TRUE(Search(path, "Luogo", "Arrosto").empty());
    // The dish scope does not look at the name, nor the name scope at the dish.
    EXPECT_TRUE(Search(path, "Piatto", "Torta").empty());
    EXPECT_TRUE(Search(path, "Nome", "Dessert").empty());
}

TEST(Search, PersonsAreComparedWholeAndExactly) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", Collection());
    EXPECT_EQ(Search(path, "Persone", "4"), Strings{"Tagliatelle Al Ragù"});
    EXPECT_EQ(Search(path, "Persone", "04"), Strings{"Spaghetti Pentola A Pressione"});
    EXPECT_EQ(Search(path, "Persone", "4 "), Strings{"Arrosto"});
    EXPECT_TRUE(Search(path, "Persone", "8 ").empty());
    // An empty search string keeps only recipes whose persons line is empty.
    EXPECT_EQ(Search(path, "Persone", ""), Strings{"Pasticcio"});
}

TEST(Search, IngredientsAreSearchedAfterTheSeparatorOnly) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", Collection());
    // "Pasticcio" has two matching lines and is listed once; "Spaghetti..." has "Pasta" only
    // as a quantity; "Tagliatelle" names it after the separator.
    EXPECT_EQ(Search(path, "Ingredienti", "past"), (Strings{"Pasticcio", "Tagliatelle Al Ragù"}));
    EXPECT_EQ(Search(path, "Ingredienti", "spaghetti"), Strings{"Spaghetti Pentola A Pressione"});
    // "=" matches every record with a well-formed ingredient line (never the bare "Sale").
    EXPECT_EQ(Search(path, "Ingredienti", "="),
              (Strings{"Pasticcio", "Spaghetti Pentola A Pressione", "Tagliatelle Al Ragù",
                       "Torta Bimby"}));
    EXPECT_TRUE(Search(path, "Ingredienti", "Sale ==").empty());
    // "-Preparazione" and the preparation text are not ingredient lines.
    EXPECT_TRUE(Search(path, "Ingredienti", "Preparazione").empty());
    EXPECT_TRUE(Search(path, "Ingredienti", "Impastare").empty());
    EXPECT_TRUE(Search(path, "Ingredienti", "Bologna").empty());
}

TEST(Search, EmptyStringsAndThePromptFindNothingUnderContainsScopes) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", Collection());
    for (const char *scope : {"Ingredienti", "Luogo", "Nome", "Piatto", "Ricetta Adatta A"}) {
        EXPECT_TRUE(Search(path, scope, "").empty()) << scope;
    }
    EXPECT_TRUE(Search(path, "Ingredienti", "Ricerca per 12 ingredienti").empty());
}

TEST(Search, TheQuantityNeverMatchesEvenWhenTheCutSeparatorRepeats) {
    test::TempDir dir;
    // The compared text is taken after the first " ===", so the "=" that follows the first
    // three of " ==== " is part of it, and so is a later quantity-like text.
    const auto path =
        dir.write("ricette.txt",
                  File({{"Uno", "Primo", "4", "", {"2 Kg ==== Mele"}},
                        {"Due", "Primo", "4", "", {"Mele === 2 Kg"}},
                        {"Tre", "Primo", "4", "", {"1 ==== " + std::string(260, 'x') + "Kiwi"}}}));
    EXPECT_EQ(Search(path, "Ingredienti", "= mele"), Strings{"Uno"});
    EXPECT_EQ(Search(path, "Ingredienti", "2 kg"), Strings{"Due"});
    // Only 255 characters after the separator are compared.
    EXPECT_TRUE(Search(path, "Ingredienti", "kiwi").empty());
    EXPECT_EQ(Search(path, "Ingredienti", "xxx"), Strings{"Tre"});
}

TEST(Search, ProgressAdvancesOncePerRecordAndTheWalkEndsOnCutFiles) {
    test::TempDir dir;
    std::string cut = Record({"Tronca"});
    cut.resize(cut.find("-Ingredienti"));
    const std::string files[] = {"",
                                 ":Ricette",
                                 ":Ricette\r\n",
                                 Collection(),
                                 Collection() + "-Nome\r\n",
                                 Collection() + cut,
                                 Collection() + "\r\n"};
    const std::size_t records[] = {0, 0, 0, 5, 5, 6, 5};
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const auto path = dir.write("f" + std::to_string(i) + ".txt", files[i]);
        for (SearchScope scope : {SearchScope::Ingredienti, SearchScope::Persone}) {
            std::size_t steps = 0;
            IndexedTextFile file(path);
            ScanRecipes(
                file, scope, "x", [](std::string_view) {}, [&] { ++steps; });
            EXPECT_EQ(steps, records[i]) << "file " << i;
        }
    }
    // The record cut short is still tested on the lines it has.
    const auto path = dir.write("cut.txt", Collection() + cut);
    const Strings all = AllNames(path);
    EXPECT_EQ(SearchRecipes(path, SearchScope::Nome, "tronca", all, true), Strings{"Tronca"});
}

TEST(Search, RecordsAreReadByLinePosition) {
    test::TempDir dir;
    // Marker lines are never examined: a marker line equal to a search string or to
    // ":Ricette"-like text changes nothing; a lone LF stays inside its line.
    std::string odd = CrLf({"-Nome", "Strana", "Primo", "Carne", "Pesce", "Olio", "4", "8", "Roma",
                            "Milano", "Pasta", "1 ==== Olio", "-Preparazione", ":Ricette"});
    const auto path =
        dir.write("ricette.txt", ":Ricette\r\n" + odd + Record({"Con\nLF", "Pesce\nPrimo"}));
    const Strings all = AllNames(path);
    EXPECT_EQ(SearchRecipes(path, SearchScope::Piatto, "carne", all, true), Strings{"Strana"});
    EXPECT_EQ(SearchRecipes(path, SearchScope::Piatto, "primo", all, true), Strings{"Con\nLF"});
    EXPECT_EQ(SearchRecipes(path, SearchScope::Persone, "8", all, true), Strings{"Strana"});
    EXPECT_EQ(SearchRecipes(path, SearchScope::Luogo, "milano", all, true), Strings{"Strana"});
    EXPECT_EQ(SearchRecipes(path, SearchScope::Nome, "n\nl", all, true), Strings{"Con\nLF"});
}

TEST(Search, MissingFileThrowsTheRuntimeError) {
    test::TempDir dir;
    try {
        SearchRecipes(dir.file("ricette.txt"), SearchScope::Nome, "x", {}, true);
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST(MatchCollector, CompleteListTakesEveryMatchAndCollapsesDuplicates) {
    const Strings complete = {"Arrosto", "Torta", "Torta", "Zuppa"};
    MatchCollector c(complete, true);
    for (const char *name : {"Zuppa", "Torta", "Zuppa", "Torta"}) c.CollectMatch(name);
    EXPECT_EQ(c.MergeMatches(), (Strings{"Torta", "Zuppa"}));
}

TEST(MatchCollector, NarrowedListKeepsOnlyItsOwnNames) {
    const Strings narrowed = {"Arrosto", "Torta"};
    MatchCollector c(narrowed, false);
    c.CollectMatch("Zuppa");  // matches, but was not in the result list
    c.CollectMatch("Torta");
    c.CollectMatch("torta");  // names compare exactly
    EXPECT_EQ(c.MergeMatches(), Strings{"Torta"});
    EXPECT_TRUE(MatchCollector(narrowed, false).MergeMatches().empty());
}

TEST(MatchCollector, EmptyNamesAreNeverTakenFirst) {
    const Strings complete = {"", "Arrosto"};
    MatchCollector c(complete, true);
    c.CollectMatch("");
    EXPECT_TRUE(c.MergeMatches().empty());
    c.CollectMatch("Arrosto");
    EXPECT_EQ(c.MergeMatches(), Strings{"Arrosto"});
}

TEST(MatchCollector, CompleteSearchSortsInNamesTheListDoesNotHold) {
    // The file changed since start-up: a complete search still takes every match, in order.
    const Strings complete = {"Arrosto", "Torta", "Zuppa"};
    MatchCollector c(complete, true);
    for (const char *name : {"Zuppa", "Nuova", "arrosto", "Arrosto", "Nuova", "Zzz"}) {
        c.CollectMatch(name);
    }
    const Strings merged = c.MergeMatches();
    EXPECT_EQ(merged.size(), 5u);
    Strings sorted = merged;
    SortNames(sorted);
    EXPECT_EQ(merged, sorted);
    EXPECT_EQ(std::count(merged.begin(), merged.end(), "Nuova"), 1);
}

TEST(MatchCollector, NamesOutsideTheListAreTakenOnceEachWhateverTheirCase) {
    // The file changed since start-up: names that sort as equal but differ in case come in
    // turns; each is taken once.
    const Strings complete = {"Arrosto"};
    MatchCollector c(complete, true);
    for (const char *name : {"torta", "Torta", "torta", "Arrosto", "Torta"}) c.CollectMatch(name);
    const Strings merged = c.MergeMatches();
    EXPECT_EQ(merged, (Strings{"Arrosto", "torta", "Torta"}));
}

TEST(Search, RecordsTheListingDoesNotSeeAreFoundOnceEach) {
    // A separator as line 12 and another right after it: the listing takes the second as the
    // "-Nome" line of a record named "-Nome", the search reads the record that follows.
    const auto hidden = [](const std::string &name) {
        return CrLf({"-Nome", name, "-P", "Primo", "-I", "x", "-P", "4", "-N", "n", "-I",
                     ":Ricette", ":Ricette"});
    };
    test::TempDir dir;
    const auto path = dir.write(
        "ricette.txt", ":Ricette\r\n" + hidden("Arrosto") + Record({"torta"}) + hidden("Bollito") +
                           Record({"Torta"}) + hidden("Cotto") + Record({"torta"}));
    const Strings all = AllNames(path);
    EXPECT_EQ(all, (Strings{"-Nome", "-Nome", "-Nome", "Arrosto", "Bollito", "Cotto"}));
    EXPECT_EQ(SearchRecipes(path, SearchScope::Nome, "tort", all, true),
              (Strings{"torta", "Torta"}));
}

TEST(Search, NarrowingIntersectsAndStaysEmptyOnceEmpty) {
    test::TempDir dir;
    const auto path = dir.write("ricette.txt", Collection() + Record({"Torta Bimby"}));
    const Strings all = AllNames(path);
    ASSERT_EQ(all.size(), 6u);
    // Two records share a name: one entry after any search.
    const Strings first = SearchRecipes(path, SearchScope::Nome, "torta", all, true);
    EXPECT_EQ(first, Strings{"Torta Bimby"});
    const Strings primi = SearchRecipes(path, SearchScope::Piatto, "primo", all, true);
    ASSERT_EQ(primi.size(), 4u);
    // The second "Torta Bimby" record is a "Primo": it is kept only because its name was kept.
    EXPECT_EQ(SearchRecipes(path, SearchScope::Piatto, "primo", first, false), first);
    // A match outside the narrowed list is not added.
    const Strings dessert = SearchRecipes(path, SearchScope::Piatto, "dessert", all, true);
    EXPECT_EQ(dessert, Strings{"Torta Bimby"});
    EXPECT_EQ(SearchRecipes(path, SearchScope::Luogo, "napoli", dessert, false), Strings{});
    EXPECT_TRUE(SearchRecipes(path, SearchScope::Nome, "a", Strings{}, false).empty());
    EXPECT_FALSE(ExceedsResultLimit(2000, true));
    EXPECT_TRUE(ExceedsResultLimit(2001, true));
    EXPECT_FALSE(ExceedsResultLimit(2001, false));
}

TEST(Search, AVeryLongNameFollowedByAShortOneIsCollectedWhole) {
    // A name longer than a block of the collector comes first, a short one after it.
    test::TempDir dir;
    const std::string longName = "Zuppa " + std::string(17 * 1024, 'a');
    const auto path = dir.write("ricette.txt", File({{longName}, {"Zuppa Corta"}, {"Arrosto"}}));
    const Strings all = AllNames(path);
    ASSERT_EQ(all.size(), 3u);
    const Strings found = SearchRecipes(path, SearchScope::Nome, "zuppa", all, true);
    EXPECT_EQ(found, (Strings{longName, "Zuppa Corta"}));
    // Narrowing again by the same scope keeps both.
    EXPECT_EQ(SearchRecipes(path, SearchScope::Nome, "zuppa", found, false), found);
}

TEST(MatchCollector, CompleteSearchOfManyNamesKeepsTheListOrder) {
    // Enough names to outgrow the first table and name blocks, one longer than a block.
    Strings list;
    for (int i = 0; i < 5000; ++i) list.push_back("Ricetta " + std::to_string(i * 7919 % 5000));
    list.push_back(std::string(20000, 'x'));
    SortNames(list);
    std::mt19937 random(3);
    std::set<std::string> chosen;
    MatchCollector c(list, true);
    for (int i = 0; i < 4000; ++i) {
        const std::string &name = list[random() % list.size()];
        chosen.insert(name);
        c.CollectMatch(name);
        if (i % 2 == 0) {  // one record can match several times
            c.CollectMatch(name);
        }
    }
    c.CollectMatch(list.back());
    chosen.insert(list.back());
    Strings expected;
    for (const std::string &name : list) {
        if (chosen.count(name)) expected.push_back(name);
    }
    EXPECT_EQ(c.MergeMatches(), expected);
    // A name the list lacks (the file changed) is sorted in.
    c.CollectMatch("Ricetta 0 Nuova");
    const Strings merged = c.MergeMatches();
    ASSERT_EQ(merged.size(), expected.size() + 1);
    Strings sorted = merged;
    SortNames(sorted);
    EXPECT_EQ(merged, sorted);
}
