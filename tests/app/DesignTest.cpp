#include "pageprinter/PagePrnt.h"
#include "picture/JpgImg.h"
#include "widgets/ComboBox.h"
#include "widgets/Spinner.h"

#include "FormFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// The controls as the user meets them when creation stops before the lists are loaded,
// so that every caption and hint still has its design text.
struct Expected {
    const char *name;
    const char *qtClass;  // the standard class the control is
    const char *parent;
    QRect bounds;
    const char *text;  // nullptr: not checked
    const char *hint;  // nullptr: none
    int fontPixels;    // 0: not checked
    bool bold;
    int colour;  // -1: not checked
    bool hidden;
};

// clang-format off
const Expected kControls[] = {
    {"NoBDEResizerPanel1", "QFrame", "Form1", {0, 0, 661, 440}, nullptr, nullptr, 13, false, 0x309860, false},
    {"PageControl1", "QTabWidget", "NoBDEResizerPanel1", {1, 1, 659, 438}, nullptr, nullptr, 0, false, -1, false},
    {"Controlli1", "QFrame", "Vedi", {6, 2, 643, 81}, nullptr, nullptr, 0, false, 0xC0DCC0, false},
    {"Schermo1", "QFrame", "Vedi", {5, 88, 644, 344}, nullptr, nullptr, 0, false, 0xC0DCC0, false},
    {"Ricerche", "QAbstractButton", "Controlli1", {4, 3, 185, 26}, "RICERCHE", "Ricerche", 12, false, 0x00C8FF, false},
    {"StringaDaCercare", "QComboBox", "Controlli1", {197, 5, 268, 23}, "StringaDaCercare", "Stringa da cercare", 12, false, -1, false},
    {"SelezioneAmbitoRicerca", "QComboBox", "Controlli1", {472, 5, 167, 23}, "Ingredienti", nullptr, 12, false, -1, false},
    {"Inizializzazione", "QAbstractButton", "Controlli1", {473, 36, 54, 42}, "RESET", "Annulla tutte le ricerche", 12, false, 0x00C8FF, false},
    {"StampaLaRicetta", "QAbstractButton", "Controlli1", {531, 36, 52, 42}, "", nullptr, 0, false, -1, false},
    {"Esci", "QAbstractButton", "Controlli1", {586, 36, 53, 21}, "ESCI", nullptr, 12, false, -1, false},
    {"RicetteTrovateScambio", "QComboBox", "Controlli1", {-508, 33, 493, 24}, "RicetteTrovateScambio", nullptr, 13, true, 0xC098FF, true},
    {"RicetteTrovate", "QComboBox", "Controlli1", {4, 51, 461, 23}, "", nullptr, 12, false, 0x90C8FF, false},
    {"Barra", "QProgressBar", "Controlli1", {4, 31, 184, 16}, nullptr, nullptr, 0, false, 0xC0DCC0, false},
    {"CheckBox1", "QCheckBox", "Controlli1", {197, 31, 250, 17}, "Max 2000 ricette", nullptr, 13, false, -1, false},
    {"CarattereStampa", "sapidoro::Spinner", "Controlli1", {586, 60, 53, 18}, nullptr, "Grandezza del carattere di stampa", 13, false, 0xC0C0C0, false},
    {"RicettaCompleta", "QPlainTextEdit", "Schermo1", {4, 4, 392, 336}, "", nullptr, 12, false, -1, false},
    {"BordoCalorie", "QWidget", "Schermo1", {400, 7, 241, 110}, nullptr, nullptr, 0, false, -1, false},
    {"RzLabel1", "QLabel", "Schermo1", {573, 2, 63, 15}, " CALORIE ", nullptr, 12, false, -1, false},
    {"Persone", "sapidoro::Spinner", "Schermo1", {408, 13, 73, 22}, nullptr, nullptr, 16, true, 0x90C8FF, false},
    {"Calorie", "QLineEdit", "Schermo1", {488, 13, 65, 27}, "", nullptr, 19, false, 0xF0CAA6, false},
    {"RzLabel2", "QLabel", "Schermo1", {405, 42, 168, 15}, " INGREDIENTI NON TROVATI", nullptr, 12, false, -1, false},
    {"ListaIngredientiNonTrovati", "QPlainTextEdit", "Schermo1", {406, 56, 229, 55}, "", nullptr, 11, false, -1, false},
    {"ScrollBox1", "QScrollArea", "Schermo1", {400, 120, 240, 220}, nullptr, nullptr, 0, false, -1, false},
    {"Nome", "QComboBox", "Schermo1", {646, 11, 631, 24}, "", nullptr, 13, true, 0xF0CAA6, false},
    {"Note", "QLineEdit", "Schermo1", {649, 53, 457, 24}, "", nullptr, 13, true, 0xF0CAA6, false},
    {"Piatto", "QLineEdit", "Schermo1", {664, 92, 121, 24}, "", nullptr, 13, true, 0xF0CAA6, false},
    {"Ingrediente_Principale", "QLineEdit", "Schermo1", {660, 84, 169, 24}, "", nullptr, 13, true, 0xF0CAA6, false},
    {"Ingredienti", "QPlainTextEdit", "Schermo1", {664, 112, 281, 209}, "", nullptr, 12, true, 0xF0CAA6, false},
    {"Preparazione", "QPlainTextEdit", "Schermo1", {664, 112, 201, 209}, "", nullptr, 12, true, 0xF0CAA6, false},
    {"Stampa", "QTextEdit", "Schermo1", {646, 128, 617, 161}, "Stampa", nullptr, 19, false, -1, true},
    {"CaricaLaRicetta", "QAbstractButton", "Schermo1", {653, 34, 83, 25}, "VISUALIZZA", "Ricerca progressiva", 13, false, 0xFFFF90, true},
    {"PagePrinter1", "sapidoro::TPagePrinter", "Schermo1", {536, 128, 89, 115}, nullptr, nullptr, 13, false, -1, true},
};
// clang-format on

