#include "exchange/MealMasterReader.h"

#include "common/AsciiCase.h"
#include "exchange/LineReader.h"
#include "exchange/MealMasterUnits.h"
#include "exchange/MealMasterWriter.h"

#include <algorithm>
#include <optional>

namespace sapidoro {

namespace {

constexpr std::string_view kSeparator = " ==== ";
constexpr std::size_t kNameColumn = 11;
constexpr std::size_t kSecondColumn = 41;

bool StartsWith(std::string_view text, std::string_view prefix) {
    // Asked of every line: the first byte settles most.
    if (prefix.empty()) return true;
    return !text.empty() && text[0] == prefix[0] && text.substr(0, prefix.size()) == prefix;
}

// Whether `name` holds " ==== ": the rare "====" is looked for, not the common blank.
bool HoldsSeparator(std::string_view name) {
    for (std::size_t at = name.find("===="); at != std::string_view::npos;
         at = name.find("====", at + 1))
        if (at > 0 && name[at - 1] == ' ' && at + 4 < name.size() && name[at + 4] == ' ')
            return true;
    return false;
}

bool IsBlank(std::string_view line) {
    return TrimBlanks(line).empty();
}

// A name column of one "-" and text, under blank amount and unit, goes on the name above;
// a run of dashes is a name of its own.
bool IsContinuation(std::string_view amount, std::string_view unit, std::string_view name) {
    return amount.empty() && unit.empty() && name.size() >= 2 && name[0] == '-' && name[1] != '-';
}

// The end line stands at the start of its line; an indented one is text.
bool IsEndLine(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line == "MMMMM" || line == "-----";
}

// The text after the leading marker of a header or heading line, or nothing.
std::optional<std::string_view> MarkerText(std::string_view line) {
    if (!StartsWith(line, "MMMMM") && !StartsWith(line, "-----")) return std::nullopt;
    if (IsEndLine(line)) return std::nullopt;
    if (StartsWith(line, "MMMMM")) line.remove_prefix(5);
    const std::size_t text = line.find_first_not_of("- \t");
    return text == std::string_view::npos ? std::string_view() : line.substr(text);
}

// A section heading: the marker, dashes, a text, dashes ("-----FILLING-----").
std::optional<std::string> HeadingText(std::string_view line) {
    const auto text = MarkerText(line);
    if (!text || text->empty() || TrimBlanks(*text).back() != '-') return std::nullopt;
    std::string_view inner = TrimBlanks(*text);
    while (!inner.empty() && inner.back() == '-') inner.remove_suffix(1);
    inner = TrimBlanks(inner);
    if (inner.empty()) return std::nullopt;
    return std::string(inner);
}

bool IsHeaderLine(std::string_view line) {
    const auto text = MarkerText(line);
    return text && !HeadingText(line);
}

// The header line of our own exports, whatever their version.
constexpr std::string_view kOwnHeader = "MMMMM----- Recipe via Sapidoro ";

// Tabs as the spaces to the next multiple of eight, as DOS showed them, so columns line up.
std::string_view ExpandTabs(std::string_view line, std::string &out) {
    out.clear();
    for (char c : line) {
        if (c != '\t')
            out += c;
        else
            do out += ' ';
            while (out.size() % 8 != 0);
    }
    return out;
}

std::string Join(std::string_view a, std::string_view b) {
    std::string joined(a);
    if (!a.empty() && !b.empty()) joined += ' ';
    joined += b;
    return joined;
}

bool IsAmountByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || c == ' ' || c == '/' || c == '.' || c == '-' || c == ',' ||
           u == 0xBC || u == 0xBD || u == 0xBE;
}

// One ingredient's columns, in the line being read.
struct ItemView {
    std::string_view amount;
    std::string_view unit;
    std::string_view name;
};

// An ingredient kept until its block ends (a later line may continue its name).
struct Item {
    std::string amount;
    std::string unit;
    std::string name;
};

bool HasAmountDigit(std::string_view amount) {
    for (const char c : amount) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= '0' && c <= '9') || u == 0xBC || u == 0xBD || u == 0xBE) return true;
    }
    return false;
}

// One ingredient in the fixed columns: amount (7), blank, unit (2), blank, name.
std::optional<ItemView> ParseColumns(std::string_view column) {
    if (IsBlank(column)) return std::nullopt;
    const std::string_view amountField = column.substr(0, 7);
    for (char c : amountField)
        if (!IsAmountByte(c)) return std::nullopt;
    if (column.size() > 7 && column[7] != ' ') return std::nullopt;
    if (column.size() > 10 && column[10] != ' ') return std::nullopt;
    ItemView item;
    item.amount = TrimBlanks(amountField);
    if (!item.amount.empty() && !HasAmountDigit(item.amount)) return std::nullopt;
    item.unit = TrimBlanks(column.size() > 8 ? column.substr(8, 2) : std::string_view());
    if (!item.unit.empty() && !IsMealMasterUnit(item.unit)) return std::nullopt;
    if (column.size() > kNameColumn) item.name = TrimBlanks(column.substr(kNameColumn));
    return item;
}

