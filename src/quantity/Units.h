#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sapidoro {

enum class UnitKind {
    Count,    // pieces, spoons, cloves...: halves, thirds and quarters
    Mass,     // in grams
    Volume,   // in millilitres
    Decimal,  // other measures written with a decimal comma
};

// One kitchen unit in its two forms (lower case); mass and volume units know their size in
// grams or millilitres and which form of the same family to use below or above 1000.
struct Unit {
    std::string_view singular;
    std::string_view plural;
    UnitKind kind;
    std::int64_t base;       // grams or millilitres in one unit; 1 for the others
    std::string_view small;  // the family's unit for amounts under 1000 grams or millilitres
    std::string_view large;  // the family's unit for 1000 grams or millilitres and more
};

// The unit named by a word in either form, ignoring ASCII case; nullptr when none is.
const Unit *FindUnit(std::string_view word);

// The unit's form for an amount: the plural above one. The letter case follows `written`
// (all capitals, a capital initial, or lower case).
std::string UnitWord(const Unit &unit, bool plural, std::string_view written);

}  // namespace sapidoro
