#include "app/FormDesign.h"
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
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

#include <array>
#include <cstring>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// The standard class each kind of control is, so that any Qt test can drive it.
const char *QtClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::ResizerPanel:
        case ControlKind::Panel:
            return "QFrame";
        case ControlKind::PageControl:
            return "QTabWidget";
        case ControlKind::Page:
        case ControlKind::Border:
            return "QWidget";
        case ControlKind::ColourButton:
        case ControlKind::PushButton:
        case ControlKind::PrintButton:
            return "QAbstractButton";
        case ControlKind::DropDownCombo:
        case ControlKind::SimpleCombo:
        case ControlKind::DropDownList:
            return "QComboBox";
        case ControlKind::ProgressBar:
            return "QProgressBar";
        case ControlKind::CheckBox:
            return "QCheckBox";
        case ControlKind::Spinner:
            return "sapidoro::Spinner";
        case ControlKind::Edit:
            return "QLineEdit";
        case ControlKind::Memo:
            return "QPlainTextEdit";
        case ControlKind::RichText:
            return "QTextEdit";
        case ControlKind::Label:
            return "QLabel";
        case ControlKind::ScrollBox:
            return "QScrollArea";
        case ControlKind::Picture:
            return "sapidoro::TJPEGImage";
        case ControlKind::PagePrinter:
            return "sapidoro::TPagePrinter";
    }
    return "?";
}

const ControlDesign *RowOf(const char *name) {
    for (const ControlDesign &row : MainWindowDesign())
        if (std::strcmp(row.name, name) == 0) return &row;
    return nullptr;
}

// The character height a row's control has: its own, or that of the nearest container
// above it with one, or the window's.
int DesignFontPixels(const ControlDesign &row) {
    for (const ControlDesign *at = &row; at != nullptr;
         at = at->parent == nullptr ? nullptr : RowOf(at->parent)) {
        if (at->fontPixels > 0) return at->fontPixels;
    }
    return 11;
}

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

    QWidget *ControlOf(const ControlDesign &row) {
        return m_form->findChild<QWidget *>(QString::fromLatin1(row.name));
    }
};

}  // namespace

// The design table is the one statement of the controls' values: the window built from it
// shows every value of every row. Creation stops before the lists are loaded, so every
// caption and hint still has its design text.
TEST_F(DesignTest, EveryControlIsBuiltFromItsRow) {
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
    QSet<QString> names;
    for (const ControlDesign &row : MainWindowDesign()) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromLatin1(row.name);
        EXPECT_FALSE(names.contains(name)) << "two rows of one name";
        names.insert(name);
        EXPECT_EQ(m_form->findChildren<QWidget *>(name).size(), 1);
        QWidget *control = ControlOf(row);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(QtClassOf(row.kind))) << control->metaObject()->className();
        EXPECT_EQ(control->isHidden(), (row.options & kHidden) != 0);
        EXPECT_EQ(control->toolTip(),
                  row.hint == nullptr ? QString() : QString::fromUtf8(row.hint));
        if (row.kind == ControlKind::Page) {
            // A page lies in its page control, which sizes it.
            auto *pages = qobject_cast<QTabWidget *>(ControlOf(*RowOf(row.parent)));
            ASSERT_NE(pages, nullptr);
            EXPECT_EQ(pages->tabText(pages->indexOf(control)), QString::fromUtf8(row.text));
            continue;
        }
        if (row.kind == ControlKind::Picture) {
            // A scroll box holds its content in a viewport of its own.
            auto *box = qobject_cast<QScrollArea *>(ControlOf(*RowOf(row.parent)));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->widget(), control);
        } else {
            EXPECT_EQ(control->parentWidget()->objectName(),
                      QString::fromLatin1(row.parent == nullptr ? "Form1" : row.parent));
        }
        EXPECT_EQ(control->geometry(), row.bounds);
        if (row.text != nullptr) {
            EXPECT_EQ(TextOf(control), QString::fromUtf8(row.text));
        } else if (const QString text = TextOf(control); text != QStringLiteral("<no text>")) {
            EXPECT_EQ(text, QString());  // controls without a design text start empty
        }
        if (row.kind != ControlKind::Picture) {
            EXPECT_EQ(control->font().pixelSize(), DesignFontPixels(row));
        }
        if (row.fontPixels > 0) {
            EXPECT_EQ(control->font().family(), QStringLiteral("Courier New"));
            EXPECT_EQ(control->font().bold(), (row.options & kBold) != 0);
        }
        if (row.colour >= 0) {
            EXPECT_EQ(ColourOf(control).rgb(), QColor::fromRgb(QRgb(row.colour)).rgb());
        }
    }
    EXPECT_EQ(names.size(), 34);
}

