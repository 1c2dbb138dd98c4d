#include "app/WindowTexts.h"

#include <gtest/gtest.h>

using namespace sapidoro;

TEST(WindowTexts, PromptAndCaption) {
    EXPECT_EQ(IngredientPrompt(0), QStringLiteral("Ricerca per 0 ingredienti"));
    EXPECT_EQ(IngredientPrompt(1234), QStringLiteral("Ricerca per 1234 ingredienti"));
    EXPECT_EQ(SearchButtonCaption(2000), QStringLiteral("CERCA SU 2000 RICETTE"));
    EXPECT_EQ(SearchButtonCaption(100000), QStringLiteral("CERCA SU 100000 RICETTE"));
}

TEST(WindowTexts, TheScopeBoxListsTheScopesThatTheSearchKnows) {
    const QStringList items = ScopeBoxItems();
    EXPECT_EQ(items.join(u','),
              QStringLiteral("Ingredienti,Luogo,Nome,Persone,Piatto,Ricetta Adatta A"));
    // Every entry parses to its own scope, so picking any of them starts that scope.
    for (qsizetype i = 0; i < items.size(); ++i) {
        const std::optional<SearchScope> scope = ParseScope(items[i].toStdString());
        ASSERT_TRUE(scope) << items[i].toStdString();
        EXPECT_EQ(static_cast<qsizetype>(*scope), i);
    }
}
