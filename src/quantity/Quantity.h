#pragma once

#include "quantity/Rational.h"

#include <string>
#include <string_view>

namespace sapidoro {

struct Unit;

// The quantity of an ingredient line as the grammar reads it: a leading amount ("2", "1,5",
// "0.25", "1/2", "1 e 1/2", "1 1/2", "½"), an optional unit, and the rest as written.
// Texts are Windows-1252 bytes.
struct Quantity {
    std::string written;    // the whole text as given
    bool readable = false;  // a leading amount was read; otherwise only `written` counts
    Rational amount;        // in `unit`, or a plain count without one
    bool scaled = false;    // written anew (rounded) rather than as given
    const Unit *unit = nullptr;
    std::string amountWritten;  // the amount as written
    std::string gap;            // between the amount and the unit, as written
    std::string unitWritten;    // the unit word as written (its letter case is kept)
    std::string rest;           // what follows, as written
};

// Never fails: a text whose amount cannot be read ("q.b.", "un pizzico", "", "1/0", a
// number of more than twelve digits, "1-2") is an unreadable quantity.
Quantity ParseQuantity(std::string_view text);

// The quantity times `factor`. An unreadable quantity, or one whose product would
// overflow, is returned as it is, never scaled.
Quantity ScaleQuantity(const Quantity &quantity, Rational factor);

// The text of a quantity. As given when it was neither scaled nor read; scaled ones are
// written the Italian way: a decimal comma, halves, thirds and quarters for countable units,
// grams and millilitres rounded to a sensible step, 1000 g as 1 kg and 1000 ml as 1 l, the
// unit in the form that agrees with the amount.
std::string FormatQuantity(const Quantity &quantity);

// The text scaled by `factor`; by 1, or when unreadable, exactly the text given.
std::string ScaleQuantityText(std::string_view text, Rational factor);

// The amount in grams or millilitres for mass and volume units, else in the unit itself;
// nullopt when unreadable or on overflow.
std::optional<Rational> BaseAmount(const Quantity &quantity);

}  // namespace sapidoro
