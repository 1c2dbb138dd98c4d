#include "app/SearchScopes.h"

namespace sapidoro {

const QStringList &ScopeNames() {
    static const QStringList names{
        QStringLiteral("Ingredienti"), QStringLiteral("Luogo"),
        QStringLiteral("Nome"),        QStringLiteral("Persone"),
        QStringLiteral("Piatto"),      QStringLiteral("Ricetta Adatta A")};
    return names;
}

Scope ScopeOf(const QString &text) {
    static constexpr Scope kInBoxOrder[] = {Scope::Ingredienti, Scope::Luogo,
                                            Scope::Nome,        Scope::Persone,
                                            Scope::Piatto,      Scope::RicettaAdattaA};
    const qsizetype at = ScopeNames().indexOf(text);  // exact, case-sensitive comparison
    return at < 0 ? Scope::None : kInBoxOrder[at];
}

ScopeValues FixedScopeValues(Scope scope) {
    switch (scope) {
        case Scope::Nome:
            return {QStringLiteral("Bimby"),
                    {QStringLiteral("Bimby"), QStringLiteral("Pentola A Pressione")}};
        case Scope::RicettaAdattaA:
            return {QStringLiteral("Bambini piccoli"), {QStringLiteral("Bambini piccoli")}};
        case Scope::Piatto:
            return {
                QStringLiteral("Primo"),
                {QStringLiteral("Antipasto"), QStringLiteral("Bevande"), QStringLiteral("Carne"),
                 QStringLiteral("Contorno"), QStringLiteral("Dessert"), QStringLiteral("Pesce"),
                 QStringLiteral("Pollame"), QStringLiteral("Primo"), QStringLiteral("Salsa")}};
        case Scope::Persone: {
            // 11, 13, 14 and 16 to 19 are not offered.
            QStringList persons;
            for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 20}) persons << QString::number(n);
            return {QStringLiteral("4"), persons};
        }
        default:
            return {};
    }
}

QString IngredientPrompt(int count) {
    return QStringLiteral("Ricerca per ") + QString::number(count) + QStringLiteral(" ingredienti");
}

QString SearchButtonCaption(qsizetype count) {
    return QStringLiteral("CERCA SU ") + QString::number(count) + QStringLiteral(" RICETTE");
}

QString NormaliseSearchText(const QString &text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (i == 0 && c >= u'a' && c <= u'z') out[i] = QChar(c - u'a' + u'A');
        if (i > 0 && c >= u'A' && c <= u'Z') out[i] = QChar(c - u'A' + u'a');
    }
    return out;
}

}  // namespace sapidoro
