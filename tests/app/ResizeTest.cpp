#include "app/FormDesign.h"
#include "pageprinter/PagePrnt.h"
#include "resizer/MRValues.h"
#include "resizer/NoBDERP.h"

#include "FormFixture.h"

#include <QApplication>
#include <QTextEdit>

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
    std::map<QString, std::pair<QRect, QFont>> Snapshot() {
        std::map<QString, std::pair<QRect, QFont>> controls;
        for (const ControlDesign &design : MainWindowDesign()) {
            auto *control = Find<QWidget>(design.name);
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
    ResizeForm({1600, 1000});
    ResizeForm({661, 440});
    // Fonts are cut toward zero, so the first return may leave one a point smaller than
    // designed; from then on every trip ends on the same fonts.
    const auto first = Snapshot();
    for (int trip = 0; trip < 100; ++trip) {
        ResizeForm(trip % 2 ? QSize(1600, 1000) : QSize(800, 500));
        ResizeForm({661, 440});
    }
    const auto after = Snapshot();
    for (const auto &[name, state] : m_design) {
        EXPECT_EQ(after.at(name).first, state.first) << qPrintable(name);
        EXPECT_EQ(after.at(name).second, first.at(name).second) << qPrintable(name);
    }
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
