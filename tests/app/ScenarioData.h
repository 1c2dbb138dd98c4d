#pragma once

#include "FormFixture.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QComboBox;

namespace sapidoro::test {

// One record of ricette.txt, field by field (Windows-1252 bytes).
struct RecipeData {
    std::string name;
    std::string dish = "Primo";
    std::string mainIngredient = "Pasta";
    std::string persons = "4";
    std::string notes = "Roma";
    std::vector<std::string> ingredients;
    std::vector<std::string> preparation = {"Cuocere."};
};

std::string RecordBytes(const RecipeData &recipe);
// The leading separator line, then the records.
std::string RecipeFileOf(const std::vector<RecipeData> &recipes);

// Copies a picture of the sample collection into a data folder's picture folder.
void CopySamplePicture(const TempDir &dir, const std::string &sampleName,
                       const std::string &targetName);

// What a message box showed when it was answered.
struct MessageBoxSeen {
    bool shown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;
};

// How a test answers a message box.
enum class BoxAnswer {
    OkButton,     // a click on "OK"
    EnterKey,     // Enter, which presses the default button
    EscapeKey,    // Escape, which presses the cancel button
    CloseButton,  // the close button of the box's window frame
    Rejected,     // dismissed without any button
};

// Answers the next modal message box once it is open, and records what the box showed.
void AnswerNextMessageBox(MessageBoxSeen &seen, BoxAnswer answer);

// A main window on a literal data folder, driven through its controls.
class ScenarioTest : public FormTest {
protected:
    void TearDown() override;

    // Writes the data folder: the recipes, the table, two places and the sample "noimage.jpg".
    void WriteCollection(const std::vector<RecipeData> &recipes, const std::string &table);
    // Writes the data folder, then creates and shows the window on it.
    void Open(const std::vector<RecipeData> &recipes, const std::string &table);

    // Chooses a scope in the scope box, as typing or picking its text does.
    void ChooseScope(const QString &scope);
    // Types the search string and clicks the search button; the result list is left closed.
    void Search(const QString &scope, const QString &searchString);
    void ClickSearch();
    void ClickReset();
    // Picks an entry of the result list with the keyboard, as a user does.
    void PickRow(int row);
    void Pick(const QString &name);

    QString Text(const char *name);     // a line edit, a combo box or a button
    QString BoxText(const char *name);  // a multi-line text box
    QStringList ItemsOf(const char *name);
    int Persons();
    void SetPersons(int value);
    QString PictureFile();
    bool ResultListOpen();
    void CloseResultList();
    QStringList Errors() const { return m_errors.messages(); }
};

}  // namespace sapidoro::test
