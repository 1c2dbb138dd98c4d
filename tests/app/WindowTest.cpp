#include "FormFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using namespace sapidoro::test;

namespace {

class WindowTest : public FormTest {
protected:
    void SetUp() override {
        WriteSmallCollection();
        CreateForm();
        ShowActive();
    }
};

}  // namespace

TEST_F(WindowTest, ShowingPutsTheFocusIntoTheSearchBox) {
    EXPECT_EQ(FocusName(), QStringLiteral("StringaDaCercare"));
}

TEST_F(WindowTest, TabPassesThroughTheControlsInDesignOrder) {
    Find<QWidget>("Ricerche")->setFocus(Qt::TabFocusReason);
    QStringList visited{FocusName()};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (FocusName() == visited.front()) break;
        visited << FocusName();
    }
    EXPECT_EQ(
        visited.join(u' '),
        QStringLiteral("Ricerche StringaDaCercare SelezioneAmbitoRicerca Inizializzazione "
                       "StampaLaRicetta Esci RicetteTrovate CheckBox1 CarattereStampa Nome Note "
                       "Piatto Ingrediente_Principale Calorie Ingredienti Preparazione "
                       "RicettaCompleta ListaIngredientiNonTrovati Persone"));
}

TEST_F(WindowTest, ShortcutsActWhereverTheFocusIs) {
    QSignalSpy copies(Find<QAction>("Copia1"), &QAction::triggered);
    QSignalSpy prints(Find<QAction>("Stampa1"), &QAction::triggered);
    for (const char *name : {"StringaDaCercare", "RicettaCompleta", "Persone", "Nome"}) {
        QWidget *widget = Find<QWidget>(name);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_F2);
        ASSERT_EQ(QApplication::focusWidget(), widget) << name;
        QTest::keyClick(widget, Qt::Key_F7);
        // Printing may show a window of its own (its progress, or a message when no printer is
        // set up), which can keep the focus from the form: the next round starts active again.
        ShowActive();
    }
    EXPECT_EQ(copies.count(), 4);
    EXPECT_EQ(prints.count(), 4);
}

TEST_F(WindowTest, RightClickAnywhereShowsThePopupMenu) {
    auto *menu = Find<QMenu>("PopupMenu1");
    for (const char *name : {"Schermo1", "RicettaCompleta", "StringaDaCercare", "Ricerche"}) {
        QWidget *target = Find<QWidget>(name);
        if (auto *memo = qobject_cast<QPlainTextEdit *>(target)) target = memo->viewport();
        if (auto *box = qobject_cast<QComboBox *>(target)) target = box->lineEdit();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        EXPECT_TRUE(menu->isVisible()) << name;
        menu->hide();
    }
}

TEST_F(WindowTest, ResizingKeepsThePanelFillingTheWindow) {
    for (QSize size : {QSize(1024, 700), QSize(500, 300), QSize(661, 440)}) {
        m_form->resize(size);
        QApplication::processEvents();
        QWidget *panel = Find<QWidget>("NoBDEResizerPanel1");
        EXPECT_EQ(panel->geometry(), QRect(QPoint(), size));
        EXPECT_EQ(Find<QWidget>("PageControl1")->geometry(),
                  QRect(1, 1, size.width() - 2, size.height() - 2));
    }
}

TEST_F(WindowTest, EsciClosesTheWindow) {
    QTest::mouseClick(Find<QAbstractButton>("Esci"), Qt::LeftButton);
    EXPECT_FALSE(m_form->isVisible());
}

TEST_F(WindowTest, UnboundControlsStayQuiet) {
    // The search, view and output handlers are bound but do nothing yet: no error, no change.
    const QStringList before = Items(Find<QComboBox>("RicetteTrovate"));
    Find<QAbstractButton>("Ricerche")->click();
    Find<QAbstractButton>("Inizializzazione")->click();
    Find<QAbstractButton>("CaricaLaRicetta")->click();
    EXPECT_EQ(Items(Find<QComboBox>("RicetteTrovate")), before);
    EXPECT_TRUE(m_errors.messages().isEmpty());
}
