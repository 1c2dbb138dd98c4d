#include "exchange/MealMasterWriter.h"

#include "exchange/ExchangeRecipe.h"
#include "exchange/MealMasterReader.h"
#include "exchange/MealMasterUnits.h"

namespace sapidoro {

namespace {

constexpr std::string_view kSeparator = " ==== ";
constexpr std::size_t kWrapColumn = 76;

std::string Columns(std::string_view amount, std::string_view unit, std::string_view name) {
    std::string line(7 - amount.size(), ' ');
    line += amount;
    line += ' ';
    line += unit;
    line.append(2 - unit.size(), ' ');
    line += ' ';
    line += name;
    return line;
}

// A line the reader takes for a header, heading or end line before anything else.
bool StartsLikeMarker(std::string_view line) {
    return line.substr(0, 5) == "MMMMM" || line.substr(0, 5) == "-----";
}

// The first layout of the line that the reader turns back into `line` exactly.
std::string IngredientLayout(const std::string &line) {
    const std::size_t separator = line.find(kSeparator);
    std::vector<std::string> candidates;
    if (separator == std::string::npos) {
        candidates.push_back("MMMMM----------" + line + "----------");
    } else {
        const std::string_view quantity = std::string_view(line).substr(0, separator);
        const std::string_view name = std::string_view(line).substr(separator + kSeparator.size());
        const std::size_t space = quantity.rfind(' ');
        if (space != std::string_view::npos && space <= 7) {
            const std::string_view code = MealMasterCodeFor(quantity.substr(space + 1));
            if (!code.empty()) candidates.push_back(Columns(quantity.substr(0, space), code, name));
        }
        if (quantity.size() <= 7) candidates.push_back(Columns(quantity, "", name));
        const std::size_t firstSpace = quantity.find(' ');
        if (firstSpace != std::string_view::npos && firstSpace <= 7)
            candidates.push_back(Columns(quantity.substr(0, firstSpace), "",
                                         std::string_view(line).substr(firstSpace + 1)));
        candidates.push_back(Columns("", "", line));
    }
    for (const std::string &candidate : candidates) {
        if (separator == std::string::npos) {
            if (HeadingRead(candidate) == line) return candidate;
        } else if (!StartsLikeMarker(candidate) && IngredientLineRead(candidate) == line) {
            return candidate;
        }
    }
    // No layout gives the line back; one in the name column keeps the recipe's shape.
    return Columns("", "", line);
}

// A paragraph, indented and wrapped at single blanks so that joining its lines with one
// blank gives the text back.
void AppendParagraph(std::string_view text, std::string &out) {
    while (true) {
        std::size_t cut = std::string_view::npos;
        if (text.size() > kWrapColumn) {
            for (std::size_t i = kWrapColumn; i > 20; --i) {
                if (text[i] == ' ' && text[i - 1] != ' ' && i + 1 < text.size() &&
                    text[i + 1] != ' ') {
                    cut = i;
                    break;
                }
            }
        }
        out += "  ";
        out += text.substr(0, cut);
        out += "\r\n";
        if (cut == std::string_view::npos) return;
        text.remove_prefix(cut + 1);
    }
}

}  // namespace

void AppendMealMaster(const RecipeRecord &recipe, std::string &out) {
    out += kMealMasterExportHeader;
    out += "\r\n\r\n";
    out += "      Title: " + recipe.name + "\r\n";
    out += " Categories: " + recipe.dish + "\r\n";
    out += "   Servings: " + recipe.persons + "\r\n\r\n";
    for (const std::string &line : recipe.ingredients) out += IngredientLayout(line) + "\r\n";
    out += "\r\n";
    const auto paragraph = [&out](std::string_view text) {
        AppendParagraph(text, out);
        out += "\r\n";
    };
    for (const std::string &line : recipe.preparation) paragraph(line);
    for (const std::string &line : LabelledFieldLines(recipe)) paragraph(line);
    out += "MMMMM\r\n\r\n";
}

std::string WriteMealMaster(const std::vector<RecipeRecord> &recipes) {
    std::string out;
    for (const RecipeRecord &recipe : recipes) AppendMealMaster(recipe, out);
    return out;
}

}  // namespace sapidoro