TEST_F(DesignTest, WindowCaptionSizeAndFont) {
    EXPECT_EQ(m_form->objectName(), QStringLiteral("Form1"));
    EXPECT_TRUE(m_form->windowTitle().startsWith(QStringLiteral("Sapidoro 1.3   ")));
    EXPECT_GT(m_form->windowTitle().size(), 15);
    EXPECT_EQ(m_form->size(), QSize(661, 440));
    EXPECT_EQ(m_form->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(m_form->font().pixelSize(), 11);
}

TEST_F(DesignTest, RangesListsAndStylesFollowTheirRows) {
    int spinners = 0, combos = 0, memos = 0, edits = 0;
    for (const ControlDesign &row : MainWindowDesign()) {
        SCOPED_TRACE(row.name);
        QWidget *control = ControlOf(row);
        if (auto *spinner = qobject_cast<Spinner *>(control)) {
            ++spinners;
            EXPECT_EQ((std::array{spinner->minimum(), spinner->maximum(), spinner->value(),
                                  spinner->increment(), spinner->pageSize()}),
                      (std::array{row.spin.minimum, row.spin.maximum, row.spin.value,
                                  row.spin.increment, row.spin.pageSize}));
            // Every spinner starts inside its own range.
            EXPECT_LE(row.spin.minimum, row.spin.value);
            EXPECT_LE(row.spin.value, row.spin.maximum);
        } else if (auto *bar = qobject_cast<QProgressBar *>(control)) {
            EXPECT_EQ((std::array{bar->minimum(), bar->maximum(), bar->value()}),
                      (std::array{row.spin.minimum, row.spin.maximum, row.spin.value}));
        } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
            EXPECT_EQ(check->isChecked(), (row.options & kChecked) != 0);
        } else if (auto *box = qobject_cast<ComboBox *>(control)) {
            ++combos;
            const ComboBox::Style style =
                row.kind == ControlKind::SimpleCombo    ? ComboBox::Style::Simple
                : row.kind == ControlKind::DropDownList ? ComboBox::Style::DropDownList
                                                        : ComboBox::Style::DropDown;
            EXPECT_EQ(box->comboStyle(), style);
            EXPECT_EQ(box->isEditable(), style != ComboBox::Style::DropDownList);
            EXPECT_EQ(box->isSorted(), (row.options & kSorted) != 0);
            EXPECT_EQ(box->itemHeight(), row.rowHeight);
            if (row.dropDownRows > 0) {
                EXPECT_EQ(box->maxVisibleItems(), row.dropDownRows);
            }
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(control)) {
            ++memos;
            const auto policy = [&](unsigned option) {
                return (row.options & option) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
            };
            EXPECT_EQ(memo->isReadOnly(), (row.options & kReadOnly) != 0);
            EXPECT_EQ(memo->horizontalScrollBarPolicy(), policy(kHorizontalScroll));
            EXPECT_EQ(memo->verticalScrollBarPolicy(), policy(kVerticalScroll));
            EXPECT_EQ(memo->lineWrapMode() != QPlainTextEdit::NoWrap,
                      (row.options & kWordWrap) != 0);
        } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            ++edits;
            EXPECT_EQ(edit->isReadOnly(), (row.options & kReadOnly) != 0);
            EXPECT_EQ(edit->hasFrame(), (row.options & kFlat) == 0);
        }
    }
    EXPECT_EQ((std::array{spinners, combos, memos, edits}), (std::array{2, 5, 4, 4}));
    // The scope box offers the scopes the search knows, in their order.
    EXPECT_EQ(Items(Find<QComboBox>("SelezioneAmbitoRicerca")).join(u','),
              QStringLiteral("Ingredienti,Luogo,Nome,Persone,Piatto,Ricetta Adatta A"));
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
    ASSERT_GE(actions.size(), 4);  // the specified items first; the collection's follow
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
