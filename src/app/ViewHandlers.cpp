#include "app/ErrorReport.h"
#include "app/TextBoxLines.h"
#include "app/Unit1.h"
#include "common/QtText.h"
#include "data/IntConvert.h"
#include "data/RecipeFile.h"
#include "picture/JpgImg.h"
#include "search/RecordJump.h"
#include "view/Calories.h"
#include "view/PicturePath.h"
#include "view/RecipeLoad.h"
#include "view/RecipeText.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/LongText.h"
#include "widgets/ScrollBars.h"
#include "widgets/Spinner.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>

namespace sapidoro {

namespace {

// The name as far as `RicettaCompleta` shows it: the box shows its line cut and keeps no
// whole lines, so a long name of one paragraph need not be copied whole into its text.
std::string_view ShownName(std::string_view name) {
    const auto shown = static_cast<std::size_t>(kLongTextLimit + kLongestRecipeLabel) + 1;
    if (name.size() <= shown || name.find('\n') != std::string_view::npos ||
        name.find('\r') != std::string_view::npos)
        return name;
    return name.substr(0, shown);
}

}  // namespace

void TForm1::RicetteTrovateChange() {
    Nome->setDataText(ListedName(RicetteTrovate->currentIndex()));
    EventGuard::EmitNested([this] { CaricaLaRicetta->click(); });
    CurrentRecipeName = Nome->dataText();

    // The entry picked, read afresh: the load may have changed the list.
    const std::string picture =
        PictureFileFor(DataFolder, ListedName(RicetteTrovate->currentIndex()));
    JPEGImage1->setFileName(QFile::decodeName(QByteArray::fromStdString(picture)));

    // The scroll bars are switched while the box is empty, so that its text is laid out
    // once, for the width it ends with, rather than once per switch.
    const std::vector<std::string> recipeText = RecipeTextOnShow(ShownName(CurrentRecipeName));
    RicettaCompleta->clear();
    SetScrollBars(RicettaCompleta, ScrollStyle::None);
    SetScrollBars(RicettaCompleta, ScrollStyle::Vertical);
    // A field's label does not count towards the length at which its line is shown cut; the
    // outputs compose the recipe afresh, so the box keeps no whole lines.
    SetBoxLines(RicettaCompleta, recipeText, kLongestRecipeLabel, false);

    StringaDaCercare->setFocus();
}

void TForm1::CaricaLaRicettaClick() {
    // The field is empty exactly when its whole text is.
    if (!Nome->currentText().isEmpty()) PersoneChange();
}

void TForm1::PersoneChange() {
    // While a load sets the spinner to the record's persons value, the record is already
    // read and its calories summed: the new value only needs the calories shown anew.
    if (m_settingRecordPersons || Nome->hasDataText(CurrentRecipeName))
        ShowCalories();
    else
        LoadRecipe();
    ShowIngredientsForPersons();
    SetScrollBars(ListaIngredientiNonTrovati, ScrollStyle::None);
    SetScrollBars(ListaIngredientiNonTrovati, ScrollStyle::Both);
    StringaDaCercare->setFocus();
}

void TForm1::LoadRecipe() {
    ListaIngredientiNonTrovati->clear();
    CalorieSum = 0;
    // Shared with the field: a long name is not copied for the load.
    const SharedText name = Nome->dataText();
    // The boxes a record replaces are emptied first: a scroll bar switched on a box that
    // still holds text lays the text out again.
    if (!name.empty()) {
        Ingredienti->clear();
        Preparazione->clear();
    }
    SetScrollBars(Preparazione, ScrollStyle::None);
    const auto fitScrollBars = [this] {
        SetScrollBars(Ingredienti, ScrollStyle::None);
        SetScrollBars(Ingredienti, ScrollStyle::Both);
        SetScrollBars(Preparazione, ScrollStyle::None);
        SetScrollBars(Preparazione, ScrollStyle::Both);
        SetScrollBars(Preparazione, ScrollStyle::Vertical);
    };

    // The lines read from the record; a box cannot tell one empty line from none.
    std::vector<std::string> ingredientLines;
    if (name.empty()) {
        ingredientLines = BoxLines(Ingredienti);
        fitScrollBars();
    } else {
        const std::string recipeFile = DataFolder + "ricette.txt";
        std::optional<RecipeRecord> record =
            m_catalog ? FindListedRecipe(recipeFile, *m_catalog, name, false)
                      : FindRecipe(recipeFile, name);
        if (!record) {
            // The file changed since start-up: no field may go on showing another recipe.
            Piatto->clear();
            Ingrediente_Principale->clear();
            Note->clear();
            Calorie->clear();
            throw ERecipeNotFound(name);
        }
        SetFieldText(Piatto, record->dish);
        SetFieldText(Ingrediente_Principale, record->mainIngredient);
        RecordPersons = StrToInt(record->persons);
        SetFieldText(Note, record->notes);
        // Nothing fails from here on: the boxes get their scroll bars while still empty.
        fitScrollBars();
        SetBoxLines(Ingredienti, record->ingredients);
        SetBoxLines(Preparazione, record->preparation);
        ingredientLines = std::move(record->ingredients);
        m_storedIngredients = ingredientLines;
        m_storedRecipeName = name;
        m_ingredientsScaled = false;
    }

    ComputeRecipeCalories(ingredientLines);
    ShowCalories();

    m_settingRecordPersons = true;
    const auto done = qScopeGuard([this] { m_settingRecordPersons = false; });
    EventGuard::EmitNested([this] { Persone->setValue(RecordPersons); });
}

void TForm1::ComputeRecipeCalories(const std::vector<std::string> &ingredientLines) {
    CalorieTotals totals{CalorieSum, MissingIngredientCount};
    // An error in the table leaves the totals as far as the lines before it got.
    const auto keep = qScopeGuard([&] {
        CalorieSum = totals.calorieSum;
        MissingIngredientCount = totals.missingIngredientCount;
    });
    ComputeCalories(DataFolder + "ing.txt", ingredientLines, totals,
                    [this](const std::string &notFoundLine) {
                        ListaIngredientiNonTrovati->appendPlainText(ShownText(notFoundLine));
                    });
}

void TForm1::ShowCalories() {
    // Doses that follow the persons scale the calories with them: per person they stay those
    // of the recipe's own persons.
    const int persons = DosesAdapted() ? RecordPersons : Persone->value();
    const CalorieTexts texts =
        sapidoro::ShowCalories(CalorieTotals{CalorieSum, MissingIngredientCount}, persons);
    Calorie->setText(FromCp1252(texts.calories));
    Calorie->setToolTip(FromCp1252(texts.hint));
    RzLabel2->setText(FromCp1252(texts.label));
}

void TForm1::NomeKeyUp(int, Qt::KeyboardModifiers) {
    Nome->setDataText(CurrentRecipeName);
}

}  // namespace sapidoro

std::vector<std::string> TForm1::RecipeTextOnShow() const {
    return RecipeTextOnShow(Nome->dataText());
}

std::vector<std::string> TForm1::RecipeTextOnShow(std::string_view name) const {
    RecipeTextFields fields;
    fields.name = name;
    fields.dish = FieldText(Piatto);
    fields.mainIngredient = FieldText(Ingrediente_Principale);
    fields.persons = Persone->value();
    fields.calories = FieldText(Calorie);
    fields.notes = FieldText(Note);
    fields.ingredients = BoxLines(Ingredienti);
    fields.preparation = BoxLines(Preparazione);
    return WithRecipePersons(ComposeRecipeText(fields));
}
