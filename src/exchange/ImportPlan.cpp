#include "exchange/ImportPlan.h"

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "exchange/ImportSave.h"
#include "exchange/TextEncoding.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace sapidoro {

namespace {

std::string Numbered(const std::string &name, std::size_t n) {
    return name + " (" + std::to_string(n) + ")";
}

}  // namespace

ImportPlan::ImportPlan(ImportReader read, std::vector<std::string> collectionNames)
    : m_spool(std::make_shared<RecordSpool>()), m_collectionNames(std::move(collectionNames)) {
    m_reading = read([&](ImportedRecipe &&recipe) { add(std::move(recipe)); });
    // Views of the names, now that they no longer move.
    m_group.reserve(m_recipes.size());
    groupNames(&m_group);
    m_taken.reserve(m_recipes.size());
    for (std::size_t i = 0; i < m_recipes.size(); ++i) m_taken.push_back(m_group[i] != i);
}

ImportPlan::NameGroups ImportPlan::groupNames(std::vector<std::uint32_t> *groupOf) const {
    NameGroups groups;
    groups.reserve(m_collectionNames.size() + m_recipes.size());
    for (const std::string &name : m_collectionNames) groups.emplace(name, kInCollection);
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        const auto group = groups.emplace(m_recipes[i].name, static_cast<std::uint32_t>(i));
        if (groupOf != nullptr) groupOf->push_back(group.first->second);
    }
    return groups;
}

ImportPlan::ImportPlan(std::vector<ImportedRecipe> recipes,
                       std::vector<std::string> collectionNames)
    : ImportPlan(
          [held = std::make_shared<const std::vector<ImportedRecipe>>(std::move(recipes))](
              const RecipeVisitor &visit) {
              for (ImportedRecipe recipe : *held) visit(std::move(recipe));
              ImportReading reading;
              reading.recipes = held->size();
              return reading;
          },
          std::move(collectionNames)) {}

void ImportPlan::add(ImportedRecipe &&recipe) {
    RecipeRecord &record = recipe.record;
    RecipeSummary summary;
    if (record.name.empty()) record.name = std::string(kUnnamedRecipe);
    summary.name = record.name;
    summary.dish = record.dish;
    summary.persons = record.persons;
    summary.picturePath = std::move(recipe.picturePath);
    summary.unwritable = std::move(recipe.unwritable);
    summary.problems = std::move(recipe.problems);
    // What the writer would refuse is said here, recipe by recipe, not by the save.
    bool refused = false;
    SpooledRecord spooled;
    try {
        const RecipeFields fields = FieldsForWriter(std::move(record));
        CheckRecipeFields(fields);
        spooled = m_spool->add(fields);
    } catch (const ESaveRefused &refusal) {
        summary.problems.push_back(refusal.message() + " Non sar\xC3\xA0 importata.");
        refused = true;
    }
    m_spooled.push_back(spooled);
    m_refused.push_back(refused);
    m_included.push_back(!refused);
    m_recipes.push_back(std::move(summary));
}

void ImportPlan::handChosen(const std::vector<std::string> &finalNames,
                            const EncodedRecordSink &take) const {
    if (!m_reading.sourcePath.empty()) {
        bool same = false;
        try {
            same = SourceIdentity(m_reading.sourcePath) == m_reading.sourceIdentity;
        } catch (const EInOutError &) {
        }
        if (!same)
            throw ESaveRefused(
                "Il file da importare \xC3\xA8 cambiato dopo l'anteprima: l'importazione non "
                "\xC3\xA8 stata salvata.");
    }
    std::string renamed;
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        if (finalNames[i].empty()) continue;
        std::string_view record;
        try {
            record = m_spool->read(m_spooled[i]);
        } catch (const EInOutError &failure) {
            throw ESaveRefused(failure.message() + " L'importazione non \xC3\xA8 stata salvata.");
        }
        const std::string &name = m_recipes[i].name;
        if (finalNames[i] == name) {
            take(record);
            continue;
        }
        // Only the name line changes: "-Nome", CR LF, the name, CR LF.
        const std::size_t nameLine = kNameMarker.size() + 2;
        renamed.assign(record.substr(0, nameLine));
        renamed.append(finalNames[i]);
        renamed.append(record.substr(nameLine + name.size()));
        take(renamed);
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
    // A recipe keeps its name unless the collection holds it, an earlier recipe of its group
    // kept it, or a renaming gave it; only renamings look names up.
    std::vector<std::string> names(m_recipes.size());
    std::vector<bool> kept(m_recipes.size());
    std::unordered_set<std::string> given;
    NameGroups groups;
    const auto taken = [&](const std::string &name) {
        if (given.count(name)) return true;
        const auto group = groups.find(name);
        return group != groups.end() && (group->second == kInCollection || kept[group->second]);
    };
    for (std::size_t i = 0; i < m_recipes.size(); ++i) {
        if (!m_included[i]) continue;
        const std::string &name = m_recipes[i].name;
        const std::uint32_t group = m_group[i];
        if (group != kInCollection && !kept[group] && (given.empty() || !given.count(name))) {
            names[i] = name;
            kept[group] = true;
        } else if (m_choice == NameConflict::Rename) {
            if (groups.empty()) groups = groupNames();
            std::size_t n = 2;
            while (taken(Numbered(name, n))) ++n;
            names[i] = Numbered(name, n);
            given.insert(names[i]);
        }
    }
    return names;
}

std::vector<std::string> ImportPlan::problems(std::size_t i) const {
    const RecipeSummary &recipe = m_recipes[i];
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

std::vector<std::pair<std::string, std::string>> ImportPlan::chosenPictures() const {
    std::vector<std::pair<std::string, std::string>> pictures;
    if (std::none_of(m_recipes.begin(), m_recipes.end(),
                     [](const RecipeSummary &recipe) { return !recipe.picturePath.empty(); }))
        return pictures;
    const std::vector<std::string> names = finalNames();
    for (std::size_t i = 0; i < m_recipes.size(); ++i)
        if (!names[i].empty() && !m_recipes[i].picturePath.empty())
            pictures.emplace_back(m_recipes[i].picturePath, names[i]);
    return pictures;
}

}  // namespace sapidoro
