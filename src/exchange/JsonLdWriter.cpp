#include "exchange/JsonLdWriter.h"

#include "common/Cp1252.h"
#include "exchange/ExchangeRecipe.h"
#include "exchange/IngredientText.h"
#include "exchange/Json.h"

namespace sapidoro {

namespace {

constexpr std::string_view kSeparator = " ==== ";

// A collection text as a JSON string: plain UTF-8 text, as every reader of JSON takes it.
std::string Text(std::string_view cp1252) {
    return JsonQuote(Cp1252ToUtf8(cp1252));
}

// The text of an ingredient line as a page writes it when that reads back as the same line:
// "quantity name", a heading with a colon; else the line itself.
std::string IngredientText(const std::string &line) {
    const std::size_t separator = line.find(kSeparator);
    if (separator == std::string::npos) {
        const std::string heading = line + ':';
        return IngredientLineFromWebText(heading) == line ? heading : line;
    }
    std::string natural = line.substr(0, separator);
    const std::string name = line.substr(separator + kSeparator.size());
    if (!natural.empty() && !name.empty()) natural += ' ';
    natural += name;
    return IngredientLineFromWebText(natural) == line ? natural : line;
}

void AppendRecipe(const RecipeRecord &recipe, std::string &out, const std::string &indent) {
    const std::string in = indent + "  ";
    out += indent + "{\n";
    out += in + "\"@context\": \"https://schema.org\",\n";
    out += in + "\"@type\": \"Recipe\",\n";
    out += in + "\"sdPublisher\": {\"@type\": \"Organization\", \"name\": " +
           JsonQuote(kJsonLdPublisher) + "},\n";
    out += in + "\"name\": " + Text(recipe.name) + ",\n";
    out += in + "\"recipeCategory\": " + Text(recipe.dish) + ",\n";
    out += in + "\"recipeYield\": " + Text(recipe.persons) + ",\n";
    if (!recipe.notes.empty()) out += in + "\"description\": " + Text(recipe.notes) + ",\n";
    out += in + "\"recipeIngredient\": [";
    for (std::size_t i = 0; i < recipe.ingredients.size(); ++i)
        out += (i ? ",\n" : "\n") + in + "  " + Text(IngredientText(recipe.ingredients[i]));
    out += recipe.ingredients.empty() ? "],\n" : "\n" + in + "],\n";
    out += in + "\"recipeInstructions\": [";
    std::vector<std::string> steps = recipe.preparation;
    for (std::string &line : LabelledFieldLines(recipe)) steps.push_back(std::move(line));
    for (std::size_t i = 0; i < steps.size(); ++i)
        out += (i ? ",\n" : "\n") + in +
               "  {\"@type\": \"HowToStep\", \"text\": " + Text(steps[i]) + "}";
    out += steps.empty() ? "]\n" : "\n" + in + "]\n";
    out += indent + "}";
}

}  // namespace

std::string WriteJsonLd(const std::vector<RecipeRecord> &recipes) {
    std::string out;
    if (recipes.size() == 1) {
        AppendRecipe(recipes.front(), out, "");
        return out + "\n";
    }
    out += "{\n  \"@context\": \"https://schema.org\",\n  \"@graph\": [";
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        out += i ? ",\n" : "\n";
        AppendRecipe(recipes[i], out, "    ");
    }
    out += recipes.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

}  // namespace sapidoro
