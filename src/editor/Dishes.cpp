#include "editor/Dishes.h"

#include "common/Collation.h"
#include "data/RecipeFile.h"
#include "scan/IndexedTextFile.h"

#include <unordered_set>

namespace sapidoro {

std::vector<std::string> CollectionDishes(const std::string &path, std::size_t limit) {
    // The start-up walk, reading the dish line of each record on the way.
    const std::unique_ptr<IndexedTextFile> file = IndexedTextFile::MapOrOpen(path);
    file->watchMarkers(kRecordSeparator);
    std::unordered_set<std::string> seen;
    std::vector<std::string> dishes;
    if (file->eof()) return dishes;
    file->skipLine();
    while (!file->eof()) {
        for (int line = 1; line <= 3; ++line) file->skipLine();
        if (file->eof()) break;
        std::string dish = file->readLine();
        if (dishes.size() < limit && !dish.empty() && seen.insert(dish).second)
            dishes.push_back(std::move(dish));
        if (!file->skipPastLine(kRecordSeparator)) break;
    }
    SortNames(dishes);
    return dishes;
}

}  // namespace sapidoro
