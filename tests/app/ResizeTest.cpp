#include "app/FormDesign.h"
#include "pageprinter/PagePrnt.h"
#include "resizer/MRValues.h"
#include "resizer/NoBDERP.h"

#include "FormFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

class ResizeTest : public FormTest {
protected:
    void SetUp() override {
        WriteSmallCollection();
        CreateForm();
        m_form->show();
        QApplication::processEvents();
        m_design = Snapshot();
    }
    const std::map<QString, std::pair<QRect, QFont>> &Snapshot0() const { return m_design; }
    void ResizeForm(QSize size) {
        m_form->resize(size);
        QApplication::processEvents();
    }
    // Every control of the design table with its bounds and font as they are now.
    std::map<QString, std::pair<QRect, QFont>> Snapshot(const QWidget *window = nullptr) {
        if (window == nullptr) window = m_form.get();
        std::map<QString, std::pair<QRect, QFont>> controls;
        for (const ControlDesign &design : MainWindowDesign()) {
            auto *control = window->findChild<QWidget *>(QString::fromLatin1(design.name));
            controls[control->objectName()] = {control->geometry(), control->font()};
        }
        return controls;
    }

    std::map<QString, std::pair<QRect, QFont>> m_design;  // just after the first show
};

}  // namespace

TEST_F(ResizeTest, OpensAtItsDesignLayout) {
    EXPECT_EQ(m_form->size(), QSize(661, 440));
    for (const ControlDesign &design : MainWindowDesign()) {
        if (design.kind == ControlKind::Page) continue;  // placed by its page control
        EXPECT_EQ(Find<QWidget>(design.name)->geometry(), design.bounds) << design.name;
    }
}

TEST_F(ResizeTest, EveryControlKeepsItsProportions) {
    std::map<QString, QSize> designParents;
    for (const ControlDesign &design : MainWindowDesign())
        designParents[QString::fromLatin1(design.name)] =
            resizer::ClientSize(Find<QWidget>(design.name)->parentWidget());
    ResizeForm({1600, 1000});
    const auto near = [](int now, int parentNow, int was, int parentWas) {
        return std::abs(now - std::lround(double(was) * parentNow / parentWas)) <= 1;
    };
    for (const ControlDesign &design : MainWindowDesign()) {
        if (design.options & kAlignClient) continue;  // fills its parent instead
        SCOPED_TRACE(design.name);
        QWidget *control = Find<QWidget>(design.name);
        const QSize parent = resizer::ClientSize(control->parentWidget());
        const QSize was = designParents.at(QString::fromLatin1(design.name));
        EXPECT_GT(parent.width(), was.width());
        const QRect r = control->geometry(), d = Snapshot0().at(control->objectName()).first;
        EXPECT_TRUE(near(r.x(), parent.width(), d.x(), was.width())) << r.x();
        EXPECT_TRUE(near(r.width(), parent.width(), d.width(), was.width())) << r.width();
        EXPECT_TRUE(near(r.y(), parent.height(), d.y(), was.height())) << r.y();
        EXPECT_TRUE(near(r.height(), parent.height(), d.height(), was.height())) << r.height();
    }
}

TEST_F(ResizeTest, HundredRoundTripsEndOnTheFormerLayout) {
    for (int trip = 0; trip < 100; ++trip) {
        ResizeForm(trip % 2 ? QSize(1600, 1000) : QSize(800, 500));
        ResizeForm({661, 440});
    }
    const auto after = Snapshot();
    for (const auto &[name, state] : m_design) {
        EXPECT_EQ(after.at(name).first, state.first) << qPrintable(name);
        EXPECT_EQ(after.at(name).second, state.second) << qPrintable(name);
    }
}

// Whatever sizes came before, a size gives every control the bounds and font that a window
// opened at that size has: the design ones at the design size.
TEST_F(ResizeTest, EverySizeLaysOutAsAFreshWindowDoes) {
    for (const QSize size : {QSize(1600, 1000), QSize(661, 440), QSize(1003, 617), QSize(700, 900),
                             QSize(661, 440), QSize(1003, 617), QSize(500, 330)}) {
        SCOPED_TRACE(size.width());
        ResizeForm(size);
        TForm1 fresh(m_dir.qpath(), nullptr);
        fresh.show();
        fresh.resize(size);
        QApplication::processEvents();
        const auto now = Snapshot();
        for (const auto &[name, state] : Snapshot(&fresh)) {
            EXPECT_EQ(now.at(name).first, state.first) << qPrintable(name);
            EXPECT_EQ(now.at(name).second.toString(), state.second.toString()) << qPrintable(name);
        }
    }
}

// A large window draws the chosen recipe in the list's own large font, not the default one.
TEST_F(ResizeTest, ChosenRecipeIsDrawnInTheListFont) {
    ResizeForm({1600, 1000});
    auto *list = Find<QComboBox>("RicetteTrovate");
    ASSERT_GT(list->count(), 0);
    list->setCurrentIndex(0);
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field =
        list->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
            .adjusted(2, 2, -2, -2);
    const QImage image = list->grab().toImage();
    int top = image.height(), bottom = -1;
    for (int y = field.top(); y <= field.bottom(); ++y)
        for (int x = field.left(); x <= field.right(); ++x)
            if (qGray(image.pixel(x, y)) < 96) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_GE(bottom - top + 1, QFontMetrics(list->font()).capHeight());
}

TEST_F(ResizeTest, PrintBuffersScaleTheirFonts) {
    auto *stampa = Find<QTextEdit>("Stampa");
    auto *printer = Find<TPagePrinter>("PagePrinter1");
    const int stampaPixels = stampa->font().pixelSize();
    const int printerPixels = printer->Font().pixelSize();
    ResizeForm({1600, 1000});
    EXPECT_GT(stampa->font().pixelSize(), stampaPixels);
    EXPECT_GT(printer->Font().pixelSize(), printerPixels);
    ResizeForm({661, 440});
    EXPECT_EQ(stampa->font().pixelSize(), stampaPixels);
    EXPECT_EQ(printer->Font().pixelSize(), printerPixels);
}

TEST_F(ResizeTest, PanelTracksTheClientAreaWithProportionsLearnedOnce) {
    auto *panel = Find<TNoBDEResizerPanel>("NoBDEResizerPanel1");
    EXPECT_FALSE(panel->AllowChanges());
    EXPECT_TRUE(panel->Active());
    ResizeForm({1600, 1000});
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 1600, 1000));
    // The hidden state holders are controls of the panel too.
    EXPECT_NE(panel->ControlHandlerOf(Find<QWidget>("Stampa")), nullptr);
    EXPECT_NE(panel->ControlHandlerOf(Find<QWidget>("RicetteTrovateScambio")), nullptr);
}
