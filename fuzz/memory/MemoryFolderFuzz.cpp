// Runs the logic layer over the three data files held in memory and compares every result with
// the plain reference: the listing, its catalog and sort, a search under any scope by either
// collector, chains of narrowing searches, the raw matches of a scan, the lookup by name with
// the record's calories, the calorie lookup, the ingredient names and the places. No file is
// written, so that a run reaches thousands of inputs a second; the file road (links, mapping,
// identity checks, the record table) is the data-folder target's. Where an execution could do
// one of several equal jobs (a scope, a collector, a name to look up), the input chooses, so
// that each execution stays short and the runs together do them all.
//
// The input is that of the data-folder target, cut at "#~#" into: control bytes, ricette.txt,
// ing.txt, luoghi.txt, then any number of search strings. Control bytes (missing ones count as
// 0): [0] instruction set level of the line index, [1] block size (0: 4096) and [2] read size
// (0: unbounded) of the readers, [3] scopes of the narrowing chains, [4] what is looked up
// (bit 0 set: a search string, else a listed name; the other bits say which), [5] scope of
// the raw scan, [6] first search string, [7] collector of each search of the chain (bit 0:
// the first; set: by ranks, clear: by names), [8] a scan of a mapped copy cut by another
// program (0: none; else the read before which the cut comes, plus one), [9] and [10] where the
// cut falls, [11] how far the copy's first line (which scans skip) reaches, so that the records
// straddle a page boundary and the cut makes a page fault.
#include "Checks.h"
#include "FuzzParts.h"
#include "PlainReference.h"

#include "common/Collation.h"
#include "common/Exception.h"
#include "data/CalorieTable.h"
#include "data/IntConvert.h"
#include "data/Places.h"
#include "data/RecipeFile.h"
#include "data/TextFile.h"
#include "scan/FileMapping.h"
#include "scan/IndexedTextFile.h"
#include "scan/LineIndex.h"
#include "search/NameCatalog.h"
#include "search/RankSearch.h"
#include "search/RecipeScan.h"
#include "search/Search.h"
#include "view/Calories.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace sapidoro;
using fuzz::Check;
using plain::Strings;

