#include "app/WindowTexts.h"

namespace sapidoro {

QString IngredientPrompt(int count) {
    return QStringLiteral("Ricerca per ") + QString::number(count) + QStringLiteral(" ingredienti");
}

QString SearchButtonCaption(qsizetype count) {
    return QStringLiteral("CERCA SU ") + QString::number(count) + QStringLiteral(" RICETTE");
}

QStringList ScopeBoxItems() {
    QStringList items;
    for (const std::string_view name : kScopeNames)
        items << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return items;
}

ScopeValues FixedScopeValues(SearchScope scope) {
    switch (scope) {
        case SearchScope::Nome:
            return {QStringLiteral("Bimby"),
                    {QStringLiteral("Bimby"), QStringLiteral("Pentola A Pressione")}};
        case SearchScope::RicettaAdattaA:
            return {QStringLiteral("Bambini piccoli"), {QStringLiteral("Bambini piccoli")}};
        case SearchScope::Piatto:
            return {
                QStringLiteral("Primo"),
                {QStringLiteral("Antipasto"), QStringLiteral("Bevande"), QStringLiteral("Carne"),
                 QStringLiteral("Contorno"), QStringLiteral("Dessert"), QStringLiteral("Pesce"),
                 QStringLiteral("Pollame"), QStringLiteral("Primo"), QStringLiteral("Salsa")}};
        case SearchScope::Persone: {
            // 11, 13, 14 and 16 to 19 are not offered.
            QStringList persons;
            for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 20}) persons << QString::number(n);
            return {QStringLiteral("4"), persons};
        }
        case SearchScope::Ingredienti:
        case SearchScope::Luogo:
            break;
    }
    return {};
}

}  // namespace sapidoro
