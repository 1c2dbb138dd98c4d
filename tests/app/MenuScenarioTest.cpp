#include "ScenarioData.h"

#include "app/MenuWeekWindow.h"
#include "menu/MenuStore.h"
#include "pageprinter/PrinterFixture.h"
#include "shopping/ShoppingStore.h"
#include "widgets/PassingMessage.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

RecipeData Torta() {
    return {"Torta",       "Dessert", "Farina",
            "4",           "Casa",    {"200 g ==== Farina", "1 Cucchiaio ==== Olio", "3 ==== Uova"},
            {"Impastare."}};
}

RecipeData Pizza() {
    return {"Pizza",      "Piatto unico", "Farina",
            "2",          "Napoli",       {"1 kg ==== Farina", "q.b. ==== Sale"},
            {"Stendere."}};
}

std::string Table() {
    return CrLf({"Farina_ING == 200 g === 700", "Uova_ING == 3 === 240", "Sale_ING == 1 === 0"});
}

// This week's day `offset` from today (its column, 1 for Monday), kept inside the week.
int Column(int offset) {
    return (QDate::currentDate().dayOfWeek() - 1 + offset) % 7 + 1;
}

class MenuTest : public ScenarioTest {
protected:
    MenuTest() : m_printer(std::make_unique<TMemoryPrinter>(LetterAt(300))) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_xdg.filePath(u"data"_s)));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_xdg.filePath(u"config"_s));
        QSettings(u"Sapidoro"_s, u"Sapidoro"_s).remove(u"MenuSettimana"_s);
    }
    QAction *Action(const char *name) { return Find<QAction>(name); }
    MenuWeekWindow *Window() { return m_form->findChild<MenuWeekWindow *>(u"MenuSettimana"_s); }
    QListWidget *Cell(const QString &meal, int column) {
        return Window()->findChild<QListWidget *>(meal + QString::number(column));
    }
    QStringList Entries(const QString &meal, int column) {
        QStringList texts;
        for (int row = 0; row < Cell(meal, column)->count(); ++row)
            texts << Cell(meal, column)->item(row)->text();
        return texts;
    }
    QLabel *Calories(int column) {
        return Window()->findChild<QLabel *>(u"CalorieGiorno%1"_s.arg(column));
    }
    // Adds the recipe on show through "Aggiungi al menu…", to `meal` of the day `offset`
    // from today in this week (empty meal: the one offered).
    void AddToMenu(const QString &meal, int offset) {
        QTimer::singleShot(0, [=] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto *day = dialog->findChild<QDateEdit *>(u"GiornoMenu"_s);
            day->setDate(QDate::currentDate().addDays(Column(offset) - Column(0)));
            if (!meal.isEmpty())
                dialog->findChild<QComboBox *>(u"PastoMenu"_s)->setCurrentText(meal);
            dialog->accept();
        });
        Action("AggiungiMenu1")->trigger();
    }
    // Drops the first entry of one cell onto another, as a drag ends there.
    void Drop(QListWidget *from, QListWidget *to, Qt::KeyboardModifiers keys) {
        from->setCurrentRow(0);
        std::unique_ptr<QMimeData> data(from->model()->mimeData({from->model()->index(0, 0)}));
        ASSERT_NE(data, nullptr);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                        keys);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data.get(),
                              Qt::LeftButton, keys);
        QApplication::sendEvent(to->viewport(), &enter);
        QApplication::sendEvent(to->viewport(), &drop);
    }
    QString Clicked(const char *button) {
        Window()->findChild<QAbstractButton *>(QString::fromLatin1(button))->click();
        return QApplication::clipboard()->text();
    }

    QTemporaryDir m_xdg;
    ScopedPrinter m_printer;
};

