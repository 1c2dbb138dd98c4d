#include "exchange/MealMasterUnits.h"

#include <array>
#include <cstdint>

namespace sapidoro {

namespace {

struct Unit {
    std::string_view code;
    std::string_view singular;  // empty: the code is kept
    std::string_view plural;
};

// Codes a writer of the format may use; the first code of a spelling is the one exported.
constexpr std::array<Unit, 39> kUnits = {{
    {"ts", "Cucchiaino", "Cucchiaini"},
    {"t", "Cucchiaino", "Cucchiaini"},
    {"tb", "Cucchiaio", "Cucchiai"},
    {"T", "Cucchiaio", "Cucchiai"},
    {"c", "Tazza", "Tazze"},
    {"pn", "Pizzico", "Pizzichi"},
    {"dr", "Goccia", "Gocce"},
    {"ds", "Spruzzo", "Spruzzi"},
    {"sl", "Fetta", "Fette"},
    {"bn", "Mazzetto", "Mazzetti"},
    {"cn", "Scatola", "Scatole"},
    {"pk", "Confezione", "Confezioni"},
    {"ct", "Cartone", "Cartoni"},
    {"g", "g", "g"},
    {"kg", "kg", "kg"},
    {"mg", "mg", "mg"},
    {"cg", "cg", "cg"},
    {"dg", "dg", "dg"},
    {"ml", "ml", "ml"},
    {"cl", "cl", "cl"},
    {"dl", "dl", "dl"},
    {"l", "l", "l"},
    {"lt", "l", "l"},
    {"cb", "cc", "cc"},
    {"x", "", ""},
    {"ea", "", ""},
    {"sm", "", ""},
    {"md", "", ""},
    {"lg", "", ""},
    {"fl", "", ""},
    {"oz", "", ""},
    {"lb", "", ""},
    {"pt", "", ""},
    {"qt", "", ""},
    {"ga", "", ""},
    {"tbsp", "Cucchiaio", "Cucchiai"},
    {"tsp", "Cucchiaino", "Cucchiaini"},
    {"gr", "g", "g"},
    {"cup", "Tazza", "Tazze"},
}};

// The units of one or two bytes by those bytes, for the lookup every ingredient line makes.
struct ShortCodes {
    std::array<std::uint8_t, 1 << 16> index{};  // position in kUnits + 1; 0 for none
    static unsigned Key(std::string_view code) {
        return static_cast<unsigned char>(code[0]) << 8 |
               (code.size() > 1 ? static_cast<unsigned char>(code[1]) : 0u);
    }
    ShortCodes() {
        for (std::size_t i = kUnits.size(); i-- > 0;)
            if (kUnits[i].code.size() <= 2)
                index[Key(kUnits[i].code)] = static_cast<std::uint8_t>(i + 1);
    }
};

const Unit *Find(std::string_view code) {
    if (code.empty()) return nullptr;
    if (code.size() <= 2 && code.back() != '\0') {
        static const ShortCodes shortCodes;
        const std::uint8_t at = shortCodes.index[ShortCodes::Key(code)];
        return at == 0 ? nullptr : &kUnits[at - 1u];
    }
    for (const Unit &unit : kUnits)
        if (unit.code == code) return &unit;
    return nullptr;
}

// One or less: "1", "1/2", "0.5", "3/4", or no amount at all ("a pinch"); a range or
// anything above one is plural.
bool IsOneOrLess(std::string_view amount) {
    if (amount.empty() || amount == "1") return true;
    if (amount.size() >= 3 && amount[0] >= '1' && amount[0] <= '9' && amount[1] == '/') {
        const std::string_view below = amount.substr(2);
        return below.find_first_not_of("0123456789") == std::string_view::npos &&
               std::stoi(std::string(below.substr(0, 6))) > amount[0] - '0';
    }
    return amount.substr(0, 2) == "0." || amount.substr(0, 2) == "0,";
}

}  // namespace

bool IsMealMasterUnit(std::string_view code) {
    return code.size() <= 2 && !code.empty() && Find(code) != nullptr;
}

std::string_view ItalianUnit(std::string_view code, std::string_view amount) {
    const Unit *unit = Find(code);
    if (unit == nullptr || unit->singular.empty()) return code;
    return IsOneOrLess(amount) ? unit->singular : unit->plural;
}

std::string_view MealMasterCodeFor(std::string_view word) {
    for (const Unit &unit : kUnits)
        if (unit.code.size() <= 2 && !word.empty() &&
            (unit.singular == word || unit.plural == word ||
             (unit.singular.empty() && unit.code == word)))
            return unit.code;
    return {};
}

}  // namespace sapidoro
