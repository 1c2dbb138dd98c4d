#pragma once

#include "app/Unit1.h"
#include "support/ErrorReports.h"
#include "support/TempDir.h"
#include "widgets/ScrollBars.h"

#include <QColor>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class QAbstractScrollArea;
class QComboBox;

namespace sapidoro::test {

// One record of ricette.txt with arbitrary marker lines.
std::string Record(const std::string &name);
// A recipe file: the leading separator line, then the records.
std::string RecipeFile(std::initializer_list<std::string> names);

QStringList Items(const QComboBox *box);

// The scroll bars a text box shows, read from its policies.
ScrollStyle ScrollBarsOf(const QAbstractScrollArea *box);

// The colour covering most pixels of the control as drawn.
QColor DominantColour(QWidget *control);

// A main window on a data folder built from literal files, errors collected.
class FormTest : public ::testing::Test {
protected:
    // The small collection most scenarios use.
    void WriteSmallCollection();
    // Creates the window on the folder as it is now.
    TForm1 &CreateForm();
    // Shows the window and makes it the active one, so that focus and shortcuts work.
    void ShowActive();

    template <class Control>
    Control *Find(const char *name) {
        auto *control = m_form->findChild<Control *>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString FocusName() const;

    TempDir m_dir;
    ErrorReports m_errors;
    std::unique_ptr<TForm1> m_form;
};

}  // namespace sapidoro::test