QString TextOf(QWidget *control) {
    if (auto *combo = qobject_cast<QComboBox *>(control)) return combo->currentText();
    if (auto *button = qobject_cast<QAbstractButton *>(control)) return button->text();
    if (auto *label = qobject_cast<QLabel *>(control)) return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control)) return edit->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) return memo->toPlainText();
    if (auto *rich = qobject_cast<QTextEdit *>(control)) return rich->toPlainText();
    return QStringLiteral("<no text>");
}

// Panels are judged by their own area; other controls as drawn with their parts.
QColor ColourOf(QWidget *control) {
    if (!control->inherits("QFrame") || control->inherits("QAbstractScrollArea"))
        return DominantColour(control);
    QImage image(control->size(), QImage::Format_RGB32);
    control->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    QLabel own;
    own.setPixmap(QPixmap::fromImage(image));
    own.resize(image.size());
    return DominantColour(&own);
}

class DesignTest : public FormTest {
protected:
    void SetUp() override { CreateForm(); }  // an empty folder: creation stops at the recipes
};

}  // namespace

TEST_F(DesignTest, EveryControlHasItsDesignValues) {
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    for (const Expected &e : kControls) {
        SCOPED_TRACE(e.name);
        auto *control = m_form->findChild<QWidget *>(QString::fromLatin1(e.name));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(e.qtClass)) << control->metaObject()->className();
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(e.parent));
        EXPECT_EQ(control->geometry(), e.bounds);
        EXPECT_EQ(control->isHidden(), e.hidden);
        if (e.text != nullptr) {
            EXPECT_EQ(TextOf(control), QString::fromUtf8(e.text));
        }
        EXPECT_EQ(control->toolTip(), e.hint == nullptr ? QString() : QString::fromUtf8(e.hint));
        if (e.fontPixels > 0) {
            EXPECT_EQ(control->font().family(), QStringLiteral("Courier New"));
            EXPECT_EQ(control->font().pixelSize(), e.fontPixels);
            EXPECT_EQ(control->font().bold(), e.bold);
        }
        if (e.colour >= 0) {
            EXPECT_EQ(ColourOf(control).rgb(), QColor::fromRgb(QRgb(e.colour)).rgb());
        }
    }
}

