#include "editor/EditorRicetta.h"

#include "common/QtText.h"
#include "editor/IngredientTable.h"
#include "editor/PictureFiles.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace sapidoro {

namespace {

constexpr int kQuantityColumn = 0;
constexpr int kIngredientColumn = 1;
constexpr int kMaxPersons = 9999;
const QString kSeparator = QStringLiteral(" ==== ");

// The ingredient cell offers the calorie table's names as the user types.
class IngredientDelegate : public QStyledItemDelegate {
public:
    IngredientDelegate(const QStringList &names, QObject *parent)
        : QStyledItemDelegate(parent), m_names(names) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override {
        auto *editor = new QLineEdit(parent);
        if (index.column() == kIngredientColumn) {
            auto *completer = new QCompleter(m_names, editor);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            completer->setFilterMode(Qt::MatchContains);
            editor->setCompleter(completer);
        }
        return editor;
    }

private:
    QStringList m_names;
};

template <class Widget>
Widget *Named(Widget *widget, const char *name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString CellText(const QTableWidget *table, int row, int column) {
    const QTableWidgetItem *item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

std::string Text(const QString &text, std::string_view field, int line = 0) {
    return CollectionText(text.toUtf8().toStdString(), field, line);
}

}  // namespace

EditorRicetta::EditorRicetta(const RecipeFields &recipe, const QStringList &dishes,
                             const QStringList &ingredientNames, SaveHandler save, QWidget *parent)
    : QDialog(parent), m_original(recipe), m_save(std::move(save)) {
    setObjectName(QStringLiteral("EditorRicetta"));
    buildLayout(dishes, ingredientNames);
    m_name->setText(FromCp1252(recipe.name));
    m_dish->setCurrentText(FromCp1252(recipe.dish));
    m_mainIngredient->setText(FromCp1252(recipe.mainIngredient));
    m_persons->setValue(recipe.persons);
    m_notes->setText(FromCp1252(recipe.notes));
    for (const std::string &line : recipe.ingredients) {
        // Split at the first separator, without the reader's cut at 255 characters.
        const QString text = FromCp1252(line);
        const qsizetype at = text.indexOf(kSeparator);
        if (at < 0)
            addIngredientRow(text, QString(), text);
        else
            addIngredientRow(text.left(at), text.mid(at + kSeparator.size()), text);
    }
    QString preparation;
    for (const std::string &line : recipe.preparation) {
        if (&line != &recipe.preparation.front()) preparation += QLatin1Char('\n');
        preparation += FromCp1252(line);
    }
    m_preparation->setPlainText(preparation);
    m_openedState = formState();
}

void EditorRicetta::buildLayout(const QStringList &dishes, const QStringList &ingredientNames) {
    auto *form = new QFormLayout;
    m_name = Named(new QLineEdit, "CampoNome");
    m_dish = Named(new QComboBox, "CampoPiatto");
    m_dish->setEditable(true);
    m_dish->addItems(dishes);
    m_mainIngredient = Named(new QLineEdit, "CampoIngredientePrincipale");
    m_persons = Named(new QSpinBox, "CampoPersone");
    m_persons->setRange(1, kMaxPersons);
    m_notes = Named(new QLineEdit, "CampoNote");
    form->addRow(QStringLiteral("Nome"), m_name);
    form->addRow(QStringLiteral("Piatto"), m_dish);
    form->addRow(QStringLiteral("Ingrediente principale"), m_mainIngredient);
    form->addRow(QStringLiteral("Persone"), m_persons);
    form->addRow(QStringLiteral("Note"), m_notes);

    m_ingredients = Named(new IngredientTable, "TabellaIngredienti");
    m_ingredients->setHorizontalHeaderLabels(
        {QStringLiteral("Quantità"), QStringLiteral("Ingrediente")});
    m_ingredients->horizontalHeader()->setStretchLastSection(true);
    m_ingredients->setItemDelegate(new IngredientDelegate(ingredientNames, m_ingredients));
    auto *addRow = Named(new QPushButton(QStringLiteral("Aggiungi riga")), "AggiungiRiga");
    auto *removeRow = Named(new QPushButton(QStringLiteral("Togli riga")), "TogliRiga");
    connect(addRow, &QPushButton::clicked, this, [this] {
        addIngredientRow(QString(), QString(), QString());
        m_ingredients->editRow(m_ingredients->rowCount() - 1);
    });
    connect(removeRow, &QPushButton::clicked, this, [this] {
        if (m_ingredients->currentRow() >= 0) m_ingredients->removeRow(m_ingredients->currentRow());
    });
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(addRow);
    rowButtons->addWidget(removeRow);
    rowButtons->addStretch();
    form->addRow(QStringLiteral("Ingredienti"), m_ingredients);
    form->addRow(QString(), rowButtons);

    m_preparation = Named(new QPlainTextEdit, "CampoPreparazione");
    form->addRow(QStringLiteral("Preparazione"), m_preparation);

    m_pictureView = Named(new QLabel(QStringLiteral("Nessuna nuova immagine")), "Immagine");
    auto *choose = Named(new QPushButton(QStringLiteral("Scegli immagine…")), "ScegliImmagine");
    connect(choose, &QPushButton::clicked, this, &EditorRicetta::showPicturePicker);
    auto *pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_pictureView, 1);
    pictureRow->addWidget(choose);
    form->addRow(QStringLiteral("Immagine"), pictureRow);

    auto *buttons =
        Named(new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel), "Pulsanti");
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Salva"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &EditorRicetta::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EditorRicetta::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(640, 640);
}

