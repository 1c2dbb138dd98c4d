#pragma once

#include "shopping/ShoppingMerge.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTableWidget;

namespace sapidoro {

// What the shopping list window asks of the main window.
struct ShoppingListActions {
    std::function<std::vector<ShoppingRecipe>()> recipes;  // the list as the collection has it
    std::function<void(const std::string &name)> remove;
    std::function<void(const std::string &name, int persons)> setPersons;
    std::function<void(const QStringList &lines)> print;
    std::function<void(const QStringList &lines)> preview;
    std::function<void(const QStringList &lines)> exportPdf;
};

// The window of the shopping list: its recipes with their persons, the merged ingredients,
// and the list's outputs.
class ShoppingListWindow : public QDialog {
    Q_OBJECT

public:
    ShoppingListWindow(ShoppingListActions actions, QWidget *parent);

    // Reads the list and the collection afresh.
    void Refresh();
    // The list as text lines, as it is copied and printed.
    QStringList Lines() const { return m_lines; }

private:
    void ShowIngredients(const std::vector<ShoppingRecipe> &recipes);
    void RemoveClick();
    void CopyClick();

    ShoppingListActions m_actions;
    std::vector<ShoppingRecipe> m_recipes;
    QStringList m_lines;
    QTableWidget *m_recipeTable = nullptr;
    QPlainTextEdit *m_ingredients = nullptr;
};

}  // namespace sapidoro
