#include "SampleData.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sapidoro::test {

std::string SampleFile(const std::string &name) {
    return std::string(SAPIDORO_SAMPLE_DATA) + name;
}

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<RecipeRecord> &SampleRecords() {
    static const std::vector<RecipeRecord> records = [] {
        const std::string path = SampleFile("ricette.txt");
        std::vector<RecipeRecord> found;
        for (const std::string &name : ListRecipeNames(path).names) {
            std::optional<RecipeRecord> record = FindRecipe(path, name);
            if (record) found.push_back(std::move(*record));
        }
        return found;
    }();
    return records;
}

}  // namespace sapidoro::test
