#include "writer/RecordCodec.h"

#include "common/ByteSource.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "data/CalorieTable.h"
#include "data/IntConvert.h"
#include "data/TextFile.h"
#include "writer/SaveError.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace sapidoro {

namespace {

// Field and line, as messages name them.
std::string Where(std::string_view field, int line) {
    std::string where = "Il campo \"" + std::string(field) + "\"";
    if (line > 0)
        where = "La riga " + std::to_string(line) + " del campo \"" + std::string(field) + "\"";
    return where;
}

[[noreturn]] void Refuse(std::string_view field, int line, const std::string &what) {
    throw ESaveRefused(Where(field, line) + " " + what);
}

// Whether a byte below 0x20 is in `text`: every line of an import is looked at eight bytes at
// a time for the three bytes a field must not hold.
bool HasControlByte(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if ((word - 0x2020202020202020u) & ~word & 0x8080808080808080u) return true;
    }
    for (; i < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) < 0x20) return true;
    return false;
}

void CheckLine(std::string_view text, std::string_view field, int line) {
    if (HasControlByte(text)) {
        const auto holds = [text](char c) {
            return std::memchr(text.data(), c, text.size()) != nullptr;
        };
        if (holds('\r') || holds('\n'))
            Refuse(field, line, "contiene un a capo, che spezzerebbe la ricetta in due righe.");
        if (holds('\x1A'))
            Refuse(field, line, "contiene il carattere Ctrl-Z, che chiuderebbe la raccolta.");
    }
    if (text == kRecordSeparator)
        Refuse(field, line, "è \":Ricette\", che chiuderebbe la ricetta.");
    if (text == kNameMarker)
        Refuse(field, line, "è \"-Nome\", che si confonderebbe con l'inizio di una ricetta.");
}

void CheckLines(const std::vector<std::string> &lines, std::string_view field) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        CheckLine(lines[i], field, static_cast<int>(i + 1));
}

void AppendLine(std::string &out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

// The first field in which `read` differs from `written`.
std::string_view DifferingField(const RecipeFields &written, const RecipeFields &read) {
    if (read.name != written.name) return kFieldName;
    if (read.dish != written.dish) return kFieldDish;
    if (read.mainIngredient != written.mainIngredient) return kFieldMainIngredient;
    if (read.persons != written.persons) return kFieldPersons;
    if (read.notes != written.notes) return kFieldNotes;
    if (read.ingredients != written.ingredients) return kFieldIngredients;
    return kFieldPreparation;
}

void Fold(std::uint64_t &value, std::uint64_t x) {
    value = (value ^ x) * 0x9E3779B97F4A7C15u;
    value ^= value >> 29;
}

std::uint64_t Word(const char *bytes, std::size_t size = 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, size);
    return word;
}

}  // namespace

std::string CollectionText(std::string_view utf8, std::string_view field, int line) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) code = QChar::surrogateToUcs4(text[i], text[i + 1]);
        unsigned char byte = 0;
        if (!UnicodeToCp1252(code, byte)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
            const QString shown = pair ? text.mid(i, 2) : text.mid(i, 1);
            Refuse(field, line,
                   "contiene il carattere \"" + shown.toStdString() + "\" (" + hex +
                       "), che la raccolta (Windows-1252) non può contenere.");
        }
        bytes.push_back(static_cast<char>(byte));
        if (pair) ++i;
    }
    return bytes;
}

namespace {

// The checks on the lines of a record, for the fields given and for a record read back.
template <typename Record>
void CheckRecordLines(const Record &recipe, bool personsValid) {
    if (recipe.name.empty()) throw ESaveRefused("Il nome della ricetta è vuoto.");
    CheckLine(recipe.name, kFieldName, 0);
    CheckLine(recipe.dish, kFieldDish, 0);
    CheckLine(recipe.mainIngredient, kFieldMainIngredient, 0);
    if (!personsValid) throw ESaveRefused("Il numero di persone deve essere almeno 1.");
    CheckLine(recipe.notes, kFieldNotes, 0);
    CheckLines(recipe.ingredients, kFieldIngredients);
    for (std::size_t i = 0; i < recipe.ingredients.size(); ++i) {
        if (recipe.ingredients[i] == kPreparationMarker)
            Refuse(kFieldIngredients, static_cast<int>(i + 1),
                   "è \"-Preparazione\", che chiuderebbe gli ingredienti.");
    }
    CheckLines(recipe.preparation, kFieldPreparation);
}

template <typename Record>
void AppendRecordLines(std::string &out, const Record &recipe, std::string_view persons) {
    AppendLine(out, kNameMarker);
    AppendLine(out, recipe.name);
    AppendLine(out, "-Piatto");
    AppendLine(out, recipe.dish);
    AppendLine(out, "-Ingrediente Principale");
    AppendLine(out, recipe.mainIngredient);
    AppendLine(out, "-Persone");
    AppendLine(out, persons);
    AppendLine(out, "-Note");
    AppendLine(out, recipe.notes);
    AppendLine(out, "-Ingredienti");
    for (const std::string &line : recipe.ingredients) AppendLine(out, line);
    AppendLine(out, kPreparationMarker);
    for (const std::string &line : recipe.preparation) AppendLine(out, line);
    AppendLine(out, kRecordSeparator);
}

}  // namespace

