#include "exchange/ImportPlan.h"

#include "common/Cp1252.h"
#include "exchange/ImportSave.h"
#include "exchange/TextEncoding.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <unordered_set>

namespace sapidoro {

namespace {

std::string Numbered(const std::string &name, std::size_t n) {
    return name + " (" + std::to_string(n) + ")";
}

}  // namespace

std::string FreeName(const std::string &name, const std::vector<std::string> &taken) {
    const std::unordered_set<std::string> names(taken.begin(), taken.end());
    for (std::size_t n = 2;; ++n)
        if (!names.count(Numbered(name, n))) return Numbered(name, n);
}

ImportPlan::ImportPlan(std::vector<ImportedRecipe> recipes,
                       std::vector<std::string> collectionNames)
    : m_recipes(std::move(recipes)),
      m_collectionNames(std::move(collectionNames)),
      m_included(m_recipes.size(), true),
      m_taken(m_recipes.size(), false),
      m_refused(m_recipes.size(), false) {
    std::unordered_set<std::string> seen(m_collectionNames.begin(), m_collectionNames.end());
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        ImportedRecipe &recipe = m_recipes[i];
        if (recipe.record.name.empty()) recipe.record.name = std::string(kUnnamedRecipe);
        m_taken[i] = !seen.insert(recipe.record.name).second;
        // What the writer would refuse is said here, recipe by recipe, not by the save.
        // The fields are lent to the check and taken back, so that nothing is copied.
        RecipeRecord &record = recipe.record;
        RecipeFields fields = FieldsForWriter(std::move(record));
        const auto giveBack = [&] {
            record.name = std::move(fields.name);
            record.dish = std::move(fields.dish);
            record.mainIngredient = std::move(fields.mainIngredient);
            record.notes = std::move(fields.notes);
            record.ingredients = std::move(fields.ingredients);
            record.preparation = std::move(fields.preparation);
        };
        try {
            CheckRecipeFields(fields);
            giveBack();
        } catch (const ESaveRefused &refusal) {
            giveBack();
            recipe.problems.push_back(refusal.message() + " Non sar\xC3\xA0 importata.");
            m_refused[i] = true;
            m_included[i] = false;
        }
    }
}

bool ImportPlan::nameTaken(std::size_t i) const {
    return m_taken[i];
}

const std::string &ImportPlan::finalName(std::size_t i) const {
    if (m_names.size() != m_recipes.size()) m_names = finalNames();
    return m_names[i];
}

std::vector<std::string> ImportPlan::finalNames() const {
    std::unordered_set<std::string> taken(m_collectionNames.begin(), m_collectionNames.end());
    std::vector<std::string> names(m_recipes.size());
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        if (!m_included[i]) continue;
        const std::string &name = m_recipes[i].record.name;
        if (!taken.count(name)) {
            names[i] = name;
        } else if (m_choice == NameConflict::Rename) {
            std::size_t n = 2;
            while (taken.count(Numbered(name, n))) ++n;
            names[i] = Numbered(name, n);
        } else {
            continue;
        }
        taken.insert(names[i]);
    }
    return names;
}

std::vector<std::string> ImportPlan::problems(std::size_t i) const {
    const ImportedRecipe &recipe = m_recipes[i];
    std::vector<std::string> problems = recipe.problems;
    if (m_taken[i])
        problems.push_back(
            m_choice == NameConflict::Rename
                ? "Nome gi\xC3\xA0 presente: sar\xC3\xA0 importata come \xC2\xAB" +
                      Cp1252ToUtf8(finalName(i)) + "\xC2\xBB."
                : std::string("Nome gi\xC3\xA0 presente: non sar\xC3\xA0 importata."));
    if (!recipe.unwritable.empty()) {
        std::string text = "Caratteri che Windows-1252 non ha, scritti come \xC2\xAB?\xC2\xBB:";
        for (char32_t c : recipe.unwritable) text += ' ' + DescribeCharacter(c);
        problems.push_back(text + '.');
    }
    return problems;
}

std::vector<RecipeRecord> ImportPlan::chosenRecords() const {
    const std::vector<std::string> names = finalNames();
    std::vector<RecipeRecord> records;
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        if (names[i].empty()) continue;
        records.push_back(m_recipes[i].record);
        records.back().name = names[i];
    }
    return records;
}

std::vector<RecipeRecord> ImportPlan::takeChosenRecords() {
    const std::vector<std::string> names = finalNames();
    std::vector<RecipeRecord> records;
    records.reserve(m_recipes.size());
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        if (names[i].empty()) continue;
        records.push_back(std::move(m_recipes[i].record));
        records.back().name = names[i];
        m_recipes[i].record = RecipeRecord();
    }
    m_recipes.clear();
    m_included.clear();
    m_taken.clear();
    m_refused.clear();
    m_names.clear();
    return records;
}

std::vector<std::pair<std::string, std::string>> ImportPlan::chosenPictures() const {
    const std::vector<std::string> names = finalNames();
    std::vector<std::pair<std::string, std::string>> pictures;
    for (std::size_t i = 0; i < m_recipes.size(); ++i)
        if (!names[i].empty() && !m_recipes[i].picturePath.empty())
            pictures.emplace_back(m_recipes[i].picturePath, names[i]);
    return pictures;
}

}  // namespace sapidoro