struct ColumnItems {
    std::optional<ItemView> left;
    std::optional<ItemView> right;
};

// The ingredient or two of an ingredient line (the left column may be blank when the right
// one continues a name), or nothing when the line is not one.
std::optional<ColumnItems> SplitColumns(std::string_view line) {
    const std::string_view leftColumn = line.substr(0, kSecondColumn - 1);
    const std::optional<ItemView> left = ParseColumns(leftColumn);
    const bool leftBlank = !left && IsBlank(leftColumn);
    if (!left && !leftBlank) return std::nullopt;
    if (line.size() > kSecondColumn && line[kSecondColumn - 1] == ' ') {
        if (auto right = ParseColumns(line.substr(kSecondColumn))) return ColumnItems{left, right};
    }
    if (leftBlank) return std::nullopt;
    // A line that ends within the left column is that column.
    return ColumnItems{line.size() == leftColumn.size() ? left : ParseColumns(line), std::nullopt};
}

class Parser {
public:
    Parser(const std::vector<std::string> &dishes, SourceEncoding encoding,
           const RecipeVisitor &visit)
        : m_dishes(dishes), m_converter(encoding), m_visit(visit) {}

    bool feed(std::string_view raw) {
        std::string_view line = m_converter.convertView(raw, m_line);
        if (line.find('\t') != std::string_view::npos) line = ExpandTabs(line, m_expanded);
        const std::vector<char32_t> unwritable = m_converter.takeUnwritable();
        handle(line);
        if (m_open)
            for (char32_t c : unwritable)
                if (std::find(m_recipe.unwritable.begin(), m_recipe.unwritable.end(), c) ==
                        m_recipe.unwritable.end() &&
                    m_recipe.unwritable.size() < 16)
                    m_recipe.unwritable.push_back(c);
        return m_stop.empty();
    }

    ImportReading finish(std::string stopMessage) {
        if (m_pendingHeader) resolvePending(false);
        if (m_open)
            close("Manca la riga di chiusura della ricetta: letta fino alla fine del file.");
        if (m_stop.empty()) m_stop = std::move(stopMessage);
        ImportReading reading;
        reading.recipes = m_count;
        reading.stopMessage = std::move(m_stop);
        return reading;
    }

private:
    enum class State { Outside, Header, Ingredients, Directions };

    void handle(std::string_view line) {
        if (m_pendingHeader) {
            if (IsBlank(line)) {
                ++m_pendingBlanks;
                return;
            }
            const bool title = AsciiUpper(TrimBlanks(line).substr(0, 6)) == "TITLE:";
            const bool ours = StartsWith(*m_pendingHeader, kOwnHeader);
            resolvePending(title);
            if (title) {
                startRecipe();
                m_ownExport = ours;
                header(line);
                return;
            }
        }
        if (IsHeaderLine(line)) {
            m_pendingHeader = std::string(line);
            m_pendingBlanks = 0;
            return;
        }
        switch (m_state) {
            case State::Outside:
                return;
            case State::Header:
                if (IsEndLine(line)) return close({});
                // Archives leave blank lines between the header lines.
                if (IsBlank(line)) {
                    m_headerBlanks = true;
                    return;
                }
                if (header(line, m_headerBlanks)) return;
                m_state = State::Ingredients;
                return ingredient(line);
            case State::Ingredients:
                return ingredient(line);
            case State::Directions:
                return direction(line);
        }
    }

    // A header line seen before: a new recipe when a title follows, else text of the recipe.
    void resolvePending(bool titleFollows) {
        std::string pending = std::move(*m_pendingHeader);
        m_pendingHeader.reset();
        if (titleFollows) {
            if (m_open)
                close(
                    "Manca la riga di chiusura della ricetta: letta fino all'inizio della "
                    "successiva.");
            return;
        }
        if (!m_open) return;
        const int blanks = m_pendingBlanks;
        (m_state == State::Directions ? direction(pending) : ingredient(pending));
        for (int i = 0; i < blanks; ++i)
            (m_state == State::Directions ? direction({}) : ingredient({}));
    }

