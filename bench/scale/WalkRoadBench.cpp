// The record walk that searches fall back to when the start-up walk's record table cannot
// serve (a file changed since start-up, or a record the table does not take), over a whole
// file, beside the plain road: the plain reader and a loop over its lines, as the reading
// rules state the walk. Each scope's medians, interleaved, and the ratio to the plain road.
// Usage: walk_road_bench <ricette.txt> [runs]
#include "data/RecipeFile.h"
#include "data/Split.h"
#include "data/TextFile.h"
#include "scan/IndexedTextFile.h"
#include "search/MatchTest.h"
#include "search/RecipeScan.h"
#include "timing/BenchTiming.h"

#include <cstdio>
#include <cstdlib>

using namespace sapidoro;

namespace {

// The walk line by line over the plain reader; returns the matches.
std::size_t PlainWalk(const std::string &path, SearchScope scope, std::string_view needle) {
    TextFile file(path);
    const LineTest test(scope, needle);
    const int compared = ComparedLineOf(scope);
    std::size_t matches = 0;
    if (file.eof()) return 0;
    file.skipLine();
    while (!file.eof()) {
        file.skipLine();
        if (file.eof()) break;
        const std::string name = file.readLine();
        if (compared == 2 && test.matches(name)) ++matches;
        for (int line = 3; line <= 11; ++line) {
            const std::string_view text = file.readLineView();
            if (line == compared && test.matches(text)) ++matches;
        }
        if (scope == SearchScope::Ingredienti) {
            while (!file.eof()) {
                const std::string_view line = file.readLineView();
                if (test.matches(TextAfter(line, kIngredientSearchSeparator))) ++matches;
                if (line == kPreparationMarker) break;
            }
        } else {
            file.skipLine();
        }
        file.skipPastLine(kRecordSeparator);
    }
    return matches;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <ricette.txt> [runs]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    struct Case {
        const char *name;
        SearchScope scope;
        const char *searchString;
    };
    const Case cases[] = {{"Ingredienti", SearchScope::Ingredienti, "sale"},
                          {"Ingr. rare", SearchScope::Ingredienti, "zafferano"},
                          {"Luogo", SearchScope::Luogo, "roma"},
                          {"Nome", SearchScope::Nome, "torta"},
                          {"Persone", SearchScope::Persone, "4"},
                          {"Piatto", SearchScope::Piatto, "primo"}};
    constexpr int kRoads = 2;
    const char *roads[kRoads] = {"plain", "walk"};
    std::printf("%-12s", "scope");
    for (const char *road : roads) std::printf(" %9s", road);
    std::printf("   (ms; ratio to plain)\n");
    for (const Case &c : cases) {
        std::vector<double> times[kRoads];
        std::size_t matches[kRoads] = {};
        for (int run = 0; run < runs; ++run) {
            for (int road = 0; road < kRoads; ++road) {
                times[road].push_back(bench::Time([&] {
                    if (road == 0) {
                        matches[0] = PlainWalk(path, c.scope, c.searchString);
                        return;
                    }
                    std::size_t count = 0;
                    ScanRecipes(*IndexedTextFile::MapOrOpen(path), c.scope, c.searchString,
                                [&](std::string_view) { ++count; });
                    matches[road] = count;
                }));
            }
        }
        std::printf("%-12s", c.name);
        const double plain = bench::Median(times[0]);
        for (int road = 0; road < kRoads; ++road) {
            const double t = bench::Median(times[road]);
            std::printf(" %6.1f/%.2f", t, t / plain);
            if (matches[road] != matches[0]) std::printf(" MISMATCH");
        }
        std::printf("  %zu matches\n", matches[0]);
    }
    std::printf("runs: %d per figure (medians), the roads interleaved\n", runs);
    return 0;
}
