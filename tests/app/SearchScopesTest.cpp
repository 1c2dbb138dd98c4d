#include "app/SearchScopes.h"

#include <gtest/gtest.h>

using namespace sapidoro;

TEST(SearchScopes, OnlyTheSixWholeWordsNameAScope) {
    EXPECT_EQ(ScopeOf(QStringLiteral("Ingredienti")), Scope::Ingredienti);
    EXPECT_EQ(ScopeOf(QStringLiteral("Luogo")), Scope::Luogo);
    EXPECT_EQ(ScopeOf(QStringLiteral("Nome")), Scope::Nome);
    EXPECT_EQ(ScopeOf(QStringLiteral("Persone")), Scope::Persone);
    EXPECT_EQ(ScopeOf(QStringLiteral("Piatto")), Scope::Piatto);
    EXPECT_EQ(ScopeOf(QStringLiteral("Ricetta Adatta A")), Scope::RicettaAdattaA);
    for (const char *other : {"", "Luog", "luogo", "LUOGO", "Luogo ", " Nome", "Ricetta adatta a"})
        EXPECT_EQ(ScopeOf(QString::fromLatin1(other)), Scope::None) << other;
}

TEST(SearchScopes, FixedValuesOfEachScope) {
    EXPECT_EQ(FixedScopeValues(Scope::Nome).text, QStringLiteral("Bimby"));
    EXPECT_EQ(FixedScopeValues(Scope::Nome).items,
              (QStringList{QStringLiteral("Bimby"), QStringLiteral("Pentola A Pressione")}));
    EXPECT_EQ(FixedScopeValues(Scope::RicettaAdattaA).items,
              QStringList{QStringLiteral("Bambini piccoli")});
    EXPECT_EQ(FixedScopeValues(Scope::Piatto).text, QStringLiteral("Primo"));
    EXPECT_EQ(FixedScopeValues(Scope::Piatto).items.join(u','),
              QStringLiteral("Antipasto,Bevande,Carne,Contorno,Dessert,Pesce,Pollame,Primo,Salsa"));
    EXPECT_EQ(FixedScopeValues(Scope::Persone).text, QStringLiteral("4"));
    EXPECT_EQ(FixedScopeValues(Scope::Persone).items.join(u','),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10,12,15,20"));
    // Ingredients and places come from the data files.
    EXPECT_TRUE(FixedScopeValues(Scope::Ingredienti).items.isEmpty());
    EXPECT_TRUE(FixedScopeValues(Scope::Luogo).items.isEmpty());
    EXPECT_TRUE(FixedScopeValues(Scope::None).items.isEmpty());
}

TEST(SearchScopes, PromptAndCaption) {
    EXPECT_EQ(IngredientPrompt(0), QStringLiteral("Ricerca per 0 ingredienti"));
    EXPECT_EQ(IngredientPrompt(1234), QStringLiteral("Ricerca per 1234 ingredienti"));
    EXPECT_EQ(SearchButtonCaption(100000), QStringLiteral("CERCA SU 100000 RICETTE"));
}

TEST(SearchScopes, NormalisationFoldsOnlyAsciiLetters) {
    const auto normal = [](const char16_t *text) {
        return NormaliseSearchText(QString::fromUtf16(text));
    };
    EXPECT_EQ(normal(u"PENTOLA A PRESSIONE"), QStringLiteral("Pentola a pressione"));
    EXPECT_EQ(normal(u"past"), QStringLiteral("Past"));
    EXPECT_EQ(normal(u""), QString());
    EXPECT_EQ(normal(u"x"), QStringLiteral("X"));
    // Accented letters keep their case wherever they stand.
    EXPECT_EQ(normal(u"ÈRBA CIPOLLINA"), QString::fromUtf16(u"Èrba cipollina"));
    EXPECT_EQ(normal(u"àRBA ÀÈ"), QString::fromUtf16(u"àrba ÀÈ"));
    EXPECT_EQ(normal(u"4 PERSONE, 10 G"), QStringLiteral("4 persone, 10 g"));
    EXPECT_EQ(normal(u"[Z]"), QStringLiteral("[z]"));
}
