#include "widgets/ComboBox.h"

#include "FormFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

const QString kLoadingHint = QString::fromUtf16(
    u"Ricerca progressiva (iniziare con l'ingrediente meno comune); è possibile specificare "
    u"anche stringhe parziali (es. acet)");
const QString kSearchHint =
    QStringLiteral("Ricerca progressiva (iniziare con le parole meno comuni)");
const QString kBoxHint = QString::fromUtf16(
    u" Iniziare con gli ingredienti meno comuni; è possibile specificare stringhe parziali "
    u"(es. past)");

QStringList Split(const char16_t *commaSeparated) {
    return QString::fromUtf16(commaSeparated).split(u',');
}
const QStringList kDishes =
    Split(u"Antipasto,Bevande,Carne,Contorno,Dessert,Pesce,Pollame,Primo,Salsa");
// 11, 13, 14 and 16 to 19 are not offered.
const QStringList kPersons = Split(u"1,2,3,4,5,6,7,8,9,10,12,15,20");

// Types characters as key presses, accented letters included (Qt's key codes for Latin-1
// letters are their upper-case code points).
void TypeText(QWidget *target, const QString &text) {
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

class ScopeTest : public FormTest {
protected:
    void SetUp() override {
        WriteSmallCollection();
        CreateForm();
        ShowActive();
        m_scope = Find<QComboBox>("SelezioneAmbitoRicerca");
        m_box = Find<QComboBox>("StringaDaCercare");
        m_search = Find<QAbstractButton>("Ricerche");
        m_results = Items(Find<QComboBox>("RicetteTrovate"));
    }

    // Picks a scope from the scope box's list, as the user does.
    void Pick(const char *scope) {
        m_scope->setFocus();
        m_scope->setCurrentIndex(m_scope->findText(QString::fromLatin1(scope)));
    }

    void ExpectBox(const QString &text, const QStringList &items) {
        EXPECT_EQ(m_box->currentText(), text);
        EXPECT_EQ(Items(m_box), items);
    }

    void ExpectHints(const QString &button, const QString &box) {
        EXPECT_EQ(m_search->toolTip(), button);
        EXPECT_EQ(m_box->toolTip(), box);
    }

    QComboBox *m_scope = nullptr;
    QComboBox *m_box = nullptr;
    QAbstractButton *m_search = nullptr;
    QStringList m_results;
};

}  // namespace

TEST_F(ScopeTest, EachScopeFillsTheSearchBox) {
    struct Case {
        const char *scope;
        QString text;
        QStringList items;
    };
    const QString progressive = QStringLiteral("Ricerca progressiva");
    const Case cases[] = {
        {"Nome",
         QStringLiteral("Bimby"),
         {QStringLiteral("Bimby"), QStringLiteral("Pentola A Pressione")}},
        {"Luogo",
         QStringLiteral("Roma"),
         {QStringLiteral("Roma"), QStringLiteral("Milano"), QStringLiteral("Napoli")}},
        {"Ricetta Adatta A",
         QStringLiteral("Bambini piccoli"),
         {QStringLiteral("Bambini piccoli")}},
        {"Piatto", QStringLiteral("Primo"), kDishes},
        {"Persone", QStringLiteral("4"), kPersons},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scope);
        Pick(c.scope);
        EXPECT_EQ(m_scope->currentText(), QString::fromLatin1(c.scope));
        ExpectBox(c.text, c.items);
        ExpectHints(progressive, QString());
        EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));
    }
    EXPECT_EQ(m_box->count(), 13);

    Pick("Ingredienti");
    ExpectBox(QStringLiteral("Ricerca per 4 ingredienti"),
              {QStringLiteral("Aceto"), QStringLiteral("Burro"), QStringLiteral("Aceto"),
               QString::fromUtf16(u"Èrba")});
    ExpectHints(kSearchHint, kBoxHint);
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));

    // No scope touches the result lists.
    EXPECT_EQ(Items(Find<QComboBox>("RicetteTrovate")), m_results);
    EXPECT_EQ(Items(Find<QComboBox>("RicetteTrovateScambio")), m_results);
    EXPECT_TRUE(m_errors.messages().isEmpty());
}

