#include "exchange/JsonLdReader.h"

#include "common/AsciiCase.h"
#include "common/CheckedOpen.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "exchange/IngredientText.h"
#include "exchange/Json.h"
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

bool IsRecipeType(const JsonValue *type) {
    if (type == nullptr) return false;
    if (type->isString())
        return type->text == "Recipe" || EndsWith(type->text, "/Recipe") ||
               EndsWith(type->text, ":Recipe");
    if (type->kind == JsonValue::Kind::Array)
        for (const JsonValue &item : type->items)
            if (IsRecipeType(&item)) return true;
    return false;
}

// HTML character references, which pages often leave in their JSON-LD texts.
std::string DecodeEntities(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    static const std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp", '&'},       {"lt", '<'},       {"gt", '>'},       {"quot", '"'},
        {"apos", '\''},     {"nbsp", 0xA0},    {"egrave", 0xE8},  {"eacute", 0xE9},
        {"agrave", 0xE0},   {"igrave", 0xEC},  {"ograve", 0xF2},  {"ugrave", 0xF9},
        {"Egrave", 0xC8},   {"Eacute", 0xC9},  {"Agrave", 0xC0},  {"deg", 0xB0},
        {"rsquo", 0x2019},  {"lsquo", 0x2018}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
        {"hellip", 0x2026}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"frac12", 0xBD},
        {"frac14", 0xBC},   {"frac34", 0xBE}};
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        out.append(text.substr(i, amp - i));
        if (amp == std::string_view::npos) break;
        i = amp + 1;
        const std::size_t semicolon = text.find(';', i);
        bool decoded = false;
        if (semicolon != std::string_view::npos && semicolon - i <= 10 && semicolon > i) {
            const std::string_view name = text.substr(i, semicolon - i);
            char32_t code = 0;
            if (name[0] == '#') {
                const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
                const std::string_view digits = name.substr(hex ? 2 : 1);
                bool valid = !digits.empty();
                for (char c : digits) {
                    const int value = c >= '0' && c <= '9' ? c - '0'
                                      : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f'
                                          ? (c | 0x20) - 'a' + 10
                                          : -1;
                    if (value < 0 || code > 0x10FFFF)
                        valid = false;
                    else
                        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
                }
                decoded =
                    valid && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            } else {
                for (const auto &[entity, value] : kNamed)
                    if (entity == name) {
                        code = value;
                        decoded = true;
                    }
            }
            if (decoded) {
                AppendUtf8(out, code);
                i = semicolon + 1;
            }
        }
        if (!decoded) out += '&';
    }
    return out;
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
    // One line of the collection from a text: Windows-1252, no line breaks or control bytes.
    std::string line(std::string_view utf8) {
        std::string text = m_converter.convert(DecodeEntities(utf8));
        for (char &c : text)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
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
        record.name = std::string(TrimBlanks(line(scalarText(object.member("name")))));
        // The first of a list of categories, split after character references are decoded.
        const std::string category = line(scalarText(object.member("recipeCategory")));
        record.dish = MatchDish(
            std::string(TrimBlanks(std::string_view(category).substr(0, category.find(',')))),
            m_dishes);
        record.persons = PersonsFromYield(scalarText(object.member("recipeYield")));
        const JsonValue *ingredients = object.member("recipeIngredient");
        if (ingredients == nullptr) ingredients = object.member("ingredients");
        if (ingredients != nullptr) {
            if (ingredients->isString()) {
                addIngredient(*ingredients, record);
            } else if (ingredients->kind == JsonValue::Kind::Array) {
                for (const JsonValue &item : ingredients->items) addIngredient(item, record);
            }
        }
        if (const JsonValue *instructions = object.member("recipeInstructions"))
            addInstructions(*instructions, record, 0);
        TakeLabelledFields(record);
        record.complete = true;
        imported.picturePath = localPicture(object.member("image"));
        if (const JsonValue *image = object.member("image"); image && imported.picturePath.empty())
            collectAddresses(*image, imported.pictureAddresses, 0);
        imported.unwritable = m_converter.takeUnwritable();
        if (record.name.empty()) imported.problems.emplace_back("La ricetta non ha un nome.");
        return imported;
    }

    void addIngredient(const JsonValue &item, RecipeRecord &record) {
        if (!item.isString()) return;
        const std::string text = line(item.text);
        if (!TrimBlanks(text).empty()) record.ingredients.push_back(IngredientLineFromText(text));
    }

    // Text, HowToStep and HowToSection (its name, then its steps), in any nesting of lists.
    void addInstructions(const JsonValue &value, RecipeRecord &record, int depth) {
        if (depth > 64) return;
        if (value.isString()) {
            std::string_view text = value.text;
            while (!text.empty()) {
                const std::size_t end = text.find_first_of("\r\n");
                const std::string_view piece = TrimBlanks(text.substr(0, end));
                if (!piece.empty()) record.preparation.push_back(line(piece));
                if (end == std::string_view::npos) break;
                text.remove_prefix(end + 1);
            }
            return;
        }
        if (value.kind == JsonValue::Kind::Array) {
            for (const JsonValue &item : value.items) addInstructions(item, record, depth + 1);
            return;
        }
        if (value.kind != JsonValue::Kind::Object) return;
        const JsonValue *steps = value.member("itemListElement");
        if (steps != nullptr) {
            const std::string name = scalarText(value.member("name"));
            if (!TrimBlanks(name).empty()) record.preparation.push_back(line(TrimBlanks(name)));
            addInstructions(*steps, record, depth + 1);
            return;
        }
        const JsonValue *text = value.member("text");
        if (text == nullptr || !text->isString()) text = value.member("name");
        if (text != nullptr && text->isString()) record.preparation.push_back(line(text->text));
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
            extractor.walk(ParseJson(texts[i]));
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