namespace {

constexpr SearchScope kScopes[] = {SearchScope::Ingredienti, SearchScope::Luogo,
                                   SearchScope::Nome,        SearchScope::Persone,
                                   SearchScope::Piatto,      SearchScope::RicettaAdattaA};
constexpr plain::Scope kPlainScopes[] = {plain::Scope::Ingredienti, plain::Scope::Luogo,
                                         plain::Scope::Nome,        plain::Scope::Persone,
                                         plain::Scope::Piatto,      plain::Scope::RicettaAdattaA};

// Serves bytes that the input keeps, at most `maxRead` per read, without a copy per reader.
class ViewSource final : public ByteSource {
public:
    ViewSource(std::string_view bytes, std::size_t maxRead) : m_bytes(bytes), m_maxRead(maxRead) {}
    std::size_t read(char *buffer, std::size_t capacity) override {
        const std::size_t n = std::min({capacity, m_maxRead, m_bytes.size()});
        std::memcpy(buffer, m_bytes.data(), n);
        m_bytes.remove_prefix(n);
        return n;
    }

private:
    std::string_view m_bytes;
    std::size_t m_maxRead;
};

struct Input {
    std::string control;
    std::string recipes, table, places;
    Strings strings;  // the search strings of the input, then texts from the files
    Strings placeList, ingredientNames;  // as the reference reads them
    unsigned char at(std::size_t i) const {
        return i < control.size() ? static_cast<unsigned char>(control[i]) : 0;
    }
    const std::string &string(std::size_t i) const { return strings[i % strings.size()]; }
    std::unique_ptr<ByteSource> source(const std::string &bytes) const {
        return std::make_unique<ViewSource>(bytes,
                                            at(2) == 0 ? static_cast<std::size_t>(-1) : 16 * at(2));
    }
    std::size_t blockSize() const { return at(1) == 0 ? 4096 : 64 * at(1); }
    std::unique_ptr<TextFile> plainFile(const std::string &bytes) const {
        return std::make_unique<TextFile>(source(bytes), blockSize());
    }
    std::unique_ptr<IndexedTextFile> indexedFile(const std::string &bytes) const {
        return std::make_unique<IndexedTextFile>(source(bytes), blockSize());
    }
};

Strings NamesOf(const NameCatalog &catalog, const RankedResult &result) {
    if (result.byName) return result.names;
    Strings names;
    for (const std::uint32_t rank : result.ranks) names.emplace_back(catalog.name(rank));
    return names;
}

// The result list's ranks: the first rank of each name, the names being in the catalog's order;
// nothing when a name is not listed (a listing cut short misses the names after its end).
std::optional<std::vector<std::uint32_t>> RanksOf(const NameCatalog &catalog,
                                                  const Strings &names) {
    std::vector<std::uint32_t> ranks;
    std::uint32_t rank = 0;
    for (const std::string &name : names) {
        while (rank < catalog.size() && catalog.name(rank) != name) ++rank;
        if (rank == catalog.size()) return std::nullopt;
        ranks.push_back(rank);
    }
    return ranks;
}

// One search by the collector the input chose, against the reference; returns the new result
// list. A list with names the catalog does not hold goes by names.
Strings CheckSearch(const Input &in, const NameCatalog &catalog, std::size_t scope,
                    const std::string &needle, const Strings &resultList, bool byRanks) {
    const bool complete = resultList.size() == catalog.size();
    const plain::Scan scan = plain::ScanFile(in.recipes, kPlainScopes[scope], needle);
    Strings want = plain::Collect(resultList, complete, scan.matches);
    const std::optional<std::vector<std::uint32_t>> ranks =
        byRanks ? RanksOf(catalog, resultList) : std::nullopt;
    if (ranks) {
        const RankedResult got = SearchRanks(*in.indexedFile(in.recipes), kScopes[scope], needle,
                                             catalog, *ranks, complete);
        Check(NamesOf(catalog, got) == want, "search by ranks");
    } else {
        std::size_t records = 0;
        const Strings got = SearchRecipes(*in.indexedFile(in.recipes), kScopes[scope], needle,
                                          resultList, complete, [&records] { ++records; });
        Check(records == scan.records && got == want, "search by names");
    }
    return want;
}

// A search from the complete list, a chain of narrowing searches, and the raw matches of a
// scan.
void CheckSearches(const Input &in, const NameCatalog &catalog, const Strings &sorted) {
    const std::size_t first = in.at(6);
    unsigned scopes = in.at(3);
    const unsigned byRanks = in.at(7);
    Strings result = CheckSearch(in, catalog, scopes % 6, in.string(first), sorted, byRanks & 1);
    // Narrowing: each search starts from the result of the one before.
    for (std::size_t step = 1; step < 3; ++step) {
        scopes /= 6;
        result = CheckSearch(in, catalog, scopes % 6, in.string(first + step), result,
                             (byRanks >> step) & 1);
    }
    // The raw matches, in order and with repeats.
    const std::size_t scope = (in.at(5) >> 1) % 6;
    const plain::Scan want = plain::ScanFile(in.recipes, kPlainScopes[scope], in.string(first));
    Strings matches;
    std::size_t records = 0;
    ScanRecipes(
        *in.indexedFile(in.recipes), kScopes[scope], in.string(first),
        [&matches](std::string_view name) { matches.emplace_back(name); },
        [&records] { ++records; });
    Check(matches == want.matches && records == want.records, "raw matches of a scan");
}

struct Cut {
    int fd;
    std::size_t read, offset;
};

void CutAtRead(void *context, std::size_t read) {
    const Cut &cut = *static_cast<const Cut *>(context);
    if (read == cut.read) Check(::ftruncate(cut.fd, static_cast<off_t>(cut.offset)) == 0, "cut");
}

// A scan of a mapped file in memory that another program cuts before one of the scan's reads:
// it stays inside its buffers and ends.
void CheckCutScan(const Input &in) {
    if (in.at(8) == 0) return;
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::string bytes = std::string(page - 16 * in.at(11) % page, 'x') + in.recipes;
    const std::size_t scope = (in.at(5) >> 1) % 6;
    const std::string &needle = in.string(in.at(6));
    const int fd = ::memfd_create("ricette.txt", MFD_CLOEXEC);
    Check(fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
          "file in memory");
    Cut cut{fd, in.at(8) - 1u, ((in.at(9) << 8u) | in.at(10)) % (bytes.size() + 1)};
    const std::shared_ptr<const FileMapping> mapping = FileMapping::OverDescriptor(fd);
    Check(mapping != nullptr, "mapping of the file in memory");
    detail::SetMappedReadHook(CutAtRead, &cut);
    Strings matches;
    ScanRecipes(*IndexedTextFile::Over(mapping, in.blockSize()), kScopes[scope], needle,
                [&matches](std::string_view name) { matches.emplace_back(name); });
    detail::SetMappedReadHook(nullptr, nullptr);
    // The names are copied so that their bytes are read; which records a cut scan may report
    // is checked on well-formed files by the cut test.
    Check(matches.size() <= bytes.size(), "matches of a file cut during the scan");
}

bool SameRecord(const RecipeRecord &got, const plain::Record &want) {
    return got.dish == want.dish && got.mainIngredient == want.mainIngredient &&
           got.persons == want.persons && got.notes == want.notes &&
           got.ingredients == want.ingredients && got.preparation == want.preparation &&
           got.complete == want.complete;
}

void CheckCalories(const Input &in, const plain::Record &record) {
    const plain::Calories want = plain::CountCalories(in.table, record.ingredients);
    CalorieTotals totals;
    Strings notFound;
    std::string error;
    const auto openTable = [&in] { return in.plainFile(in.table); };
    try {
        ComputeCalories(openTable, record.ingredients, totals,
                        [&notFound](const std::string &line) { notFound.push_back(line); });
    } catch (const EConvertError &e) {
        error = e.message();
    }
    Check(error == want.error.value_or(std::string()), "calorie error");
    Check(totals.calorieSum == want.sum && totals.missingIngredientCount == want.missing,
          "calorie totals");
    Check(notFound == want.notFound, "ingredients not found");
    // The last line looked up again in the same reader as another line before it: entries
    // read for earlier lookups answer later ones.
    if (!record.ingredients.empty()) {
        CalorieTableReader reader(openTable);
        const IngredientLine first = SplitIngredientLine(record.ingredients.front());
        reader.FindCalories(first.ingredient, LookupQuantity(first.quantity));
        const IngredientLine parts = SplitIngredientLine(record.ingredients.back());
        const std::string_view quantity = LookupQuantity(parts.quantity);
        const std::optional<std::string> entry =
            plain::FirstEntry(in.table, parts.ingredient, quantity);
        const std::optional<std::string_view> got = reader.FindCalories(parts.ingredient, quantity);
        Check(got.has_value() == entry.has_value() && (!got || *got == *entry), "calorie lookup");
    }
    const std::optional<std::int32_t> persons = plain::ParseInt(record.persons);
    if (!want.error && persons) {
        const int shown = *persons < 1 ? 1 : *persons > 100 ? 100 : *persons;
        const CalorieTexts texts = ShowCalories(totals, shown);
        const std::string count = std::to_string(want.missing);
        Check(texts.calories == std::to_string(want.sum / shown) &&
                  texts.hint == count + " INGREDIENTI NON TROVATI)" &&
                  texts.label == " INGREDIENTI NON TROVATI: " + count,
              "calorie texts");
    }
}

void CheckLookup(const Input &in, const std::string &name) {
    const std::optional<plain::Record> want = plain::FindRecord(in.recipes, name);
    const std::optional<RecipeRecord> got = FindRecipe(*in.plainFile(in.recipes), name);
    Check(got.has_value() == want.has_value(), "lookup finds the name");
    if (!want) return;
    Check(got->name == name && SameRecord(*got, *want), "record read");
    fuzz::CheckInteger(got->persons);
    CheckCalories(in, *want);
}

Input ReadInput(std::string_view bytes) {
    const std::vector<std::string_view> parts = fuzz::SplitParts(bytes, 4);
    Input in;
    in.control = parts[0];
    in.recipes = parts[1];
    in.table = parts[2];
    in.places = parts[3];
    for (std::size_t i = 4; i < parts.size() && i < 12; ++i) in.strings.emplace_back(parts[i]);
    // Texts that the program itself offers for searching.
    in.placeList = plain::Places(in.places);
    in.ingredientNames = plain::IngredientNames(in.table);
    in.strings.push_back(in.placeList.front());
    if (!in.ingredientNames.empty()) in.strings.push_back(in.ingredientNames.front());
    in.strings.push_back("4");
    return in;
}

}  // namespace