void CheckRecipeFields(const RecipeFields &recipe) {
    CheckRecordLines(recipe, recipe.persons >= 1);
}

void CheckRecordRead(const RecipeRecord &record) {
    bool personsValid = false;
    try {
        personsValid = StrToInt(record.persons) >= 1;
    } catch (const EConvertError &) {
    }
    CheckRecordLines(record, personsValid);
}

std::string EncodeRecord(const RecipeFields &recipe) {
    std::string out;
    AppendEncodedRecord(out, recipe);
    return out;
}

void AppendEncodedRecord(std::string &out, const RecipeFields &recipe) {
    AppendRecordLines(out, recipe, std::to_string(recipe.persons));
}

void AppendEncodedRecord(std::string &out, const RecipeRecord &record) {
    AppendRecordLines(out, record, record.persons);
}

std::uint64_t BytesDigest(std::string_view bytes) {
    // Four lanes take 32 bytes at a time, so that their multiplications overlap.
    std::uint64_t lanes[4] = {0x243F6A8885A308D3u, 0x13198A2E03707344u, 0xA4093822299F31D0u,
                              0x082EFA98EC4E6C89u};
    const char *data = bytes.data();
    std::size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32)
        for (int k = 0; k < 4; ++k) Fold(lanes[k], Word(data + i + 8 * k));
    std::uint64_t z = bytes.size();
    for (; i + 8 <= bytes.size(); i += 8) Fold(z, Word(data + i));
    if (i < bytes.size()) Fold(z, Word(data + i, bytes.size() - i));
    for (const std::uint64_t lane : lanes) Fold(z, lane);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

RecipeFields DecodeRecord(std::string_view bytes, std::size_t &end, bool &complete) {
    TextFile file(MakeMemorySource(std::string(bytes)));
    file.skipLine();
    std::string name = file.readLine();
    const RecipeRecord record = ReadRecipeBody(file, std::move(name));
    end = static_cast<std::size_t>(file.offset());
    complete = record.complete;
    return FieldsOf(record);
}

RecipeFields FieldsOf(const RecipeRecord &record) {
    RecipeFields fields;
    fields.name = record.name;
    fields.dish = record.dish;
    fields.mainIngredient = record.mainIngredient;
    fields.persons = StrToInt(record.persons);
    fields.notes = record.notes;
    fields.ingredients = record.ingredients;
    fields.preparation = record.preparation;
    return fields;
}

std::string VerifiedRecord(const RecipeFields &recipe) {
    CheckRecipeFields(recipe);
    std::string bytes = EncodeRecord(recipe);
    std::size_t end = 0;
    bool complete = false;
    const RecipeFields read = DecodeRecord(bytes, end, complete);
    if (!complete || end != bytes.size() || read != recipe)
        throw ESaveRefused(Where(DifferingField(recipe, read), 0) +
                           " non si rileggerebbe uguale dalla raccolta.");
    return bytes;
}

std::string VerifiedCalorieEntry(const CalorieEntryFields &entry) {
    if (entry.ingredient.empty()) throw ESaveRefused("Il nome dell'ingrediente è vuoto.");
    if (entry.quantity.empty()) throw ESaveRefused("La quantità è vuota.");
    CheckLine(entry.ingredient, kFieldIngredient, 0);
    CheckLine(entry.quantity, kFieldQuantity, 0);
    for (std::string_view part : {kEntryNameMarker, kEntryQuantitySeparator}) {
        if (entry.ingredient.find(part) != std::string::npos)
            Refuse(
                kFieldIngredient, 0,
                "contiene \"" + std::string(part) + "\", che il file ing.txt usa come separatore.");
    }
    if (entry.quantity.find(kEntryCaloriesSeparator) != std::string::npos)
        Refuse(kFieldQuantity, 0, "contiene \" === \", che il file ing.txt usa come separatore.");
    const std::string calories = std::to_string(entry.calories);
    std::string line = entry.ingredient + std::string(kEntryNameMarker) +
                       std::string(kEntryQuantitySeparator) + entry.quantity +
                       std::string(kEntryCaloriesSeparator) + calories;
    const CalorieEntry read = SplitCalorieEntry(line);
    if (read.name != entry.ingredient || read.quantity != entry.quantity ||
        read.calories != calories)
        throw ESaveRefused("La voce di \"" + Cp1252ToUtf8(entry.ingredient) +
                           "\" non si rileggerebbe uguale dal file ing.txt.");
    line.append("\r\n");
    return line;
}

}  // namespace sapidoro
