#include "ScenarioData.h"

#include "picture/JpgImg.h"
#include "widgets/Spinner.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace sapidoro::test {

std::string RecordBytes(const RecipeData &recipe) {
    std::string out = CrLf({"-Nome", recipe.name, "-Piatto", recipe.dish, "-Ingrediente Principale",
                            recipe.mainIngredient, "-Persone", recipe.persons, "-Note",
                            recipe.notes, "-Ingredienti"});
    for (const std::string &line : recipe.ingredients) out += line + "\r\n";
    out += "-Preparazione\r\n";
    for (const std::string &line : recipe.preparation) out += line + "\r\n";
    return out + ":Ricette\r\n";
}

std::string RecipeFileOf(const std::vector<RecipeData> &recipes) {
    std::string file = ":Ricette\r\n";
    for (const RecipeData &recipe : recipes) file += RecordBytes(recipe);
    return file;
}

void CopySamplePicture(const TempDir &dir, const std::string &sampleName,
                       const std::string &targetName) {
    QDir().mkpath(QString::fromStdString(dir.file("immagini")));
    const QString from =
        QString::fromUtf8(SAPIDORO_SAMPLE_DATA "immagini/") + QString::fromStdString(sampleName);
    const QString to = QString::fromStdString(dir.file("immagini/" + targetName));
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
}

namespace {

void AnswerWhenOpen(MessageBoxSeen *seen, BoxAnswer answer, int attemptsLeft) {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr) {
        if (attemptsLeft > 0)
            QTimer::singleShot(10, [=] { AnswerWhenOpen(seen, answer, attemptsLeft - 1); });
        return;
    }
    seen->shown = true;
    seen->icon = box->icon();
    seen->title = box->windowTitle();
    seen->text = box->text();
    for (QAbstractButton *button : box->buttons()) seen->buttons << button->text();
    switch (answer) {
        case BoxAnswer::OkButton:
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            break;
        case BoxAnswer::EnterKey:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        case BoxAnswer::EscapeKey:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case BoxAnswer::CloseButton: {
            // What the window system sends when the frame's close button is clicked.
            QCloseEvent close;
            QApplication::sendEvent(box->windowHandle(), &close);
            break;
        }
        case BoxAnswer::Rejected:
            box->reject();
            break;
    }
}

}  // namespace

void AnswerNextMessageBox(MessageBoxSeen &seen, BoxAnswer answer) {
    QTimer::singleShot(0, [&seen, answer] { AnswerWhenOpen(&seen, answer, 500); });
}

void ScenarioTest::TearDown() {
    if (m_form) CloseResultList();
}

void ScenarioTest::WriteCollection(const std::vector<RecipeData> &recipes,
                                   const std::string &table) {
    m_dir.write("ricette.txt", RecipeFileOf(recipes));
    m_dir.write("ing.txt", table);
    m_dir.write("luoghi.txt", CrLf({"Roma", "Milano"}));
    CopySamplePicture(m_dir, "noimage.jpg", "noimage.jpg");
}

void ScenarioTest::Open(const std::vector<RecipeData> &recipes, const std::string &table) {
    WriteCollection(recipes, table);
    CreateForm();
    ShowActive();
}

void ScenarioTest::ChooseScope(const QString &scope) {
    Find<QComboBox>("SelezioneAmbitoRicerca")->setEditText(scope);
}

void ScenarioTest::Search(const QString &scope, const QString &searchString) {
    if (Text("SelezioneAmbitoRicerca") != scope) ChooseScope(scope);
    Find<QComboBox>("StringaDaCercare")->setEditText(searchString);
    ClickSearch();
}

void ScenarioTest::ClickSearch() {
    CloseResultList();
    Find<QAbstractButton>("Ricerche")->click();
}

void ScenarioTest::ClickReset() {
    CloseResultList();
    Find<QAbstractButton>("Inizializzazione")->click();
}

void ScenarioTest::PickRow(int row) {
    auto *list = Find<QComboBox>("RicetteTrovate");
    ASSERT_GE(row, 0);
    ASSERT_LT(row, list->count());
    if (!ResultListOpen()) list->showPopup();
    QAbstractItemView *view = list->view();
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    view->setCurrentIndex(index);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_FALSE(ResultListOpen());
}

void ScenarioTest::Pick(const QString &name) {
    const int row = Find<QComboBox>("RicetteTrovate")
                        ->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(row, 0) << name.toStdString();
    PickRow(row);
}

QString ScenarioTest::Text(const char *name) {
    auto *control = Find<QWidget>(name);
    if (auto *box = qobject_cast<QComboBox *>(control)) return box->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(control)) return edit->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control)) return button->text();
    if (auto *label = qobject_cast<QLabel *>(control)) return label->text();
    ADD_FAILURE() << name << " has no text";
    return {};
}

QString ScenarioTest::BoxText(const char *name) {
    return Find<QPlainTextEdit>(name)->toPlainText();
}

QStringList ScenarioTest::ItemsOf(const char *name) {
    return Items(Find<QComboBox>(name));
}

int ScenarioTest::Persons() {
    return Find<Spinner>("Persone")->value();
}

void ScenarioTest::SetPersons(int value) {
    // As the spinner's buttons do, one step at a time.
    auto *spinner = Find<Spinner>("Persone");
    auto *plus = spinner->findChild<QToolButton *>(QStringLiteral("plus"));
    auto *minus = spinner->findChild<QToolButton *>(QStringLiteral("minus"));
    while (spinner->value() < value) QTest::mouseClick(plus, Qt::LeftButton);
    while (spinner->value() > value) QTest::mouseClick(minus, Qt::LeftButton);
}

QString ScenarioTest::PictureFile() {
    return Find<TJPEGImage>("JPEGImage1")->FileName();
}

bool ScenarioTest::ResultListOpen() {
    return Find<QComboBox>("RicetteTrovate")->view()->isVisible();
}

void ScenarioTest::CloseResultList() {
    if (ResultListOpen()) Find<QComboBox>("RicetteTrovate")->hidePopup();
}

}  // namespace sapidoro::test
