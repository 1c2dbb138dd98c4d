#include "shopping/ShoppingList.h"

#include <algorithm>

namespace sapidoro {

namespace {

constexpr std::string_view kHeader = "Sapidoro lista della spesa 1";
constexpr std::size_t kMaxEntries = 10000;

int ClampPersons(int persons) {
    return std::clamp(persons, kMinListPersons, kMaxListPersons);
}

[[noreturn]] void Damaged(std::size_t lineNumber, const std::string &reason) {
    throw EShoppingListDamaged("riga " + std::to_string(lineNumber) + ": " + reason);
}

// The persons of a saved line: one to three digits, 1 to 100.
int ReadPersons(std::string_view text, std::size_t lineNumber) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        Damaged(lineNumber, "numero di persone non valido");
    }
    int persons = 0;
    for (const char c : text) persons = persons * 10 + (c - '0');
    if (persons < kMinListPersons || persons > kMaxListPersons) {
        Damaged(lineNumber, "numero di persone fuori dai limiti");
    }
    return persons;
}

}  // namespace

void ShoppingList::Add(std::string name, int persons) {
    for (ShoppingEntry &entry : m_entries) {
        if (entry.name == name) {
            entry.persons = ClampPersons(persons);
            return;
        }
    }
    m_entries.push_back({std::move(name), ClampPersons(persons)});
}

void ShoppingList::Remove(std::string_view name) {
    std::erase_if(m_entries, [name](const ShoppingEntry &entry) { return entry.name == name; });
}

void ShoppingList::SetPersons(std::string_view name, int persons) {
    for (ShoppingEntry &entry : m_entries) {
        if (entry.name == name) entry.persons = ClampPersons(persons);
    }
}

bool ShoppingList::Rename(std::string_view from, std::string_view to) {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [from](const ShoppingEntry &e) { return e.name == from; });
    if (entry == m_entries.end() || from == to) return false;
    // An entry already under the new name is a recipe gone missing: the renamed one replaces it.
    const std::size_t at = static_cast<std::size_t>(entry - m_entries.begin());
    m_entries[at].name = std::string(to);
    for (std::size_t i = m_entries.size(); i-- > 0;)
        if (i != at && m_entries[i].name == to)
            m_entries.erase(m_entries.begin() + std::ptrdiff_t(i));
    return true;
}

std::string WriteShoppingList(const ShoppingList &list) {
    std::string bytes(kHeader);
    bytes += "\r\n";
    for (const ShoppingEntry &entry : list.entries()) {
        bytes += std::to_string(entry.persons);
        bytes += '\t';
        bytes += entry.name;
        bytes += "\r\n";
    }
    return bytes;
}

ShoppingList ReadShoppingList(std::string_view bytes) {
    if (bytes.size() > kMaxShoppingListBytes) throw EShoppingListDamaged("file troppo grande");
    ShoppingList list;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1) {
            if (line != kHeader) Damaged(lineNumber, "intestazione sconosciuta");
            continue;
        }
        if (line.empty() && start >= bytes.size()) break;
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) Damaged(lineNumber, "riga senza tabulazione");
        const int persons = ReadPersons(line.substr(0, tab), lineNumber);
        const std::string_view name = line.substr(tab + 1);
        // A recipe name is one line of the collection: no line breaks or other control bytes.
        if (name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 && c != '\t';
            })) {
            Damaged(lineNumber, "nome di ricetta non valido");
        }
        if (list.entries().size() >= kMaxEntries) Damaged(lineNumber, "troppe ricette");
        list.Add(std::string(name), persons);
    }
    if (lineNumber == 0) throw EShoppingListDamaged("file vuoto");
    return list;
}

}  // namespace sapidoro