TEST_F(DesignTest, WindowCaptionSizeAndFont) {
    EXPECT_EQ(m_form->objectName(), QStringLiteral("Form1"));
    EXPECT_TRUE(m_form->windowTitle().startsWith(QStringLiteral("Sapidoro 1.3   ")));
    EXPECT_GT(m_form->windowTitle().size(), 15);
    EXPECT_EQ(m_form->size(), QSize(661, 440));
    EXPECT_EQ(m_form->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(m_form->font().pixelSize(), 11);
}

TEST_F(DesignTest, RangesListsAndStyles) {
    auto *persons = Find<Spinner>("Persone");
    auto *print = Find<Spinner>("CarattereStampa");
    EXPECT_EQ((std::array{persons->minimum(), persons->maximum(), persons->value(),
                          persons->increment(), persons->pageSize()}),
              (std::array{1, 100, 4, 1, 10}));
    EXPECT_EQ((std::array{print->minimum(), print->maximum(), print->value(), print->increment(),
                          print->pageSize()}),
              (std::array{4, 8, 7, 1, 10}));
    auto *bar = Find<QProgressBar>("Barra");
    EXPECT_EQ((std::array{bar->minimum(), bar->maximum(), bar->value()}), (std::array{0, 100, 0}));
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());

    EXPECT_EQ(Items(Find<QComboBox>("SelezioneAmbitoRicerca")).join(u','),
              QStringLiteral("Ingredienti,Luogo,Nome,Persone,Piatto,Ricetta Adatta A"));
    struct Combo {
        const char *name;
        ComboBox::Style style;
        bool sorted;
        int rowHeight;
        int rows;  // 0: never drops down
    };
    for (const Combo &c : {Combo{"StringaDaCercare", ComboBox::Style::DropDown, false, 15, 20},
                           Combo{"SelezioneAmbitoRicerca", ComboBox::Style::DropDown, false, 15, 8},
                           Combo{"RicetteTrovateScambio", ComboBox::Style::DropDown, true, 16, 18},
                           Combo{"RicetteTrovate", ComboBox::Style::DropDownList, false, 17, 15},
                           Combo{"Nome", ComboBox::Style::Simple, true, 16, 0}}) {
        SCOPED_TRACE(c.name);
        auto *box = Find<ComboBox>(c.name);
        EXPECT_EQ(box->comboStyle(), c.style);
        EXPECT_EQ(box->isEditable(), c.style != ComboBox::Style::DropDownList);
        EXPECT_EQ(box->isSorted(), c.sorted);
        EXPECT_EQ(box->itemHeight(), c.rowHeight);
        if (c.rows > 0) {
            EXPECT_EQ(box->maxVisibleItems(), c.rows);
        }
    }
}

TEST_F(DesignTest, TextBoxesAndEdits) {
    struct Memo {
        const char *name;
        Qt::ScrollBarPolicy horizontal, vertical;
        bool wrap;
    };
    constexpr auto on = Qt::ScrollBarAlwaysOn, off = Qt::ScrollBarAlwaysOff;
    for (const Memo &m :
         {Memo{"RicettaCompleta", off, on, true}, Memo{"ListaIngredientiNonTrovati", on, on, false},
          Memo{"Ingredienti", on, on, false}, Memo{"Preparazione", off, on, true}}) {
        SCOPED_TRACE(m.name);
        auto *memo = Find<QPlainTextEdit>(m.name);
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->horizontalScrollBarPolicy(), m.horizontal);
        EXPECT_EQ(memo->verticalScrollBarPolicy(), m.vertical);
        EXPECT_EQ(memo->lineWrapMode() != QPlainTextEdit::NoWrap, m.wrap);
    }
    for (const char *name : {"Calorie", "Note", "Piatto", "Ingrediente_Principale"})
        EXPECT_TRUE(Find<QLineEdit>(name)->isReadOnly()) << name;
    EXPECT_FALSE(Find<QLineEdit>("Calorie")->hasFrame());
    EXPECT_TRUE(Find<QLineEdit>("Note")->hasFrame());
}

