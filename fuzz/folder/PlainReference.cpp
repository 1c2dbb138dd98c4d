#include "PlainReference.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>

namespace plain {

namespace {

constexpr std::string_view kSeparator = ":Ricette";
constexpr std::string_view kPreparation = "-Preparazione";
constexpr std::string_view kName = "-Nome";

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

QString ToQString(std::string_view cp1252) {
    QString out;
    for (char c : cp1252)
        out += QChar(static_cast<char16_t>(CodePoint(static_cast<unsigned char>(c))));
    return out;
}

const QCollator &Collator() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Italian, QLocale::Italy)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool Contains(const Strings &list, std::string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

Strings SplitLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    Strings lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

namespace {
std::vector<std::pair<std::string, std::shared_ptr<const Strings>>> kept;
// The sort keys of the names sorted during one input: each list is sorted several times.
std::unordered_map<std::string, QCollatorSortKey> keys;

const QCollatorSortKey &KeyOf(const std::string &name) {
    auto found = keys.find(name);
    if (found == keys.end()) found = keys.emplace(name, Collator().sortKey(ToQString(name))).first;
    return found->second;
}
}  // namespace

void ForgetLines() {
    kept = {};
    keys = {};
}

LineCursor::LineCursor(std::string_view bytes) {
    for (const auto &[seen, lines] : kept) {
        if (seen == bytes) {
            m_lines = lines;
            return;
        }
    }
    if (kept.size() == 4) kept.erase(kept.begin());
    m_lines = std::make_shared<const Strings>(SplitLines(bytes));
    kept.emplace_back(std::string(bytes), m_lines);
}

const std::string &LineCursor::read() {
    static const std::string empty;
    return eof() ? empty : (*m_lines)[m_next++];
}

std::string TextBefore(std::string_view text, std::string_view separator) {
    const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string TextAfter(std::string_view text, std::string_view separator) {
    const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    if (at == std::string_view::npos) return {};
    std::string rest(text.substr(at + separator.size()));
    if (rest.size() > 255) rest.resize(255);
    return rest;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long double value = 0;  // wide enough to see any overflow
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 1e11L) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string NotAnIntegerMessage(std::string_view text) {
    return "'" + Utf8Of(text) + "' is not a valid integer value";
}

Listing ListNames(std::string_view recipeFile) {
    LineCursor file(recipeFile);
    Listing listing;
    if (file.eof()) return listing;
    file.read();
    while (!file.eof()) {
        file.read();
        if (file.eof()) {
            listing.cutShort = true;
            break;
        }
        listing.names.push_back(file.read());
        bool closed = false;
        while (!closed && !file.eof()) closed = file.read() == kSeparator;
        if (!closed) {
            listing.cutShort = true;
            break;
        }
    }
    return listing;
}

bool Contains(std::string_view text, std::string_view needle) {
    // Every place of the text, compared with ASCII letters folded to capitals.
    const auto capital = [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    };
    for (std::size_t at = 0; !needle.empty() && at + needle.size() <= text.size(); ++at) {
        std::size_t k = 0;
        while (k < needle.size() && capital(text[at + k]) == capital(needle[k])) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

Scan ScanFile(std::string_view recipeFile, Scope scope, std::string_view needle) {
    const int compared = scope == Scope::Nome                                      ? 2
                         : scope == Scope::Piatto                                  ? 4
                         : scope == Scope::Persone                                 ? 8
                         : scope == Scope::Luogo || scope == Scope::RicettaAdattaA ? 10
                                                                                   : 12;
    const auto test = [&](const std::string &text) {
        return scope == Scope::Persone ? text == needle : Contains(text, needle);
    };
    LineCursor file(recipeFile);
    Scan scan;
    if (file.eof()) return scan;
    file.read();
    while (!file.eof()) {
        file.read();
        if (file.eof()) break;  // no name line: no record
        const std::string &name = file.read();
        if (compared == 2 && test(name)) scan.matches.push_back(name);
        for (int line = 3; line <= 11; ++line) {
            const std::string &text = file.read();
            if (line == compared && test(text)) scan.matches.push_back(name);
        }
        if (scope == Scope::Ingredienti) {
            while (!file.eof()) {
                const std::string &text = file.read();
                if (test(TextAfter(text, " ==="))) scan.matches.push_back(name);
                if (text == kPreparation) break;
            }
        } else {
            file.read();
        }
        while (!file.eof() && file.read() != kSeparator) {
        }
        ++scan.records;
    }
    return scan;
}

int NameOrder(std::string_view a, std::string_view b) {
    // The collation's order is that of its sort keys.
    const int order = Collator().sortKey(ToQString(a)).compare(Collator().sortKey(ToQString(b)));
    return (order > 0) - (order < 0);
}

bool NameLess(std::string_view a, std::string_view b) {
    return NameOrder(a, b) < 0;
}

Strings SortedNames(Strings names) {
    // The order of NameLess, with each name's sort key made once rather than per comparison.
    std::vector<std::pair<const QCollatorSortKey *, std::size_t>> keyed;
    keyed.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) keyed.emplace_back(&KeyOf(names[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first->compare(*b.first) < 0; });
    Strings sorted;
    sorted.reserve(names.size());
    for (const auto &entry : keyed) sorted.push_back(std::move(names[entry.second]));
    return sorted;
}

Strings Collect(const Strings &resultList, bool complete, const Strings &matches) {
    Strings working;
    for (const std::string &item : resultList) {
        if (Contains(matches, item) && !Contains(working, item)) working.push_back(item);
    }
    if (complete) {
        Strings outside;
        for (const std::string &name : matches) {
            if (!Contains(resultList, name) && !Contains(outside, name)) outside.push_back(name);
        }
        working.insert(working.end(), outside.begin(), outside.end());
        working = SortedNames(working);
    }
    Strings merged;
    for (const std::string &name : working) {
        if (name != (merged.empty() ? std::string() : merged.back())) merged.push_back(name);
    }
    return merged;
}

std::optional<Record> FindRecord(std::string_view recipeFile, std::string_view name) {
    LineCursor file(recipeFile);
    const Strings &lines = file.lines();
    std::size_t at = 0;
    while (at < lines.size() && !(lines[at] == name && at > 0 && lines[at - 1] == kName)) ++at;
    if (at == lines.size()) return std::nullopt;
    file.seek(at + 1);
    Record record;
    for (std::string *field :
         {&record.dish, &record.mainIngredient, &record.persons, &record.notes}) {
        file.read();
        *field = file.read();
    }
    file.read();
    bool preparation = false;
    while (!preparation && !file.eof()) {
        std::string line = file.read();
        preparation = line == kPreparation;
        if (!preparation) record.ingredients.push_back(std::move(line));
    }
    while (preparation && !record.complete && !file.eof()) {
        std::string line = file.read();
        record.complete = line == kSeparator;
        if (!record.complete) record.preparation.push_back(std::move(line));
    }
    return record;
}

std::optional<std::string> FirstEntry(std::string_view table, std::string_view name,
                                      std::string_view quantity) {
    LineCursor file(table);
    // Every pass reads at least one entry, the empty line of an empty table too.
    do {
        const std::string entry = file.read();
        if (TextBefore(entry, "_ING") == name &&
            TextBefore(TextAfter(entry, " == "), " === ") == quantity) {
            return TextAfter(entry, " === ");
        }
    } while (!file.eof());
    return std::nullopt;
}

Calories CountCalories(std::string_view table, const Strings &ingredientLines) {
    Calories calories;
    calories.missing = static_cast<std::int32_t>(ingredientLines.size());
    for (const std::string &line : ingredientLines) {
        std::string quantity = TextBefore(line, " ==== ");
        if (quantity.empty()) quantity = "0";
        const std::string ingredient = TextAfter(line, " ==== ");
        const std::optional<std::string> found = FirstEntry(table, ingredient, quantity);
        if (!found) {
            calories.notFound.push_back(quantity + " ==== " + ingredient);
            continue;
        }
        const std::optional<std::int32_t> value = ParseInt(*found);
        if (!value) {
            calories.error = NotAnIntegerMessage(*found);
            return calories;
        }
        calories.sum += *value;
        --calories.missing;
    }
    return calories;
}

Strings IngredientNames(std::string_view table) {
    LineCursor file(table);
    Strings names;
    do {
        const std::string name = TextBefore(file.read(), "_ING");
        if (name != (names.empty() ? std::string() : names.back())) names.push_back(name);
    } while (!file.eof());
    return names;
}

Strings Places(std::string_view places) {
    LineCursor file(places);
    Strings list{file.read()};
    do {
        list.push_back(file.read());
    } while (!file.eof());
    return list;
}

char32_t CodePoint(unsigned char byte) {
    switch (byte) {
        case 0x80:
            return U'\u20AC';  // euro sign
        case 0x82:
            return U'\u201A';
        case 0x83:
            return U'\u0192';
        case 0x84:
            return U'\u201E';
        case 0x85:
            return U'\u2026';
        case 0x86:
            return U'\u2020';
        case 0x87:
            return U'\u2021';
        case 0x88:
            return U'\u02C6';
        case 0x89:
            return U'\u2030';
        case 0x8A:
            return U'\u0160';
        case 0x8B:
            return U'\u2039';
        case 0x8C:
            return U'\u0152';
        case 0x8E:
            return U'\u017D';
        case 0x91:
            return U'\u2018';
        case 0x92:
            return U'\u2019';
        case 0x93:
            return U'\u201C';
        case 0x94:
            return U'\u201D';
        case 0x95:
            return U'\u2022';
        case 0x96:
            return U'\u2013';
        case 0x97:
            return U'\u2014';
        case 0x98:
            return U'\u02DC';
        case 0x99:
            return U'\u2122';
        case 0x9A:
            return U'\u0161';
        case 0x9B:
            return U'\u203A';
        case 0x9C:
            return U'\u0153';
        case 0x9E:
            return U'\u017E';
        case 0x9F:
            return U'\u0178';
        default:
            return byte;  // Latin-1, and the undefined 0x81, 0x8D, 0x8F, 0x90, 0x9D
    }
}

std::string Utf8Of(std::string_view cp1252) {
    std::string out;
    for (char c : cp1252) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > utf8.size()) return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out += c;
        i += length;
    }
    return out;
}

std::string Cp1252Of(const std::u32string &text) {
    static const std::map<char32_t, char> bytes = [] {
        std::map<char32_t, char> map;
        for (int b = 0; b < 256; ++b)
            map[CodePoint(static_cast<unsigned char>(b))] = static_cast<char>(b);
        return map;
    }();
    std::string out;
    for (char32_t c : text) {
        const auto it = bytes.find(c);
        out += it == bytes.end() ? '?' : it->second;
    }
    return out;
}

}  // namespace plain