    void startRecipe() {
        m_recipe = ImportedRecipe();
        // Room for a usual recipe at once, rather than growing line by line.
        m_recipe.record.ingredients.reserve(16);
        m_recipe.record.preparation.reserve(8);
        m_servings.clear();
        m_category.clear();
        m_left.clear();
        m_right.clear();
        m_paragraph.clear();
        m_rightLead.clear();
        m_headerBlanks = false;
        m_open = true;
        m_state = State::Header;
    }

    // A "Key: value" line; after a blank line only the keys the reader takes, since the
    // ingredients or directions may begin there.
    bool header(std::string_view line, bool knownOnly = false) {
        const std::string_view text = TrimBlanks(line);
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon > 24) return false;
        const std::string_view key = text.substr(0, colon);
        for (char c : key)
            if (!IsAsciiLetter(c) && c != ' ' && c != '-') return false;
        const std::string_view value = TrimBlanks(text.substr(colon + 1));
        const std::string upperKey = AsciiUpper(key);
        if (knownOnly && upperKey != "TITLE" && upperKey != "CATEGORIES" &&
            upperKey != "SERVINGS" && upperKey != "YIELD")
            return false;
        if (upperKey == "TITLE") {
            m_recipe.record.name = std::string(value);
        } else if (upperKey == "CATEGORIES") {
            m_category = std::string(TrimBlanks(value.substr(0, value.find(','))));
            if (AsciiUpper(m_category) == "NONE") m_category.clear();
        } else if (upperKey == "SERVINGS" || (upperKey == "YIELD" && m_servings.empty())) {
            m_servings = std::string(value);
        }
        return true;
    }

    void ingredient(std::string_view line) {
        if (IsEndLine(line)) return close({});
        if (IsBlank(line)) return flushBlock();
        if (const auto heading = HeadingText(line)) {
            flushBlock();
            m_recipe.record.ingredients.push_back(*heading);
            return;
        }
        auto items = SplitColumns(line);
        if (!items) {
            flushBlock();
            m_state = State::Directions;
            return direction(line);
        }
        if (items->left) add(m_left, *items->left);
        if (items->right) {
            // The right column continues the left one's last ingredient when it starts so.
            const ItemView &right = *items->right;
            if (m_right.empty() && IsContinuation(right.amount, right.unit, right.name))
                m_rightLead = Join(m_rightLead, TrimBlanks(right.name.substr(1)));
            else
                add(m_right, right);
        }
    }

    static void add(std::vector<Item> &column, const ItemView &item) {
        if (IsContinuation(item.amount, item.unit, item.name) && !column.empty()) {
            const std::string_view more = TrimBlanks(item.name.substr(1));
            column.back().name = Join(column.back().name, more);
            return;
        }
        column.push_back(
            Item{std::string(item.amount), std::string(item.unit), std::string(item.name)});
    }

    void flushBlock() {
        if (!m_rightLead.empty()) {
            if (m_left.empty())
                m_left.push_back(Item{{}, {}, "-" + m_rightLead});
            else
                m_left.back().name = Join(m_left.back().name, m_rightLead);
            m_rightLead.clear();
        }
        for (auto *column : {&m_left, &m_right}) {
            for (const Item &item : *column)
                m_recipe.record.ingredients.push_back(
                    IngredientLineFromColumns(item.amount, item.unit, item.name));
            column->clear();
        }
    }

    void direction(std::string_view line) {
        if (IsEndLine(line)) return close({});
        if (IsBlank(line)) return flushParagraph();
        if (const auto heading = HeadingText(line)) {
            flushParagraph();
            m_recipe.record.preparation.push_back(*heading);
            return;
        }
        const std::string_view text = TrimBlanks(line);
        if (!m_paragraph.empty()) m_paragraph += ' ';
        m_paragraph.append(text);
    }

    void flushParagraph() {
        if (m_paragraph.empty()) return;
        m_recipe.record.preparation.push_back(std::move(m_paragraph));
        m_paragraph.clear();
    }

    void close(std::string_view unterminated) {
        flushBlock();
        flushParagraph();
        RecipeRecord &record = m_recipe.record;
        // Only our own exports put the main ingredient and notes at the end of the directions.
        if (m_ownExport) TakeLabelledFields(record);
        record.dish = MatchDish(m_category, m_dishes);
        const YieldReading yield = ReadYield(m_servings);
        record.persons = yield.persons;
        if (!yield.problem.empty()) m_recipe.problems.push_back(yield.problem);
        record.complete = true;
        if (record.name.empty()) m_recipe.problems.emplace_back("La ricetta non ha un nome.");
        if (!unterminated.empty()) m_recipe.problems.emplace_back(unterminated);
        m_open = false;
        m_state = State::Outside;
        m_bytes += 256 + record.name.size() + record.dish.size() + record.notes.size() +
                   record.mainIngredient.size();
        for (const auto &l : record.ingredients) m_bytes += 48 + l.size();
        for (const auto &l : record.preparation) m_bytes += 48 + l.size();
        ++m_count;
        m_visit(std::move(m_recipe));
        if (m_count >= kMaxImportedRecipes || m_bytes >= kMaxImportedBytes)
            m_stop = "Il file contiene troppe ricette per una sola importazione: " +
                     (m_count == 1 ? std::string("letta la prima.")
                                   : "lette le prime " + std::to_string(m_count) + ".");
    }

    const std::vector<std::string> &m_dishes;
    Cp1252Converter m_converter;
    std::string m_line;
    State m_state = State::Outside;
    bool m_open = false;
    std::optional<std::string> m_pendingHeader;
    int m_pendingBlanks = 0;
    ImportedRecipe m_recipe;
    std::string m_servings;
    std::string m_category;
    std::vector<Item> m_left;
    std::vector<Item> m_right;
    std::string m_rightLead;
    bool m_headerBlanks = false;
    bool m_ownExport = false;
    std::string m_expanded;
    std::string m_paragraph;
    const RecipeVisitor &m_visit;
    std::size_t m_count = 0;
    std::size_t m_bytes = 0;
    std::string m_stop;
};

}  // namespace

