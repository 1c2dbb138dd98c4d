// index_bench <ricette.txt> [rounds]: the walk, the index's build and every scope's searches,
// indexed and scanned, beside `rg -c -i -F` on the same file, runs interleaved; medians and
// spreads in milliseconds, one figure per line.
#include "index/TrigramIndex.h"
#include "search/NameCatalog.h"
#include "search/RankSearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sapidoro;

namespace {

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename Work>
double Time(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Ms(std::chrono::steady_clock::now() - start);
}

void Report(const char *what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-40s median %8.2f  spread %8.2f-%8.2f\n", what, times[times.size() / 2],
                times.front(), times.back());
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return 2;
    const std::string path = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    double loads[3] = {};
    if (getloadavg(loads, 3) > 0)
        std::printf("load average %.2f %.2f %.2f\n", loads[0], loads[1], loads[2]);
    NameCatalog catalog;
    const double walk = Time([&] { catalog = NameCatalog::List(path); });
    std::printf("start-up listing (walk, sort, texts) %.1f ms, %zu records\n", walk,
                catalog.size());
    const RecordTable &table = catalog.records();
    std::vector<std::uint64_t> starts;
    for (std::size_t r = 0; r <= table.size(); ++r) starts.push_back(table.start(r));
    std::optional<TrigramIndex> index;
    const double build = Time([&] { index = TrigramIndex::Build(table.mappingOf(path), starts); });
    if (!index) return 1;
    std::printf("index build %.1f ms, %.1f MB\n", build, index->memoryBytes() / 1048576.0);
    const struct {
        SearchScope scope;
        const char *text;
    } searches[] = {{SearchScope::Ingredienti, "sal"},
                    {SearchScope::Ingredienti, "pepe nero"},
                    {SearchScope::Ingredienti, "bresaola"},
                    {SearchScope::Nome, "pollo"},
                    {SearchScope::Nome, "zzzz"},
                    {SearchScope::Piatto, "dolc"},
                    {SearchScope::Persone, "12"},
                    {SearchScope::Persone, "4"},
                    {SearchScope::Luogo, "toscana"},
                    {SearchScope::RicettaAdattaA, "bambini"},
                    {SearchScope::Ingredienti, "sa"}};
    for (const auto &search : searches) {
        std::vector<double> rg, scanned, indexed;
        const std::string command =
            "rg -c -i -F '" + std::string(search.text) + "' '" + path + "' > /dev/null";
        std::size_t found = 0;
        for (int round = 0; round < rounds; ++round) {
            rg.push_back(Time([&] { (void)std::system(command.c_str()); }));
            scanned.push_back(Time([&] {
                found =
                    SearchRanks(path, search.scope, search.text, catalog, {}, true).ranks.size();
            }));
            indexed.push_back(Time([&] {
                const std::optional<RecordFilter> filter =
                    index->candidates(search.scope, search.text);
                SearchRanks(path, search.scope, search.text, catalog, {}, true, {},
                            filter ? &*filter : nullptr);
            }));
        }
        std::printf("%s / \"%s\": %zu found\n",
                    std::string(kScopeNames[static_cast<int>(search.scope)]).c_str(), search.text,
                    found);
        Report("  rg -c -i -F", rg);
        Report("  scan", scanned);
        Report("  indexed", indexed);
    }
    return 0;
}
