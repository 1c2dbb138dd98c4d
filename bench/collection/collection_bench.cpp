// Times the record walk, every search scope and the pick of a recipe on a large generated
// collection, each beside a ripgrep pass over the same file in the same run. Each figure is
// the median of several runs; ours and the peer's runs alternate so that both see the same
// machine state. The ratio is our time over the peer's (below 1.0: faster than rg).
//
// usage: collection_bench [folder] [recipes] [runs]

#include "collection/Generator.h"
#include "common/Collation.h"
#include "data/RecipeFile.h"
#include "scan/LineIndex.h"
#include "search/Search.h"
#include "timing/BenchTiming.h"
#include "view/Calories.h"
#include "view/PicturePath.h"
#include "view/RecipeLoad.h"
#include "view/RecipeText.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace sapidoro;
using namespace sapidoro::bench;

constexpr unsigned kSeed = 1;

struct Pair {
    double ours;
    double peer;
};

// Alternates our run and the peer's, `runs` times each after one untimed run of both, and
// returns both medians. `reset` runs untimed before each of our runs (it drops what the run
// before kept), so that every run starts from the same heap.
Pair Measure(int runs, const std::function<void()> &ours, const std::vector<std::string> &peer,
             const std::function<void()> &reset = {}) {
    if (reset) reset();
    ours();
    RunPeer(peer);
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        if (reset) reset();
        const auto start = Clock::now();
        ours();
        a.push_back(Milliseconds(Clock::now() - start));
        b.push_back(RunPeer(peer));
    }
    return {Median(a), Median(b)};
}

// The system load over the last minute: the machine is shared, so figures go with it.
std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one.empty() ? "unknown" : one;
}

std::string Quoted(const std::vector<std::string> &args) {
    std::string out;
    for (const std::string &a : args) {
        if (!out.empty()) out += ' ';
        out += a.find(' ') == std::string::npos && !a.empty() ? a : "'" + a + "'";
    }
    return out;
}

void Report(const std::string &what, const Pair &p, const std::vector<std::string> &peer,
            const std::string &extra = {}) {
    std::printf("%-52s %9.2f ms | %-44s %9.2f ms | ratio %.2f%s\n", what.c_str(), p.ours,
                Quoted(peer).c_str(), p.peer, p.ours / p.peer, extra.c_str());
    std::fflush(stdout);
}

std::uint64_t FileSize(const std::string &path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path);
    return static_cast<std::uint64_t>(st.st_size);
}

// Generates the collection unless the folder already holds this size and seed.
void EnsureCollection(const std::string &folder, int recipes) {
    const std::string stamp = folder + "generated.txt";
    const std::string wanted = std::to_string(recipes) + " " + std::to_string(kSeed);
    std::ifstream in(stamp);
    std::string have;
    std::getline(in, have);
    if (have == wanted) return;
    mkdir(folder.c_str(), 0755);
    const auto start = Clock::now();
    bench::GenerateCollection(folder, recipes, kSeed);
    std::ofstream(stamp) << wanted << "\n";
    std::printf("generated %d recipes into %s in %.0f ms\n", recipes, folder.c_str(),
                Milliseconds(Clock::now() - start));
}

// Reads a file once so that every run finds it in the page cache.
void Warm(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount()) {
    }
}

struct ScopeCase {
    const char *scope;
    const char *searchString;
};

}  // namespace

