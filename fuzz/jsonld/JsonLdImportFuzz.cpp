// Reads arbitrary bytes as a saved web page (first byte odd) or a JSON file: never a crash,
// a hang or unbounded memory, whatever the nesting; every field is one line of the collection;
// and an export of what was read reads back with the same recipes, names, dishes and persons.
// The same bytes go through the lenient JSON reading, which must agree with the strict one on
// whatever that reads, and, as a text of the recipe, through the HTML cleaning.
#include "FuzzParts.h"
#include "exchange/HtmlText.h"
#include "exchange/Json.h"
#include "exchange/JsonLdReader.h"
#include "exchange/JsonLdWriter.h"
#include "exchange/TextEncoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace sapidoro;
using fuzz::Fail;

namespace {

bool HasControl(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20) return true;
    return false;
}

bool SameJson(const JsonValue &a, const JsonValue &b) {
    if (a.kind != b.kind || a.boolean != b.boolean || a.text != b.text || a.keys != b.keys ||
        a.items.size() != b.items.size())
        return false;
    for (std::size_t i = 0; i < a.items.size(); ++i)
        if (!SameJson(a.items[i], b.items[i])) return false;
    return true;
}

void CheckLenientJson(std::string_view bytes) {
    JsonValue strict;
    try {
        strict = ParseJson(bytes);
    } catch (const EJsonError &) {
        try {
            ParseJsonLenient(bytes);
        } catch (const EJsonError &) {
        }
        return;
    }
    if (!SameJson(strict, ParseJsonLenient(bytes))) Fail("the lenient reading differs on JSON");
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        if (DecodeUtf8(text, i) < 0) return false;
    return true;
}

// Recipe texts are valid UTF-8 once read from JSON; their cleaning stays so, with '\n' alone
// parting lines.
void CheckWebText(std::string_view bytes) {
    if (!ValidUtf8(bytes)) return;
    const std::string text = WebTextLines(bytes);
    if (!ValidUtf8(text)) Fail("the cleaned text is not UTF-8");
    if (text.find('\r') != std::string::npos || text.find("\xE2\x80\xA8") != std::string::npos ||
        text.find("\xE2\x80\xA9") != std::string::npos)
        Fail("the cleaned text keeps another line separator");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) return 0;
    const bool html = data[0] & 1;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    CheckLenientJson(bytes);
    CheckWebText(bytes);
    const std::vector<std::string> dishes = {"Primo", "Dessert"};
    // No page folder: nothing is looked up on disk.
    const ImportResult first = ReadWebRecipeText(bytes, html, "", "", dishes);
    std::vector<RecipeRecord> records;
    for (const ImportedRecipe &recipe : first.recipes) {
        const RecipeRecord &r = recipe.record;
        if (HasControl(r.name) || HasControl(r.dish) || HasControl(r.persons) ||
            HasControl(r.notes) || HasControl(r.mainIngredient))
            Fail("a field holds a control character");
        for (const auto *lines : {&r.ingredients, &r.preparation})
            for (const std::string &line : *lines)
                if (HasControl(line)) Fail("a line holds a control character");
        if (!recipe.picturePath.empty()) Fail("a picture without a page folder");
        records.push_back(r);
    }
    if (records.empty()) return 0;
    const ImportResult again = ReadWebRecipeText(WriteJsonLd(records), false, "", "", dishes);
    if (!again.stopMessage.empty()) Fail("an export is not valid JSON");
    if (again.recipes.size() != records.size()) Fail("an export reads back another count");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecipeRecord &a = records[i];
        const RecipeRecord &b = again.recipes[i].record;
        if (a.name != b.name || a.dish != b.dish || a.persons != b.persons)
            Fail("an export reads back other fields");
    }
    return 0;
}