// Most of an execution's time went to the allocator. Allocation stacks of two frames (the
// allocation and its caller), and a quarantine of about ten executions' frees (one frees about
// 200 KB at the longest inputs), keep overflows and uses after free found while the freed memory
// stays in the processor's cache; stacks of four frames cost 5% of the rate, a quarantine of
// 16 MB 15%. ASAN_OPTIONS overrides these, e.g. malloc_context_size=30 for whole stacks when
// replaying a finding.
extern "C" const char *__asan_default_options() {
    return "malloc_context_size=2:quarantine_size_mb=2";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Input in = ReadInput(std::string_view(reinterpret_cast<const char *>(data), size));
    const ScopedIndexLevel level(static_cast<IndexLevel>(1 + in.at(0) % 2));

    const plain::Listing listing = plain::ListNames(in.recipes);
    const RecipeListing got = ListRecipeNames(*in.plainFile(in.recipes));
    Check(got.names == listing.names && got.cutShort == listing.cutShort, "listing");
    const NameCatalog catalog = NameCatalog::List(*in.indexedFile(in.recipes));
    const Strings sorted = plain::SortedNames(listing.names);
    Check(catalog.size() == sorted.size(), "names in the catalog");
    for (std::uint32_t rank = 0; rank < catalog.size(); ++rank)
        Check(catalog.name(rank) == sorted[rank], "catalog order");

    CheckSearches(in, catalog, sorted);
    CheckCutScan(in);
    // One lookup: of a listed name, or of a search string, which seldom names a recipe.
    const unsigned lookup = in.at(4);
    CheckLookup(in, (lookup & 1) || sorted.empty() ? in.string(1 + (lookup >> 1))
                                                   : sorted[(lookup >> 1) % sorted.size()]);

    Check(ReadIngredientNames(*in.plainFile(in.table)) == in.ingredientNames, "ingredient names");
    Strings places;
    ReadPlaces(*in.plainFile(in.places), [&places](std::string_view p) { places.emplace_back(p); });
    Check(places == in.placeList, "places");
    plain::ForgetLines();
    return 0;
}
