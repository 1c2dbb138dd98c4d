// The roads of a scan on the same file: plain reads into the buffer, the mapping, and the
// start-up walk's record table over the mapping, interleaved, each as a ratio to plain reads;
// then the pick of the last record by the lookup's walk and by the table.
// Usage: read_road_bench <ricette.txt> [runs]
#include "data/RecipeFile.h"
#include "data/TextFile.h"
#include "scan/IndexedTextFile.h"
#include "search/NameCatalog.h"
#include "search/RecipeScan.h"
#include "search/RecordJump.h"
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
    {
        // The start-up walk alone, and with the names' sorting and display texts.
        std::vector<double> walk, listing;
        for (int run = 0; run < runs; ++run) {
            walk.push_back(bench::Time([&] { ListRecipeNames(*TextFile::MapOrOpen(path)); }));
            listing.push_back(bench::Time([&] { NameCatalog::List(path); }));
        }
        std::printf("start-up walk %.1f ms, catalog %.1f ms\n", bench::Median(walk),
                    bench::Median(listing));
    }
    const NameCatalog catalog = NameCatalog::List(path);
    if (catalog.records().mappingOf(path) == nullptr)
        std::printf("(the file has no record table: changed in the last seconds?)\n");
    struct Case {
        const char *name;
        SearchScope scope;
        const char *searchString;
    };
    const Case cases[] = {{"Ingredienti", SearchScope::Ingredienti, "sale"},
                          {"Luogo", SearchScope::Luogo, "roma"},
                          {"Nome", SearchScope::Nome, "torta"},
                          {"Persone", SearchScope::Persone, "4"},
                          {"Piatto", SearchScope::Piatto, "primo"},
                          {"Adatta", SearchScope::RicettaAdattaA, "bambini"}};
    constexpr int kRoads = 3;
    std::printf("%-12s %9s %9s %9s %7s %7s %9s\n", "scope", "read ms", "mapped", "table", "map/rd",
                "tbl/rd", "matches");
    for (const Case &c : cases) {
        std::vector<double> times[kRoads];
        std::size_t matches[kRoads] = {};
        std::size_t tabled = 0;
        for (int run = 0; run < runs; ++run) {
            for (int road = 0; road < kRoads; ++road) {
                std::size_t count = 0;
                const auto onMatch = [&](std::string_view) { ++count; };
                times[road].push_back(bench::Time([&] {
                    if (road == 2) {
                        tabled =
                            ScanRecipes(path, catalog.records(), c.scope, c.searchString, onMatch);
                        return;
                    }
                    const auto file = road == 0 ? std::make_unique<IndexedTextFile>(path)
                                                : IndexedTextFile::MapOrOpen(path);
                    ScanRecipes(*file, c.scope, c.searchString, onMatch);
                }));
                matches[road] = count;
            }
        }
        const double r = bench::Median(times[0]), m = bench::Median(times[1]),
                     t = bench::Median(times[2]);
        const bool same = matches[0] == matches[1] && matches[1] == matches[2];
        std::printf("%-12s %9.1f %9.1f %9.1f %6.2fx %6.2fx %9zu %zu/%zu tabled%s\n", c.name, r, m,
                    t, m / r, t / r, matches[2], tabled, catalog.size(), same ? "" : "  MISMATCH");
        if (!same) return 1;
    }
    if (catalog.size() > 0) {
        const std::string last(catalog.name(static_cast<std::uint32_t>(catalog.size() - 1)));
        std::vector<double> walk, table;
        for (int run = 0; run < runs; ++run) {
            walk.push_back(bench::Time([&] { FindRecipe(path, last); }));
            table.push_back(bench::Time([&] { FindListedRecipe(path, catalog, last); }));
        }
        std::printf("pick \"%s\": walk %.2f ms, table %.2f ms\n", last.c_str(), bench::Median(walk),
                    bench::Median(table));
    }
    std::printf("runs: %d per figure (medians), the roads interleaved\n", runs);
    return 0;
}
