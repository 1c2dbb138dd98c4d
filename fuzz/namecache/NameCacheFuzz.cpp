// Reads arbitrary bytes as the name cache of a fixed small collection.
//
// Input: byte [0] bit 0 clear: the rest is the cache file as it stands, which must be
// ignored or list exactly what the walk lists. Bit 0 set: the rest has the collection's
// identity, edge checksum and walk time put into its header and its checksums made to
// match, as only someone writing the cache folder could, so that every check past them is
// reached; what it lists then need not be the walk's, but reading and using it must stay
// within bounds. With SAPIDORO_FUZZ_SEED set, the first input also writes a valid cache
// there, as a seed of the second kind.
#include "FuzzParts.h"

#include "cache/NameCache.h"
#include "cache/NameCacheCodec.h"
#include "search/NameCatalog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

using namespace sapidoro;

namespace {

const char kCollection[] =
    ":Ricette\r\n-Nome\r\nTorta Di Mele\r\n-Piatto\r\nDolce\r\n:Ricette\r\n"
    "-Nome\r\nbrodo\r\n-Piatto\r\nPrimo\r\n:Ricette\r\n"
    "-Nome\r\nArrosto\r\n-Note\r\nal forno\r\n:Ricette\r\n"
    "-Nome\r\nTorta di mele\r\n:Ricette\r\n"
    "-Nome\r\nCaff\xE8 Freddo\r\n-Nome\r\nTorta Di Mele\r\n:Ricette\r\n"
    "-Nome\r\n\r\n:Ricette\r\n-Nome\r\nultima senza fine\r\n-Piatto\r\n";

struct Fixture {
    std::string folder, recipes, cache;
    std::int64_t walkedAt = 0;
    std::string identityBytes;  // the header's fields from the device to the walk time
};

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string &path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The collection, padded to the size a cache may be kept for, dated back as a settled file
// is, with a cache made of it by the program.
const Fixture &Setup() {
    static Fixture f = [] {
        Fixture made;
        char folder[] = "/tmp/name-cache-fuzz-XXXXXX";
        fuzz::Check(::mkdtemp(folder) != nullptr, "no scratch folder");
        made.folder = std::string(folder) + "/";
        made.recipes = made.folder + "ricette.txt";
        made.cache = made.folder + "names.cache";
        std::string text(kCollection);
        text.insert(text.find("al forno") + 8, std::string(4096, '.'));
        WriteFile(made.recipes, text);
        struct stat info;
        fuzz::Check(::stat(made.recipes.c_str(), &info) == 0, "no collection");
        const struct timespec past = {info.st_mtim.tv_sec - 3600, 0};
        const struct timespec times[2] = {past, past};
        ::utimensat(AT_FDCWD, made.recipes.c_str(), times, 0);
        ::stat(made.recipes.c_str(), &info);
        made.walkedAt = info.st_ctim.tv_sec + RecordTable::kSettledSeconds;
        NameCatalog walked = NameCatalog::ListSorted(made.recipes);
        fuzz::Check(WriteNameCache(made.cache, made.recipes, walked, made.walkedAt),
                    "no cache of the collection");
        const std::string valid = ReadFile(made.cache);
        made.identityBytes = valid.substr(16, 72);
        if (const char *seed = std::getenv("SAPIDORO_FUZZ_SEED"))
            WriteFile(seed, std::string(1, '\1') + valid);
        return made;
    }();
    static const bool cleanedAtExit =
        std::atexit([] {
            for (const std::string &path : {f.cache, f.recipes, f.folder}) ::remove(path.c_str());
        }) == 0;
    (void)cleanedAtExit;
    return f;
}

// Uses every part of a listing the program uses.
void Use(NameCatalog &catalog) {
    catalog.makeDisplayTexts();
    std::size_t sum = 0;
    for (std::uint32_t rank = 0; rank < catalog.size(); ++rank) {
        sum += catalog.name(rank).size() + catalog.firstRankOf(rank) +
               static_cast<std::size_t>(catalog.displayNames()[rank].size());
        sum += catalog.firstRecordOf(catalog.name(rank));
    }
    for (std::size_t i = 0; i <= catalog.records().size(); ++i) sum += catalog.records().start(i);
    fuzz::Check(sum != 1, "unreachable");
}

void ExpectWalked(NameCatalog &cached, const std::string &recipes) {
    cached.makeDisplayTexts();
    const NameCatalog walked = NameCatalog::List(recipes);
    fuzz::Check(cached.size() == walked.size(), "another number of names than the walk's");
    fuzz::Check(cached.displayNames() == walked.displayNames(), "other names than the walk's");
    for (std::uint32_t rank = 0; rank < walked.size(); ++rank)
        fuzz::Check(cached.firstRankOf(rank) == walked.firstRankOf(rank), "other first ranks");
    fuzz::Check(cached.records().size() == walked.records().size(), "another record table");
    for (std::size_t i = 0; i <= walked.records().size(); ++i)
        fuzz::Check(cached.records().start(i) == walked.records().start(i), "another record start");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Fixture &f = Setup();
    if (size == 0) return 0;
    const bool forged = (data[0] & 1) != 0;
    std::string cache(reinterpret_cast<const char *>(data) + 1, size - 1);
    if (forged && cache.size() >= 160) {
        std::memcpy(cache.data() + 16, f.identityBytes.data(), f.identityBytes.size());
        NameCacheCodec::Seal(cache);
    }
    WriteFile(f.cache, cache);
    const auto cached = ReadNameCache(f.cache, f.recipes);
    if (cached == nullptr) return 0;
    if (forged)
        Use(*cached);
    else
        ExpectWalked(*cached, f.recipes);
    return 0;
}
