#include "view/Calories.h"

#include "data/CalorieTable.h"
#include "data/IntConvert.h"

namespace sapidoro {

namespace {

// Name and quantity are arbitrary bytes: the length prefix keeps every pair distinct.
std::string EntryKey(std::string_view name, std::string_view quantity) {
    std::string key = std::to_string(name.size());
    key += ':';
    key += name;
    key += quantity;
    return key;
}

// The not-found form of an ingredient line.
std::string NotFoundLine(std::string_view ingredientLine) {
    const IngredientLine parts = SplitIngredientLine(ingredientLine);
    std::string line(LookupQuantity(parts.quantity));
    line += kIngredientSeparator;
    line += parts.ingredient;
    return line;
}

// One ingredient line looked up: nothing when found, else its not-found form.
std::optional<std::string> ScanCalorieTable(CalorieTableReader &table,
                                            std::string_view ingredientLine,
                                            CalorieTotals &totals) {
    const IngredientLine parts = SplitIngredientLine(ingredientLine);
    const std::optional<std::string_view> calories =
        table.FindCalories(parts.ingredient, LookupQuantity(parts.quantity));
    if (!calories) return NotFoundLine(ingredientLine);
    totals.calorieSum += StrToInt(*calories);
    --totals.missingIngredientCount;
    return std::nullopt;
}

}  // namespace

CalorieTableReader::CalorieTableReader(std::string tablePath)
    : m_open([path = std::move(tablePath)] { return std::make_unique<TextFile>(path); }) {}

CalorieTableReader::CalorieTableReader(Opener open) : m_open(std::move(open)) {}

CalorieTableReader::~CalorieTableReader() = default;

std::optional<std::string_view> CalorieTableReader::FindCalories(std::string_view name,
                                                                 std::string_view quantity) {
    const std::string key = EntryKey(name, quantity);
    if (const auto it = m_firstEntry.find(key); it != m_firstEntry.end()) return it->second;
    if (!m_file) m_file = m_open();
    // Like a fresh pass: every line is an entry, the first line even of an empty file.
    while (!m_exhausted) {
        if (m_linesRead > 0 && m_file->eof()) {
            m_exhausted = true;
            break;
        }
        const CalorieEntry entry = SplitCalorieEntry(m_file->readLineView());
        ++m_linesRead;
        const auto [it, inserted] =
            m_firstEntry.try_emplace(EntryKey(entry.name, entry.quantity), entry.calories);
        if (inserted && entry.name == name && entry.quantity == quantity) return it->second;
    }
    return std::nullopt;
}

void ComputeCalories(const std::string &tablePath, const std::vector<std::string> &ingredientLines,
                     CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound) {
    ComputeCalories([&tablePath] { return std::make_unique<TextFile>(tablePath); }, ingredientLines,
                    totals, onNotFound);
}

void ComputeCalories(const CalorieTableReader::Opener &openTable,
                     const std::vector<std::string> &ingredientLines, CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound) {
    CalorieTableReader table(openTable);
    ComputeCalories(table, ingredientLines, totals, onNotFound);
}

void ComputeCalories(CalorieTableReader &table, const std::vector<std::string> &ingredientLines,
                     CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound) {
    totals.missingIngredientCount = static_cast<std::int32_t>(ingredientLines.size());
    for (const std::string &line : ingredientLines) {
        if (const auto notFound = ScanCalorieTable(table, line, totals)) onNotFound(*notFound);
    }
}

CalorieTexts ShowCalories(const CalorieTotals &totals, int persons) {
    // Whole-number division truncates toward zero, as the quotient of the real numbers would.
    const std::int64_t divisor = persons < 1 ? 1 : persons;
    const std::string count = std::to_string(totals.missingIngredientCount);
    return {std::to_string(totals.calorieSum / divisor), count + " INGREDIENTI NON TROVATI)",
            " INGREDIENTI NON TROVATI: " + count};
}

}  // namespace sapidoro
