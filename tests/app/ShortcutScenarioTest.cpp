#include "ScenarioData.h"
#include "pageprinter/MemoryPrinter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// Claims every key for the control it watches, as a line edit claims Ctrl+E ("end of line")
// under the X11 key scheme; the offscreen platform's scheme binds none of the window's keys.
class KeyClaimingControl : public QObject {
public:
    explicit KeyClaimingControl(QWidget *control) : QObject(control) {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        return event->type() == QEvent::ShortcutOverride;
    }
};

class ShortcutScenarioTest : public ScenarioTest {
protected:
    void TearDown() override {
        ScenarioTest::TearDown();
        SetPrinter(std::move(m_previous));
    }
    std::unique_ptr<PrinterDevice> m_previous = SetPrinter(
        std::make_unique<TMemoryPrinter>(TMemoryPrinter::Sheet{300, 300, 2480, 3508, 71, 71}));
};

}  // namespace

// Each shortcut of the popup menu and its submenus, pressed with the focus in each control
// of the window, runs its action even where the control binds that key itself; the actions
// that open a modal dialog are seen to open it.
TEST_F(ShortcutScenarioTest, EveryShortcutActsWhereverTheFocusIs) {
    RecipeData torta;
    torta.name = "Torta";
    Open({torta}, CrLf({"Pasta_ING == 100 g === 350"}));
    Pick("Torta");
    const QMap<QString, QString> modalOf{
        {"Anteprima1", "AnteprimaDiStampa"},       {"EsportaPDF1", "EsportaPDF"},
        {"ApriRaccolta1", "ApriRaccoltaDialog"},   {"NuovaRicetta1", "EditorRicetta"},
        {"ModificaRicetta1", "EditorRicetta"},     {"Importa1", "ImportaRicette"},
        {"ImportaIndirizzo1", "ImportaIndirizzo"}, {"AggiungiMenu1", "AggiungiAlMenu"}};
    // The controls in the order Tab visits them.
    QList<QWidget *> controls{Find<QWidget>("Ricerche")};
    controls.front()->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == controls.front()) break;
        controls << QApplication::focusWidget();
    }
    ASSERT_GE(controls.size(), 19);
    for (QWidget *control : controls) new KeyClaimingControl(control);
    // Each modal dialog is closed as soon as it is the active window, and named.
    QStringList closed;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&closed] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            closed << dialog->objectName();
            dialog->reject();
        }
    });
    closer.start(10);
    int shortcuts = 0;
    for (QAction *action : m_form->findChildren<QAction *>()) {
        if (action->shortcut().isEmpty()) continue;
        ++shortcuts;
        const QKeyCombination key = action->shortcut()[0];
        const QString modal = modalOf.value(action->objectName());
        for (QWidget *control : controls) {
            SCOPED_TRACE((action->objectName() + " in " + control->objectName()).toStdString());
            control->setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), control);
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keyClick(control, key.key(), key.keyboardModifiers());
            EXPECT_EQ(triggered.count(), 1);
            EXPECT_EQ(std::exchange(closed, {}),
                      modal.isEmpty() ? QStringList() : QStringList{modal});
            // The shopping list opens a window of its own.
            if (QWidget *window = QApplication::activeWindow(); window != m_form.get() && window)
                window->close();
            ShowActive();
        }
    }
    EXPECT_EQ(shortcuts, 15);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
}
