// The scan and the contains test against plain line-by-line references on random input.
#include "common/AsciiCase.h"
#include "data/RecipeFile.h"
#include "data/Split.h"
#include "scan/LineIndex.h"
#include "search/MatchTest.h"
#include "search/RecipeScan.h"

#include <gtest/gtest.h>

#include <random>

using namespace sapidoro;
using Strings = std::vector<std::string>;

namespace {

bool NaiveContains(std::string_view text, std::string_view needle) {
    if (needle.empty()) return false;
    const std::string t = AsciiUpper(text), n = AsciiUpper(needle);
    return t.find(n) != std::string::npos;
}

// The record walk of a scan, one line at a time.
Strings ReferenceScan(TextFile &file, SearchScope scope, const std::string &needle) {
    Strings matches;
    const auto test = [&](std::string_view text) {
        return scope == SearchScope::Persone ? text == needle : NaiveContains(text, needle);
    };
    const int compared = ComparedLineOf(scope);
    if (file.eof()) return matches;
    file.skipLine();
    while (!file.eof()) {
        file.skipLine();
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
            file.skipLine();
        }
        while (!file.eof()) {
            if (file.readLine() == ":Ricette") break;
        }
    }
    return matches;
}

std::string RandomLine(std::mt19937 &random) {
    static const std::string pieces[] = {"a",
                                         "A",
                                         "b",
                                         " ",
                                         "=",
                                         " ====",
                                         " === ",
                                         "past",
                                         "PaSt",
                                         "\n",
                                         "\xE8",
                                         "-Preparazione",
                                         ":Ricette",
                                         "4",
                                         "-P",
                                         ":R",
                                         std::string(70, 'p')};
    std::string line;
    const int n = static_cast<int>(random() % 6);
    for (int i = 0; i < n; ++i) line += pieces[random() % std::size(pieces)];
    return line;
}

std::string RandomFile(std::mt19937 &random) {
    std::string file;
    const int lines = static_cast<int>(random() % 120);
    for (int i = 0; i < lines; ++i) {
        const unsigned kind = random() % 10;
        if (kind == 0) {
            file += ":Ricette";
        } else if (kind == 1) {
            file += "-Preparazione";
        } else if (kind == 2) {
            file += "-Nome";
        } else {
            file += RandomLine(random);
        }
        file += random() % 4 == 0 ? "\r" : "\r\n";
    }
    if (random() % 20 == 0) file.insert(random() % (file.size() + 1), "\x1A");
    return file;
}

}  // namespace

TEST(ScanReference, EveryScopeMatchesALineByLineWalk) {
    std::mt19937 random(11);
    const std::string needles[] = {"past", "a",  "= a", "=",  "4",  "",       "\xE8", "b\na",
                                   " ",    "pA", "-P",  ":R", "\n", "= PAST", "pppp"};
    const SearchScope scopes[] = {SearchScope::Ingredienti, SearchScope::Luogo,
                                  SearchScope::Nome,        SearchScope::Persone,
                                  SearchScope::Piatto,      SearchScope::RicettaAdattaA};
    std::size_t ingredientMatches = 0;  // the random files must exercise the matching paths
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = RandomFile(random);
        const std::size_t blockSize = 1 + random() % 40;
        for (SearchScope scope : scopes) {
            const std::string &needle = needles[random() % std::size(needles)];
            TextFile reference(MakeMemorySource(bytes), blockSize);
            const Strings expected = ReferenceScan(reference, scope, needle);
            if (scope == SearchScope::Ingredienti) ingredientMatches += expected.size();
            {
                // Every instruction set level the processor has, one per case.
                const ScopedIndexLevel level(static_cast<IndexLevel>(random() % 3));
                IndexedTextFile file(MakeMemorySource(bytes, 1 + random() % 50), blockSize);
                Strings got;
                ScanRecipes(file, scope, needle,
                            [&](std::string_view name) { got.emplace_back(name); });
                ASSERT_EQ(got, expected) << "round " << round << " needle " << needle;
            }
        }
    }
    EXPECT_GT(ingredientMatches, 500u);
}

namespace {

// Records in the file's layout with random fields and ingredient lines, now and then bent
// out of shape, so that the walk's buffered paths carry most records.
std::string RandomCollection(std::mt19937 &random) {
    std::string file = ":Ricette\r\n";
    const int records = static_cast<int>(random() % 12);
    for (int r = 0; r < records; ++r) {
        Strings lines = {
            "-Nome", RandomLine(random), "-Piatto",     RandomLine(random),
            "-I",    RandomLine(random), "-Persone",    random() % 2 ? "4" : RandomLine(random),
            "-Note", RandomLine(random), "-Ingredienti"};
        for (int i = static_cast<int>(random() % 8); i > 0; --i) {
            lines.push_back(RandomLine(random) + " ==== " + RandomLine(random));
        }
        lines.push_back("-Preparazione");
        for (int i = static_cast<int>(random() % 3); i > 0; --i)
            lines.push_back(RandomLine(random));
        lines.push_back(":Ricette");
        for (std::string &line : lines) {
            if (random() % 60 == 0) continue;
            file += line;
            file += random() % 5 == 0 ? "\r" : "\r\n";
        }
    }
    if (random() % 8 == 0) file.resize(random() % (file.size() + 1));
    return file;
}

}  // namespace

TEST(ScanReference, RecordsInTheFileLayoutMatchALineByLineWalk) {
    std::mt19937 random(13);
    const std::string needles[] = {"past", "a",  "=",  "4",      "",     "b\na", "pA",
                                   "-P",   ":R", "\n", "= PAST", "pppp", "\xE8"};
    const SearchScope scopes[] = {SearchScope::Ingredienti, SearchScope::Luogo, SearchScope::Nome,
                                  SearchScope::Persone, SearchScope::Piatto};
    std::size_t matches = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = RandomCollection(random);
        const SearchScope scope = scopes[random() % std::size(scopes)];
        const std::string &needle = needles[random() % std::size(needles)];
        TextFile reference(MakeMemorySource(bytes), 64);
        const Strings expected = ReferenceScan(reference, scope, needle);
        matches += expected.size();
        const ScopedIndexLevel level(static_cast<IndexLevel>(random() % 3));
        IndexedTextFile file(MakeMemorySource(bytes, 1 + random() % 300), 1 + random() % 200);
        Strings got;
        ScanRecipes(file, scope, needle, [&](std::string_view name) { got.emplace_back(name); });
        ASSERT_EQ(got, expected) << "round " << round << " level " << IndexLevelName(level.level())
                                 << " needle " << needle;
    }
    EXPECT_GT(matches, 2000u);
}