TEST_F(MenuTest, AddMoveCopyRemoveAndOpenThroughTheWindow) {
    Open({Torta(), Pizza()}, Table());
    const auto *menu = Find<QMenu>("PopupMenu1");
    for (const auto &[name, caption, keys] :
         {std::tuple{"MenuSettimana1", u"Menu della settimana\u2026"_s, u"Ctrl+M"_s},
          std::tuple{"AggiungiMenu1", u"Aggiungi al menu\u2026"_s, u"Ctrl+Shift+M"_s}}) {
        EXPECT_TRUE(menu->actions().contains(Action(name))) << name;
        EXPECT_EQ(Action(name)->text(), caption);
        EXPECT_EQ(Action(name)->shortcut(), QKeySequence(keys));
    }
    Action("AggiungiMenu1")->trigger();
    ASSERT_EQ(Errors(), QStringList{u"Nessuna ricetta da aggiungere al menu."_s});
    EXPECT_EQ(m_errors.icons().back(), int(QMessageBox::Information));

    Pick(u"Torta"_s);
    SetPersons(8);
    AddToMenu(u"Cena"_s, 0);
    Pick(u"Pizza"_s);
    AddToMenu(QString(), 0);  // today's first free meal
    Action("MenuSettimana1")->trigger();
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(Window()->findChild<QLabel *>(u"Giorno%1"_s.arg(Column(0)))->text(),
              QLocale(QLocale::Italian).toString(QDate::currentDate(), u"dddd d MMMM"_s));
    EXPECT_EQ(Entries(u"Pranzo"_s, Column(0)), QStringList{u"Pizza (2 persone)"_s});
    EXPECT_EQ(Entries(u"Cena"_s, Column(0)), QStringList{u"Torta (8 persone)"_s});

    const int today = Column(0), other = Column(1);
    const struct {
        const char *what;
        QString fromMeal;
        int fromColumn;
        QString toMeal;
        int toColumn;
        Qt::KeyboardModifiers keys;
        QStringList dinnerToday, lunchOther;
    } steps[] = {
        {"moved",
         u"Cena"_s,
         today,
         u"Pranzo"_s,
         other,
         Qt::NoModifier,
         {},
         {u"Torta (8 persone)"_s}},
        {"copied back",
         u"Pranzo"_s,
         other,
         u"Cena"_s,
         today,
         Qt::ControlModifier,
         {u"Torta (8 persone)"_s},
         {u"Torta (8 persone)"_s}},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        Drop(Cell(step.fromMeal, step.fromColumn), Cell(step.toMeal, step.toColumn), step.keys);
        EXPECT_EQ(Entries(u"Cena"_s, today), step.dinnerToday);
        EXPECT_EQ(Entries(u"Pranzo"_s, other), step.lunchOther);
    }
    Cell(u"Pranzo"_s, other)->setCurrentRow(0);
    QTest::keyClick(Cell(u"Pranzo"_s, other), Qt::Key_Delete);
    EXPECT_TRUE(Entries(u"Pranzo"_s, other).isEmpty());
    // Kept in the user's data folder, one line per entry, and read again after a restart.
    const QString plan = MenuPlanPath(m_form->dataFolder());
    EXPECT_TRUE(plan.startsWith(m_xdg.path()));

    Pick(u"Torta"_s);
    QListWidget *lunch = Cell(u"Pranzo"_s, today);
    lunch->doItemsLayout();
    const QRect first = lunch->visualItemRect(lunch->item(0));
    QTest::mouseClick(lunch->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(lunch->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(Text("Nome"), u"Pizza"_s);
    EXPECT_EQ(m_form->currentRecipeName(), "Pizza");

    m_form.reset();
    CreateForm();
    Action("MenuSettimana1")->trigger();
    EXPECT_EQ(Entries(u"Cena"_s, today), QStringList{u"Torta (8 persone)"_s});
    EXPECT_EQ(Errors().size(), 1) << Errors().join(u'\n').toStdString();
}

TEST_F(MenuTest, CaloriesPrintoutAndMealsShown) {
    Open({Torta(), Pizza()}, Table());
    Pick(u"Torta"_s);
    SetPersons(5);
    const QString torta = Text("Calorie");
    AddToMenu(u"Pranzo"_s, 0);
    Action("MenuSettimana1")->trigger();
    // The day's figure is the main window's, and the ingredient the table lacks is marked.
    EXPECT_EQ(Calories(Column(0))->text(), torta + u" *"_s);
    EXPECT_TRUE(Calories(Column(0))->toolTip().contains(u"1 Cucchiaio ==== Olio"_s));
    Pick(u"Pizza"_s);
    const QString pizza = Text("Calorie");
    AddToMenu(u"Cena"_s, 0);
    EXPECT_EQ(Calories(Column(0))->text(),
              QString::number(torta.toInt() + pizza.toInt()) + u" *"_s);
    EXPECT_TRUE(Window()
                    ->findChild<QLabel *>(u"MediaSettimana"_s)
                    ->text()
                    .contains(QString::number(torta.toInt() + pizza.toInt())));

    // What is copied is what is printed, line by line, the week's title first.
    const QStringList copied = Clicked("CopiaMenu").split(u"\r\n"_s);
    Clicked("StampaMenu");
    QStringList printed;
    for (const auto &page : m_printer->Jobs().back().pages)
        for (const DrawCall &call : page)
            if (call.kind == DrawCall::Text) printed << call.text;
    EXPECT_TRUE(copied.front().startsWith(u"Menu della settimana"_s))
        << copied.front().toStdString();
    // Printed lines wrap at the page's width, so the words are compared.
    const QString printedWords = printed.join(u' ').simplified();
    for (const QString &line : copied)
        EXPECT_TRUE(printedWords.contains(line.simplified())) << line.toStdString();
    for (const QString &line : {u"Torta (5 persone)"_s, u"Pizza (2 persone)"_s})
        EXPECT_TRUE(printed.join(u'\n').contains(line)) << line.toStdString();

    // Exported to PDF through the same pages; the menu's window tells where.
    const QString pdf = m_xdg.filePath(u"menu.pdf"_s);
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(pdf);
        static_cast<QDialog *>(dialog)->accept();
    });
    Clicked("EsportaPDFMenu");
    QFile exported(pdf);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.read(5).startsWith("%PDF-"));
    ASSERT_NE(PassingMessage::Of(Window()), nullptr);
    EXPECT_TRUE(PassingMessage::Of(Window())->fullText().endsWith(QDir::toNativeSeparators(pdf)));

    // Breakfast shown on request, remembered for the next window.
    Window()->findChild<QCheckBox *>(u"MostraColazione"_s)->setChecked(true);
    ASSERT_NE(Cell(u"Colazione"_s, 1), nullptr);
    m_form.reset();
    CreateForm();
    Action("MenuSettimana1")->trigger();
    EXPECT_NE(Cell(u"Colazione"_s, 1), nullptr);
    EXPECT_EQ(Cell(u"Merenda"_s, 1), nullptr);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(MenuTest, ShoppingFromThePlanMatchesAddingOneByOneAndFollowsTheCollection) {
    Open({Torta(), Pizza()}, Table());
    const auto list = [this] { return m_form->findChild<QDialog *>(u"ListaSpesa"_s); };
    const auto shoppingText = [&] {
        return list()->findChild<QPlainTextEdit *>(u"IngredientiInLista"_s)->toPlainText();
    };
    const auto emptyList = [&] {
        auto *recipes = list()->findChild<QTableWidget *>(u"RicetteInLista"_s);
        while (recipes->rowCount() > 0) {
            recipes->selectRow(0);
            list()->findChild<QAbstractButton *>(u"RimuoviRicetta"_s)->click();
        }
    };
    Pick(u"Torta"_s);
    SetPersons(8);
    Action("AggiungiSpesa1")->trigger();
    Pick(u"Pizza"_s);
    Action("AggiungiSpesa1")->trigger();
    Action("ListaSpesa1")->trigger();
    const QString oneByOne = shoppingText();
    emptyList();

    Pick(u"Torta"_s);
    SetPersons(8);
    AddToMenu(u"Pranzo"_s, 0);
    Pick(u"Pizza"_s);
    AddToMenu(u"Cena"_s, 0);
    Action("MenuSettimana1")->trigger();
    const auto shop = [this] {
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->findChild<QDateEdit *>(u"DalGiorno"_s)->date(), QDate::currentDate());
            dialog->accept();
        });
        Window()->findChild<QAbstractButton *>(u"SpesaDalMenu"_s)->click();
    };
    shop();
    EXPECT_EQ(shoppingText(), oneByOne);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();

    // A recipe gone from the reloaded collection stays in the plan, shown missing and skipped.
    emptyList();
    WriteCollection({Torta()}, Table());
    Action("Ricarica1")->trigger();
    ASSERT_EQ(Cell(u"Cena"_s, Column(0))->count(), 1);
    EXPECT_FALSE(Cell(u"Cena"_s, Column(0))->item(0)->toolTip().isEmpty());
    EXPECT_TRUE(Calories(Column(0))->toolTip().contains(u"Pizza"_s));
    shop();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(u"Pizza"_s)) << Errors()[0].toStdString();
    EXPECT_EQ(LoadShoppingList(ShoppingListPath()).list.entries(),
              (std::vector<ShoppingEntry>{{"Torta", 8}}));
}

TEST_F(MenuTest, DamagedPlanIsReportedOnceAndMovedAside) {
    Open({Torta()}, Table());
    const QString path = MenuPlanPath(m_form->dataFolder());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a plan\n2026-02-31\tPranzo\t4\tTorta\n");
    file.close();
    Action("MenuSettimana1")->trigger();
    Action("MenuSettimana1")->trigger();
    ASSERT_EQ(Errors().size(), 1) << Errors().join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(path + u".danneggiato"_s));
    EXPECT_TRUE(LoadMenuPlan(path).plan.empty());
    EXPECT_EQ(Cell(u"Pranzo"_s, 1)->count(), 0);
}

}  // namespace
