#include "quantity/Quantity.h"

#include "common/AsciiCase.h"
#include "quantity/Units.h"

#include <array>
#include <optional>

namespace sapidoro {

namespace {

constexpr std::size_t kMaxWholeDigits = 12;
constexpr std::size_t kMaxDecimalDigits = 6;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Windows-1252 vulgar fractions: 0xBC, 0xBD, 0xBE.
std::optional<Rational> VulgarFraction(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0xBC:
            return Rational{1, 4};
        case 0xBD:
            return Rational{1, 2};
        case 0xBE:
            return Rational{3, 4};
        default:
            return std::nullopt;
    }
}

// A run of at most `limit` digits at `pos`, advancing it; nullopt when there is none or it
// is longer (the whole run is still skipped, so a long number is read once).
std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t &pos, std::size_t limit) {
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    if (pos == start || pos - start > limit) return std::nullopt;
    std::int64_t value = 0;
    for (std::size_t i = start; i < pos; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

// "n/d" or a vulgar fraction at `pos`, advancing it only on success.
std::optional<Rational> ReadFraction(std::string_view text, std::size_t &pos) {
    if (pos < text.size()) {
        if (const auto vulgar = VulgarFraction(text[pos])) {
            ++pos;
            return vulgar;
        }
    }
    std::size_t at = pos;
    const auto num = ReadDigits(text, at, kMaxWholeDigits);
    if (!num || at >= text.size() || text[at] != '/') return std::nullopt;
    ++at;
    const auto den = ReadDigits(text, at, kMaxWholeDigits);
    if (!den) return std::nullopt;
    const auto fraction = MakeRational(*num, *den);
    if (fraction) pos = at;
    return fraction;
}

// The leading amount; `pos` ends after it.
std::optional<Rational> ReadAmount(std::string_view text, std::size_t &pos) {
    // A fraction alone ("1/2", "3/2", "½") comes before the numbers it begins like.
    if (const auto alone = ReadFraction(text, pos)) return alone;
    const auto whole = ReadDigits(text, pos, kMaxWholeDigits);
    if (!whole) return std::nullopt;
    const auto integer = Rational{*whole, 1};
    if (pos + 1 < text.size() && (text[pos] == ',' || text[pos] == '.') && IsDigit(text[pos + 1])) {
        const char mark = text[pos];
        const std::size_t start = ++pos;
        const auto digits = ReadDigits(text, pos, kMaxDecimalDigits);
        if (!digits) return std::nullopt;
        // "1.000" is a thousand to an Italian reader and a one to others: read neither.
        if (mark == '.' && pos - start == 3 && *whole != 0) return std::nullopt;
        std::int64_t scale = 1;
        for (std::size_t i = start; i < pos; ++i) scale *= 10;
        const auto decimals = MakeRational(*digits, scale);
        return decimals ? Add(integer, *decimals) : std::nullopt;
    }
    // Mixed numbers: "1 e 1/2", "1 1/2", "1½", "1 ½".
    for (const std::string_view joint : {"", " ", " e "}) {
        if (text.substr(pos, joint.size()) != joint) continue;
        std::size_t at = pos + joint.size();
        const auto fraction = ReadFraction(text, at);
        if (!fraction || fraction->num >= fraction->den || fraction->num == 0) continue;
        const auto mixed = Add(integer, *fraction);
        if (!mixed) return std::nullopt;
        pos = at;
        return mixed;
    }
    return integer;
}

bool IsLetter(char c) {
    return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0xC0;
}

// Words after an amount that make it part of a range or a phrase ("1 o 2", "2 a 3",
// "1 e mezzo"): scaling only the first number would give a wrong text.
bool IsJoiningWord(std::string_view word) {
    return word == "e" || word == "o" || word == "a";
}

// The digits of `value` with at most `decimals` decimals after a comma, trailing zeros
// dropped; nullopt on overflow.
std::optional<std::string> WriteDecimal(Rational value, int decimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const auto rounded = RoundToStep(value, Rational{1, scale});
    if (!rounded) return std::nullopt;
    std::string text = std::to_string(WholePart(*rounded));
    std::int64_t remainder = rounded->num % rounded->den;
    if (remainder == 0) return text;
    text += ',';
    // Long division digit by digit: the denominator divides `scale`, so this ends.
    while (remainder != 0) {
        remainder *= 10;
        text += static_cast<char>('0' + remainder / rounded->den);
        remainder %= rounded->den;
    }
    return text;
}

// A count as a whole number, a fraction "k/d" or "n e k/d".
std::string WriteFraction(Rational value) {
    const std::int64_t whole = WholePart(value);
    const std::int64_t part = value.num % value.den;
    if (part == 0) return std::to_string(whole);
    const std::string fraction = std::to_string(part) + '/' + std::to_string(value.den);
    return whole == 0 ? fraction : std::to_string(whole) + " e " + fraction;
}

// The count rounded to the nearest quarter or third (whole from ten up), never to nothing.
std::optional<Rational> RoundCount(Rational value) {
    if (value.den <= 4) return value;
    if (Compare(value, Rational{10, 1}) >= 0) return RoundToStep(value, Rational{1, 1});
    const auto quarters = RoundToStep(value, Rational{1, 4});
    const auto thirds = RoundToStep(value, Rational{1, 3});
    if (!quarters || !thirds) return std::nullopt;
    const auto toQuarters = Distance(*quarters, value);
    const auto toThirds = Distance(*thirds, value);
    if (!toQuarters || !toThirds) return std::nullopt;
    const Rational best = Compare(*toThirds, *toQuarters) < 0 ? *thirds : *quarters;
    return best.num == 0 ? Rational{1, 4} : best;
}

// Grams or millilitres: whole amounts stay, others go to a step that suits their size.
std::optional<Rational> RoundMeasure(Rational value) {
    if (value.den == 1) return value;
    Rational step{50, 1};
    if (Compare(value, Rational{10, 1}) < 0) {
        step = Rational{1, 2};
    } else if (Compare(value, Rational{100, 1}) < 0) {
        step = Rational{1, 1};
    } else if (Compare(value, Rational{1000, 1}) < 0) {
        step = Rational{10, 1};
    }
    const auto rounded = RoundToStep(value, step);
    // A tiny amount keeps two decimals rather than vanishing.
    if (rounded && rounded->num == 0) return RoundToStep(value, Rational{1, 100});
    return rounded;
}

// The amount in the form that agrees with it, followed by the unit and the rest.
std::string Compose(const Quantity &q, const std::string &amount, const Unit *unit,
                    Rational value) {
    std::string text = amount;
    if (unit != nullptr) {
        text += q.gap;
        text += UnitWord(*unit, Compare(value, Rational{1, 1}) > 0, q.unitWritten);
    }
    text += q.rest;
    return text;
}

std::optional<std::string> WriteMeasure(const Quantity &q) {
    const auto base = BaseAmount(q);
    if (!base) return std::nullopt;
    const auto rounded = RoundMeasure(*base);
    if (!rounded) return std::nullopt;
    const bool writtenLarge = q.unit->base > 1;
    const bool thousands = rounded->den == 1 && rounded->num % 1000 == 0;
    const bool large = Compare(*rounded, Rational{1000, 1}) >= 0 && (writtenLarge || thousands);
    const Unit *unit = FindUnit(large ? q.unit->large : q.unit->small);
    if (unit == nullptr) return std::nullopt;
    const auto value = large ? Divide(*rounded, Rational{1000, 1}) : rounded;
    if (!value) return std::nullopt;
    const auto digits = WriteDecimal(*value, 3);
    if (!digits) return std::nullopt;
    return Compose(q, *digits, unit, *value);
}

std::optional<std::string> WriteScaled(const Quantity &q) {
    const UnitKind kind = q.unit != nullptr ? q.unit->kind : UnitKind::Count;
    if (kind == UnitKind::Mass || kind == UnitKind::Volume) return WriteMeasure(q);
    if (kind == UnitKind::Decimal) {
        const auto rounded = RoundToStep(q.amount, Rational{1, 100});
        if (!rounded) return std::nullopt;
        const auto digits = WriteDecimal(*rounded, 2);
        if (!digits) return std::nullopt;
        return Compose(q, *digits, q.unit, *rounded);
    }
    const auto rounded = RoundCount(q.amount);
    if (!rounded) return std::nullopt;
    return Compose(q, WriteFraction(*rounded), q.unit, *rounded);
}

}  // namespace

Quantity ParseQuantity(std::string_view text) {
    Quantity q;
    q.written = std::string(text);
    std::size_t pos = 0;
    const auto amount = ReadAmount(text, pos);
    if (!amount) return q;
    const std::size_t amountEnd = pos;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const std::size_t wordStart = pos;
    while (pos < text.size() && IsAsciiLetter(text[pos])) ++pos;
    const std::string_view word = text.substr(wordStart, pos - wordStart);
    const bool wordEnds = pos == text.size() || !(IsLetter(text[pos]) || IsDigit(text[pos]));
    if (wordStart < text.size() && !IsLetter(text[wordStart]) && text[wordStart] != '(') {
        return q;
    }
    if (IsJoiningWord(word) && wordEnds) return q;
    q.readable = true;
    q.amount = *amount;
    q.amountWritten = std::string(text.substr(0, amountEnd));
    const Unit *unit = wordEnds && !word.empty() ? FindUnit(word) : nullptr;
    if (unit != nullptr) {
        q.unit = unit;
        q.gap = std::string(text.substr(amountEnd, wordStart - amountEnd));
        q.unitWritten = std::string(word);
        q.rest = std::string(text.substr(pos));
    } else {
        q.rest = std::string(text.substr(amountEnd));
    }
    return q;
}

Quantity ScaleQuantity(const Quantity &quantity, Rational factor) {
    if (!quantity.readable) return quantity;
    const auto product = Multiply(quantity.amount, factor);
    if (!product) return quantity;
    Quantity scaled = quantity;
    scaled.amount = *product;
    scaled.scaled = true;
    // Keep it as given when its scaled text cannot be written.
    if (!WriteScaled(scaled)) return quantity;
    return scaled;
}

std::string FormatQuantity(const Quantity &quantity) {
    if (!quantity.readable) return quantity.written;
    if (!quantity.scaled) {
        return quantity.amountWritten + quantity.gap + quantity.unitWritten + quantity.rest;
    }
    return WriteScaled(quantity).value_or(quantity.written);
}

std::string ScaleQuantityText(std::string_view text, Rational factor) {
    if (factor == Rational{1, 1}) return std::string(text);
    return FormatQuantity(ScaleQuantity(ParseQuantity(text), factor));
}

std::optional<Rational> BaseAmount(const Quantity &quantity) {
    if (!quantity.readable) return std::nullopt;
    if (quantity.unit == nullptr) return quantity.amount;
    return Multiply(quantity.amount, Rational{quantity.unit->base, 1});
}

}  // namespace sapidoro