std::string IngredientLineFromColumns(std::string_view amount, std::string_view unit,
                                      std::string_view name) {
    const std::string_view italian = ItalianUnit(unit, amount);
    std::string line;
    line.reserve(amount.size() + italian.size() + kSeparator.size() + name.size() + 1);
    line.append(amount);
    if (!amount.empty() && !italian.empty()) line += ' ';
    line.append(italian);
    // A name holding the separator is a whole line written by an export.
    if (HoldsSeparator(name)) {
        if (!line.empty() && !name.empty()) line += ' ';
    } else {
        line.append(kSeparator);
    }
    line.append(name);
    return line;
}

std::optional<std::string> IngredientLineRead(std::string_view line) {
    const auto items = SplitColumns(line);
    if (!items || !items->left || items->right) return std::nullopt;
    const ItemView &item = *items->left;
    if (IsContinuation(item.amount, item.unit, item.name)) return std::nullopt;
    return IngredientLineFromColumns(item.amount, item.unit, item.name);
}

bool LooksLikeIngredientLine(std::string_view line) {
    return SplitColumns(line).has_value();
}

std::optional<std::string> HeadingRead(std::string_view line) {
    return HeadingText(line);
}

ImportReading ReadMealMaster(LineReader &reader, const std::vector<std::string> &collectionDishes,
                             const RecipeVisitor &visit) {
    const std::string_view sample = reader.sample();
    const SourceEncoding encoding =
        sample.substr(0, kMealMasterExportHeader.size()) == kMealMasterExportHeader
            ? SourceEncoding::Cp1252
            : DetectEncoding(sample);
    Parser parser(collectionDishes, encoding, visit);
    std::string_view line;
    while (reader.next(line))
        if (!parser.feed(line)) break;
    std::string stop;
    if (reader.tooLong())
        stop = "La riga " + std::to_string(reader.lineNumber() + 1) + " supera " +
               std::to_string(LineReader::kDefaultMaxLine) +
               " caratteri: la lettura si ferma l\xC3\xAC.";
    ImportReading reading = parser.finish(std::move(stop));
    reading.encoding = EncodingName(encoding);
    return reading;
}

ImportReading ReadMealMasterFile(const std::string &path,
                                 const std::vector<std::string> &collectionDishes,
                                 const RecipeVisitor &visit) {
    const FileIdentity identity = SourceIdentity(path);
    LineReader reader(path);
    ImportReading reading = ReadMealMaster(reader, collectionDishes, visit);
    reading.sourcePath = path;
    reading.sourceIdentity = identity;
    return reading;
}

ImportResult ReadMealMaster(LineReader &reader, const std::vector<std::string> &collectionDishes) {
    ImportResult result;
    ImportReading reading = ReadMealMaster(reader, collectionDishes, [&](ImportedRecipe &&recipe) {
        result.recipes.push_back(std::move(recipe));
    });
    result.stopMessage = std::move(reading.stopMessage);
    result.encoding = std::move(reading.encoding);
    return result;
}

ImportResult ReadMealMasterFile(const std::string &path,
                                const std::vector<std::string> &collectionDishes) {
    LineReader reader(path);
    return ReadMealMaster(reader, collectionDishes);
}

ImportResult ReadMealMasterText(std::string_view bytes,
                                const std::vector<std::string> &collectionDishes) {
    LineReader reader(bytes);
    return ReadMealMaster(reader, collectionDishes);
}

}  // namespace sapidoro
