#include "exchange/JsonLdReader.h"

#include "common/AsciiCase.h"
#include "common/CheckedOpen.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "exchange/HtmlText.h"
#include "exchange/IngredientText.h"
#include "exchange/Json.h"
#include "exchange/JsonLdWriter.h"
#include "exchange/TextEncoding.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sapidoro {

namespace {

std::string AsciiLowerText(std::string_view text) {
    std::string lower(text);
    for (char &c : lower) c = AsciiLower(c);
    return lower;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// "Recipe" in any case, also as a schema.org address ("http://schema.org/Recipe") or in a list.
bool IsRecipeType(const JsonValue *type, int depth = 0) {
    if (type == nullptr || depth > 8) return false;
    if (type->isString()) {
        std::string_view name = TrimBlanks(type->text);
        const std::size_t prefix = name.find_last_of("/:#");
        if (prefix != std::string_view::npos) name.remove_prefix(prefix + 1);
        return AsciiLowerText(name) == "recipe";
    }
    if (type->kind == JsonValue::Kind::Array)
        for (const JsonValue &item : type->items)
            if (IsRecipeType(&item, depth + 1)) return true;
    return false;
}

// Our own exports name us as the publisher of their data; only theirs carry labelled lines.
bool IsOwnExport(const JsonValue &recipe) {
    const JsonValue *publisher = recipe.member("sdPublisher");
    const JsonValue *name = publisher != nullptr ? publisher->member("name") : nullptr;
    return name != nullptr && name->isString() && name->text == kJsonLdPublisher;
}

class RecipeExtractor {
public:
    RecipeExtractor(const std::vector<std::string> &dishes, std::string pageFolder,
                    std::string pageBaseName)
        : m_dishes(dishes),
          m_converter(SourceEncoding::Utf8),
          m_pageFolder(std::move(pageFolder)),
          m_pageBaseName(std::move(pageBaseName)) {}

    void walk(const JsonValue &value) {
        if (m_recipes.size() >= kMaxImportedRecipes) return;
        if (value.kind == JsonValue::Kind::Object && IsRecipeType(value.member("@type"))) {
            m_recipes.push_back(recipe(value));
            return;
        }
        if (value.kind == JsonValue::Kind::Object || value.kind == JsonValue::Kind::Array)
            for (const JsonValue &item : value.items) walk(item);
    }

    std::vector<ImportedRecipe> take() { return std::move(m_recipes); }

private:
    // The lines of a text as a reader of the page sees them, in Windows-1252; blank ones
    // dropped. Our own exports hold plain text, one line to a text.
    std::vector<std::string> lines(std::string_view utf8) {
        std::vector<std::string> out;
        if (m_ownExport) {
            out.push_back(line(utf8));
            return out;
        }
        const std::string text = m_converter.convert(WebTextLines(utf8));
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            std::string piece(TrimBlanks(rest.substr(0, end)));
            for (char &c : piece)
                if (static_cast<unsigned char>(c) < 0x20) c = ' ';
            if (!piece.empty()) out.push_back(std::move(piece));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
        return out;
    }

    // One line of the collection from a text: its lines joined, no control bytes.
    std::string line(std::string_view utf8) {
        std::string text;
        if (m_ownExport) {
            text = m_converter.convert(utf8);
            for (char &c : text)
                if (static_cast<unsigned char>(c) < 0x20) c = ' ';
            return text;
        }
        for (const std::string &piece : lines(utf8)) {
            if (!text.empty()) text += ' ';
            text += piece;
        }
        return text;
    }

    static const JsonValue *first(const JsonValue *value) {
        while (value != nullptr && value->kind == JsonValue::Kind::Array)
            value = value->items.empty() ? nullptr : &value->items.front();
        return value;
    }

    static std::string scalarText(const JsonValue *value) {
        value = first(value);
        if (value == nullptr) return {};
        if (value->kind == JsonValue::Kind::String || value->kind == JsonValue::Kind::Number)
            return value->text;
        return {};
    }

    ImportedRecipe recipe(const JsonValue &object) {
        m_converter.takeUnwritable();
        ImportedRecipe imported;
        RecipeRecord &record = imported.record;
        m_ownExport = IsOwnExport(object);
        record.name = std::string(TrimBlanks(line(scalarText(object.member("name")))));
        // The first of a list of categories, split after character references are decoded.
        const std::string category = line(scalarText(object.member("recipeCategory")));
        record.dish = MatchDish(
            std::string(TrimBlanks(std::string_view(category).substr(0, category.find(',')))),
            m_dishes);
        if (const JsonValue *yield = object.member("recipeYield")) {
            const YieldReading reading = readYield(*yield, 0);
            record.persons = reading.persons;
            if (!reading.problem.empty()) imported.problems.push_back(reading.problem);
        } else {
            record.persons = "1";
        }
        const JsonValue *ingredients = object.member("recipeIngredient");
        if (ingredients == nullptr) ingredients = object.member("ingredients");
        if (ingredients != nullptr) addIngredients(*ingredients, record, 0);
        if (const JsonValue *instructions = object.member("recipeInstructions"))
            addInstructions(*instructions, record, 0);
        if (m_ownExport) TakeLabelledFields(record);
        record.complete = true;
        imported.picturePath = localPicture(object.member("image"));
        if (const JsonValue *image = object.member("image"); image && imported.picturePath.empty())
            collectAddresses(*image, imported.pictureAddresses, 0);
        imported.unwritable = m_converter.takeUnwritable();
        if (record.name.empty()) imported.problems.emplace_back("La ricetta non ha un nome.");
        return imported;
    }

    // A number, a text, the first counting item of a list, or a `QuantitativeValue`.
    YieldReading readYield(const JsonValue &yield, int depth) {
        if (depth > 8) return {};
        if (yield.isString() || yield.kind == JsonValue::Kind::Number)
            return ReadYield(line(yield.text));
        if (yield.kind == JsonValue::Kind::Array) {
            for (const JsonValue &item : yield.items) {
                YieldReading reading = readYield(item, depth + 1);
                if (reading.counted || !reading.problem.empty()) return reading;
            }
            return {};
        }
        std::string text;
        for (const char *key : {"value", "minValue", "maxValue"})
            if (text.empty()) text = scalarText(yield.member(key));
        for (const char *key : {"unitText", "unitCode"}) {
            const std::string unit = scalarText(yield.member(key));
            if (!unit.empty()) {
                text += ' ' + unit;
                break;
            }
        }
        return ReadYield(line(text));
    }

    // Texts (one ingredient a line), lists in lists, and groups: an object naming its
    // ingredients, whose name becomes a heading as MealMaster headings are.
    void addIngredients(const JsonValue &value, RecipeRecord &record, int depth) {
        if (depth > 64) return;
        if (value.isString()) {
            for (const std::string &text : lines(value.text))
                record.ingredients.push_back(IngredientLineFromWebText(text));
            return;
        }
        if (value.kind == JsonValue::Kind::Array) {
            for (const JsonValue &item : value.items) addIngredients(item, record, depth + 1);
            return;
        }
        if (value.kind != JsonValue::Kind::Object) return;
        for (const char *key : {"itemListElement", "recipeIngredient", "ingredients", "items"}) {
            if (const JsonValue *items = value.member(key)) {
                const std::string heading(TrimBlanks(line(scalarText(value.member("name")))));
                if (!heading.empty())
                    record.ingredients.emplace_back(TrimBlanks(
                        heading.back() == ':' ? heading.substr(0, heading.size() - 1) : heading));
                addIngredients(*items, record, depth + 1);
                return;
            }
        }
        const JsonValue *text = value.member("text");
        if (text == nullptr || !text->isString()) text = value.member("name");
        if (text != nullptr && text->isString()) addIngredients(*text, record, depth + 1);
    }

    // Text, HowToStep and HowToSection (its name, then its steps), in any nesting of lists.
    void addInstructions(const JsonValue &value, RecipeRecord &record, int depth) {
        if (depth > 64) return;
        if (value.isString()) {
            for (std::string &piece : lines(value.text))
                record.preparation.push_back(std::move(piece));
            return;
        }
        if (value.kind == JsonValue::Kind::Array) {
            for (const JsonValue &item : value.items) addInstructions(item, record, depth + 1);
            return;
        }
        if (value.kind != JsonValue::Kind::Object) return;
        const JsonValue *steps = value.member("itemListElement");
        if (steps != nullptr) {
            const std::string name(TrimBlanks(line(scalarText(value.member("name")))));
            if (!name.empty()) record.preparation.push_back(name);
            addInstructions(*steps, record, depth + 1);
            return;
        }
        const JsonValue *text = value.member("text");
        if (text == nullptr || !text->isString()) text = value.member("name");
        if (text != nullptr && text->isString()) addInstructions(*text, record, depth + 1);
    }

    // The picture when the page's folder holds it: a relative path, or the file name of its
    // address in the folder or in the "<page>_files" folder a browser saves beside the page.
    std::string localPicture(const JsonValue *image) {
        if (m_pageFolder.empty() || image == nullptr) return {};
        std::vector<std::string> addresses;
        collectAddresses(*image, addresses, 0);
        for (const std::string &address : addresses) {
            std::string path = address.substr(0, address.find_first_of("?#"));
            const bool remote = path.find("://") != std::string::npos;
            if (path.rfind("file://", 0) == 0) continue;
            std::vector<std::string> candidates;
            const std::string fileName = path.substr(path.rfind('/') + 1);
            if (!remote && !path.empty() && path[0] != '/')
                candidates.push_back(m_pageFolder + path);
            if (!fileName.empty()) {
                candidates.push_back(m_pageFolder + fileName);
                candidates.push_back(m_pageFolder + m_pageBaseName + "_files/" + fileName);
            }
            for (const std::string &candidate : candidates) {
                const std::string lower = AsciiLowerText(candidate);
                if (!EndsWith(lower, ".jpg") && !EndsWith(lower, ".jpeg")) continue;
                std::uint64_t size = 0;
                const int fd = OpenRegularFileInside(candidate, m_pageFolder, size);
                if (fd < 0) continue;
                ::close(fd);
                return candidate;
            }
        }
        return {};
    }

    static void collectAddresses(const JsonValue &image, std::vector<std::string> &out, int depth) {
        if (depth > 8 || out.size() > 16) return;
        if (image.isString()) {
            out.push_back(image.text);
        } else if (image.kind == JsonValue::Kind::Array) {
            for (const JsonValue &item : image.items) collectAddresses(item, out, depth + 1);
        } else if (image.kind == JsonValue::Kind::Object) {
            for (const char *key : {"url", "contentUrl"})
                if (const JsonValue *url = image.member(key))
                    collectAddresses(*url, out, depth + 1);
        }
    }

    const std::vector<std::string> &m_dishes;
    Cp1252Converter m_converter;
    bool m_ownExport = false;
    std::string m_pageFolder;
    std::string m_pageBaseName;
    std::vector<ImportedRecipe> m_recipes;
};

std::size_t FindIgnoringCase(std::string_view text, std::string_view lowerNeedle,
                             std::size_t from) {
    for (std::size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
        i = text.find_first_of(std::string{lowerNeedle[0], AsciiUpper(lowerNeedle[0])}, i);
        if (i == std::string_view::npos || i + lowerNeedle.size() > text.size()) break;
        bool same = true;
        for (std::size_t k = 1; k < lowerNeedle.size() && same; ++k)
            same = AsciiLower(text[i + k]) == lowerNeedle[k];
        if (same) return i;
    }
    return std::string_view::npos;
}

// A page's text as UTF-8: kept when it is UTF-8, read as Windows-1252 otherwise.
std::string PageAsUtf8(std::string_view bytes) {
    bool valid = true;
    for (std::size_t i = 0; i < bytes.size() && valid;) valid = DecodeUtf8(bytes, i) >= 0;
    return valid ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

}  // namespace

std::vector<std::string_view> LdJsonScripts(std::string_view html) {
    std::vector<std::string_view> scripts;
    std::size_t at = 0;
    while ((at = FindIgnoringCase(html, "<script", at)) != std::string_view::npos) {
        const std::size_t tagEnd = html.find('>', at);
        if (tagEnd == std::string_view::npos) break;
        const std::string tag = AsciiLowerText(html.substr(at, tagEnd - at));
        const std::size_t close = FindIgnoringCase(html, "</script", tagEnd + 1);
        const std::size_t end = close == std::string_view::npos ? html.size() : close;
        if (tag.find("application/ld+json") != std::string::npos)
            scripts.push_back(TrimBlanks(html.substr(tagEnd + 1, end - tagEnd - 1)));
        at = end;
    }
    return scripts;
}

bool IsWebRecipeFile(const std::string &path) {
    const std::string lower = AsciiLowerText(path);
    return EndsWith(lower, ".html") || EndsWith(lower, ".htm") || EndsWith(lower, ".json");
}

ImportResult ReadWebRecipeText(std::string_view bytes, bool html, const std::string &pageFolder,
                               const std::string &pageBaseName,
                               const std::vector<std::string> &collectionDishes) {
    ImportResult result;
    result.encoding = "UTF-8";
    const std::string text = PageAsUtf8(bytes);
    std::vector<std::string_view> texts;
    if (html)
        texts = LdJsonScripts(text);
    else
        texts.push_back(text);
    RecipeExtractor extractor(collectionDishes, pageFolder, pageBaseName);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        try {
            JsonValue value;
            try {
                value = ParseJson(texts[i]);
            } catch (const EJsonError &strict) {
                // Pages write JSON loosely; what cannot be read even so is told as strict JSON.
                try {
                    value = ParseJsonLenient(texts[i]);
                } catch (const EJsonError &) {
                    throw strict;
                }
            }
            extractor.walk(value);
        } catch (const EJsonError &error) {
            if (!result.stopMessage.empty()) result.stopMessage += '\n';
            if (html)
                result.stopMessage += "Blocco JSON-LD " + std::to_string(i + 1) + " della pagina: ";
            result.stopMessage += error.message();
        }
    }
    result.recipes = extractor.take();
    return result;
}

ImportResult ReadWebRecipeFile(const std::string &path,
                               const std::vector<std::string> &collectionDishes) {
    std::uint64_t size = 0;
    const int fd = OpenRegularFileInside(path, std::string(), size);
    if (fd < 0) throw EInOutError::fromErrno(errno);
    if (size > kMaxWebFileBytes) {
        ::close(fd);
        throw Exception("Il file \xC3\xA8 di " + std::to_string(size >> 20) +
                        " MB: una pagina di ricette non supera " +
                        std::to_string(kMaxWebFileBytes >> 20) + " MB.");
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw EInOutError::fromErrno(error);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    const std::string folder = FolderOf(path) + "/";
    std::string baseName = path.substr(path.rfind('/') + 1);
    baseName = baseName.substr(0, baseName.rfind('.'));
    const std::string lower = AsciiLowerText(path);
    return ReadWebRecipeText(bytes, !EndsWith(lower, ".json"), folder, baseName, collectionDishes);
}

ImportReading ReadWebRecipeFile(const std::string &path,
                                const std::vector<std::string> &collectionDishes,
                                const RecipeVisitor &visit) {
    const FileIdentity identity = SourceIdentity(path);
    ImportResult result = ReadWebRecipeFile(path, collectionDishes);
    for (ImportedRecipe &recipe : result.recipes) visit(std::move(recipe));
    return {result.recipes.size(), std::move(result.stopMessage), std::move(result.encoding), path,
            identity};
}

}  // namespace sapidoro
