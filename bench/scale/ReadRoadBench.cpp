// The two roads of the recipe reader on the same file: a scan per scope through plain reads
// into the buffer and through the mapping, interleaved, with the ratio mapped / read.
// Usage: read_road_bench <ricette.txt> [runs]
#include "data/TextFile.h"
#include "search/RecipeScan.h"
#include "timing/BenchTiming.h"

#include <cstdio>
#include <cstdlib>

using namespace sapidoro;

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
                          {"Luogo", SearchScope::Luogo, "roma"},
                          {"Nome", SearchScope::Nome, "torta"},
                          {"Persone", SearchScope::Persone, "4"}};
    std::printf("%-12s %10s %10s %7s %9s\n", "scope", "read ms", "mapped ms", "ratio", "matches");
    for (const Case &c : cases) {
        std::vector<double> read, mapped;
        std::size_t matches[2] = {0, 0};
        for (int run = 0; run < runs; ++run) {
            for (int road = 0; road < 2; ++road) {
                std::size_t count = 0;
                const double ms = bench::Time([&] {
                    const auto file =
                        road == 0 ? std::make_unique<TextFile>(path) : TextFile::MapOrOpen(path);
                    ScanRecipes(*file, c.scope, c.searchString, [&](std::string_view) { ++count; });
                });
                (road == 0 ? read : mapped).push_back(ms);
                matches[road] = count;
            }
        }
        const double r = bench::Median(read), m = bench::Median(mapped);
        std::printf("%-12s %10.1f %10.1f %6.2fx %9zu%s\n", c.name, r, m, m / r, matches[1],
                    matches[0] == matches[1] ? "" : "  MISMATCH");
        if (matches[0] != matches[1]) return 1;
    }
    std::printf("runs: %d per figure (medians), the roads interleaved\n", runs);
    return 0;
}