int main(int argc, char **argv) {
    std::string folder = argc > 1 ? argv[1] : "/tmp/sapidoro-bench-100k/";
    if (folder.back() != '/') folder += '/';
    const int recipes = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 9;
    try {
        EnsureCollection(folder, recipes);
        const std::string recipeFile = folder + "ricette.txt";
        const std::string table = folder + "ing.txt";
        Warm(recipeFile);
        Warm(table);
        const double megabytes = static_cast<double>(FileSize(recipeFile)) / 1e6;
        std::printf(
            "collection %s: %d recipes, ricette.txt %.1f MB, ing.txt %.1f kB, %d runs, "
            "medians, line index %s, load average %s\n",
            folder.c_str(), recipes, megabytes, static_cast<double>(FileSize(table)) / 1e3, runs,
            IndexLevelName(CurrentIndexLevel()), LoadAverage().c_str());

        // (a) The start-up record walk. A run's result is dropped before the next one, out of
        // the timing.
        RecipeListing listing;
        const std::vector<std::string> walkPeer = {"rg", "-c", "-F", ":Ricette", recipeFile};
        const Pair walk = Measure(
            runs, [&] { listing = ListRecipeNames(recipeFile); }, walkPeer,
            [&] { listing = RecipeListing(); });
        Report("walk (ListRecipeNames)", walk, walkPeer,
               " | " + std::to_string(static_cast<int>(megabytes / walk.ours * 1000)) +
                   " MB/s vs " + std::to_string(static_cast<int>(megabytes / walk.peer * 1000)) +
                   " MB/s");

        // The same walk beside rg reading the file as we do, with plain reads instead of a
        // mapping: the part of the gap that the way of reading makes.
        const std::vector<std::string> readsPeer = {"rg", "--no-mmap", "-c",
                                                    "-F", ":Ricette",  recipeFile};
        const Pair walkReads = Measure(
            runs, [&] { listing = ListRecipeNames(recipeFile); }, readsPeer,
            [&] { listing = RecipeListing(); });
        Report("walk (ListRecipeNames), rg with plain reads", walkReads, readsPeer);

        // The result list as a handler reads it from the list control: sorted, and built in
        // that order.
        std::vector<std::string> sorted = listing.names;
        SortNames(sorted);
        const std::vector<std::string> complete(sorted.begin(), sorted.end());

        // (b) Each scope's search from the complete list, then one narrowing search.
        const ScopeCase cases[] = {
            {"Ingredienti", "past"}, {"Luogo", "Toscana"}, {"Nome", "Bimby"},
            {"Persone", "4"},        {"Piatto", "Primo"},  {"Ricetta Adatta A", "Bambini piccoli"}};
        std::vector<std::string> narrowed;
        for (const ScopeCase &c : cases) {
            const SearchScope scope = *ParseScope(c.scope);
            std::vector<std::string> found;
            std::size_t records = 0;
            const std::vector<std::string> peer = {"rg", "-c",           "-i",
                                                   "-F", c.searchString, recipeFile};
            const Pair p = Measure(
                runs,
                [&] {
                    records = 0;
                    found = SearchRecipes(recipeFile, scope, c.searchString, complete, true,
                                          [&] { ++records; });
                },
                peer, [&] { found = {}; });
            Report(std::string("search ") + c.scope + " \"" + c.searchString + "\" (complete)", p,
                   peer, " | " + std::to_string(found.size()) + " results");
            if (scope == SearchScope::Ingredienti) narrowed = found;
        }
        {
            std::vector<std::string> found;
            const std::vector<std::string> peer = {"rg", "-c", "-i", "-F", "Primo", recipeFile};
            const Pair p = Measure(
                runs,
                [&] {
                    found =
                        SearchRecipes(recipeFile, SearchScope::Piatto, "Primo", narrowed, false);
                },
                peer, [&] { found = {}; });
            Report("search Piatto \"Primo\" narrowing " + std::to_string(narrowed.size()), p, peer,
                   " | " + std::to_string(found.size()) + " results");
        }

        // (c) Picking the last recipe of the file: lookup, calories, texts, picture path.
        const std::string last = listing.names.back();
        std::string shown;
        const std::vector<std::string> loadPeer = {"rg", "-c", "-F", last, recipeFile};
        const Pair load = Measure(
            runs,
            [&] {
                const RecipeRecord record = FindRecipe(recipeFile, last).value();
                CalorieTotals totals;
                std::vector<std::string> notFound;
                ComputeCalories(table, record.ingredients, totals,
                                [&](const std::string &line) { notFound.push_back(line); });
                const CalorieTexts texts = ShowCalories(totals, 4);
                const auto lines = ComposeRecipeText(
                    {record.name, record.dish, record.mainIngredient, 4, texts.calories,
                     record.notes, record.ingredients, record.preparation});
                shown = texts.calories + " kcal/person, " + std::to_string(notFound.size()) +
                        " not found, " + std::to_string(lines.size()) + " text lines, " +
                        PictureFileFor(folder, last);
            },
            loadPeer);
        Report("pick the last recipe (lookup + calories)", load, loadPeer, " | " + shown);

        // The calorie part alone, beside one pass over the table.
        const RecipeRecord record = FindRecipe(recipeFile, last).value();
        const std::vector<std::string> tablePeer = {"rg", "-c", "-F", "_ING", table};
        const Pair calories = Measure(
            runs,
            [&] {
                CalorieTotals totals;
                ComputeCalories(table, record.ingredients, totals, [](const std::string &) {});
            },
            tablePeer);
        Report("calories of its " + std::to_string(record.ingredients.size()) + " lines", calories,
               tablePeer);
        std::printf("load average at the end %s\n", LoadAverage().c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "collection_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
