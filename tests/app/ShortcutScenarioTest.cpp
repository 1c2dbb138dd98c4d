#include "ScenarioData.h"
#include "pageprinter/MemoryPrinter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <map>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// Closes every modal dialog as soon as it is the active one, and names the ones it closed.
class ModalCloser : public QObject {
public:
    ModalCloser() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                m_closed << dialog->objectName();
                dialog->reject();
            }
        });
        m_timer.start(10);
    }
    QStringList take() { return std::exchange(m_closed, {}); }

private:
    QTimer m_timer;
    QStringList m_closed;
};

// Claims every key for the control it watches, as a line edit claims Ctrl+E ("end of line")
// under the X11 key scheme; the offscreen platform's scheme binds none of the window's keys.
class KeyClaimingControl : public QObject {
public:
    explicit KeyClaimingControl(QWidget *control) : QObject(control) {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        event->accept();
        return true;
    }
};

class ShortcutScenarioTest : public ScenarioTest {
protected:
    void SetUp() override {
        m_previous = SetPrinter(
            std::make_unique<TMemoryPrinter>(TMemoryPrinter::Sheet{300, 300, 2480, 3508, 71, 71}));
        RecipeData torta;
        torta.name = "Torta";
        Open({torta}, CrLf({"Pasta_ING == 100 g === 350"}));
        Pick("Torta");
    }
    void TearDown() override {
        ScenarioTest::TearDown();
        SetPrinter(std::move(m_previous));
    }
    // The window's controls in the order Tab visits them.
    QList<QWidget *> FocusChain() {
        QList<QWidget *> chain{Find<QWidget>("Ricerche")};
        chain.front()->setFocus(Qt::TabFocusReason);
        for (;;) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == chain.front() || chain.size() > 60) return chain;
            chain << QApplication::focusWidget();
        }
    }

    std::unique_ptr<PrinterDevice> m_previous;
};

}  // namespace

// Each shortcut of the popup menu and its submenus, pressed with the focus in each control
// of the window runs its action, even where the control binds that key itself; the actions
// that open a modal dialog are seen to open it.
TEST_F(ShortcutScenarioTest, EveryShortcutActsWhereverTheFocusIs) {
    const std::map<QString, QString> modalOf{
        {"Anteprima1", "AnteprimaDiStampa"},     {"EsportaPDF1", "EsportaPDF"},
        {"ApriRaccolta1", "ApriRaccoltaDialog"}, {"NuovaRicetta1", "EditorRicetta"},
        {"ModificaRicetta1", "EditorRicetta"},   {"Importa1", "ImportaRicette"}};
    const QList<QWidget *> controls = FocusChain();
    ASSERT_GE(controls.size(), 19);
    for (QWidget *control : controls) new KeyClaimingControl(control);
    ModalCloser closer;
    int shortcuts = 0;
    for (QAction *action : m_form->findChildren<QAction *>()) {
        if (action->shortcut().isEmpty()) continue;
        ++shortcuts;
        const QKeyCombination key = action->shortcut()[0];
        const auto modal = modalOf.find(action->objectName());
        for (QWidget *control : controls) {
            const std::string where =
                (action->objectName() + " in " + control->objectName()).toStdString();
            control->setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), control) << where;
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keyClick(control, key.key(), key.keyboardModifiers());
            EXPECT_EQ(triggered.count(), 1) << where;
            EXPECT_EQ(closer.take(),
                      modal == modalOf.end() ? QStringList() : QStringList{modal->second})
                << where;
            if (QWidget *list = QApplication::activeWindow(); list != m_form.get() && list)
                list->close();
            ShowActive();
        }
    }
    EXPECT_EQ(shortcuts, 12);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}
