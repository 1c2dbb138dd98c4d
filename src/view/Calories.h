#pragma once

#include "data/TextFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sapidoro {

// The calorie table as one load sees it. Looking an ingredient up gives the calories of
// the first entry in file order with that name and quantity, exactly as a fresh read of
// the table from its first line would; but the table is read once per load, lazily: an
// entry is read only when a lookup has to go that far, and entries already read answer
// later lookups. The file is opened by the first lookup, so a recipe without ingredient
// lines never opens it.
class CalorieTableReader {
public:
    // Opens the table when a lookup first needs it.
    using Opener = std::function<std::unique_ptr<TextFile>()>;
    explicit CalorieTableReader(std::string tablePath);
    explicit CalorieTableReader(Opener open);
    ~CalorieTableReader();
    CalorieTableReader(const CalorieTableReader &) = delete;
    CalorieTableReader &operator=(const CalorieTableReader &) = delete;

    // The calories text (not converted) of the first matching entry; nothing when the table
    // has none. Throws EInOutError when the table cannot be opened or read.
    std::optional<std::string_view> FindCalories(std::string_view name, std::string_view quantity);

private:
    Opener m_open;
    std::unique_ptr<TextFile> m_file;
    bool m_exhausted = false;
    std::size_t m_linesRead = 0;
    std::unordered_map<std::string, std::string> m_firstEntry;  // key of name and quantity
};

// The running totals of one recipe's calories. The sum is 64-bit, so that a long recipe
// with large table values cannot wrap into a wrong (negative) figure.
struct CalorieTotals {
    std::int64_t calorieSum = 0;
    std::int32_t missingIngredientCount = 0;
};

// The lookup of all ingredient lines of a load, first to last: the missing count starts at
// the number of lines; a found line adds its calories to the sum and takes one off the
// missing count; each line not found goes to `onNotFound` in order, in the not-found form
// "quantity ==== ingredient" (an empty quantity reads "0"). The totals are updated line by
// line, so an error (table unreadable, calories no whole number) leaves them as far as the
// lines before it got. The sum is not reset here (the load resets it before reading the
// record).
void ComputeCalories(const std::string &tablePath, const std::vector<std::string> &ingredientLines,
                     CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound);
void ComputeCalories(const CalorieTableReader::Opener &openTable,
                     const std::vector<std::string> &ingredientLines, CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound);
// The same over a table already open, so that many recipes read the table once.
void ComputeCalories(CalorieTableReader &table, const std::vector<std::string> &ingredientLines,
                     CalorieTotals &totals,
                     const std::function<void(const std::string &notFoundLine)> &onNotFound);

// Texts of the calorie display for the persons value of the spinner (1 to 100).
struct CalorieTexts {
    std::string calories;  // the sum divided by the persons, truncated toward zero
    std::string hint;      // "<count> INGREDIENTI NON TROVATI)"
    std::string label;     // " INGREDIENTI NON TROVATI: <count>"
};
CalorieTexts ShowCalories(const CalorieTotals &totals, int persons);

}  // namespace sapidoro
