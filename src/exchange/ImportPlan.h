#pragma once

#include "exchange/ExchangeRecipe.h"
#include "exchange/RecordSpool.h"
#include "writer/CollectionWriter.h"
#include "writer/RecipeFields.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sapidoro {

// What becomes of a recipe whose name the collection (or an earlier recipe of the import)
// already holds: the lookup takes the first record of a name, so a second one would be
// unreachable.
enum class NameConflict { Skip, Rename };

// What the preview shows of one recipe.
struct RecipeSummary {
    std::string name;  // never empty: a recipe with none gets `kUnnamedRecipe`
    std::string dish;
    std::string persons;
    std::string picturePath;
    std::vector<char32_t> unwritable;
    std::vector<std::string> problems;  // UTF-8
};

// Reads a foreign file, handing each recipe to `visit`; a plan runs it once, for the preview,
// and keeps the records it would write in a spool, so that they are never all held at once.
using ImportReader = std::function<ImportReading(const RecipeVisitor &visit)>;

// The recipes of an import with the user's choices, and the records they make.
class ImportPlan {
public:
    ImportPlan(ImportReader read, std::vector<std::string> collectionNames);
    // The recipes given, held by the plan.
    ImportPlan(std::vector<ImportedRecipe> recipes, std::vector<std::string> collectionNames);

    // How the first reading went: encoding, stop message.
    const ImportReading &reading() const { return m_reading; }
    std::size_t size() const { return m_recipes.size(); }
    const RecipeSummary &recipe(std::size_t i) const { return m_recipes[i]; }

    // A recipe the writer would refuse stays out.
    void setIncluded(std::size_t i, bool included) {
        m_included[i] = included && !m_refused[i];
        m_names.clear();
    }
    bool refused(std::size_t i) const { return m_refused[i]; }
    bool included(std::size_t i) const { return m_included[i]; }
    void setConflictChoice(NameConflict choice) {
        m_choice = choice;
        m_names.clear();
    }
    NameConflict conflictChoice() const { return m_choice; }

    // The name the record gets under the current choices; empty when it is skipped.
    const std::string &finalName(std::size_t i) const;
    // Whether the recipe's name is already taken by the collection or an earlier recipe.
    bool nameTaken(std::size_t i) const;
    // The problems to show for the recipe (UTF-8), the name conflict included.
    std::vector<std::string> problems(std::size_t i) const;

    // Hands `take` the record of each recipe that `finalNames` (this plan's `finalNames()`)
    // does not skip, under its final name, in the file's order. Throws ESaveRefused when the
    // file read has changed since the preview.
    void handChosen(const std::vector<std::string> &finalNames,
                    const EncodedRecordSink &take) const;
    // The pictures to copy beside them: the picture file and the final name.
    std::vector<std::pair<std::string, std::string>> chosenPictures() const;

    // Every recipe's final name at once (empty: skipped); one pass over the plan.
    std::vector<std::string> finalNames() const;

private:
    // Each name's group: the first recipe of that name, or `kInCollection`.
    using NameGroups = std::unordered_map<std::string_view, std::uint32_t>;
    static constexpr std::uint32_t kInCollection = UINT32_MAX;

    void add(ImportedRecipe &&recipe);
    // The groups of the collection's names and the recipes', each recipe's also in `groupOf`.
    NameGroups groupNames(std::vector<std::uint32_t> *groupOf = nullptr) const;

    ImportReading m_reading;
    std::vector<RecipeSummary> m_recipes;
    std::shared_ptr<RecordSpool> m_spool;
    std::vector<SpooledRecord> m_spooled;  // of each recipe not refused
    std::vector<std::string> m_collectionNames;
    std::vector<bool> m_included;
    std::vector<std::uint32_t> m_group;  // of each recipe
    std::vector<bool> m_taken;
    std::vector<bool> m_refused;
    mutable std::vector<std::string> m_names;  // final names under the current choices
    NameConflict m_choice = NameConflict::Skip;
};

// The name an import gives a recipe that has none.
inline constexpr std::string_view kUnnamedRecipe = "Ricetta senza nome";

}  // namespace sapidoro
