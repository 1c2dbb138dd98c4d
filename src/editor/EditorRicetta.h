#pragma once

#include "writer/RecipeFields.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace sapidoro {

class IngredientTable;

// The recipe editor: every field of one recipe, its ingredient lines as a table of quantity
// and ingredient, and its picture. "Salva" hands the fields to the save handler; a refusal
// is shown and the dialog stays open with the user's text. Leaving it otherwise (Escape,
// "Annulla", the window's close button) asks first whenever anything was changed.
class EditorRicetta : public QDialog {
    Q_OBJECT

public:
    // Saves the fields and the chosen picture file (empty: none chosen); throws to refuse.
    using SaveHandler = std::function<void(const RecipeFields &, const QString &picture)>;

    EditorRicetta(const RecipeFields &recipe, const QStringList &dishes,
                  const QStringList &ingredientNames, SaveHandler save, QWidget *parent = nullptr);

    // The fields as the user left them; throws ESaveRefused for a character that
    // Windows-1252 has no byte for.
    RecipeFields fields() const;
    const QString &pictureFile() const { return m_picture; }
    // Takes `file` as the recipe's picture when the picture control can decode it; else says
    // why and keeps the previous choice.
    bool choosePicture(const QString &file);

    // Whether any field differs from what the editor opened with.
    bool changed() const;

    void accept() override;
    void reject() override;

private:
    void buildLayout(const QStringList &dishes, const QStringList &ingredientNames);
    void addIngredientRow(const QString &quantity, const QString &ingredient,
                          const QString &original);
    void showPicturePicker();
    std::vector<std::string> ingredientLines() const;
    std::vector<std::string> preparationLines() const;
    // The texts of every field as on show, empty ingredient rows left out.
    QStringList formState() const;

    RecipeFields m_original;
    SaveHandler m_save;
    QString m_picture;
    QStringList m_openedState;
    QLineEdit *m_name = nullptr;
    QComboBox *m_dish = nullptr;
    QLineEdit *m_mainIngredient = nullptr;
    QSpinBox *m_persons = nullptr;
    QLineEdit *m_notes = nullptr;
    IngredientTable *m_ingredients = nullptr;
    QPlainTextEdit *m_preparation = nullptr;
    QLabel *m_pictureView = nullptr;
};

}  // namespace sapidoro
