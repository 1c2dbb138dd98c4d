#include "exchange/CollectionRecipes.h"

#include "data/TextFile.h"

#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace sapidoro {

namespace {

// The record walk of the start-up listing, handing every whole record to `take`.
void WalkRecords(const std::string &path, const std::function<void(RecipeRecord &&)> &take) {
    TextFile file(path);
    file.skipLine();
    while (!file.eof()) {
        file.skipLine();
        std::string name = file.readLine();
        RecipeRecord record = ReadRecipeBody(file, std::move(name));
        if (!record.complete) break;
        take(std::move(record));
    }
}

}  // namespace

std::vector<RecipeRecord> ReadAllRecipes(const std::string &path) {
    std::vector<RecipeRecord> records;
    WalkRecords(path, [&records](RecipeRecord &&record) { records.push_back(std::move(record)); });
    return records;
}

std::vector<RecipeRecord> ReadRecipesNamed(const std::string &path,
                                           const std::vector<std::string> &names) {
    std::unordered_map<std::string, std::size_t> wanted;
    for (std::size_t i = 0; i < names.size(); ++i) wanted.emplace(names[i], i);
    std::vector<RecipeRecord> found(names.size());
    std::vector<bool> seen(names.size());
    WalkRecords(path, [&](RecipeRecord &&record) {
        const auto it = wanted.find(record.name);
        if (it == wanted.end() || seen[it->second]) return;
        seen[it->second] = true;
        found[it->second] = std::move(record);
    });
    std::vector<RecipeRecord> ordered;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (seen[i]) ordered.push_back(std::move(found[i]));
    return ordered;
}

CollectionIndex IndexCollection(const std::string &path) {
    CollectionIndex index;
    std::unordered_set<std::string> dishes;
    WalkRecords(path, [&](RecipeRecord &&record) {
        if (dishes.insert(record.dish).second) index.dishes.push_back(record.dish);
        index.names.push_back(std::move(record.name));
    });
    return index;
}

}  // namespace sapidoro