TEST_F(ScopeTest, TypingAPartialScopeOnlyMovesTheFocus) {
    m_scope->setFocus();
    m_scope->lineEdit()->selectAll();
    QTest::keyClicks(m_scope, QStringLiteral("Luog"));
    EXPECT_EQ(m_scope->currentText(), QStringLiteral("Luog"));
    ExpectBox(QStringLiteral("Ricerca per 4 ingredienti"),
              {QStringLiteral("Aceto"), QStringLiteral("Burro"), QStringLiteral("Aceto"),
               QString::fromUtf16(u"Èrba")});
    ExpectHints(kSearchHint, kBoxHint);
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));

    QTest::keyClick(m_scope, Qt::Key_O);
    EXPECT_EQ(m_scope->currentText(), QStringLiteral("Luogo"));
    ExpectBox(QStringLiteral("Roma"),
              {QStringLiteral("Roma"), QStringLiteral("Milano"), QStringLiteral("Napoli")});

    // Scope texts are case-sensitive.
    m_scope->lineEdit()->setText(QStringLiteral("persone"));
    EXPECT_EQ(m_box->currentText(), QStringLiteral("Roma"));
}

TEST_F(ScopeTest, LeavingTheSearchBoxNormalisesItsCase) {
    struct Case {
        const char16_t *typed;
        const char16_t *left;
    };
    for (const Case &c :
         {Case{u"PENTOLA A PRESSIONE", u"Pentola a pressione"}, Case{u"past", u"Past"},
          Case{u"x", u"X"}, Case{u"ÈRBA CIPOLLINA", u"Èrba cipollina"}, Case{u"àCETO", u"àceto"},
          // Accented letters keep their case wherever they stand.
          Case{u"àRBA ÀÈ", u"àrba ÀÈ"}, Case{u"4 PERSONE, 10 G", u"4 persone, 10 g"},
          Case{u"[Z]", u"[z]"}, Case{u"", u""}}) {
        m_box->setFocus();
        m_box->lineEdit()->clear();
        TypeText(m_box, QString::fromUtf16(c.typed));
        QTest::keyClick(m_box, Qt::Key_Tab);
        EXPECT_EQ(FocusName(), QStringLiteral("SelezioneAmbitoRicerca"));
        EXPECT_EQ(m_box->currentText(), QString::fromUtf16(c.left))
            << QString::fromUtf16(c.typed).toStdString();
    }
}

TEST_F(ScopeTest, OpeningTheSearchBoxListIsNoExit) {
    m_box->setFocus();
    m_box->lineEdit()->setText(QStringLiteral("ACETO"));
    m_box->showPopup();
    ASSERT_TRUE(m_box->view()->isVisible());
    EXPECT_EQ(m_box->currentText(), QStringLiteral("ACETO"));
    m_box->hidePopup();
    Find<QWidget>("Esci")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(m_box->currentText(), QStringLiteral("Aceto"));
}

TEST_F(ScopeTest, PlacesFileOfOneLineOrNone) {
    m_dir.write("luoghi.txt", "Roma");
    Pick("Luogo");
    ExpectBox(QStringLiteral("Roma"), {QStringLiteral("Roma"), QString()});

    Pick("Nome");
    m_dir.write("luoghi.txt", "");
    Pick("Luogo");
    ExpectBox(QString(), {QString(), QString()});

    Pick("Nome");
    m_dir.write("luoghi.txt", "Roma\r\nBari");
    Pick("Luogo");
    ExpectBox(QStringLiteral("Roma"), {QStringLiteral("Roma"), QStringLiteral("Bari")});
    EXPECT_TRUE(m_errors.messages().isEmpty());
}

TEST_F(ScopeTest, MissingIngredientTableOnChoosingIngredienti) {
    Pick("Nome");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(m_dir.file("ing.txt"))));
    Pick("Ingredienti");
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    ExpectBox(QString(), {});
    ExpectHints(kLoadingHint, kLoadingHint);
    // The focus step is skipped: the window's focus stays where it was for when the window
    // is active again after the error report.
    EXPECT_EQ(m_form->focusWidget(), m_scope);
}

TEST_F(ScopeTest, MissingPlacesFileOnChoosingLuogo) {
    Pick("Persone");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(m_dir.file("luoghi.txt"))));
    Pick("Luogo");
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    ExpectBox(QStringLiteral("4"), kPersons);
    ExpectHints(QStringLiteral("Ricerca progressiva"), QString());
    EXPECT_EQ(m_form->focusWidget(), m_scope);
}