void EditorRicetta::addIngredientRow(const QString &quantity, const QString &ingredient,
                                     const QString &original) {
    const int row = m_ingredients->appendRow(quantity, ingredient);
    QTableWidgetItem *quantityItem = m_ingredients->item(row, kQuantityColumn);
    // The line as read, kept where the user leaves both cells as they were.
    quantityItem->setData(Qt::UserRole, original);
    quantityItem->setData(Qt::UserRole + 1, !original.isNull());
}

std::vector<std::string> EditorRicetta::ingredientLines() const {
    std::vector<std::string> lines;
    for (int row = 0; row < m_ingredients->rowCount(); ++row) {
        const QString quantity = CellText(m_ingredients, row, kQuantityColumn);
        const QString ingredient = CellText(m_ingredients, row, kIngredientColumn);
        const QTableWidgetItem *item = m_ingredients->item(row, kQuantityColumn);
        const bool read = item != nullptr && item->data(Qt::UserRole + 1).toBool();
        const QString original = read ? item->data(Qt::UserRole).toString() : QString();
        const qsizetype at = original.indexOf(kSeparator);
        const bool unchanged =
            read && (at < 0 ? quantity == original && ingredient.isEmpty()
                            : quantity == original.left(at) &&
                                  ingredient == original.mid(at + kSeparator.size()));
        QString line;
        if (unchanged)
            line = original;
        else if (quantity.isEmpty() && ingredient.isEmpty())
            continue;  // a row added and left empty
        else
            line = quantity + kSeparator + ingredient;
        lines.push_back(Text(line, kFieldIngredients, static_cast<int>(lines.size() + 1)));
    }
    return lines;
}

std::vector<std::string> EditorRicetta::preparationLines() const {
    std::vector<std::string> lines;
    const QTextDocument *document = m_preparation->document();
    if (document->isEmpty()) {
        // A text left empty keeps the empty lines it was read with.
        return m_original.preparation.size() == 1 && m_original.preparation[0].empty()
                   ? m_original.preparation
                   : lines;
    }
    // Blocks rather than toPlainText(), which turns non-breaking spaces into spaces.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.push_back(Text(block.text(), kFieldPreparation, static_cast<int>(lines.size() + 1)));
    return lines;
}

RecipeFields EditorRicetta::fields() const {
    RecipeFields recipe;
    recipe.name = Text(m_name->text(), kFieldName);
    recipe.dish = Text(m_dish->currentText(), kFieldDish);
    recipe.mainIngredient = Text(m_mainIngredient->text(), kFieldMainIngredient);
    recipe.persons = m_persons->value();
    recipe.notes = Text(m_notes->text(), kFieldNotes);
    recipe.ingredients = ingredientLines();
    recipe.preparation = preparationLines();
    return recipe;
}

bool EditorRicetta::choosePicture(const QString &file) {
    try {
        CheckPicture(file);
    } catch (const std::exception &error) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
        return false;
    }
    m_picture = file;
    m_pictureView->setText(QFileInfo(file).fileName());
    m_pictureView->setToolTip(file);
    return true;
}

void EditorRicetta::showPicturePicker() {
    QFileDialog picker(this, QStringLiteral("Scegli immagine"));
    picker.setObjectName(QStringLiteral("SceltaImmagine"));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::ExistingFile);
    picker.setNameFilter(QStringLiteral("Immagini JPEG (*.jpg *.jpeg *.JPG *.JPEG)"));
    if (picker.exec() == QDialog::Accepted && !picker.selectedFiles().isEmpty())
        choosePicture(picker.selectedFiles().constFirst());
}

QStringList EditorRicetta::formState() const {
    QStringList state{m_name->text(), m_dish->currentText(), m_mainIngredient->text(),
                      QString::number(m_persons->value()), m_notes->text()};
    for (int row = 0; row < m_ingredients->rowCount(); ++row) {
        if (m_ingredients->rowEmpty(row)) continue;
        state << CellText(m_ingredients, row, kQuantityColumn)
              << CellText(m_ingredients, row, kIngredientColumn);
    }
    state << m_preparation->toPlainText() << m_picture;
    return state;
}

bool EditorRicetta::changed() const {
    return formState() != m_openedState;
}

void EditorRicetta::reject() {
    // A cell still being edited counts with what it holds now.
    const QModelIndex cell = m_ingredients->currentIndex();
    if (QWidget *editor = m_ingredients->indexWidget(cell))
        m_ingredients->itemDelegate()->setModelData(editor, m_ingredients->model(), cell);
    if (!changed()) return QDialog::reject();
    QMessageBox ask(QMessageBox::Question, windowTitle(), QStringLiteral("Salvare le modifiche?"),
                    QMessageBox::NoButton, this);
    ask.setObjectName(QStringLiteral("SalvareModifiche"));
    QPushButton *save = ask.addButton(QStringLiteral("Salva"), QMessageBox::AcceptRole);
    QPushButton *discard =
        ask.addButton(QStringLiteral("Non salvare"), QMessageBox::DestructiveRole);
    QPushButton *stay = ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    ask.setDefaultButton(save);
    ask.setEscapeButton(stay);
    ask.exec();
    if (ask.clickedButton() == save)
        accept();
    else if (ask.clickedButton() == discard)
        QDialog::reject();
}

void EditorRicetta::accept() {
    // A refusal leaves the dialog open with the user's text.
    try {
        m_save(fields(), m_picture);
    } catch (const std::exception &error) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(error.what()));
        return;
    }
    QDialog::accept();
}

}  // namespace sapidoro
