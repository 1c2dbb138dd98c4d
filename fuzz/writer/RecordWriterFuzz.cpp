// Writes a recipe of random field texts into a random collection through the writer and reads
// it back through the program's readers: the save is refused, or the record reads back equal,
// the walk lists it, and every byte of the collection outside it is kept; deleting it again
// gives the collection back. A refusal must come from the field checks, never from the
// read-back alone.
//
// The input is cut at "#~#" into: the collection, name, dish, main ingredient, persons,
// notes, ingredient lines, preparation lines; lines are cut at "#|#".
#include "FuzzParts.h"

#include "data/RecipeFile.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace sapidoro;

namespace {

[[noreturn]] void Fail(const char *what) {
    std::fprintf(stderr, "record writer round trip: %s\n", what);
    std::abort();
}

std::vector<std::string> Lines(std::string_view part) {
    std::vector<std::string> lines;
    if (part.empty()) return lines;
    for (std::size_t at = 0;;) {
        const std::size_t cut = part.find("#|#", at);
        lines.emplace_back(part.substr(at, cut - at));
        if (cut == std::string_view::npos) return lines;
        at = cut + 3;
    }
}

// A folder of its own, in memory where the system has one, so that flushes cost nothing.
const std::string &Folder() {
    // Never destroyed, so that the clean-up at exit still has it.
    static const std::string &folder = *[] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/sapidoro-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) Fail("no temporary folder");
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return new std::string(pattern + "/");
    }();
    return folder;
}

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string &path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const auto parts =
        fuzz::SplitParts(std::string_view(reinterpret_cast<const char *>(data), size), 8);
    RecipeFields recipe{
        std::string(parts[1]), std::string(parts[2]),
        std::string(parts[3]), parts[4].empty() ? 4 : static_cast<int>(parts[4][0]) - '0',
        std::string(parts[5]), Lines(parts[6]),
        Lines(parts[7])};
    std::string record;
    try {
        record = VerifiedRecord(recipe);
    } catch (const ESaveRefused &) {
        try {
            CheckRecipeFields(recipe);
        } catch (const ESaveRefused &) {
            return 0;
        }
        Fail("refused by the read-back though the checks passed");
    }
    const std::string path = RecipeFilePath(Folder());
    ::unlink((path + "~").c_str());
    Write(path, parts[0]);
    try {
        AppendRecipes(Folder(), {recipe});
    } catch (const ESaveRefused &) {
        if (ReadAll(path) != parts[0]) Fail("a refused save changed the file");
        return 0;  // the name is taken
    }
    const std::string grown = ReadAll(path);
    const std::size_t at = grown.rfind(record);
    if (at == std::string::npos) Fail("the record is not in the file");
    std::string rest = grown;
    rest.erase(at, record.size());
    const std::string withoutRecord = rest;
    for (std::size_t extra : {2, 10})
        if (rest != parts[0] && at >= extra)
            rest = std::string(withoutRecord).erase(at - extra, extra);
    if (rest != parts[0]) Fail("bytes outside the record changed");
    const auto found = FindRecipe(path, recipe.name);
    if (!found || !found->complete || FieldsOf(*found) != recipe)
        Fail("the lookup reads another record");
    const RecipeListing listing = ListRecipeNames(path);
    if (std::count(listing.names.begin(), listing.names.end(), recipe.name) != 1)
        Fail("the walk does not list the record once");
    DeleteRecipe(Folder(), CurrentIdentity(path), recipe.name);
    if (ReadAll(path) != withoutRecord) Fail("deleting it did not give the file back");
    return 0;
}