TEST_F(DesignTest, PageControlShowsNoTab) {
    auto *pages = Find<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("Vedi"));
    EXPECT_EQ(pages->tabText(0), QStringLiteral("VISUALIZZA"));
    EXPECT_EQ(pages->tabPosition(), QTabWidget::South);
    m_form->show();
    EXPECT_FALSE(pages->tabBar()->isVisible());
}

TEST_F(DesignTest, PagePrinterMarginsInInches) {
    // The design margins, kept out of the printer's unprintable strip as every margin is.
    auto *printer = Find<TPagePrinter>("PagePrinter1");
    EXPECT_EQ(printer->MeasureUnit(), muInches);
    const double stripY = printer->PrintableOffsetY(), stripX = printer->PrintableOffsetX();
    EXPECT_DOUBLE_EQ(printer->MarginTop(), std::max(1.0 / 6, stripY));
    EXPECT_DOUBLE_EQ(printer->MarginBottom(), std::max(1.0 / 6, stripY));
    EXPECT_DOUBLE_EQ(printer->MarginLeft(), std::max(71.0 / 300, stripX));
    EXPECT_DOUBLE_EQ(printer->MarginRight(), std::max(71.0 / 300, stripX));
    EXPECT_EQ(printer->font().family(), QStringLiteral("Courier New"));
}

TEST_F(DesignTest, PictureSitsInTheScrollBox) {
    auto *box = Find<QScrollArea>("ScrollBox1");
    auto *picture = Find<TJPEGImage>("JPEGImage1");
    EXPECT_EQ(box->widget(), picture);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 393, 593));
}

TEST_F(DesignTest, PopupMenuItems) {
    auto *menu = Find<QMenu>("PopupMenu1");
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->objectName(), QStringLiteral("Copia1"));
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&Copia"));
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(actions[1]->objectName(), QStringLiteral("Stampa1"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("&Stampa"));
    EXPECT_EQ(actions[1]->shortcut(), QKeySequence(Qt::Key_F7));
    // Print preview and PDF export follow the print item.
    EXPECT_EQ(actions[2]->objectName(), QStringLiteral("Anteprima1"));
    EXPECT_EQ(actions[2]->text(), QStringLiteral("&Anteprima di stampa\u2026"));
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(actions[3]->objectName(), QStringLiteral("EsportaPDF1"));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("&Esporta in PDF\u2026"));
    EXPECT_EQ(actions[3]->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(DesignTest, StateHoldersStayOutOfViewAtAnySize) {
    for (QSize size : {QSize(661, 440), QSize(1280, 800), QSize(400, 300)}) {
        m_form->resize(size);
        m_form->show();
        for (const char *name :
             {"Nome", "Note", "Piatto", "Ingrediente_Principale", "Ingredienti", "Preparazione",
              "RicetteTrovateScambio", "Stampa", "CaricaLaRicetta", "PagePrinter1"}) {
            QWidget *control = Find<QWidget>(name);
            EXPECT_TRUE(control->visibleRegion().isEmpty()) << name << " at " << size.width();
        }
    }
    // The unseen fields are still there for the keyboard.
    for (const char *name : {"Nome", "Note", "Ingredienti"})
        EXPECT_TRUE(Find<QWidget>(name)->isVisible());
}
