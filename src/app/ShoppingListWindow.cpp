#include "app/ShoppingListWindow.h"

#include "app/ErrorReport.h"
#include "common/QtText.h"
#include "output/RecipeOutput.h"
#include "shopping/ShoppingList.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sapidoro {

namespace {

QPushButton *AddButton(QBoxLayout *row, const char *name, const QString &caption) {
    auto *button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
}

QStringList ToQt(const std::vector<std::string> &lines) {
    QStringList list;
    list.reserve(qsizetype(lines.size()));
    for (const std::string &line : lines) list.append(FromCp1252(line));
    return list;
}

}  // namespace

ShoppingListWindow::ShoppingListWindow(ShoppingListActions actions, QWidget *parent)
    : QDialog(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("ListaSpesa"));
    setWindowTitle(QStringLiteral("Lista della spesa"));
    resize(560, 520);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Ricette")));
    m_recipeTable = new QTableWidget(0, 2);
    m_recipeTable->setObjectName(QStringLiteral("RicetteInLista"));
    m_recipeTable->setHorizontalHeaderLabels(
        {QStringLiteral("Ricetta"), QStringLiteral("Persone")});
    m_recipeTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_recipeTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_recipeTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_recipeTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_recipeTable, 1);

    layout->addWidget(new QLabel(QStringLiteral("Ingredienti")));
    m_ingredients = new QPlainTextEdit;
    m_ingredients->setObjectName(QStringLiteral("IngredientiInLista"));
    m_ingredients->setReadOnly(true);
    m_ingredients->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_ingredients, 2);

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    const auto bind = [this](QPushButton *button, auto handler) {
        ExceptionSafeConnect(button, &QPushButton::clicked, this, [handler](bool) { handler(); });
    };
    bind(AddButton(buttons, "RimuoviRicetta", QStringLiteral("Rimuovi")),
         [this] { RemoveClick(); });
    bind(AddButton(buttons, "CopiaLista", QStringLiteral("Copia")), [this] { CopyClick(); });
    bind(AddButton(buttons, "StampaLista", QStringLiteral("Stampa")),
         [this] { m_actions.print(m_lines); });
    bind(AddButton(buttons, "AnteprimaLista", QStringLiteral("Anteprima")),
         [this] { m_actions.preview(m_lines); });
    bind(AddButton(buttons, "EsportaPDFLista", QStringLiteral("Esporta PDF")),
         [this] { m_actions.exportPdf(m_lines); });
    bind(AddButton(buttons, "ChiudiLista", QStringLiteral("Chiudi")), [this] { close(); });
}

void ShoppingListWindow::Refresh() {
    m_recipes = m_actions.recipes();
    m_recipeTable->setRowCount(int(m_recipes.size()));
    for (int row = 0; row < int(m_recipes.size()); ++row) {
        const ShoppingRecipe &recipe = m_recipes[std::size_t(row)];
        QString name = FromCp1252(recipe.name);
        if (recipe.missing) name += QStringLiteral(" (non presente nella raccolta)");
        m_recipeTable->setItem(row, 0, new QTableWidgetItem(name));
        auto *persons = new QSpinBox;
        persons->setObjectName(QStringLiteral("PersoneInLista"));
        persons->setRange(kMinListPersons, kMaxListPersons);
        persons->setValue(recipe.persons);
        ExceptionSafeConnect(persons, &QSpinBox::valueChanged, this,
                             [this, name = recipe.name](int value) {
                                 m_actions.setPersons(name, value);
                                 ShowIngredients(m_actions.recipes());
                             });
        m_recipeTable->setCellWidget(row, 1, persons);
    }
    ShowIngredients(m_recipes);
}

void ShoppingListWindow::ShowIngredients(const std::vector<ShoppingRecipe> &recipes) {
    m_recipes = recipes;
    const std::vector<ShoppingItem> items = MergeIngredients(recipes);
    m_lines = ToQt(ShoppingListLines(recipes, items));
    // The lines after the title, the recipes and the ingredients' heading.
    const QStringList shown = m_lines.mid(qsizetype(recipes.size()) + 3);
    m_ingredients->setPlainText(shown.join(QLatin1Char('\n')));
}

void ShoppingListWindow::RemoveClick() {
    const int row = m_recipeTable->currentRow();
    if (row < 0 || row >= int(m_recipes.size())) return;
    m_actions.remove(m_recipes[std::size_t(row)].name);
    Refresh();
}

void ShoppingListWindow::CopyClick() {
    QGuiApplication::clipboard()->setText(ClipboardText(m_lines));
}

}  // namespace sapidoro
