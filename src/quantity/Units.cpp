#include "quantity/Units.h"

#include "common/AsciiCase.h"

#include <array>

namespace sapidoro {

namespace {

using namespace std::string_view_literals;

constexpr Unit Mass(std::string_view one, std::string_view many, std::int64_t base,
                    std::string_view small, std::string_view large) {
    return {one, many, UnitKind::Mass, base, small, large};
}
constexpr Unit Volume(std::string_view one, std::string_view many, std::int64_t base,
                      std::string_view small, std::string_view large) {
    return {one, many, UnitKind::Volume, base, small, large};
}
constexpr Unit Count(std::string_view one, std::string_view many) {
    return {one, many, UnitKind::Count, 1, {}, {}};
}
constexpr Unit Measure(std::string_view one, std::string_view many) {
    return {one, many, UnitKind::Decimal, 1, {}, {}};
}

constexpr std::array kUnits{
    Mass("g"sv, "g"sv, 1, "g"sv, "kg"sv),
    Mass("gr"sv, "gr"sv, 1, "gr"sv, "kg"sv),
    Mass("kg"sv, "kg"sv, 1000, "g"sv, "kg"sv),
    Mass("grammo"sv, "grammi"sv, 1, "grammo"sv, "chilo"sv),
    Mass("chilo"sv, "chili"sv, 1000, "grammo"sv, "chilo"sv),
    Mass("chilogrammo"sv, "chilogrammi"sv, 1000, "grammo"sv, "chilogrammo"sv),
    Volume("ml"sv, "ml"sv, 1, "ml"sv, "l"sv),
    Volume("l"sv, "l"sv, 1000, "ml"sv, "l"sv),
    Volume("lt"sv, "lt"sv, 1000, "ml"sv, "lt"sv),
    Volume("millilitro"sv, "millilitri"sv, 1, "millilitro"sv, "litro"sv),
    Volume("litro"sv, "litri"sv, 1000, "millilitro"sv, "litro"sv),
    Measure("cl"sv, "cl"sv),
    Measure("dl"sv, "dl"sv),
    Measure("hg"sv, "hg"sv),
    Measure("etto"sv, "etti"sv),
    Count("baccello"sv, "baccelli"sv),
    Count("barattolo"sv, "barattoli"sv),
    Count("bicchiere"sv, "bicchieri"sv),
    Count("bicchierino"sv, "bicchierini"sv),
    Count("busta"sv, "buste"sv),
    Count("bustina"sv, "bustine"sv),
    Count("cespo"sv, "cespi"sv),
    Count("ciuffo"sv, "ciuffi"sv),
    Count("confezione"sv, "confezioni"sv),
    Count("costa"sv, "coste"sv),
    Count("cubetto"sv, "cubetti"sv),
    Count("cucchiaino"sv, "cucchiaini"sv),
    Count("cucchiaio"sv, "cucchiai"sv),
    Count("fetta"sv, "fette"sv),
    Count("fettina"sv, "fettine"sv),
    Count("filetto"sv, "filetti"sv),
    Count("foglia"sv, "foglie"sv),
    Count("foglio"sv, "fogli"sv),
    Count("goccia"sv, "gocce"sv),
    Count("lattina"sv, "lattine"sv),
    Count("manciata"sv, "manciate"sv),
    Count("mazzetto"sv, "mazzetti"sv),
    Count("mazzo"sv, "mazzi"sv),
    Count("noce"sv, "noci"sv),
    Count("panetto"sv, "panetti"sv),
    Count("pezzo"sv, "pezzi"sv),
    Count("pizzico"sv, "pizzichi"sv),
    Count("pugno"sv, "pugni"sv),
    Count("rametto"sv, "rametti"sv),
    Count("rotolo"sv, "rotoli"sv),
    Count("scatola"sv, "scatole"sv),
    Count("spicchio"sv, "spicchi"sv),
    Count("stecca"sv, "stecche"sv),
    Count("tazza"sv, "tazze"sv),
    Count("tazzina"sv, "tazzine"sv),
    Count("vasetto"sv, "vasetti"sv),
};

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// Symbols ("g", "ml") have one form and keep their own letter case.
bool IsSymbol(const Unit &unit) {
    return unit.singular == unit.plural;
}

}  // namespace

const Unit *FindUnit(std::string_view word) {
    for (const Unit &unit : kUnits) {
        if (EqualsIgnoringAsciiCase(word, unit.singular) ||
            EqualsIgnoringAsciiCase(word, unit.plural)) {
            return &unit;
        }
    }
    return nullptr;
}

std::string UnitWord(const Unit &unit, bool plural, std::string_view written) {
    std::string word(plural ? unit.plural : unit.singular);
    if (IsSymbol(unit)) {
        return EqualsIgnoringAsciiCase(word, written) ? std::string(written) : word;
    }
    const bool initial = !written.empty() && IsUpper(written.front());
    const bool capitals = initial && written.size() > 1 && IsUpper(written.back());
    for (std::size_t i = 0; i < word.size(); ++i) {
        if ((capitals || (initial && i == 0)) && word[i] >= 'a' && word[i] <= 'z') {
            word[i] = static_cast<char>(word[i] - 'a' + 'A');
        }
    }
    return word;
}

}  // namespace sapidoro
