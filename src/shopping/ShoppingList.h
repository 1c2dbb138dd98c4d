#pragma once

#include "common/Exception.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// One recipe of the shopping list, named as in the collection (Windows-1252), for a number
// of persons.
struct ShoppingEntry {
    std::string name;
    int persons = 0;

    friend bool operator==(const ShoppingEntry &, const ShoppingEntry &) = default;
};

inline constexpr int kMinListPersons = 1;
inline constexpr int kMaxListPersons = 100;

// The recipes of the shopping list, each name once, in the order they were added.
class ShoppingList {
public:
    const std::vector<ShoppingEntry> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }

    // Adds the recipe, or sets its persons when it is already there.
    void Add(std::string name, int persons);
    void Remove(std::string_view name);
    void SetPersons(std::string_view name, int persons);
    // The entry of a recipe renamed in the collection follows the new name, in its place;
    // returns whether there was one.
    bool Rename(std::string_view from, std::string_view to);

private:
    std::vector<ShoppingEntry> m_entries;
};

// The saved list cannot be read; the message (UTF-8, Italian) says why.
class EShoppingListDamaged : public Exception {
public:
    using Exception::Exception;
};

// The longest saved list the reader accepts.
inline constexpr std::size_t kMaxShoppingListBytes = 4 << 20;

// The saved form: a header line, then one line per recipe, the persons, a tab and the name;
// lines end with CR LF.
std::string WriteShoppingList(const ShoppingList &list);

// Reads the saved form; throws EShoppingListDamaged for anything else.
ShoppingList ReadShoppingList(std::string_view bytes);

}  // namespace sapidoro
